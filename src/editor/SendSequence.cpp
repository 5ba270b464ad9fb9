#include "editor/SendSequence.h"

#include "editor/Main.h"
#include "link/VEQ2_SDK.h"

#include <QThread>

TSendSequence::TSendSequence(TForm1& Form)
    : form_(Form),
      connection_(Form.ConnectionCount()),
      link_(Form.Link()),
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

bool TSendSequence::Going() const
{
    const TVEQ2* link = form_.Link();
    return link && link == link_ && link->Connected && form_.ConnectionCount() == connection_ &&
           link->NoAnswerCount() == noAnswer_;
}

void TSendSequence::Check() const
{
    if (!Going())
        throw Stopped();
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
    form_.Delay(Ms);
    Check();
}

void TSendSequence::Sleep(int Ms)
{
    Check();
    QThread::msleep(static_cast<unsigned long>(Ms < 0 ? 0 : Ms));
    Check();
}

void TSendSequence::Call(const std::function<void()>& Routine)
{
    Check();
    Routine();
    Check();
}
