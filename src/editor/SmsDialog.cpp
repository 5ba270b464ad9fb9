#include "editor/SmsDialog.h"

#include "editor/Main.h"
#include "editor/MainTables.h"
#include "editor/SendSequence.h"
#include "editor/Unit2.h"
#include "editor/Unit3.h"
#include "editor/Unit5.h"
#include "editor/Unit6.h"
#include "link/VEQ2_SDK.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHideEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

namespace {

constexpr int kRecheckMs = 10;

// Processes window messages until Done holds or LimitMs have passed: true when it held.
bool WaitFor(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= limitMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(kRecheckMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Runs what has been posted to the window's thread so far, the module's reports handed
// over for their events among it.
void RunPostedEvents()
{
    QEventLoop loop;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    loop.exec();
}

} // namespace

TSmsDialog::TSmsDialog(QWidget* parent) : QDialog(parent) {}

void TSmsDialog::Guarded(const std::function<void()>& f)
{
    if (Form1) {
        Form1->Guard(f);
        return;
    }
    try {
        f();
    } catch (...) {
    }
}

void TSmsDialog::CloseShown()
{
    for (TSmsDialog* d : {static_cast<TSmsDialog*>(Form2), static_cast<TSmsDialog*>(Form3),
                          static_cast<TSmsDialog*>(Form6)})
        if (d && d->isVisible())
            d->close();
}

bool TSmsDialog::SendSeries(int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send)
{
    if (!Form1)
        return false;
    TSendSequence seq(*Form1);
    return RunSeries(seq, count, pauseMs, send);
}

bool TSmsDialog::RunSeries(TSendSequence& seq, int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send)
{
    return seq.Run([&] {
        for (int i = 0; i < count; ++i)
            seq.Send([&](TVEQ2& link) { send(link, i); }, pauseMs);
        seq.Send([](TVEQ2& link) { link.SendBatchEnd(true); }, 0);
    });
}

bool TSmsDialog::WriteSeries(int count, int pauseMs, const std::function<void(TVEQ2&, int)>& send)
{
    if (!Form1)
        return false;
    const bool own = Form1->BeginWholeWrite(TForm1::TWholeWrite::Texts);
    TSendSequence seq(*Form1);
    try {
        RunSeries(seq, count, pauseMs, send);
    } catch (...) {
        if (own)
            Form1->DropWholeWrite();
        throw;
    }
    // The dialog goes first, so that the message stands over the window it gives back.
    const bool whole = seq.End() == TSendEnd::Whole;
    if (!whole && OnScreen())
        close();
    if (own && Form1)
        Form1->EndWholeWrite(seq);
    return whole;
}

bool TSmsDialog::ModuleConnected()
{
    const TVEQ2* link = Form1 ? Form1->Link() : nullptr;
    return link && link->Connected;
}

bool TSmsDialog::ModuleConnectedToWrite()
{
    if (ModuleConnected())
        return true;
    if (Form1 && !Form1->WholeWriteRunning())
        Tell(118);
    return false;
}

void TSmsDialog::Tell(int n)
{
    if (Form1)
        Form1->WideMessagedlg(Form1->GetLangText(n), ui::MsgType::Error, {ui::MsgButton::OK},
                              OnScreen() ? this : nullptr);
}

void TSmsDialog::PlainButtons()
{
    // In a dialog a push button presses itself on Return by default, and the first one
    // becomes the default button that Return in any edit presses: here that would write
    // every text, half-typed ones included.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

void TSmsDialog::ReadTexts(int count, const std::function<void(TVEQ2&, int)>& request)
{
    BeginTextsRead(count);
    // Held first: the wait dialog then neither takes the window nor gives it back.
    HoldMainWindow();
    if (!ModuleConnected())
        return;
    // The replies reach the edits as their reports are handled, one after another and never
    // inside an earlier one. Shown while one is being handled, the dialog would wait for
    // replies that cannot be handled before it stops waiting: it reads once that is over.
    TVEQ2* link = Form1->Link();
    if (link->HandlingReport()) {
        const QPointer<TSmsDialog> self = this;
        link->RunOutsideReports([self, count, request] {
            if (self && self->ReadGoing())
                Guarded([&] { self->ReadAndTell(count, request); });
        });
        return;
    }
    ReadAndTell(count, request);
}

void TSmsDialog::ReadAndTell(int count, const std::function<void(TVEQ2&, int)>& request)
{
    QPointer<TForm5> wait = Form5;
    if (wait)
        wait->ShowWaiting(false);
    const bool read = ReadFromModule(count, request);
    if (wait)
        wait->close();
    // Told over the dialog, which comes on screen once its show event has run; closed
    // meanwhile, by the user or because its module left, it has nothing to tell.
    if (!read)
        QTimer::singleShot(0, this, [this] {
            if (ReadGoing())
                Guarded([this] { Tell(126); });
        });
}

bool TSmsDialog::ReadGoing() const
{
    return reading_ && OnScreen() && Form1 && Form1->ConnectionCount() == readConnection_ && ModuleConnected();
}

bool TSmsDialog::ReadFromModule(int count, const std::function<void(TVEQ2&, int)>& request)
{
    const int limitMs = Form1->Link()->Timing().NoAnswerMs;
    auto free = [this] { return !ReadGoing() || Form1->Link()->ModuleFree(); };
    // A module still at an earlier packet, or one that never answered it, gets no request
    // until it reports that it is free.
    if (!WaitFor(free, limitMs) || !ReadGoing())
        return false;
    if (!SendSeries(count, 5, request))
        return false;
    // The module answers each request before the next one goes, so once it has answered the
    // end of the batch every reply has been passed on to this thread. The reader marks a
    // packet answered before its reply is handed over, but each reply is handed over before
    // the next report is read: the replies are all queued by then, and their handling (never
    // inside an earlier report's, see ReadTexts) runs before what is posted later.
    WaitFor([&] { return TextsRead() || free(); }, limitMs);
    RunPostedEvents();
    return TextsRead();
}

void TSmsDialog::ForgetTexts()
{
    reading_ = false;
    arrived_ = 0;
    textsSet_ = false;
}

void TSmsDialog::BeginTextsRead(int count)
{
    ForgetTexts();
    textCount_ = count;
    reading_ = Form1 != nullptr;
    readConnection_ = Form1 ? Form1->ConnectionCount() : 0;
}

void TSmsDialog::TextArrived(int idx)
{
    if (!reading_ || !OnScreen() || idx < 0 || idx >= textCount_)
        return;
    if (!Form1 || Form1->ConnectionCount() != readConnection_)
        return;
    arrived_ |= 1u << idx;
}

bool TSmsDialog::TextsRead() const
{
    return reading_ && textCount_ > 0 && arrived_ == (1u << textCount_) - 1 && Form1 &&
           Form1->ConnectionCount() == readConnection_ && ModuleConnected();
}

bool TSmsDialog::MayWriteTexts()
{
    if (TemplateLoaded || textsSet_ || TextsRead())
        return true;
    Tell(121);
    return false;
}

void TSmsDialog::HoldMainWindow()
{
    // Closed already while its requests went out: the window stays with the user.
    if (!OnScreen())
        return;
    if (Form1 && Form1->isEnabled()) {
        Form1->setEnabled(false);
        disabledMain_ = true;
    }
    setEnabled(true);
}

void TSmsDialog::FormClose()
{
    // What this showing read or set is not what the next showing shows, and what the
    // dialog told about it (that its texts could not be read, or not sent) is past.
    ForgetTexts();
    for (QMessageBox* box : findChildren<QMessageBox*>(Qt::FindDirectChildrenOnly))
        if (box->isVisible())
            box->reject();
    if (disabledMain_) {
        disabledMain_ = false;
        if (Form1)
            Form1->setEnabled(true);
    }
}

void TSmsDialog::setVisible(bool visible)
{
    if (inShow_) {
        if (!visible)
            hideAfterShow_ = true;
        return;
    }
    if (!visible || isVisible()) {
        QDialog::setVisible(visible);
        return;
    }
    inShow_ = true;
    hideAfterShow_ = false;
    QDialog::setVisible(true);
    inShow_ = false;
    if (hideAfterShow_) {
        hideAfterShow_ = false;
        QDialog::setVisible(false);
    }
}

void TSmsDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // A window system showing the dialog again (its owner restored) is no fresh show.
    if (!e->spontaneous())
        Guarded([this] { FormShow(); });
}

void TSmsDialog::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    // A window system hiding the dialog (its owner minimised) is no close.
    if (!e->spontaneous())
        Guarded([this] { FormClose(); });
}
