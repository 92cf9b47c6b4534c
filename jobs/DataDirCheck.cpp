#include "jobs/DataDirCheck.h"

#include <sys/stat.h>

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

// Whether inner is outer or lies below it, by whole names.
bool Within(const fs::path& inner, const fs::path& outer)
{
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i)
        if (i == inner.end() || *i != *o) return false;
    return true;
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

bool SameFolder(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty()) return false;
    struct stat sa {}, sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return Canonical(a) == Canonical(b);
}

bool FoldersOverlap(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty()) return false;
    if (SameFolder(a, b)) return true;
    const fs::path ca = Canonical(a), cb = Canonical(b);
    return Within(ca, cb) || Within(cb, ca);
}

DataDirChoice CheckDataDir(const std::string& chosen, const std::string& programDir, const std::string& otherDataDir)
{
    DataDirChoice c;
    c.path = chosen;
    if (c.path.empty() || c.path.back() != '/') c.path += '/';
    if (chosen.empty()) return c;
    const fs::path canon = Canonical(chosen);
    if (canon == canon.root_path()) return c;  // "/" or what resolves to it
    if (!programDir.empty() && canon == Canonical(programDir)) {
        c.refusal = DataDirRefusal::ProgramFolder;
        return c;
    }
    if (FoldersOverlap(chosen, otherDataDir)) {
        c.refusal = DataDirRefusal::OtherDataDir;
        return c;
    }
    c.refusal = DataDirRefusal::None;
    c.verdict = IsFolderEmpty(c.path) ? DataDirVerdict::Take : DataDirVerdict::AskFirst;
    return c;
}
