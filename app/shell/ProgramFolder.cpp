#include "app/shell/ProgramFolder.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include <QFile>

namespace {

QString WithSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

}  // namespace

FolderProbe FolderProbe::System()
{
    FolderProbe p;
    p.make = [](const QString& dir) {
        std::error_code ec;
        const std::filesystem::path path(QFile::encodeName(dir).toStdString());
        std::filesystem::create_directories(path, ec);
        if (ec) return ec.value();
        return std::filesystem::is_directory(path, ec) ? 0 : ENOTDIR;
    };
    p.writable = [](const QString& dir) { return ::access(QFile::encodeName(dir).constData(), W_OK) == 0; };
    return p;
}

ProgramFolderChoice ChooseProgramFolder(const QString& asked, const QString& perUser, const FolderProbe& probe)
{
    ProgramFolderChoice c;
    const QString want = WithSlash(asked);
    const int made = probe.make(want);
    if (made == 0 && probe.writable(want)) {
        c.dir = want;
        return c;
    }
    c.problem = made != 0 ? ProgramFolderChoice::Problem::CannotMake : ProgramFolderChoice::Problem::ReadOnly;
    c.refused = want;
    c.error = made;
    const QString other = WithSlash(perUser);
    c.perUser = other;
    if (other != want && probe.make(other) == 0 && probe.writable(other)) {
        c.dir = other;
        return c;
    }
    c.fallbackFailed = true;
    c.dir = made == 0 ? want : other;
    return c;
}
