#pragma once
// Whether a folder the operator picked may become a watched data directory.
// The scanner deletes every file it reads there, so the program's own folder
// and the root are refused and a folder that holds files needs a yes first.
// The two data directories must be two folders, neither inside the other:
// one folder for both would take each file at whichever unit scanned it first.
#include <string>

enum class DataDirVerdict { Refused, AskFirst, Take };
enum class DataDirRefusal { None, Root, ProgramFolder, OtherDataDir };

struct DataDirChoice {
    DataDirVerdict verdict = DataDirVerdict::Refused;
    DataDirRefusal refusal = DataDirRefusal::Root;  // why, when Refused
    std::string path;  // the chosen folder with one trailing '/'
};

// chosen, programDir and otherDataDir (the other data directory, may be
// empty) are UTF-8 paths, compared as canonical paths, so another spelling
// or a symbolic link of a folder counts as that folder.
DataDirChoice CheckDataDir(const std::string& chosen, const std::string& programDir,
                           const std::string& otherDataDir = {});

// Whether a and b name one folder (the same inode, or the same canonical
// path when either cannot be looked at).
bool SameFolder(const std::string& a, const std::string& b);
// Whether a and b are one folder or one lies inside the other.
bool FoldersOverlap(const std::string& a, const std::string& b);

// True when the folder holds no entry that is not a folder (sub-folders do
// not count); a folder that cannot be listed counts as empty.
bool IsFolderEmpty(const std::string& folder);
