#pragma once
// The order of the UI poll: the last task once, then a 1.6 s cycle of the two
// data directories and, every fourth cycle while AutoDelFinish is on, the
// deletion of Done jobs. The frame runs each step on a single-shot timer and
// arms the next with the step's pause once the handler has returned.
namespace PollStep {
enum : int { None = 0, LoadLastTask, ScanMm, ScanMil, DeleteDone };
}

struct PollAction {
    int step = PollStep::None;  // what to run now (None: only wait)
    int pauseMs = 0;            // before the next call
};

class CPollCycle {
public:
    // lastTaskExists is asked only on the first call; autoDelFinish on the
    // third step of every cycle.
    PollAction Next(bool lastTaskExists, bool autoDelFinish);

    static constexpr int kScanPauseMs = 400;
    static constexpr int kCycleEndPauseMs = 800;

private:
    enum class Phase { First, Mm, Mil, Delete };
    Phase m_phase = Phase::First;
    int m_deleteRounds = 0;  // keeps its value while AutoDelFinish is off
};
