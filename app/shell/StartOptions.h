#pragma once
// The command line: OrlatCenter [--program-dir DIR] [--machine-port N] [TASKFILE]
#include <optional>

#include <QString>
#include <QStringList>

struct StartOptions {
    QString programDir;              // empty: the executable's folder
    std::optional<int> machinePort;  // the machine's TCP port
    QString taskFile;                // opened into the job list at start
    bool help = false;
    QString error;                   // set when the line is not understood
};

// args without the program name.
StartOptions ParseStartOptions(const QStringList& args);
QString StartUsage();
