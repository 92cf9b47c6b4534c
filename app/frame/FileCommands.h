#pragma once
// The File menu's commands: adding a print file (HP-GL or DXF) by hand, the
// test files, the export of the list as HP-GL, opening and saving a task
// file. They work on the document, ask through the frame's questions and
// show their work through the frame's views.
#include <QString>

class CAskedJobs;
class COrlatCenterDoc;
class CJobService;
struct FrameAsks;
struct FrameViews;

class CFileCommands {
public:
    CFileCommands(CJobService& service, const FrameAsks& asks, const FrameViews& views);

    void OnAddPrintFile();                   // add print file
    void AddPrintFile(const QString& path);  // the chosen file
    void ImportPltFile(const QString& path);
    void ImportDxfFile(const QString& path);
    void OnTestPlt(int index);               // test file index: 10x10 .. 50x50
    void OnExportListAsPlt();
    void OnOpenTaskFile();
    void OpenTaskFile(const QString& path);  // a task file the desktop handed over, as the open command opens it
    void OnSaveTaskFile();

    // The add-file dialog's filters: "All file" matches every name, the
    // others their extension in any case.
    static QString AddFileFilters();
    // Where a test file is: ProgramDir/TestPlt/, TestPlt/ beside the program
    // or in the installed data folder.
    static QString TestFilePath(int index);
    static constexpr int kTestFileCount = 5;

private:
    CJobService& m_service;
    void OpenTaskFileAsked(const CAskedJobs& asked, const QString& path);

    COrlatCenterDoc& m_doc;
    const FrameAsks& m_asks;
    const FrameViews& m_views;
};
