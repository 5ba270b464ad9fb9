// The filtered edits as the user meets them, against a module that was read: values the
// module sent go back as sent, what the user types or pastes is cleaned before it is cut
// to length, editing keys work in every filtered edit, and a short account stops a write.
#include "editor/Encodings.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QLineEdit>
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

} // namespace
