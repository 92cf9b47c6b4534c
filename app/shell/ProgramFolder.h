#pragma once
// The folder the program keeps its files in for this run (settings, last
// task, fonts, data folders), and why it is not the one asked for.
#include <functional>

#include <QString>

// How a folder is made and tested; tests replace it (root writes anywhere).
struct FolderProbe {
    std::function<int(const QString& dir)> make;       // 0, or the errno of the failure
    std::function<bool(const QString& dir)> writable;  // files can be made in it
    static FolderProbe System();
};

struct ProgramFolderChoice {
    enum class Problem {
        None,
        CannotMake,  // the folder asked for could not be made
        ReadOnly,    // it exists but nothing can be written in it
    };
    QString dir;  // the folder used, ending in '/'
    Problem problem = Problem::None;
    QString refused;             // the folder asked for, when not used as asked
    QString perUser;             // the folder tried instead
    int error = 0;               // errno of the failed make
    bool fallbackFailed = false; // the per-user folder could not be made either
    bool Saves() const { return !fallbackFailed; }
};

// asked is used when it can be made and written in; else the per-user
// folder. When that fails too, a read-only folder is still read (its
// settings count, nothing is saved); a folder that cannot be made leaves
// the defaults.
ProgramFolderChoice ChooseProgramFolder(const QString& asked, const QString& perUser, const FolderProbe& probe);
