#include "app/shell/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include "model/ProgramData.h"

Translations::~Translations()
{
    for (auto& t : m_installed) QCoreApplication::removeTranslator(t.get());
}

QString Translations::FileName(int language)
{
    if (language == 1) return QStringLiteral("OrlatCenter_en.qm");
    if (language == 2) return QStringLiteral("OrlatCenter_tr.qm");
    return QString();
}

QString Translations::Folder(int language)
{
    const QString name = FileName(language);
    const std::string found = name.isEmpty() ? std::string() : FindProgramData(QFile::encodeName(name).toStdString());
    if (found.empty()) return QCoreApplication::applicationDirPath();
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(found))).path();
}

bool Translations::Install(int language, const QString& folder)
{
    const QString own = FileName(language);
    bool loaded = false;
    QString qtLanguage = QStringLiteral("zh_CN");
    if (!own.isEmpty()) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(QDir(folder).filePath(own))) {
            QCoreApplication::installTranslator(t.get());
            m_installed.push_back(std::move(t));
            loaded = true;
            qtLanguage = language == 1 ? QStringLiteral("en") : QStringLiteral("tr");
        }
    }
    // Qt's own texts (standard buttons, file dialogs) in the same language.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load(QStringLiteral("qtbase_") + qtLanguage, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        m_installed.push_back(std::move(qt));
    }
    return loaded;
}
