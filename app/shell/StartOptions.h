#pragma once
// The command line: OrlatCenter [--program-dir DIR] [--machine-port N] [FILE]...,
// read before the application object exists, so --help, --version and a
// refused line need no display.
#include <optional>

#include <QString>
#include <QStringList>

struct StartOptions {
    QString programDir;              // empty: the executable's folder
    std::optional<int> machinePort;  // the machine's TCP port
    QString taskFile;                // at most one, opened into the job list at start
    QStringList plotFiles;           // markers added to the job list, in the order named
    bool help = false;
    bool version = false;
    QString error;                   // set when the line is not understood
};

// args without the program name. A file manager passes every file of a
// multi-select: markers in any number, one task file.
StartOptions ParseStartOptions(const QStringList& args);

// The files named, as absolute paths: the task file first (it replaces the
// list, so it must not replace the markers), then the markers.
QStringList NamedFiles(const StartOptions& options);
QString StartUsage();
// "OrlatCenter 2.10.11" and a newline.
QString StartVersion();

// An HP-GL or DXF marker by its name (.plt, .hpgl, .dxf in any case), as
// the desktop hands such files to the program; any other name is a task file.
bool IsPlotFileName(const QString& path);

// What the program does before any window: prints the help, the version or
// the reason a line is refused. The exit code (0 or 2), or -1 to go on.
int AnswerWithoutWindow(const StartOptions& options);

// argv as Qt would read it, without the program name; usable before the
// application object.
QStringList ArgumentsOf(int argc, char** argv);
