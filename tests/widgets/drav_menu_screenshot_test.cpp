// The drop-downs of menu 128 shown by the popup on a real X server (Xvfb):
// what reaches the screen equals the renderer's image, in Chinese and English,
// in the classic and the XP look, with images from a test toolbar.

#include "app/commands/CommandTable.h"

#include "widgets/DravMenuPopup.h"
#include "widgets/DravMenuTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTranslator>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

namespace {

constexpr const char* kChildEnv = "ORLAT_DRAV_MENU_SCREEN_CHILD";

QString OutputDir()
{
    return QStringLiteral(ORLAT_BINARY_DIR "/test-output/drav-menu");
}

// English texts of menu 128, as the English translation gives them.
class DravMenuEnglish : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        static const std::map<QString, QString> texts = {
            {"文件(&F)", "&File"},
            {"添加打印文件(plt,dxf)\t(&A)", "Add Plot File(plt,dxf)\t(&A)"},
            {"打开调机文件\t(&T)", "Open Test File\t(&T)"},
            {"打开保存的工作列表\t(&O)", "Open Saved Job List\t(&O)"},
            {"保存当前工作列表\t(&S)", "Save Job List\t(&S)"},
            {"当前列表导出为plt\t(&E)", "Export List as plt\t(&E)"},
            {"退出\t(&X)", "Exit\t(&X)"},
            {"简体中文\t(&C)", "Simplified Chinese\t(&C)"},
            {"设置(&S)", "&Settings"},
            {"连接方式", "Connection"},
            {"网线", "Ethernet"},
            {"参数\t(&P)", "Parameters\t(&P)"},
            {"绘图单位\t(&U)", "Plot Unit\t(&U)"},
            {"帮助(&H)", "&Help"},
            {"关于 OrlatCenter(&A)...", "&About OrlatCenter..."},
        };
        if (qstrcmp(context, "Menu") != 0)
            return {};
        const auto it = texts.find(QString::fromUtf8(source));
        return it == texts.end() ? QString() : it->second;
    }
    bool isEmpty() const override { return false; }
};

// An X server of our own on a free display, 24-bit screen.
class DravXvfb {
public:
    bool Start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            if (FILE* null = std::fopen("/dev/null", "w"))
                dup2(fileno(null), 2);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (pid_ < 0) {
            close(fds[0]);
            return false;
        }
        std::string line;
        pollfd p{fds[0], POLLIN, 0};
        while (line.find('\n') == std::string::npos && poll(&p, 1, 15000) > 0) {
            char buf[32];
            const ssize_t n = read(fds[0], buf, sizeof buf);
            if (n <= 0)
                break;
            line.append(buf, static_cast<size_t>(n));
        }
        close(fds[0]);
        if (line.empty() || line.find('\n') == std::string::npos)
            return false;
        // Built in place: g++ 12 at -O3 warns falsely (-Wrestrict) on ":" + substr.
        line.resize(line.find('\n'));
        line.insert(line.begin(), ':');
        display_ = std::move(line);
        return true;
    }
    ~DravXvfb()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// Runs this test program's child case under the display; its exit status.
int RunChild(const std::string& display)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv(kChildEnv, "1", 1);
        // The xcb platform's D-Bus client keeps memory to the end; our own code is
        // leak-checked by the offscreen tests.
        const char* asan = getenv("ASAN_OPTIONS");
        const std::string options = std::string(asan ? asan : "") + (asan && *asan ? ":" : "") + "detect_leaks=0";
        setenv("ASAN_OPTIONS", options.c_str(), 1);
        execl(self.c_str(), self.c_str(), "--gtest_filter=DravMenuScreenshot.Child", static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0)
        return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -2;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

int DistinctColours(const QImage& img)
{
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            colours.insert(img.pixel(x, y) & 0xFFFFFF);
    return static_cast<int>(colours.size());
}

// Pixels close to black (text ink) inside a rectangle.
int InkPixels(const QImage& img, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom() && y < img.height(); ++y)
        for (int x = area.left(); x <= area.right() && x < img.width(); ++x)
            n += qGray(img.pixel(x, y)) < 96;
    return n;
}

bool HasCjk(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF)
            return true;
    return false;
}

struct LookCase {
    const char* name;
    dravtest::Look look;
};

TEST(DravMenuScreenshot, PopupsOnXvfbMatchTheirRenderedImages)
{
    if (qEnvironmentVariableIsSet(kChildEnv))
        GTEST_SKIP() << "the child runs its own case";
    if (!QFile::exists(QStringLiteral("/usr/bin/Xvfb")))
        GTEST_SKIP() << "no Xvfb";
    QDir().mkpath(OutputDir());
    for (const QString& old : QDir(OutputDir()).entryList({QStringLiteral("*.png")}))
        QFile::remove(OutputDir() + '/' + old);
    DravXvfb xvfb;
    ASSERT_TRUE(xvfb.Start()) << "Xvfb did not start";
    ASSERT_EQ(RunChild(xvfb.Display()), 0) << "the child on " << xvfb.Display() << " failed";
    for (const char* lang : {"zh", "en"})
        for (const char* look : {"classic", "xp"}) {
            const QString path = QStringLiteral("%1/menu128-%2-%3.png").arg(OutputDir(), lang, look);
            const QImage shot(path);
            ASSERT_FALSE(shot.isNull()) << path.toStdString();
            EXPECT_GT(DistinctColours(shot), 8) << path.toStdString();
            EXPECT_GT(InkPixels(shot, shot.rect()), 500) << path.toStdString();
        }
}

// Under the X server: shows each drop-down of menu 128, grabs the screen and
// compares with the renderer's image.
TEST(DravMenuScreenshot, Child)
{
    if (!qEnvironmentVariableIsSet(kChildEnv))
        GTEST_SKIP() << "runs under the parent's X server";
    dravtest::EnsureApp();
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(screen->depth(), 24);

    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(14);
    ASSERT_TRUE(QFontInfo(font).family().startsWith(QStringLiteral("Noto Sans CJK")))
        << QFontInfo(font).family().toStdString();
    const QFontMetrics metrics(font);

    DravMenuEnglish english;
    for (const char* lang : {"zh", "en"}) {
        if (QString::fromLatin1(lang) == QStringLiteral("en")) {
            ASSERT_TRUE(QCoreApplication::installTranslator(&english));
        }
        for (const LookCase& lc : {LookCase{"classic", dravtest::Look::Classic}, LookCase{"xp", dravtest::Look::Xp}}) {
            MenuPlatformInputs in = dravtest::FixedInputs(lc.look);
            in.menuFont = font;
            in.dcDefaultFont = font;
            in.cyMenu = 22;
            DravMenuContext ctx(in);
            commandtable::RegisterProgramMenus(ctx.resources);
            // A test toolbar of menu-sized images in the program's button order.
            MenuToolbar bar;
            const auto buttons = commandtable::ToolbarButtons();
            bar.commands.assign(buttons.begin(), buttons.end());
            ctx.resources.executable.toolbars[commandtable::kToolbarId] = bar;
            ctx.resources.executable.bitmaps[commandtable::kToolbarId] = dravtest::MakeToolbarDib(5);
            DravMenu images(ctx);
            images.CreatePopupMenu();
            for (uint16_t id : buttons)
                if (id)
                    images.AppendItem(QString(), 0, id, commandtable::kToolbarId);

            DravMenu menu(ctx);
            ASSERT_EQ(menu.LoadMenu(commandtable::kMainMenuId), 1);
            MenuHandles& h = ctx.handles;
            h.CheckMenuItem(menu.Handle(), 3000, true);
            h.CheckMenuItem(menu.Handle(), 3201, true);
            h.SetRadioItem(menu.Handle(), 3201, true);
            h.EnableMenuItem(menu.Handle(), 57603, false);
            h.EnableMenuItem(menu.Handle(), 3003, false);

            std::vector<QImage> shots;
            for (int top = 0; top < h.GetMenuItemCount(menu.Handle()); ++top) {
                DravMenu* level = h.FromHandle(h.GetSubMenu(menu.Handle(), top));
                ASSERT_NE(level, nullptr);
                for (const auto& rec : level->MenuItems) {
                    const QString text = rec->GetText();
                    if (QString::fromLatin1(lang) == QStringLiteral("en")) {
                        EXPECT_FALSE(HasCjk(text)) << text.toStdString();
                    }
                    for (QChar c : text)
                        EXPECT_TRUE(c == '\t' || metrics.inFont(c)) << lang << ": U+" << std::hex << static_cast<unsigned>(c.unicode());
                }
                DravMenuPopup popup(*level);
                popup.SetSelectedPosition(0);
                popup.move(40, 40);
                popup.show();
                ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
                QImage grabbed;
                const QImage expected = popup.Render(popup.SelectedPosition());
                // The server may take a moment to show the last paint.
                for (int attempt = 0; attempt < 40; ++attempt) {
                    QCoreApplication::processEvents();
                    QTest::qWait(25);
                    const QRect g = popup.geometry();
                    grabbed = screen->grabWindow(0, g.x(), g.y(), g.width(), g.height())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
                    if (grabbed == expected)
                        break;
                }
                const QString name = QStringLiteral("%1/menu128-%2-%3-%4").arg(OutputDir(), lang, lc.name).arg(top);
                grabbed.save(name + QStringLiteral(".png"));
                if (grabbed != expected)
                    expected.save(name + QStringLiteral("-expected.png"));
                EXPECT_EQ(grabbed, expected) << name.toStdString();
                EXPECT_GT(DistinctColours(grabbed), 4) << name.toStdString();
                if (QString::fromLatin1(lang) == QStringLiteral("zh") && top == 0) {
                    // Glyph pixels in the label column of the first item, "添加打印文件".
                    const MenuRect r = popup.ItemRect(0);
                    EXPECT_GT(InkPixels(grabbed, QRect(30, r.top, 80, r.Height())), 40);
                }
                popup.close();
                shots.push_back(grabbed);
            }
            // All drop-downs side by side, for people to look at.
            int width = 10, height = 0;
            for (const QImage& s : shots) {
                width += s.width() + 10;
                height = std::max(height, s.height());
            }
            QImage sheet(width, height + 20, QImage::Format_RGB32);
            sheet.fill(QColor(0x40, 0x40, 0x40));
            QPainter p(&sheet);
            int x = 10;
            for (const QImage& s : shots) {
                p.drawImage(x, 10, s);
                x += s.width() + 10;
            }
            p.end();
            sheet.save(QStringLiteral("%1/menu128-%2-%3.png").arg(OutputDir(), lang, lc.name));
        }
    }
    QCoreApplication::removeTranslator(&english);
}

}  // namespace
