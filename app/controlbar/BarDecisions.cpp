#include "app/controlbar/BarDecisions.h"

#include "app/controlbar/BarControls.h"
#include "link/LinkCommand.h"
#include "link/LinkState.h"
#include "model/Page.h"

std::optional<uint8_t> ClickCode(int controlId, uint8_t status, bool checked)
{
    const uint8_t s = MachineStateOf(status);
    switch (controlId) {
    case BarControl::Knife:
        if (s != MachineState::Ready) return std::nullopt;
        return checked ? LinkCommand::KnifeOn : LinkCommand::KnifeOff;
    case BarControl::Fan:
        if (s != MachineState::Ready) return std::nullopt;
        return checked ? LinkCommand::FanOn : LinkCommand::FanOff;
    case BarControl::Clean:
        if (s != MachineState::Ready) return std::nullopt;
        return LinkCommand::Clean;
    case BarControl::Delete:
        if (s != MachineState::Paused) return std::nullopt;
        return LinkCommand::JobAbort;
    case BarControl::Pause:
        if (s != MachineState::Plotting) return std::nullopt;
        return LinkCommand::Pause;
    default:
        return std::nullopt;
    }
}

StartDecision DecideStart(bool jobRunning, uint8_t status, const std::vector<int32_t>& jobStates)
{
    StartDecision d;
    if (jobRunning) {
        if (MachineStateOf(status) == MachineState::Paused) d.kind = StartDecision::Resume;
        return d;
    }
    for (int32_t st : jobStates)
        if (st == JobState::Auto) return d;
    for (size_t i = 0; i < jobStates.size(); ++i) {
        if (jobStates[i] == JobState::Manual) {
            d.kind = StartDecision::MakeAuto;
            d.jobIndex = int(i);
            return d;
        }
    }
    return d;
}
