#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "model/ProgramData.h"
#include "model/Settings.h"
#include "model/Text.h"

namespace fs = std::filesystem;

namespace {

const char16_t kMmFolder[] = u"PlotDirMm/";
const char16_t kMilFolder[] = u"PlotDirMil/";

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && home[0]) return home;
    struct passwd pw {};
    struct passwd* found = nullptr;
    char buf[4096];
    if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir) return found->pw_dir;
    return "/tmp";
}

// Strips one trailing '/' for the existence test, as the folder is named.
std::string ProbePath(const std::u16string& dir)
{
    std::u16string probe = dir;
    if (!probe.empty() && probe.back() == u'/') probe.pop_back();
    return ToUtf8(probe);
}

// Same directory by identity, not by spelling ("//", "/./", links).
bool SameDirectory(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (fs::equivalent(a, b, ec)) return true;
    if (!ec) return false;
    const fs::path ca = fs::weakly_canonical(a, ec);
    if (ec) return false;
    const fs::path cb = fs::weakly_canonical(b, ec);
    if (ec) return false;
    return ca == cb;
}

void EnsureDataDir(std::u16string& dir, const std::u16string& programDir, const char16_t* folder)
{
    if (dir.empty()) dir = programDir + folder;
    std::error_code ec;
    const std::string probe = ProbePath(dir);
    // The scanner deletes every plot file it reads: the setting is kept only
    // when it names an existing directory other than the program's own.
    if (dir.size() > 2 && fs::is_directory(probe, ec) && !SameDirectory(probe, ToUtf8(programDir))) return;
    dir = programDir + folder;
    const std::string fallback = ProbePath(dir);
    if (!fs::exists(fallback, ec)) fs::create_directory(fallback, ec);  // a failure leaves an empty scan
}

}  // namespace

std::u16string CSettings::UserDataProgramDir()
{
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {  // a relative value is to be ignored
        base = xdg;
    } else {
        base = HomeFolder() + "/.local/share";
    }
    if (base.back() != '/') base += '/';
    return FromUtf8(base + "OrlatCenter/");
}

std::u16string CSettings::ChooseProgramDir(const std::string& exeFolder)
{
    // An installed program (its data folder beside bin/) keeps the job list,
    // settings and data folders per user, even when root runs it from a
    // writable /usr/bin; so does one whose folder is read-only.
    if (!exeFolder.empty() && InstalledDataFolder(exeFolder).empty() && ::access(exeFolder.c_str(), W_OK) == 0)
        return FromUtf8(exeFolder);
    const std::u16string dir = UserDataProgramDir();
    std::error_code ec;
    fs::create_directories(ToUtf8(dir), ec);
    return dir;
}

void CSettings::InitPaths()
{
    const std::string exe = ExecutableFolder();
    InitPathsFrom(ChooseProgramDir(exe), exe);
}

void CSettings::InitPathsFrom(const std::u16string& programDir) { InitPathsFrom(programDir, ExecutableFolder()); }

void CSettings::InitPathsFrom(const std::u16string& programDir, const std::string& exeFolder)
{
    std::u16string dir = programDir;
    if (dir.empty() || dir.back() != u'/') dir += u'/';
    // A font of the user's own in the program folder counts first; else the
    // one shipped with the program; else the program folder's, written from
    // the embedded copy when needed.
    auto font = [&](const char16_t* name) {
        const std::u16string own = dir + name;
        std::error_code ec;
        if (fs::symlink_status(ToUtf8(own), ec).type() != fs::file_type::not_found) return own;
        const std::string shipped = FindProgramData(exeFolder, ToUtf8(name));
        return shipped.empty() ? own : FromUtf8(shipped);
    };
    SetPath(Slot::ProgramDir, dir);
    SetPath(Slot::LastTaskPath, dir + u"last2107.orlattask");
    SetPath(Slot::FontHzPath, font(u"fon_hz.bin"));
    SetPath(Slot::FontEnPath, font(u"fon_en.bin"));
}

void CSettings::EnsureDataDirs()
{
    const std::u16string& programDir = Path(Slot::ProgramDir);
    EnsureDataDir(DataDirMm, programDir, kMmFolder);
    EnsureDataDir(DataDirMil, programDir, kMilFolder);
}
