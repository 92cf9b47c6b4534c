// Guards the files written in one step (settings, HP-GL export, task files)
// against a power cut: a file renamed into place before it was synced can
// come back empty, and a rename whose folder was never synced can come back
// as the old version or as no file at all.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "model/FolderSync.h"
#include "model/ProfileFile.h"
#include "model/TaskFile.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// What reached the system, in order: "sync <path>" and "rename <from> <to>".
// Written by whichever thread syncs or renames, read by the test; under g_seenLock.
std::mutex g_seenLock;
std::vector<std::string> g_seen;

void Seen(std::string what)
{
    std::lock_guard<std::mutex> lock(g_seenLock);
    g_seen.push_back(std::move(what));
}

std::string PathOf(int fd)
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), buf, sizeof buf);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : "?";
}

template <class F>
F Next(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

// The code under test is linked into this program, so its calls come here
// first; each is passed on to the system's own.
extern "C" int fsync(int fd)
{
    Seen("sync " + PathOf(fd));
    static const auto real = Next<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    Seen(std::string("rename ") + from + " " + to);
    static const auto real = Next<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

namespace {

class DurableWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::lock_guard<std::mutex> lock(g_seenLock);
        g_seen.clear();
    }
    std::vector<std::string> Seen() const
    {
        std::lock_guard<std::mutex> lock(g_seenLock);
        return g_seen;
    }
    // The temporary file synced, renamed onto target, then the folder synced.
    void ExpectSyncedInOrder(const fs::path& target) const
    {
        const std::vector<std::string> seen = Seen();
        ASSERT_EQ(seen.size(), 3u) << ::testing::PrintToString(seen);
        const std::string folder = target.parent_path().string();
        const std::string temp = seen[0].substr(5);
        EXPECT_EQ(seen[0].rfind("sync " + folder + "/" + target.filename().string(), 0), 0u) << seen[0];
        EXPECT_EQ(seen[1], "rename " + temp + " " + target.string());
        EXPECT_EQ(seen[2], "sync " + folder);
    }
    static std::string Slurp(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    testsupport::TempFolder folder{"orlat_durable_"};
    const fs::path dir = fs::canonical(folder.path());  // as the system names it back
};

}  // namespace

TEST_F(DurableWrite, TheSettingsAndTheExportAreSyncedThenRenamedThenTheirFolderSynced)
{
    const fs::path target = dir / "OrlatV2.ini";
    const std::string text(3 << 20, 'x');  // more than one write may take
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target.string(), text, &error)) << error;
    ExpectSyncedInOrder(target);
    EXPECT_EQ(Slurp(target), text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

TEST_F(DurableWrite, ATaskFileIsSyncedThenRenamedThenItsFolderSynced)
{
    const fs::path target = dir / "jobs.orlattask";
    const std::vector<uint8_t> bytes(70000, 0x5A);
    int error = -1;
    ASSERT_EQ(WriteTaskBytes(target.string(), bytes, &error), TaskFileStatus::Ok);
    EXPECT_EQ(error, 0);
    ExpectSyncedInOrder(target);
    EXPECT_EQ(Slurp(target), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);

    // A folder that is gone: nothing renamed, and the reason comes back.
    EXPECT_EQ(WriteTaskBytes((folder.path() / "gone" / "x").string(), bytes, &error), TaskFileStatus::WriteFailed);
    EXPECT_EQ(error, ENOENT);
}

TEST_F(DurableWrite, TheFolderOfAPath)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b/c.ini", "/a/b"}, {"/c.ini", "/"}, {"c.ini", "."}, {"a/c.ini", "a"}, {"/a/b/", "/a/b"},
    };
    for (const auto& [path, want] : cases) EXPECT_EQ(FolderOf(path), want) << path;
    EXPECT_EQ(SyncFolderOf((folder.path() / "x").string()), 0);
    EXPECT_EQ(SyncFolderOf((folder.path() / "gone" / "x").string()), ENOENT);
    folder.Write("file", "");
    EXPECT_EQ(SyncFolderOf((folder.path() / "file" / "x").string()), ENOTDIR);
}
