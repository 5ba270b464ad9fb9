// The texts the module keeps in its own character set (names, SMS phrases, input and
// additional SMS texts) against the simulated module: whatever language was current when
// they were read, typed or loaded from a template, a write sends the same bytes.
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "lang/LangText.h"
#include "editor/Controls.h"
#include "support/WindowTestBase.h"

#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QTreeView>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

QByteArray Fill(const QByteArray& text, int width) { return text.leftJustified(width, ' ', true); }

struct Sample {
    QByteArray name, input, additional, phrase;
};
const Sample kAscii{"Zone 1", "Input 1 alarm", "GPRS down", "Alarm"};
// "Kyx BD C7" reads "Кухня" in the Russian table; E9 is no module code of it.
const Sample kCyrillic{"Kyx\xBD\xC7", "Caf\xE9 Kyx\xBD\xC7", "Caf\xE9", "Kyx\xBD\xC7"};
// A template holds the texts as its language's text: only bytes that the language maps
// back travel in it.
const Sample kKitchen{"Kyx\xBD\xC7", "Kyx\xBD\xC7 1", "Kyx\xBD\xC7 2", "Kyx\xBD\xC7"};

class ModuleTextsTest : public WindowTestBase {
protected:
    // No pauses or gaps: what reaches the module does not depend on them, and each case writes often.
    void SetUp() override { WindowTestBase::SetUp(); TForm1::LinkTiming.GapMs = TForm1::LinkTiming.SeriesPauseMaxMs = 0; }

    // The window in `language` over a module holding these texts (and keys, and two used
    // channels that use them), read; the phrases read by their dialog.
    void Start(const char* language, const Sample& s)
    {
        WriteSettings("Language=" + QByteArray(language) + "\r\n");
        PlugModule(2035);
        sim::SimModuleConfig& c = module->Config();
        c.accessPin = AccessPINToWord("4321");
        c.connectionString = "10.20.30.40:5001";
        c.apn = "internet.test";
        c.connectionString2 = "backup.example.org:6002";
        c.reserveAccounts = {QByteArray("1234"), QByteArray("5678")};
        TTCPCRControls t{1, 3, 2, 3, 1, 1, false, false, false, false, 1, 1, true, true};
        c.tcpCR = BuildTCPCR(t, 2035);
        c.aesKeys = {QByteArray(16, '\x11'), QByteArray(16, '\x22')};
        c.inputs.fill({0x21, 0, 5, 30, {6, 0x11, 0x00, 0x10, 0x01}}); // a catalogue event
        c.inputs[0] = {0x01, 0, 5, 30, {6, 0x12, 0x00, 0x10, 0x02}}; // panic, partition 1, zone 2
        c.inputs[1] = {0x01, 0, 5, 30, {6, 0x40, 0x10, 0x10, 0x03}}; // disarmed, partition 1, user 3
        for (auto& group : c.itemNames)
            group.fill(Fill(s.name, 16));
        c.inputSmsTexts.fill(Fill(s.input, 50));
        c.additionalSmsTexts.fill(Fill(s.additional, 50));
        c.smsPhrases.fill(Fill(s.phrase, 16));
        ASSERT_TRUE(CreateFormsWithLanguages());
        ASSERT_TRUE(WaitReadFinished());
        form->TntButton8->click();
        ASSERT_TRUE(sim::WaitUntil([&] { return !Form2->PhraseEdit(14)->text().isEmpty(); }));
        Form2->TntButton1->click();
    }

    void Switch(const char* language) { Choose(form->ComboBox28, form->ComboBox28->findText(language)); }

    // "Write" of the phrase and additional-text dialogs, each opened first (it reads its
    // texts anew; `typed` then goes into its first text), then the write-all: every packet
    // before the read-back. A loaded template's texts are written unopened.
    std::vector<QByteArray> WriteAll(const QString& typed = QString())
    {
        module->ClearLog();
        const std::tuple<QPushButton*, QLineEdit*, QPushButton*> dialogs[] = {
            {form->TntButton8, Form2->PhraseEdit(0), Form2->TntButton53},
            {form->TntButton33, Form6->AdSMSEdit0, Form6->TntButton53}};
        for (auto [opener, first, write] : dialogs) {
            if (!TemplateLoaded) {
                opener->click();
                sim::Pump(100);
            }
            if (!typed.isEmpty())
                TypeOver(first, typed);
            write->click();
            write->window()->close();
        }
        form->TntButton1->click();
        EXPECT_TRUE(WaitReadEnded());
        return WritePackets();
    }

    // The module's stored texts.
    QList<QByteArray> Texts() const
    {
        const sim::SimModuleConfig& c = module->Config();
        QList<QByteArray> out;
        for (const auto& group : c.itemNames)
            out << QList<QByteArray>(group.begin(), group.end());
        out << QList<QByteArray>(c.inputSmsTexts.begin(), c.inputSmsTexts.end());
        out << QList<QByteArray>(c.additionalSmsTexts.begin(), c.additionalSmsTexts.end());
        return out << QList<QByteArray>(c.smsPhrases.begin(), c.smsPhrases.end());
    }

    void Next()
    {
        CloseWindow();
        ui::ClearRecord();
    }

    // The user types `text` over the edit's text, or after it when `append`, and presses Return.
    static void TypeOver(QLineEdit* e, const QString& text, bool append = false)
    {
        append ? e->end(false) : e->selectAll();
        e->insert(text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    // The same in a cell's editor (a parameter tree's name opens one on a click).
    static void EditCell(QAbstractItemView* view, int row, int column, const QString& text, bool append = false)
    {
        view->edit(view->model()->index(row, column));
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        TypeOver(editor, text, append);
        QCoreApplication::processEvents(); // the cell commits and closes its editor
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QString TreeText(const QTreeView* tree, int column) const { return tree->model()->index(0, column).data().toString(); }
    static QString Cell(const QTableWidget* g, int row) { return g->item(row, 1)->text(); }
};

TEST_F(ModuleTextsTest, ASwitchSendsWhatWasSentBefore)
{
    const struct {
        const char* start;
        const char* other;
        const Sample* texts; // nullptr: the factory defaults, written in the first language
    } cases[] = {{"English", "Russian", &kAscii}, {"English", "Russian", &kCyrillic},
                 {"Russian", "English", &kAscii}, {"Russian", "English", &kCyrillic},
                 {"English", "Russian", nullptr}, {"Russian", "English", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << (c.texts == &kCyrillic ? " Cyrillic" : ""));
        Start(c.start, c.texts ? *c.texts : kAscii);
        if (!c.texts) {
            ui::QueueButton(ui::MsgButton::Yes);
            form->TntButton1911Click();
            ASSERT_TRUE(WaitReadEnded());
        }
        const QList<QByteArray> stored = Texts();
        const std::vector<QByteArray> before = WriteAll();
        Switch(c.other);
        // The names as the new language decodes the module's bytes, the labels in its words.
        EXPECT_EQ(form->StringGrid3->item(0, 0)->text(), GetLangText(19).left(1) + "1");
        if (c.texts == &kCyrillic && QByteArray(c.other) == "Russian") {
            EXPECT_EQ(form->StringGrid3->item(0, 1)->text(), QStringLiteral("Кухня"));
        }
        // The inputs' trees and hints and the summary show zone 2, partition 1, user 3 and
        // the phrases as the grid shows the names; a rename in a tree changes what was typed.
        const QString name = Cell(form->StringGrid3, 1), hint = name + " " + name + " " + name;
        if (c.texts == &kCyrillic) {
            for (const QTreeView* tree : {form->VTIN1, form->VTIN2})
                for (int column : {1, 5})
                    EXPECT_EQ(TreeText(tree, column), name);
            EXPECT_EQ(ctl::Hint(form->TntLabel21), hint);
            EXPECT_EQ(ctl::Hint(form->TntLabel22), hint);
            form->BuildSummary();
            EXPECT_EQ(form->Memo_Summ->toPlainText().count("\t\t" + form->TntLabel21->text() + "\t" + hint + "\n"), 2);
        }
        EXPECT_TRUE(WriteAll() == before);
        EXPECT_EQ(Texts(), stored);
        if (c.texts == &kCyrillic) {
            auto names = module->Config().itemNames;
            EditCell(form->VTIN1, 0, 5, QStringLiteral("2"), true);
            EXPECT_EQ(TreeText(form->VTIN1, 5), name + "2");
            EXPECT_EQ(Cell(form->StringGrid3, 1), name + "2");
            EXPECT_EQ(ctl::Hint(form->TntLabel21), hint + "2");
            WriteAll();
            names[0][1] = Fill("Kyx\xBD\xC7" "2", 16);
            EXPECT_TRUE(module->Config().itemNames == names);
        }
        Next();
    }
}

TEST_F(ModuleTextsTest, TypedTextsKeepTheirBytesThroughASwitch)
{
    const struct {
        const char* start;
        const char* other;
        QByteArray held;
        QString typed;
        QByteArray sent;
    } cases[] = {
        {"Russian", "English", "Zone", QStringLiteral("Дверь"), "\xE0\xB3\x65\x70\xC4"},
        {"English", "Russian", "Zone", QStringLiteral("Łódź"), "??d?"},
        // Only what the user changed is encoded: the byte the table cannot map back stays.
        {"Russian", "English", "Caf\xE9", QStringLiteral("Саfй!"), "Caf\xE9!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        Start(c.start, {c.held, c.held, c.held, c.held});
        WriteAll(c.typed); // the dialogs write what they show
        form->StringGrid3SetEditText(form->StringGrid3, 1, 0, c.typed);
        form->Edit15->setText(c.typed);
        Switch(c.other);
        WriteAll();
        const sim::SimModuleConfig& m = module->Config();
        EXPECT_EQ(m.itemNames[0][0], Fill(c.sent, 16));
        EXPECT_EQ(m.itemNames[0][1], Fill(c.held, 16));
        EXPECT_EQ(m.inputSmsTexts[0], Fill(c.sent, 50));
        EXPECT_EQ(m.smsPhrases[0], Fill(c.sent, 16));
        EXPECT_EQ(m.additionalSmsTexts[0], Fill(c.sent, 50));
        Next();
    }
    // No editor takes more than the module keeps.
    Start("English", kAscii);
    QWidget* cell = form->StringGrid3->itemDelegate()->createEditor(form->StringGrid3, {},
                                                                     form->StringGrid3->model()->index(0, 1));
    EXPECT_EQ(qobject_cast<QLineEdit*>(cell)->maxLength(), 16);
    delete cell;
    EXPECT_EQ(Form2->PhraseEdit(0)->maxLength(), 16);
    EXPECT_EQ(Form6->AdSMSEdit1->maxLength(), 50);
}

// A committed edit shows a character the module cannot hold in the current language as
// "?": No. has no letter in the Russian table, the Cyrillic letters have.
TEST_F(ModuleTextsTest, EveryEditorShowsWhatTheModuleWillHoldOnceCommitted)
{
    const QString typed = QStringLiteral("№1 Кух"), shown = QStringLiteral("?1 Кух");
    Start("Russian", kAscii);
    EditCell(form->StringGrid3, 2, 1, typed); // zone 3
    EditCell(form->VTIN1, 0, 5, typed); // zone 2
    TypeOver(form->Edit15, typed);
    QStringList texts{Cell(form->StringGrid3, 2), Cell(form->StringGrid3, 1), TreeText(form->VTIN1, 5),
                      form->Edit15->text()};
    WriteAll(typed);
    EXPECT_EQ(texts << Form2->PhraseEdit(0)->text() << Form6->AdSMSEdit0->text(), QStringList(6, shown));
    EXPECT_EQ(module->Config().itemNames[0][1], Fill("?1 Kyx", 16));
}

TEST_F(ModuleTextsTest, ATemplateGivesTheModuleTheBytesItWasSavedWith)
{
    const struct {
        const char* start;
        const char* saveIn;
        const char* loadIn; // the load switches back to saveIn
        const Sample* texts;
    } cases[] = {{"English", "Russian", "English", &kKitchen},
                 {"Russian", "English", "Russian", &kAscii},
                 {"Russian", "Russian", "English", &kKitchen}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.saveIn << " " << c.loadIn);
        Start(c.start, *c.texts);
        const QList<QByteArray> stored = Texts();
        Switch(c.saveIn);
        const QString file = dir.path() + "/" + c.saveIn + c.loadIn + ".tpl";
        ui::QueueText(file);
        form->TntButton26->click();
        Switch(c.loadIn);
        // Other texts in the window: the template's must replace them.
        form->TntButton24->click();
        Form2->TntButton2->click();
        form->Edit15->setText("x");
        ui::QueueText(file);
        form->TntButton27->click();
        EXPECT_EQ(form->ComboBox28->currentText(), QString::fromLatin1(c.saveIn));
        WriteAll();
        EXPECT_EQ(Texts(), stored);
        Next();
    }
}

TEST_F(ModuleTextsTest, ATemplateKeepsTheKeysItLacksAndItsTextsUntilWritten)
{
    Start("English", kAscii);
    const quint32 cr = module->Config().tcpCR;
    ASSERT_EQ(cr & 0x22000000u, 0x22000000u);
    // As saved from a module below 2030: no keys, no "use key" bits.
    QList<QByteArray> lines;
    form->BuildTemplateLines(lines);
    lines.removeIf([](const QByteArray& l) { return l.startsWith("EncryptionKey"); });
    for (QByteArray& l : lines) {
        if (l.startsWith("CR="))
            l = "CR=" + QByteArray::number(cr & ~0x22000000u);
        else if (l.startsWith("SMSPhrase0="))
            l = "SMSPhrase0=From template";
        else if (l.startsWith("AdditionalSMS0="))
            l = "AdditionalSMS0=From template too";
        else if (l.startsWith("Zone0="))
            l = "Zone0=Front door of the house"; // longer than the module keeps: cut on load
    }
    const QString file = dir.path() + "/nokeys.tpl";
    ASSERT_TRUE(SaveStringsEncrypted(file, TemplatePassPhrase, lines));
    ui::QueueText(file);
    form->TntButton27->click();
    EXPECT_EQ(Cell(form->StringGrid3, 0), QStringLiteral("Front door of th"));

    // The dialogs read nothing while the template's texts wait to be written.
    module->ClearLog();
    form->TntButton8->click();
    Form2->TntButton1->click();
    form->TntButton33->click();
    Form6->TntButton5->click();
    sim::Pump(100);
    EXPECT_TRUE(module->Packets().empty());
    EXPECT_EQ(Form2->PhraseEdit(0)->text(), QStringLiteral("From template"));
    EXPECT_EQ(Form6->AdSMSEdit0->text(), QStringLiteral("From template too"));

    WriteAll();
    EXPECT_EQ(module->Config().tcpCR, cr);
    EXPECT_EQ(module->Config().aesKeys[0], QByteArray(16, '\x11'));
    EXPECT_EQ(module->Config().aesKeys[1], QByteArray(16, '\x22'));
    EXPECT_EQ(module->Config().smsPhrases[0], Fill("From template", 16));
    EXPECT_EQ(module->Config().itemNames[0][0], "Front door of th");
    // Written: the dialog reads the module again.
    module->ClearLog();
    form->TntButton8->click();
    Form2->TntButton1->click();
    EXPECT_EQ(module->Codes().front(), 0x8D);
}

} // namespace
