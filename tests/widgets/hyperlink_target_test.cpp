// Guards the hyperlink against showing its text or tip as HTML and against web addresses or unopenable targets failing instead of reaching the web-page opener.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QUrl>

#include "widgets/HyperLink.h"

namespace {

int CountColour(const QImage& img, QColor c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == c) ++n;
    return n;
}

// A folder whose name holds markup, with a bright picture the markup names.
TEST(HyperLinkPlainText, MarkupInAFolderNameIsShownAsWritten)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("lure.png");
    QImage lure(80, 80, QImage::Format_RGB32);
    lure.fill(QColor(0, 255, 0));
    ASSERT_TRUE(lure.save(png));
    const QString target = dir.path() + QStringLiteral("/<img src=\"") + png + QStringLiteral("\"><b>x</b>/");

    CHyperLink fromText(target);
    CHyperLink fromTarget;
    fromTarget.SetTargetUrl(target);
    for (CHyperLink* link : {&fromText, &fromTarget}) {
        EXPECT_EQ(link->text(), target);
        EXPECT_EQ(link->textFormat(), Qt::PlainText);
        link->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(link));
        const QImage shown = link->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(CountColour(shown, QColor(0, 255, 0)), 0) << "the picture was loaded";
        EXPECT_LT(link->sizeHint().height(), 80);
        EXPECT_GE(link->sizeHint().width(), link->fontMetrics().horizontalAdvance(target));

        // The tip, drawn as the tooltip draws it, spells the target out.
        QTextDocument tip;
        const QString t = link->toolTip();
        if (Qt::mightBeRichText(t)) tip.setHtml(t);
        else tip.setPlainText(t);
        EXPECT_EQ(tip.toPlainText(), target);
    }
    // A plain target is its own tip.
    EXPECT_EQ(LinkTipText(QStringLiteral("/data/PlotDirMm/")), QStringLiteral("/data/PlotDirMm/"));
}

// Records what the desktop and the web-page opener were asked to open.
struct Seams {
    bool desktopOpens = true;
    bool webPageStarts = true;
    QStringList desktop, webPage;
    LinkOpener Opener()
    {
        LinkOpener o;
        o.openUrl = [this](const QUrl& u) {
            desktop << u.toString();
            return desktopOpens;
        };
        o.openWebPage = [this](const QString& u) {
            webPage << u;
            return webPageStarts;
        };
        return o;
    }
};

TEST(LinkTargets, EachKindGoesWhereItCanOpen)
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString folderUrl = QUrl::fromLocalFile(folder).toString();
    const struct {
        const char* target;  // %D is the existing folder
        bool desktopOpens, webPageStarts;
        int result;
        QStringList desktop, webPage;
    } cases[] = {
        {"www.example.com/a?b=c", true, true, CHyperLink::kSuccess, {"http://www.example.com/a?b=c"}, {}},
        {"WWW.Example.COM", true, true, CHyperLink::kSuccess, {"http://www.example.com"}, {}},
        {"example.com.cn/download", true, true, CHyperLink::kSuccess, {"http://example.com.cn/download"}, {}},
        {"192.168.1.215:8080/status", true, true, CHyperLink::kSuccess, {"http://192.168.1.215:8080/status"}, {}},
        // The desktop cannot: the web-page opener, as the original's browser.
        {"www.example.com", false, true, CHyperLink::kSuccess, {"http://www.example.com"}, {"http://www.example.com"}},
        {"https://example.com/", false, true, CHyperLink::kSuccess, {"https://example.com/"}, {"https://example.com/"}},
        {"https://example.com/", false, false, 31, {"https://example.com/"}, {"https://example.com/"}},
        {"%D", true, true, CHyperLink::kSuccess, {"%U"}, {}},
        {"%D", false, true, CHyperLink::kSuccess, {"%U"}, {"%U"}},
        {"%D", false, false, 31, {"%U"}, {"%U"}},
        // Missing local targets fail at once with their own codes.
        {"%D/missing.txt", true, true, 2, {}, {}},
        {"%D/no/such/folder/", true, true, 3, {}, {}},
        {"/no/such/www.example.com/", true, true, 3, {}, {}},
        {"", true, true, 2, {}, {}},
        {"   ", true, true, 2, {}, {}},
    };
    for (const auto& c : cases) {
        const QString target = QString::fromUtf8(c.target).replace(QStringLiteral("%D"), folder);
        SCOPED_TRACE(target.toStdString() + (c.desktopOpens ? " desktop opens" : " desktop fails") +
                     (c.webPageStarts ? ", web page starts" : ", web page fails"));
        Seams seams;
        seams.desktopOpens = c.desktopOpens;
        seams.webPageStarts = c.webPageStarts;
        EXPECT_EQ(seams.Opener().Open(target), c.result);
        QStringList desktop = c.desktop, webPage = c.webPage;
        desktop.replaceInStrings(QStringLiteral("%U"), folderUrl);
        webPage.replaceInStrings(QStringLiteral("%U"), folderUrl);
        EXPECT_EQ(seams.desktop, desktop);
        EXPECT_EQ(seams.webPage, webPage);
    }
}

// A local folder that happens to look like a host name is the folder.
TEST(LinkTargets, AnExistingFolderWinsOverTheLookOfAHost)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("plots.com")));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(ClassifyLinkTarget(QStringLiteral("plots.com")), LinkKind::LocalPath);
    EXPECT_EQ(ClassifyLinkTarget(QStringLiteral("other.com")), LinkKind::WebAddress);
    EXPECT_EQ(ClassifyLinkTarget(QStringLiteral("PlotDirMm/")), LinkKind::LocalPath);
    EXPECT_EQ(ClassifyLinkTarget(QStringLiteral("mailto:a@b.c")), LinkKind::Url);
    EXPECT_EQ(ClassifyLinkTarget(QStringLiteral("file:///tmp")), LinkKind::LocalPath);
    ASSERT_TRUE(QDir::setCurrent(before));
}

// Through the widget: a click on a scheme-less address opens it as one and
// marks the link visited.
TEST(LinkTargets, ClickOnAWebAddressWithoutSchemeOpensIt)
{
    Seams seams;
    seams.desktopOpens = false;
    const LinkOpener opener = seams.Opener();
    CHyperLink link(QStringLiteral("www.example.com"));
    link.SetOpener([&](const QString& t) { return opener.Open(t); });
    QStringList reported;
    link.SetFailureReporter([&](const QString& m) { reported << m; });
    link.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&link));
    QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(link.IsVisited());
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_EQ(seams.webPage, QStringList{"http://www.example.com"});
}

}  // namespace
