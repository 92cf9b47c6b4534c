#pragma once
// Press and hold on the control bar: a press of a jog button queues its jog
// code; the end of a hold queues one jog stop (0), however it ends (release,
// the button disabled or hidden, a modal box, the window losing activation),
// so the carriage never keeps running and never gets two stops for one hold.
#include <cstdint>
#include <functional>
#include <set>

class CJogHold {
public:
    // Queues a code; returns 0 or -1 (queue full). The program's is KeyQueuePush.
    using Push = std::function<int(uint8_t)>;
    explicit CJogHold(Push push);

    // The jog code a press of this control queues, or -1 for none.
    static int JogCodeOf(int controlId);

    // The button's hold notification: pressed 1 on press, 0 on release.
    void Hold(int controlId, int pressed);
    // Every hold still open ends now, with one stop for all of them.
    void EndAll();
    bool Holding() const { return !m_held.empty(); }

private:
    Push m_push;
    // Buttons pressed and not yet released. UI thread only.
    std::set<int> m_held;
};
