// The names page: the names of zones, modules, users and partitions in four grids, the
// default names, sending the names to the module, and the buttons that open the SMS text
// dialogs.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "editor/SendSequence.h"
#include "editor/Unit2.h"
#include "editor/Unit6.h"
#include "lang/Kalbos.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"
#include "widgets/PageWizard.h"

#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <functional>
#include <utility>

using ctl::Make;

namespace {

// One block of the name table as the page shows it.
struct NameBlock {
    int group;      // the module's name group (FDNr)
    int count;      // names used of the 32 of the group
    int message;    // language message whose text starts each default name and label
    int firstNumber; // number of the first name
};

// Block index = table group - 1: zones, modules, users, partitions.
constexpr NameBlock kBlocks[ItemNameGroupCount] = {
    {1, 32, 19, 1},
    {2, 16, 21, 0},
    {3, 32, 20, 0},
    {4, 8, 22, 1},
};

constexpr int kLabelColumnWidth = 35;
constexpr int kNameColumnWidth = 157;
constexpr int kRowHeight = 18;

QTableWidget* makeGrid(QWidget* parent, const char* name, int x, int y, int h, int rows)
{
    // Room for both columns, the frame and a vertical scroll bar.
    auto* g = Make<QTableWidget>(parent, name, x, y, kLabelColumnWidth + kNameColumnWidth + 22, h);
    g->setColumnCount(2);
    g->setRowCount(rows);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->verticalHeader()->setMinimumSectionSize(kRowHeight);
    g->verticalHeader()->setDefaultSectionSize(kRowHeight);
    g->setColumnWidth(0, kLabelColumnWidth);
    g->setColumnWidth(1, kNameColumnWidth);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectItems);
    g->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                       QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    g->setWordWrap(false);
    return g;
}

// Reports the text a user committed in a cell; texts the program puts into the grid
// are not edits and are not reported.
class NameEditDelegate : public QStyledItemDelegate {
public:
    using Handler = std::function<void(int col, int row, const QString& value)>;
    NameEditDelegate(QObject* parent, Handler handler) : QStyledItemDelegate(parent), handler_(std::move(handler)) {}

    // A name takes no more characters than the module keeps.
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* e = qobject_cast<QLineEdit*>(editor)) {
            fields::Install(e, TField::ElementName);
        }
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        QStyledItemDelegate::setModelData(editor, model, index);
        if (handler_)
            handler_(index.column(), index.row(), index.data(Qt::EditRole).toString());
    }

private:
    Handler handler_;
};

QLabel* caption(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    return ctl::MakeText<QLabel>(parent, name, text, x, y, w, 16);
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    auto* b = Make<QPushButton>(parent, name, x, y, w, 28);
    b->setText(text);
    return b;
}

} // namespace

QTableWidget* TForm1::NameGrid(int block) const
{
    switch (block) {
    case 0: return StringGrid3;
    case 1: return StringGrid6;
    case 2: return StringGrid5;
    case 3: return StringGrid4;
    default: return nullptr;
    }
}

void TForm1::BuildNamesPage(QWidget* page, int top)
{
    TntPanel31 = Make<QFrame>(page, "TntPanel31", 8, top, 738, 434);
    TntPanel31->setFrameShape(QFrame::NoFrame);

    // Zones and users in the first two columns, modules over partitions in the third.
    const int colX[3] = {12, 252, 492};
    TntLabel120 = caption(TntPanel31, "TntLabel120", QStringLiteral("Zones:"), colX[0], 6, 214);
    StringGrid3 = makeGrid(TntPanel31, "StringGrid3", colX[0], 24, 374, kBlocks[0].count);
    TntLabel121 = caption(TntPanel31, "TntLabel121", QStringLiteral("Users:"), colX[1], 6, 214);
    StringGrid5 = makeGrid(TntPanel31, "StringGrid5", colX[1], 24, 374, kBlocks[2].count);
    TntLabel122 = caption(TntPanel31, "TntLabel122", QStringLiteral("Modules:"), colX[2], 6, 214);
    StringGrid6 = makeGrid(TntPanel31, "StringGrid6", colX[2], 24, 194, kBlocks[1].count);
    TntLabel123 = caption(TntPanel31, "TntLabel123", QStringLiteral("Partitions:"), colX[2], 234, 214);
    StringGrid4 = makeGrid(TntPanel31, "StringGrid4", colX[2], 252, 146, kBlocks[3].count);

    TntButton24 = button(TntPanel31, "TntButton24", QStringLiteral("Set default"), colX[0], 404, 214);
    TntButton8 = button(TntPanel31, "TntButton8", QStringLiteral("SMS Phrases"), colX[1], 404, 214);
    TntButton33 = button(TntPanel31, "TntButton33", QStringLiteral("Additional SMS Texts"), colX[2], 404, 214);
    TntButton9 = button(TntPanel31, "TntButton9", QStringLiteral("Help Text"), colX[2], 404, 214);
    TntButton9->hide();

    for (int b = 0; b < ItemNameGroupCount; ++b) {
        QTableWidget* grid = NameGrid(b);
        grid->setItemDelegate(new NameEditDelegate(grid, [this, grid](int col, int row, const QString& value) {
            Guard([&] { StringGrid3SetEditText(grid, col, row, value); });
        }));
    }
    connect(TntButton24, &QPushButton::clicked, this, [this] { Guard([this] { TntButton24Click(); }); });
    connect(TntButton8, &QPushButton::clicked, this, [this] { Guard([this] { TntButton8Click(); }); });
    connect(TntButton33, &QPushButton::clicked, this, [this] { Guard([this] { TntButton33Click(); }); });

    FillNameGrids();
    for (int b = 0; b < ItemNameGroupCount; ++b)
        NameGrid(b)->setCurrentCell(0, 1);
}

void TForm1::FillNameGrids()
{
    // Fonts draw every character of the language already (the texts are Unicode here), so
    // there is no character set to pick for the grids.
    for (int b = 0; b < ItemNameGroupCount; ++b) {
        QTableWidget* grid = NameGrid(b);
        if (!grid)
            continue;
        const NameBlock& block = kBlocks[b];
        const QSignalBlocker quiet(grid);
        grid->setRowCount(block.count);
        const QString letter = GetLangText(block.message).left(1);
        for (int r = 0; r < block.count; ++r) {
            auto* label = new QTableWidgetItem(letter + QString::number(r + block.firstNumber));
            label->setFlags(Qt::ItemIsEnabled); // the fixed column: not selectable, not editable
            label->setBackground(grid->palette().button());
            grid->setItem(r, 0, label);
            auto* name = new QTableWidgetItem(ModuleText::ItemName(block.group, r));
            name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            grid->setItem(r, 1, name);
        }
    }
    // The inputs page shows the same names.
    RefreshInputNames();
}

void TForm1::StringGrid3SetEditText(QTableWidget* sender, int ACol, int ARow, const QString& Value)
{
    if (ACol != 1 || !sender)
        return;
    int block = -1;
    for (int b = 0; b < ItemNameGroupCount; ++b)
        if (NameGrid(b) == sender)
            block = b;
    if (block < 0 || ARow < 0 || ARow >= kBlocks[block].count)
        return;
    // The edited cell's own row: by the time an edit is committed the selection may
    // already stand on another row. What the user left as it was keeps its bytes; the
    // cell then shows what the module will hold.
    const int group = kBlocks[block].group;
    StoreItemName(group, ARow, ModuleText::Edited(ItemNameAt(group, ARow), Value));
    if (QTableWidgetItem* item = sender->item(ARow, 1))
        item->setText(ModuleText::ItemName(group, ARow));
    RefreshInputNames();
}

void TForm1::TntButton24Click()
{
    FillDefaultItemNames();
    FillNameGrids();
    for (int b = 0; b < ItemNameGroupCount; ++b)
        NameGrid(b)->setCurrentCell(0, 1);
}

void TForm1::TntButton8Click()
{
    if (Form2)
        Form2->show();
}

void TForm1::TntButton33Click()
{
    if (Form6)
        Form6->show();
}

void TForm1::FillDefaultItemNames()
{
    for (const NameBlock& block : kBlocks) {
        const QByteArray text = GetLangMessage(block.message);
        for (int k = 0; k < block.count; ++k)
            StoreItemName(block.group, k, ModuleText::FromLangText(text + QByteArray::number(k + block.firstNumber)));
    }
}

void TForm1::SendItemNames()
{
    try {
        // The window may let go of the link (closing) or the module may leave during any
        // pause: the rest is not sent.
        TSendSequence seq(*this);
        seq.Run([&] {
            for (const NameBlock& block : kBlocks)
                for (int k = 0; k < block.count; ++k)
                    seq.Send([&](TVEQ2& l) {
                        l.SendItemName(static_cast<quint8>(block.group), static_cast<quint8>(k),
                                       ItemNameAt(block.group, k));
                    }, 5);
        });
    } catch (...) {
        // A failed send ends the names silently; the caller goes on with its sequence.
    }
}

void TForm1::FillAdditionalTextEdits()
{
    if (!Form6)
        return;
    QLineEdit* edits[AdditionalSMSTextCount] = {Form6->AdSMSEdit0, Form6->AdSMSEdit1};
    for (int i = 0; i < AdditionalSMSTextCount; ++i)
        if (edits[i])
            ModuleText::Set(edits[i], AdditionalSMSTexts[i]);
}
