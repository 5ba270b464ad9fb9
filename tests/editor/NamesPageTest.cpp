// The names page: the four grids and their labels, typing a name, the default names, and
// sending the names to the simulated module.
#include "NamesWindowFixture.h"

#include "editor/Controls.h"
#include "lang/Kalbos.h"
#include "widgets/PageWizard.h"
#include "lang/LangText.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class NamesPageTest : public NamesWindowFixture {};

TEST_F(NamesPageTest, GridsHaveTheirRowsColumnsAndLabels)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    EXPECT_EQ(form->TntPanel31->parentWidget(), static_cast<QWidget*>(form->WPage[8]));
    EXPECT_TRUE(form->TntButton9->isHidden());
    struct Expect {
        QTableWidget* grid;
        int rows;
        int message;
        int first;
    } grids[] = {{form->StringGrid3, 32, 19, 1},
                 {form->StringGrid6, 16, 21, 0},
                 {form->StringGrid5, 32, 20, 0},
                 {form->StringGrid4, 8, 22, 1}};
    form->FillNameGrids();
    for (const Expect& e : grids) {
        SCOPED_TRACE(e.grid->objectName().toStdString());
        ASSERT_EQ(e.grid->rowCount(), e.rows);
        ASSERT_EQ(e.grid->columnCount(), 2);
        EXPECT_EQ(e.grid->columnWidth(0), 35);
        EXPECT_EQ(e.grid->columnWidth(1), 157);
        const QString letter = GetLangText(e.message).left(1);
        ASSERT_FALSE(letter.isEmpty());
        EXPECT_EQ(Cell(e.grid, 0, 0), letter + QString::number(e.first));
        EXPECT_EQ(Cell(e.grid, e.rows - 1, 0), letter + QString::number(e.first + e.rows - 1));
        // The label column is fixed; the name column is edited.
        EXPECT_FALSE(e.grid->item(0, 0)->flags() & Qt::ItemIsEditable);
        EXPECT_TRUE(e.grid->item(0, 1)->flags() & Qt::ItemIsEditable);
        // Found by name, as the inputs page finds them.
        EXPECT_EQ(ctl::Find<QTableWidget>(form, e.grid->objectName()), e.grid);
    }
}

TEST_F(NamesPageTest, TypedNameLandsInItsBlockAndRowOnly)
{
    ASSERT_TRUE(CreateFormsWithLanguages());
    StoreItemName(3, 6, "keep");
    form->FillNameGrids();
    QTableWidget* g = form->StringGrid5;
    EXPECT_EQ(Cell(g, 5, 0), GetLangText(20).left(1) + "5");
    form->show();
    form->PageControl1->show();
    form->PageControl1->SetActivePageIndex(5);
    form->wzrd1->SetActivePageIndex(7);
    ASSERT_TRUE(g->isVisible());
    g->setCurrentCell(5, 1);
    g->editItem(g->item(5, 1));
    auto* editor = g->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Garage door"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(sim::WaitUntil([&] { return !ItemNames[64 + 5].isEmpty(); }, 1000));
    EXPECT_EQ(ItemNames[64 + 5], QByteArray("Garage door"));
    EXPECT_EQ(ItemNames[64 + 6], QByteArray("keep"));
    EXPECT_TRUE(ItemNames[5].isEmpty());

    // The same row of another grid goes to that grid's block.
    form->StringGrid3SetEditText(form->StringGrid4, 1, 5, QStringLiteral("Attic"));
    EXPECT_EQ(ItemNames[96 + 5], QByteArray("Attic"));
    // Rows beyond the block's used part and the label column change nothing.
    form->StringGrid3SetEditText(form->StringGrid4, 1, 8, QStringLiteral("x"));
    form->StringGrid3SetEditText(form->StringGrid3, 0, 2, QStringLiteral("x"));
    EXPECT_TRUE(ItemNames[96 + 8].isEmpty());
    EXPECT_TRUE(ItemNames[2].isEmpty());

    // Text the program puts into a cell is no edit.
    g->item(7, 1)->setText(QStringLiteral("shown only"));
    EXPECT_TRUE(ItemNames[64 + 7].isEmpty());
}

TEST_F(NamesPageTest, RussianNamesAreHeldAndSentAsTheModulesBytes)
{
    ConnectAndRead();
    UseLanguage("Russian");
    ASSERT_EQ(CurrentCodeTable, CharsetToCodeTable(204));
    form->StringGrid3SetEditText(form->StringGrid3, 1, 0, QStringLiteral("Дверь"));
    EXPECT_EQ(ItemNames[0], QByteArray("\xE0\xB3\x65\x70\xC4"));
    form->FillNameGrids();
    EXPECT_EQ(Cell(form->StringGrid3, 0, 1), QStringLiteral("Дверь"));
    EXPECT_EQ(Cell(form->StringGrid3, 0, 0), QStringLiteral("З1"));
    form->SendItemNames();
    ASSERT_FALSE(module->Packets().empty());
    const QByteArray p = module->Packets().front();
    EXPECT_EQ(p.mid(3, 16), (ItemNames[0] + QByteArray(16, ' ')).left(16));
}

TEST_F(NamesPageTest, LettersTheCodePageLacksBecomeQuestionMarksNeverOtherLetters)
{
    ConnectAndRead();
    // The phrases are written from their dialog, which has read them.
    form->TntButton8->click();
    sim::Pump(100);
    const struct {
        const char* language;
        QString typed;
        QByteArray stored; // the module's bytes
    } cases[] = {
        // e acute has the byte of the Cyrillic short i, n tilde that of n acute; A with
        // diaeresis is in the English code page, but the module has no such letter there.
        {"Russian", QStringLiteral("Caf\u00E9 \u0414"), QByteArray("Caf? \xE0")},
        {"English", QStringLiteral("Ni\u00F1o \u00C4"), QByteArray("Ni?o ?")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        UseLanguage(c.language);
        // A name, an input's SMS text and an SMS phrase as they reach the tables and the module.
        form->StringGrid3SetEditText(form->StringGrid3, 1, 0, c.typed);
        EXPECT_EQ(ItemNames[0], c.stored);
        form->Edit15->setText(c.typed);
        EXPECT_EQ(InputTable[0].SMSText, c.stored);
        Form2->PhraseEdit(0)->setText(c.typed);
        module->ClearLog();
        Form2->TntButton53Click();
        ASSERT_FALSE(module->Packets().empty());
        EXPECT_EQ(module->Packets().front().mid(2, c.stored.size()), c.stored);
    }
}

TEST_F(NamesPageTest, SetDefaultReplacesAllFourGridsAndSendsNothing)
{
    ConnectAndRead();
    for (int i = 0; i < ItemNameCount; ++i)
        ItemNames[i] = "old";
    form->FillNameGrids();
    form->TntButton24->click();
    const QByteArray zone = GetLangMessage(19), module_ = GetLangMessage(21), user = GetLangMessage(20),
                     partition = GetLangMessage(22);
    EXPECT_EQ(ItemNames[0], zone + "1");
    EXPECT_EQ(ItemNames[31], zone + "32");
    EXPECT_EQ(ItemNames[32], module_ + "0");
    EXPECT_EQ(ItemNames[47], module_ + "15");
    EXPECT_EQ(ItemNames[64], user + "0");
    EXPECT_EQ(ItemNames[95], user + "31");
    EXPECT_EQ(ItemNames[96], partition + "1");
    EXPECT_EQ(ItemNames[103], partition + "8");
    // Slots beyond the used part of a group keep what they held.
    EXPECT_EQ(ItemNames[48], QByteArray("old"));
    EXPECT_EQ(ItemNames[104], QByteArray("old"));
    EXPECT_EQ(Cell(form->StringGrid3, 31, 1), LangToUnicode(zone + "32"));
    EXPECT_EQ(Cell(form->StringGrid6, 15, 1), LangToUnicode(module_ + "15"));
    EXPECT_EQ(Cell(form->StringGrid5, 0, 1), LangToUnicode(user + "0"));
    EXPECT_EQ(Cell(form->StringGrid4, 7, 1), LangToUnicode(partition + "8"));
    sim::Pump(50);
    EXPECT_TRUE(module->Packets().empty());
}

TEST_F(NamesPageTest, SendItemNamesSendsTheUsedNamesInOrderWithPauses)
{
    ConnectAndRead();
    for (int i = 0; i < ItemNameCount; ++i)
        ItemNames[i] = "N" + QByteArray::number(i);
    ItemNames[1] = "A name longer than sixteen";
    form->SendItemNames();
    const auto& log = module->Log();
    ASSERT_EQ(log.size(), 88u);
    const int counts[4] = {32, 16, 32, 8};
    size_t n = 0;
    for (int g = 1; g <= 4; ++g) {
        for (int k = 0; k < counts[g - 1]; ++k, ++n) {
            const QByteArray& p = log[n].packet;
            ASSERT_EQ(p.size(), 63);
            EXPECT_EQ(static_cast<quint8>(p[0]), 0x10);
            EXPECT_EQ(static_cast<int>(p[1]), g);
            EXPECT_EQ(static_cast<int>(p[2]), k);
            const QByteArray name = ItemNames[(g - 1) * 32 + k];
            EXPECT_EQ(p.mid(3, 16), (name + QByteArray(16, ' ')).left(16));
            if (n > 0) {
                EXPECT_GE(log[n].atNs - log[n - 1].atNs, 5'000'000) << "packet " << n;
            }
        }
    }
    // The module now holds them: a read fills the grids with what it stored.
    EXPECT_EQ(module->Config().itemNames[1][15], QByteArray("N47").leftJustified(16, ' '));
}

TEST_F(NamesPageTest, ReadFillsTheGridsAfterTheLastName)
{
    module = std::make_unique<sim::SimModule>(*hid);
    module->Config().itemNames[0][0] = "Front door";
    module->Config().itemNames[1][15] = "Keypad 15";
    module->Config().itemNames[2][31] = "Cleaner";
    module->Config().itemNames[3][7] = "Garage";
    module->Config().itemNames[3][8] = "Unused";
    ASSERT_TRUE(CreateFormsWithLanguages());
    ASSERT_TRUE(sim::WaitUntil([&] { return Cell(form->StringGrid4, 7, 1) == "Garage"; }, 15000));
    EXPECT_EQ(Cell(form->StringGrid3, 0, 1), "Front door");
    EXPECT_EQ(Cell(form->StringGrid6, 15, 1), "Keypad 15");
    EXPECT_EQ(Cell(form->StringGrid5, 31, 1), "Cleaner");
    EXPECT_EQ(form->StringGrid4->rowCount(), 8);
}

TEST_F(NamesPageTest, SendItemNamesNeedsAModuleAndStopsWhenTheWindowLetsGo)
{
    // Without a module nothing goes out and no time is spent waiting.
    ASSERT_TRUE(CreateFormsWithLanguages());
    QElapsedTimer t;
    t.start();
    form->SendItemNames();
    EXPECT_LT(t.elapsed(), 100);
    delete form;
    form = nullptr;

    ConnectAndRead();
    int names = 0;
    module->OnPacket = [&](const QByteArray& p) {
        if (static_cast<quint8>(p[0]) == 0x10 && ++names == 10)
            QTimer::singleShot(0, form, [&] { form->close(); });
    };
    form->SendItemNames();
    EXPECT_EQ(form->Link(), nullptr);
    EXPECT_GE(names, 10);
    EXPECT_LT(names, 88);
}

} // namespace
