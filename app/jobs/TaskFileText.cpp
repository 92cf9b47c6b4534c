#include "app/jobs/TaskFileText.h"

#include "app/text/CodeText.h"

QString TaskFileReason(TaskFileStatus status)
{
    switch (status) {
    case TaskFileStatus::Ok: return CodeText("成功", "no error");
    case TaskFileStatus::Truncated: return CodeText("文件不完整", "the file ends too early");
    case TaskFileStatus::BadLength: return CodeText("文件中的长度有误", "a length in the file is wrong");
    case TaskFileStatus::WrongClass: return CodeText("文件中有未知的数据类", "the file holds an unknown class");
    case TaskFileStatus::BadSchema: return CodeText("文件的版本不对", "the file is of another version");
    case TaskFileStatus::BadReference: return CodeText("文件中的引用有误", "a reference in the file is wrong");
    case TaskFileStatus::BadValue: return CodeText("文件中的数值超出范围", "a value in the file is out of range");
    case TaskFileStatus::TrailingData: return CodeText("任务列表之后还有多余的数据", "the file goes on after its job list");
    case TaskFileStatus::OutOfMemory: return CodeText("内存不足", "out of memory");
    case TaskFileStatus::OpenFailed: return CodeText("文件不存在或无法打开", "the file is missing or cannot be opened");
    case TaskFileStatus::ReadFailed: return CodeText("读取失败", "it could not be read");
    case TaskFileStatus::WriteFailed: return CodeText("写入失败", "it could not be written");
    case TaskFileStatus::ReplaceFailed: return CodeText("无法替换原文件", "the old file could not be replaced");
    }
    return CodeText("未知错误", "unknown error");
}

QString TaskFileOpenFailure(const QString& path, TaskFileStatus status)
{
    return CodeText("无法打开任务文件 %1：%2。", "Cannot open the task file %1: %2.").arg(path, TaskFileReason(status));
}

QString TaskFileSaveFailure(const QString& path, TaskFileStatus status)
{
    return CodeText("无法保存任务文件 %1：%2。", "Cannot save the task file %1: %2.").arg(path, TaskFileReason(status));
}
