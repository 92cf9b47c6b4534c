#include "link/output/JobSnapshot.h"

#include "model/Settings.h"

JobSnapshot TakeJobSnapshot()
{
    JobSnapshot s;
    s.params = SnapshotMachineParams();
    s.lineWidth = theSettings.Get(Slot::LineWidth);
    s.plotCutLine = theSettings.Get(Slot::PlotCutLine);
    s.cleanAtSection = theSettings.Get(Slot::CleanAtSection);
    s.biDirPlot = theSettings.Get(Slot::BiDirPlot);
    s.inkBox2Left = InkBox2Left.load(std::memory_order_relaxed);
    s.cutEndExtension = theSettings.Get(Slot::CutSEOftHpgl);
    return s;
}
