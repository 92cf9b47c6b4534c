#include "app/controlbar/BarState.h"

#include <climits>
#include <cmath>

#include "link/LinkState.h"
#include "link/output/BandCounters.h"
#include "model/MachineParams.h"
#include "model/Settings.h"

BarInputs ReadBarInputs()
{
    BarInputs in;
    in.status = MachineStatus.load();
    in.linkConnected = LinkConnected.load();
    in.bandsStepped = BandsStepped.load();
    in.bandCount = BandCount.load();
    in.headPosition = HeadPosition.load();
    const MachineParams p = SnapshotMachineParams();
    in.pulsesPerMmY = p.pulsesPerMmY;
    in.headSelect = p.headSelect;
    in.language = theSettings.Get(Slot::Language);
    in.autoOffline = theSettings.Get(Slot::AutoOffline);
    return in;
}

int ProgressPermille(int32_t bandsStepped, int32_t bandCount)
{
    if (bandCount <= 0) return 0;
    const double p = std::trunc(double(bandsStepped) * 1000.0 / double(bandCount));
    if (!(p > 0)) return 0;
    return p > 1000 ? 1000 : int(p);
}

QString HeadPositionText(int32_t headPosition, double pulsesPerMmY)
{
    if (pulsesPerMmY == 0 || !std::isfinite(pulsesPerMmY)) return QStringLiteral("--");
    const double mm = double(headPosition) / pulsesPerMmY;
    if (!std::isfinite(mm)) return QStringLiteral("--");
    // QString::number formats in the C locale whatever the user's locale is.
    return QString::number(mm, 'f', 2);
}

namespace {

QString Percent(int permille) { return QString::number(permille / 10.0, 'f', 1); }

}  // namespace

QString MachineStateText(const BarInputs& in)
{
    const bool zh = in.language == 0;
    const uint8_t s = MachineStateOf(in.status);
    switch (s) {
    case MachineState::Offline:
        return zh ? QStringLiteral("脱机...") : QStringLiteral("Offline");
    case MachineState::Ready: {
        const QString pos = HeadPositionText(in.headPosition, in.pulsesPerMmY);
        return zh ? QStringLiteral("准备就绪  位置%1mm").arg(pos) : QStringLiteral("Ready  Pos:%1mm").arg(pos);
    }
    case MachineState::PlotTest:
        return zh ? QStringLiteral("清洗喷头...") : QStringLiteral("Plot Test...");
    case MachineState::Plotting:
    case MachineState::Paused: {
        // No bands counted: the machine runs a job this program did not start
        // (or the job ended under it).
        if (in.bandCount <= 0)
            return zh ? QStringLiteral("打印中断或其他电脑正在联机打印\n")
                      : QStringLiteral("Print abort or other PC printing\n");
        const QString pct = Percent(ProgressPermille(in.bandsStepped, in.bandCount));
        if (s == MachineState::Plotting)
            return zh ? QStringLiteral("工作中...完成%1%\n").arg(pct) : QStringLiteral("Plotting...%1%\n").arg(pct);
        return zh ? QStringLiteral("暂停...完成%1%").arg(pct) : QStringLiteral("Paused...%1%").arg(pct);
    }
    case MachineState::MemError:
        return zh ? QStringLiteral("内存错误...") : QStringLiteral("MEM ERROR...");
    case MachineState::SeekZero:
        return zh ? QStringLiteral("正在寻找原点...") : QStringLiteral("Seek ZP......");
    default:
        return QStringLiteral("Disconnected...");
    }
}

BarEnables EnableRules(const BarInputs& in)
{
    const uint8_t s = MachineStateOf(in.status);
    const bool link = in.linkConnected != 0;
    const bool ready = s == MachineState::Ready;
    const bool paused = s == MachineState::Paused;
    BarEnables e;
    e.jog = ready || paused;  // the link flag is not consulted
    e.ready = link && ready;
    e.deleteTask = link && paused;
    e.pause = s == MachineState::Plotting;
    e.start = in.autoOffline != 0 || (link && (ready || paused));
    return e;
}

BarView ComputeBarView(const BarInputs& in)
{
    BarView v;
    v.stateText = MachineStateText(in);
    if (MachineStateOf(in.status) == MachineState::Plotting) {
        const bool zh = in.language == 0;
        if (in.headSelect != 0)
            v.warning = zh ? QStringLiteral("警告：只有一个墨盒被选中") : QStringLiteral("Note:Only one ink box in use!");
        else
            v.warning = QString();
        v.yellow = in.headSelect != 0;
    }
    v.enables = EnableRules(in);
    return v;
}

QStringList StateTextSamples()
{
    QStringList out;
    for (int32_t language : {0, 1}) {
        for (int s = 0; s < 16; ++s) {
            for (int32_t count : {0, 1}) {
                BarInputs in;
                in.status = static_cast<uint8_t>(s);
                in.language = language;
                in.bandCount = count;
                in.bandsStepped = count;  // 100.0 %
                // The carriage as far out as a reply can put it, at a gear
                // ratio of 1 pulse per mm (the dialogs take 20 and more).
                in.headPosition = INT_MIN;
                in.pulsesPerMmY = 1;
                const QString t = MachineStateText(in);
                if (!out.contains(t)) out << t;
            }
        }
    }
    return out;
}

QStringList WarningTextSamples()
{
    QStringList out;
    for (int32_t language : {0, 1}) {
        BarInputs in;
        in.status = MachineState::Plotting;
        in.headSelect = 1;
        in.language = language;
        out << ComputeBarView(in).warning.value_or(QString());
    }
    return out;
}
