#include "jobs/TaskFileReason.h"

#include "jobs/Texts.h"

std::u16string TaskFileReasonText(TaskFileStatus status)
{
    switch (status) {
    case TaskFileStatus::Ok: return Tr(u"成功", u"no error");
    case TaskFileStatus::Truncated: return Tr(u"文件不完整", u"the file ends too early");
    case TaskFileStatus::BadLength: return Tr(u"文件中的长度有误", u"a length in the file is wrong");
    case TaskFileStatus::WrongClass: return Tr(u"文件中有未知的数据类", u"the file holds an unknown class");
    case TaskFileStatus::BadSchema: return Tr(u"文件的版本不对", u"the file is of another version");
    case TaskFileStatus::BadReference: return Tr(u"文件中的引用有误", u"a reference in the file is wrong");
    case TaskFileStatus::BadValue: return Tr(u"文件中的数值超出范围", u"a value in the file is out of range");
    case TaskFileStatus::TrailingData: return Tr(u"任务列表之后还有多余的数据", u"the file goes on after its job list");
    case TaskFileStatus::OutOfMemory: return Tr(u"内存不足", u"out of memory");
    case TaskFileStatus::OpenFailed: return Tr(u"文件不存在或无法打开", u"the file is missing or cannot be opened");
    case TaskFileStatus::ReadFailed: return Tr(u"读取失败", u"it could not be read");
    case TaskFileStatus::WriteFailed: return Tr(u"写入失败", u"it could not be written");
    case TaskFileStatus::ReplaceFailed: return Tr(u"无法替换原文件", u"the old file could not be replaced");
    }
    return Tr(u"未知错误", u"unknown error");
}

std::u16string TaskFileSaveText(const std::u16string& path, TaskFileStatus status)
{
    return Tr(u"无法保存任务文件 ", u"Cannot save the task file ") + path + Tr(u"：", u": ") + TaskFileReasonText(status) +
           Tr(u"。", u".");
}
