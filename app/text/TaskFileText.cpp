#include "app/text/TaskFileText.h"

#include "app/text/CodeText.h"
#include "jobs/TaskFileReason.h"

QString TaskFileReason(TaskFileStatus status) { return QString::fromStdU16String(TaskFileReasonText(status)); }

QString TaskFileOpenFailure(const QString& path, TaskFileStatus status)
{
    return CodeText("无法打开任务文件 %1：%2。", "Cannot open the task file %1: %2.").arg(path, TaskFileReason(status));
}

QString TaskFileSaveFailure(const QString& path, TaskFileStatus status)
{
    return QString::fromStdU16String(TaskFileSaveText(path.toStdU16String(), status));
}
