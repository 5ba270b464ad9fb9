// The filtered edits as the user meets them, against a module that was read: values the
// module sent go back as sent, what the user types or pastes is cleaned before it is cut
// to length, editing keys work in every filtered edit, and a short account stops a write.
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>

namespace {

class FilteredEditsTest : public WindowTestBase {
protected:
    void SetUp() override
    {
        WindowTestBase::SetUp();
        SetLinkTiming(2000, 500);
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(2035, QStringLiteral("VEQ3")); // with remote control
        module = std::make_unique<sim::SimModule>(*hid, o);
        auto& c = module->Config();
        c.connectionString = "alarm-rx.example-net.lt:5001";
        c.connectionString2 = "rx_2.example~net.lt:6002";
        c.apn = "internet";
        TTCPCRControls t;
        t.ComboBox4Index = t.ComboBox2Index = 1;
        c.tcpCR = BuildTCPCR(t, 2035);
        TVEQ2CRControls v;
        v.TntCheckBox28 = true; // the SIM PIN is editable
        c.veq2CR = BuildVEQ2CR(v);
        c.simPin = "1234";
        c.heartBeat = 0x8602; // and so is the heartbeat ID
        c.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
        c.accessPin = AccessPINToWord("4321");
        CreateForms();
        ASSERT_TRUE(WaitReadEnded());
    }

    void WriteAll()
    {
        module->ClearLog();
        form->TntButton1->click();
        ASSERT_TRUE(WaitReadEnded());
    }

    // A key with the text the platform gives it: U+007F for Delete, the control code for
    // Ctrl with a letter.
    static void Key(QLineEdit* e, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const bool ctrl = mods == Qt::ControlModifier;
        const QString text = key == Qt::Key_Delete ? QString(QChar(0x7F))
                             : ctrl               ? QString(QChar(key - Qt::Key_A + 1))
                                                  : QString();
        QTest::sendKeyEvent(QTest::Click, e, key, text, mods);
    }

    static void Type(QLineEdit* e, const QString& text)
    {
        e->selectAll();
        Key(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
};

TEST_F(FilteredEditsTest, ReceivedValuesGoBackAsReceivedAndInputIsCleanedBeforeItIsCut)
{
    auto& f = *form;
    EXPECT_EQ(f.Edit5->text(), "rx_2.example~net.lt");
    WriteAll();
    EXPECT_EQ(module->Config().connectionString.trimmed(), "alarm-rx.example-net.lt:5001");
    EXPECT_EQ(module->Config().connectionString2.trimmed(), "rx_2.example~net.lt:6002");

    Type(f.Edit1, "my-rx_1:~.lt"); // "-" and "_" can be typed
    EXPECT_EQ(f.Edit1->text(), "my-rx_1.lt");
    f.Edit5->setCursorPosition(0);
    Paste(f.Edit5, "b:"); // only the pasted part is filtered
    const struct {
        QLineEdit* edit;
        QString pasted, shown;
    } pastes[] = {
        {f.Edit2, QStringLiteral("\x01internet.sim\t\r\n"), "internet.sim"},
        {f.Edit15, "Door open\r\n", "Door open"}, // input 1's SMS text
        {f.Edit11, " 5678", "5678"},
        {f.TntEdit8, "00 11 22 33 44 55 66 77 88 99 aa bb cc dd ee ff", "00112233445566778899aabbccddeeff"},
        {f.Edit13, "12 34\n", "1234"},
    };
    for (const auto& c : pastes) {
        c.edit->selectAll();
        Paste(c.edit, c.pasted);
        EXPECT_EQ(c.edit->text(), c.shown) << qPrintable(c.edit->objectName());
    }
    WriteAll();
    const sim::SimModuleConfig& m = module->Config();
    EXPECT_EQ(m.connectionString.trimmed(), "my-rx_1.lt:5001");
    EXPECT_EQ(m.connectionString2.trimmed(), "brx_2.example~net.lt:6002");
    EXPECT_EQ(m.apn.trimmed(), "internet.sim");
    EXPECT_EQ(m.inputSmsTexts[0].trimmed(), "Door open");
    EXPECT_EQ(m.reserveAccounts[0], "5678");
    EXPECT_EQ(m.aesKeys[0].toHex(), "00112233445566778899aabbccddeeff");
    EXPECT_EQ(m.accessPin, AccessPINToWord("1234"));
}

TEST_F(FilteredEditsTest, EditingKeysWorkInEveryFilteredEdit)
{
    auto& f = *form;
    for (QLineEdit* e : {f.Edit1, f.Edit5, f.TntEdit2, f.TntEdit3, f.Edit11, f.Edit6, f.TntEdit8, f.TntEdit9,
                         f.TntEdit4, f.TntEdit1, f.Edit13, f.Edit12}) {
        SCOPED_TRACE(e->objectName().toStdString());
        Type(e, "123");
        for (Qt::Key k : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_End, Qt::Key_Backspace, Qt::Key_Left})
            Key(e, k);
        QTest::keyClick(e, Qt::Key_9);
        EXPECT_EQ(e->text(), "92");
        Key(e, Qt::Key_End, Qt::ShiftModifier);
        Key(e, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "2");
        Key(e, Qt::Key_X, Qt::ControlModifier); // cut and undo are keys the filters refuse
        Key(e, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(e->text(), "92");
        QGuiApplication::clipboard()->setText("7");
        Key(e, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(e->text(), "97");
    }
}

TEST_F(FilteredEditsTest, AShortAccountStopsTheWriteAndTheWizard)
{
    auto& f = *form;
    auto next = [&] { f.wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click(); };
    // Each message names its channel.
    for (const auto& [e, n] : {std::pair{f.Edit11, 113}, std::pair{f.Edit6, 115}}) {
        const QString message = GetLangText(n);
        ASSERT_FALSE(message.isEmpty());
        for (const char* text : {"", "123"}) {
            SCOPED_TRACE(e->objectName().toStdString() + " \"" + text + "\"");
            Type(e, text);
            ui::ClearRecord();
            module->ClearLog();
            f.TntButton1->click();
            EXPECT_TRUE(module->Packets().empty());
            next(); // the page the refusal showed, which keeps the wizard there too
            EXPECT_EQ(f.wzrd1->GetActivePageIndex(), 1);
            EXPECT_EQ(ui::Record().size(), 2u);
            EXPECT_TRUE(Shown(message));
        }
        Type(e, "C123");
    }
    next();
    EXPECT_EQ(f.wzrd1->GetActivePageIndex(), 2);
    WriteAll();
    EXPECT_EQ(module->Config().reserveAccounts[0] + module->Config().reserveAccounts[1], "C123C123");
}

// A key with Alt, Meta or AltGr (Ctrl+Alt) types its character as a plain key does, and the
// filter takes it as it takes a plain key; so does text from an input method. Ctrl with a
// letter types nothing.
TEST_F(FilteredEditsTest, KeysWithModifiersAreFilteredAsTypedKeys)
{
    auto& f = *form;
    struct Stroke {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* composed = nullptr; // text from an input method instead of a key
    };
    constexpr Qt::KeyboardModifiers alt = Qt::AltModifier, meta = Qt::MetaModifier, altGr = Qt::ControlModifier | Qt::AltModifier,
                   shiftAlt = Qt::ShiftModifier | Qt::AltModifier, none = Qt::NoModifier;
    const struct {
        QLineEdit* edit;
        std::vector<Stroke> strokes;
        const char* shown;
    } cases[] = {
        {f.TntEdit1, // SIM PIN: digits
         {{Qt::Key_B, alt}, {Qt::Key_1, alt}, {Qt::Key_C, meta}, {Qt::Key_D, altGr}, {Qt::Key_2, none},
          {Qt::Key_E, shiftAlt}, {Qt::Key_B, Qt::ControlModifier}, {Qt::Key_unknown, none, "x3"}},
         "123"},
        {f.TntEdit2, // port: digits
         {{Qt::Key_A, alt}, {Qt::Key_5, meta}, {Qt::Key_Minus, altGr}, {Qt::Key_0, none}, {Qt::Key_unknown, none, " 1"}},
         "501"},
        {f.Edit11, // account: digits and B..F, upper case
         {{Qt::Key_A, alt}, {Qt::Key_B, alt}, {Qt::Key_C, meta}, {Qt::Key_1, altGr}, {Qt::Key_G, shiftAlt},
          {Qt::Key_unknown, none, "d"}},
         "BC1D"},
        {f.Edit5, // address: letters, digits, ".", "-", "_"
         {{Qt::Key_R, none}, {Qt::Key_Colon, alt}, {Qt::Key_Space, meta}, {Qt::Key_Slash, altGr},
          {Qt::Key_Period, alt}, {Qt::Key_L, meta}, {Qt::Key_unknown, none, "t:"}},
         "r.lt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.edit->objectName().toStdString());
        Type(c.edit, QString());
        for (const Stroke& st : c.strokes) {
            if (st.composed) {
                QInputMethodEvent ime;
                ime.setCommitString(QString::fromLatin1(st.composed));
                QCoreApplication::sendEvent(c.edit, &ime);
            } else {
                QTest::keyClick(c.edit, st.key, st.mods);
            }
        }
        EXPECT_EQ(c.edit->text(), QLatin1String(c.shown));
    }
    WriteAll();
    const sim::SimModuleConfig& m = module->Config();
    EXPECT_EQ(m.simPin.trimmed(), "123");
    EXPECT_EQ(m.connectionString.trimmed(), "alarm-rx.example-net.lt:501");
    EXPECT_EQ(m.reserveAccounts[0], "BC1D");
    EXPECT_EQ(m.connectionString2.trimmed(), "r.lt:6002");
}

// Whichever way text comes in (Paste in the context menu, Ctrl+V, Shift+Insert, the middle
// click, a drop), it is cleaned there: line breaks and tabs inside it part words, control
// characters go, the edit's filter runs, and only then is it cut to length. The paste is
// one step that undo takes back; what was left goes to the module.
TEST_F(FilteredEditsTest, PastesAndDropsAreCleanedWhereTheyComeIn)
{
    auto& f = *form;
    auto* clipboard = QGuiApplication::clipboard();
    const std::function<void(QLineEdit*, const QString&)> ways[] = {
        [&](QLineEdit* e, const QString& t) { // Paste in the edit's context menu
            clipboard->setText(t);
            QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(4, 4), e->mapToGlobal(QPoint(4, 4)));
            QCoreApplication::sendEvent(e, &menuEvent);
            QMenu* menu = e->findChild<QMenu*>();
            ASSERT_NE(menu, nullptr);
            QAction* paste = nullptr;
            for (QAction* a : menu->actions())
                if (a->text().startsWith(QLatin1String("&Paste")))
                    paste = a;
            ASSERT_NE(paste, nullptr);
            paste->trigger();
            menu->close();
            delete menu;
        },
        [&](QLineEdit* e, const QString& t) { Paste(e, t); }, // Ctrl+V
        [&](QLineEdit* e, const QString& t) {                 // Shift+Insert
            clipboard->setText(t);
            QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier);
        },
        [&](QLineEdit* e, const QString& t) { // the middle click pastes the primary selection
            ctl::SetPrimarySelectionForTests(&t);
            QTest::mouseClick(e, Qt::MiddleButton, Qt::NoModifier, QPoint(e->width() - 2, 4));
            ctl::SetPrimarySelectionForTests(nullptr);
        },
        [&](QLineEdit* e, const QString& t) { // a drop at the end of the text
            QMimeData data;
            data.setText(t);
            const QPoint at(e->width() - 2, 4);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(e, &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(e, &drop);
            EXPECT_TRUE(drop.isAccepted());
        },
    };
    const char* wayNames[] = {"menu", "Ctrl+V", "Shift+Insert", "middle click", "drop"};
    const struct {
        int way;
        QLineEdit* edit;
        QString set, typed; // the text the edit holds: set by the program, then typed
        QString pasted, shown;
    } cases[] = {
        {0, f.Edit8, "Own", "er", "Line1\r\nLine2\r\n", "Line1 Line2"},
        {1, f.Edit2, "ap", "n", "\tinternet\x7F.sim\r\n", "internet.sim"},
        {2, f.TntEdit1, "00", "00", "12 34\n56 78 90", "12345678"}, // filtered, then cut to 8
        {3, f.Edit11, "1", "2", "C-1\t2 3", "12C1"},                  // appended, cut to 4
        {4, f.Edit15, "Do", "or", " open\nnow\r\n", "Door open now"}, // input 1's SMS text
        {4, f.TntEdit3, "6", "0", "0\r\n2 9", "60029"},
        {1, f.TntEdit4, "6", "0", "x1-F2", "1F2"}, // hexadecimal digits only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(wayNames[c.way]) + " " + c.edit->objectName().toStdString());
        c.edit->setText(c.set);
        c.edit->end(false);
        QTest::keyClicks(c.edit, c.typed);
        if (c.way <= 2)
            c.edit->selectAll(); // the paste replaces the selection
        ways[c.way](c.edit, c.pasted);
        EXPECT_EQ(c.edit->text(), c.shown);
        // Undo takes back the paste, and only the paste.
        Key(c.edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(c.edit->text(), c.set + c.typed);
        c.edit->redo();
        EXPECT_EQ(c.edit->text(), c.shown);
    }
    WriteAll();
    const sim::SimModuleConfig& m = module->Config();
    EXPECT_EQ(m.ownerName.trimmed(), "Line1 Line2");
    EXPECT_EQ(m.apn.trimmed(), "internet.sim");
    EXPECT_EQ(m.simPin.trimmed(), "12345678");
    EXPECT_EQ(m.reserveAccounts[0], "12C1");
    EXPECT_EQ(m.inputSmsTexts[0].trimmed(), "Door open now");
    EXPECT_EQ(m.connectionString2.trimmed(), "rx_2.example~net.lt:60029");
    EXPECT_EQ(m.heartBeat, 0x81F2);
}

} // namespace
