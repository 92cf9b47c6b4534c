#pragma once
// Pictures of the parameter dialogs on the desktop: a 16-bit BMP (named
// ".jpg", as operators have always found them) of the dialog's frame.
#include <QDateTime>
#include <QRect>
#include <QString>

class QWidget;

enum class ScreenshotKind { Para, ProtectPara };

// "Para2026-12-10 09h05m03s.jpg" (language non-zero) or
// "参数2026年12月10日09时05分03秒.jpg"; the advanced dialog's likewise.
QString ScreenshotFileName(ScreenshotKind kind, int language, const QDateTime& when);

// Captures rect of the screen (the whole screen when rect is null) into a
// 16 bpp BMP at path. Where the platform gives no pixels (Wayland), fallback
// is grabbed instead. On a create or write failure: "Create File Error!"
// (caption "提示"), false, and no file.
bool SaveScreenToBmp(const QString& path, int bitsPerPixel, const QRect* rect, QWidget* fallback);

// The screenshot button: after 500 ms (so the button has repainted), the
// dialog's frame goes to the desktop and the operator is told where. A dialog
// closed meanwhile takes no picture.
void ScheduleScreenshot(QWidget* dialog, ScreenshotKind kind, int delayMs = 500);
// The capture itself, without the wait.
bool TakeScreenshot(QWidget* dialog, ScreenshotKind kind);
