#include "app/shell/InstanceName.h"

#include <QCryptographicHash>

std::u16string InstanceName(const std::u16string& programDir, const std::u16string& exeBaseName)
{
    std::u16string name = programDir + exeBaseName;
    for (char16_t& c : name) {
        const auto low = static_cast<unsigned char>(c & 0xFF);
        const bool letter = (low >= 'A' && low <= 'Z') || (low >= 'a' && low <= 'z');
        if (!letter) c = u'_';
    }
    return name;
}

QString InstanceKey(const std::u16string& instanceName)
{
    const QByteArray utf16(reinterpret_cast<const char*>(instanceName.data()),
                           static_cast<qsizetype>(instanceName.size() * sizeof(char16_t)));
    const QByteArray hash = QCryptographicHash::hash(utf16, QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("OrlatCenter-") + QString::fromLatin1(hash);
}
