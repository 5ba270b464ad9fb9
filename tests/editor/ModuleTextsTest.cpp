// The texts the module keeps in its own character set (names, SMS phrases, input and
// additional SMS texts) against the simulated module: whatever language was current when
// they were read, typed or loaded from a template, a write sends the same bytes.
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "lang/LangText.h"
#include "support/WindowTestBase.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

QByteArray Fill(const QByteArray& text, int width) { return text.leftJustified(width, ' ', true); }

// "Kyx BD C7" reads "Кухня" in the Russian table; E9 there is no module code, so it
// cannot travel in a template, which holds its language's text.
struct Case {
    const char* start;
    const char* other;
    QByteArray held; // empty: the factory defaults, written in the first language
    QString typed;   // into the second name, phrase, input text and additional text
    QByteArray typedBytes;
};
const Case kCases[] = {
    {"English", "Russian", "Zone 1", QStringLiteral("Łódź"), "\xA3\xF3\x64\x9F"},
    {"English", "Russian", "Kyx\xBD\xC7", QStringLiteral("Łódź"), "\xA3\xF3\x64\x9F"},
    {"Russian", "English", "Input 1 alarm", QStringLiteral("Дверь"), "\xE0\xB3\x65\x70\xC4"},
    // Only what the user changed is encoded: the byte the table cannot map back stays.
    {"Russian", "English", "Caf\xE9", QStringLiteral("Саfй!"), "Caf\xE9!"},
    {"English", "Russian", {}, QStringLiteral("Łódź"), "\xA3\xF3\x64\x9F"},
    {"Russian", "English", {}, QStringLiteral("Дверь"), "\xE0\xB3\x65\x70\xC4"},
};

class ModuleTextsTest : public WindowTestBase {
protected:
    // The window in `language` over a module whose names, phrases and texts are `text`
    // (with keys that two used channels use), read; the phrases read by their dialog.
    void Start(const char* language, const QByteArray& text)
    {
        WriteSettings("Language=" + QByteArray(language) + "\r\n");
        PlugModule(2035);
        sim::SimModuleConfig& c = module->Config();
        c.accessPin = AccessPINToWord("4321");
        c.connectionString = "10.20.30.40:5001";
        c.connectionString2 = "backup.example.org:6002";
        c.apn = "internet.test";
        c.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
        c.tcpCR = BuildTCPCR({1, 3, 2, 3, 1, 1, false, false, false, false, 1, 1, true, true}, 2035);
        c.aesKeys = {QByteArray(16, '\x11'), QByteArray(16, '\x22')};
        c.inputs.fill({0x21, 0, 5, 30, {6, 0x11, 0x00, 0x10, 0x01}}); // a catalogue event
        for (auto& group : c.itemNames)
            group.fill(Fill(text, 16));
        c.smsPhrases.fill(Fill(text, 16));
        c.inputSmsTexts.fill(Fill(text, 50));
        c.additionalSmsTexts.fill(Fill(text, 50));
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
        form->TntButton8->click();
        ASSERT_TRUE(sim::WaitUntil([&] { return !Form2->PhraseEdit(14)->text().isEmpty(); }));
        Form2->TntButton1->click();
    }

    void Switch(const char* language) { Choose(form->ComboBox28, form->ComboBox28->findText(language)); }

    // "Write" of the phrase and additional-text dialogs, each opened first (it reads its
    // texts anew; `typed` then goes into its second text), then the write-all: every packet
    // before the read-back. A loaded template's texts are written unopened.
    std::vector<QByteArray> WriteAll(const QString& typed = QString())
    {
        module->ClearLog();
        const struct {
            QDialog* dialog;
            QPushButton *opener, *write;
            QLineEdit* second;
        } dialogs[] = {{Form2, form->TntButton8, Form2->TntButton53, Form2->PhraseEdit(1)},
                       {Form6, form->TntButton33, Form6->TntButton53, Form6->AdSMSEdit1}};
        for (const auto& d : dialogs) {
            if (!TemplateLoaded) {
                d.opener->click();
                sim::Pump(100);
            }
            if (!typed.isEmpty())
                d.second->setText(typed);
            d.write->click();
            d.dialog->close();
        }
        form->TntButton1->click();
        EXPECT_TRUE(WaitReadEnded());
        return WritePackets();
    }

    // The module's name, phrase, input text and additional text of index i.
    QList<QByteArray> Texts(int i = 0) const
    {
        const sim::SimModuleConfig& c = module->Config();
        return {c.itemNames[0][i], c.smsPhrases[i], c.inputSmsTexts[i], c.additionalSmsTexts[i]};
    }

    // Typed texts, a write, a template saved; a switch and a write; the template loaded
    // over other texts and a write.
    void SwitchAndTemplate(const Case& c)
    {
        SCOPED_TRACE(testing::Message() << c.start << " " << c.held.toHex().constData());
        Start(c.start, c.held.isEmpty() ? QByteArray("x") : c.held);
        if (c.held.isEmpty()) {
            ui::QueueButton(ui::MsgButton::Yes);
            form->TntButton1911Click();
            ASSERT_TRUE(WaitReadEnded());
        }
        const QList<QByteArray> read = Texts();
        form->StringGrid3SetEditText(form->StringGrid3, 1, 1, c.typed);
        form->Edit16->setText(c.typed);
        const std::vector<QByteArray> before = WriteAll(c.typed);
        const QList<QByteArray> typed = Texts(1);
        EXPECT_EQ(typed, (QList<QByteArray>{Fill(c.typedBytes, 16), Fill(c.typedBytes, 16),
                                            Fill(c.typedBytes, 50), Fill(c.typedBytes, 50)}));
        const QString file = dir.path() + "/saved.tpl";
        QFile::remove(file);
        ui::QueueText(file);
        form->TntButton26->click();

        Switch(c.other);
        // The names as the new language decodes the module's bytes, the labels in its words.
        EXPECT_EQ(form->StringGrid3->item(0, 0)->text(), GetLangText(19).left(1) + "1");
        if (c.held == "Kyx\xBD\xC7") {
            EXPECT_EQ(form->StringGrid3->item(0, 1)->text(), QStringLiteral("Кухня"));
        }
        EXPECT_TRUE(WriteAll() == before);
        EXPECT_EQ(Texts(), read);

        // The template, loaded over other texts, switches back to its language.
        if (c.held != "Caf\xE9") {
            form->TntButton24->click();
            Form2->TntButton2->click();
            form->Edit15->setText("x");
            ui::QueueText(file);
            form->TntButton27->click();
            EXPECT_EQ(form->ComboBox28->currentText(), QString::fromLatin1(c.start));
            WriteAll();
            EXPECT_EQ(Texts(), read);
            EXPECT_EQ(Texts(1), typed);
        }
        CloseWindow();
        ui::ClearRecord();
    }
};

TEST_F(ModuleTextsTest, StartedInEnglishASwitchOrATemplateSendsWhatWasReadOrTyped)
{
    for (const Case& c : kCases)
        if (QByteArray(c.start) == "English")
            SwitchAndTemplate(c);
}

TEST_F(ModuleTextsTest, StartedInRussianASwitchOrATemplateSendsWhatWasReadOrTyped)
{
    for (const Case& c : kCases)
        if (QByteArray(c.start) == "Russian")
            SwitchAndTemplate(c);
}

TEST_F(ModuleTextsTest, NoEditorTakesMoreThanTheModuleKeeps)
{
    Start("English", "x");
    const std::unique_ptr<QWidget> cell(form->StringGrid3->itemDelegate()->createEditor(
        form->StringGrid3, {}, form->StringGrid3->model()->index(0, 1)));
    EXPECT_EQ(qobject_cast<QLineEdit*>(cell.get())->maxLength(), 16);
    EXPECT_EQ(Form2->PhraseEdit(0)->maxLength(), 16);
    EXPECT_EQ(Form6->AdSMSEdit1->maxLength(), 50);
}

TEST_F(ModuleTextsTest, ATemplateKeepsTheKeysItLacksAndItsTextsUntilWritten)
{
    Start("English", "Zone 1");
    const quint32 cr = module->Config().tcpCR;
    ASSERT_EQ(cr & 0x22000000u, 0x22000000u);
    // As saved from a module below 2030: no keys, no "use key" bits.
    QList<QByteArray> lines;
    form->BuildTemplateLines(lines);
    lines.removeIf([](const QByteArray& l) { return l.startsWith("EncryptionKey"); });
    for (QByteArray& l : lines) {
        if (l.startsWith("CR="))
            l = "CR=" + QByteArray::number(cr & ~0x22000000u);
        else if (l.startsWith("SMSPhrase0=") || l.startsWith("AdditionalSMS0="))
            l = l.left(l.indexOf('=') + 1) + "From template";
    }
    const QString file = dir.path() + "/nokeys.tpl";
    ASSERT_TRUE(SaveStringsEncrypted(file, TemplatePassPhrase, lines));
    ui::QueueText(file);
    form->TntButton27->click();

    // The dialogs read nothing while the template's texts wait to be written.
    module->ClearLog();
    form->TntButton8->click();
    Form2->TntButton1->click();
    form->TntButton33->click();
    Form6->TntButton5->click();
    sim::Pump(100);
    EXPECT_TRUE(module->Packets().empty());
    EXPECT_EQ(Form2->PhraseEdit(0)->text(), QStringLiteral("From template"));
    EXPECT_EQ(Form6->AdSMSEdit0->text(), QStringLiteral("From template"));

    WriteAll();
    EXPECT_EQ(module->Config().tcpCR, cr);
    EXPECT_EQ(module->Config().aesKeys[0], QByteArray(16, '\x11'));
    EXPECT_EQ(module->Config().aesKeys[1], QByteArray(16, '\x22'));
    EXPECT_EQ(module->Config().smsPhrases[0], Fill("From template", 16));
}

} // namespace
