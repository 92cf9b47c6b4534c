// Guards scanner tests against a program folder, a clock or a faked lease refusal left over from the test before.
#pragma once
// A watched folder with its scanner on a clock of the test's own, markers of
// many curves, and writers that look like another account's.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "jobs/DataDirScan.h"
#include "import/FileBusy.h"
#include "tests/app/support/AppFixture.h"
#include "tests/support/DroppedCaps.h"

namespace scanfix {

using namespace appfix;
using testsupport::DroppedCaps;

// One separate printed line per row: a marker read in part has fewer curves.
inline std::string Lines(int first, int count)
{
    std::string s;
    for (int i = first; i < first + count; ++i)
        s += "PU" + std::to_string(i * 10) + ",0;PD" + std::to_string(i * 10) + ",1000;";
    return s;
}
inline std::string Marker(int lines) { return "IN;SP1;" + Lines(0, lines); }

constexpr int64_t kSecond = 1000000000;

// A watched folder and its scanner over a program folder of the test's own.
class FolderScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        theSettings.InitPathsFrom(FromUtf8(program.Path()));
        theSettings.EnsureFontFiles();
        theSettings.Set(Slot::AutoStart, 1);
        theSettings.Set(Slot::PaperLenMm, 2000);
        theSettings.Set(Slot::AutoRotate, 0);
        theSettings.Set(Slot::SearchOutline, 0);
        theSettings.Set(Slot::Language, 1);
    }
    // Written long ago, closed: whole (no "still being written" test holds it).
    void Put(const std::string& name, const std::string& text)
    {
        dir.Write(name, text);
        const struct utimbuf old {1000000000, 1000000000};
        ::utime(dir.File(name).c_str(), &old);
    }
    // What the job service does with an imported file once its job is in a
    // list on disk (here at once): held, then deleted. Returns the outcome;
    // the files that could not be deleted go to stuck.
    static ScanOutcome Handed(CDataDirScanner& s, ScanOutcome o, std::vector<std::u16string>* stuck = nullptr)
    {
        if (o.kind != ScanKind::Imported) return o;
        s.Hold(o.source, 1);
        std::vector<std::u16string> left = s.RemoveDurable([](KeepTicket) { return true; });
        if (stuck != nullptr) *stuck = std::move(left);
        return o;
    }
    static std::string Name(const ScanOutcome& o)
    {
        const std::string f = ToUtf8(o.file);
        return f.substr(f.rfind('/') + 1);
    }

    SettingsGuard guard;
    TempDir program, dir;
    CDataDirScanner scanner;
};

// The scanner on a clock of the test's own.
class ScanTest : public FolderScanTest {
protected:
    void SetUp() override
    {
        FolderScanTest::SetUp();
        theSettings.Set(Slot::DxfUnit, 40);
        scanner.nowNs = [this] { return clock; };
    }
    void TearDown() override { g_leaseProbe = ProbeReadLease; }

    // One scan, 1.6 s after the one before (the scan cycle of one folder).
    ScanOutcome Scan(bool mil = false)
    {
        clock += 16 * kSecond / 10;
        return Handed(scanner, scanner.ScanOnce(FromUtf8(dir.Path()), mil));
    }
    // Scans until something happens or the clock has gone on by ns.
    ScanOutcome ScanFor(int64_t ns)
    {
        const int64_t end = clock + ns;
        ScanOutcome o;
        while (o.kind == ScanKind::Nothing && clock < end) o = Scan();
        return o;
    }
    // Opens name for writing as a copy tool would (created, truncated).
    int Create(const std::string& name)
    {
        return ::open(dir.File(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    }
    static void Append(int fd, const std::string& bytes)
    {
        ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void Append(const std::string& name, const std::string& bytes)
    {
        const int fd = ::open(dir.File(name).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        Append(fd, bytes);
        ::close(fd);
    }
    // The lease the scanner would get on a file: the writers of this one are
    // not to be seen. As root the file is given to "nobody" and the lease
    // capability is dropped (the real refusal); otherwise the refusal is faked.
    void OfAnotherAccount(int fd)
    {
        if (::geteuid() == 0 && ::fchown(fd, 65534, 65534) == 0) {
            noLease = std::make_unique<DroppedCaps>(std::initializer_list<int>{CAP_LEASE});
            if (noLease->ok()) return;
        }
        g_leaseProbe = [](int) { return EACCES; };
    }

    int64_t clock = 1000 * kSecond;
    std::unique_ptr<DroppedCaps> noLease;
};

}  // namespace scanfix
