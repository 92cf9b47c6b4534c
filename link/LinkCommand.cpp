#include "link/LinkCommand.h"

#include <array>

namespace {
using K = CommandKind;
constexpr std::array<CommandInfo, 19> kTable{{
    {LinkCommand::JogStop, K::Short, 0, 1, "jog stop"},
    {LinkCommand::JogUp, K::Short, 0, 1, "jog 1"},
    {LinkCommand::JogDown, K::Short, 0, 1, "jog 2"},
    {LinkCommand::JogLeft, K::Short, 0, 1, "jog 3"},
    {LinkCommand::JogRight, K::Short, 0, 1, "jog 4"},
    {LinkCommand::FanOn, K::Short, 0, 1, "fan on"},
    {LinkCommand::FanOff, K::Short, 0, 1, "fan off"},
    {LinkCommand::Clean, K::Short, 0, 1, "clean"},
    {LinkCommand::KnifeOn, K::Short, 0, 1, "knife on"},
    {LinkCommand::KnifeOff, K::Short, 0, 1, "knife off"},
    {LinkCommand::JobFinished, K::Short, 0, 1, "job finished"},
    {LinkCommand::JobAbort, K::Short, 0, 1, "job abort"},
    {LinkCommand::Resume, K::Short, 0, 1, "resume"},
    {LinkCommand::Pause, K::Short, 0, 1, "pause"},
    {LinkCommand::JobStart, K::Command, 8, 1, "job start"},
    {LinkCommand::BandHeader, K::Command, 6, 1, "band header"},
    {LinkCommand::KnifeHeader, K::Command, 4, 1, "knife header"},
    {LinkCommand::ReadHeadPosition, K::Command, 1, 4, "head position"},
    {LinkCommand::ReadParams, K::Command, 1, kParamsWireBytes, "read params"},
}};
constexpr CommandInfo kWriteParams{LinkCommand::WriteParams, K::Command, kParamsWireBytes, 1,
                                   "write params"};
constexpr CommandInfo kStatusPoll{LinkCommand::StatusPoll, K::Short, 0, 1, "status"};
}  // namespace

const CommandInfo* FindCommand(uint8_t code)
{
    for (const CommandInfo& c : kTable)
        if (c.code == code) return &c;
    if (code == kWriteParams.code) return &kWriteParams;
    if (code == kStatusPoll.code) return &kStatusPoll;
    return nullptr;
}
