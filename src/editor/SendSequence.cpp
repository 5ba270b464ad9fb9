#include "editor/SendSequence.h"

#include "editor/Main.h"
#include "link/VEQ2_SDK.h"

#include <QThread>

#include <algorithm>

TSendSequence::TSendSequence(TForm1& Form)
    : form_(Form),
      connection_(Form.ConnectionCount()),
      link_(Form.Link()),
      connected_(Form.Link() && Form.Link()->Connected),
      serial_(connected_ ? Form.Link()->SerialNumber : QString()),
      noAnswer_(Form.Link() ? Form.Link()->NoAnswerCount() : 0),
      answerLimit_(Form.Link())
{
}

bool TSendSequence::Run(const std::function<void()>& Steps)
{
    try {
        Steps();
        return true;
    } catch (const Stopped&) {
        return false;
    }
}

TSendEnd TSendSequence::Why() const
{
    const TVEQ2* link = form_.Link();
    if (!link || link != link_)
        return TSendEnd::LinkGone;
    if (!connected_)
        return TSendEnd::NoModule;
    // A module that stopped answering was still there when the send gave up on it, whatever
    // it did afterwards.
    if (link->NoAnswerCount() != noAnswer_)
        return link->LastNoAnswer() == TVEQ2::TNoAnswer::StaysBusy ? TSendEnd::StaysBusy : TSendEnd::Silent;
    if (!link->Connected || form_.ConnectionCount() != connection_)
        return TSendEnd::Left;
    return TSendEnd::Whole;
}

bool TSendSequence::Going() const
{
    if (end_ == TSendEnd::Whole)
        end_ = Why();
    return end_ == TSendEnd::Whole;
}

TSendEnd TSendSequence::End() const
{
    Going();
    const bool stopped = end_ == TSendEnd::Silent || end_ == TSendEnd::StaysBusy;
    if (end_ != TSendEnd::Left && !stopped)
        return end_;
    // Which module is there is asked now: one that stopped answering may have been found
    // gone since, and another one may have been claimed after the sequence stopped.
    const TVEQ2* link = form_.Link();
    if (!link || link != link_)
        return TSendEnd::LinkGone;
    if (stopped && link->Connected && form_.ConnectionCount() == connection_)
        return end_;
    if (link->Connected && !serial_.isEmpty() && link->SerialNumber != serial_)
        return TSendEnd::Replaced;
    return TSendEnd::Left;
}

bool TSendSequence::Cut() const
{
    const TSendEnd end = End();
    return end != TSendEnd::Whole && end != TSendEnd::NoModule && end != TSendEnd::LinkGone;
}

bool TSendSequence::Unanswered() const
{
    const TSendEnd end = End();
    return end == TSendEnd::Silent || end == TSendEnd::StaysBusy;
}

void TSendSequence::Check() const
{
    if (!Going())
        throw Stopped();
}

int TSendSequence::PauseMs(int Ms) const
{
    const int most = link_ ? link_->Timing().SeriesPauseMaxMs : -1;
    const int ms = std::max(Ms, 0);
    return most < 0 ? ms : std::min(ms, most);
}

void TSendSequence::Send(const std::function<void(TVEQ2&)>& Packet, int PauseMs)
{
    Check();
    // The link is taken afresh for every packet: the one of the last packet may be gone.
    Packet(*form_.Link());
    Check();
    if (PauseMs > 0)
        Pause(PauseMs);
}

void TSendSequence::Pause(int Ms)
{
    Check();
    form_.Delay(PauseMs(Ms));
    Check();
}

void TSendSequence::Sleep(int Ms)
{
    Check();
    QThread::msleep(static_cast<unsigned long>(PauseMs(Ms)));
    Check();
}

void TSendSequence::Call(const std::function<void()>& Routine)
{
    Check();
    Routine();
    Check();
}
