// Each editable value has one rule whichever way it comes in (typing, a paste, a template),
// and a value the module sent goes back whole.
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "editor/TemplateFile.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTreeView>

#include <map>

namespace {

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

// A host the module sent, longer than typing makes one.
const QByteArray LongHost = Host(45, "rx~2.");

class ValueRulesTest : public WindowTestBase {
protected:
    // The edited values' module: the USB password editable, a long host, user 1, output-control number 1.
    void ReadModule()
    {
        ReadModuleOfType(QStringLiteral("VEQ3"), [](sim::SimModuleConfig& c) {
            EditableSettings(c);
            c.connectionString2 = LongHost + ":80";
            TVEQ2CRControls v;
            v.TntCheckBox28 = v.TntCheckBox3 = true; // SIM PIN, USB password
            c.veq2CR = BuildVEQ2CR(v);
            c.phones[0] = {"+37060000001", 0x41, 0};
            c.pgmPhones[0] = {"37060000009", 0x80};
        });
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

// For each value, typing, a paste and a template saved from what was typed give the module
// the same, by the value's rule (characters, case, how far typing goes).
TEST_F(ValueRulesTest, TypingPastingAndTemplatesGiveTheModuleTheSame)
{
    ReadModule();
    TForm1& f = *form;
    // Typing does not lengthen the long host; a character typed over one keeps its length.
    f.Edit5->end(false);
    QTest::keyClicks(f.Edit5, "ab");
    Paste(f.Edit5, "cd");
    EXPECT_EQ(LangFromUnicode(f.Edit5->text()), LongHost);
    f.Edit5->setSelection(0, 1);
    QTest::keyClicks(f.Edit5, "R");
    EXPECT_EQ(LangFromUnicode(f.Edit5->text()), "R" + LongHost.mid(1));

    // The edit (none: user 1's number in the users list, taken with Enter), in the order of `stored`.
    const struct {
        QLineEdit* TForm1::*edit;
        QString input;
        QByteArray expected;
    } rows[] = {
        {&TForm1::Edit1, QString::fromUtf8("Rx-1_b.Ex~ample.n\u00e9t:"), "Rx-1_b.Example.nt"},
        {&TForm1::Edit5, QString::fromLatin1(Host(50, "backup.")), Host(50, "backup.").left(44)},
        {&TForm1::TntEdit2, "60 0a2", "6002"},
        {&TForm1::Edit11, "c0dez", "C0DE"},
        {&TForm1::Edit13, "98a76", "9876"},
        {&TForm1::TntEdit1, "4x321", "4321"},
        {&TForm1::TntEdit4, "a0g1", "A01"},
        {&TForm1::TntEdit8, "00112233-44556677 8899aabbccddeeffab", "00112233445566778899AABBCCDDEEFF"},
        {nullptr, "3+70 (612) 34a567", "37061234567"},
        {&TForm1::Edit12, "+370-612 3456a7", "37061234567"}, // taken with "Save", output 1 ticked
        {&TForm1::Edit2, "apn.Example-1", "apn.Example-1"},
        {&TForm1::Edit3, "User 1", "User 1"},
        {&TForm1::Edit4, "Pa~ss", "Pa~ss"},
        {&TForm1::Edit8, "Owner of the house", "Owner of the hou"},
        {&TForm1::Edit9, "usb Pw9", "usb Pw9"},
        {&TForm1::Edit15, "Door open 1", "Door open 1"},
    };
    auto stored = [](const sim::SimModuleConfig& c) {
        const QList<QByteArray> cs1 = c.connectionString.trimmed().split(':');
        return QList<QByteArray>{cs1.value(0), c.connectionString2.trimmed().split(':').value(0), cs1.value(1),
                                 c.reserveAccounts[0], AccessPINFromWord(c.accessPin), c.simPin.trimmed(),
                                 QByteArray::number(c.heartBeat & 0xFFF, 16).toUpper(), c.aesKeys[0].toHex().toUpper(),
                                 c.phones[0].number.trimmed(), c.pgmPhones[0].number.trimmed(), c.apn.trimmed(),
                                 c.userName.trimmed(), c.password.trimmed(), c.ownerName, c.usbPassword.trimmed(),
                                 c.inputSmsTexts[0].trimmed()};
    };
    enum Way { Typed, Pasted, FromTemplate };
    for (const Way way : {Typed, Pasted, FromTemplate}) {
        SCOPED_TRACE(way);
        for (const auto& r : rows) {
            QLineEdit* e = r.edit ? f.*r.edit : UserNumberEditor();
            ASSERT_NE(e, nullptr);
            e->clear();
            if (way == Typed)
                Type(e, r.input);
            else if (way == Pasted)
                Paste(e, r.input);
            if (!r.edit) {
                QTest::keyClick(e, Qt::Key_Return);
                sim::Pump(20);
            } else if (r.edit == &TForm1::Edit12) {
                f.TntCheckBox2->setChecked(true);
                f.TntButton16->click();
            }
        }
        if (way == FromTemplate) {
            ASSERT_TRUE(LoadTemplate(dir.filePath("typed.tpl")));
        }
        WriteAllSettings();
        const QList<QByteArray> held = stored(module->Config());
        for (std::size_t i = 0; i < std::size(rows); ++i)
            EXPECT_EQ(held.value(qsizetype(i)), rows[i].expected) << rows[i].input.toStdString();
        if (way == Typed) {
            ui::QueueText(dir.filePath("typed.tpl"));
            form->TntButton26->click();
        }
    }
}

// A template value longer than the module's field is refused (106), not cut into a value nobody
// entered; a text is cut on load as the module cuts it, so grid, next template and module agree.
TEST_F(ValueRulesTest, LongTemplateValuesAreRefusedOrCut)
{
    ReadModule();
    QList<QByteArray> base, saved;
    form->BuildTemplateLines(base);
    auto save = [&](const char* name, const std::map<QByteArray, QByteArray>& values) {
        QList<QByteArray> lines = base;
        for (QByteArray& l : lines)
            if (const QByteArray key = l.left(l.indexOf('=')); values.count(key))
                l = key + "=" + values.at(key);
        return SaveStringsEncrypted(dir.filePath(name), TemplatePassPhrase, lines);
    };
    const struct {
        const char* key;
        QByteArray value;
        bool loads;
    } cases[] = {
        {"PhoneNr3", "+3706000001098765", false},
        {"PhoneNr5", "+37060000010987", true},
        {"PGMPhonenumber7", "3706000001098765", false},
        {"ConnectionString1", Host(48, "h.") + ":80", false},
        {"ConnectionString1", Host(47, "h.") + ":80", true},
        {"APN", QByteArray(51, 'a'), false},
        {"UserName", QByteArray(33, 'u'), false},
        {"Password", QByteArray(33, 'p'), false},
        {"USBPass", QByteArray(17, 'p'), false},
        {"ReserveAccount1", "12345", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value.toStdString());
        ASSERT_TRUE(save("long.tpl", {{c.key, c.value}}));
        EXPECT_EQ(LoadTemplate(dir.filePath("long.tpl")), c.loads);
        EXPECT_EQ(Shown(GetLangText(106) + " long.tpl"), !c.loads);
        TemplateLoaded = false;
    }

    ASSERT_TRUE(save("texts.tpl", {{"OwnerName", "Owner of the house"},
                                   {"Zone0", "Front door of the house"},
                                   {"InputSMSPhrase0", QByteArray(60, 's')}}));
    ASSERT_TRUE(LoadTemplate(dir.filePath("texts.tpl")));
    EXPECT_EQ(form->StringGrid3->item(0, 1)->text(), QStringLiteral("Front door of th"));
    form->BuildTemplateLines(saved);
    EXPECT_TRUE(saved.contains("Zone0=Front door of th"));
    EXPECT_TRUE(saved.contains("InputSMSPhrase0=" + QByteArray(50, 's')));
    WriteAllSettings();
    EXPECT_EQ(module->Config().itemNames[0][0].trimmed(), "Front door of th");
    EXPECT_EQ(module->Config().ownerName, "Owner of the hou");
}

} // namespace
