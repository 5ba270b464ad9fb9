// The "APN Search" of the GPRS settings: a location (preselected from the user's
// country), then one of its operators, then one of the operator's access point names,
// confirmed into the APN edit. The lists come from the catalogue read at start-up.
#include "editor/Main.h"

#include "editor/APNCatalog.h"
#include "editor/Controls.h"
#include "lang/LangText.h"
#include "platform/UserCountry.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

using ctl::Make;

namespace {

constexpr int kListGap = 4;    // between a list and the button right of it
constexpr int kButtonGap = 5;  // between the two buttons
constexpr int kRowGap = 5;     // between the settings and the search's first caption
constexpr int kBoxBottom = 10; // between the search's last list and the box's frame

enum class Glyph { Tick, Cross };

// The buttons' small pictures: a green tick and a red cross.
QIcon glyph(Glyph kind)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (kind == Glyph::Tick) {
        p.setPen(QPen(QColor(0, 128, 0), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath path;
        path.moveTo(2.5, 8.5);
        path.lineTo(6.5, 12.5);
        path.lineTo(13.5, 3.5);
        p.drawPath(path);
    } else {
        p.setPen(QPen(QColor(200, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    }
    return QIcon(pm);
}

// Beside a list, on its row.
void placeRightOf(QWidget* w, const QWidget* left, int gap)
{
    w->move(left->x() + left->width() + gap, left->y());
}

// A list with nothing chosen ends the search there: what follows it goes, and Cancel
// stands beside it.
void EndSearchAt(const QComboBox* list, QWidget* cancel, std::initializer_list<QWidget*> following)
{
    for (QWidget* w : following)
        w->hide();
    placeRightOf(cancel, list, kListGap);
    cancel->show();
}

} // namespace

void TForm1::BuildAPNSearch()
{
    // Two rows under the heartbeat settings, each list as wide as the catalogue's names:
    // the location and the operator, then the access point name with OK and Cancel.
    // Their rows are placed by ArrangeGPRSSettings.
    QWidget* g = TntGroupBox16;
    const int labelTop = 0, listTop = 18, rowStep = 46, placeWidth = 140, apnWidth = 200;
    auto list = [g](const char* name, int x, int y, int width) {
        auto* c = Make<QComboBox>(g, name, x, y, width, 22);
        // Names are often longer than the list is wide: the drop-down shows them whole.
        c->view()->setMinimumWidth(200);
        c->hide();
        return c;
    };
    auto label = [g](const char* name, const char* text, int x, int y, int width) {
        auto* l = ctl::MakeText<QLabel>(g, name, QString::fromLatin1(text), x, y, width, 18);
        l->hide();
        return l;
    };
    TntLabel60 = label("TntLabel60", "Location:", 8, labelTop, placeWidth);
    TntComboBox5 = list("TntComboBox5", 8, listTop, placeWidth);
    TntLabel61 = label("TntLabel61", "Operator:", 8 + placeWidth + kListGap, labelTop, placeWidth);
    TntComboBox6 = list("TntComboBox6", 8 + placeWidth + kListGap, listTop, placeWidth);
    TntLabel62 = label("TntLabel62", "APN:", 8, labelTop + rowStep, apnWidth);
    TntComboBox7 = list("TntComboBox7", 8, listTop + rowStep, apnWidth);
    Btn_OK = Make<QPushButton>(g, "Btn_OK", 0, listTop, 22, 22);
    Btn_OK->setIcon(glyph(Glyph::Tick));
    Btn_OK->hide();
    Btn_Cancel = Make<QPushButton>(g, "Btn_Cancel", 0, listTop, 22, 22);
    Btn_Cancel->setIcon(glyph(Glyph::Cross));
    Btn_Cancel->hide();

    connect(Btn_Search, &QPushButton::clicked, this, [this] { Guard([this] { Btn_SearchClick(); }); });
    connect(TntComboBox5, &QComboBox::activated, this, [this] { Guard([this] { TntComboBox5Change(); }); });
    connect(TntComboBox6, &QComboBox::activated, this, [this] { Guard([this] { TntComboBox6Change(); }); });
    connect(Btn_OK, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OKClick(Btn_OK); }); });
    connect(Btn_Cancel, &QPushButton::clicked, this, [this] { Guard([this] { Btn_OKClick(Btn_Cancel); }); });
}

void TForm1::ArrangeGPRSSettings()
{
    // The heartbeat rows hide under the settings lock, and the page then starts lower,
    // under the unlock panel: the search takes their room, so that its lists, OK and
    // Cancel stay on the page above the wizard's buttons. The box keeps the search's
    // room whether it is open or not, so opening it moves nothing else.
    int settingsBottom = 0;
    for (const QWidget* w : std::initializer_list<const QWidget*>{Label8, Edit4, TntCheckBox13, SpinEdit3,
                                                                   Label46, TntCheckBox33, TntEdit4})
        if (!w->isHidden())
            settingsBottom = std::max(settingsBottom, w->y() + w->height());
    const int dy = settingsBottom + kRowGap - TntLabel60->y();
    for (QWidget* w : std::initializer_list<QWidget*>{TntLabel60, TntComboBox5, TntLabel61, TntComboBox6, TntLabel62,
                                                       TntComboBox7, Btn_OK, Btn_Cancel})
        w->move(w->x(), w->y() + dy);
    TntGroupBox16->resize(TntGroupBox16->width(), TntComboBox7->y() + TntComboBox7->height() + kBoxBottom);
}

void TForm1::Btn_SearchClick()
{
    if (ctl::Visible(TntComboBox5))
        return; // a search is under way: it keeps what the user chose
    {
        const QSignalBlocker block(TntComboBox5);
        TntComboBox5->clear();
        for (const TAPNLocation& l : APNLocations)
            TntComboBox5->addItem(l.Location);
        TntComboBox5->setCurrentIndex(PreselectAPNLocation(APNLocations, platform::UserGeoId()));
    }
    TntComboBox5Change();
    TntComboBox5->show();
    TntLabel60->show();
}

void TForm1::TntComboBox5Change()
{
    if (TntComboBox5->currentIndex() < 0) {
        EndSearchAt(TntComboBox5, Btn_Cancel, {TntComboBox6, TntComboBox7, TntLabel61, TntLabel62, Btn_OK});
        return;
    }
    const int loc = FindAPNLocation(APNLocations, TntComboBox5->currentText());
    if (loc < 0)
        return;
    {
        const QSignalBlocker block(TntComboBox6);
        TntComboBox6->clear();
        for (const TAPNOperator& op : APNLocations[size_t(loc)].Operators)
            TntComboBox6->addItem(op.Name);
        TntComboBox6->setCurrentIndex(TntComboBox6->count() > 0 ? 0 : -1);
    }
    TntComboBox6Change();
    TntComboBox6->show();
    TntLabel61->show();
}

void TForm1::TntComboBox6Change()
{
    Btn_OK->hide();
    if (TntComboBox6->currentIndex() < 0) {
        EndSearchAt(TntComboBox6, Btn_Cancel, {TntComboBox7, TntLabel62});
        return;
    }
    const int loc = FindAPNLocation(APNLocations, TntComboBox5->currentText());
    if (loc < 0)
        return;
    const TAPNLocation& location = APNLocations[size_t(loc)];
    const int op = FindAPNOperator(location, TntComboBox6->currentText());
    if (op < 0)
        return;
    {
        const QSignalBlocker block(TntComboBox7);
        TntComboBox7->clear();
        TntComboBox7->addItems(location.Operators[size_t(op)].APNs);
        TntComboBox7->setCurrentIndex(TntComboBox7->count() > 0 ? 0 : -1);
    }
    placeRightOf(Btn_OK, TntComboBox7, kListGap);
    Btn_Cancel->move(Btn_OK->x() + Btn_Cancel->width() + kButtonGap, Btn_OK->y());
    for (QWidget* w : std::initializer_list<QWidget*>{Btn_OK, Btn_Cancel, TntComboBox7, TntLabel62})
        w->show();
}

void TForm1::Btn_OKClick(QObject* sender)
{
    // The APN edit holds 8-bit text: a name passes through the code page on its way in.
    if (sender == Btn_OK)
        Edit2->setText(LangToUnicode(LangFromUnicode(TntComboBox7->currentText())));
    for (QWidget* w : std::initializer_list<QWidget*>{TntComboBox5, TntComboBox6, TntComboBox7, TntLabel60,
                                                       TntLabel61, TntLabel62, Btn_OK, Btn_Cancel})
        w->hide();
}
