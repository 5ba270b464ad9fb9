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
        t.ComboBox1Index = 2; // the protocol with a key
        t.ComboBox1Count = t.ComboBox3Count = 3;
        t.TntCheckBox42Checked = t.TntCheckBox43Checked = true;
        c.tcpCR = BuildTCPCR(t, 2035);
        TVEQ2CRControls v;
        v.TntCheckBox28 = true; // SIM PIN in use
        c.veq2CR = BuildVEQ2CR(v);
        c.heartBeat = 0x8602;
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

    // A key with the text the platform gives it: Delete carries U+007F, Ctrl with a letter
    // its control code.
    static void Key(QLineEdit* e, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QString text;
        if (key == Qt::Key_Delete)
            text = QChar(0x7F);
        else if (mods == Qt::ControlModifier && key >= Qt::Key_A && key <= Qt::Key_Z)
            text = QChar(key - Qt::Key_A + 1);
        QTest::sendKeyEvent(QTest::Click, e, key, text, mods);
    }

    static void Type(QLineEdit* e, const QString& text)
    {
        e->selectAll();
        Key(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }
};

TEST_F(FilteredEditsTest, ReceivedAddressesGoBackAsReceivedAndHyphensCanBeTyped)
{
    EXPECT_EQ(form->Edit1->text(), "alarm-rx.example-net.lt");
    EXPECT_EQ(form->Edit5->text(), "rx_2.example~net.lt");
    WriteAll();
    EXPECT_EQ(module->Config().connectionString.trimmed(), "alarm-rx.example-net.lt:5001");
    EXPECT_EQ(module->Config().connectionString2.trimmed(), "rx_2.example~net.lt:6002");

    Type(form->Edit1, "my-rx_1:~.lt");
    EXPECT_EQ(form->Edit1->text(), "my-rx_1.lt");
    // Only the pasted part is filtered: the received "~" stays.
    form->Edit5->setCursorPosition(0);
    Paste(form->Edit5, "b:");
    EXPECT_EQ(form->Edit5->text(), "brx_2.example~net.lt");
    WriteAll();
    EXPECT_EQ(module->Config().connectionString.trimmed(), "my-rx_1.lt:5001");
    EXPECT_EQ(module->Config().connectionString2.trimmed(), "brx_2.example~net.lt:6002");
}

TEST_F(FilteredEditsTest, PastesLoseControlAndForeignCharactersBeforeTheyAreCut)
{
    auto& f = *form;
    const struct {
        QLineEdit* edit;
        QString pasted, shown;
    } cases[] = {
        {f.Edit2, "internet.sim\n", "internet.sim"},
        {f.Edit3, "apn\tuser\r\n", "apnuser"},
        {f.Edit8, QStringLiteral("\x01Owner\x1f"), "Owner"},
        {f.Edit15, "Door open\r\n", "Door open"}, // input 1's SMS text
        {f.Edit1, "rx-1.example.lt\r\n", "rx-1.example.lt"},
        {f.TntEdit2, " 5001 ", "5001"},
        {f.Edit11, " 5678", "5678"},
        {f.Edit6, "12-3\n4", "1234"},
        {f.TntEdit8, "00 11 22 33 44 55 66 77 88 99 aa bb cc dd ee ff", "00112233445566778899aabbccddeeff"},
        {f.Edit13, "12 34\n", "1234"},
    };
    for (const auto& c : cases) {
        c.edit->selectAll();
        Paste(c.edit, c.pasted);
        EXPECT_EQ(c.edit->text(), c.shown) << qPrintable(c.edit->objectName());
    }
    WriteAll();
    const sim::SimModuleConfig& m = module->Config();
    EXPECT_EQ(m.apn.trimmed(), "internet.sim");
    EXPECT_EQ(m.userName.trimmed(), "apnuser");
    EXPECT_EQ(m.ownerName.trimmed(), "Owner");
    EXPECT_EQ(m.inputSmsTexts[0].trimmed(), "Door open");
    EXPECT_EQ(m.connectionString.trimmed(), "rx-1.example.lt:5001");
    EXPECT_EQ(m.reserveAccounts[0], "5678");
    EXPECT_EQ(m.reserveAccounts[1], "1234");
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
        Key(e, Qt::Key_Home);
        Key(e, Qt::Key_Delete);
        Key(e, Qt::Key_End);
        Key(e, Qt::Key_Backspace);
        Key(e, Qt::Key_Left);
        QTest::keyClick(e, Qt::Key_9);
        EXPECT_EQ(e->text(), "92");
        Key(e, Qt::Key_End, Qt::ShiftModifier);
        Key(e, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "2");
        // Cut and undo are keys the filters refuse.
        Key(e, Qt::Key_X, Qt::ControlModifier);
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
    const QString message = GetLangText(113);
    ASSERT_FALSE(message.isEmpty());
    for (QLineEdit* e : {f.Edit11, f.Edit6}) {
        for (const char* text : {"", "B", "123"}) {
            SCOPED_TRACE(e->objectName().toStdString() + " \"" + text + "\"");
            Type(e, text);
            ui::ClearRecord();
            module->ClearLog();
            f.TntButton1->click();
            EXPECT_TRUE(Shown(message));
            EXPECT_TRUE(module->Packets().empty());
            EXPECT_EQ(f.wzrd1->GetActivePageIndex(), 1);
            // The wizard's Next stays on the page as well.
            ui::ClearRecord();
            f.wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click();
            EXPECT_TRUE(Shown(message));
            EXPECT_EQ(f.wzrd1->GetActivePageIndex(), 1);
        }
        Type(e, "C123");
    }
    ui::ClearRecord();
    f.wzrd1->ButtonControl(TPageWizardButtonKind::bkNext)->click();
    EXPECT_FALSE(Shown(message));
    EXPECT_EQ(f.wzrd1->GetActivePageIndex(), 2);
    WriteAll();
    EXPECT_FALSE(Shown(message));
    EXPECT_EQ(module->Config().reserveAccounts[0], "C123");
    EXPECT_EQ(module->Config().reserveAccounts[1], "C123");
}

} // namespace
