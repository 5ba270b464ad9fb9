// The inputs page (wizard page WPage3): six input rows. Each row says what its input does
// (nothing, report a Contact ID event, send an SMS text), its contact type, sensitivity
// and no-reaction time, and either the Contact ID event with its two parameters or the
// SMS text. The page keeps no model of its own: ApplyInputRecord copies a table entry
// into its row and BuildInputRecord builds the values to send from the row.
//
// What the module reports but a row cannot show is kept aside (InputReceived) and sent
// back unchanged, so that reading and writing a module never alters an input silently.
#include "editor/Main.h"

#include "editor/CIDCatalog.h"
#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/ModuleText.h"
#include "editor/Unit2.h"
#include "lang/LangText.h"
#include "widgets/Colors.h"
#include "widgets/PageWizard.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

using ctl::Make;

namespace {

constexpr int kSensitivityMin = 400;
constexpr int kSensitivityMax = 2500;
constexpr int kSensitivityStep = 100;
constexpr std::uint8_t kPnCRAlarmSMS = 0x40;
constexpr int kTreeColumns = 7;

// The box about an event that CID_Descriptions.txt lacks; the fixed text stands in when
// the language file has no such message.
constexpr int kCorruptedCatalogueMessage = 112;
const char* const kCorruptedCatalogue =
    "The list of Contact ID events (CID_Descriptions.txt) has no event for a code that an input of the module uses.";

// The designed names of the six rows' controls, by role.
template <class T>
using Member = T* TForm1::*;

const Member<QComboBox> kFunctionCombo[InputCount] = {&TForm1::ComboBox5, &TForm1::ComboBox7,
    &TForm1::ComboBox8, &TForm1::ComboBox9, &TForm1::ComboBox10, &TForm1::ComboBox11};
const Member<QComboBox> kTypeCombo[InputCount] = {&TForm1::ComboBox12, &TForm1::ComboBox13,
    &TForm1::ComboBox14, &TForm1::ComboBox15, &TForm1::ComboBox16, &TForm1::ComboBox17};
const Member<TSpinEdit> kSensitivity[InputCount] = {&TForm1::SpinEdit10, &TForm1::SpinEdit12,
    &TForm1::SpinEdit14, &TForm1::SpinEdit16, &TForm1::SpinEdit18, &TForm1::SpinEdit20};
const Member<TSpinEdit> kViolations[InputCount] = {&TForm1::SpinEdit11, &TForm1::SpinEdit13,
    &TForm1::SpinEdit15, &TForm1::SpinEdit17, &TForm1::SpinEdit19, &TForm1::SpinEdit21};
const Member<QTimeEdit> kNoReaction[InputCount] = {&TForm1::DaTiNoReaction1,
    &TForm1::DaTiNoReaction2, &TForm1::DaTiNoReaction3, &TForm1::DaTiNoReaction4,
    &TForm1::DaTiNoReaction5, &TForm1::DaTiNoReaction6};
const Member<QFrame> kTypePanel[InputCount] = {&TForm1::PNust1, &TForm1::PNust2, &TForm1::PNust3,
    &TForm1::PNust4, &TForm1::PNust5, &TForm1::PNust6};
const Member<QFrame> kCIDPanel[InputCount] = {&TForm1::Panel4, &TForm1::Panel19, &TForm1::Panel20,
    &TForm1::Panel21, &TForm1::Panel22, &TForm1::Panel23};
const Member<QComboBox> kEventCombo[InputCount] = {&TForm1::ComboBox6, &TForm1::ComboBox18,
    &TForm1::ComboBox19, &TForm1::ComboBox20, &TForm1::ComboBox21, &TForm1::ComboBox22};
const Member<QCheckBox> kRestore[InputCount] = {&TForm1::TntCheckBox16, &TForm1::TntCheckBox17,
    &TForm1::TntCheckBox18, &TForm1::TntCheckBox19, &TForm1::TntCheckBox20, &TForm1::TntCheckBox21};
const Member<QTreeView> kTree[InputCount] = {&TForm1::VTIN1, &TForm1::VTIN2, &TForm1::VTIN3,
    &TForm1::VTIN4, &TForm1::VTIN5, &TForm1::VTIN6};
const Member<QFrame> k24HPanel[InputCount] = {&TForm1::TntPanel20, &TForm1::TntPanel26,
    &TForm1::TntPanel27, &TForm1::TntPanel28, &TForm1::TntPanel29, &TForm1::TntPanel30};
const Member<QCheckBox> k24H[InputCount] = {&TForm1::TntCheckBox44, &TForm1::TntCheckBox45,
    &TForm1::TntCheckBox46, &TForm1::TntCheckBox47, &TForm1::TntCheckBox48, &TForm1::TntCheckBox49};
const Member<QLabel> kQuestion[InputCount] = {&TForm1::TntLabel87, &TForm1::TntLabel88,
    &TForm1::TntLabel90, &TForm1::TntLabel91, &TForm1::TntLabel93, &TForm1::TntLabel94};
const Member<QFrame> kSmsPanel[InputCount] = {&TForm1::TntPanel1, &TForm1::TntPanel2,
    &TForm1::TntPanel3, &TForm1::TntPanel4, &TForm1::TntPanel5, &TForm1::TntPanel6};
const Member<QLineEdit> kSmsEdit[InputCount] = {&TForm1::Edit15, &TForm1::Edit16, &TForm1::Edit17,
    &TForm1::Edit18, &TForm1::Edit19, &TForm1::Edit20};
const Member<QLabel> kSmsLabel[InputCount] = {&TForm1::TntLabel21, &TForm1::TntLabel22,
    &TForm1::TntLabel23, &TForm1::TntLabel24, &TForm1::TntLabel27, &TForm1::TntLabel29};
const Member<QLabel> kNote[InputCount] = {&TForm1::TntLabel11, &TForm1::TntLabel12,
    &TForm1::TntLabel13, &TForm1::TntLabel18, &TForm1::TntLabel19, &TForm1::TntLabel20};
const Member<QLabel> kParams[InputCount] = {&TForm1::InTntLabel63, &TForm1::InTntLabel64,
    &TForm1::TntLabel65, &TForm1::TntLabel66, &TForm1::TntLabel67, &TForm1::TntLabel68};
const Member<QLabel> kExclamation[InputCount] = {&TForm1::TntLabel74, &TForm1::TntLabel75,
    &TForm1::TntLabel76, &TForm1::TntLabel77, &TForm1::TntLabel78, &TForm1::TntLabel79};
const Member<QLabel> kMs[InputCount] = {&TForm1::Label3, &TForm1::Label37, &TForm1::Label48,
    &TForm1::Label50, &TForm1::Label53, &TForm1::Label54};
const Member<QLabel> kHms[InputCount] = {&TForm1::Label91, &TForm1::Label92, &TForm1::Label93,
    &TForm1::Label94, &TForm1::Label95, &TForm1::Label96};
const Member<QGroupBox> kGroupBox[InputCount] = {&TForm1::TntGroupBox8, &TForm1::TntGroupBox5,
    &TForm1::TntGroupBox6, &TForm1::TntGroupBox7, &TForm1::TntGroupBox9, &TForm1::TntGroupBox10};
const Member<QLabel> kTypeLabel[InputCount] = {&TForm1::Label1, &TForm1::TntLabel25,
    &TForm1::TntLabel30, &TForm1::TntLabel35, &TForm1::TntLabel40, &TForm1::TntLabel45};
const Member<QLabel> kSensLabel[InputCount] = {&TForm1::Label2, &TForm1::TntLabel26,
    &TForm1::TntLabel31, &TForm1::TntLabel36, &TForm1::TntLabel41, &TForm1::TntLabel47};
const Member<QLabel> kNoReactionLabel[InputCount] = {&TForm1::Label90, &TForm1::TntLabel28,
    &TForm1::TntLabel33, &TForm1::TntLabel38, &TForm1::TntLabel43, &TForm1::InTntLabel49};
const Member<QLabel> kEventIdLabel[InputCount] = {&TForm1::TntLabel85, &TForm1::TntLabel86,
    &TForm1::TntLabel89, &TForm1::TntLabel92, &TForm1::InTntLabel95, &TForm1::TntLabel98};
const Member<QComboBox> kQualifier[InputCount] = {&TForm1::TntComboBox8, &TForm1::TntComboBox9,
    &TForm1::TntComboBox10, &TForm1::TntComboBox11, &TForm1::TntComboBox12, &TForm1::TntComboBox13};
const Member<QLineEdit> kEventCode[InputCount] = {&TForm1::TntEdit6, &TForm1::TntEdit7,
    &TForm1::TntEdit10, &TForm1::TntEdit11, &TForm1::TntEdit12, &TForm1::TntEdit13};
const Member<QLabel> kGroupLabel[InputCount] = {&TForm1::TntLabel53, &TForm1::Label56,
    &TForm1::Label78, &TForm1::Label81, &TForm1::Label84, &TForm1::Label87};
const Member<TSpinEdit> kGroupSpin[InputCount] = {&TForm1::SpinEdit5, &TForm1::SpinEdit23,
    &TForm1::SpinEdit25, &TForm1::SpinEdit27, &TForm1::SpinEdit29, &TForm1::SpinEdit31};
const Member<QLabel> kZoneLabel[InputCount] = {&TForm1::TntLabel54, &TForm1::Label59,
    &TForm1::Label79, &TForm1::Label82, &TForm1::Label85, &TForm1::Label88};
const Member<TSpinEdit> kZoneSpin[InputCount] = {&TForm1::SpinEdit4, &TForm1::SpinEdit22,
    &TForm1::SpinEdit24, &TForm1::SpinEdit26, &TForm1::SpinEdit28, &TForm1::SpinEdit30};

const char* const kNames[][InputCount] = {
    {"ComboBox5", "ComboBox7", "ComboBox8", "ComboBox9", "ComboBox10", "ComboBox11"},
    {"ComboBox12", "ComboBox13", "ComboBox14", "ComboBox15", "ComboBox16", "ComboBox17"},
    {"SpinEdit10", "SpinEdit12", "SpinEdit14", "SpinEdit16", "SpinEdit18", "SpinEdit20"},
    {"SpinEdit11", "SpinEdit13", "SpinEdit15", "SpinEdit17", "SpinEdit19", "SpinEdit21"},
    {"DaTiNoReaction1", "DaTiNoReaction2", "DaTiNoReaction3", "DaTiNoReaction4",
     "DaTiNoReaction5", "DaTiNoReaction6"},
    {"PNust1", "PNust2", "PNust3", "PNust4", "PNust5", "PNust6"},
    {"Panel4", "Panel19", "Panel20", "Panel21", "Panel22", "Panel23"},
    {"ComboBox6", "ComboBox18", "ComboBox19", "ComboBox20", "ComboBox21", "ComboBox22"},
    {"TntCheckBox16", "TntCheckBox17", "TntCheckBox18", "TntCheckBox19", "TntCheckBox20",
     "TntCheckBox21"},
    {"VTIN1", "VTIN2", "VTIN3", "VTIN4", "VTIN5", "VTIN6"},
    {"TntPanel20", "TntPanel26", "TntPanel27", "TntPanel28", "TntPanel29", "TntPanel30"},
    {"TntCheckBox44", "TntCheckBox45", "TntCheckBox46", "TntCheckBox47", "TntCheckBox48",
     "TntCheckBox49"},
    {"TntLabel87", "TntLabel88", "TntLabel90", "TntLabel91", "TntLabel93", "TntLabel94"},
    {"TntPanel1", "TntPanel2", "TntPanel3", "TntPanel4", "TntPanel5", "TntPanel6"},
    {"Edit15", "Edit16", "Edit17", "Edit18", "Edit19", "Edit20"},
    {"TntLabel21", "TntLabel22", "TntLabel23", "TntLabel24", "TntLabel27", "TntLabel29"},
    {"TntLabel11", "TntLabel12", "TntLabel13", "TntLabel18", "TntLabel19", "TntLabel20"},
    {"TntLabel63", "TntLabel64", "TntLabel65", "TntLabel66", "TntLabel67", "TntLabel68"},
    {"TntLabel74", "TntLabel75", "TntLabel76", "TntLabel77", "TntLabel78", "TntLabel79"},
    {"Label3", "Label37", "Label48", "Label50", "Label53", "Label54"},
    {"Label91", "Label92", "Label93", "Label94", "Label95", "Label96"},
    {"TntGroupBox8", "TntGroupBox5", "TntGroupBox6", "TntGroupBox7", "TntGroupBox9",
     "TntGroupBox10"},
    {"Label1", "TntLabel25", "TntLabel30", "TntLabel35", "TntLabel40", "TntLabel45"},
    {"Label2", "TntLabel26", "TntLabel31", "TntLabel36", "TntLabel41", "TntLabel47"},
    {"Label90", "TntLabel28", "TntLabel33", "TntLabel38", "TntLabel43", "TntLabel49"},
    {"TntLabel85", "TntLabel86", "TntLabel89", "TntLabel92", "TntLabel95", "TntLabel98"},
    {"TntComboBox8", "TntComboBox9", "TntComboBox10", "TntComboBox11", "TntComboBox12",
     "TntComboBox13"},
    {"TntEdit6", "TntEdit7", "TntEdit10", "TntEdit11", "TntEdit12", "TntEdit13"},
    {"TntLabel53", "Label56", "Label78", "Label81", "Label84", "Label87"},
    {"SpinEdit5", "SpinEdit23", "SpinEdit25", "SpinEdit27", "SpinEdit29", "SpinEdit31"},
    {"TntLabel54", "Label59", "Label79", "Label82", "Label85", "Label88"},
    {"SpinEdit4", "SpinEdit22", "SpinEdit24", "SpinEdit26", "SpinEdit28", "SpinEdit30"},
};
enum NameRole {
    nFunction, nType, nSensitivity, nViolations, nNoReaction, nTypePanel, nCIDPanel, nEvent,
    nRestore, nTree, n24HPanel, n24H, nQuestion, nSmsPanel, nSmsEdit, nSmsLabel, nNote, nParams,
    nExclamation, nMs, nHms, nGroupBox, nTypeLabel, nSensLabel, nNoReactionLabel, nEventIdLabel,
    nQualifier, nEventCode, nGroupLabel, nGroupSpin, nZoneLabel, nZoneSpin
};

// The designed function texts, used until the language gives its own.
const char* const kFunctionTexts[3] = {"Not used", "Send CID", "Send SMS"};
constexpr int kFunctionMessage = 93; // messages 93, 94, 95

// Reacts to a left click on a label (the "!" labels are clickable).
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void(QObject*)> onClick)
        : QObject(parent), onClick_(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
            onClick_(watched);
        return QObject::eventFilter(watched, e);
    }

private:
    std::function<void(QObject*)> onClick_;
};

// Draws the cell lines of the parameter trees and gives names a plain 16-character editor.
class ParameterDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(p, option, index);
        const int col = index.column();
        if (col == 3)
            return;
        const QRect r = option.rect;
        const QColor face = colors::ToQColor(colors::clBtnFace);
        p->save();
        p->setPen(Qt::black);
        p->drawLine(r.left(), r.top(), r.right(), r.top());
        if (col == 0 || col == 4)
            p->drawLine(r.left(), r.top(), r.left(), r.bottom());
        p->setPen(face);
        p->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        if (col == 0 || col == 4)
            p->drawLine(r.right() - 1, r.top(), r.right() - 1, r.bottom());
        p->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* e = new QLineEdit(parent);
        e->setFrame(false);
        fields::Install(e, TField::ElementName);
        return e;
    }
};

} // namespace

// The one node of a parameter tree, shown as one row of seven columns. The node data is
// the form's (InputNodes); the model asks the form for texts and images and hands names
// typed in place to it.
class TForm1::TInputTreeModel : public QAbstractTableModel {
public:
    TInputTreeModel(TForm1* form, int input, QObject* parent)
        : QAbstractTableModel(parent), form_(form), input_(input) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 1; }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : kTreeColumns;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return form_->VTIN1GetText(input_, index.column());
        if (role == Qt::DecorationRole && form_->VTIN1GetImageIndexEx(input_, index.column()) == 0)
            return form_->style()->standardIcon(QStyle::SP_ArrowDown);
        if (role == Qt::TextAlignmentRole && (index.column() == 0 || index.column() == 4))
            return int(Qt::AlignCenter);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        const int c = index.column();
        if ((c == 1 || c == 5) && form_->InputNodes[input_].Slot[c == 1 ? 0 : 1].Active)
            f |= Qt::ItemIsEditable;
        return f;
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (role != Qt::EditRole || !index.isValid())
            return false;
        bool done = false;
        form_->Guard([&] {
            form_->VTIN1NewText(input_, index.column(), value.toString());
            done = true;
        });
        return done;
    }

    QVariant headerData(int section, Qt::Orientation o, int role) const override
    {
        static const char* const titles[kTreeColumns] = {"CB1 Idx", "CB1", "Arrow1", "Space",
                                                         "CB2 Idx", "CB2", "Arrow2"};
        if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kTreeColumns)
            return QString::fromLatin1(titles[section]);
        return {};
    }

    void Repaint() { emit dataChanged(index(0, 0), index(0, kTreeColumns - 1)); }

private:
    TForm1* form_;
    int input_;
};

namespace {

// The row's controls, read from the form's members.
struct InputRow {
    QComboBox* Function;
    QComboBox* Type;
    TSpinEdit* Sensitivity;
    TSpinEdit* Violations;
    QTimeEdit* NoReaction;
    QFrame* TypePanel;
    QFrame* CIDPanel;
    QComboBox* Event;
    QCheckBox* Restore;
    QTreeView* Tree;
    QFrame* Panel24H;
    QCheckBox* Box24H;
    QLabel* Question;
    QFrame* SmsPanel;
    QLineEdit* SmsEdit;
    QLabel* SmsLabel;
    QLabel* Note;
    QLabel* Params;
    QLabel* Exclamation;
    QLabel* Ms;
    QLabel* Hms;
    QGroupBox* Group;
};

InputRow RowOf(const TForm1& f, int i)
{
    return {f.*kFunctionCombo[i], f.*kTypeCombo[i], f.*kSensitivity[i], f.*kViolations[i],
            f.*kNoReaction[i], f.*kTypePanel[i], f.*kCIDPanel[i], f.*kEventCombo[i],
            f.*kRestore[i], f.*kTree[i], f.*k24HPanel[i], f.*k24H[i], f.*kQuestion[i],
            f.*kSmsPanel[i], f.*kSmsEdit[i], f.*kSmsLabel[i], f.*kNote[i], f.*kParams[i],
            f.*kExclamation[i], f.*kMs[i], f.*kHms[i], f.*kGroupBox[i]};
}

// Whether the page was built (tests may create the window's pieces selectively).
bool Built(const TForm1& f) { return f.ComboBox5 != nullptr; }

} // namespace

// ---- building --------------------------------------------------------------------------

void TForm1::BuildInputsPage(QWidget* page, int top)
{
    // Six rows do not fit the page at once: they scroll inside it.
    InputsScrollBox = Make<QScrollArea>(page, "InputsScrollBox", 8, top, 740, 510 - top);
    InputsScrollBox->setFrameShape(QFrame::NoFrame);
    InputsScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    constexpr int rowHeight = 80;
    InputsBox = new QWidget;
    InputsBox->setObjectName(QStringLiteral("InputsBox"));
    InputsBox->resize(720, InputCount * rowHeight + 4);
    InputsScrollBox->setWidget(InputsBox);

    const QFont bold = [&] {
        QFont f = font();
        f.setBold(true);
        return f;
    }();

    Popup1 = new QMenu(this);
    Popup1->setObjectName(QStringLiteral("Popup1"));

    for (int i = 0; i < InputCount; ++i) {
        auto name = [i](NameRole r) { return kNames[r][i]; };
        auto* g = Make<QGroupBox>(InputsBox, name(nGroupBox), 0, 2 + i * rowHeight, 716, rowHeight - 4);
        g->setTitle(QStringLiteral("Input %1").arg(i + 1));
        this->*kGroupBox[i] = g;

        // Line 1: function, parameters of the contact.
        auto* fn = Make<QComboBox>(g, name(nFunction), 8, 20, 136, 22);
        this->*kFunctionCombo[i] = fn;
        auto* params = Make<QLabel>(g, name(nParams), 146, 22, 76, 18);
        params->setText(QStringLiteral("Parameters:"));
        params->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        this->*kParams[i] = params;
        auto* pn = Make<QFrame>(g, name(nTypePanel), 226, 18, 484, 26);
        this->*kTypePanel[i] = pn;
        auto label = [&](QWidget* parent, NameRole role, const char* text, int x, int y, int w) {
            auto* l = Make<QLabel>(parent, name(role), x, y, w, 18);
            l->setText(QString::fromLatin1(text));
            return l;
        };
        this->*kTypeLabel[i] = label(pn, nTypeLabel, "Type:", 0, 5, 34);
        auto* type = Make<QComboBox>(pn, name(nType), 34, 2, 50, 22);
        type->addItems({QStringLiteral("NO"), QStringLiteral("NC")});
        type->setCurrentIndex(0);
        this->*kTypeCombo[i] = type;
        this->*kSensLabel[i] = label(pn, nSensLabel, "Sensitivity:", 90, 5, 64);
        auto* sens = Make<TSpinEdit>(pn, name(nSensitivity), 154, 2, 58, 22);
        sens->setRange(kSensitivityMin, kSensitivityMax);
        sens->setSingleStep(kSensitivityStep);
        sens->SetValue(kSensitivityMin);
        this->*kSensitivity[i] = sens;
        this->*kMs[i] = label(pn, nMs, "ms", 217, 5, 20);
        this->*kNoReactionLabel[i] = label(pn, nNoReactionLabel, "No reaction:", 238, 5, 76);
        auto* picker = Make<QTimeEdit>(pn, name(nNoReaction), 314, 2, 78, 22);
        picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        picker->setTime(QTime(0, 0, 0));
        this->*kNoReaction[i] = picker;
        this->*kHms[i] = label(pn, nHms, "hour:min:sec", 398, 5, 84);
        auto* viol = Make<TSpinEdit>(pn, name(nViolations), 470, 2, 30, 22);
        viol->setRange(0, 1);
        viol->SetValue(0);
        viol->hide();
        this->*kViolations[i] = viol;
        // The first line follows the width of its captions in every language.
        {
            auto* line = new QHBoxLayout(pn);
            line->setContentsMargins(0, 0, 0, 0);
            line->setSpacing(3);
            for (QWidget* w : std::initializer_list<QWidget*>{this->*kTypeLabel[i], type,
                                                              this->*kSensLabel[i], sens, this->*kMs[i],
                                                              this->*kNoReactionLabel[i], picker,
                                                              this->*kHms[i], viol}) {
                if (qobject_cast<QLabel*>(w))
                    w->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
                else
                    w->setFixedWidth(w->width());
                line->addWidget(w);
                if (w == this->*kMs[i])
                    line->addSpacing(6);
            }
            line->addStretch(1);
        }

        // Line 2: the Contact ID event with its parameters, or the SMS text.
        auto* cid = Make<QFrame>(g, name(nCIDPanel), 8, 46, 700, 26);
        this->*kCIDPanel[i] = cid;
        auto* ev = Make<QComboBox>(cid, name(nEvent), 0, 2, 226, 22);
        this->*kEventCombo[i] = ev;
        auto* restore = Make<QCheckBox>(cid, name(nRestore), 230, 3, 84, 20);
        restore->setText(QStringLiteral("Restore"));
        this->*kRestore[i] = restore;
        auto* tree = Make<QTreeView>(cid, name(nTree), 318, 2, 330, 22);
        this->*kTree[i] = tree;
        auto* question = Make<QLabel>(cid, name(nQuestion), 652, 4, 14, 18);
        question->setText(QStringLiteral("?"));
        question->setFont(bold);
        question->hide();
        this->*kQuestion[i] = question;
        // The older Contact ID line: event code and numbers typed in; never shown.
        QLabel* hidden[] = {
            this->*kEventIdLabel[i] = label(cid, nEventIdLabel, "Event ID:", 0, 30, 56),
            this->*kGroupLabel[i] = label(cid, nGroupLabel, "Group:", 160, 30, 40),
            this->*kZoneLabel[i] = label(cid, nZoneLabel, "Zone:", 256, 30, 36)};
        for (QLabel* l : hidden)
            l->hide();
        auto* qualifier = Make<QComboBox>(cid, name(nQualifier), 58, 28, 40, 22);
        qualifier->addItems({QStringLiteral("1"), QStringLiteral("3")});
        qualifier->setCurrentIndex(0);
        qualifier->hide();
        this->*kQualifier[i] = qualifier;
        auto* code = Make<QLineEdit>(cid, name(nEventCode), 98, 28, 50, 22);
        code->setMaxLength(3);
        code->hide();
        this->*kEventCode[i] = code;
        auto* groupSpin = Make<TSpinEdit>(cid, name(nGroupSpin), 202, 28, 50, 22);
        groupSpin->setRange(0, 99);
        groupSpin->hide();
        this->*kGroupSpin[i] = groupSpin;
        auto* zoneSpin = Make<TSpinEdit>(cid, name(nZoneSpin), 294, 28, 56, 22);
        zoneSpin->setRange(0, 999);
        zoneSpin->hide();
        this->*kZoneSpin[i] = zoneSpin;
        auto* p24 = Make<QFrame>(cid, name(n24HPanel), 354, 28, 40, 22);
        p24->hide();
        this->*k24HPanel[i] = p24;
        auto* b24 = Make<QCheckBox>(p24, name(n24H), 0, 1, 40, 20);
        b24->setText(QStringLiteral("24H"));
        this->*k24H[i] = b24;
        auto* smsLabel = Make<QLabel>(g, name(nSmsLabel), 676, 50, 34, 18);
        smsLabel->setText(QStringLiteral("SMS"));
        smsLabel->setFont(bold);
        smsLabel->hide();
        this->*kSmsLabel[i] = smsLabel;

        // The panel ends before the "!" beside its edit.
        auto* smsPanel = Make<QFrame>(g, name(nSmsPanel), 8, 46, 564, 26);
        this->*kSmsPanel[i] = smsPanel;
        auto* smsEdit = Make<QLineEdit>(smsPanel, name(nSmsEdit), 0, 2, 560, 22);
        ModuleText::Hold(smsEdit, fields::Rule(TField::SmsText).moduleWidth);
        fields::Install(smsEdit, TField::SmsText);
        this->*kSmsEdit[i] = smsEdit;
        auto* note = Make<QLabel>(g, name(nNote), 8, 50, 600, 18);
        note->hide();
        this->*kNote[i] = note;
        auto* excl = Make<QLabel>(g, name(nExclamation), 576, 49, 16, 18);
        excl->setText(QStringLiteral("!"));
        excl->setFont(bold);
        {
            QPalette pal = excl->palette();
            pal.setColor(QPalette::WindowText, colors::ToQColor(colors::clRed));
            excl->setPalette(pal);
        }
        excl->setCursor(Qt::PointingHandCursor);
        excl->hide();
        this->*kExclamation[i] = excl;

        // The parameter tree: one node, seven columns, no header.
        auto* model = new TInputTreeModel(this, i, tree);
        InputTreeModels[i] = model;
        tree->setModel(model);
        tree->setItemDelegate(new ParameterDelegate(tree));
        tree->setHeaderHidden(true);
        tree->setRootIsDecorated(false);
        tree->setItemsExpandable(false);
        tree->setUniformRowHeights(true);
        tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
        tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        tree->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        tree->header()->setStretchLastSection(false);
        tree->header()->setMinimumSectionSize(4);
        const int widths[kTreeColumns] = {30, 112, 22, 8, 34, 102, 22};
        for (int c = 0; c < kTreeColumns; ++c)
            tree->setColumnWidth(c, widths[c]);

        // Handlers.
        connect(fn, &QComboBox::activated, this, [this, fn, i] {
            Guard([&] {
                InputKeepAll[i] = false; // the user chose what the input does
                ComboBox5Change(fn);
            });
        });
        connect(ev, &QComboBox::activated, this, [this, ev, i] {
            Guard([&] {
                InputKeepCID[i] = false; // the user chose the event
                ComboBox6Change(ev);
            });
        });
        connect(smsEdit, &QLineEdit::textChanged, this, [this, smsEdit] {
            Guard([&] { TntEdit5Change(smsEdit); });
        });
        connect(picker, &QTimeEdit::timeChanged, this, [this, picker] {
            Guard([&] { DaTiNoReaction1Change(picker); });
        });
        connect(tree, &QTreeView::clicked, this, [this, i](const QModelIndex& idx) {
            Guard([&] { VTIN1ColumnClick(i, idx.column()); });
        });
        connect(model, &QAbstractItemModel::dataChanged, this, [this, i] {
            Guard([&] { VTIN1Change(i); });
        });
        connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this, i] {
            Guard([&] { VTIN1FocusChanged(i); });
        });
        excl->installEventFilter(new ClickFilter(excl, [this](QObject* s) {
            Guard([&] { TntLabel74Click(s); });
        }));
    }

    for (int i = 0; i < InputCount; ++i) {
        QComboBox* fn = this->*kFunctionCombo[i];
        for (const char* t : kFunctionTexts)
            fn->addItem(QString::fromLatin1(t));
        fn->setPlaceholderText(HeldRowText());
        fn->setCurrentIndex(0);
    }

    if (auto* p = dynamic_cast<TPageWizardWelcomePage*>(page))
        p->OnEnterPage = [this](QObject*, TPageWizardCustomPage*) { Guard([this] { WPage3EnterPage(); }); };

    InitInputTable();
    for (int i = 0; i < InputCount; ++i)
        InputFunctionComboboxChange(i);
}

void TForm1::InitInputTable()
{
    if (!Built(*this))
        return;
    for (int i = 0; i < InputCount; ++i) {
        const InputRow r = RowOf(*this, i);
        TInputRowControls& c = InputTable[i].Row;
        c = TInputRowControls();
        c.CIDPanel = r.CIDPanel;
        c.NamePanel = r.SmsPanel;
        c.ParamPanel = r.TypePanel;
        c.FunctionCombo = r.Function;
        for (int k = 0; k < r.Function->count(); ++k)
            c.FunctionItems.append(r.Function->itemText(k));
        c.TypeCombo = r.Type;
        c.SensitivitySpin = r.Sensitivity;
        c.ViolationsSpin = r.Violations;
        c.Labels = {this->*kTypeLabel[i], this->*kSensLabel[i], r.Ms, this->*kNoReactionLabel[i], r.Hms};
        c.MoreLabels = {r.Note, r.SmsLabel, r.Params, r.Exclamation, this->*kEventIdLabel[i], r.Question};
        c.RestoreBox = r.Restore;
        c.ContactIDPanel = r.Panel24H;
        c.QualifierCombo = this->*kQualifier[i];
        c.EventCodeEdit = this->*kEventCode[i];
        c.GroupSpin = this->*kGroupSpin[i];
        c.ZoneSpin = this->*kZoneSpin[i];
        c.HintLabel = r.SmsLabel;
        c.CIDFunctionCombo = r.Event;
        c.NameEdit = r.SmsEdit;
        c.CIDParamTree = r.Tree;
        c.RowGroupBox = r.Group;
        c.NoSenseTimePicker = r.NoReaction;
        c.Box24H = r.Box24H;

        // No outer bevels on the row's panels; the "24H" panel in the window colour; the
        // tree without a border.
        for (QFrame* p : {r.CIDPanel, r.SmsPanel, r.Panel24H})
            p->setFrameShape(QFrame::NoFrame);
        r.Panel24H->setAutoFillBackground(true);
        QPalette pal = r.Panel24H->palette();
        pal.setColor(QPalette::Window, colors::ToQColor(colors::clWindow));
        r.Panel24H->setPalette(pal);
        r.Tree->setFrameShape(QFrame::NoFrame);
        VTIN1FreeNode(i);

        // The table must not keep references to controls that are gone.
        QGroupBox* group = r.Group;
        connect(group, &QObject::destroyed, [i, group] {
            if (InputTable[i].Row.RowGroupBox == group)
                InputTable[i].Row = TInputRowControls();
        });
    }
}

void TForm1::FillInputLists(bool reset)
{
    if (!Built(*this))
        return;
    for (int i = 0; i < InputCount; ++i) {
        QComboBox* fn = this->*kFunctionCombo[i];
        const QSignalBlocker block(fn);
        const int was = reset ? 0 : fn->currentIndex();
        fn->clear();
        fn->setPlaceholderText(HeldRowText());
        for (int k = 0; k < 3; ++k) {
            QString t = LangMessage(kFunctionMessage + k);
            fn->addItem(t.isEmpty() ? QString::fromLatin1(kFunctionTexts[k]) : t, k);
        }
        // A row showing a function it cannot offer keeps showing none.
        fn->setCurrentIndex(InputKeepAll[i] ? -1 : was >= 0 && was < fn->count() ? was : 0);
        InputTable[i].Row.FunctionItems.clear();
        for (int k = 0; k < fn->count(); ++k)
            InputTable[i].Row.FunctionItems.append(fn->itemText(k));
    }
    for (int i = 0; i < InputCount; ++i) {
        QComboBox* ev = this->*kEventCombo[i];
        const int was = reset ? 0 : ev->currentIndex();
        const bool firstFill = ev->count() == 0;
        {
            const QSignalBlocker block(ev);
            ev->clear();
            for (const TCIDDescription& d : CIDDescriptions)
                ev->addItem(LangToUnicode(d.Description));
            if (was >= 0 && was < ev->count())
                ev->setCurrentIndex(was);
            else
                ev->setCurrentIndex(firstFill && ev->count() > 0 ? 0 : -1);
        }
        if (ev->currentIndex() < 0)
            continue; // a code the catalogue does not list: it was reported when it arrived
        // A new list of the same events changes nothing of the row: its parameters, its
        // "24H" and "Restore" stay as they were (the event's presets apply only when an
        // event is chosen).
        const InputRow r = RowOf(*this, i);
        const bool keep = !reset && was == ev->currentIndex();
        const TCIDParameterNode before = InputNodes[i];
        const bool box24H = r.Box24H->isChecked();
        const bool restore = r.Restore->isChecked();
        ComboBox6Change(ev);
        if (keep) {
            TCIDParameterNode& now = InputNodes[i];
            for (int s = 0; s < 2; ++s) {
                if (before.Slot[s].Active && now.Slot[s].Active &&
                    before.Slot[s].GridNumber == now.Slot[s].GridNumber) {
                    now.Slot[s].Index = before.Slot[s].Index;
                }
            }
            r.Box24H->setChecked(box24H);
            if (!r.Restore->isHidden())
                r.Restore->setChecked(restore);
            InputTreeModels[i]->Repaint();
            if (r.Function->currentIndex() == 1)
                r.SmsLabel->setVisible(BuildCIDSmsHint(i));
        }
    }
    RefreshInputFunctions();
}

namespace {
// The event lists follow the catalogue, which is loaded after the window was built.
bool ListsMatchCatalogue(const TForm1& f)
{
    return f.ComboBox6->count() == int(CIDDescriptions.size());
}
} // namespace

// ---- record to row, row to record -------------------------------------------------------

void TForm1::ApplyInputRecord(int index)
{
    if (!Built(*this) || !IsInputIndex(index))
        return;
    if (!ListsMatchCatalogue(*this))
        FillInputLists();
    const TInputRecord& rec = InputTable[index];
    const InputRow r = RowOf(*this, index);
    TInputRecord& kept = InputReceived[index];
    kept.SMSText = rec.SMSText;
    kept.CR = rec.CR;
    kept.Violations = rec.Violations;
    kept.Sensivity = rec.Sensivity;
    kept.NoSenseInterval = rec.NoSenseInterval;
    kept.CID = rec.CID;

    const TInputCRControls bits = DecodeInputCR(rec.CR);
    if (bits.FunctionIndex >= r.Function->count()) {
        // The row cannot show this function: its combo says it is not editable here,
        // with no parameters, and what arrived is what the next write sends for this input.
        InputKeepAll[index] = true;
        InputKeepCID[index] = false;
        r.Function->setCurrentIndex(-1);
        return;
    }
    InputKeepAll[index] = false;
    InputKeepCID[index] = false;

    r.Function->setCurrentIndex(bits.FunctionIndex);
    r.Type->setCurrentIndex(bits.TypeIndex);
    ModuleText::Set(r.SmsEdit, rec.SMSText);
    r.Sensitivity->SetValue(rec.Sensivity * kSensitivityStep);
    {
        // Applying a record runs none of the row's change handlers.
        const QSignalBlocker block(r.NoReaction);
        r.NoReaction->setTime(SecondsToTime(rec.NoSenseInterval));
    }
    r.Violations->SetValue(rec.Violations);
    r.Restore->setChecked(bits.RestoreBox);
    r.Box24H->setChecked(bits.Box24H);

    QByteArray key;
    int group = 0, zone = 0;
    DecodeContactID(rec.CID, key, group, zone);
    int pos = 0;
    const std::uint8_t found = FindCIDByCode(key, pos);
    switch (found) {
    case 1: {
        r.Event->setCurrentIndex(pos);
        SetupInputCIDParameters(r.Event);
        const int values[2] = {group, zone};
        for (int s = 0; s < 2; ++s) {
            TCIDParameterSlot& slot = InputNodes[index].Slot[s];
            if (!slot.Active)
                continue;
            const int position = values[s] - slot.NumberOffset;
            if (position < 0) {
                // A number below the first name (group 0 of a partition): no name, and
                // the number itself is kept.
                slot.Index = -1;
            } else if (position + 1 <= slot.ItemCount) {
                slot.Index = position;
            }
        }
        InputTreeModels[index]->Repaint();
        break;
    }
    case 2:
        r.Event->setCurrentIndex(-1); // one past the last event: no selection
        SetupInputCIDParameters(r.Event);
        // Five zero bytes choose no event. A code the catalogue lacks is reported once
        // for the inputs applied together (a read, a template): by the first that has one.
        if (!IsEmptyContactID(rec.CID) && FirstInputWithUnknownCID() == index)
            ReportCorruptedCIDCatalogue();
        break;
    default:
        r.Event->setCurrentIndex(0);
        SetupInputCIDParameters(r.Event);
        break;
    }

    // A code the row cannot show as it is (an event the catalogue does not list, a
    // number outside the names offered) goes back to the module unchanged.
    if (rec.CID.size() == ContactIDLength && (found != 1 || BuildInputRecord(index).CID != rec.CID))
        InputKeepCID[index] = true;
}

TInputRecord TForm1::BuildInputRecord(int index)
{
    TInputRecord out;
    if (!IsInputIndex(index))
        return out;
    out.SMSText = InputTable[index].SMSText;
    const TInputRecord& kept = InputReceived[index];
    if (!Built(*this) || InputKeepAll[index]) {
        const TInputRecord& src = Built(*this) ? kept : InputTable[index];
        out.CR = src.CR;
        out.Violations = src.Violations;
        out.Sensivity = src.Sensivity;
        out.NoSenseInterval = src.NoSenseInterval;
        out.CID = src.CID;
        return out;
    }
    const InputRow r = RowOf(*this, index);
    out.CR = BuildInputCR({std::max(0, r.Function->currentIndex()), std::max(0, r.Type->currentIndex()),
                           r.Box24H->isChecked(), r.Restore->isChecked()},
                          kept.CR);
    out.Violations = std::uint8_t(r.Violations->Value());
    out.Sensivity = std::uint8_t(r.Sensitivity->Value() / kSensitivityStep);
    out.NoSenseInterval = std::uint16_t(std::min(TimeToSeconds(r.NoReaction->time()), NoSenseIntervalMax));

    const int ev = r.Event->currentIndex();
    if (InputKeepCID[index]) {
        out.CID = kept.CID;
    } else if (ev >= 0 && ev < int(CIDDescriptions.size())) {
        const TCIDParameterNode& node = InputNodes[index];
        out.CID = EncodeContactID(CIDDescriptions[std::size_t(ev)],
                                  node.Slot[0].Index + node.Slot[0].NumberOffset,
                                  node.Slot[1].Index + node.Slot[1].NumberOffset);
    } else if (InputTable[index].CID.size() == ContactIDLength) {
        out.CID = InputTable[index].CID; // no event chosen: what the input holds
    } else {
        out.CID = tduomenys(ContactIDLength, 0);
    }
    return out;
}

// ---- functions ----------------------------------------------------------------------

void TForm1::RefreshInputFunctions()
{
    if (!Built(*this))
        return;
    if (!ListsMatchCatalogue(*this) && !CIDDescriptions.empty()) {
        FillInputLists(); // runs this again with the lists in place
        return;
    }
    for (int i = 0; i < InputCount; ++i)
        ComboBox5Change(this->*kFunctionCombo[i]);
}

void TForm1::ComboBox5Change(QObject* sender)
{
    InputFunctionComboboxChange(FindInputNumberByFunctionCombobox(sender, false));
}

void TForm1::ComboBox6Change(QObject* sender)
{
    SetupInputCIDParameters(qobject_cast<QComboBox*>(sender), true);
}

int TForm1::FindInputNumberByFunctionCombobox(const QObject* combo, bool byEventCombo) const
{
    for (int i = 0; i < InputCount; ++i) {
        const QComboBox* c = byEventCombo ? this->*kEventCombo[i] : this->*kFunctionCombo[i];
        if (c && c == combo)
            return i;
    }
    return InputCount - 1;
}

void TForm1::InputFunctionComboboxChange(int index)
{
    if (!Built(*this) || !IsInputIndex(index))
        return;
    const InputRow r = RowOf(*this, index);
    ModuleText::Set(r.SmsEdit, InputTable[index].SMSText);
    switch (r.Function->currentIndex()) {
    default: // 0 "not used", or none chosen (a function the row cannot offer)
        for (QWidget* w : std::initializer_list<QWidget*>{r.SmsPanel, r.CIDPanel, r.Note, r.SmsLabel,
                                                          r.TypePanel, r.Params, r.Exclamation})
            w->hide();
        break;
    case 1:
        for (QWidget* w : std::initializer_list<QWidget*>{r.CIDPanel, r.Type, r.Sensitivity,
                                                          r.NoReaction, r.Ms, r.Hms, r.TypePanel,
                                                          r.Params})
            w->show();
        for (QWidget* w : std::initializer_list<QWidget*>{r.SmsPanel, r.Note, r.Exclamation})
            w->hide();
        r.SmsLabel->setVisible(BuildCIDSmsHint(index));
        break;
    case 2:
        for (QWidget* w : std::initializer_list<QWidget*>{r.SmsPanel, r.TypePanel, r.Params, r.Type,
                                                          r.Sensitivity, r.NoReaction, r.Ms, r.Hms})
            w->show();
        for (QWidget* w : std::initializer_list<QWidget*>{r.CIDPanel, r.Note, r.SmsLabel})
            w->hide();
        ShowExclamationLabel();
        break;
    }
}

// ---- the Contact ID event and its parameters --------------------------------------------

std::uint8_t TForm1::FindCIDByCode(const QByteArray& key, int& index) const
{
    return ::FindCIDByCode(CIDDescriptions, key, index);
}

std::uint8_t TForm1::FindCIDByDescription(const QObject* combo, TCIDDescription& entry) const
{
    const auto* c = qobject_cast<const QComboBox*>(combo);
    if (!c)
        return 0;
    return ::FindCIDByDescription(CIDDescriptions, LangFromUnicode(c->currentText()), entry);
}

int TForm1::FirstInputWithUnknownCID() const
{
    for (int i = 0; i < InputCount; ++i) {
        const TInputRecord& rec = InputTable[i];
        const QComboBox* function = this->*kFunctionCombo[i];
        // A function the row cannot show leaves the row, and its event, as they were.
        if (!function || (rec.CR & 7) >= function->count() || IsEmptyContactID(rec.CID))
            continue;
        QByteArray key;
        int group = 0, zone = 0, pos = 0;
        DecodeContactID(rec.CID, key, group, zone);
        if (FindCIDByCode(key, pos) == 2)
            return i;
    }
    return -1;
}

void TForm1::ReportCorruptedCIDCatalogue()
{
    const QString text = GetLangText(kCorruptedCatalogueMessage);
    ShowPlainMessageOutsideReports(text.isEmpty() ? QString::fromLatin1(kCorruptedCatalogue) : text);
}

void TForm1::ShowPlainMessageOutsideReports(const QString& text)
{
    DeferredPlainMessages.append(text);
    FlushDeferredPlainMessages();
}

void TForm1::FlushDeferredPlainMessages()
{
    if (ShowingDeferredPlainMessages || DeferredPlainMessages.isEmpty())
        return;
    if (Link() && Link()->HandlingReport()) {
        Link()->RunOutsideReports([this] { FlushDeferredPlainMessages(); });
        return;
    }
    // Messages added while one is open (reports handled behind the box) follow it.
    ShowingDeferredPlainMessages = true;
    while (!DeferredPlainMessages.isEmpty())
        ui::ShowPlainMessage(DeferredPlainMessages.takeFirst(), this);
    ShowingDeferredPlainMessages = false;
}

void TForm1::SetupInputCIDParameters(QComboBox* eventCombo, bool eventChosen)
{
    if (!Built(*this) || !eventCombo)
        return;
    const int i = FindInputNumberByFunctionCombobox(eventCombo, true);
    TCIDDescription entry;
    if (FindCIDByDescription(eventCombo, entry) != 1) {
        // No event chosen is no fault of the catalogue; an input that arrived with an
        // unknown code was reported as it was applied. Without an event a partition or
        // zone would go nowhere: the tree offers none until one is chosen.
        if (eventCombo->currentIndex() >= 0) {
            ReportCorruptedCIDCatalogue();
        } else if (this->*kEventCombo[i] == eventCombo) {
            VTIN1FreeNode(i);
            InputTreeModels[i]->Repaint();
        }
        return;
    }
    const InputRow r = RowOf(*this, i);
    r.Tree->show();
    r.Panel24H->hide();
    if (!entry.RestoreAvailable) {
        r.Restore->setChecked(false);
        r.Restore->hide();
    } else {
        r.Restore->show();
    }
    // "24H" has no control the user sees: it keeps the module's bit until an event is
    // chosen, which brings the event's own.
    if (eventChosen)
        r.Box24H->setChecked(entry.Preset24H);
    r.Question->hide();
    const QByteArray* kinds[2] = {&entry.ParamKind1, &entry.ParamKind2};
    for (int s = 0; s < 2; ++s) {
        TCIDParamKind info;
        if (!LookupCIDParamKind(*kinds[s], info))
            continue; // an unknown kind leaves the parameter as it was
        TCIDParameterSlot& slot = InputNodes[i].Slot[s];
        slot.Active = info.Active;
        slot.Index = CIDParamInitialIndex(info, i);
        slot.NumberOffset = info.NumberOffset;
        slot.GridNumber = info.GridNumber;
        slot.ItemCount = info.ItemCount;
    }
    InputTreeModels[i]->Repaint();
    if (r.Function->currentIndex() != 1)
        r.SmsLabel->hide();
    else
        r.SmsLabel->setVisible(BuildCIDSmsHint(i));
}

bool TForm1::BuildCIDSmsHint(int index)
{
    if (!Built(*this) || !IsInputIndex(index))
        return false;
    const InputRow r = RowOf(*this, index);
    ctl::SetShowHint(r.SmsLabel, false);
    TCIDDescription entry;
    if (FindCIDByDescription(r.Event, entry) != 1)
        return false;
    // The names and phrases as the module's bytes read in the current language: the hint
    // shows them as their own editors do.
    const TCIDParameterNode& node = InputNodes[index];
    auto name = [](const TCIDParameterSlot& slot) -> QByteArray {
        if (!slot.Active)
            return {};
        return ModuleText::ToLangText(ItemNameAt(ModuleText::ItemNameGroupOfGrid(slot.GridNumber), slot.Index));
    };
    auto phrase = [](int n) -> QByteArray {
        QLineEdit* e = Form2 ? Form2->PhraseEdit(n - 33) : nullptr;
        return e ? ModuleText::ToLangText(ModuleText::Bytes(e)) : QByteArray();
    };
    QByteArray text;
    if (!BuildCIDSmsText(entry.Code, name(node.Slot[0]), name(node.Slot[1]), phrase, text))
        return false;
    ctl::SetHint(r.SmsLabel, LangToUnicode(text));
    ctl::SetShowHint(r.SmsLabel, true);
    return true;
}

QString TForm1::NameGridCell(int grid, int row) const
{
    // The grid shows the names table; every page reads the table, so none keeps a copy
    // that a language switch or an edit elsewhere could leave behind.
    return ModuleText::ItemName(ModuleText::ItemNameGroupOfGrid(grid), row);
}

void TForm1::RefreshInputNames()
{
    if (!Built(*this))
        return;
    for (int i = 0; i < InputCount; ++i) {
        if (InputTreeModels[i])
            InputTreeModels[i]->Repaint();
        BuildCIDSmsHint(i);
    }
}

// ---- the "!" warning ----------------------------------------------------------------

void TForm1::ShowExclamationLabel()
{
    if (!Built(*this))
        return;
    const bool someoneGetsAlarms =
        std::any_of(UserPhones.begin(), UserPhones.end(),
                    [](const TUserPhoneRecord& u) { return (u.PnCR & kPnCRAlarmSMS) != 0; });
    for (int i = 0; i < InputCount; ++i) {
        const bool smsInput = (this->*kFunctionCombo[i])->currentIndex() == 2;
        (this->*kExclamation[i])->setVisible(!someoneGetsAlarms && smsInput);
    }
}

void TForm1::WPage3EnterPage()
{
    if (!Built(*this))
        return;
    if (!ListsMatchCatalogue(*this) && !CIDDescriptions.empty())
        FillInputLists();
    // Phrases may have changed in their dialog since the hints were built.
    RefreshInputNames();
    ShowExclamationLabel();
}

void TForm1::TntLabel74Click(QObject*)
{
    GoToWizardStep(0);
    BlinkSelector |= 2;
    // A request during a run joins it: the run keeps its count.
    if (Timer_Blink && !Timer_Blink->isActive())
        Timer_Blink->start();
}

// ---- edits and pickers ----------------------------------------------------------------

void TForm1::TntEdit5Change(QObject* sender)
{
    for (int i = 0; i < InputCount; ++i) {
        QLineEdit* e = this->*kSmsEdit[i];
        if (e && e == sender)
            StoreInputSMSText(i, ModuleText::Bytes(e));
    }
}

void TForm1::DaTiNoReaction1Change(QObject* sender)
{
    auto* picker = qobject_cast<QTimeEdit*>(sender);
    if (picker && TimeToSeconds(picker->time()) > NoSenseIntervalMax)
        picker->setTime(SecondsToTime(NoSenseIntervalMax));
}

// ---- the parameter trees ------------------------------------------------------------

int TForm1::FindInputTree(const QObject* tree) const
{
    for (int i = 0; i < InputCount; ++i)
        if (tree && this->*kTree[i] == tree)
            return i;
    return -1;
}

void TForm1::VTIN1FreeNode(int input)
{
    if (!IsInputIndex(input))
        return;
    for (TCIDParameterSlot& s : InputNodes[input].Slot)
        s = TCIDParameterSlot();
}

QString TForm1::VTIN1GetText(int input, int column) const
{
    if (!IsInputIndex(input))
        return {};
    const TCIDParameterNode& node = InputNodes[input];
    const TCIDParameterSlot* slot = column <= 2 ? &node.Slot[0] : &node.Slot[1];
    switch (column) {
    case 0:
    case 4:
        return slot->Active ? QString::number(slot->Index + slot->NumberOffset) : QString();
    case 1:
    case 5:
        return slot->Active ? NameGridCell(slot->GridNumber, slot->Index) : QString();
    default:
        return {};
    }
}

int TForm1::VTIN1GetImageIndexEx(int input, int column) const
{
    if (!IsInputIndex(input))
        return -1;
    if (column == 2 && InputNodes[input].Slot[0].Active)
        return 0;
    if (column == 6 && InputNodes[input].Slot[1].Active)
        return 0;
    return -1;
}

void TForm1::VTIN1Change(int input)
{
    if (IsInputIndex(input) && InputTreeModels[input])
        (this->*kTree[input])->viewport()->update();
}

void TForm1::VTIN1FocusChanged(int input) { VTIN1Change(input); }

void TForm1::VTIN1ColumnClick(int input, int column)
{
    if (!Built(*this) || !IsInputIndex(input))
        return;
    const int s = column <= 2 ? 0 : 1;
    if (column == 0 || column == 3 || column == 4 || !InputNodes[input].Slot[s].Active)
        return;
    QTreeView* tree = this->*kTree[input];
    if (column == 1 || column == 5) {
        VTIN1CreateEditor(input, column);
        return;
    }
    FillNamePopup(input, s);
    const QRect cell = tree->visualRect(InputTreeModels[input]->index(0, column));
    Popup1->popup(tree->viewport()->mapToGlobal(cell.bottomLeft()));
}

void TForm1::VTIN1CreateEditor(int input, int column)
{
    if (!Built(*this) || !IsInputIndex(input))
        return;
    (this->*kTree[input])->edit(InputTreeModels[input]->index(0, column));
}

void TForm1::VTIN1NewText(int input, int column, const QString& text)
{
    if (!Built(*this) || !IsInputIndex(input) || (column != 1 && column != 5))
        return;
    const int s = column == 1 ? 0 : 1;
    const TCIDParameterSlot edited = InputNodes[input].Slot[s];
    if (!edited.Active || edited.Index < 0)
        return;
    // The name is the names table's entry, which every tree, hint and the names grid
    // show: what the user left as it was keeps its bytes.
    const int group = ModuleText::ItemNameGroupOfGrid(edited.GridNumber);
    if (ItemNameIndex(group, edited.Index) < 0)
        return;
    StoreItemName(group, edited.Index, ModuleText::Edited(ItemNameAt(group, edited.Index), text.left(fields::Rule(TField::ElementName).moduleWidth)));
    const QString shown = ModuleText::ItemName(group, edited.Index);
    RefreshInputNames();
    if (auto* g = ctl::Find<QTableWidget>(this, QStringLiteral("StringGrid%1").arg(edited.GridNumber))) {
        if (edited.Index < g->rowCount() && g->columnCount() > 1) {
            QTableWidgetItem* item = g->item(edited.Index, 1);
            if (!item) {
                item = new QTableWidgetItem;
                g->setItem(edited.Index, 1, item);
            }
            item->setText(shown);
        }
    }
}

void TForm1::FillNamePopup(int input, int slot)
{
    if (!Popup1 || !IsInputIndex(input) || slot < 0 || slot > 1)
        return;
    for (QAction* a : Popup1->actions()) {
        Popup1->removeAction(a);
        a->deleteLater();
    }
    const TCIDParameterSlot& s = InputNodes[input].Slot[slot];
    for (int k = 0; k < s.ItemCount; ++k) {
        const QString caption = QString::number(k + s.NumberOffset) + QStringLiteral(": ") +
                                NameGridCell(s.GridNumber, k);
        QAction* a = Popup1->addAction(caption);
        ctl::SetTag(a, k * 16 + (slot == 1 ? 8 : 0) + input);
        connect(a, &QAction::triggered, this, [this, a] { Guard([&] { MenuItemClick(a); }); });
    }
}

void TForm1::MenuItemClick(QObject* sender)
{
    const int tag = ctl::Tag(sender);
    const int k = (tag >> 4) & 63;
    const int s = (tag >> 3) & 1;
    const int input = tag & 7;
    if (!Built(*this) || !IsInputIndex(input))
        return;
    TCIDParameterSlot& slot = InputNodes[input].Slot[s];
    slot.Index = k;
    InputKeepCID[input] = false; // the user chose the parameter
    InputTreeModels[input]->Repaint();
    BuildCIDSmsHint(input);
    if (Popup1) {
        for (QAction* a : Popup1->actions()) {
            Popup1->removeAction(a);
            a->deleteLater();
        }
    }
}
