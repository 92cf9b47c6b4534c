#pragma once
// The values the band engine and the knife planner work with, copied once
// when a job starts, so a dialog edit or a parameter read in the middle of a
// job cannot change one band and not the next.
#include <cstdint>

#include "model/MachineParams.h"

struct JobSnapshot {
    MachineParams params{};
    int32_t lineWidth = 2;       // LineWidth slot: pen width in band pixels
    int32_t plotCutLine = 0;     // PlotCutLine slot: 0 Plot curves, 1 every curve, else none
    int32_t cleanAtSection = 0;  // CleanAtSection slot: stripes at each cut segment
    int32_t biDirPlot = 0;       // BiDirPlot slot: odd bands print backwards
    int32_t inkBox2Left = 0;     // InkBox2Left: head 2 sits on the left
    int32_t cutEndExtension = 0; // CutSEOftHpgl: cut ends lengthened, tenths of a mm as plot units
};

// Copies the live parameter block and settings.
JobSnapshot TakeJobSnapshot();
