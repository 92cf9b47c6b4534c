#pragma once
// One step of the knife path, in machine pulses. The band clipping of the cut
// curves appends them to the path of a knife pass (owned by the job's sender);
// the knife planner fills in the rest.
#include <cstdint>

struct KnifePoint {
    int32_t x = 0;   // feed pulses
    int32_t y = 0;   // carriage pulses
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t len = 0;       // max(|dx|, |dy|)
    double direction = 0;  // atan2(dy, dx)
    double turn = 0;       // (-pi, pi]
    double sharpness = 0;
    int32_t exitSpeed = 0;
    int32_t speed = 0;
    int16_t command = 0;  // 'M' move, 'C' cut, 'T' short cut
};

namespace KnifeCommand {
enum : int16_t { Move = 'M', Cut = 'C', ShortCut = 'T' };
}
