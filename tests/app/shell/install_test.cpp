// Guards the installed program: every file where the desktop looks, validators and lintian agree, each part's licence travels with it, and a read-only install runs from share/ writing only per user.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "app/shell/OrlatCenterApp.h"
#include "model/Page.h"
#include "model/TaskFile.h"
#include "model/Text.h"
#include "tests/app/support/ProgramProcess.h"
#include "tests/app/support/Xvfb.h"

namespace fs = std::filesystem;

namespace {

#ifndef ORLAT_CMAKE_COMMAND
#define ORLAT_CMAKE_COMMAND "cmake"
#endif
#ifndef ORLAT_CPACK_COMMAND
#define ORLAT_CPACK_COMMAND "cpack"
#endif
#ifndef ORLAT_VERSION
#define ORLAT_VERSION "0"
#endif

const std::string kId = kDesktopFileName;

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool OnPath(const std::string& tool)
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string d; std::getline(dirs, d, ':');)
        if (!d.empty() && ::access((fs::path(d) / tool).c_str(), X_OK) == 0) return true;
    return false;
}

// A tool (a path, or a name on PATH) to its end; its status and what it
// printed on both streams.
int RunTool(const std::vector<std::string>& args, const fs::path& output, std::string* text)
{
    testsupport::Launch l;
    l.args.assign(args.begin() + 1, args.end());
    l.out = output;
    l.errWithOut = true;
    testsupport::ChildProcess tool;
    const int status = tool.Start(args[0], l) ? tool.Wait(120000) : -1;
    *text = ReadAll(output);
    return status;
}

// Waits until ready() holds, looking again at each change inside folders
// (inotify), at most timeoutMs.
bool WaitForChange(const std::vector<fs::path>& folders, const std::function<bool()>& ready, int timeoutMs)
{
    const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    for (const auto& f : folders)
        if (fd >= 0) ::inotify_add_watch(fd, f.c_str(), IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool ok = ready();
    while (!ok && std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        // A check at least every half second: a change may come from a
        // process that ended (its lock), not only from one folder.
        ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 500)));
        char buf[4096];
        while (fd >= 0 && ::read(fd, buf, sizeof buf) > 0) {
        }
        ok = ready();
    }
    if (fd >= 0) ::close(fd);
    return ok;
}

// Every path under root with its kind and size: what an install holds.
std::set<std::string> Tree(const fs::path& root)
{
    std::set<std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const bool dir = it->is_directory(ec);
        out.insert(fs::relative(it->path(), root).string() + (dir ? "/" : " " + std::to_string(it->file_size(ec))));
    }
    return out;
}

void MakeWritable(const fs::path& root)
{
    std::error_code ec;
    if (!fs::exists(root, ec)) return;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
}

// The build installed once into a staging prefix of its own.
class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        stage = fs::path(ORLAT_BINARY_DIR) / ("install_test_" + std::to_string(::getpid()));
        fs::remove_all(stage);
        fs::create_directories(stage);
        installStatus = RunTool({ORLAT_CMAKE_COMMAND, "--install", ORLAT_BINARY_DIR, "--prefix", (stage / "usr").string()},
                                stage / "install.log", &installLog);
    }
    static void TearDownTestSuite()
    {
        MakeWritable(stage);
        fs::remove_all(stage);
    }
    void SetUp() override
    {
        if (!fs::exists(fs::path(ORLAT_BINARY_DIR) / "app" / "OrlatCenter")) GTEST_SKIP() << "the program is not built";
        ASSERT_EQ(installStatus, 0) << installLog;
    }

    static fs::path Usr() { return stage / "usr"; }

    static inline fs::path stage;
    static inline int installStatus = -1;
    static inline std::string installLog;
};

TEST_F(Installed, TheTreeHoldsTheProgramItsDataAndTheDesktopFiles)
{
    const std::string files[] = {
        "bin/OrlatCenter",
        "share/orlatcenter/fon_en.bin",
        "share/orlatcenter/fon_hz.bin",
        "share/orlatcenter/OrlatCenter_en.qm",
        "share/orlatcenter/OrlatCenter_tr.qm",
        "share/orlatcenter/TestPlt/10x10.plt",
        "share/orlatcenter/TestPlt/50x50.plt",
        "share/applications/" + kId + ".desktop",
        "share/metainfo/" + kId + ".metainfo.xml",
        "share/icons/hicolor/scalable/apps/" + kId + ".svg",
        "share/doc/orlatcenter/copyright",
        "share/doc/orlatcenter/changelog.gz",
        "share/mime/packages/orlatcenter.xml",
        "share/man/man1/OrlatCenter.1.gz",
        "lib/udev/rules.d/60-orlat-cutter.rules",
    };
    for (const std::string& f : files) EXPECT_TRUE(fs::is_regular_file(Usr() / f)) << f;
    EXPECT_EQ(::access((Usr() / "bin/OrlatCenter").c_str(), X_OK), 0);
    // The icon at every usual size, each as large as its folder says.
    for (const int n : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string size = std::to_string(n) + "x" + std::to_string(n);
        const std::string png = ReadAll(Usr() / "share/icons/hicolor" / size / "apps" / (kId + ".png"));
        ASSERT_GE(png.size(), 24u) << size;
        auto be32 = [&](size_t at) {
            return (uint32_t(uint8_t(png[at])) << 24) | (uint32_t(uint8_t(png[at + 1])) << 16) |
                   (uint32_t(uint8_t(png[at + 2])) << 8) | uint32_t(uint8_t(png[at + 3]));
        };
        EXPECT_EQ(png.substr(12, 4), "IHDR") << size;
        EXPECT_EQ(be32(16), uint32_t(n)) << size;
        EXPECT_EQ(be32(20), uint32_t(n)) << size;
    }
    // Nothing the program writes comes with it.
    for (const char* f : {"OrlatV2.ini", "last2107.orlattask", "PlotDirMm", "PlotDirMil"}) {
        EXPECT_FALSE(fs::exists(Usr() / "bin" / f)) << f;
        EXPECT_FALSE(fs::exists(Usr() / "share/orlatcenter" / f)) << f;
    }
    // The fonts installed are the ones the program carries.
    EXPECT_EQ(ReadAll(Usr() / "share/orlatcenter/fon_hz.bin"),
              ReadAll(fs::path(ORLAT_TEST_DATA) / "../../resources/fonts/fon_hz.bin"));

    const std::string entry = ReadAll(Usr() / "share/applications" / (kId + ".desktop"));
    for (const char* line : {"\nExec=OrlatCenter %F\n", "\nIcon=org.orlat.OrlatCenter\n", "\nCategories=Graphics;Engineering;\n",
                             "\nComment=", "\nComment[zh_CN]=", "\nComment[tr]=", "\nStartupWMClass=OrlatCenter\n",
                             "\nMimeType=application/x-orlattask;application/vnd.hp-hpgl;image/vnd.dxf;\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;

    const std::string mime = ReadAll(Usr() / "share/mime/packages/orlatcenter.xml");
    EXPECT_NE(mime.find("<mime-type type=\"application/x-orlattask\">"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.orlattask\"/>"), std::string::npos);
    EXPECT_NE(mime.find("<glob pattern=\"*.plt\"/>"), std::string::npos);

    // The cutter for the user at the seat and the plugdev group, no one else.
    const std::string rule = ReadAll(Usr() / "lib/udev/rules.d/60-orlat-cutter.rules");
    for (const char* part : {"ATTR{idVendor}==\"a738\"", "ATTR{idProduct}==\"0505\"", "MODE=\"0660\"",
                             "GROUP=\"plugdev\"", "TAG+=\"uaccess\""})
        EXPECT_NE(rule.find(part), std::string::npos) << part;
    EXPECT_EQ(rule.find("0666"), std::string::npos);
}

TEST_F(Installed, DebiansValidatorsAcceptTheDesktopEntryAndTheMetainfo)
{
    std::vector<std::string> missing;
    std::string out;
    if (OnPath("desktop-file-validate")) {
        const fs::path entry = Usr() / "share/applications" / (kId + ".desktop");
        EXPECT_EQ(RunTool({"desktop-file-validate", entry.string()}, stage / "dfv.log", &out), 0) << out;
        EXPECT_EQ(out, "");  // hints too
    } else {
        missing.push_back("desktop-file-validate (desktop-file-utils)");
    }
    if (OnPath("appstreamcli")) {
        const fs::path info = Usr() / "share/metainfo" / (kId + ".metainfo.xml");
        EXPECT_EQ(RunTool({"appstreamcli", "validate", "--no-net", "--explain", info.string()}, stage / "as.log", &out), 0)
            << out;
    } else {
        missing.push_back("appstreamcli (appstream)");
    }
    if (OnPath("update-mime-database")) {
        // The database built from a copy: the task file and HP-GL by name.
        const fs::path db = stage / "mime";
        fs::create_directories(db / "packages");
        fs::copy_file("/usr/share/mime/packages/freedesktop.org.xml", db / "packages/freedesktop.org.xml");
        fs::copy_file(Usr() / "share/mime/packages/orlatcenter.xml", db / "packages/orlatcenter.xml");
        EXPECT_EQ(RunTool({"update-mime-database", db.string()}, stage / "mime.log", &out), 0) << out;
        const std::string globs = ReadAll(db / "globs2");
        EXPECT_NE(globs.find(":application/x-orlattask:*.orlattask"), std::string::npos);
        EXPECT_NE(globs.find(":application/vnd.hp-hpgl:*.plt"), std::string::npos);
        EXPECT_NE(globs.find(":image/vnd.dxf:*.dxf"), std::string::npos);
    } else {
        missing.push_back("update-mime-database (shared-mime-info)");
    }
    if (OnPath("groff")) {
        // The manual page formats without a warning.
        const fs::path page = stage / "OrlatCenter.1";
        ASSERT_EQ(RunTool({"gzip", "-dkf", (Usr() / "share/man/man1/OrlatCenter.1.gz").string()}, stage / "gz.log", &out), 0);
        fs::copy_file(Usr() / "share/man/man1/OrlatCenter.1", page, fs::copy_options::overwrite_existing);
        fs::remove(Usr() / "share/man/man1/OrlatCenter.1");
        EXPECT_EQ(RunTool({"groff", "-man", "-ww", "-z", "-Tutf8", page.string()}, stage / "groff.log", &out), 0) << out;
        EXPECT_EQ(out, "");
    } else {
        missing.push_back("groff (groff-base)");
    }
    if (!missing.empty()) {
        std::string list;
        for (const auto& m : missing) list += (list.empty() ? "" : ", ") + m;
        GTEST_SKIP() << "not installed (tools/deps.sh installs them): " << list;
    }
}

// The paragraphs of a machine-readable copyright file: each a map of its
// fields, a continued field's lines joined with '\n' (" ." an empty line).
std::vector<std::map<std::string, std::string>> Dep5(const std::string& text)
{
    std::vector<std::map<std::string, std::string>> out(1);
    std::string field;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) {
            if (!out.back().empty()) out.emplace_back();
            field.clear();
        } else if (line[0] == ' ' || line[0] == '\t') {
            if (!field.empty()) out.back()[field] += "\n" + (line == " ." ? std::string() : line.substr(1));
        } else if (const auto colon = line.find(':'); colon != std::string::npos) {
            field = line.substr(0, colon);
            const auto value = line.find_first_not_of(' ', colon + 1);
            out.back()[field] = value == std::string::npos ? "" : line.substr(value);
        }
    }
    if (out.back().empty()) out.pop_back();
    return out;
}

// The fenced blocks of a Markdown file, in order.
std::vector<std::string> Fenced(const std::string& md)
{
    std::vector<std::string> blocks;
    for (size_t at = md.find("```\n"); at != std::string::npos; at = md.find("```\n", at)) {
        const size_t end = md.find("```", at + 4);
        if (end == std::string::npos) break;
        blocks.push_back(md.substr(at + 4, end - at - 4));
        at = end + 3;
    }
    return blocks;
}

// Lines without the blanks at their ends, and no empty lines at the end:
// a licence as two files hold it.
std::string Trimmed(const std::string& text)
{
    std::string out, line;
    std::stringstream in(text);
    while (std::getline(in, line)) out += line.substr(0, line.find_last_not_of(" \t") + 1) + "\n";
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

TEST_F(Installed, EachPartsLicenceTravelsWithItAndTheChangelogNamesThisVersion)
{
    const auto paragraphs = Dep5(ReadAll(Usr() / "share/doc/orlatcenter/copyright"));
    ASSERT_FALSE(paragraphs.empty());
    EXPECT_EQ(paragraphs[0].count("Format") ? paragraphs[0].at("Format") : "",
              "https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/");
    // Every licence named in a Files stanza has its text.
    std::map<std::string, std::string> texts;
    for (const auto& p : paragraphs)
        if (!p.count("Files") && p.count("License")) {
            const std::string& l = p.at("License");
            const auto nl = l.find('\n');
            ASSERT_NE(nl, std::string::npos) << "no text for " << l;
            texts[l.substr(0, nl)] = l.substr(nl + 1);
        }
    std::map<std::string, std::string> licenceOf;  // Files pattern -> License
    for (const auto& p : paragraphs) {
        if (!p.count("Files")) continue;
        EXPECT_TRUE(p.count("Copyright") && !p.at("Copyright").empty()) << p.at("Files");
        ASSERT_TRUE(p.count("License")) << p.at("Files");
        licenceOf[p.at("Files")] = p.at("License");
        std::stringstream names(p.at("License"));
        for (std::string name; names >> name;) {
            if (name == "and" || name == "or") continue;
            EXPECT_TRUE(texts.count(name)) << name << " has no text";
        }
    }
    EXPECT_TRUE(licenceOf.count("*"));
    EXPECT_TRUE(licenceOf.count("resources/icons/*"));
    EXPECT_EQ(licenceOf["resources/fonts/fon_en.bin"], "Hershey");
    EXPECT_EQ(licenceOf["resources/fonts/fon_hz.bin"], "Arphic-1999 and Hershey");
    // The texts are those the fonts' sources gave: the Hershey notice and
    // the Arphic Public License, word for word.
    const auto fenced = Fenced(ReadAll(fs::path(ORLAT_TEST_DATA) / "../../resources/fonts/LICENSE.md"));
    ASSERT_EQ(fenced.size(), 2u);
    EXPECT_NE(Trimmed(texts["Hershey"]).find(Trimmed(fenced[0])), std::string::npos);
    EXPECT_EQ(Trimmed(texts["Arphic-1999"]), Trimmed(fenced[1]));

    std::string out;
    ASSERT_EQ(RunTool({"gzip", "-dc", (Usr() / "share/doc/orlatcenter/changelog.gz").string()}, stage / "changelog", &out), 0);
    EXPECT_EQ(out.rfind("orlatcenter (" ORLAT_VERSION ") ", 0), 0u) << "no changelog entry for this version:\n" << out;
    if (OnPath("dpkg-parsechangelog")) {
        EXPECT_EQ(RunTool({"dpkg-parsechangelog", "-l", (stage / "changelog").string(), "-S", "Version"},
                          stage / "parsed", &out), 0) << out;
        EXPECT_EQ(out, ORLAT_VERSION "\n");
    }
}

// The package of this build, as a Debian packager checks it.
TEST_F(Installed, LintianFindsNoErrorOrWarningInThePackage)
{
    if (!OnPath("lintian") || !OnPath("dpkg-shlibdeps")) GTEST_SKIP() << "lintian and dpkg-dev are not installed (tools/deps.sh installs them)";
    if (ReadAll(fs::path(ORLAT_BINARY_DIR) / "CPackConfig.cmake").find("set(CPACK_PACKAGE_CONTACT \"\")") != std::string::npos)
        GTEST_SKIP() << "no package maintainer known: set DEBFULLNAME and DEBEMAIL and configure again";
    const fs::path out = stage / "package";
    std::string log;
    ASSERT_EQ(RunTool({ORLAT_CPACK_COMMAND, "--config", (fs::path(ORLAT_BINARY_DIR) / "CPackConfig.cmake").string(), "-G",
                       "DEB", "-B", out.string()}, stage / "cpack.log", &log), 0) << log;
    fs::path deb;
    for (const auto& e : fs::directory_iterator(out))
        if (e.path().extension() == ".deb") deb = e.path();
    ASSERT_EQ(deb.filename().string().rfind("orlatcenter_" ORLAT_VERSION "_", 0), 0u) << log;
    const int status = RunTool({"lintian", "--fail-on", "error,warning", deb.string()}, stage / "lintian.log", &log);
    std::string tags;
    std::stringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("E: ", 0) == 0 || line.rfind("W: ", 0) == 0) tags += line + "\n";
    EXPECT_EQ(tags, "");
    EXPECT_EQ(status, 0) << log;
}

// The installed program, its whole prefix read-only, started as a user whose
// settings ask for English, on a private X server.
TEST_F(Installed, TheInstalledProgramRunsFromShareAndWritesOnlyInTheUsersFolder)
{
    XvfbServer x;
    if (!x.Running()) GTEST_SKIP() << "no X server: " << x.Error();

    const fs::path home = stage / "home", data = stage / "data", rt = stage / "rt";
    const fs::path user = data / "OrlatCenter";
    fs::create_directories(user / "PlotDirMm");
    fs::create_directories(home);
    fs::create_directories(rt);
    ::chmod(rt.c_str(), 0700);
    std::ofstream(user / "OrlatV2.ini", std::ios::binary) << "[Para]\nLanguage=1\nAutoStart=0\n";
    // A marker of one label: drawn only through the stroke fonts.
    std::ofstream(user / "PlotDirMm" / "label.plt", std::ios::binary) << "IN;SP1;PU0,0;SI0.5,0.5;LBAB12\x03;";

    const fs::path prefix = Usr();
    for (auto it = fs::recursive_directory_iterator(prefix); it != fs::recursive_directory_iterator(); ++it)
        if (it->is_directory()) fs::permissions(it->path(), fs::perms::owner_write | fs::perms::group_write |
                                                                 fs::perms::others_write, fs::perm_options::remove);
    fs::permissions(prefix, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const std::set<std::string> before = Tree(prefix);

    testsupport::Launch run;
    run.unset = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "HOME", "XDG_*"};
    run.set = {"HOME=" + home.string(),
               "XDG_DATA_HOME=" + data.string(),
               "XDG_RUNTIME_DIR=" + rt.string(),
               "DISPLAY=" + x.Display(),
               "QT_QPA_PLATFORM=xcb",
               "LSAN_OPTIONS=print_suppressions=0:suppressions=" +
                   (fs::path(ORLAT_TEST_DATA) / "../app/support/lsan.supp").lexically_normal().string()};
    run.out = stage / "program.log";
    run.errWithOut = true;
    // From another folder: nothing may depend on the working folder.
    testsupport::ChildProcess program;  // killed and reaped when the test ends early
    ASSERT_TRUE(program.Start(prefix / "bin/OrlatCenter", run)) << program.Error();

    // The marker taken in (the watched folder emptied) means the window is
    // up and the fonts were read.
    const bool imported = WaitForChange({user / "PlotDirMm"}, [&] {
        return !fs::exists(user / "PlotDirMm" / "label.plt") || program.Wait(0) != -1 || !program.Running();
    }, 60000);
    ASSERT_TRUE(imported && program.Running()) << ReadAll(stage / "program.log");
    EXPECT_FALSE(fs::exists(user / "PlotDirMm" / "Rejected")) << "the label was refused";

    // English from the installed translation, held mapped while it is used.
    const std::string maps = ReadAll("/proc/" + std::to_string(program.Pid()) + "/maps");
    EXPECT_NE(maps.find((prefix / "share/orlatcenter/OrlatCenter_en.qm").string()), std::string::npos) << maps;
    // The window carries the class the desktop entry names.
    if (OnPath("xwininfo")) {
        // The server may not have drawn the window yet: asked until it has.
        const std::string window = "\"OrlatCenterII\": (\"OrlatCenter\" \"OrlatCenter\")";
        std::string tree;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            RunTool({"xwininfo", "-display", x.Display(), "-root", "-tree"}, stage / "xwininfo.log", &tree);
            if (tree.find(window) != std::string::npos || std::chrono::steady_clock::now() > end) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        EXPECT_NE(tree.find(window), std::string::npos) << tree;
    }

    // As a logout closes it.
    EXPECT_EQ(program.Signal(SIGTERM, 60000), 0) << ReadAll(stage / "program.log");

    // The install is as it was; the user's folder got the settings and the
    // job list, and no copy of the fonts.
    EXPECT_EQ(Tree(prefix), before);
    EXPECT_FALSE(fs::exists(user / "fon_en.bin"));
    EXPECT_FALSE(fs::exists(user / "fon_hz.bin"));
    EXPECT_FALSE(fs::exists(home / ".local"));
    const std::string ini = ReadAll(user / "OrlatV2.ini");
    EXPECT_NE(ini.find("DataDirMm=" + user.string() + "/PlotDirMm/"), std::string::npos) << ini;
    EXPECT_NE(ini.find("Language=1"), std::string::npos) << ini;
    std::vector<std::unique_ptr<COnePage>> pages;
    ASSERT_EQ(LoadTaskFile(FromUtf8((user / "last2107.orlattask").string()), pages), TaskFileStatus::Ok);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_FALSE(pages[0]->m_curves.empty()) << "the label drew no strokes";
}

}  // namespace
