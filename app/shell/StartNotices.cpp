#include "app/shell/StartNotices.h"

#include <cerrno>

#include "app/shell/ProgramFolder.h"
#include "app/shell/SettingsFileCheck.h"
#include "app/text/CodeText.h"

QString ReasonText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM: return CodeText("没有权限", "permission denied");
    case EROFS: return CodeText("只读文件系统", "read-only file system");
    case ENOTDIR:
    case EEXIST: return CodeText("路径上有同名的文件", "a file of that name is in the way");
    case ENOSPC:
    case EDQUOT: return CodeText("磁盘已满", "the disk is full");
    case ENAMETOOLONG: return CodeText("路径太长", "the path is too long");
    case EIO: return CodeText("读写错误", "an input/output error");
    default: return CodeText("错误 %1", "error %1").arg(error);
    }
}

QString ProgramFolderNotice(const ProgramFolderChoice& c)
{
    using P = ProgramFolderChoice::Problem;
    if (c.problem == P::None) return {};
    QString what;
    if (c.problem == P::CannotMake)
        what = CodeText("无法建立程序文件夹 %1（%2）。", "The program folder %1 cannot be made (%2).")
                   .arg(c.refused, ReasonText(c.error));
    else
        what = CodeText("程序文件夹 %1 是只读的，设置和任务列表无法保存在那里。",
                        "The program folder %1 is read-only: the settings and the job list cannot be saved there.")
                   .arg(c.refused);
    QString instead;
    if (!c.fallbackFailed)
        instead = CodeText("程序改用文件夹 %1 保存设置和任务列表。", "The program keeps its settings and job list in %1 instead.")
                      .arg(c.dir);
    else if (c.perUser == c.refused)  // the per-user folder was the one asked for
        instead = CodeText("程序以默认设置运行，设置和任务列表都不会保存。",
                           "The program runs with the default settings and saves neither the settings nor the job list.");
    else if (c.problem == P::ReadOnly)
        instead = CodeText("文件夹 %1 也无法建立：程序使用其中的设置运行，设置和任务列表都不会保存。",
                           "%1 cannot be made either: the program runs with the settings found there and saves neither the settings nor the job list.")
                      .arg(c.perUser);
    else
        instead = CodeText("文件夹 %1 也无法建立：程序以默认设置运行，设置和任务列表都不会保存。",
                           "%1 cannot be made either: the program runs with the default settings and saves neither the settings nor the job list.")
                      .arg(c.perUser);
    return what + QLatin1Char('\n') + instead;
}

QString SettingsFileNotice(const QString& path, const SettingsFileCheck& check)
{
    using P = SettingsFileCheck::Problem;
    QString reason;
    switch (check.problem) {
    case P::None: return {};
    case P::NotAFile: reason = CodeText("不是普通文件", "not a regular file"); break;
    case P::TooLarge: reason = CodeText("文件太大，不像设置文件", "too large for a settings file"); break;
    case P::Unreadable: reason = ReasonText(check.error); break;
    }
    return CodeText("设置文件 %1 无法读取（%2）。\n程序以默认设置运行，该文件保持原样，本次更改的设置不会保存。",
                    "The settings file %1 cannot be read (%2).\nThe program runs with the default settings and leaves the file as it is; settings changed in this run are not saved.")
        .arg(path, reason);
}
