// Applying a language to a window of its own: which class names set what, combo and
// radio-group item lists, hints, names matched without regard to case, and what a line
// that fits no control leaves alone.
#include "editor/ApplyLanguage.h"
#include "editor/Controls.h"
#include "lang/Kalbos.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <memory>

namespace {

class ApplyLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearLanguages();
        form = std::make_unique<QWidget>();
        form->setObjectName("FormT");
        form->setWindowTitle("designed");
        auto make = [this](auto* w, const char* name) {
            w->setObjectName(name);
            return w;
        };
        label = make(new QLabel("label", form.get()), "Label1");
        box = make(new QCheckBox("box", form.get()), "Box1");
        group = make(new QGroupBox("group", form.get()), "Group1");
        combo = make(new QComboBox(form.get()), "Combo1");
        radios = make(new TRadioGroup(form.get()), "Radios1");
        menu = make(new QMenu(form.get()), "Popup1");
        item = make(new QAction("item", menu), "Item1");
        menu->addAction(item);
        pages = make(new TPageControl(form.get()), "Pages1");
        pages->AddPage("Sheet1", "sheet");
        dialog = make(new QDialog(form.get()), "FormD");
        dialogLabel = make(new QLabel("dialog label", dialog), "Label2");
    }
    void TearDown() override
    {
        form.reset();
        ClearLanguages();
    }

    // A language "Test" (Windows-1251) whose form lines follow.
    void Load(const QByteArray& lines)
    {
        QByteArray err;
        ASSERT_TRUE(LoadLanguageData("%Other\t0\t0\r\n=FormT\tother\r\n%Test\t204\t1\r\n" + lines, "comps.txt", err))
            << err.constData();
    }

    void SetCombo(const QStringList& items, int index)
    {
        combo->clear();
        combo->addItems(items);
        combo->setCurrentIndex(index);
    }

    std::unique_ptr<QWidget> form;
    QLabel* label = nullptr;
    QCheckBox* box = nullptr;
    QGroupBox* group = nullptr;
    QComboBox* combo = nullptr;
    TRadioGroup* radios = nullptr;
    QMenu* menu = nullptr;
    QAction* item = nullptr;
    TPageControl* pages = nullptr;
    QDialog* dialog = nullptr;
    QLabel* dialogLabel = nullptr;
};

TEST_F(ApplyLanguageTest, ClassNamesDecideWhatIsSet)
{
    Load("=formt\t\xCF\xF0\xE8\xE2\xE5\xF2\r\n"               // "Привет", form name in another case
         "&LABEL1\tTTNTLABEL\tnot a row\t\r\n"               // no row: the label stays
         "&Box1\tTLabel\tnot a label\t\r\n"                  // wrong class: the box stays
         "&group1\tTTNTGROUPBOX\tGroup text\tGroup tip\r\n"  // lower-case row, any case
         "&Missing\tTTntLabel\tnobody\t\r\n"                 // no such control: passed over
         "&Label2\tTTntLabel\tnot mine\t\r\n"                // the dialog's own label
         "&Item1\tTMenuItem\tMenu text\tMenu tip\r\n"
         "&Sheet1\tTTntTabSheet\t\xD1\xF2\xF0\r\n"           // "Стр"
         "&Box1\tTTntCheckBox\tBox text\t\r\n");             // a later line still applies
    ctl::SetShowHint(box, true);
    EXPECT_FALSE(SetLanguage("test")); // names differ in case: nothing happens
    EXPECT_FALSE(LanguageApplied);
    EXPECT_EQ(form->windowTitle(), "designed");

    ASSERT_TRUE(SetLanguage("Test"));
    EXPECT_EQ(CurrentLanguage, 1);
    EXPECT_EQ(CurrentCodeTable, 2);
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("Привет"));
    EXPECT_EQ(label->text(), "label");
    EXPECT_EQ(group->title(), "Group text");
    EXPECT_EQ(ctl::Hint(group), "Group tip");
    EXPECT_TRUE(ctl::ShowHint(group));
    EXPECT_EQ(dialogLabel->text(), "dialog label");
    EXPECT_EQ(item->text(), "Menu text");
    EXPECT_EQ(item->statusTip(), "Menu tip");
    EXPECT_EQ(pages->TabCaption(0), QString::fromUtf8("Стр"));
    EXPECT_EQ(box->text(), "Box text");
    EXPECT_FALSE(ctl::ShowHint(box)); // an empty hint turns the display off

    for (const char* name : {"ttntgroupbox", "TTntGroupBox", "TTNTGROUPBOX"})
        EXPECT_TRUE(FindLangClassRow(name)) << name;
    for (const char* name : {"TTNTLABEL", "tlabel", "TStringGrid"})
        EXPECT_FALSE(FindLangClassRow(name)) << name;
}

TEST_F(ApplyLanguageTest, ComboListsKeepTheirChoiceWhereTheyCan)
{
    int changes = 0;
    QObject::connect(combo, &QComboBox::currentIndexChanged, [&changes] { ++changes; });
    const struct {
        const char* items; // the line's item list
        int before;
        QStringList after;
        int chosen;
    } cases[] = {
        {"A\tB\tC", 5, {"A", "B", "C"}, 0},      // the old choice is past the new list
        {"A\tB\tC", 2, {"A", "B", "C"}, 2},      // still there: kept
        {"A\tB\tC", -1, {"A", "B", "C"}, -1},    // no choice stays no choice
        {"A\tB\t", 1, {"A", "B"}, 1},            // one TAB at the end: no empty item
        {"A\tB\t\t", 2, {"A", "B", ""}, 2},      // two: an empty last item
        {"", 0, {}, -1},                         // an empty list
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.items);
        ClearLanguages();
        Load("=FormT\tT\r\n&Combo1\tTTntComboBox\t" + QByteArray(c.items) + "\r\n");
        SetCombo({"1", "2", "3", "4", "5", "6"}, c.before);
        changes = 0;
        ASSERT_TRUE(SetLanguage("Test"));
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
            EXPECT_EQ(combo->itemData(i).toInt(), i);
        }
        EXPECT_EQ(items, c.after);
        EXPECT_EQ(combo->currentIndex(), c.chosen);
        EXPECT_EQ(changes, 0); // no change handler for a refill
    }
}

TEST_F(ApplyLanguageTest, RadioGroupsTakeNewItemsAndLoseTheirChoice)
{
    radios->resize(200, 100);
    radios->SetItems({"x", "y"});
    radios->SetItemIndex(1);
    Load("=FormT\tT\r\n&Radios1\tTTntRadioGroup\tMode\tOne\tTwo\tThree\r\n");
    ASSERT_TRUE(SetLanguage("Test"));
    EXPECT_EQ(radios->title(), "Mode");
    EXPECT_EQ(radios->Items(), (QStringList{"One", "Two", "Three"}));
    EXPECT_EQ(radios->ItemIndex(), -1);
}

} // namespace
