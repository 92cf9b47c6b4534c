#pragma once
// The mid-job link faults: after N bands of a job the machine goes away
// (every connection reset) or goes silent (it reads but never answers). It
// drops the job itself, so once the fault is cleared it is Ready again.
#include "tools/machine-sim/SimFaults.h"
#include "tools/machine-sim/SimMachine.h"

enum class SimLinkLoss { None, Drop, Silent };

// Checked after each unit: the loss that starts now, if any (the job is then
// marked lost and the machine Ready).
SimLinkLoss TakeLinkLoss(CSimMachine& machine, const SimFaults& faults);
