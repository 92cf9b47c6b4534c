#include "app/shell/InstanceKey.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

QString InstanceKey(const QString& programDir, const QString& exeBaseName)
{
    QString dir = QFileInfo(programDir).canonicalFilePath();
    if (dir.isEmpty()) dir = QDir::cleanPath(QDir(programDir).absolutePath());
    // The folder's exact name: a NUL cannot be part of it, so the pair reads one way only.
    const QString name = dir + QChar(0) + exeBaseName;
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("OrlatCenter-") + QString::fromLatin1(hash);
}
