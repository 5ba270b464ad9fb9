// The service page's own controls (service mode only): the production-test numbers, the
// production test that programs a module for its test after a factory reset, and the
// language file check.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "editor/SendSequence.h"
#include "editor/SettingsFile.h"
#include "editor/Unit5.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>

using ctl::Make;

namespace {

// What the production test programs: user 1 gets arming, disarming and alarm SMS, and
// every input sends an SMS.
constexpr std::uint8_t kTestUserPnCR = 0x43;
constexpr std::uint8_t kTestInputCR = 2;       // function "Send SMS"
constexpr int kTestInputFunctionItem = 2;      // "Send SMS" in the input function lists
constexpr std::uint8_t kTestInputSensitivity = 4;
constexpr int kTestSleep = 100;
constexpr char kTestNumberKey[] = "PhoneNumber1";

} // namespace

void TForm1::BuildServiceControls()
{
    QWidget* p = TabSheet1;
    TntComboBox1 = Make<QComboBox>(p, "TntComboBox1", 602, 16, 150, 24);
    TntComboBox1->setEditable(true);
    // A number is typed for one test; only "Itraukti Nr." adds one to the list, after its
    // length check, so that the list is what Settings.ini gets at closing.
    TntComboBox1->setInsertPolicy(QComboBox::NoInsert);
    TntButton28 = Make<QPushButton>(p, "TntButton28", 758, 16, 134, 24);
    TntButton28->setText(QStringLiteral("Itraukti Nr."));
    TntButton25 = Make<QPushButton>(p, "TntButton25", 602, 48, 290, 28);
    TntButton25->setText(QStringLiteral("Programuoti testavimui"));
    TntButton22 = Make<QPushButton>(p, "TntButton22", 640, 560, 100, 24);
    TntButton22->setText(QStringLiteral("Comps OK?"));
    ShowServiceControls(false);
    connect(TntButton28, &QPushButton::clicked, this, [this] { Guard([this] { TntButton28Click(); }); });
    connect(TntButton25, &QPushButton::clicked, this, [this] { Guard([this] { TntButton25Click(); }); });
    connect(TntButton22, &QPushButton::clicked, this, [this] { Guard([this] { TntButton22Click(); }); });
}

void TForm1::ShowServiceControls(bool serviceMode)
{
    for (QWidget* w : std::initializer_list<QWidget*>{TntComboBox1, TntButton28, TntButton25, TntButton22})
        if (w)
            w->setVisible(serviceMode);
}

void TForm1::ShowTestNumbers()
{
    if (!TntComboBox1)
        return;
    const QSignalBlocker quiet(TntComboBox1);
    TntComboBox1->clear();
    for (const QByteArray& n : TestNumbers.Items)
        TntComboBox1->addItem(LangToUnicode(n));
    TntComboBox1->setCurrentIndex(TestNumbers.ItemIndex);
}

void TForm1::TntButton28Click()
{
    if (settings::TntButton28Click(TestNumbers, this))
        ShowTestNumbers();
}

void TForm1::TntButton22Click()
{
    ShowLanguageTableCheck(this);
}

void TForm1::TntButton25Click()
{
    QPointer<TForm5> wait = Form5;
    // A module that went away was not programmed: that is never reported as done.
    auto fail = [this, &wait] {
        if (wait)
            wait->close();
        ui::ShowPlainMessage(QStringLiteral("Klaida"), isVisible() ? this : nullptr);
    };
    const TVEQ2* link = Link();
    if (!link || !link->Connected) {
        fail();
        return;
    }
    // From here the module holds the reset and the test values, which are never read
    // back: the reset marks the window unread, so a write-all or a template of it waits
    // for the next read.
    // The reset and the programming after it are one whole write: a module cut off anywhere
    // in it is told once to have the production test run again. A window that let go of its
    // link is closing, and its test simply failed, as it does when a fault stopped it.
    BeginWholeWrite(TWholeWrite::ProductionTest);
    // Taken before the reset: a module that comes back during it is another connection and
    // gets none of the programming.
    TSendSequence seq(*this);
    auto stopped = [this, &wait, &fail, &seq] {
        if (!seq.Cut()) {
            DropWholeWrite();
            fail();
            return;
        }
        if (wait)
            wait->close();
        EndWholeWrite(seq);
    };
    try {
        const bool reset = WriteFactoryDefaults(true);
        // The reset cleared every user's flags: the boxes must not keep showing the old
        // ones, or the next commit of the shown user would bring them back.
        ShowUserFlags(SelectedUserNode);
        if (!reset || !seq.Going()) {
            stopped();
            return;
        }

        // User 1 gets the number as the users list would take it, whole; one that the
        // rule of every phone number would change is asked for, never cut.
        auto whole = [](const QString& n) { return fields::Typed(TField::UserNumber, n) == n; };
        QByteArray number;
        const QString listed = TntComboBox1 ? TntComboBox1->currentText() : QString();
        if (!listed.isEmpty() && listed.size() == settings::TestNumberLength && whole(listed)) {
            number = LangFromUnicode(listed);
        } else {
            QByteArray preset;
            IniReadString(settings::SettingsSection, kTestNumberKey, preset, "");
            // The wait dialog holds the main window disabled; the prompt belongs to the
            // dialog so that it can be used.
            QWidget* owner = wait && wait->isVisible() ? static_cast<QWidget*>(wait.data()) : this;
            // The prompt types as the users list does; the preset is shown whole.
            const auto numberRule = [](QLineEdit* e) {
                const QByteArray shown = LangFromUnicode(e->text());
                fields::Install(e, TField::UserNumber);
                fields::Show(e, TField::UserNumber, shown, false);
            };
            const TModuleAtHand asked = ModuleAtHand();
            const std::optional<QString> answer =
                ui::InputQuery(QStringLiteral("Enter testing number"), QStringLiteral("Number (e.g: 37060000000)"),
                               LangToUnicode(preset), owner, nullptr, numberRule);
            // A module swapped in while the prompt was up gets nothing of this test, and its
            // user 1 stays as it was read.
            if (answer && !AnswerMayAct(asked, TAnswerUse::ProductionTest)) {
                stopped();
                return;
            }
            if (!answer || !whole(*answer)) {
                // The reset stays done; the window is given back.
                DropWholeWrite();
                if (wait)
                    wait->close();
                if (answer)
                    ui::ShowPlainMessage(QStringLiteral("Numeris neteisingas"), this);
                return;
            }
            number = LangFromUnicode(*answer);
            IniWriteString(settings::SettingsSection, kTestNumberKey, number);
        }

        if (wait)
            wait->ShowWaiting(true);
        const bool done = seq.Run([&] {
            TUserPhoneRecord& user = UserPhones[0];
            if (!number.isEmpty()) {
                user.PhoneNr = number;
                user.PnCR = kTestUserPnCR;
            } else {
                user.PhoneNr.clear();
                user.PnCR = 0;
            }
            seq.Send([&](TVEQ2& l) { l.SendPhoneNumber(0, user.PnCR, user.PhoneNr); }, 0);
            SelectUserNode(0);

            const QByteArray inputText = GetLangMessage(23);
            for (int i = 0; i < InputCount; ++i) {
                const auto idx = static_cast<quint8>(i);
                seq.Send([&](TVEQ2& l) {
                    l.SendInputSetting(idx, kTestInputCR, 0, kTestInputSensitivity, 0, tduomenys(5, 0));
                }, 0);
                seq.Sleep(kTestSleep);
                seq.Send([&](TVEQ2& l) {
                    l.SendInputSMSText(idx, ModuleText::FromLangText(inputText + QByteArray::number(i + 1)));
                }, 0);
                seq.Sleep(kTestSleep);
            }

            // The rows show what the inputs now do; the input table stays as it is.
            QComboBox* functions[InputCount] = {ComboBox5, ComboBox7, ComboBox8, ComboBox9, ComboBox10, ComboBox11};
            for (int i = 0; i < InputCount; ++i) {
                if (!functions[i])
                    continue;
                functions[i]->setCurrentIndex(kTestInputFunctionItem);
                InputKeepAll[i] = false;
                ComboBox5Change(functions[i]);
            }

            const struct {
                quint8 group, index;
                int message;
            } names[] = {{3, 1, 20}, {4, 0, 22}, {2, 1, 21}};
            for (const auto& n : names) {
                const QByteArray text = ModuleText::FromLangText(GetLangMessage(n.message) + "1");
                seq.Send([&](TVEQ2& l) { l.SendItemName(n.group, n.index, text); }, 0);
            }
            seq.Send([](TVEQ2& l) { l.SendBatchEnd(true); }, 0);
        });
        if (!done) {
            stopped();
            return;
        }
        EndWholeWrite(seq);
        if (wait)
            wait->close();
        ui::ShowPlainMessage(QStringLiteral("Paruosimas testavimui baigtas"), this);
    } catch (...) {
        DropWholeWrite();
        fail();
    }
}
