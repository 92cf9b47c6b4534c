#include "tools/machine-sim/SimFrameTable.h"

#include <array>

namespace {
// Payloads: 16 job length and band columns (2 x int32); 17 band index
// (int32), bidirectional flag, 1; 18 knife record count (int32); 19 and 26
// the reply length asked (one byte); 27 the parameter block.
constexpr std::array<SimFrameKind, 21> kFrames{{
    {SimCode::JogStop, 0, 1, "jog stop"},
    {SimCode::JogUp, 0, 1, "jog 1"},
    {SimCode::JogDown, 0, 1, "jog 2"},
    {SimCode::JogLeft, 0, 1, "jog 3"},
    {SimCode::JogRight, 0, 1, "jog 4"},
    {SimCode::FanOn, 0, 1, "fan on"},
    {SimCode::FanOff, 0, 1, "fan off"},
    {SimCode::Clean, 0, 1, "clean"},
    {SimCode::KnifeOn, 0, 1, "knife on"},
    {SimCode::KnifeOff, 0, 1, "knife off"},
    {SimCode::JobFinished, 0, 1, "job finished"},
    {SimCode::JobAbort, 0, 1, "job abort"},
    {SimCode::Resume, 0, 1, "resume"},
    {SimCode::Pause, 0, 1, "pause"},
    {SimCode::JobStart, 4 + 4, 1, "job start"},
    {SimCode::BandHeader, 4 + 1 + 1, 1, "band header"},
    {SimCode::KnifeHeader, 4, 1, "knife header"},
    {SimCode::ReadHeadPosition, 1, 4, "head position"},
    {SimCode::ReadParams, 1, kSimParamsBytes, "read params"},
    {SimCode::WriteParams, kSimParamsBytes, 1, "write params"},
    {SimCode::StatusPoll, 0, 1, "status"},
}};
}  // namespace

const SimFrameKind* FindSimFrame(uint8_t code)
{
    for (const SimFrameKind& f : kFrames)
        if (f.code == code) return &f;
    return nullptr;
}
