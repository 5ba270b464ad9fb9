// The main window's side of the module connection: arrival and removal, the live state
// and traffic log, the timers that start and watch a read of all settings, and the
// GPRS-settings lock.
#include "editor/Main.h"

#include "editor/Controls.h"
#include "editor/Encodings.h"
#include "editor/MainTables.h"
#include "editor/SendSequence.h"
#include "editor/SettingsFile.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "editor/Unit5.h"
#include "lang/LangText.h"
#include "link/VEQ2_SDK.h"
#include "platform/HidBackend.h"
#include "platform/UiDialogs.h"
#include "widgets/Colors.h"
#include "widgets/IndLeds.h"
#include "widgets/IndLevelBar.h"
#include "widgets/PageWizard.h"
#include "widgets/PanelStatusBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kPasswordPromptCaption = QStringLiteral("Enter VEQ2 password");

// Return or Enter typed in an edit runs an action, and goes no further: a window or wizard
// around the edit does not see it.
class TReturnKeys final : public QObject {
public:
    TReturnKeys(QObject* parent, std::function<void()> action) : QObject(parent), action_(std::move(action)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || mods != Qt::NoModifier)
            return false;
        try {
            action_();
        } catch (...) {
        }
        return true;
    }

private:
    std::function<void()> action_;
};

} // namespace

// ---- wiring --------------------------------------------------------------------------

void TForm1::WireLink()
{
    TVEQ2* l = VEQ2;
    l->OnConnect = [this](QObject*) { Guard([this] { OnModuleConnect(); }); };
    l->OnDisconnect = [this](QObject*) { Guard([this] { OnModuleDisconnect(); }); };
    // State and traffic arrive while the link handles a report: a fault there is the
    // link's to discard (see WireSettingsEvents).
    l->OnState = [this](QObject*, quint8 f, quint8 cr, quint8 sr, quint16 tcp, quint8 buf, quint8 sent) {
        OnStateArrive(f, cr, sr, tcp, buf, sent);
    };
    l->OnUsart = [this](QObject*, const QByteArray& s, bool out) { OnUsartArrive(s, out); };
    l->OnNoAnswer = [this](QObject*) { Guard([this] { OnModuleNoAnswer(); }); };
    l->OnOpenError = [this](const QString& reason) {
        Guard([&] { ui::ShowPlainMessage(reason, this); });
    };
    WireSettingsEvents();
}

void TForm1::Guard(const std::function<void()>& f)
{
    try {
        f();
    } catch (const std::exception& e) {
        // A fault in a handler is reported, never allowed to leave the event loop.
        ui::ShowPlainMessage(QString::fromLocal8Bit(e.what()), this);
    } catch (...) {
    }
}

// ---- arrival and removal ----------------------------------------------------------------

void TForm1::OnModuleConnect()
{
    if (!VEQ2)
        return;
    // Its read is its own, not the read-back of a write to another module.
    readBackOfWrite_ = false;
    TntLabel1->setText(VEQ2->ProductName + QStringLiteral(" SN:") + VEQ2->SerialNumber);
    // A text dialog shown before this module came shows none of its texts.
    TSmsDialog::CloseShown();
    // Every module starts with an empty unlock password and no word of an earlier try.
    TntEdit5->clear();
    TntLabel82->hide();
    if (VEQ2->FirmwareVersion < 2000) {
        TntLabel73->hide();
        TntLabel10->show();
        return;
    }
    if (NormalMode)
        PageControl1->SetActivePageIndex(4);
    const unsigned connection = ++connectionCount_;
    // The hour opens the read, on the road: a module that keeps it waiting past the limit
    // gets none of it, then or later, and is not read.
    TSendSequence hour(*this);
    hour.Run([&] { hour.Send([](TVEQ2& l) { l.SendHour(); }, 0); });
    // The send waits for the module and meanwhile handles window messages: the module may
    // have left (the window then shows its no-module state, which must stay), or left and
    // come back (the new connection has done all of this already).
    if (!VEQ2 || !VEQ2->Connected || connection != connectionCount_)
        return;
    const bool read = !hour.Unanswered();
    ApplyFirmwareFeatures(VEQ2->FirmwareVersion);
    ShowTemplateName(QString());
    Image1->hide();
    PageControl1->show();
    TntButton5->show();
    if (read) {
        Timer2->start();
    } else {
        // Told once the device listing that brought the module is over.
        QTimer::singleShot(0, this, [this, connection] {
            if (VEQ2 && VEQ2->Connected && connection == connectionCount_)
                Guard([this] { ReadStopped(); });
        });
    }
    const TModelFlags m = ModelFlagsFor(VEQ2->ProductName, VEQ2->FirmwareVersion);
    Model3mClass = m.Model3mClass;
    ModelVeq3 = m.ModelVeq3;
    ModelVeq4mFrom3000 = m.ModelVeq4mFrom3000;
    ApplyModelFeatures();
    ApplyOutputCaptions(ModelVeq3);
    UIStateBits |= UIStateApplyGPRSLock;
    Timer_CheckPassword->start();
    LogLines.clear();
}

void TForm1::OnModuleDisconnect()
{
    ++connectionCount_;
    // What was read belongs to the module that left. (A write to it that was still going out
    // finds out through its own sequence.)
    readStarted_ = false;
    readBackOfWrite_ = false;
    TemplateLoaded = false;
    TntButton27->hide();
    TntButton1911->hide();
    TntLabel73->show();
    TntLabel10->hide();
    PanelStatusBar1->setPanelText(3, QString());
    PageControl1->hide();
    TntButton5->hide();
    Image1->show();
    TntLabel1->setText(GetLangText(25));
    if (Form5)
        Form5->close();
    // The password typed for the module that left is not for the next one.
    TntEdit5->clear();
    TntLabel82->hide();
    // The connect-password prompt belongs to the module that asked: it goes with it. So do
    // the SMS text dialogs: the texts they show and would write are that module's.
    if (passwordPrompt_)
        passwordPrompt_->reject();
    TSmsDialog::CloseShown();
}

void TForm1::OnModuleNoAnswer()
{
    // A packet waited in vain for the module: its sequence stopped there (and tells its
    // operation), and the wait dialog goes, so the window is the user's again.
    if (Form5 && Form5->isVisible())
        Form5->close();
}

// ---- live state -------------------------------------------------------------------------

void TForm1::SetLedsFromState(quint8 modemFlags, quint8 modemCR, quint8 modemSR, quint16 tcpsr)
{
    auto set = [this](int n, bool on) {
        if (IndUserLed[n])
            IndUserLed[n]->SetActive(on);
    };
    const quint8 flagMasks[7] = {0x40, 0x01, 0x04, 0x02, 0x10, 0x08, 0x20};
    for (int i = 0; i < 7; ++i)
        set(1 + i, (modemFlags & flagMasks[i]) != 0);
    const quint8 regMasks[8] = {0x40, 0x01, 0x02, 0x20, 0x04, 0x10, 0x80, 0x08};
    for (int i = 0; i < 8; ++i) {
        set(8 + 2 * i, (modemCR & regMasks[i]) != 0);
        set(9 + 2 * i, (modemSR & regMasks[i]) != 0);
    }
    const quint16 tcpMasks[4] = {0x0001, 0x0002, 0x0200, 0x0020};
    for (int i = 0; i < 4; ++i)
        set(24 + i, (tcpsr & tcpMasks[i]) != 0);
}

void TForm1::OnStateArrive(quint8 modemFlags, quint8 modemCR, quint8 modemSR, quint16 tcpsr,
                           quint8 outBufMessCount, quint8 sentCounter)
{
    SetLedsFromState(modemFlags, modemCR, modemSR, tcpsr);
    IndLevelBar1->SetPosition((tcpsr >> 12) & 0x0F);
    Label31->setText(QString::number(outBufMessCount));
    Label33->setText(QString::number(sentCounter));
    // The main screen repeats a few of them.
    const struct { int to, from; } copies[] = {{37, 1}, {38, 3}, {35, 4}, {36, 5},
                                               {31, 24}, {32, 25}, {33, 26}};
    for (const auto& c : copies)
        if (IndUserLed[c.to] && IndUserLed[c.from])
            IndUserLed[c.to]->SetActive(IndUserLed[c.from]->Active());
    IndLevelBar2->SetPosition(IndLevelBar1->Position());
    Label129->setText(Label31->text());
    Label131->setText(Label33->text());
    ModuleStatus.TCPSR = tcpsr;
    ModuleStatus.ModemCR = modemCR;
    ModuleStatus.ModemSR = modemSR;
    ModuleStatus.ModemFlags = modemFlags;
}

void TForm1::OnUsartArrive(const QByteArray& output, bool outGoing)
{
    const QByteArray line =
        MakeUsartLogLine(output, outGoing, TntCheckBox12->isChecked(), ModuleStatus.TCPSR,
                         ModuleStatus.ModemCR, ModuleStatus.ModemSR, ModuleStatus.ModemFlags);
    LogLines.append(line);
    if (!NormalMode && !TntCheckBox1->isChecked() && PageControl1->ActivePageIndex() == 0)
        Memo1->appendPlainText(LangToUnicode(line));
}

void TForm1::Timer1Timer()
{
    auto set = [this](int n, bool on) {
        if (IndUserLed[n])
            IndUserLed[n]->SetActive(on);
    };
    if (!VEQ2)
        return;
    set(28, VEQ2->Busy);
    set(29, VEQ2->Monitoring);
    set(30, VEQ2->Error);
    set(34, VEQ2->Monitoring);
    if (!VEQ2->Connected) {
        for (int n = 1; n <= 30; ++n)
            if (auto* led = ctl::Find<TIndUserLed>(this, QStringLiteral("IndUserLed%1").arg(n)))
                led->SetActive(false);
    }
}

// ---- reading all settings -------------------------------------------------------------------

bool TForm1::IsWindowsXPOrLater()
{
    // There is no older system to wait differently for: always the newer way.
    return true;
}

void TForm1::TntButton19Click()
{
    Timer2->start();
}

void TForm1::Timer2Timer()
{
    Timer2->stop();
    if (!VEQ2 || !VEQ2->Connected) {
        readBackOfWrite_ = false;
        if (Form5)
            Form5->close();
        return;
    }
    if (VEQ2->PasswordRequired) {
        // A read that does not follow is no read-back of a write any more: a later read
        // that stops says so as a read of its own.
        if (!PasswordPrompt())
            readBackOfWrite_ = false;
        return;
    }
    if (IsWindowsXPOrLater()) {
        Timer7->start();
    } else {
        StartReadAll();
    }
}

bool TForm1::PasswordPrompt()
{
    // A message or question the user is reading (one that names a module that was cut,
    // say) stays readable: the prompt comes once it has been closed.
    if (QApplication::activeModalWidget()) {
        Timer2->start();
        return true;
    }
    // Whether the module still asks is known from its answer to the last packet (the
    // hour, or the login just sent): a module that gives none is not asked again.
    if (AwaitingModuleAnswer(Timer2))
        return Timer2->isActive();
    const unsigned connection = connectionCount_;
    const auto pw =
        ui::InputQuery(kPasswordPromptCaption, QStringLiteral("Password"), QString(), this, &passwordPrompt_);
    // The module left while the prompt was up (which closed it): the answer was for a
    // module that is no longer there, and a Cancel does not end the program.
    if (!VEQ2 || !VEQ2->Connected || connection != connectionCount_)
        return false;
    if (!pw) {
        // Cancelled: the program ends here, without its close handlers.
        TerminateProgram();
        return false;
    }
    if (!SendModuleLogin(LangFromUnicode(*pw)))
        return false;
    Timer2->start();
    return true;
}

bool TForm1::SendModuleLogin(const QByteArray& Password)
{
    TSendSequence road(*this);
    road.Run([&] { road.Send([&](TVEQ2& l) { l.SendLogin(Password); }, 0); });
    if (road.Unanswered()) {
        TellModuleDidNotAnswer();
        return false;
    }
    if (!road.Going())
        return false;
    // Its answer is awaited from now on, on a clock of its own.
    answerWait_.invalidate();
    return true;
}

void TForm1::Timer7Timer()
{
    if (!platform::NoPendingInstallEvents())
        return;
    Timer7->stop();
    // The module may have left while we waited.
    if (!VEQ2 || !VEQ2->Connected) {
        if (Form5)
            Form5->close();
        return;
    }
    StartReadAll();
}

void TForm1::StartReadAll()
{
    readStarted_ = true;
    // The watch timer runs first: the walk's requests and replies are handled inside the
    // waits of the first send, so the dialog must be able to appear meanwhile.
    Timer6->start();
    // The walk's first request goes out here and each next one from the reply before it,
    // all on this read's road: a module that stops answering gets none of them late, and
    // the watch learns from the road that the read stopped.
    auto road = std::make_shared<TSendSequence>(*this);
    readRoad_ = road;
    road->Run([&] { road->Send([](TVEQ2& l) { l.ReadAll(); }, 0); });
}

bool TForm1::SettingsReadComplete() const
{
    // The link leaves its walk flag set when a walk stops short (a time-out, the module
    // leaving) and clears it only when the walk reaches its end; a late reply after a
    // time-out may still bring it there.
    return VEQ2 && VEQ2->Connected && readStarted_ && !VEQ2->ReadingAll;
}

void TForm1::Timer6Timer()
{
    Timer6->stop();
    const TSendEnd end = readRoad_ ? readRoad_->End() : TSendEnd::Whole;
    // A module that left in the middle of the walk never finishes it: the dialog closes
    // rather than holding the window disabled.
    if (!VEQ2 || !VEQ2->Connected || end == TSendEnd::Left || end == TSendEnd::Replaced ||
        end == TSendEnd::LinkGone) {
        readRoad_.reset();
        if (Form5)
            Form5->close();
        return;
    }
    const bool unanswered = end == TSendEnd::Silent || end == TSendEnd::StaysBusy;
    if (VEQ2->ReadingAll && !VEQ2->TimedOut && !unanswered) {
        Form5->ShowWaiting(false);
        Timer6->start();
        return;
    }
    readRoad_.reset();
    if (VEQ2->ReadingAll) {
        AppendDebugCode(static_cast<std::uint32_t>(VEQ2->LastRequest));
        ReadStopped();
    } else {
        readBackOfWrite_ = false;
        Form5->close();
    }
}

void TForm1::ReadStopped()
{
    if (Form5)
        Form5->close();
    // After a write that went out whole, only the reading back stopped.
    const int message = readBackOfWrite_ ? 136 : 39;
    readBackOfWrite_ = false;
    WideMessagedlg(GetLangText(message), ui::MsgType::Error, {ui::MsgButton::OK});
}

// ---- GPRS-settings lock ---------------------------------------------------------------------

void TForm1::Timer_CheckPasswordTimer()
{
    if (!VEQ2 || !VEQ2->Connected) {
        Timer_CheckPassword->stop();
        return;
    }
    if (UIStateBits & UIStateApplyGPRSLock) {
        Timer_CheckPassword->stop();
        UIStateBits &= ~UIStateApplyGPRSLock;
        ApplyGPRSLock();
        return;
    }
    // The flags tell the result of the unlock only in the module's answer to it.
    if (AwaitingModuleAnswer(Timer_CheckPassword))
        return;
    if (VEQ2->Error && VEQ2->GPRSLocked) {
        Timer_CheckPassword->stop();
        TntLabel82->show();
    }
    if (!VEQ2->GPRSLocked) {
        Timer_CheckPassword->stop();
        ApplyGPRSLock();
        // The USB password, on the road: a module that keeps the request waiting past the
        // limit gets none of it. The window then lacks that setting, so a write of all
        // settings waits for a read again.
        TSendSequence road(*this);
        road.Run([&] { road.Send([](TVEQ2& l) { l.ReadUSBPassword(); }, 0); });
        if (road.Unanswered()) {
            readStarted_ = false;
            ReadStopped();
        }
    }
}

void TForm1::WireUnlockPanel()
{
    // Shown, the unlock panel lies above every other control of the page.
    TntPanel18->raise();
    // The boxes are placed from a mark at the top of the page's content as built: an empty
    // widget that nothing moves but the page's own shift of its content when the header
    // changes height, which moves the boxes alike.
    unlockBoxAnchor_ = new QWidget(TntPanel18->parentWidget());
    unlockBoxAnchor_->setGeometry(0, TntPanel18->y(), 0, 0);
    unlockBoxAnchor_->hide();
    const QWidget* boxes[3] = {TntGroupBox14, TntGroupBox15, TntGroupBox16};
    for (int i = 0; i < 3; ++i)
        unlockBoxTops_[i] = boxes[i]->y() - unlockBoxAnchor_->y();
    connect(TntButton34, &QPushButton::clicked, this, [this] { Guard([this] { TntButton34Click(); }); });
    // Return in the password edit unlocks; it does not move the wizard on.
    TntEdit5->installEventFilter(new TReturnKeys(TntEdit5, [this] {
        if (TntButton34->isEnabled() && !TntButton34->isHidden())
            TntButton34->click();
    }));
}

void TForm1::TntButton34Click()
{
    // Each Unlock starts afresh: the answer an earlier one waited for is awaited no more
    // (the lock check of a module just connected stays due).
    if (!(UIStateBits & UIStateApplyGPRSLock))
        Timer_CheckPassword->stop();
    if (!SendModuleLogin(LangFromUnicode(TntEdit5->text())))
        return;
    Timer_CheckPassword->start();
}

bool TForm1::ModuleAnswerOverdue() const
{
    return VEQ2 && !VEQ2->ModuleFree() && answerWait_.isValid() && answerConnection_ == connectionCount_ &&
           answerWait_.elapsed() >= VEQ2->Timing().NoAnswerMs;
}

bool TForm1::AwaitingModuleAnswer(QTimer* poll)
{
    if (!VEQ2 || VEQ2->ModuleFree()) {
        answerWait_.invalidate();
        return false;
    }
    if (!answerWait_.isValid() || answerConnection_ != connectionCount_) {
        answerWait_.start();
        answerConnection_ = connectionCount_;
    }
    if (!ModuleAnswerOverdue()) {
        poll->start();
        return true;
    }
    // Told once; the clock stays run out until the module answers.
    poll->stop();
    TellModuleDidNotAnswer();
    return true;
}

void TForm1::TellModuleDidNotAnswer()
{
    WideMessagedlg(GetLangText(127), ui::MsgType::Error, {ui::MsgButton::OK});
}

QList<QWidget*> TForm1::GPRSLockedControls() const
{
    return {Label5, Label43, TntLabel6, TntLabel8, Label44, ComboBox4, Edit1, TntEdit2, ComboBox1,
            TntComboBox3, CH1_Panel2, CH1_Panel3, TntLabel52, TntLabel55, TntLabel7, TntLabel56,
            TntLabel58, ComboBox2, Edit5, TntEdit3, ComboBox3, TntComboBox4, TntCheckBox13,
            SpinEdit3, Label46, TntCheckBox33, TntEdit4, TntCheckBox3, TntCheckBox41, Edit9,
            TntButton1911, TntButton26, TntButton27};
}

void TForm1::ApplyGPRSLock()
{
    const bool locked = VEQ2 && VEQ2->GPRSLocked;
    if (locked) {
        // The top of the page's content, just under its header.
        TntPanel18->move(TntPanel18->x(), WPage[2]->ClientMargins().top());
        TntPanel18->show();
        TntLabel82->hide();
        for (QWidget* w : GPRSLockedControls())
            if (w)
                w->hide();
        ctl::SetTag(TntButton26, 1);
        ctl::SetTag(TntButton27, 1);
    } else {
        TntPanel18->hide();
        for (QWidget* w : GPRSLockedControls())
            if (w && w != CH1_Panel2 && w != CH1_Panel3)
                w->show();
        ComboBox4Change();
        ctl::SetTag(TntButton26, 0);
        ctl::SetTag(TntButton27, 0);
    }
    // The boxes of the page lie below the panel while it is shown, and stand where they
    // were built otherwise.
    const int room = locked ? TntPanel18->height() + 4 : 0;
    QWidget* boxes[3] = {TntGroupBox14, TntGroupBox15, TntGroupBox16};
    for (int i = 0; i < 3; ++i)
        boxes[i]->move(boxes[i]->x(), unlockBoxAnchor_->y() + unlockBoxTops_[i] + room);
    StackChannelPanels();
    ArrangeGPRSSettings();
}

void TForm1::TntCheckBox41Click(bool clicked)
{
    const bool off = !TntCheckBox41->isChecked() && !TntCheckBox3->isChecked();
    Edit9->setEnabled(!off);
    SetEditColor(Edit9, off ? colors::clMenu : colors::clWindow);
    if (!off && clicked)
        Edit9->setFocus();
}

void TForm1::SetEditColor(QWidget* w, colors::TColor c)
{
    // The one colour routine of the fields, so the colour reads back the same way.
    ctl::SetFieldColor(w, c);
}
