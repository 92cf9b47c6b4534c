#pragma once
// The knife path of one cut segment: cleaning the clipped points, turn
// angles, step lengths and the speed of every step. Pure functions over a
// point list; the pass functions run them on the global knife path.
#include <cstdint>
#include <vector>

#include "link/output/JobSnapshot.h"
#include "model/KnifePoint.h"

// Feed-axis start of cut segment `segment` in feed pulses.
int32_t BandStart(int32_t segment, const MachineParams& p);

// Of consecutive moves only the last stays.
void DropDoubleMoves(std::vector<KnifePoint>& pts);
// dx, dy, direction and turn (in (-pi, pi]) of every step; the first point
// has none.
void ComputeDirections(std::vector<KnifePoint>& pts);
// len = max(|dx|, |dy|).
void ComputeStepLengths(std::vector<KnifePoint>& pts);
// Runs of four cuts whose last three steps are each below 30 pulses lose
// their third point, the fourth then stepping from the second. Lists of
// fewer than 6 points are left alone.
void MergeShortCuts(std::vector<KnifePoint>& pts);
// Turn per millimetre of step, in degrees.
void ComputeSharpness(std::vector<KnifePoint>& pts, double pulsesPerMmY);
// Speed cap of the cutSpeed class: 1 600, 2 1000, 3 1500, else 2000.
int32_t KnifeSpeedCap(uint8_t cutSpeed);
// Speeds and exit speeds, backwards from the last point (which stops).
void PlanKnifeSpeeds(std::vector<KnifePoint>& pts, uint8_t cutSpeed);
void ShiftKnifePath(std::vector<KnifePoint>& pts, int32_t dx, int32_t dy);

// Everything after the clipping: cleaning, directions, lengths, merging,
// sharpness, speeds and the InkBox2Left shift. Returns the point count.
int32_t PlanKnifePath(std::vector<KnifePoint>& pts, const JobSnapshot& s);
