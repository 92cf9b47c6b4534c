// Guards: a hyperlink whose text and target disagree, that paints or opens wrongly, passes its click on, or fails without a beep and its code.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "widgets/HyperLink.h"

namespace {

// Counts the mouse events that reach it.
class Parent : public QWidget {
public:
    int mouseEvents = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++mouseEvents; }
    void mouseReleaseEvent(QMouseEvent*) override { ++mouseEvents; }
};

TEST(HyperLink, TargetAndTextFillEachOther)
{
    CHyperLink fromText(QStringLiteral("https://example.com/"));
    EXPECT_EQ(fromText.TargetUrl(), "https://example.com/");
    EXPECT_EQ(fromText.toolTip(), "https://example.com/");
    CHyperLink fromTarget;
    fromTarget.SetTargetUrl(QStringLiteral("/tmp/plots"));
    EXPECT_EQ(fromTarget.text(), "/tmp/plots");
    EXPECT_EQ(fromTarget.cursor().shape(), Qt::PointingHandCursor);
}

TEST(HyperLink, HoverPaintsRedAndUnderlines)
{
    CHyperLink link(QStringLiteral("/tmp"));
    EXPECT_EQ(link.CurrentColor(), QColor(0, 0, 238));
    EXPECT_FALSE(link.font().underline());
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&link, &enter);
    EXPECT_TRUE(link.IsHovered());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(link.font().underline());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&link, &leave);
    EXPECT_FALSE(link.font().underline());
    EXPECT_EQ(link.palette().color(QPalette::WindowText), QColor(0, 0, 238));

    link.SetUnderlineMode(CHyperLink::Always);
    EXPECT_TRUE(link.font().underline());
    link.SetUnderlineMode(CHyperLink::Never);
    QApplication::sendEvent(&link, &enter);
    EXPECT_FALSE(link.font().underline());
}

TEST(HyperLink, ClickOpensAndIsNotPassedOn)
{
    Parent parent;
    auto* link = new CHyperLink(QStringLiteral("https://example.com/"), &parent);
    QStringList opened;
    link->SetOpener([&](const QString& t) {
        opened << t;
        return CHyperLink::kSuccess;
    });
    parent.show();
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(opened, QStringList{"https://example.com/"});
    EXPECT_TRUE(link->IsVisited());
    EXPECT_EQ(parent.mouseEvents, 0);
}

TEST(HyperLink, FailuresBeepClearVisitedAndTellTheCode)
{
    const std::pair<int, const char*> cases[] = {
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {31, "There is no application associated\nwith the given filename extension."},
        {26, "A sharing violation occurred. "},
        {1, "Unknown Error (1) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const auto& [code, text] : cases) {
        CHyperLink link(QStringLiteral("x"));
        link.SetVisitedState(true);
        link.SetOpener([code = code](const QString&) { return code; });
        QStringList shown;
        link.SetFailureReporter([&](const QString& m) { shown << m; });
        link.OpenLink();
        EXPECT_FALSE(link.IsVisited());
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown[0], QStringLiteral("Unable to open hyperlink:\n\n") + QString::fromUtf8(text));
    }
}

TEST(LinkOpener, MapsLocalFailuresToCodes)
{
    QTemporaryDir dir;
    LinkOpener opener;
    QStringList urls;
    opener.openUrl = [&](const QUrl& u) {
        urls << u.toString();
        return true;
    };
    EXPECT_EQ(opener.Open(dir.filePath("missing.txt")), 2);
    EXPECT_EQ(opener.Open(dir.filePath("no/such/file.txt")), 3);
    EXPECT_EQ(opener.Open(dir.path()), CHyperLink::kSuccess);  // a folder as a local file URL
    EXPECT_EQ(opener.Open(QStringLiteral("https://example.com/a?b=c")), CHyperLink::kSuccess);
    EXPECT_EQ(urls, (QStringList{QUrl::fromLocalFile(dir.path()).toString(), "https://example.com/a?b=c"}));

    opener.openUrl = [](const QUrl&) { return false; };
    opener.webPageProgram = dir.filePath("no-such-program");
    EXPECT_EQ(opener.Open(QStringLiteral("https://example.com/")), 31);
}

TEST(LinkOpener, FallbackGetsTheTargetAsOneArgument)
{
    // A stand-in for xdg-open that writes its argument count and arguments.
    QTemporaryDir dir;
    const QString out = dir.filePath("args.txt");
    const QString script = dir.filePath("fake-open");
    {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + out + ".tmp' && mv '" + out + ".tmp' '" + out + "'\n")
                    .toUtf8());
    }
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    LinkOpener opener;
    opener.openUrl = [](const QUrl&) { return false; };
    opener.webPageProgram = script;
    const QString target = QStringLiteral("http://x/a b;touch %1|`id` $(id) 'q' \"d\" &").arg(dir.filePath("pwned"));
    EXPECT_EQ(opener.Open(target), CHyperLink::kSuccess);
    for (int i = 0; i < 250 && !QFile::exists(out); ++i) QThread::msleep(20);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), "1\n" + target + "\n");
    EXPECT_FALSE(QFile::exists(dir.filePath("pwned")));
}

}  // namespace
