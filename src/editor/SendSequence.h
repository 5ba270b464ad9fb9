#pragma once
// A write sequence: packets sent to the module one after another, each followed by its
// pause. Every send and every pause processes window messages, so the window may close
// (it lets go of its link) or the module may leave while a sequence runs. The sequence
// then stops at once: nothing more is sent and the link the window let go of is never
// touched again. A module that came back meanwhile is another connection: it gets none
// of the rest. A module that stays on the bus but stops answering (its busy bit never
// clears, no report comes) stops the sequence as well, after the link's no-answer limit,
// which holds for every send made while a sequence runs. Every routine that writes a
// series of settings runs through this, so that rule lives here only.
#include "link/VEQ2_SDK.h"

#include <functional>

class TForm1;

class TSendSequence {
public:
    explicit TSendSequence(TForm1& Form);

    // Runs Steps. True when they ran to their end; false when the sequence stopped because
    // the window let go of its link, the module left or it stopped answering. Any other
    // fault is not caught here.
    bool Run(const std::function<void()>& Steps);

    // True while the window holds its link, the module it started with is connected and
    // that module has answered every packet of the sequence.
    bool Going() const;

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
    TForm1& form_;
    unsigned connection_;
    QPointer<TVEQ2> link_;
    unsigned noAnswer_;
    // Every send while the sequence runs gives up on a module that stopped answering.
    TVEQ2::TAnswerLimit answerLimit_;
};
