#include "link/job/JobMessages.h"

#include <cstring>

#include "link/output/KnifeRecord.h"
#include "model/Text.h"

namespace {
static_assert(kKnifeRecordCapacity == 50000, "the knife pass messages name the limit");

struct Entry {
    const char* key;
    const char16_t* english;
    const char16_t* chinese;
};

constexpr Entry kTexts[] = {
    {"WidthExceeded", u"Plot width (add start position) bigger than machine width!",
     u"超出机器幅宽！请重新设置右边据和纸张宽度！"},
    {"SendCommandFailed", u"Send command failed,Please retry", u"发送命令失败，请重试！"},
    {"BadBandsPerCutSegment",
     u"Machine parameter error: bands per cut segment is 0. The job was not sent.",
     u"机器参数错误：切割分段为0，任务未发送。"},
    {"BadInkInterval", u"Machine parameter error: ink interval pulses is 0. The job was not sent.",
     u"机器参数错误：喷墨间隔脉冲数为0，任务未发送。"},
    {"BadPulsesPerMmX", u"Machine parameter error: feed axis pulses per mm is invalid. The job was not sent.",
     u"机器参数错误：走纸轴每mm脉冲数无效，任务未发送。"},
    {"BadPulsesPerMmY", u"Machine parameter error: carriage axis pulses per mm is invalid. The job was not sent.",
     u"机器参数错误：小车轴每mm脉冲数无效，任务未发送。"},
    {"BadOutputPerMeterX", u"Machine parameter error: X output per meter is 0. The job was not sent.",
     u"机器参数错误：X向1米实际输出为0，任务未发送。"},
    {"BadOutputPerMeterY", u"Machine parameter error: Y output per meter is 0. The job was not sent.",
     u"机器参数错误：Y向1米实际输出为0，任务未发送。"},
    {"BadHeadSelect", u"Machine parameter error: print head selection is above 2. The job was not sent.",
     u"机器参数错误：喷头选择大于2，任务未发送。"},
    {"BadHeadOverlap", u"Machine parameter error: head overlap rows above 150. The job was not sent.",
     u"机器参数错误：喷头重合点数大于150，任务未发送。"},
    {"TooManyPoints",
     u"The job's cut lines would be split into more than 16 million points. The job was not sent.",
     u"切割线分段后超过1600万点，任务未发送。"},
    {"ListNotKept", u"The job list cannot be saved, so the job was not sent.",
     u"任务列表无法保存，任务未发送。"},
    {"KnifePassTooLong",
     u"A cut pass of the job holds more than 50,000 knife points, the most the machine's knife buffer takes. "
     u"The job was not sent.",
     u"任务的一段切割数据超过50000个刀点（机器刀具缓冲区的上限），任务未发送。"},
    {"KnifePassRefused",
     u"A cut pass holds more than 50,000 knife points, the most the machine's knife buffer takes. "
     u"The job was stopped at that pass.",
     u"一段切割数据超过50000个刀点（机器刀具缓冲区的上限），任务在该段停止。"},
    {"OutOfMemory", u"Not enough memory to prepare the job. The job was not sent.",
     u"内存不足，无法准备任务，任务未发送。"},
    {"BadLineWidth", u"Setting error: the line width is out of range. The job was not sent.",
     u"设置错误：线宽超出范围，任务未发送。"},
};
}  // namespace

std::u16string JobMessageText(const char* key, int language)
{
    for (const Entry& e : kTexts)
        if (std::strcmp(e.key, key) == 0) return language != 0 ? e.english : e.chinese;
    return FromUtf8(key);
}
