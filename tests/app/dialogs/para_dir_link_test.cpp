// Guards the settings dialog's data-directory links against drawing a folder name that holds markup as HTML (an <img> would load a local file).
#include <QImage>
#include <QTemporaryDir>

#include "app/dialogs/DlgPara.h"
#include "tests/app/dialogs/DialogFixture.h"
#include "widgets/HyperLink.h"

namespace {

TEST_F(DialogTest, DataDirectoryWithMarkupIsShownAsWritten)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("lure.png");
    QImage lure(60, 60, QImage::Format_RGB32);
    lure.fill(QColor(0, 255, 0));
    ASSERT_TRUE(lure.save(png));
    const QString markup = dir.path() + QStringLiteral("/<img src=\"") + png + QStringLiteral("\">/");
    theSettings.DataDirMm = markup.toStdU16String();
    theSettings.DataDirMil = (dir.path() + QStringLiteral("/<b>bold</b>/")).toStdU16String();

    CDlgPara d;
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    for (int which : {1, 2}) {
        CHyperLink* link = d.DirLink(which);
        EXPECT_EQ(link->text(), QString::fromStdU16String(which == 1 ? theSettings.DataDirMm : theSettings.DataDirMil));
        EXPECT_EQ(link->textFormat(), Qt::PlainText);
        EXPECT_EQ(link->TargetUrl(), link->text());
    }
    const QImage shown = d.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int green = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) green += shown.pixelColor(x, y) == QColor(0, 255, 0);
    EXPECT_EQ(green, 0) << "the picture named in the folder name was drawn";
}

}  // namespace
