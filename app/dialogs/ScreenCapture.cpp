#include "app/dialogs/ScreenCapture.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "app/dialogs/BmpWriter.h"
#include "app/text/CodeText.h"
#include "app/dialogs/DialogHooks.h"
#include "model/Settings.h"

QString ScreenshotFileName(ScreenshotKind kind, int language, const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    const bool para = kind == ScreenshotKind::Para;
    QString name;
    if (language != 0) {
        name = QString::asprintf("%s%04d-%02d-%02d %02dh%02dm%02ds.jpg", para ? "Para" : "ProtectPara", d.year(),
                                 d.month(), d.day(), t.hour(), t.minute(), t.second());
    } else {
        name = QString::fromUtf8(para ? "参数" : "高级参数") +
               QString::asprintf("%d", d.year()) + QString::fromUtf8("年") +
               QString::asprintf("%02d", d.month()) + QString::fromUtf8("月") +
               QString::asprintf("%02d", d.day()) + QString::fromUtf8("日") +
               QString::asprintf("%02d", t.hour()) + QString::fromUtf8("时") +
               QString::asprintf("%02d", t.minute()) + QString::fromUtf8("分") +
               QString::asprintf("%02d", t.second()) + QString::fromUtf8("秒.jpg");
    }
    return name;
}

namespace {
QPixmap GrabScreen(const QRect* rect, QWidget* fallback)
{
    QScreen* screen = fallback && fallback->screen() ? fallback->screen() : QGuiApplication::primaryScreen();
    QPixmap pix;
    if (screen) {
        if (rect) {
            // grabWindow(0) takes coordinates relative to the screen's own origin.
            const QRect g = screen->geometry();
            pix = screen->grabWindow(0, rect->x() - g.x(), rect->y() - g.y(), rect->width(), rect->height());
        } else {
            pix = screen->grabWindow(0);
        }
    }
    if (pix.isNull() && fallback) pix = fallback->grab();
    return pix;
}

void CreateFileError(QWidget* parent)
{
    TheDialogHooks().messageBox(parent, QString::fromUtf8("提示"), QStringLiteral("Create File Error!"),
                                QMessageBox::Warning, QMessageBox::Ok);
}
}  // namespace

bool SaveScreenToBmp(const QString& path, int bitsPerPixel, const QRect* rect, QWidget* fallback)
{
    if (bitsPerPixel != 16) return false;  // the only depth the program writes
    const QPixmap pix = GrabScreen(rect, fallback);
    if (pix.isNull()) {
        CreateFileError(fallback);
        return false;
    }
    const QImage image = pix.toImage().convertToFormat(QImage::Format_RGB32);
    BmpSource src;
    src.width = image.width();
    src.height = image.height();
    src.rowStride = static_cast<int32_t>(image.bytesPerLine() / 4);
    src.pixels = reinterpret_cast<const uint32_t*>(image.constBits());
    const auto bytes = EncodeBmp16(src);
    if (!bytes || !WriteFileWhole(QFile::encodeName(path).toStdString(), *bytes)) {
        CreateFileError(fallback);
        return false;
    }
    return true;
}

bool TakeScreenshot(QWidget* dialog, ScreenshotKind kind)
{
    const int language = theSettings.Get(Slot::Language);
    QString desktop = TheDialogHooks().desktopDir();
    if (!desktop.isEmpty()) QDir().mkpath(desktop);
    const QString path =
        QDir(desktop).filePath(ScreenshotFileName(kind, language, TheDialogHooks().now()));
    const QRect frame = dialog->frameGeometry();
    if (!SaveScreenToBmp(path, 16, &frame, dialog)) return false;
    const QString said = CodeText("截图成功保存到", "Capture save to ");
    TheDialogHooks().messageBox(dialog, QStringLiteral("Note"), said + QDir::toNativeSeparators(path),
                                QMessageBox::Information, QMessageBox::Ok);
    return true;
}

void ScheduleScreenshot(QWidget* dialog, ScreenshotKind kind, int delayMs)
{
    QPointer<QWidget> target(dialog);
    QTimer::singleShot(delayMs, dialog, [target, kind] {
        if (!target || !target->isVisible()) return;
        try {
            TakeScreenshot(target, kind);
        } catch (...) {
            // A failed picture must not take the dialog down.
        }
    });
}
