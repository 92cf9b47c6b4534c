#pragma once
// The ways the simulated machine can be told to misbehave (--fault NAME[=VALUE]).
#include <string>

struct SimFaults {
    int lateMs = 0;               // late=MS: every reply waits this long
    bool shortReply = false;      // short-reply: the last byte of each reply is missing
    bool splitReply = false;      // split-reply: replies go in pieces a few ms apart
    bool closeMidExchange = false;  // close-mid-exchange: half a reply, then the connection closes
    bool refuse = false;          // refuse: every connection is reset at once
    int answerOneAfter = -1;      // answer-one-after=N: the chunk after N chunks is answered 1
    int dropAfterBands = -1;      // drop-after-bands=N (band faults: next step)
    int silentAfterBands = -1;    // silent-after-bands=N (band faults: next step)
    bool memError = false;        // mem-error: the status is MemError
    // hold-after-bands=N: once N bands have come, the machine answers busy
    // (the job's state with 0x10 set) until the job ends or the fault is
    // lifted; the host keeps polling and serving pause and cancel meanwhile.
    int holdAfterBands = -1;
};

// Applies one NAME[=VALUE]; false for an unknown name or a bad value.
bool ApplyFault(const std::string& text, SimFaults& faults);
