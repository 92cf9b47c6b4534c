#include "app/frame/FileCommands.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "jobs/AskedJobs.h"
#include "app/frame/FrameAsks.h"
#include "app/frame/FrameViews.h"
#include "jobs/ExportName.h"
#include "jobs/JobService.h"
#include "import/PlotImport.h"
#include "app/text/AppMessage.h"
#include "app/text/CodeText.h"
#include "app/text/FileFilters.h"
#include "app/text/WaitCursor.h"
#include "model/ProgramData.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace {

const char* const kTestFiles[CFileCommands::kTestFileCount] = {"10x10.plt", "20x20.plt", "30x30.plt", "40x40.plt",
                                                               "50x50.plt"};

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }
std::u16string U(const QString& s) { return s.toStdU16String(); }

bool FileExists(const std::u16string& path)
{
    struct stat st {};
    return ::stat(ToUtf8(path).c_str(), &st) == 0;
}

}  // namespace

CFileCommands::CFileCommands(CJobService& service, const FrameAsks& asks, const FrameViews& views)
    : m_service(service), m_doc(service.Doc()), m_asks(asks), m_views(views)
{
}

// --- Adding files ------------------------------------------------------------

void CFileCommands::OnAddPrintFile()
{
    const QString path = m_asks.askOpenFile(QStringLiteral("Add File"), AddFileFilters());
    if (!path.isEmpty()) AddPrintFile(path);
}

void CFileCommands::AddPrintFile(const QString& path)
{
    if (IsDxfFileName(U(path))) ImportDxfFile(path);
    else ImportPltFile(path);
}

void CFileCommands::ImportPltFile(const QString& path)
{
    if (UnitNoHintNextTime.load() == 0 && !m_asks.askPltUnit()) return;
    m_service.AddPrintFile(U(path), PltFileUnit.load() == 1);
}

void CFileCommands::ImportDxfFile(const QString& path)
{
    m_service.AddPrintFile(U(path), false);
}

QString CFileCommands::AddFileFilters()
{
    return PlotFileFilters();
}

QString CFileCommands::TestFilePath(int index)
{
    const QString name = QStringLiteral("TestPlt/") + QLatin1String(kTestFiles[index]);
    const QString inProgramDir = Q(theSettings.Path(Slot::ProgramDir)) + name;
    if (QFileInfo::exists(inProgramDir)) return inProgramDir;
    const std::string shipped = FindProgramData(QFile::encodeName(name).toStdString());
    if (!shipped.empty()) return QFile::decodeName(QByteArray::fromStdString(shipped));
    return inProgramDir;
}

void CFileCommands::OnTestPlt(int index)
{
    if (index < 0 || index >= kTestFileCount) return;
    const CAskedJobs asked(m_doc.m_pages);
    if (!m_doc.m_pages.empty() &&
        !m_asks.askQuestion(CodeText("提示", "Note"), CodeText("打开调机文件将清空当前任务列表, 是否继续?",
                                                                 "Opening a test file empties the job list. Go on?")))
        return;
    asked.DeleteFrom(m_doc.m_pages);
    m_views.refreshList();
    m_views.showJob(0);
    ImportPltFile(TestFilePath(index));
}

// --- Export and task files ---------------------------------------------------

void CFileCommands::OnExportListAsPlt()
{
    const QString chosen =
        m_asks.askSaveFile(QString(), ExportFileFilters());
    if (chosen.isEmpty()) return;
    const ExportName name = ExportNameFor(U(chosen));
    if (name.appended && FileExists(name.path) &&
        !m_asks.askQuestion(CodeText("提示", "Note"),
                            Q(name.path) + CodeText(" 已存在, 是否替换?", " exists already. Replace it?")))
        return;
    std::string error;
    if (!m_doc.ExportHpgl(name.path, &error))
        ShowAppMessage(m_views.window, QMessageBox::Warning, QString::fromStdString(error));
}

void CFileCommands::OnOpenTaskFile()
{
    const CAskedJobs asked(m_doc.m_pages);
    const QString path =
        m_asks.askOpenFile(QString(), TaskFileFilter());
    if (path.isEmpty()) return;
    OpenTaskFileAsked(asked, path);
}

void CFileCommands::OpenTaskFile(const QString& path)
{
    OpenTaskFileAsked(CAskedJobs(m_doc.m_pages), path);
}

void CFileCommands::OpenTaskFileAsked(const CAskedJobs& asked, const QString& path)
{
    // The file replaces the list the operator saw; jobs imported while the
    // dialog was open follow it (or stay where they were when it fails).
    CAskedJobs::Newcomers newcomers = asked.TakeNewcomers(m_doc.m_pages);
    TaskFileStatus s = TaskFileStatus::Ok;
    try {
        s = WhileBusy([&] { return m_doc.OpenTaskFile(U(path)); });
    } catch (...) {
        CAskedJobs::PutBack(m_doc.m_pages, std::move(newcomers), false);
        throw;
    }
    CAskedJobs::PutBack(m_doc.m_pages, std::move(newcomers), s == TaskFileStatus::Ok);
    if (s != TaskFileStatus::Ok)
        ShowAppMessage(m_views.window, QMessageBox::Warning,
                       CodeText("任务文件无法打开: ", "The task file cannot be opened: ") + path + QStringLiteral(" (") +
                           QLatin1String(TaskFileStatusName(s)) + QStringLiteral(")"));
    m_views.refreshList();
    m_views.showJob(0);
}

void CFileCommands::OnSaveTaskFile()
{
    QString path = Q(m_doc.CurrentPath());
    if (path.isEmpty())
        path = m_asks.askSaveFile(QString(), TaskFileFilter());
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".orlattask"), Qt::CaseInsensitive)) path += QStringLiteral(".orlattask");
    const TaskFileStatus s = WhileBusy([&] { return m_doc.SaveTaskFile(U(path)); });
    if (s != TaskFileStatus::Ok)
        ShowAppMessage(m_views.window, QMessageBox::Warning,
                       CodeText("任务文件无法保存: ", "The task file cannot be saved: ") + path + QStringLiteral(" (") +
                           QLatin1String(TaskFileStatusName(s)) + QStringLiteral(")"));
}
