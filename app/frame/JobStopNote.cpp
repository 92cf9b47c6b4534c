#include "app/frame/JobStopNote.h"

#include <QFileInfo>

#include "app/jobs/JobEnd.h"
#include "app/text/CodeText.h"
#include "link/LinkState.h"
#include "link/job/JobMessages.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

QString Reason(const JobEndFacts& f)
{
    if (!f.messageKey.empty()) {
        // Said again in the language of now: the thread's text is in the language of the job's start.
        const std::u16string known = JobMessageText(f.messageKey.c_str(), theSettings.Get(Slot::Language));
        const bool hasText = known != FromUtf8(f.messageKey);
        return QString::fromStdU16String(hasText ? known : f.messageText);
    }
    if (f.cutPassFailed) return CodeText("切割数据未能发送", "a knife pass could not be sent");
    switch (MachineStateOf(f.machineStatus)) {
    // Still plotting as last heard, or the link thread has seen it gone: the polls went unanswered.
    case MachineState::Plotting:
    case MachineState::Paused:
    case MachineState::Offline:
    case MachineState::Disconnected: return CodeText("机器无响应", "the machine stopped answering");
    case MachineState::Ready: return CodeText("任务已取消, 机器回到就绪", "cancelled, the machine is ready again");
    case MachineState::MemError: return CodeText("机器内存错误", "the machine reported a memory error");
    default:
        return CodeText("机器已停止打印 (状态 ", "the machine left printing (state ") +
               QString::number(MachineStateOf(f.machineStatus)) + QStringLiteral(")");
    }
}

}  // namespace

QString JobStopNote(const JobEndFacts& f)
{
    if (f.result == JobResult::Finished) return {};
    QString why = Reason(f);
    // The note ends the sentence itself.
    while (!why.isEmpty() && QStringLiteral("!.！。").contains(why.back())) why.chop(1);
    const QString name = QFileInfo(QString::fromStdU16String(f.jobName)).fileName();
    const QString job = name.isEmpty() ? CodeText("任务", "The job")
                                       : CodeText("任务 ", "Job ") + QStringLiteral("\"") + name +
                                             QStringLiteral("\"");
    return job + CodeText(" 已停止: ", " stopped: ") + why +
           CodeText("。该任务及等待的任务已改为手动。", ". It and the jobs waiting are Manual now.");
}
