#pragma once
// The language of the resource texts (menus, dialogs, tips, the string
// table): Chinese in the source, OrlatCenter_en.qm (Language 1) or
// OrlatCenter_tr.qm (2) beside the executable or in the installed data
// folder; Qt's own texts follow.
#include <memory>
#include <vector>

#include <QString>
#include <QTranslator>


class Translations {
public:
    Translations() = default;
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The file name of a language's translation; empty for Chinese.
    static QString FileName(int language);
    // Where a language's file is: beside the executable, else the installed
    // data folder; the executable's folder when neither holds it.
    static QString Folder(int language);
    // Installs the translators for language from folder. A missing file
    // means Chinese, silently. True when the program's own file was loaded.
    bool Install(int language, const QString& folder);

private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
};
