#pragma once
// What a click on a control-bar button does, decided at the click from the
// machine state of that moment (the enabling may be a tick old).
#include <cstdint>
#include <optional>
#include <vector>

// The code a click queues, or none where the button does not act. For the
// toggles (206, 207) `checked` is the check state the click has just set.
// Start (301) is not decided here (see DecideStart).
std::optional<uint8_t> ClickCode(int controlId, uint8_t status, bool checked);

struct StartDecision {
    enum Kind { Nothing, MakeAuto, Resume } kind = Nothing;
    int jobIndex = -1;  // MakeAuto: the job to turn Auto
};

// The start button: with no job running, the first Manual job becomes Auto
// unless some job is Auto already; while a job runs and is paused, resume.
StartDecision DecideStart(bool jobRunning, uint8_t status, const std::vector<int32_t>& jobStates);
