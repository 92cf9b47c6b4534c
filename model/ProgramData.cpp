#include "model/ProgramData.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

// The data folder as seen from the executable's folder, as installed
// (GNUInstallDirs); a relocated prefix (a staging folder) keeps working.
#ifndef ORLAT_DATA_FROM_BIN
#define ORLAT_DATA_FROM_BIN "../share/orlatcenter"
#endif

std::string ExecutableFolder()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path()) return {};
    std::string dir = exe.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string InstalledDataFolder(const std::string& exeFolder)
{
    if (exeFolder.empty()) return {};
    const fs::path data = (fs::path(exeFolder) / ORLAT_DATA_FROM_BIN).lexically_normal();
    std::error_code ec;
    if (!fs::is_directory(data, ec)) return {};
    std::string dir = data.string();
    if (dir.back() != '/') dir += '/';
    return dir;
}

std::string FindProgramData(const std::string& exeFolder, std::string_view name)
{
    if (name.empty()) return {};
    std::error_code ec;
    if (!exeFolder.empty()) {
        const std::string beside = (fs::path(exeFolder) / name).string();
        if (fs::exists(beside, ec)) return beside;
    }
    const std::string data = InstalledDataFolder(exeFolder);
    if (!data.empty()) {
        const std::string installed = data + std::string(name);
        if (fs::exists(installed, ec)) return installed;
    }
    return {};
}

std::string FindProgramData(std::string_view name) { return FindProgramData(ExecutableFolder(), name); }
