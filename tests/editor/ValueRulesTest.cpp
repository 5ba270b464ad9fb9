// Each editable value of the module has one rule, whichever way it comes in: what the user
// types, pastes or loads from a template reaches the module alike, and a value the module
// sent (or a template saved from one) goes back whole.
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "editor/TemplateFile.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTreeView>

#include <functional>

namespace {

// The text the module keeps in a field, without the blanks that fill it.
QByteArray Trimmed(const QByteArray& field)
{
    QByteArray t = field;
    while (t.endsWith(' '))
        t.chop(1);
    return t;
}

// Types the text key by key, as a keyboard gives each character (Latin-1 ones included).
void Type(QWidget* e, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, e, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

// A host of n characters ending in ".lt".
QByteArray Host(int n, const QByteArray& head)
{
    return head + QByteArray(n - head.size() - 3, 'x') + ".lt";
}

class ValueRulesTest : public WindowTestBase {
protected:
    void SetUp() override { WindowTestBase::SetUp(); SetLinkTiming(2000, 500); }

    // A VEQ3 module (it has remote control) with both channels in use and every value's
    // edit open for typing, read by a new window.
    void ReadModule(const std::function<void(sim::SimModuleConfig&)>& more = {})
    {
        sim::SimModuleOptions o;
        o.productName = sim::SimModule::ProductNameFor(2035, QStringLiteral("VEQ3"));
        module = std::make_unique<sim::SimModule>(*hid, o);
        auto& c = module->Config();
        c.connectionString = "rx1.example:5001";
        c.connectionString2 = "rx2.example:5002";
        c.apn = "internet";
        TTCPCRControls t;
        t.ComboBox4Index = t.ComboBox2Index = 1;
        c.tcpCR = BuildTCPCR(t, 2035);
        TVEQ2CRControls v;
        v.TntCheckBox28 = true; // SIM PIN
        v.TntCheckBox3 = true;  // USB password
        c.veq2CR = BuildVEQ2CR(v);
        c.simPin = "1234";
        c.heartBeat = 0x8602;
        c.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
        c.accessPin = AccessPINToWord("4321");
        c.phones[0] = {"+37060000001", 0x41, 0};
        c.pgmPhones[0] = {"37060000009", 0x80};
        if (more)
            more(c);
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
    }

    QString File(const char* name) const { return dir.path() + "/" + name; }

    void SaveTemplate(const QString& name)
    {
        ui::ClearRecord();
        ui::QueueText(name);
        form->TntButton26->click();
        ASSERT_TRUE(QFile::exists(name));
    }

    // Loads through the button; true when the load said it loaded.
    bool LoadTemplate(const QString& name)
    {
        ui::ClearRecord();
        ui::QueueText(name);
        form->TntButton27->click();
        sim::Pump(250); // the output rows are refreshed 100 ms later
        return Shown(GetLangText(105) + " " + QFileInfo(name).fileName());
    }

    QList<QByteArray> Lines()
    {
        QList<QByteArray> lines;
        form->BuildTemplateLines(lines);
        return lines;
    }

    static QByteArray LineValue(const QList<QByteArray>& lines, const QByteArray& key)
    {
        for (const QByteArray& l : lines)
            if (l.startsWith(key + "="))
                return l.mid(key.size() + 1);
        return "(missing)";
    }

    // The user list's in-place editor of user 1, opened as a click does.
    QLineEdit* UserNumberEditor()
    {
        form->VStringTree1->selectionModel()->setCurrentIndex(
            form->VStringTree1Model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        form->VStringTree1ColumnClick(1);
        const auto editors = form->VStringTree1->viewport()->findChildren<QLineEdit*>();
        return editors.isEmpty() ? nullptr : editors.last();
    }
};

// For each value, typing and a paste into its edit give the module the same, by the value's
// rule (characters, case, how far typing goes), and so does a template saved from what was
// typed, loaded over emptied edits.
TEST_F(ValueRulesTest, TypingPastingAndTemplatesGiveTheModuleTheSame)
{
    ReadModule();
    TForm1& f = *form;
    using Config = sim::SimModuleConfig;
    // Where the user puts a value in: an edit of the window, or the users list's editor (taken
    // with Enter), or the output-control number (taken with "Save", output 1 ticked).
    const std::function<void(QLineEdit*)> none = [](QLineEdit*) {};
    const std::function<void(QLineEdit*)> enter = [](QLineEdit* e) {
        QTest::keyClick(e, Qt::Key_Return);
        sim::Pump(20);
    };
    const std::function<void(QLineEdit*)> save = [&f](QLineEdit*) {
        f.TntCheckBox2->setChecked(true);
        f.TntButton16->click();
    };
    const struct {
        const char* name;
        std::function<QLineEdit*()> edit;
        std::function<void(QLineEdit*)> take;
        QString input;
        std::function<QByteArray(const Config&)> stored;
        QByteArray expected;
    } rows[] = {
        {"host", [&] { return f.Edit1; }, none, QString::fromUtf8("Rx-1_b.Ex~ample.n\u00e9t:"),
         [](const Config& c) { return Trimmed(c.connectionString).split(':').value(0); }, "Rx-1_b.Example.nt"},
        // Typing stops at 44 characters.
        {"long host", [&] { return f.Edit5; }, none, QString::fromLatin1(Host(50, "backup.")),
         [](const Config& c) { return Trimmed(c.connectionString2).split(':').value(0); }, Host(50, "backup.").left(44)},
        {"port", [&] { return f.TntEdit2; }, none, "60 0a2",
         [](const Config& c) { return Trimmed(c.connectionString).split(':').value(1); }, "6002"},
        {"account", [&] { return f.Edit11; }, none, "c0dez", [](const Config& c) { return c.reserveAccounts[0]; },
         "C0DE"},
        {"access PIN", [&] { return f.Edit13; }, none, "98a76",
         [](const Config& c) { return AccessPINFromWord(c.accessPin); }, "9876"},
        {"SIM PIN", [&] { return f.TntEdit1; }, none, "4x321", [](const Config& c) { return Trimmed(c.simPin); },
         "4321"},
        {"heartbeat ID", [&] { return f.TntEdit4; }, none, "a0g1",
         [](const Config& c) { return QByteArray::number(c.heartBeat & 0xFFF, 16).toUpper(); }, "A01"},
        {"key", [&] { return f.TntEdit8; }, none, "00112233-44556677 8899aabbccddeeffab",
         [](const Config& c) { return c.aesKeys[0].toHex().toUpper(); }, "00112233445566778899AABBCCDDEEFF"},
        {"user number", [&] { return UserNumberEditor(); }, enter, "3+70 (612) 34a567",
         [](const Config& c) { return Trimmed(c.phones[0].number); }, "37061234567"},
        {"output-control number", [&] { return f.Edit12; }, save, "+370-612 3456a7",
         [](const Config& c) { return Trimmed(c.pgmPhones[0].number); }, "37061234567"},
        {"APN", [&] { return f.Edit2; }, none, "apn.Example-1", [](const Config& c) { return Trimmed(c.apn); },
         "apn.Example-1"},
        {"APN user name", [&] { return f.Edit3; }, none, "User 1", [](const Config& c) { return Trimmed(c.userName); },
         "User 1"},
        {"APN password", [&] { return f.Edit4; }, none, "Pa~ss", [](const Config& c) { return Trimmed(c.password); },
         "Pa~ss"},
        {"owner name", [&] { return f.Edit8; }, none, "Owner of the house", [](const Config& c) { return c.ownerName; },
         "Owner of the hou"},
        {"USB password", [&] { return f.Edit9; }, none, "usb Pw9",
         [](const Config& c) { return Trimmed(c.usbPassword); }, "usb Pw9"},
        {"input SMS text", [&] { return f.Edit15; }, none, "Door open 1",
         [](const Config& c) { return Trimmed(c.inputSmsTexts[0]); }, "Door open 1"},
    };
    enum class Way { Type, Paste, Template };
    for (const Way way : {Way::Type, Way::Paste, Way::Template}) {
        SCOPED_TRACE(way == Way::Type ? "typed" : way == Way::Paste ? "pasted" : "from a template");
        for (const auto& r : rows) {
            QLineEdit* e = r.edit();
            ASSERT_NE(e, nullptr) << r.name;
            e->clear();
            if (way == Way::Type)
                Type(e, r.input);
            else if (way == Way::Paste)
                Paste(e, r.input);
            r.take(e);
        }
        if (way == Way::Template) {
            ASSERT_TRUE(LoadTemplate(File("typed.tpl")));
        }
        WriteAllSettings();
        for (const auto& r : rows) {
            EXPECT_EQ(r.stored(module->Config()), r.expected) << r.name;
        }
        if (way == Way::Type)
            SaveTemplate(File("typed.tpl"));
    }
}

// A module's values go back as it holds them: hosts longer than typing may make them (the
// window shows them whole), an address with "~", a short account with blanks on the unused
// channel, a channel word with bit 31. A write-all with no edits leaves them as they are,
// and a template saved from the module loads and gives another module the same.
TEST_F(ValueRulesTest, ModuleValuesGoBackWholeAndThroughATemplate)
{
    const QByteArray host1 = Host(48, "receiver-number-two.");
    const QByteArray host2 = Host(45, "rx~2.");
    TTCPCRControls t;
    t.ComboBox2Index = 1; // channel 2 in use; channel 1's host has no port
    const quint32 word = BuildTCPCR(t, 2035) | 0x80000000u;
    ReadModule([&](sim::SimModuleConfig& c) {
        c.connectionString = host1;
        c.connectionString2 = host2 + ":80";
        c.tcpCR = word;
        c.reserveAccounts = {QByteArray("12  "), QByteArray("5678")};
        c.phones[3] = {"+3706100x", 0x41, 0}; // what typing would not give
    });
    EXPECT_EQ(LangFromUnicode(form->Edit1->text()), host1);
    EXPECT_EQ(LangFromUnicode(form->Edit5->text()), host2);
    EXPECT_EQ(form->Edit11->text(), QStringLiteral("12"));
    const sim::SimModuleConfig held = module->Config();
    auto same = [](const sim::SimModuleConfig& a, const sim::SimModuleConfig& b) {
        EXPECT_EQ(Trimmed(a.connectionString), Trimmed(b.connectionString));
        EXPECT_EQ(Trimmed(a.connectionString2), Trimmed(b.connectionString2));
        EXPECT_EQ(a.reserveAccounts, b.reserveAccounts);
        EXPECT_EQ(Trimmed(a.phones[3].number), Trimmed(b.phones[3].number));
        // Bit 31 too: the template carries the bits no control shows.
        EXPECT_EQ(a.tcpCR, b.tcpCR);
    };
    WriteAllSettings();
    same(module->Config(), held);

    SaveTemplate(File("module.tpl"));
    CloseWindow();
    ReadModule(); // another module
    ASSERT_TRUE(LoadTemplate(File("module.tpl")));
    EXPECT_EQ(LangFromUnicode(form->Edit1->text()), host1);
    WriteAllSettings();
    same(module->Config(), held);

    // Typing into a host longer than 44 characters does not lengthen it; a character typed
    // in place of one does not shorten it.
    form->Edit5->end(false);
    QTest::keyClicks(form->Edit5, "ab");
    Paste(form->Edit5, "cd");
    EXPECT_EQ(LangFromUnicode(form->Edit5->text()), host2);
    form->Edit5->setSelection(0, 1);
    QTest::keyClicks(form->Edit5, "R");
    EXPECT_EQ(LangFromUnicode(form->Edit5->text()), "R" + host2.mid(1));
}

// A template value longer than the module's field is refused (106) rather than cut, so the
// module never gets a number nobody entered; a name or another text is cut on load as the
// module would cut it, so the names grid and a template saved next show what it holds.
TEST_F(ValueRulesTest, LongTemplateValuesAreRefusedOrCut)
{
    ReadModule();
    const QList<QByteArray> base = Lines();
    auto with = [&base](const std::vector<std::pair<QByteArray, QByteArray>>& values) {
        QList<QByteArray> lines = base;
        for (QByteArray& l : lines)
            for (const auto& [key, value] : values)
                if (l.startsWith(key + "="))
                    l = key + "=" + value;
        return lines;
    };
    const struct {
        const char* key;
        QByteArray value;
        bool loads;
    } cases[] = {
        {"PhoneNr3", "+3706000001098765", false},
        {"PhoneNr4", "37060000010987654321", false},
        {"PhoneNr5", "+37060000010987", true},
        {"PGMPhonenumber7", "3706000001098765", false},
        {"ConnectionString1", Host(48, "h.") + ":80", false},
        {"ConnectionString1", Host(47, "h.") + ":80", true},
        {"APN", QByteArray(51, 'a'), false},
        {"UserName", QByteArray(33, 'u'), false},
        {"Password", QByteArray(33, 'p'), false},
        {"USBPass", QByteArray(17, 'p'), false},
        {"ReserveAccount1", "12345", false},
        {"SIM PIN", "123456789", false},
        {"CR", "2717922066", true},
        {"CR", "-1577045230", true}, // as older versions wrote it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value.toStdString());
        ASSERT_TRUE(SaveStringsEncrypted(File("long.tpl"), TemplatePassPhrase, with({{c.key, c.value}})));
        EXPECT_EQ(LoadTemplate(File("long.tpl")), c.loads);
        EXPECT_EQ(Shown(GetLangText(106) + " long.tpl"), !c.loads);
        TemplateLoaded = false;
    }

    // Texts are cut as the module keeps them; a short account keeps its blanks.
    ASSERT_TRUE(SaveStringsEncrypted(File("texts.tpl"), TemplatePassPhrase,
                                     with({{"OwnerName", "Owner of the house"},
                                           {"Zone0", "Front door of the house"},
                                           {"InputSMSPhrase0", QByteArray(60, 's')},
                                           {"ReserveAccount1", "12  "}})));
    ASSERT_TRUE(LoadTemplate(File("texts.tpl")));
    EXPECT_EQ(form->Edit8->text(), QStringLiteral("Owner of the hou"));
    EXPECT_EQ(form->StringGrid3->item(0, 1)->text(), QStringLiteral("Front door of th"));
    const QList<QByteArray> saved = Lines();
    EXPECT_EQ(LineValue(saved, "Zone0"), "Front door of th");
    EXPECT_EQ(LineValue(saved, "InputSMSPhrase0"), QByteArray(50, 's'));
    EXPECT_EQ(LineValue(saved, "ReserveAccount1"), "12  ");
    WriteAllSettings();
    EXPECT_EQ(Trimmed(module->Config().itemNames[0][0]), "Front door of th");
    EXPECT_EQ(module->Config().ownerName, "Owner of the hou");
    EXPECT_EQ(module->Config().reserveAccounts[1], "12  ");
}

} // namespace
