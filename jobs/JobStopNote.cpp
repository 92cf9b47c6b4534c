#include "jobs/JobStopNote.h"

#include "jobs/JobEnd.h"
#include "jobs/Texts.h"
#include "link/LinkState.h"
#include "link/job/JobMessages.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

std::u16string Reason(const JobEndFacts& f)
{
    if (!f.messageKey.empty()) {
        // Said again in the language of now: the thread's text is in the language of the job's start.
        const std::u16string known = JobMessageText(f.messageKey.c_str(), theSettings.Get(Slot::Language));
        const bool hasText = known != FromUtf8(f.messageKey);
        return hasText ? known : f.messageText;
    }
    if (f.cutPassFailed) return Tr(u"切割数据未能发送", u"a knife pass could not be sent");
    switch (MachineStateOf(f.machineStatus)) {
    // Still plotting as last heard, or the link thread has seen it gone: the polls went unanswered.
    case MachineState::Plotting:
    case MachineState::Paused:
    case MachineState::Offline:
    case MachineState::Disconnected: return Tr(u"机器无响应", u"the machine stopped answering");
    case MachineState::Ready: return Tr(u"任务已取消, 机器回到就绪", u"cancelled, the machine is ready again");
    case MachineState::MemError: return Tr(u"机器内存错误", u"the machine reported a memory error");
    default:
        return Tr(u"机器已停止打印 (状态 ", u"the machine left printing (state ") +
               FromUtf8(std::to_string(MachineStateOf(f.machineStatus))) + u")";
    }
}

std::u16string FileNameOf(const std::u16string& path)
{
    const size_t slash = path.find_last_of(u'/');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::u16string JobStopNote(const JobEndFacts& f)
{
    if (f.result == JobResult::Finished) return {};
    std::u16string why = Reason(f);
    // The note ends the sentence itself.
    while (!why.empty() && std::u16string_view(u"!.！。").find(why.back()) != std::u16string_view::npos) why.pop_back();
    const std::u16string name = FileNameOf(f.jobName);
    const std::u16string job = name.empty() ? Tr(u"任务", u"The job") : Tr(u"任务 ", u"Job ") + u"\"" + name + u"\"";
    return job + Tr(u" 已停止: ", u" stopped: ") + why +
           Tr(u"。该任务及等待的任务已改为手动。", u". It and the jobs waiting are Manual now.");
}
