// The texts the module keeps in its own character set (names, SMS phrases, input and
// additional SMS texts) against the simulated module: whatever language was current when
// they were read, typed or loaded from a template, a write sends the same bytes.
#include "editor/Encodings.h"
#include "editor/Envelope.h"
#include "lang/LangText.h"
#include "editor/Controls.h"
#include "support/WindowTestBase.h"
#include "widgets/PageWizard.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTextEdit>
#include <QTreeView>
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
    // English keeps no letters beyond ASCII in the module: they go as "?".
    {"English", "Russian", "Zone 1", QStringLiteral("Łódź"), "??d?"},
    {"English", "Russian", "Kyx\xBD\xC7", QStringLiteral("Łódź"), "??d?"},
    {"Russian", "English", "Input 1 alarm", QStringLiteral("Дверь"), "\xE0\xB3\x65\x70\xC4"},
    // Only what the user changed is encoded: the byte the table cannot map back stays.
    {"Russian", "English", "Caf\xE9", QStringLiteral("Саfй!"), "Caf\xE9!"},
    {"English", "Russian", {}, QStringLiteral("Łódź"), "??d?"},
    {"Russian", "English", {}, QStringLiteral("Дверь"), "\xE0\xB3\x65\x70\xC4"},
};

class ModuleTextsTest : public WindowTestBase {
protected:
    // The window in `language` over a module whose names, phrases and texts are `text`
    // (with keys that two used channels use), read; the phrases read by their dialog.
    void Start(const char* language, const QByteArray& text,
               const std::function<void(sim::SimModuleConfig&)>& more = {})
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
        c.inputs[1].cr = 0x02; // input 2 sends its SMS text
        if (more)
            more(c);
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

    // The window on screen at wizard page `step` (2 inputs, 7 names).
    void ShowPage(int step)
    {
        form->show();
        form->PageControl1->show();
        form->PageControl1->SetActivePageIndex(5);
        form->wzrd1->SetActivePageIndex(step);
        QCoreApplication::processEvents();
    }

    // The user types this text, character by character.
    static void Type(QWidget* w, const QString& text)
    {
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }

    // The user edits a cell in place (a click on a parameter tree's name, a names grid's
    // edit key): types `text` over the name, or after it when `append`, and presses Return.
    static void EditCell(QAbstractItemView* view, int row, int column, const QString& text, bool append)
    {
        const QModelIndex index = view->model()->index(row, column);
        if (qobject_cast<QTreeView*>(view)) {
            view->scrollTo(index);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        } else {
            view->setCurrentIndex(index);
            view->edit(index);
        }
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        if (append)
            QTest::keyClick(editor, Qt::Key_End);
        else
            editor->selectAll();
        Type(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A line edit typed over and left with Return.
    static void TypeLine(QLineEdit* e, const QString& text)
    {
        e->selectAll();
        Type(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    // The text of column `column` of the parameter tree of input i.
    QString TreeText(int i, int column) const
    {
        const QTreeView* trees[] = {form->VTIN1, form->VTIN2, form->VTIN3, form->VTIN4, form->VTIN5, form->VTIN6};
        return trees[i]->model()->index(0, column).data().toString();
    }

    static QString Cell(const QTableWidget* g, int row) { return g->item(row, 1)->text(); }

    // The summary's lines.
    QStringList Summary()
    {
        form->BuildSummary();
        return form->Memo_Summ->toPlainText().split(QLatin1Char('\n'));
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

// The inputs page after a switch either way: the parameter trees, the "SMS" hints and the
// summary show the names as the names grid shows them, and a rename in a tree changes only
// what the user typed.
TEST_F(ModuleTextsTest, TheInputsPageShowsAndRenamesTheNamesGridsNamesAfterASwitch)
{
    const struct {
        const char* start;
        const char* other;
        QString zone; // zone 2 ("Kyx BD C7") in the other language
    } cases[] = {
        {"Russian", "English", QStringLiteral("Kyx\u02DD\u00C7")},
        {"English", "Russian", QStringLiteral("Кухня")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        Start(c.start, "x", [](sim::SimModuleConfig& m) {
            for (int k = 0; k < 32; ++k) {
                m.itemNames[0][k] = Fill("Zone " + QByteArray::number(k + 1), 16);
                m.itemNames[2][k] = Fill("User " + QByteArray::number(k), 16);
                m.itemNames[3][k] = Fill("Partition " + QByteArray::number(k + 1), 16);
            }
            m.itemNames[0][1] = Fill("Kyx\xBD\xC7", 16);
            m.smsPhrases[0] = Fill("ALARM", 16);     // Edit33
            m.smsPhrases[2] = Fill("DISARMED BY", 16); // Edit35
            m.smsPhrases[8] = Fill("PANIC", 16);     // Edit41
            m.inputs[0] = {0x01, 0, 5, 30, {6, 0x12, 0x00, 0x10, 0x02}}; // panic, partition 1, zone 2
            m.inputs[1] = {0x01, 0, 5, 30, {6, 0x40, 0x10, 0x10, 0x03}}; // disarmed, partition 1, user 3
        });
        const auto before = module->Config().itemNames;
        Switch(c.other);
        ShowPage(2);

        const QString zone = Cell(form->StringGrid3, 1), partition = Cell(form->StringGrid4, 0),
                      user = Cell(form->StringGrid5, 3);
        EXPECT_EQ(zone, c.zone);
        EXPECT_EQ(TreeText(0, 1), partition);
        EXPECT_EQ(TreeText(0, 5), zone);
        EXPECT_EQ(TreeText(1, 1), partition);
        EXPECT_EQ(TreeText(1, 5), user);
        auto phrase = [](int i) { return Form2->PhraseEdit(i)->text(); };
        const QString panic = phrase(0) + " " + phrase(8) + " " + zone;
        const QString disarmed = user + " " + phrase(2) + " " + partition;
        EXPECT_EQ(ctl::Hint(form->TntLabel21), panic);
        EXPECT_EQ(ctl::Hint(form->TntLabel22), disarmed);
        EXPECT_FALSE(form->TntLabel21->isHidden());
        const QStringList summary = Summary();
        const QString label = "\t\t" + form->TntLabel21->text() + "\t";
        EXPECT_TRUE(summary.contains(label + panic)) << summary.join('\n').toStdString();
        EXPECT_TRUE(summary.contains(label + disarmed));

        // Renamed in input 1's tree: the grid, the hint and the module take the new name,
        // whose untouched part keeps its bytes.
        EditCell(form->VTIN1, 0, 5, QStringLiteral("2"), true);
        EXPECT_EQ(TreeText(0, 5), c.zone + "2");
        EXPECT_EQ(Cell(form->StringGrid3, 1), c.zone + "2");
        EXPECT_EQ(ctl::Hint(form->TntLabel21), phrase(0) + " " + phrase(8) + " " + c.zone + "2");
        WriteAll();
        auto expected = before;
        expected[0][1] = Fill("Kyx\xBD\xC7" "2", 16);
        EXPECT_TRUE(module->Config().itemNames == expected);
        CloseWindow();
    }
}

// Characters the module cannot hold in the current language show as "?" once an edit of a
// name, phrase, input or additional text is committed, and "?" is what a write sends; the
// texts the user left alone keep their bytes, also one the table cannot map back.
TEST_F(ModuleTextsTest, EveryEditorShowsWhatTheModuleWillHoldOnceCommitted)
{
    const struct {
        const char* language;
        QString typed;
        QString shown;
        QByteArray bytes;
    } cases[] = {
        {"English", QStringLiteral("ąč€ Кух"), QStringLiteral("??? ???"), "??? ???"},
        {"English", QStringLiteral("Door 2"), QStringLiteral("Door 2"), "Door 2"},
        // No. has the byte of the short i in the module; Cyrillic letters map.
        {"Russian", QStringLiteral("№1 Кух"), QStringLiteral("?1 Кух"), "?1 Kyx"},
        {"Russian", QStringLiteral("ąЁ"), QStringLiteral("?Ё"), "?\xA2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language + (" " + c.typed.toStdString()));
        Start(c.language, "Caf\xE9");
        // Zone 4, phrase 1, the texts of input 1 and additional text 1.
        auto untouchedTexts = [&] {
            const sim::SimModuleConfig& m = module->Config();
            return QList<QByteArray>{m.itemNames[0][3], m.smsPhrases[0], m.inputSmsTexts[0], m.additionalSmsTexts[0]};
        };
        const QList<QByteArray> untouched = untouchedTexts();
        ShowPage(7);
        EditCell(form->StringGrid3, 2, 1, c.typed, false); // zone 3
        form->TntButton8->click();
        sim::Pump(100);
        TypeLine(Form2->PhraseEdit(1), c.typed);
        Form2->TntButton1->click();
        form->TntButton33->click();
        sim::Pump(100);
        TypeLine(Form6->AdSMSEdit1, c.typed);
        Form6->TntButton5->click();
        ShowPage(2);
        EditCell(form->VTIN1, 0, 5, c.typed, false); // zone 1
        TypeLine(form->Edit16, c.typed);

        const QString shown[] = {Cell(form->StringGrid3, 2), Cell(form->StringGrid3, 0), TreeText(0, 5),
                                 form->Edit16->text(), Form2->PhraseEdit(1)->text(), Form6->AdSMSEdit1->text()};
        for (const QString& s : shown)
            EXPECT_EQ(s, c.shown);

        WriteAll();
        const sim::SimModuleConfig& m = module->Config();
        EXPECT_EQ(m.itemNames[0][2], Fill(c.bytes, 16));
        EXPECT_EQ(m.itemNames[0][0], Fill(c.bytes, 16));
        EXPECT_EQ(m.inputSmsTexts[1], Fill(c.bytes, 50));
        EXPECT_EQ(m.smsPhrases[1], Fill(c.bytes, 16));
        EXPECT_EQ(m.additionalSmsTexts[1], Fill(c.bytes, 50));
        EXPECT_EQ(untouchedTexts(), untouched);
        // Read back, the window shows what it showed before the write.
        EXPECT_EQ(Cell(form->StringGrid3, 2), c.shown);
        EXPECT_EQ(form->Edit16->text(), c.shown);
        EXPECT_EQ(Form6->AdSMSEdit1->text(), c.shown);
        CloseWindow();
    }
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
