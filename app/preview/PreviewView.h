#pragma once
// The preview: the lower pane of the main window, showing one job of the
// document (the current page) over a black area with paper outline and grid.
//
// For the frame:
// - construct with the document; SetCurrentPage shows a job (fit and redraw);
// - RedrawBuffered after any change to the shown job or the view state;
// - DrawBandOverlay on every band sent while the machine plots: outlines the
//   band on the Printing job when it is the one shown, until the next redraw;
// - OnZoomIn / OnZoomOut / OnFitToScreen are the frame's commands 312, 313, 314;
// - connect cursorMoved to ShowCursorPos (plot units);
// - connect jobListChanged to the list's RefreshJobList (rotation, split,
//   move, deleting curves: the size column changes).
// With an empty job list the picture is the black ground alone.
// While the preview has focus it takes the arrows (333-336), Ctrl+1 and
// Ctrl+2 (1003, 1004) and Delete, ahead of any window shortcut for those
// keys; Page Up / Page Down stay the frame's.
// The scale is kept within kMinScale..kMaxScale pixels per plot unit.
// Number dialog, messages and popup menu are injectable for tests.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "app/preview/PreviewMouse.h"

class COrlatCenterDoc;
class COnePage;
class QMenu;

class COrlatCenterView : public QWidget {
    Q_OBJECT
public:
    using AskNumber = std::function<std::optional<double>(QWidget* parent, const QString& prompt, double value)>;
    using ShowMessage = std::function<void(QWidget* parent, const QString& text)>;
    using RunMenu = std::function<int(QMenu& menu, const QPoint& globalPos)>;

    explicit COrlatCenterView(COrlatCenterDoc& doc, QWidget* parent = nullptr);
    ~COrlatCenterView() override;

    void SetAskNumber(AskNumber f) { m_askNumber = std::move(f); }
    void SetShowMessage(ShowMessage f) { m_showMessage = std::move(f); }
    void SetRunMenu(RunMenu f) { m_runMenu = std::move(f); }

    // Shows job index (negative or beyond the end: 0), fitted; with no job
    // the empty picture.
    void SetCurrentPage(int index);
    int CurrentPage() const { return m_nCurPage; }
    // Fits the paper width to the view height; no redraw.
    void FitToWindow();
    // Renders the whole picture; drops the band overlay.
    void RedrawBuffered();
    void DrawBandOverlay();

    // The frame's fit and zoom commands, each with its redraw.
    void OnFitToScreen();
    void OnZoomIn();
    void OnZoomOut();

    // Menu 151's commands and the pans: 1003-1011, 3200, 333-336.
    void OnCommand(int id);

    // The last rendered picture (tests, screenshots).
    const QImage& Picture() const { return m_image; }
    // Band outlines drawn since the last redraw, in view pixels.
    const std::vector<QRect>& BandOverlay() const { return m_overlay; }

signals:
    // The mouse is over plot point (x, y).
    void cursorMoved(int x, int y);
    // The shown job's size changed: the list refreshes.
    void jobListChanged();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    // The page-index rule: the current page, or null with an empty list.
    COnePage* CurrentPageForCommand();
    void ShowPreviewMenu(const QPoint& globalPos);
    void OnManualPageSplit();

    COrlatCenterDoc& m_doc;
    QImage m_image;
    std::vector<QRect> m_overlay;
    bool m_bSelecting = false;
    bool m_bPanning = false;
    QPoint m_ptStart, m_ptRDown, m_ptLast;
    int m_nCurPage = 0;
    WheelSteps m_wheel;
    AskNumber m_askNumber;
    ShowMessage m_showMessage;
    RunMenu m_runMenu;
};
