// The users page: the ten user phones with their notification flags, the access PIN for
// all users and the global SMS options. The list edits the numbers of the user table; the
// check boxes show the flag bytes of one user at a time and are stored back into the
// table only when the selection moves, before a template is saved, before the wizard
// leaves the page and before a write-all.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/SendSequence.h"
#include "editor/Unit5.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"
#include "widgets/Colors.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>

using ctl::Make;

namespace {

constexpr colors::TColor kWarnColor = 0xEAEAFF;

// The notification boxes besides "SMS backup", each with the flag byte and bit it shows.
struct TUserBox {
    QCheckBox* TForm1::*box;
    bool additional; // PnAddCR, else PnCR
    std::uint8_t bit;
};
const TUserBox kUserBoxes[] = {
    {&TForm1::TntCheckBox5, false, PnCRArmingSMS},      {&TForm1::TntCheckBox6, false, PnCRDisarmingSMS},
    {&TForm1::TntCheckBox7, false, PnCRCallOnAlarm},    {&TForm1::TntCheckBox8, false, PnCRSmartphone},
    {&TForm1::TntCheckBox22, false, PnCRMandatoryCall}, {&TForm1::TntCheckBox9, false, PnCRPeriodicSMSTest},
    {&TForm1::TntCheckBox23, false, PnCRAlarmSMS},      {&TForm1::TntCheckBox24, false, PnCRTroubleSMS},
    {&TForm1::TntCheckBox29, true, PnAddCRBypassReports}, {&TForm1::TntCheckBox30, true, PnAddCRPGMStateReports},
    {&TForm1::TntCheckBox31, true, PnAddCRForwardUnknownSMS}, {&TForm1::TntCheckBox32, true, PnAddCRShortCallArm},
    {&TForm1::TntCheckBox39, true, PnAddCRProhibitControl},
};

// The ten user slots as the list shows them: the program owns the rows (the user table),
// the model only asks the window for each cell's text and hands edited numbers back.
class TUserPhoneModel : public QAbstractTableModel {
public:
    TUserPhoneModel(TForm1* form, QObject* parent) : QAbstractTableModel(parent), form_(form) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : UserPhoneCount;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : 2;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return {};
        try {
            return form_->VStringTree1GetText(index.row(), index.column());
        } catch (...) {
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        if (section == 0)
            return QStringLiteral("No");
        if (section == 1)
            return QStringLiteral("Phone Number");
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        // Only the number is edited; the user number is the slot itself.
        if (index.column() == 1)
            f |= Qt::ItemIsEditable;
        return f;
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        form_->Guard([&] { form_->VStringTree1NewText(index.row(), index.column(), value.toString()); });
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), 1));
        return true;
    }
    // Every cell may have changed (a clear, a read, a template).
    void RefreshAll()
    {
        emit dataChanged(index(0, 0), index(UserPhoneCount - 1, 1));
    }

private:
    TForm1* form_;
};

// The in-place editor of a number takes what the module keeps and no more, as the number's
// rule says: digits, a leading "+" and 15 characters in all, so the number shown is the
// number sent. A pasted number loses its blanks and brackets before it is cut to that length.
class TPhoneNumberDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        fields::Install(qobject_cast<QLineEdit*>(w), TField::UserNumber);
        return w;
    }
};

// Enter and leave of a control, passed to the window's handlers.
class THoverFilter : public QObject {
public:
    THoverFilter(TForm1* form, QObject* parent) : QObject(parent), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Enter)
            form_->Guard([this] { form_->TntLabel44MouseEnter(); });
        else if (e->type() == QEvent::Leave)
            form_->Guard([this] { form_->TntLabel44MouseLeave(); });
        return QObject::eventFilter(watched, e);
    }

private:
    TForm1* form_;
};

// A check box as wide as its caption, for boxes that have a neighbour on their right
// (the language refresh fits them to the new caption and moves the neighbour).
QCheckBox* box(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* b = ctl::MakeText<QCheckBox>(parent, name, text, x, y, 100, 20);
    b->resize(ctl::CaptionBoxWidth(b), 20);
    return b;
}

// A check box alone on its line: room for a longer caption in another language.
QCheckBox* wideBox(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* b = Make<QCheckBox>(parent, name, x, y, 738 - 8 - x, 20);
    b->setText(text);
    return b;
}

QLabel* caption(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    return ctl::MakeText<QLabel>(parent, name, text, x, y, w, 18);
}

bool ticked(const QCheckBox* b)
{
    return b && b->isChecked();
}

// The width a check box needs for its caption in its current font, plus the given room.
int captionWidth(const QCheckBox* b, int extra)
{
    return ctl::CaptionBoxWidth(b) + extra;
}

void setBold(QWidget* w, bool bold)
{
    if (!w)
        return;
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

} // namespace

// ---- building ---------------------------------------------------------------------------

void TForm1::BuildUsersPage(QWidget* page, int top)
{
    TntPanel15 = Make<QFrame>(page, "TntPanel15", 8, top, 738, 430);
    TntPanel15->setFrameShape(QFrame::NoFrame);
    QWidget* p = TntPanel15;

    // The user list.
    auto* model = new TUserPhoneModel(this, this);
    VStringTree1Model = model;
    VStringTree1 = Make<QTreeView>(p, "VStringTree1", 8, 8, 250, 226);
    VStringTree1->setModel(model);
    VStringTree1->setRootIsDecorated(false);
    VStringTree1->setItemsExpandable(false);
    VStringTree1->setUniformRowHeights(true);
    VStringTree1->setAllColumnsShowFocus(true);
    VStringTree1->setSelectionBehavior(QAbstractItemView::SelectRows);
    VStringTree1->setSelectionMode(QAbstractItemView::SingleSelection);
    VStringTree1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    VStringTree1->setItemDelegateForColumn(1, new TPhoneNumberDelegate(VStringTree1));
    // Grid lines between the cells; a selected row keeps the usual highlight.
    VStringTree1->setStyleSheet(QStringLiteral(
        "QTreeView::item { border-right: 1px solid #d0d0d0; border-bottom: 1px solid #d0d0d0; }"
        "QTreeView::item:selected { background: palette(highlight); color: palette(highlighted-text); }"));
    VStringTree1->header()->setStretchLastSection(true);
    VStringTree1->header()->setSectionsMovable(false);
    VStringTree1->header()->resizeSection(0, 44);
    connect(VStringTree1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (SelectingUser)
                    return;
                Guard([&] {
                    VStringTree1FocusChanging(previous.isValid() ? previous.row() : -1,
                                              current.isValid() ? current.row() : -1);
                });
            });
    connect(VStringTree1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Guard([this] { VStringTree1Change(); }); });
    connect(VStringTree1, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { Guard([&] { VStringTree1ColumnClick(index.column()); }); });

    TntButton7 = Make<QPushButton>(p, "TntButton7", 8, 242, 250, 28);
    TntButton7->setText(QStringLiteral("Clear selected number"));
    connect(TntButton7, &QPushButton::clicked, this, [this] { Guard([this] { TntButton7Click(); }); });

    Label97 = caption(p, "Label97", QStringLiteral("VEQ3 access PIN for all users:"), 8, 284, 256);
    Edit13 = Make<QLineEdit>(p, "Edit13", 8, 304, 120, 21);
    fields::Install(Edit13, TField::AccessPIN);
    connect(Edit13, &QLineEdit::textChanged, this, [this] { Guard([this] { Edit13Change(); }); });

    // The notification boxes of the selected user, one column.
    const int x = 272;
    auto row = [](int n) { return 8 + n * 22; };
    TntCheckBox23 = wideBox(p, "TntCheckBox23", QStringLiteral("Alarm SMS"), x, row(0));
    TntCheckBox5 = wideBox(p, "TntCheckBox5", QStringLiteral("Arming SMS"), x, row(1));
    TntCheckBox6 = wideBox(p, "TntCheckBox6", QStringLiteral("Disarming SMS"), x, row(2));
    TntCheckBox24 = box(p, "TntCheckBox24", QStringLiteral("Trouble SMS"), x, row(3));
    TntCheckBox27 = wideBox(p, "TntCheckBox27", QStringLiteral("Limited trouble SMS"),
                        TntCheckBox24->x() + TntCheckBox24->width() + 5, row(3));
    TntCheckBox27->hide();
    TntCheckBox9 = box(p, "TntCheckBox9", QStringLiteral("Periodic SMS test"), x, row(4));
    se1 = Make<TSpinEdit>(p, "se1", TntCheckBox9->x() + TntCheckBox9->width() + 5, row(4) - 1, 50, 22);
    se1->setRange(1, 4);
    se1->SetValue(1);
    Label40 = caption(p, "Label40", QStringLiteral("days"), se1->x() + se1->width() + 5, row(4) + 1, 80);
    TntCheckBox7 = wideBox(p, "TntCheckBox7", QStringLiteral("Call on Alarm"), x, row(5));
    TntCheckBox22 = wideBox(p, "TntCheckBox22", QStringLiteral("Mandatory Call"), x, row(6));
    TntCheckBox31 = wideBox(p, "TntCheckBox31", QStringLiteral("Forward unknown SMS"), x, row(7));
    TntCheckBox32 = wideBox(p, "TntCheckBox32", QStringLiteral("Change arm state on short call"), x, row(8));
    TntCheckBox38 = box(p, "TntCheckBox38", QStringLiteral("SMS backup"), x, row(9));
    TntLabel44 = Make<QLabel>(p, "TntLabel44", TntCheckBox38->x() + TntCheckBox38->width() + 5, row(9), 16, 20);
    TntLabel44->setText(QStringLiteral("!"));
    {
        QFont f = TntLabel44->font();
        f.setBold(true);
        TntLabel44->setFont(f);
        QPalette pal = TntLabel44->palette();
        pal.setColor(QPalette::WindowText, colors::ToQColor(0x0000FF));
        TntLabel44->setPalette(pal);
    }
    TntLabel44->hide();
    TntLabel44->installEventFilter(new THoverFilter(this, TntLabel44));
    TntCheckBox39 = wideBox(p, "TntCheckBox39", QStringLiteral("Prohibit module control"), x, row(10));
    TntCheckBox39->hide();
    // Boxes the page never shows (the feature gating hides "Smartphone" for every module);
    // they still carry their bits between the table and the module.
    TntCheckBox8 = wideBox(p, "TntCheckBox8", QStringLiteral("Smartphone"), x, row(11));
    TntCheckBox8->hide();
    TntCheckBox29 = wideBox(p, "TntCheckBox29", QStringLiteral("Bypass raports"), x, row(12));
    TntCheckBox29->hide();
    TntCheckBox30 = wideBox(p, "TntCheckBox30", QStringLiteral("PGM State raports"), x, row(13));
    TntCheckBox30->hide();

    // Options for all users (SMS/PSTN control word).
    TntCheckBox10 = wideBox(p, "TntCheckBox10", QStringLiteral("Answer only registered numbers"), x, row(14) + 10);
    Label41 = caption(p, "Label41", QStringLiteral("Short call duration (sec):"), x, row(15) + 10, 170);
    SpinEdit2 = Make<TSpinEdit>(p, "SpinEdit2", x + 175, row(15) + 9, 50, 22);
    SpinEdit2->setRange(1, 8);
    SpinEdit2->SetValue(1);
    Label41->hide();
    SpinEdit2->hide();
    TntCheckBox15 = box(p, "TntCheckBox15", QStringLiteral("Use SMS Backup to number: "), x, row(16) + 10);
    Edit14 = Make<QLineEdit>(p, "Edit14", TntCheckBox15->x() + TntCheckBox15->width() + 5, row(16) + 10, 130, 21);
    Edit14->setMaxLength(fields::Rule(TField::UserNumber).moduleWidth);
    TntCheckBox15->hide();
    Edit14->hide();

    // Designed handlers (user clicks only).
    struct Wire {
        QCheckBox* box;
        void (TForm1::*handler)();
    };
    for (const Wire& w : {Wire{TntCheckBox5, &TForm1::TntCheckBox5Click}, Wire{TntCheckBox6, &TForm1::TntCheckBox6Click},
                          Wire{TntCheckBox8, &TForm1::TntCheckBox8Click}, Wire{TntCheckBox9, &TForm1::TntCheckBox9Click},
                          Wire{TntCheckBox22, &TForm1::TntCheckBox22Click},
                          Wire{TntCheckBox23, &TForm1::TntCheckBox23Click},
                          Wire{TntCheckBox24, &TForm1::TntCheckBox24Click},
                          Wire{TntCheckBox29, &TForm1::TntCheckBox29Click},
                          Wire{TntCheckBox30, &TForm1::TntCheckBox30Click},
                          Wire{TntCheckBox38, &TForm1::TntCheckBox38Click}}) {
        auto handler = w.handler;
        connect(w.box, &QCheckBox::clicked, this, [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
    }

    // The period is editable only while "Periodic SMS test" is ticked.
    TntCheckBox9Click();
}

// ---- the user list ----------------------------------------------------------------------

int TForm1::SelectedUserIndex() const
{
    if (!VStringTree1 || !VStringTree1->selectionModel())
        return -1;
    const QModelIndexList rows = VStringTree1->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& i : rows)
        if (first < 0 || i.row() < first)
            first = i.row();
    return first;
}

void TForm1::SelectUserNode(int index)
{
    if (index < 0 || index >= UserPhoneCount)
        index = 0;
    if (!VStringTree1 || !VStringTree1Model) {
        ShowUserFlags(-1);
        return;
    }
    {
        // Moving the selection here must not commit the boxes into the user shown so far:
        // the table may just have received that user's values.
        const bool was = SelectingUser;
        SelectingUser = true;
        VStringTree1->selectionModel()->setCurrentIndex(VStringTree1Model->index(index, 0),
                                                        QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
        SelectingUser = was;
    }
    ShowUserFlags(index);
    VStringTree1Change();
}

QString TForm1::VStringTree1GetText(int index, int column) const
{
    const TUserPhoneRecord* u = UserPhoneAt(index);
    if (!u)
        return QString();
    if (column == 0)
        return QString::number(index + 1);
    if (column == 1)
        return LangToUnicode(u->PhoneNr);
    return QString();
}

void TForm1::VStringTree1NewText(int index, int, const QString& newText)
{
    // Digits, and the "+" of an international number in front of them, as far as the
    // number's rule lets typing go.
    const QByteArray digits = fields::Typed(TField::UserNumber, newText).toLatin1();
    if (index < 0 || index >= UserPhoneCount)
        return;
    // A number left as it was shown stays as the module sent it.
    if (newText == LangToUnicode(UserPhones[index].PhoneNr))
        return;
    // Compared as it is stored, so that a long number cannot become equal to another
    // user's once it is cut; the same digits are the same phone.
    for (int i = 0; i < UserPhoneCount; ++i) {
        if (i != index && SamePhoneNumber(UserPhones[i].PhoneNr, digits)) {
            WideMessagedlg(GetLangText(81), ui::MsgType::Error, {ui::MsgButton::OK});
            return;
        }
    }
    SetUserNumber(index, digits);
}

void TForm1::SetUserNumber(int index, const QByteArray& number)
{
    if (index < 0 || index >= UserPhoneCount)
        return;
    // A slot that loses its number keeps the mark until the module sends it again or a
    // number comes back: a second template without it must not forget the first's.
    if (number.isEmpty() && !UserPhones[index].PhoneNr.isEmpty())
        UserNumberEmptied[index] = true;
    else if (!number.isEmpty())
        UserNumberEmptied[index] = false;
    UserPhones[index].PhoneNr = number;
}

bool TForm1::SamePhoneNumber(const QByteArray& a, const QByteArray& b)
{
    auto digits = [](const QByteArray& n) {
        QByteArray d;
        for (char c : n)
            if (c >= '0' && c <= '9')
                d += c;
        return d;
    };
    const QByteArray d = digits(a);
    return !d.isEmpty() && d == digits(b);
}

void TForm1::VStringTree1ColumnClick(int column)
{
    if (column != 1 || !VStringTree1 || !VStringTree1Model)
        return;
    const int index = SelectedUserIndex();
    if (index < 0)
        return;
    VStringTree1->edit(VStringTree1Model->index(index, 1));
}

void TForm1::VStringTree1FocusChanging(int, int newIndex)
{
    if (SelectedUserNode >= 0)
        CommitUserFlags(SelectedUserNode);
    if (newIndex >= 0)
        ShowUserFlags(newIndex);
}

void TForm1::VStringTree1Change()
{
    if (auto* m = dynamic_cast<TUserPhoneModel*>(VStringTree1Model))
        m->RefreshAll();
    if (VStringTree1)
        VStringTree1->viewport()->update();
}

// ---- flags of one user --------------------------------------------------------------------

void TForm1::ShowUserFlags(int index)
{
    SelectedUserNode = index;
    if (index < 0 || index >= UserPhoneCount || !TntCheckBox5)
        return;
    const std::uint8_t p = UserPhones[index].PnCR;
    const std::uint8_t a = UserPhones[index].PnAddCR;
    // A user who came with "SMS backup" had "Smartphone" forced on with it.
    SmartphoneWithoutBackup = !(a & PnAddCRSMSBackup) && (p & PnCRSmartphone);
    TntCheckBox5->setChecked(p & PnCRArmingSMS);
    TntCheckBox5Click();
    TntCheckBox6->setChecked(p & PnCRDisarmingSMS);
    TntCheckBox6Click();
    TntCheckBox7->setChecked(p & PnCRCallOnAlarm);
    TntCheckBox8->setChecked(p & PnCRSmartphone);
    TntCheckBox8Click();
    TntCheckBox9->setChecked(p & PnCRPeriodicSMSTest);
    TntCheckBox9Click();
    TntCheckBox22->setChecked(p & PnCRMandatoryCall);
    TntCheckBox22Click();
    TntCheckBox23->setChecked(p & PnCRAlarmSMS);
    TntCheckBox23Click();
    TntCheckBox24->setChecked(p & PnCRTroubleSMS);
    TntCheckBox24Click();
    TntCheckBox29->setChecked(a & PnAddCRBypassReports);
    TntCheckBox29Click();
    TntCheckBox30->setChecked(a & PnAddCRPGMStateReports);
    TntCheckBox30Click();
    TntCheckBox31->setChecked(a & PnAddCRForwardUnknownSMS);
    TntCheckBox32->setChecked(a & PnAddCRShortCallArm);
    TntCheckBox38->setChecked(a & PnAddCRSMSBackup);
    TntCheckBox38Click();
    TntCheckBox39->setChecked(a & PnAddCRProhibitControl);
    KeepHiddenUserBits(p, a);
    if (TntLabel50 && CH1_Panel4 && TntLabel51 && ComboBox4)
        ShowSMSBackupNumbers();
}

// The handlers above follow the rules of the boxes the user sees, and some of them change
// boxes that nobody sees ("Smartphone" goes off for every user without SMS backup, "Call
// on Alarm" under a hidden "Mandatory Call"). Such a box takes the user's bit back, so that
// the user goes back to the module as it sent him. Only the ticked "SMS backup" box forces
// hidden boxes, as it does when the user ticks it.
void TForm1::KeepHiddenUserBits(std::uint8_t p, std::uint8_t a)
{
    const bool smsBackup = ticked(TntCheckBox38) && ctl::Visible(TntCheckBox38);
    auto forced = [&](const QCheckBox* b) {
        if (!smsBackup)
            return false;
        if (b == TntCheckBox9) // regardless of the gating
            return true;
        const bool byBackup = b == TntCheckBox7 || b == TntCheckBox22 || b == TntCheckBox8 ||
                              b == TntCheckBox31 || b == TntCheckBox32;
        return byBackup && ctl::Tag(b) != 1;
    };
    for (const TUserBox& b : kUserBoxes) {
        QCheckBox* box = this->*b.box;
        if (box && !ctl::Visible(box) && !forced(box))
            box->setChecked(((b.additional ? a : p) & b.bit) != 0);
    }
}

std::uint8_t TForm1::UserBitsGatedOff(bool additional) const
{
    std::uint8_t bits = 0;
    for (const TUserBox& b : kUserBoxes)
        if (b.additional == additional && GatedOff(this->*b.box))
            bits |= b.bit;
    return bits;
}

bool TForm1::CommitUserFlags(int index)
{
    if (index < 0 || index >= UserPhoneCount)
        return false;
    TUserPhoneRecord& u = UserPhones[index];
    if (u.PhoneNr.isEmpty()) {
        u.PnCR = 0;
        u.PnAddCR = 0;
        return false;
    }
    if (!TntCheckBox5)
        return true;
    TPnCRBoxes p;
    p.TntCheckBox5 = ticked(TntCheckBox5);
    p.TntCheckBox6 = ticked(TntCheckBox6);
    p.TntCheckBox7 = ticked(TntCheckBox7);
    p.TntCheckBox8 = ticked(TntCheckBox8);
    p.TntCheckBox22 = ticked(TntCheckBox22);
    p.TntCheckBox9 = ticked(TntCheckBox9);
    p.TntCheckBox23 = ticked(TntCheckBox23);
    p.TntCheckBox24 = ticked(TntCheckBox24);
    TPnAddCRBoxes a;
    a.TntCheckBox29 = ticked(TntCheckBox29);
    a.TntCheckBox30 = ticked(TntCheckBox30);
    a.TntCheckBox31 = ticked(TntCheckBox31);
    a.TntCheckBox32 = ticked(TntCheckBox32);
    a.TntCheckBox38 = ticked(TntCheckBox38);
    a.TntCheckBox39 = ticked(TntCheckBox39);
    u.PnCR = BuildPnCR(p);
    u.PnAddCR = static_cast<std::uint8_t>(BuildPnAddCR(a) | (u.PnAddCR & ~PnAddCRBoxBits));
    return true;
}

bool TForm1::CommitShownUserFlags()
{
    if (SelectedUserNode < 0 || SelectedUserNode >= UserPhoneCount)
        return false;
    CommitUserFlags(SelectedUserNode);
    return true;
}

void TForm1::SendUserPhones()
{
    TSendSequence seq(*this);
    seq.Run([&] {
        for (int i = 0; i < UserPhoneCount; ++i) {
            const TUserPhoneRecord& u = UserPhones[i];
            // A slot without a number is left as the module has it, unless the user
            // emptied it: then it is cleared as "Clear selected number" does.
            const bool clear = u.PhoneNr.isEmpty();
            if (clear && !UserNumberEmptied[i])
                continue;
            const std::uint8_t cr = clear ? 0 : u.PnCR;
            const std::uint8_t addCR = clear ? 0 : u.PnAddCR;
            seq.Send([&](TVEQ2& l) { l.SendPhoneNumber(static_cast<quint8>(i), cr, u.PhoneNr); }, 5);
            if (Link()->FirmwareVersion >= FwAdditionalCR)
                seq.Send([&](TVEQ2& l) { l.SendPhoneNumberAdditionalCR(static_cast<quint8>(i), addCR); }, 5);
            UserNumberEmptied[i] = false;
        }
    });
}

bool TForm1::CheckSMSBackupWarning() const
{
    if (!ticked(TntCheckBox38))
        return false;
    const bool anySMS = ticked(TntCheckBox23) || ticked(TntCheckBox5) || ticked(TntCheckBox6) ||
                        ticked(TntCheckBox30) || ticked(TntCheckBox29) || ticked(TntCheckBox24);
    const bool channel1Unused = !ComboBox4 || ComboBox4->currentIndex() <= 0;
    return !anySMS || channel1Unused;
}

// ---- box handlers ---------------------------------------------------------------------------

void TForm1::TntCheckBox5Click()
{
    if (TntLabel44)
        TntLabel44->setVisible(CheckSMSBackupWarning());
}

void TForm1::TntCheckBox6Click() { TntCheckBox5Click(); }
void TForm1::TntCheckBox23Click() { TntCheckBox5Click(); }
void TForm1::TntCheckBox29Click() { TntCheckBox5Click(); }
void TForm1::TntCheckBox30Click() { TntCheckBox5Click(); }

void TForm1::TntCheckBox8Click() {}

void TForm1::TntCheckBox9Click()
{
    if (!se1)
        return;
    const bool on = ticked(TntCheckBox9);
    se1->setEnabled(on);
    ctl::SetFieldColor(se1, on ? colors::clWindow : colors::clMenu);
}

void TForm1::TntCheckBox22Click()
{
    if (!TntCheckBox7)
        return;
    if (ticked(TntCheckBox22)) {
        TntCheckBox7->setChecked(false);
        TntCheckBox7->setEnabled(false);
    } else {
        TntCheckBox7->setEnabled(true);
    }
}

void TForm1::TntCheckBox24Click()
{
    TntCheckBox5Click();
    if (TntCheckBox27 && ctl::Tag(TntCheckBox27) < 1)
        TntCheckBox27->setVisible(ticked(TntCheckBox24));
}

void TForm1::TntCheckBox38Click()
{
    auto untagged = [](const QWidget* w) { return w && ctl::Tag(w) != 1; };
    if (ticked(TntCheckBox38)) {
        if (untagged(TntCheckBox7)) {
            TntCheckBox7->setChecked(false);
            TntCheckBox7->hide();
        }
        if (untagged(TntCheckBox22)) {
            TntCheckBox22->setChecked(false);
            TntCheckBox22Click();
            TntCheckBox22->hide();
        }
        if (untagged(TntCheckBox8)) {
            TntCheckBox8->setChecked(true);
            TntCheckBox8->setEnabled(false);
        }
        if (untagged(TntCheckBox39))
            TntCheckBox39->show();
        // The test period goes with the user's SMS, whatever the gating says.
        if (TntCheckBox9) {
            TntCheckBox9->hide();
            TntCheckBox9->setChecked(false);
            TntCheckBox9Click();
        }
        if (se1)
            se1->hide();
        if (Label40)
            Label40->hide();
        for (QCheckBox* b : {TntCheckBox31, TntCheckBox32}) {
            if (untagged(b)) {
                b->hide();
                b->setChecked(false);
            }
        }
    } else {
        if (untagged(TntCheckBox7))
            TntCheckBox7->show();
        if (untagged(TntCheckBox22))
            TntCheckBox22->show();
        if (untagged(TntCheckBox39)) {
            TntCheckBox39->setChecked(false);
            TntCheckBox39->hide();
        }
        if (untagged(TntCheckBox8)) {
            // Where no box shows it, the user's own "Smartphone" comes back.
            TntCheckBox8->setChecked(!ctl::Visible(TntCheckBox8) && SmartphoneWithoutBackup);
            TntCheckBox8->setEnabled(true);
        }
        for (QWidget* w : std::initializer_list<QWidget*>{TntCheckBox9, se1, Label40})
            if (w)
                w->show();
        for (QCheckBox* b : {TntCheckBox31, TntCheckBox32})
            if (untagged(b))
                b->show();
        if (TntLabel44)
            TntLabel44->hide();
    }
    if (TntLabel44)
        TntLabel44->setVisible(CheckSMSBackupWarning());
}

// ---- the warning mark -----------------------------------------------------------------------

// Over the mark the six SMS notification boxes are shown bold (wider), and the box beside
// "Trouble SMS" keeps its distance.
void TForm1::EmphasizeSmsBoxes(bool bold)
{
    for (QCheckBox* b : {TntCheckBox23, TntCheckBox5, TntCheckBox6, TntCheckBox30, TntCheckBox29, TntCheckBox24})
        setBold(b, bold);
    if (TntCheckBox24 && TntCheckBox27) {
        TntCheckBox24->resize(captionWidth(TntCheckBox24, bold ? 11 : 0), TntCheckBox24->height());
        TntCheckBox27->move(TntCheckBox24->x() + TntCheckBox24->width() + 5, TntCheckBox27->y());
    }
}

void TForm1::TntLabel44MouseEnter()
{
    EmphasizeSmsBoxes(true);
}

void TForm1::TntLabel44MouseLeave()
{
    EmphasizeSmsBoxes(false);
}

// ---- clearing a user, the access PIN ----------------------------------------------------------

void TForm1::TntButton7Click()
{
    if (Link() && Link()->ReadingAll)
        return;
    const int index = SelectedUserIndex();
    if (index < 0 || index >= UserPhoneCount)
        return;
    UserPhones[index].PhoneNr.clear();
    UserPhones[index].PnCR = 0;
    UserPhones[index].PnAddCR = 0;
    // The clear is written at once, as a whole write of its own: a module that leaves or
    // stops answering in the middle gets nothing more of it, later or from another module,
    // and the user is told. The wait dialog holds the window meanwhile.
    QPointer<TForm5> wait = Link() && Link()->Connected ? Form5 : nullptr;
    if (wait)
        wait->ShowWaiting(true);
    const bool own = BeginWholeWrite(TWholeWrite::Settings);
    TSendSequence seq(*this);
    const auto slot = static_cast<quint8>(index);
    try {
        seq.Run([&] {
            seq.Send([&](TVEQ2& l) { l.SendPhoneNumber(slot, 0, QByteArray()); }, 0);
            if (Link()->FirmwareVersion >= FwAdditionalCR)
                seq.Send([&](TVEQ2& l) { l.SendPhoneNumberAdditionalCR(slot, 0); }, 0);
        });
        SelectUserNode(index);
        VStringTree1Change();
        seq.Run([&] { seq.Send([](TVEQ2& l) { l.SendBatchEnd(true); }, 0); });
    } catch (...) {
        if (own)
            DropWholeWrite();
        if (wait)
            wait->close();
        throw;
    }
    // Not cleared on the module: the next write-all clears it, as a number emptied by hand.
    UserNumberEmptied[index] = seq.End() != TSendEnd::Whole;
    if (wait)
        wait->close();
    if (own)
        EndWholeWrite(seq);
}

void TForm1::Edit13Change()
{
    if (!Edit13)
        return;
    ctl::SetFieldColor(Edit13, ValidateWizardPage(1) ? colors::clWindow : kWarnColor);
}
