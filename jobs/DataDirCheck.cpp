#include "jobs/DataDirCheck.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
fs::path Canonical(const std::string& p)
{
    std::error_code ec;
    fs::path c = fs::weakly_canonical(fs::path(p), ec);
    if (ec) c = fs::path(p).lexically_normal();
    // "/a/b/" and "/a/b" are the same folder.
    if (c.has_relative_path() && !c.has_filename()) c = c.parent_path();
    return c;
}
}  // namespace

bool IsFolderEmpty(const std::string& folder)
{
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
    if (ec) return true;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) return true;
        std::error_code typeError;
        if (!it->is_directory(typeError)) return false;
    }
    return true;
}

DataDirChoice CheckDataDir(const std::string& chosen, const std::string& programDir)
{
    DataDirChoice c;
    c.path = chosen;
    if (c.path.empty() || c.path.back() != '/') c.path += '/';
    if (chosen.empty()) return c;
    const fs::path canon = Canonical(chosen);
    if (canon == canon.root_path()) return c;  // "/" or what resolves to it
    if (!programDir.empty() && canon == Canonical(programDir)) return c;
    c.verdict = IsFolderEmpty(c.path) ? DataDirVerdict::Take : DataDirVerdict::AskFirst;
    return c;
}
