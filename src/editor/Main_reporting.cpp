// The reporting, security and modem pages: two reporting channels and the GPRS access
// settings, the owner name and the shared USB / GPRS-settings password, the SIM PIN and
// the modem's communication state. Enabling rules, key filters, warning colours and the
// stacking of the channel panels live here.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/FieldRules.h"
#include "editor/MainTables.h"
#include "editor/SettingsFile.h"
#include "lang/LangText.h"
#include "widgets/Colors.h"
#include "widgets/IndLeds.h"
#include "widgets/IndLevelBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

using ctl::Make;

namespace {

constexpr colors::TColor kWarnColor = 0xEAEAFF;

QLabel* caption(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    return ctl::MakeText<QLabel>(parent, name, text, x, y, w, 18);
}

// How far an edit of a module value types is its value's rule (fields::Install).
QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w)
{
    return Make<QLineEdit>(parent, name, x, y, w, 21);
}

QComboBox* combo(QWidget* parent, const char* name, int x, int y, int w, const QStringList& items)
{
    auto* c = Make<QComboBox>(parent, name, x, y, w, 22);
    c->addItems(items);
    c->setCurrentIndex(items.isEmpty() ? -1 : 0);
    return c;
}

QCheckBox* box(QWidget* parent, const char* name, const QString& text, int x, int y, int w)
{
    return ctl::MakeText<QCheckBox>(parent, name, text, x, y, w, 20);
}

QFrame* panel(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* f = Make<QFrame>(parent, name, x, y, w, h);
    f->setFrameShape(QFrame::StyledPanel);
    f->setFrameShadow(QFrame::Raised);
    return f;
}

} // namespace

// ---- building ---------------------------------------------------------------------------

void TForm1::BuildReportingPage(QWidget* page, int top)
{
    // The unlock panel goes to the top of the page while the settings are locked.
    TntPanel18 = panel(page, "TntPanel18", 8, top, 738, 56);
    caption(TntPanel18, "TntLabel81",
            QStringLiteral("Enter password to be able to change GPRS Reporting settings"), 8, 4, 500);
    TntEdit5 = edit(TntPanel18, "TntEdit5", 8, 26, 160);
    // The password that unlocks the GPRS settings is the module's USB password.
    TntEdit5->setMaxLength(fields::Rule(TField::USBPassword).typingWidth);
    TntEdit5->setEchoMode(QLineEdit::Password);
    TntButton34 = Make<QPushButton>(TntPanel18, "TntButton34", 176, 25, 120, 24);
    TntButton34->setText(QStringLiteral("Unlock"));
    TntLabel82 = caption(TntPanel18, "TntLabel82", QStringLiteral("Password you entered is incorrect"), 306, 28, 400);
    TntLabel82->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    TntLabel82->hide();
    TntPanel18->hide();

    const QStringList protocols = {QStringLiteral("Enigma II"), QStringLiteral("Vozevud KSP")};
    const QStringList transports = {QStringLiteral("TCP"), QStringLiteral("UDP")};

    // Channel 1.
    TntGroupBox14 = Make<QGroupBox>(page, "TntGroupBox14", 8, top, 366, 200);
    TntGroupBox14->setTitle(QStringLiteral("Channel 1"));
    auto* p1 = panel(TntGroupBox14, "CH1_Panel1", 2, 17, 362, 108);
    // Every control the GPRS-settings lock hides has its own caption, hidden with it;
    // the account stays in view under a lock, and so does its caption.
    // Captions in a column of their own, so a longer translation keeps clear of the fields.
    Label43 = caption(p1, "Label43", QStringLiteral("Channel:"), 6, 6, 64);
    ComboBox4 = combo(p1, "ComboBox4", 74, 4, 104, {QStringLiteral("Not used"), QStringLiteral("Used")});
    Label44 = caption(p1, "Label44", QStringLiteral("Protocol:"), 180, 6, 68);
    ComboBox1 = combo(p1, "ComboBox1", 250, 4, 106, protocols);
    TntLabel6 = caption(p1, "TntLabel6", QStringLiteral("Address:"), 6, 32, 64);
    Edit1 = edit(p1, "Edit1", 74, 30, 180);
    TntLabel8 = caption(p1, "TntLabel8", QStringLiteral("Port:"), 260, 32, 40);
    TntEdit2 = edit(p1, "TntEdit2", 304, 30, 52);
    Label45 = caption(p1, "Label45", QStringLiteral("Account:"), 6, 58, 64);
    Edit11 = edit(p1, "Edit11", 74, 56, 60);
    Label5 = caption(p1, "Label5", QStringLiteral("Transport:"), 160, 58, 96);
    TntComboBox3 = combo(p1, "TntComboBox3", 262, 56, 70, transports);
    TntCheckBox25 = box(p1, "TntCheckBox25", QStringLiteral("Put same to PSTN"), 6, 82, 200);
    CH1_Panel2 = panel(TntGroupBox14, "CH1_Panel2", 2, 126, 362, 30);
    TntLabel83 = caption(CH1_Panel2, "TntLabel83", QStringLiteral("Key:"), 6, 6, 40);
    TntEdit8 = edit(CH1_Panel2, "TntEdit8", 50, 4, 158);
    TntCheckBox42 = box(CH1_Panel2, "TntCheckBox42", QStringLiteral("Use Encryption Key"), 214, 4, 146);
    CH1_Panel2->hide();
    CH1_Panel3 = panel(TntGroupBox14, "CH1_Panel3", 2, 157, 362, 32);
    TntButton31 = Make<QPushButton>(CH1_Panel3, "TntButton31", 6, 4, 220, 24);
    TntButton31->setText(QStringLiteral("Manage SMS Backup numbers"));
    CH1_Panel4 = panel(TntGroupBox14, "CH1_Panel4", 2, 190, 362, 44);
    caption(CH1_Panel4, "TntLabel301", QStringLiteral("SMS Backup numbers:"), 6, 4, 200);
    TntLabel50 = caption(CH1_Panel4, "TntLabel50", QString(), 6, 22, 330);
    TntLabel50->setStyleSheet(QStringLiteral("font-weight: bold"));
    TntLabel51 = caption(CH1_Panel4, "TntLabel51", QStringLiteral("!"), 340, 4, 14);
    TntLabel51->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    CH1_Panel4->hide();

    // Channel 2.
    TntGroupBox15 = Make<QGroupBox>(page, "TntGroupBox15", 380, top, 366, 170);
    TntGroupBox15->setTitle(QStringLiteral("Channel 2"));
    auto* p2 = panel(TntGroupBox15, "CH2_Panel1", 2, 17, 362, 108);
    TntLabel52 = caption(p2, "TntLabel52", QStringLiteral("Channel:"), 6, 6, 64);
    ComboBox2 = combo(p2, "ComboBox2", 74, 4, 104,
                      {QStringLiteral("Not used"), QStringLiteral("Used"), QStringLiteral("Reserve")});
    TntLabel56 = caption(p2, "TntLabel56", QStringLiteral("Protocol:"), 180, 6, 68);
    ComboBox3 = combo(p2, "ComboBox3", 250, 4, 106, protocols);
    TntLabel7 = caption(p2, "TntLabel7", QStringLiteral("Address:"), 6, 32, 64);
    Edit5 = edit(p2, "Edit5", 74, 30, 180);
    TntLabel55 = caption(p2, "TntLabel55", QStringLiteral("Port:"), 260, 32, 40);
    TntEdit3 = edit(p2, "TntEdit3", 304, 30, 52);
    TntLabel57 = caption(p2, "TntLabel57", QStringLiteral("Account:"), 6, 58, 64);
    Edit6 = edit(p2, "Edit6", 74, 56, 60);
    TntLabel58 = caption(p2, "TntLabel58", QStringLiteral("Transport:"), 160, 58, 96);
    TntComboBox4 = combo(p2, "TntComboBox4", 262, 56, 70, transports);
    TntCheckBox26 = box(p2, "TntCheckBox26", QStringLiteral("Put same to PSTN"), 6, 82, 200);
    CH2_Panel2 = panel(TntGroupBox15, "CH2_Panel2", 2, 126, 362, 30);
    TntLabel84 = caption(CH2_Panel2, "TntLabel84", QStringLiteral("Key:"), 6, 6, 40);
    TntEdit9 = edit(CH2_Panel2, "TntEdit9", 50, 4, 158);
    TntCheckBox43 = box(CH2_Panel2, "TntCheckBox43", QStringLiteral("Use Encryption Key"), 214, 4, 146);
    CH2_Panel2->hide();

    // GPRS settings.
    // Its height follows the rows in view (ArrangeGPRSSettings).
    TntGroupBox16 = Make<QGroupBox>(page, "TntGroupBox16", 380, top + 162, 366, 0);
    TntGroupBox16->setTitle(QStringLiteral("GPRS Settings"));
    Label6 = caption(TntGroupBox16, "Label6", QStringLiteral("APN:"), 8, 22, 110);
    Edit2 = edit(TntGroupBox16, "Edit2", 120, 20, 140);
    Btn_Search = Make<QPushButton>(TntGroupBox16, "Btn_Search", 266, 19, 92, 24);
    Btn_Search->setText(QStringLiteral("APN Search"));
    Label7 = caption(TntGroupBox16, "Label7", QStringLiteral("APN user name:"), 8, 48, 110);
    Edit3 = edit(TntGroupBox16, "Edit3", 120, 46, 140);
    Label8 = caption(TntGroupBox16, "Label8", QStringLiteral("APN password:"), 8, 74, 110);
    Edit4 = edit(TntGroupBox16, "Edit4", 120, 72, 140);
    TntCheckBox13 = box(TntGroupBox16, "TntCheckBox13", QStringLiteral("HeartBeat check enabled"), 8, 100, 200);
    SpinEdit3 = Make<TSpinEdit>(TntGroupBox16, "SpinEdit3", 210, 100, 80, 21);
    SpinEdit3->setRange(HeartbeatPeriodMin, HeartbeatPeriodMax);
    SpinEdit3->SetValue(HeartbeatPeriodDefault);
    Label46 = caption(TntGroupBox16, "Label46", QStringLiteral("sec"), 296, 102, 40);
    TntCheckBox33 = box(TntGroupBox16, "TntCheckBox33", QStringLiteral("HeartBeat Event ID:"), 8, 126, 200);
    TntEdit4 = edit(TntGroupBox16, "TntEdit4", 210, 126, 50);
    TntEdit4->setText(QString::fromLatin1(HeartbeatIdDefault));
    BuildAPNSearch();
    ArrangeGPRSSettings();
    WireUnlockPanel();

    // Handlers.
    connect(ComboBox4, &QComboBox::activated, this, [this] { Guard([this] { ComboBox4Change(); }); });
    connect(ComboBox2, &QComboBox::activated, this, [this] { Guard([this] { ComboBox2Change(); }); });
    connect(ComboBox1, &QComboBox::activated, this, [this] { Guard([this] { ComboBox1Change(); }); });
    connect(ComboBox3, &QComboBox::activated, this, [this] { Guard([this] { ComboBox3Change(); }); });
    connect(TntCheckBox42, &QCheckBox::clicked, this, [this] { Guard([this] { TntCheckBox42Click(); }); });
    connect(TntCheckBox43, &QCheckBox::clicked, this, [this] { Guard([this] { TntCheckBox43Click(); }); });
    connect(TntCheckBox13, &QCheckBox::clicked, this, [this] { Guard([this] { TntCheckBox13Click(); }); });
    connect(TntCheckBox33, &QCheckBox::clicked, this, [this] { Guard([this] { TntCheckBox33Click(); }); });
    connect(TntButton31, &QPushButton::clicked, this, [this] { Guard([this] { TntButton3Click(); }); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Guard([this] { AddressChange(Edit1, ComboBox4); }); });
    connect(Edit5, &QLineEdit::textChanged, this, [this] { Guard([this] { AddressChange(Edit5, ComboBox2); }); });
    connect(TntEdit2, &QLineEdit::textChanged, this, [this] { Guard([this] { PortChange(TntEdit2, ComboBox4); }); });
    connect(TntEdit3, &QLineEdit::textChanged, this, [this] { Guard([this] { PortChange(TntEdit3, ComboBox2); }); });
    connect(Edit2, &QLineEdit::textChanged, this, [this] { Guard([this] { Edit2Change(); }); });

    // Each edit types, pastes and takes drops by its value's rule.
    const std::pair<QLineEdit*, TField> fields[] = {
        {Edit1, TField::Host},         {Edit5, TField::Host},         {TntEdit2, TField::Port},
        {TntEdit3, TField::Port},      {Edit11, TField::Account},     {Edit6, TField::Account},
        {TntEdit8, TField::AESKey},    {TntEdit9, TField::AESKey},    {TntEdit4, TField::HeartbeatId},
        {Edit2, TField::APN},          {Edit3, TField::APNUserName},  {Edit4, TField::APNPassword},
    };
    for (const auto& [e, field] : fields)
        fields::Install(e, field);
    ctl::InstallInputCleaner(TntEdit5);

    const bool pstn = ReadPSTNOption();
    TntCheckBox25->setVisible(pstn);
    TntCheckBox26->setVisible(pstn);
    SetChannelPanelBevels();
    ComboBox4Change();
    ComboBox2Change();
    TntCheckBox13Click();
    TntCheckBox33Click();
    TntCheckBox42Click();
    TntCheckBox43Click();
}

void TForm1::BuildSecurityPage(QWidget* page, int top)
{
    TntPanel17 = panel(page, "TntPanel17", 8, top, 738, 140);
    Label38 = caption(TntPanel17, "Label38", QStringLiteral("VEQ3 owner name:"), 10, 12, 160);
    Edit8 = edit(TntPanel17, "Edit8", 180, 10, 200);
    TntCheckBox3 = box(TntPanel17, "TntCheckBox3", QStringLiteral("Use password on USB connect"), 10, 44, 360);
    TntCheckBox41 = box(TntPanel17, "TntCheckBox41",
                        QStringLiteral("Use password to prevent GPRS Settings changing"), 10, 70, 360);
    // The password serves both boxes and hides with them under a GPRS-settings lock: no
    // caption of its own, its hint says what it is.
    Edit9 = edit(TntPanel17, "Edit9", 380, 57, 200);
    ctl::SetHint(Edit9, QStringLiteral("Enter password"));
    ctl::SetShowHint(Edit9, true);
    fields::Install(Edit8, TField::OwnerName);
    fields::Install(Edit9, TField::USBPassword);
    connect(TntCheckBox3, &QCheckBox::clicked, this, [this] { Guard([this] { TntCheckBox3Click(true); }); });
    connect(TntCheckBox41, &QCheckBox::clicked, this, [this] { Guard([this] { TntCheckBox41Click(true); }); });
    TntCheckBox3Click(false);
}

void TForm1::BuildModemPage(QWidget* page, int top)
{
    TntGroupBox2 = Make<QGroupBox>(page, "TntGroupBox2", 8, top, 738, 84);
    TntGroupBox2->setTitle(QStringLiteral("SIM PIN"));
    TntGroupBox2->setAutoFillBackground(true);
    TntCheckBox28 = box(TntGroupBox2, "TntCheckBox28", QStringLiteral("Use SIM PIN"), 10, 22, 200);
    TntEdit1 = edit(TntGroupBox2, "TntEdit1", 220, 22, 100);
    TntLabel5 = caption(TntGroupBox2, "TntLabel5", QStringLiteral("Incorrect SIM PIN"), 10, 52, 300);
    TntLabel5->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    TntLabel5->hide();
    connect(TntCheckBox28, &QCheckBox::clicked, this, [this] { Guard([this] { TntCheckBox28Click(); }); });
    fields::Install(TntEdit1, TField::SimPIN);
    TntCheckBox28Click();

    GroupBox13 = Make<QGroupBox>(page, "GroupBox13", 8, top + 92, 738, 190);
    GroupBox13->setTitle(QStringLiteral("GPRS Communication"));
    Label127 = caption(GroupBox13, "Label127", QStringLiteral("Modem restart every (hour):"), 10, 22, 200);
    SpinEdit40 = Make<TSpinEdit>(GroupBox13, "SpinEdit40", 220, 20, 60, 21);
    SpinEdit40->setRange(ModemRestartMin, ModemRestartMax);
    SpinEdit40->setEnabled(false);
    TntCheckBox40 = box(GroupBox13, "TntCheckBox40", QStringLiteral("Show TCP statistics"), 300, 20, 200);

    // The GPRS state, driven by the module's state records.
    MakeLedColumn(GroupBox13, {{24, "TntLabel308", "Connecting"}, {25, "TntLabel309", "Connected"},
                               {26, "TntLabel310", "Sending"}, {27, "TntLabel311", "MessageSent"}},
                  QPoint(10, 60), 26, 170);
    caption(GroupBox13, "TntLabel312", QStringLiteral("GSM signal"), 220, 60, 120);
    IndLevelBar1 = MakeLevelBar(GroupBox13, "IndLevelBar1", false, QRect(232, 82, 20, 73));
    caption(GroupBox13, "Label30", QStringLiteral("Buffer message count:"), 360, 60, 170);
    Label31 = caption(GroupBox13, "Label31", QStringLiteral("0"), 540, 60, 60);
    caption(GroupBox13, "Label32", QStringLiteral("Sent message count:"), 360, 86, 170);
    Label33 = caption(GroupBox13, "Label33", QStringLiteral("0"), 540, 86, 60);
}

// ---- enabling rules -------------------------------------------------------------------------

void TForm1::SetFieldState(QWidget* w, bool enabled)
{
    if (!w)
        return;
    w->setEnabled(enabled);
    ctl::SetFieldColor(w, enabled ? colors::clWindow : colors::clMenu);
}

void TForm1::SetRequiredColor(QLineEdit* e)
{
    ctl::SetFieldColor(e, e->text().isEmpty() ? kWarnColor : colors::clWindow);
}

void TForm1::ComboBox4Change()
{
    if (ComboBox4->currentIndex() <= 0) {
        for (QWidget* w : std::initializer_list<QWidget*>{Edit1, TntEdit2, ComboBox1, TntComboBox3, Edit11})
            SetFieldState(w, false);
        CH1_Panel3->hide();
        TntLabel51->setVisible(ctl::Visible(CH1_Panel4));
        if (ComboBox2->currentIndex() <= 0)
            ctl::SetFieldColor(Edit2, colors::clWindow);
        TntCheckBox42->setEnabled(false);
        SetFieldState(TntEdit8, false);
    } else {
        AddressChange(Edit1, ComboBox4);
        PortChange(TntEdit2, ComboBox4);
        for (QWidget* w : std::initializer_list<QWidget*>{ComboBox1, TntComboBox3, Edit11})
            SetFieldState(w, true);
        CH1_Panel3->show();
        TntLabel51->hide();
        if (Edit2->text().isEmpty())
            ctl::SetFieldColor(Edit2, kWarnColor);
        TntCheckBox42->setEnabled(true);
        SetFieldState(TntEdit8, true);
        if (ComboBox1->currentIndex() < 0 && ComboBox1->count() > 0)
            ComboBox1->setCurrentIndex(0);
        if (TntComboBox3->currentIndex() < 0 && TntComboBox3->count() > 0)
            TntComboBox3->setCurrentIndex(0);
    }
    StackChannelPanels(TntGroupBox14, QStringLiteral("CH1_Panel"));
    if (TntLabel44)
        TntLabel44->setVisible(CheckSMSBackupWarning() || ComboBox4->currentIndex() <= 0);
}

void TForm1::ComboBox2Change()
{
    const bool used = ComboBox2->currentIndex() == 1 || ComboBox2->currentIndex() == 2;
    if (used) {
        AddressChange(Edit5, ComboBox2);
        PortChange(TntEdit3, ComboBox2);
        for (QWidget* w : std::initializer_list<QWidget*>{ComboBox3, TntComboBox4, Edit6})
            SetFieldState(w, true);
        if (Edit2->text().isEmpty())
            ctl::SetFieldColor(Edit2, kWarnColor);
        TntCheckBox43->setEnabled(true);
        SetFieldState(TntEdit9, true);
        if (ComboBox3->currentIndex() < 0 && ComboBox3->count() > 0)
            ComboBox3->setCurrentIndex(0);
        if (TntComboBox4->currentIndex() < 0 && TntComboBox4->count() > 0)
            TntComboBox4->setCurrentIndex(0);
    } else {
        for (QWidget* w : std::initializer_list<QWidget*>{Edit5, TntEdit3, ComboBox3, TntComboBox4, Edit6})
            SetFieldState(w, false);
        if (ComboBox4->currentIndex() <= 0)
            ctl::SetFieldColor(Edit2, colors::clWindow);
        TntCheckBox43->setEnabled(false);
        SetFieldState(TntEdit9, false);
    }
    StackChannelPanels(TntGroupBox15, QStringLiteral("CH2_Panel"));
}

void TForm1::ComboBox1Change()
{
    CH1_Panel2->setVisible(ComboBox1->currentIndex() == 2);
    StackChannelPanels(TntGroupBox14, QStringLiteral("CH1_Panel"));
}

void TForm1::ComboBox3Change()
{
    CH2_Panel2->setVisible(ComboBox3->currentIndex() == 2);
    StackChannelPanels(TntGroupBox15, QStringLiteral("CH2_Panel"));
}

void TForm1::TntCheckBox42Click()
{
    TntEdit8->setVisible(TntCheckBox42->isChecked());
    TntLabel83->setVisible(TntCheckBox42->isChecked());
}

void TForm1::TntCheckBox43Click()
{
    TntEdit9->setVisible(TntCheckBox43->isChecked());
    TntLabel84->setVisible(TntCheckBox43->isChecked());
}

void TForm1::TntCheckBox13Click()
{
    SetFieldState(SpinEdit3, TntCheckBox13->isChecked());
}

void TForm1::TntCheckBox33Click()
{
    if (TntCheckBox33->isChecked()) {
        SetFieldState(TntEdit4, true);
    } else {
        SetFieldState(TntEdit4, false);
        TntEdit4->setText(QString::fromLatin1(HeartbeatIdDefault));
    }
}

void TForm1::TntCheckBox28Click()
{
    const bool on = TntCheckBox28->isChecked();
    TntEdit1->setReadOnly(!on);
    ctl::SetFieldColor(TntEdit1, on ? colors::clWindow : colors::clMenu);
}

void TForm1::TntCheckBox3Click(bool clicked)
{
    if (TntCheckBox3->isChecked()) {
        TntCheckBox41->setChecked(false);
        TntCheckBox41->setEnabled(false);
        SetFieldState(Edit9, true);
        if (clicked)
            Edit9->setFocus();
    } else {
        TntCheckBox41->setEnabled(true);
        if (!TntCheckBox41->isChecked())
            SetFieldState(Edit9, false);
    }
}

void TForm1::Edit2Change()
{
    const bool anyUsed = ComboBox4->currentIndex() > 0 || ComboBox2->currentIndex() > 0;
    if (anyUsed)
        SetRequiredColor(Edit2);
}

// ---- edit colours, short accounts -------------------------------------------------------------

// An address or port shows its channel's state, whatever set its text: in use, editable
// with the warning colour while empty; not in use, greyed. Their characters are the
// cleaner's.
void TForm1::AddressChange(QLineEdit* e, QComboBox* channel)
{
    if (channel->currentIndex() > 0) {
        e->setEnabled(true);
        SetRequiredColor(e);
    } else {
        SetFieldState(e, false);
    }
}

void TForm1::PortChange(QLineEdit* e, QComboBox* channel)
{
    AddressChange(e, channel);
}

// Each reserve account goes out filled on the right with "0": a shorter one would reach
// the station as another account, so the account of a channel in use must be whole
// before anything is sent. A channel not in use reports nowhere: its account (greyed,
// not editable) goes back as the module holds it.
int TForm1::ShortAccountChannel() const
{
    const struct {
        const QComboBox* use;
        const QLineEdit* account;
        int channel;
    } channels[] = {{ComboBox4, Edit11, 1}, {ComboBox2, Edit6, 2}};
    for (const auto& c : channels)
        if (c.use && c.use->currentIndex() > 0 && c.account &&
            fields::TooShort(TField::Account, LangFromUnicode(c.account->text())))
            return c.channel;
    return 0;
}

// Host, ":" and port share one field of the module: each edit types its own part whole,
// but together they may be too long, and the module would keep the address cut.
int TForm1::LongAddressChannel() const
{
    const struct {
        const QLineEdit* host;
        const QLineEdit* port;
        int channel;
    } channels[] = {{Edit1, TntEdit2, 1}, {Edit5, TntEdit3, 2}};
    for (const auto& c : channels)
        if (c.host && c.port &&
            !fields::AddressFits(LangFromUnicode(c.host->text()), LangFromUnicode(c.port->text())))
            return c.channel;
    return 0;
}

// ---- panels -------------------------------------------------------------------------------

void TForm1::StackChannelPanels(QGroupBox* groupBox, const QString& prefix)
{
    if (!groupBox || prefix.isEmpty())
        return;
    int sum = 0;
    bool any = false;
    for (int n = 1;; ++n) {
        auto* p = ctl::Find<QFrame>(groupBox, prefix + QString::number(n));
        if (!p)
            break;
        if (!ctl::Visible(p))
            continue;
        p->move(p->x(), 16 + sum + 1);
        sum += p->height();
        any = true;
    }
    if (any)
        groupBox->resize(groupBox->width(), sum + 16 + 2);
}

void TForm1::StackChannelPanels()
{
    StackChannelPanels(TntGroupBox14, QStringLiteral("CH1_Panel"));
}

void TForm1::SetChannelPanelBevels()
{
    for (const char* prefix : {"CH1_Panel", "CH2_Panel"}) {
        for (int n = 1;; ++n) {
            auto* p = ctl::Find<QFrame>(this, QLatin1String(prefix) + QString::number(n));
            if (!p)
                break;
            p->setFrameShape(QFrame::NoFrame);
        }
    }
}

void TForm1::ShowSMSBackupNumbers()
{
    QByteArray list;
    for (const TUserPhoneRecord& u : UserPhones) {
        if ((u.PnAddCR & 0x10) && !u.PhoneNr.isEmpty()) {
            if (!list.isEmpty())
                list += ", ";
            list += u.PhoneNr;
        }
    }
    TntLabel50->setText(LangToUnicode(list));
    CH1_Panel4->setVisible(!list.isEmpty());
    TntLabel51->setVisible(!list.isEmpty() && ComboBox4->currentIndex() <= 0);
    StackChannelPanels(TntGroupBox14, QStringLiteral("CH1_Panel"));
}
