#pragma once
// The one road of packets to the module: packets sent one after another, each followed by
// its pause. Every send and every pause processes window messages, so the window may close
// (it lets go of its link) or the module may leave while a sequence runs. The sequence
// then stops at once: nothing more is sent and the link the window let go of is never
// touched again. A module that came back meanwhile is another connection: it gets none
// of the rest. A module that stays on the bus but stops answering (it goes silent, or its
// busy bit never clears while it keeps reporting) stops the sequence as well, after the
// link's no-answer limit, which holds for every send made while a sequence runs: the
// packet that waited is dropped, never written later.
//
// Every packet to the module runs through this: a series, and a single login or read
// request as well (the read walk's later requests go out while the read's sequence lives,
// under its limit). This alone decides whether a sequence was cut and why (End()): an
// operation asks its sequence how it ended, and the window turns that into the one message
// for it (a cut write: TForm1::CutWriteText).
#include "link/VEQ2_SDK.h"

#include <QString>

#include <functional>

class TForm1;

// How a sequence ended.
enum class TSendEnd {
    Whole,     // every packet went out (or the sequence still goes)
    NoModule,  // no module was connected when it began: nothing was sent, nothing was cut
    LinkGone,  // the window let go of its link: it is closing
    Left,      // the module it began with left (it may have come back since, as a new connection)
    Replaced,  // the module it began with left, and another one is connected now
    Silent,    // the module stayed connected but sent nothing within the no-answer limit
    StaysBusy, // the module stayed connected and kept reporting, busy past the limit
};

class TSendSequence {
public:
    explicit TSendSequence(TForm1& Form);

    // Runs Steps. True when they ran to their end; false when the sequence stopped (End()
    // says why). Any other fault is not caught here. A sequence may run several Steps one
    // after another: once stopped, it stays stopped.
    bool Run(const std::function<void()>& Steps);

    // True while the window holds its link, the module it started with is connected and
    // that module has answered every packet of the sequence.
    bool Going() const;

    // How it ended, or Whole while it still goes. Taken when it was first found stopped; but
    // whether the module is there is asked anew each time: one that stopped answering and
    // has gone since counts as left, and one that left counts as replaced when another one
    // is connected now.
    TSendEnd End() const;
    // True when it stopped short of a module that was there at its start: a write to it was
    // cut (not when it never began for want of a module, or the window is closing).
    bool Cut() const;
    // True when it stopped because the module, still connected, stopped answering.
    bool Unanswered() const;
    // The serial number of the module it began with (empty when there was none).
    const QString& SerialNumber() const { return serial_; }

    // One packet, then a pause of PauseMs with window messages processed (0: the next
    // packet follows at once).
    void Send(const std::function<void(TVEQ2&)>& Packet, int PauseMs);
    // A pause with window messages processed.
    void Pause(int Ms);
    // A plain sleep: nothing else runs on the window's thread meanwhile.
    void Sleep(int Ms);
    // A routine that sends on its own (and stops on its own); the sequence goes on only
    // when the link and the module are still there after it.
    void Call(const std::function<void()>& Routine);
    // Stops the sequence unless it is still going.
    void Check() const;

private:
    struct Stopped {};
    // Why the sequence cannot go on now (Whole: it can).
    TSendEnd Why() const;
    // A pause as long as the link's series pacing allows.
    int PauseMs(int Ms) const;

    TForm1& form_;
    unsigned connection_;
    QPointer<TVEQ2> link_;
    bool connected_;
    QString serial_;
    unsigned noAnswer_;
    mutable TSendEnd end_ = TSendEnd::Whole;
    // Every send while the sequence runs gives up on a module that stopped answering.
    TVEQ2::TAnswerLimit answerLimit_;
};
