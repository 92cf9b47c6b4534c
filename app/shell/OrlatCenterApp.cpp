#include "app/shell/OrlatCenterApp.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

#include "app/text/AppMessage.h"
#include "app/text/CodeText.h"
#include "app/text/WaitCursor.h"
#include "app/shell/HandedFiles.h"
#include "app/shell/InstanceKey.h"
#include "app/shell/ProgramFolder.h"
#include "app/shell/RuntimeFolder.h"
#include "app/shell/SettingsFileCheck.h"
#include "app/shell/StartNotices.h"
#include "app/frame/MainFrame.h"
#include "app/shell/MessageBoxSink.h"
#include "jobs/JobService.h"
#include "app/shell/QuitSignals.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/StartOptions.h"
#include "app/text/TaskFileText.h"
#include "app/shell/Translations.h"
#include "link/MyEth.h"
#include "model/MachineParams.h"
#include "model/Settings.h"
#include "model/SettingsFile.h"
#include "model/Text.h"
#include "widgets/EventGuard.h"

// Resources of a static library are registered by hand.
static void InitAppResources() { Q_INIT_RESOURCE(icons); }

namespace {

std::u16string ToU16(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size()); }

void PrintError(const QString& text) { std::fprintf(stderr, "OrlatCenter: %s\n", qPrintable(text)); }

}  // namespace

QString AlreadyRunningText(int language)
{
    return language == 0 ? QString::fromUtf8("程序已经在运行！若在任务栏里找不到，请双击系统托盘里的图标。")
                         : QStringLiteral("Application already running");
}

QString FilesNotTakenText(int language, const QStringList& files, SingleInstance::Refused how)
{
    const bool zh = language == 0;
    QString why;
    switch (how) {
    case SingleInstance::Refused::Silent:
        why = zh ? QString::fromUtf8("%1 秒内没有应答") : QStringLiteral("no answer within %1 s");
        why = why.arg(SingleInstance::kHandOverTimeoutMs / 1000);
        break;
    case SingleInstance::Refused::Closed:
        why = zh ? QString::fromUtf8("未接收即断开了连接") : QStringLiteral("it closed the connection without taking them");
        break;
    case SingleInstance::Refused::Garbled:
        why = zh ? QString::fromUtf8("应答无法识别") : QStringLiteral("its answer was not understood");
        break;
    }
    const QString head = zh ? QString::fromUtf8("程序已经在运行，但没有接收这些文件（%1）：")
                            : QStringLiteral("The program already runs on this folder but did not take these files (%1):");
    return head.arg(why) + QLatin1Char('\n') + files.join(QLatin1Char('\n'));
}

QIcon AppIcon()
{
    InitAppResources();
    return QIcon(QStringLiteral(":/icons/app.png"));
}

COrlatCenterApp::COrlatCenterApp() : m_folderProbe(FolderProbe::System()) {}

COrlatCenterDoc* COrlatCenterApp::Document() const { return m_service ? &m_service->Doc() : nullptr; }

COrlatCenterApp::~COrlatCenterApp()
{
    m_handed.reset();
    m_frame.reset();
    m_service.reset();
    m_translations.reset();
    m_instance.reset();
}

int COrlatCenterApp::InitInstance(const QStringList& args)
{
    const StartOptions options = ParseStartOptions(args);
    if (const int code = AnswerWithoutWindow(options); code >= 0) return code;

    // Every window from here on, the boxes of this start included.
    QApplication::setWindowIcon(AppIcon());

    // Paths: the executable's folder (or the user's data folder when the
    // program is installed or its folder read-only), or the folder named on
    // the command line; one that cannot be made or written in gives way to
    // the user's data folder.
    QString asked;
    if (options.programDir.isEmpty()) {
        theSettings.InitPaths();
        asked = QString::fromStdU16String(theSettings.Path(Slot::ProgramDir));
    } else {
        asked = QDir(options.programDir).absolutePath();
    }
    const ProgramFolderChoice programFolder =
        ChooseProgramFolder(asked, QString::fromStdU16String(CSettings::UserDataProgramDir()), m_folderProbe);
    theSettings.InitPathsFrom(ToU16(programFolder.dir));

    // One instance per program folder.
    QString exe = m_exeName;
    if (exe.isEmpty()) exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (exe.isEmpty()) exe = QStringLiteral("OrlatCenter");
    m_instance = std::make_unique<SingleInstance>(
        InstanceKey(QString::fromStdU16String(theSettings.Path(Slot::ProgramDir)), exe), m_instanceFolder);
    // A running one is handed the files named (the desktop starts one
    // process per "Open"); this start ends only once it has them.
    const QStringList files = NamedFiles(options);
    switch (m_instance->Acquire(files, files.isEmpty() ? 1000 : SingleInstance::kHandOverTimeoutMs)) {
    case SingleInstance::Outcome::First: break;
    case SingleInstance::Outcome::Forwarded: return ExitOk;
    case SingleInstance::Outcome::Failed:
        // No usable runtime folder: run all the same rather than not at all.
        PrintError(QStringLiteral("cannot check for a running instance in %1").arg(QFileInfo(m_instance->LockPath()).path()));
        break;
    case SingleInstance::Outcome::NoAnswer: {
        const int language = ReadLanguageSetting(SettingsFilePath());
        if (!files.isEmpty()) {
            const QString english = FilesNotTakenText(1, files, m_instance->Refusal());
            PrintError(QString(english).replace(QLatin1Char('\n'), QLatin1Char(' ')));
            ShowAppMessage(nullptr, QMessageBox::Warning, FilesNotTakenText(language, files, m_instance->Refusal()));
        } else {
            ShowAppMessage(nullptr, QMessageBox::Information, AlreadyRunningText(language));
        }
        return ExitFailed;
    }
    }
    // Files handed over by later starts are taken once the window is up (a
    // start that fails, its box still open, would drop them) and until the
    // close has saved the list.
    m_instance->takingFiles = [this] { return m_handed && theSettings.Get(Slot::Quitting) == 0; };
    QObject::connect(m_instance.get(), &SingleInstance::filesHanded, m_instance.get(), [this](const QStringList& handed) {
        if (m_handed) m_handed->Add(handed);
    });

    // Settings, then the machine defaults (which keep the address just read).
    std::string error;
    const bool settingsRead = LoadSettings(&error);
    m_settingsLoaded = true;
    // A file that could not be read stays as it is (saving would read it
    // again and fail), and so does a folder nothing can be saved in: the
    // box at start has said so.
    m_settingsKept = !settingsRead || !programFolder.Saves();
    SetDefaultMachineParams();
    if (options.machinePort) theEthOptions.port = *options.machinePort;

    QString folder = m_translationFolder;
    if (folder.isEmpty()) folder = Translations::Folder(theSettings.Get(Slot::Language));
    m_translations = std::make_unique<Translations>();
    m_translationLoaded = m_translations->Install(theSettings.Get(Slot::Language), folder);
    // From here on the core's messages (fonts, link) come as boxes.
    InstallMessageBoxSink();

    // What the start did otherwise than asked, in the language just chosen.
    const QString folderNotice = ProgramFolderNotice(programFolder);
    if (!folderNotice.isEmpty()) ShowAppMessage(nullptr, QMessageBox::Warning, folderNotice);
    if (!settingsRead) {
        const std::string path = SettingsFilePath();
        ShowAppMessage(nullptr, QMessageBox::Warning,
                       SettingsFileNotice(QFile::decodeName(QByteArray::fromStdString(path)), CheckSettingsFile(path)));
    }

    m_service = std::make_unique<CJobService>();
    m_frame = std::make_unique<CMainFrame>(*m_service);
    // The close writes the settings (also before a close that cannot wait
    // for the sending thread and ends the process); the exit then only says
    // how that went.
    m_frame->saveSettings = [this] {
        if (m_settingsKept) return;
        std::string why;
        m_settingsSaved = true;
        m_settingsError.reset();
        if (!SaveSettings(&why)) m_settingsError = why;
    };
    QObject::connect(m_instance.get(), &SingleInstance::raiseRequested, m_frame.get(), &CMainFrame::BringToFront);

    if (!options.taskFile.isEmpty()) {
        const QString path = QFileInfo(options.taskFile).absoluteFilePath();
        const TaskFileStatus s = WhileBusy([&] { return m_service->Doc().OpenTaskFile(ToU16(path)); });
        if (s != TaskFileStatus::Ok) {
            ShowAppMessage(nullptr, QMessageBox::Warning, TaskFileOpenFailure(path, s));
            return ExitFailed;
        }
    }

    m_frame->showMaximized();
    m_frame->StartWorkers();
    // Markers opened from the desktop: added as File > Add Print File adds
    // them, once the event loop runs (their unit question and messages are
    // boxes); those of later starts follow.
    CMainFrame* frame = m_frame.get();
    m_handed = std::make_unique<CHandedFiles>([frame](const QString& path) { CHandedFiles::Open(frame->Files(), path); });
    QStringList markers;
    for (const QString& f : options.plotFiles) markers << QFileInfo(f).absoluteFilePath();
    m_handed->Add(markers);
    return Continue;
}

int COrlatCenterApp::ExitInstance(int code)
{
    // The close has asked about the list already where anyone could answer;
    // the exit says it once more where a script or the session's log sees it.
    if (m_frame && !m_frame->CloseFailure().isEmpty()) {
        PrintError(m_frame->CloseFailure());
        if (code == ExitOk) code = ExitFailed;
    }
    if (!m_settingsLoaded || m_settingsKept) return code;
    std::optional<std::string> failed = m_settingsError;
    if (!m_settingsSaved) {
        std::string error;
        if (!SaveSettings(&error)) failed = error;
    }
    if (failed) {
        const QString text = CodeText("无法保存设置：", "Cannot save the settings: ") + QString::fromStdString(*failed);
        if (m_frame && !m_closedBySignal)
            ShowAppMessage(m_frame->isVisible() ? m_frame.get() : nullptr, QMessageBox::Warning, text);
        else PrintError(text);
        if (code == ExitOk) code = ExitFailed;
    }
    return code;
}

int RunOrlatCenter(int argc, char** argv)
{
    // Before the application object, which needs a display.
    if (const int code = AnswerWithoutWindow(ParseStartOptions(ArgumentsOf(argc, argv))); code >= 0) return code;
    ProvideRuntimeFolder();
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OrlatCenter"));
    // The desktop entry's name: the window finds its menu entry and icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(CMainFrame::kTitle));
    SetEventFailureReporter([](const QString& where, const QString& what) {
        ShowAppMessage(g_pMainFrame, QMessageBox::Critical, where + QStringLiteral(": ") + what);
    });
    QuitSignals quit;
    COrlatCenterApp app;
    // Set once the event loop runs; a signal during the start-up (a box open)
    // is taken up when InitInstance returns.
    bool looping = false;
    auto closeFromSignal = [&app] {
        // As the window's close, its questions taken as OK; a close already
        // running goes on so. The frame quits the event loop once it is done.
        GuardEvent("quit", [&] {
            if (app.MainFrame()) app.MainFrame()->CloseFromSignal();
            else QApplication::quit();
        });
    };
    QObject::connect(&quit, &QuitSignals::quitRequested, &qapp, [&looping, closeFromSignal] {
        if (!looping) return;
        closeFromSignal();
    });
    int code = app.InitInstance(QApplication::arguments().mid(1));
    if (code == COrlatCenterApp::Continue) {
        if (quit.Requested()) {
            closeFromSignal();
            code = COrlatCenterApp::ExitOk;
        } else {
            looping = true;
            code = QApplication::exec();
        }
    }
    app.SetClosedBySignal(quit.Requested());
    return app.ExitInstance(code);
}
