#include "link/job/JobPlan.h"

#include "link/job/KnifePass.h"
#include "link/output/BandCounters.h"
#include "link/output/JobCheck.h"
#include "model/Numeric.h"
#include "model/Page.h"
#include "model/Settings.h"

JobPrepSettings TakeJobPrepSettings()
{
    JobPrepSettings s;
    s.plotOnly = theSettings.Get(Slot::PlotOnly);
    s.cleanAtStart = theSettings.Get(Slot::CleanAtStart);
    s.cleanThickness = theSettings.Get(Slot::CleanThickness);
    s.language = theSettings.Get(Slot::Language);
    return s;
}

int32_t PlotWidthMm(int32_t maxY, const MachineParams& p)
{
    // The head offset term is an integer product, as the machine's firmware counts it.
    const int64_t headTerm = (int64_t{p.head2Position} + 12) * p.inkIntervalPulses;
    return TruncToInt(static_cast<double>(headTerm) / p.pulsesPerMmY + maxY / 40.0 + 2.0 * p.inkAccelMm +
                      p.startPointMm);
}

int32_t JobLengthPulses(int32_t maxX, const MachineParams& p)
{
    return TruncToInt(maxX / 40.0 * p.pulsesPerMmX);
}

JobPlan PrepareWorkPage(const COnePage& job, COnePage& work, const JobSnapshot& snap, const JobPrepSettings& set)
{
    JobPlan plan;
    plan.snap = snap;
    plan.language = set.language;
    const MachineParams& p = snap.params;

    work.DeleteAllCurves();
    work.CopyPageFrom(job);
    // Nothing below may divide by these: refuse first, with the page copied as it is.
    if (const char* bad = CheckJobParams(snap)) {
        plan.refusal = bad;
        BandCount = 0;
        InkBandCount = 0;
        return plan;
    }
    work.ScaleAll(10000.0 / p.outputPerMeterX, 10000.0 / p.outputPerMeterY);
    if (set.plotOnly != 0) work.SetAllToPlot();
    if (set.cleanAtStart != 0) work.AddCleaningStripes(set.cleanThickness);
    if (snap.cleanAtSection != 0) work.ShiftUp(400);
    work.ExtendCutEnds(snap.cutEndExtension);
    work.CompensateCutCorners(p.angleComp);
    if (p.cutMode == 1 && !work.SplitLongCuts(int32_t{p.fullKnifeLengthMm} * 40,
                                              (int32_t{p.halfKnifeLengthX} + p.halfKnifeLengthY) * 4 / 2)) {
        plan.refusal = "TooManyPoints";
        BandCount = 0;
        InkBandCount = 0;
        return plan;
    }
    work.CalcPageBounds();
    work.CalcInkExtents();
    work.CalcCutExtents();
    work.ApplyStartPosition();
    work.ClassifyShortCuts();

    // The plan keeps the counts made here; the globals only publish them to
    // the views (and keep the last columns when nothing was counted).
    const BandCountResult all = CountBandsOf(work.m_maxX, work.m_maxY, snap);
    const BandCountResult ink = snap.plotCutLine == 1 ? all : CountBandsOf(work.m_inkMaxX, work.m_inkMaxY, snap);
    plan.bandCount = all.bands;
    plan.inkBandCount = ink.bands;
    plan.bandColumns = ink.counted ? ink.columns : all.counted ? all.columns : 0;
    if (all.counted || ink.counted) BandColumns = plan.bandColumns;
    BandCount = plan.bandCount;
    InkBandCount = plan.inkBandCount;
    BandsStepped = 0;

    if (PlotWidthMm(work.m_maxY, p) > p.machineLengthMm || !BandBuffersFit(plan.bandColumns, p))
        plan.refusal = "WidthExceeded";
    // Refused now, not at that pass with the ink before it printed.
    else if (FirstOversizedCutPass(plan.bandCount, work, snap) >= 0)
        plan.refusal = "KnifePassTooLong";
    return plan;
}
