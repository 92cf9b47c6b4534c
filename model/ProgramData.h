#pragma once
// The read-only files that ship with the program (stroke fonts, test plots,
// translations): beside the executable in a build tree, in
// <prefix>/share/orlatcenter/ once installed (the executable in <prefix>/bin/).
#include <string>
#include <string_view>

// The running executable's folder with a trailing '/', empty when unknown.
std::string ExecutableFolder();

// The installed data folder that belongs to an executable in exeFolder, with
// a trailing '/'; empty when there is none (a build tree, a copied program).
std::string InstalledDataFolder(const std::string& exeFolder);

// The first of exeFolder/name and the installed data folder's name that
// exists; empty when neither does.
std::string FindProgramData(const std::string& exeFolder, std::string_view name);
// Same, for the running executable.
std::string FindProgramData(std::string_view name);
