#pragma once
// Whether a folder the operator picked may become a watched data directory.
// The scanner deletes every file it reads there, so the program's own folder
// and the root are refused and a folder that holds files needs a yes first.
#include <string>

enum class DataDirVerdict { Refused, AskFirst, Take };

struct DataDirChoice {
    DataDirVerdict verdict = DataDirVerdict::Refused;
    std::string path;  // the chosen folder with one trailing '/'
};

// chosen and programDir are UTF-8 paths; the program folder is compared as a
// canonical path, so another spelling or a symbolic link of it is refused too.
DataDirChoice CheckDataDir(const std::string& chosen, const std::string& programDir);

// True when the folder holds no entry that is not a folder (sub-folders do
// not count); a folder that cannot be listed counts as empty.
bool IsFolderEmpty(const std::string& folder);
