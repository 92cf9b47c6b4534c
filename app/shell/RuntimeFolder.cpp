#include "app/shell/RuntimeFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QDir>
#include <QFile>

namespace {

QString UserName()
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name && pw->pw_name[0])
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(::geteuid());
}

}  // namespace

QString PrivateRuntimeFolder(const QString& tempDir, const QString& user)
{
    const QString dir = QDir(tempDir).filePath(QStringLiteral("runtime-") + user);
    const QByteArray path = QFile::encodeName(dir);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    // lstat: a link planted by another user must not take the lock elsewhere.
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) return {};
    if ((st.st_mode & 0777) != 0700 && ::chmod(path.constData(), 0700) != 0) return {};
    return dir;
}

QString RuntimeFolder()
{
    const QString set = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!set.isEmpty()) return set;
    return PrivateRuntimeFolder(QDir::tempPath(), UserName());
}

void ProvideRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    const QString dir = PrivateRuntimeFolder(QDir::tempPath(), UserName());
    if (!dir.isEmpty()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
}
