#include "tools/machine-sim/SimLinkLoss.h"

#include "link/LinkState.h"

SimLinkLoss TakeLinkLoss(CSimMachine& m, const SimFaults& f)
{
    if (!m.InJob()) return SimLinkLoss::None;
    const auto bands = static_cast<int64_t>(m.job.bands.size());
    SimLinkLoss loss = SimLinkLoss::None;
    if (f.dropAfterBands >= 0 && bands >= f.dropAfterBands) loss = SimLinkLoss::Drop;
    else if (f.silentAfterBands >= 0 && bands >= f.silentAfterBands) loss = SimLinkLoss::Silent;
    if (loss != SimLinkLoss::None) {
        m.job.lost = true;
        m.state = MachineState::Ready;
    }
    return loss;
}
