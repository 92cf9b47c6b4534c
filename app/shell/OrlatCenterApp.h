#pragma once
// The application: start-up in a fixed order, the one instance, the
// settings file read at start and written at exit.
#include <memory>
#include <optional>
#include <string>

#include <QIcon>
#include <QString>
#include <QStringList>

#include "app/shell/ProgramFolder.h"
#include "app/shell/SingleInstance.h"

class CMainFrame;
class CHandedFiles;
class COrlatCenterDoc;
class CJobService;
class Translations;

class COrlatCenterApp {
public:
    // Exit codes of a start that ends before the event loop.
    enum : int { Continue = -1, ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

    COrlatCenterApp();
    ~COrlatCenterApp();
    COrlatCenterApp(const COrlatCenterApp&) = delete;
    COrlatCenterApp& operator=(const COrlatCenterApp&) = delete;

    // Where the language files are looked for; the executable's folder by default.
    void SetTranslationFolder(const QString& folder) { m_translationFolder = folder; }
    // Where the lock and socket live; the user's runtime folder by default.
    void SetInstanceFolder(const QString& folder) { m_instanceFolder = folder; }
    // The executable's name in the instance name; the running one's by default.
    void SetExecutableName(const QString& name) { m_exeName = name; }
    // How the program folder is made and tested for writing.
    void SetFolderProbe(FolderProbe probe) { m_folderProbe = std::move(probe); }

    // The start-up: options, paths, single instance (a second start hands
    // its files to the first), settings, machine defaults, language,
    // document and window, task file, window shown, markers added.
    // Continue when the event loop is to run, else the exit code.
    int InitInstance(const QStringList& args);
    // Writes the settings, only when they were loaded: a start that ended
    // before (bad option, second instance) must not overwrite the running
    // instance's file with empty values. A close of the window has written
    // them already (the frame's saveSettings): then only its outcome is told.
    int ExitInstance(int code);
    // A close by signal: nobody may be there to answer a box, so a failure
    // at exit goes to standard error.
    void SetClosedBySignal(bool bySignal) { m_closedBySignal = bySignal; }

    CMainFrame* MainFrame() const { return m_frame.get(); }
    COrlatCenterDoc* Document() const;
    SingleInstance* Instance() const { return m_instance.get(); }
    // The files given on the command line or by later starts, opened in turn.
    CHandedFiles* HandedFiles() const { return m_handed.get(); }
    bool SettingsLoaded() const { return m_settingsLoaded; }
    // The settings file is left alone at exit.
    bool SettingsKept() const { return m_settingsKept; }
    bool TranslationLoaded() const { return m_translationLoaded; }

private:
    QString m_translationFolder;
    QString m_instanceFolder;
    QString m_exeName;
    FolderProbe m_folderProbe;
    bool m_settingsLoaded = false;
    bool m_settingsKept = false;  // not written at exit: the start said why
    bool m_translationLoaded = false;
    bool m_closedBySignal = false;
    // The close wrote the settings: once is enough. What went wrong, if anything.
    bool m_settingsSaved = false;
    std::optional<std::string> m_settingsError;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<CHandedFiles> m_handed;
    std::unique_ptr<Translations> m_translations;
    // The job list and its rules; made before the window, gone after it.
    std::unique_ptr<CJobService> m_service;
    std::unique_ptr<CMainFrame> m_frame;
};

// The desktop entry (resources/desktop) is this name with ".desktop"; the
// icon and the metainfo carry it too.
inline constexpr const char* kDesktopFileName = "org.orlat.OrlatCenter";

// The program's icon, on every window from the start on.
QIcon AppIcon();

// The message a second start shows when the first does not answer, in the
// language of the settings file's Language key.
QString AlreadyRunningText(int language);
// What a second start says when the running instance did not take its
// files: which ones and why, in the language of the settings file (its
// standard error gets the English text).
QString FilesNotTakenText(int language, const QStringList& files, SingleInstance::Refused how);

// The program: a QApplication around COrlatCenterApp; SIGTERM, SIGINT and
// SIGHUP close the window as a user would, so the settings are written.
int RunOrlatCenter(int argc, char** argv);
