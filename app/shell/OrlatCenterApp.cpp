#include "app/shell/OrlatCenterApp.h"

#include <cstdio>

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "app/text/AppMessage.h"
#include "app/text/CodeText.h"
#include "app/shell/InstanceName.h"
#include "app/frame/MainFrame.h"
#include "app/shell/MessageBoxSink.h"
#include "app/jobs/OrlatCenterDoc.h"
#include "app/shell/QuitSignals.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/StartOptions.h"
#include "app/jobs/TaskFileText.h"
#include "app/shell/Translations.h"
#include "link/MyEth.h"
#include "model/MachineParams.h"
#include "model/Settings.h"
#include "model/SettingsFile.h"
#include "model/Text.h"
#include "widgets/EventGuard.h"

namespace {

std::u16string ToU16(const QString& s) { return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), s.size()); }

void PrintError(const QString& text) { std::fprintf(stderr, "OrlatCenter: %s\n", qPrintable(text)); }

}  // namespace

QString AlreadyRunningText(int language)
{
    return language == 0 ? QString::fromUtf8("程序已经在运行！若在任务栏里找不到，请双击系统托盘里的图标。")
                         : QStringLiteral("Application already running");
}

COrlatCenterApp::COrlatCenterApp() = default;

COrlatCenterApp::~COrlatCenterApp()
{
    m_frame.reset();
    m_doc.reset();
    m_translations.reset();
    m_instance.reset();
}

int COrlatCenterApp::InitInstance(const QStringList& args)
{
    const StartOptions options = ParseStartOptions(args);
    if (!options.error.isEmpty()) {
        PrintError(options.error);
        std::fputs(qPrintable(StartUsage()), stderr);
        return ExitUsage;
    }
    if (options.help) {
        std::fputs(qPrintable(StartUsage()), stdout);
        return ExitOk;
    }

    // Paths: the executable's folder (or the user's data folder when that
    // is read-only), or the folder named on the command line.
    if (options.programDir.isEmpty()) {
        theSettings.InitPaths();
    } else {
        const QString dir = QDir(options.programDir).absolutePath();
        if (!QDir().mkpath(dir)) {
            PrintError(QStringLiteral("cannot use the program folder %1").arg(dir));
            return ExitUsage;
        }
        theSettings.InitPathsFrom(ToU16(dir + QLatin1Char('/')));
    }

    // One instance per program folder.
    QString exe = m_exeName;
    if (exe.isEmpty()) exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (exe.isEmpty()) exe = QStringLiteral("OrlatCenter");
    const std::u16string name = InstanceName(theSettings.Path(Slot::ProgramDir), ToU16(exe));
    m_instance = std::make_unique<SingleInstance>(InstanceKey(name), m_instanceFolder);
    switch (m_instance->Acquire()) {
    case SingleInstance::Outcome::First: break;
    case SingleInstance::Outcome::Forwarded: return ExitOk;
    case SingleInstance::Outcome::Failed:
        // No usable runtime folder: run all the same rather than not at all.
        PrintError(QStringLiteral("cannot check for a running instance in %1").arg(QFileInfo(m_instance->LockPath()).path()));
        break;
    case SingleInstance::Outcome::NoAnswer: {
        const int language = ReadLanguageSetting(SettingsFilePath());
        ShowAppMessage(nullptr, QMessageBox::Information, AlreadyRunningText(language));
        return ExitFailed;
    }
    }

    // Settings, then the machine defaults (which keep the address just read).
    std::string error;
    if (!LoadSettings(&error)) ShowAppMessage(nullptr, QMessageBox::Warning, QString::fromStdString(error));
    m_settingsLoaded = true;
    SetDefaultMachineParams();
    if (options.machinePort) theEthOptions.port = *options.machinePort;

    QString folder = m_translationFolder;
    if (folder.isEmpty()) folder = QCoreApplication::applicationDirPath();
    m_translations = std::make_unique<Translations>();
    m_translationLoaded = m_translations->Install(theSettings.Get(Slot::Language), folder);
    // From here on the core's messages (fonts, link) come as boxes.
    InstallMessageBoxSink();

    m_doc = std::make_unique<COrlatCenterDoc>();
    m_frame = std::make_unique<CMainFrame>(*m_doc);
    m_frame->saveSettings = [] {
        std::string why;
        SaveSettings(&why);
    };
    QObject::connect(m_instance.get(), &SingleInstance::raiseRequested, m_frame.get(), &CMainFrame::BringToFront);

    if (!options.taskFile.isEmpty()) {
        const QString path = QFileInfo(options.taskFile).absoluteFilePath();
        const TaskFileStatus s = m_doc->OpenTaskFile(ToU16(path));
        if (s != TaskFileStatus::Ok) {
            ShowAppMessage(nullptr, QMessageBox::Warning, TaskFileOpenFailure(path, s));
            return ExitFailed;
        }
    }

    m_frame->showMaximized();
    m_frame->StartWorkers();
    return Continue;
}

int COrlatCenterApp::ExitInstance(int code)
{
    if (!m_settingsLoaded) return code;
    std::string error;
    if (!SaveSettings(&error)) {
        const QString text = CodeText("无法保存设置：", "Cannot save the settings: ") + QString::fromStdString(error);
        if (m_frame && !m_closedBySignal)
            ShowAppMessage(m_frame->isVisible() ? m_frame.get() : nullptr, QMessageBox::Warning, text);
        else PrintError(text);
        if (code == ExitOk) code = ExitFailed;
    }
    return code;
}

int RunOrlatCenter(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OrlatCenter"));
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
        // As the window's close, the question while a job runs taken as OK.
        GuardEvent("quit", [&] {
            if (app.MainFrame()) app.MainFrame()->CloseFromSignal();
        });
    };
    QObject::connect(&quit, &QuitSignals::quitRequested, &qapp, [&looping, closeFromSignal] {
        if (!looping) return;
        closeFromSignal();
        QApplication::quit();
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
