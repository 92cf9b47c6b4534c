#include "app/dialogs/ParaForm.h"

#include <cmath>

#include "app/dialogs/ParaRules.h"
#include "model/Settings.h"

namespace {
// Truncation toward zero, then the target's width (its low bits).
uint8_t Byte(double v)
{
    return static_cast<uint8_t>(static_cast<int64_t>(std::trunc(v)));
}
uint16_t Word(double v)
{
    return static_cast<uint16_t>(static_cast<int64_t>(std::trunc(v)));
}
int32_t Tenths(double v)
{
    return static_cast<int32_t>(std::trunc(v * 10));
}

FieldBinding Setting(FieldSpec spec, int slot)
{
    return {spec, false, [slot](const MachineParams&) { return double(theSettings.Get(slot)); },
            [slot](double v, MachineParams&) { theSettings.Set(slot, static_cast<int32_t>(v)); }};
}

// A settings check or edit that the Part disables offline anyway.
FieldBinding MachineSetting(FieldSpec spec, int slot)
{
    FieldBinding b = Setting(spec, slot);
    b.machine = true;
    return b;
}

#define BYTE_FIELD(spec, field)                                              \
    FieldBinding{spec, true, [](const MachineParams& p) { return double(p.field); }, \
                 [](double v, MachineParams& p) { p.field = Byte(v); }}
#define WORD_FIELD(spec, field)                                              \
    FieldBinding{spec, true, [](const MachineParams& p) { return double(p.field); }, \
                 [](double v, MachineParams& p) { p.field = Word(v); }}
#define BYTE_TENTHS(spec, field)                                                   \
    FieldBinding{spec, true, [](const MachineParams& p) { return p.field * 0.1; }, \
                 [](double v, MachineParams& p) { p.field = static_cast<uint8_t>(Tenths(v)); }}
#define WORD_TENTHS(spec, field)                                                   \
    FieldBinding{spec, true, [](const MachineParams& p) { return p.field * 0.1; }, \
                 [](double v, MachineParams& p) { p.field = static_cast<uint16_t>(Tenths(v)); }}
}  // namespace

const FieldBinding* CFieldForm::Find(int id) const
{
    for (const auto& b : m_bindings)
        if (b.spec.id == id) return &b;
    return nullptr;
}

void CFieldForm::Load(const MachineParams& p)
{
    for (const auto& b : m_bindings) m_values[b.spec.id] = b.load ? b.load(p) : 0.0;
}

double CFieldForm::Value(int id) const
{
    const auto it = m_values.find(id);
    return it == m_values.end() ? 0.0 : it->second;
}

QString CFieldForm::Text(int id) const
{
    const FieldBinding* b = Find(id);
    return b ? CDataExchange::Format(b->spec.kind, Value(id)) : QString();
}

ExchangeFailure CFieldForm::Exchange(const std::map<int, QString>& texts, const std::map<int, bool>& checks,
                                     const std::set<int>& enabled, int language)
{
    std::map<int, double> taken = m_values;
    for (const auto& b : m_bindings) {
        const int id = b.spec.id;
        if (!enabled.count(id)) continue;
        if (b.spec.kind == FieldKind::Check) {
            const auto it = checks.find(id);
            if (it != checks.end()) taken[id] = it->second ? 1 : 0;
            continue;
        }
        const auto it = texts.find(id);
        const ExchangeResult r = CDataExchange::Check(b.spec, it == texts.end() ? QString() : it->second, language);
        if (!r.ok) return {id, r.message};
        taken[id] = r.value;
    }
    m_values = std::move(taken);
    return {};
}

void CFieldForm::Store(MachineParams& p, const std::set<int>& enabled) const
{
    for (const auto& b : m_bindings)
        if (enabled.count(b.spec.id) && b.store) b.store(Value(b.spec.id), p);
}

std::vector<FieldBinding> ParaBindings()
{
    using namespace ParaIds;
    using K = FieldKind;
    auto check = [](int id) { return FieldSpec{id, K::Check}; };
    auto head = [](int id, bool first) {
        return FieldBinding{FieldSpec{id, K::Check}, true,
                            [first](const MachineParams& p) {
                                const HeadBoxes h = HeadBoxesFromSelect(p.headSelect);
                                return (first ? h.head1 : h.head2) ? 1.0 : 0.0;
                            },
                            nullptr};
    };
    return {
        MachineSetting(check(PlotOnly), Slot::PlotOnly),
        MachineSetting(check(PlotCutLine), Slot::PlotCutLine),
        head(Head1, true),
        head(Head2, false),
        MachineSetting(check(CleanAtStart), Slot::CleanAtStart),
        MachineSetting(check(CleanAtSection), Slot::CleanAtSection),
        MachineSetting({CleanThickness, K::UInt, 1, 5}, Slot::CleanThickness),
        MachineSetting({LineWidth, K::Int, 1, 5}, Slot::LineWidth),
        BYTE_FIELD((FieldSpec{Head2Position, K::Int, 100, 250}), head2Position),
        BYTE_FIELD((FieldSpec{BidirCorrection, K::Int, 0, 10}), bidirCorrection),
        BYTE_FIELD((FieldSpec{HeadOverlapRows, K::UInt, 0, 10}), headOverlapRows),
        BYTE_FIELD((FieldSpec{FeedSpeed, K::UInt, 1, 3}), feedSpeed),
        BYTE_FIELD((FieldSpec{CutMode, K::UInt, 0, 1}), cutMode),
        BYTE_FIELD((FieldSpec{CutSpeed, K::UInt, 1, 5}), cutSpeed),
        BYTE_FIELD((FieldSpec{FullKnifePressure, K::UInt, 10, 100}), fullKnifePressure),
        BYTE_FIELD((FieldSpec{HalfKnifePressure, K::UInt, 1, 90}), halfKnifePressure),
        BYTE_FIELD((FieldSpec{FullKnifeLength, K::Double, 20, 100}), fullKnifeLengthMm),
        BYTE_TENTHS((FieldSpec{HalfKnifeLengthX, K::Double, 0.1, 3}), halfKnifeLengthX),
        BYTE_TENTHS((FieldSpec{HalfKnifeLengthY, K::Double, 0.1, 3}), halfKnifeLengthY),
        WORD_FIELD((FieldSpec{PaperCutStart, K::UInt, 0, 4000}), paperCutStartMm),
        WORD_FIELD((FieldSpec{PaperCutEnd, K::UInt, 0, 4000}), paperCutEndMm),
        WORD_TENTHS((FieldSpec{OutputPerMeterX, K::Double, 100, 5000}), outputPerMeterX),
        // Tenths of a millimetre in 16 bits: 6553.5 is the most the machine can hold.
        WORD_TENTHS((FieldSpec{OutputPerMeterY, K::Double, 100, 6553.5}), outputPerMeterY),
        WORD_FIELD((FieldSpec{PreFeed, K::UInt, 0, 600}), preFeedMm),
        Setting({PaperLen, K::UInt, 600, 4000}, Slot::PaperLenMm),
        Setting(check(SearchOutline), Slot::SearchOutline),
        Setting(check(AutoAddToList), Slot::AutoAddToList),
        Setting(check(AutoStart), Slot::AutoStart),
        WORD_FIELD((FieldSpec{MachineLength, K::Double, 500, 4000}), machineLengthMm),
        WORD_FIELD((FieldSpec{StartPoint, K::Double, 0, 1000}), startPointMm),
        FieldBinding{FieldSpec{CutSEOft, K::Double, 0, 2}, false,
                     [](const MachineParams&) { return theSettings.Get(Slot::CutSEOftHpgl) / 10.0; },
                     [](double v, MachineParams&) { theSettings.Set(Slot::CutSEOftHpgl, Tenths(v)); }},
        // A DXF unit of 0 would flatten every drawing to a point.
        Setting({DxfUnit, K::Int, 1, 2000}, Slot::DxfUnit),
        Setting(check(AutoRotate), Slot::AutoRotate),
        Setting(check(AutoDelFinish), Slot::AutoDelFinish),
    };
}

const std::vector<int>& ParaOfflineIds()
{
    static const std::vector<int> ids = [] {
        std::vector<int> out;
        for (const auto& b : ParaBindings())
            if (b.machine) out.push_back(b.spec.id);
        return out;
    }();
    return ids;
}

void CParaForm::Store(MachineParams& p, const std::set<int>& enabled) const
{
    CFieldForm::Store(p, enabled);
    if (enabled.count(ParaIds::Head1) && enabled.count(ParaIds::Head2))
        p.headSelect = HeadSelectFromBoxes({Value(ParaIds::Head1) != 0, Value(ParaIds::Head2) != 0});
}

void CParaForm::HeadClicked(int id)
{
    const HeadBoxes now{Value(ParaIds::Head1) != 0, Value(ParaIds::Head2) != 0};
    const HeadBoxes next = HeadBoxClicked(now, id == ParaIds::Head1 ? 1 : 2);
    SetValue(ParaIds::Head1, next.head1 ? 1 : 0);
    SetValue(ParaIds::Head2, next.head2 ? 1 : 0);
}

std::vector<FieldBinding> ProtectBindings()
{
    using namespace ProtectIds;
    using K = FieldKind;
    auto pulses = [](int id, double MachineParams::*field) {
        return FieldBinding{FieldSpec{id, K::Double, 20, 100}, true,
                            [field](const MachineParams& p) { return p.*field; },
                            [field](double v, MachineParams& p) { p.*field = v; }};
    };
    auto global = [](FieldSpec spec, std::atomic<int32_t>* target) {
        return FieldBinding{spec, false, [target](const MachineParams&) { return double(target->load()); },
                            [target](double v, MachineParams&) { target->store(static_cast<int32_t>(v)); }};
    };
    return {
        pulses(PulsesX, &MachineParams::pulsesPerMmX),
        pulses(PulsesY, &MachineParams::pulsesPerMmY),
        BYTE_TENTHS((FieldSpec{InkCutOverlapX, K::Double, 0, 10}), inkCutOverlapX),
        BYTE_TENTHS((FieldSpec{InkCutOverlapY, K::Double, 0, 10}), inkCutOverlapY),
        BYTE_TENTHS((FieldSpec{AngleComp, K::Double, 0, 2}), angleComp),
        BYTE_FIELD((FieldSpec{InkAccel, K::UInt, 30, 100}), inkAccelMm),
        BYTE_FIELD((FieldSpec{InkInterval, K::UInt, 2, 30}), inkIntervalPulses),
        BYTE_FIELD((FieldSpec{Head1Gap, K::UInt, 20, 30}), head1ColumnGap),
        BYTE_FIELD((FieldSpec{Head2Gap, K::UInt, 20, 30}), head2ColumnGap),
        Setting(FieldSpec{BiDirPlot, K::Check}, Slot::BiDirPlot),
        BYTE_FIELD((FieldSpec{BandsPerCut, K::UInt, 6, 30}), bandsPerCutSegment),
        BYTE_FIELD((FieldSpec{BoardVersion, K::UInt, 0, 2}), boardVersion),
        global(FieldSpec{ProtectIds::InkBox2Left, K::UInt, 0, 1}, &::InkBox2Left),
    };
}

std::map<int, double> ProtectDefaults()
{
    using namespace ProtectIds;
    return {{BiDirPlot, 1},       {Head1Gap, 25},       {Head2Gap, 25},      {InkAccel, 60},
            {InkInterval, 7},     {BoardVersion, 2},    {ProtectIds::InkBox2Left, 0},    {InkCutOverlapX, 5.0},
            {InkCutOverlapY, 5.0}, {BandsPerCut, 8},    {AngleComp, 0.5},    {PulsesX, 60.5},
            {PulsesY, 41.36}};
}

bool IsAccessCode(const QString& typed)
{
    const QString up = typed.toUpper();
    return up == QLatin1String("WZQD") || up == QLatin1String("QK");
}
