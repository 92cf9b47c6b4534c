#pragma once
// What the sending thread reports while a job runs. The main frame implements
// it as blocking calls onto the UI thread (band sent, job finished, message
// boxes); tests and tools record the calls. Every call comes from the sending
// thread, one at a time, and waits until it returns.
#include <cstdint>
#include <string>

class CJobObserver {
public:
    virtual ~CJobObserver() = default;
    // After every ink step: band j, SendInkBand's result (0 sent or nothing to
    // send, -1 failed: the band goes again) and the packed bytes sent.
    virtual void BandSent(int32_t /*band*/, int /*result*/, int32_t /*bytes*/) {}
    // After every cut pass tried: pass i, knife records (0: nothing to cut)
    // and SendCutPass's result (0, or -1: the job is aborted).
    virtual void CutPassSent(int32_t /*pass*/, int32_t /*records*/, int /*result*/) {}
    // The last step of a job is done and the machine ready: the copy is
    // made, and the end command comes next (after JobLink::waitDurable), so
    // whoever keeps the list counts the copy now. Not called for a job that
    // fails or is cancelled before it.
    virtual void LastStepSent() {}
    // A message box for the operator: a stable key and the text in the
    // language chosen.
    virtual void Message(const char* /*key*/, const std::u16string& /*text*/) {}
    // The last call: 1 finished, 2 failed, refused or cancelled.
    virtual void JobFinished(int /*result*/) {}
};
