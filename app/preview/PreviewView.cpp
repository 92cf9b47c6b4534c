#include "app/preview/PreviewView.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <mutex>

#include "app/preview/BandOverlay.h"
#include "app/commands/ContextMenus.h"
#include "app/text/JobInput.h"
#include "jobs/JobRef.h"
#include "jobs/OrlatCenterDoc.h"
#include "app/preview/PreviewMouse.h"
#include "app/preview/PreviewPicture.h"
#include "app/preview/PreviewTransform.h"
#include "app/preview/QtCanvas.h"
#include "app/dialogs/ViewDialogs.h"
#include "widgets/EventGuard.h"
#include "link/output/BandCounters.h"
#include "model/DispSet.h"
#include "model/MachineParams.h"
#include "model/Numeric.h"
#include "model/Page.h"
#include "model/Settings.h"

namespace {

int Language() { return theSettings.Get(Slot::Language); }
int PaperLenMm() { return theSettings.Get(Slot::PaperLenMm); }

const QColor kBandColour{0, 200, 255};

// The rectangle with corners a and b, both inside it.
QRect Spanning(QPoint a, QPoint b)
{
    return {QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())), QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y()))};
}

// Keys the preview takes while it has focus, before any window shortcut.
int KeyCommand(const QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier) {
        if (e->key() == Qt::Key_1) return PreviewCmd::ConvertToPlot;
        if (e->key() == Qt::Key_2) return PreviewCmd::ConvertToCut;
        return 0;
    }
    if (mods != Qt::NoModifier) return 0;
    switch (e->key()) {
    case Qt::Key_Left: return PreviewCmd::PanLeft;
    case Qt::Key_Right: return PreviewCmd::PanRight;
    case Qt::Key_Up: return PreviewCmd::PanUp;
    case Qt::Key_Down: return PreviewCmd::PanDown;
    default: return 0;
    }
}

}  // namespace

COrlatCenterView::COrlatCenterView(COrlatCenterDoc& doc, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_askNumber(AskNumberByDialog),
      m_showMessage(ShowMessageBox),
      m_runMenu(RunPopupMenu)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

COrlatCenterView::~COrlatCenterView() = default;

void COrlatCenterView::SetCurrentPage(int index)
{
    if (index < 0) index = 0;
    m_nCurPage = index;
    if (m_doc.m_pages.empty()) {
        // The list emptied under the picture: the deleted job must not stay on it.
        m_nCurPage = 0;
        RedrawBuffered();
        return;
    }
    m_nCurPage = NormalizePageIndex(index, m_doc.m_pages.size());
    FitToWindow();
    RedrawBuffered();
}

void COrlatCenterView::FitToWindow() { FitToHeight(height(), PaperLenMm()); }

void COrlatCenterView::RedrawBuffered()
{
    m_nCurPage = NormalizePageIndex(m_nCurPage, m_doc.m_pages.size());
    m_overlay.clear();
    const QSize size = this->size();
    if (size.isEmpty()) {
        m_image = QImage();
        return;
    }
    if (m_image.size() != size) m_image = QImage(size, QImage::Format_RGB32);
    if (m_image.isNull()) return;  // no memory for the picture: the paint shows black
    QPainter painter(&m_image);
    painter.setFont(font());
    QtCanvas canvas(painter, size.width(), size.height());
    const COnePage* page = m_doc.m_pages.empty() ? nullptr : m_doc.m_pages[static_cast<size_t>(m_nCurPage)].get();
    DrawPreview(canvas, page, size.width(), size.height(), PaperLenMm());
    painter.end();
    update();
}

void COrlatCenterView::DrawBandOverlay()
{
    const int printing = FirstPrintingJob(m_doc.m_pages);
    const int32_t stepped = BandsStepped.load();
    if (printing < 0 || printing != m_nCurPage || stepped < 0) return;
    MachineParams params;
    {
        std::lock_guard<std::mutex> lock(g_machineParamsLock);
        params = g_machineParams;
    }
    const BandSpan span = BandOverlaySpan(m_doc.m_pages[static_cast<size_t>(printing)]->m_startPos, stepped, params);
    const ViewPoint a = PlotToView(span.x0, 0);
    const ViewPoint b = PlotToView(span.x1, SaturateToInt(int64_t{PaperLenMm()} * 40));
    const QRect r = Spanning({a.x, a.y}, {b.x, b.y});
    m_overlay.push_back(r);
    update(r.adjusted(-1, -1, 1, 1));
}

void COrlatCenterView::OnFitToScreen()
{
    FitToWindow();
    RedrawBuffered();
}

void COrlatCenterView::OnZoomIn()
{
    ZoomInTwice();
    RedrawBuffered();
}

void COrlatCenterView::OnZoomOut()
{
    if (ZoomOutHalf()) RedrawBuffered();
}

void COrlatCenterView::paintEvent(QPaintEvent*)
{
    GuardEvent("COrlatCenterView::paintEvent", [&] {
        QPainter p(this);
        if (m_image.isNull()) {
            p.fillRect(rect(), Qt::black);
        } else {
            p.drawImage(0, 0, m_image);
            if (m_image.width() < width()) p.fillRect(m_image.width(), 0, width() - m_image.width(), height(), Qt::black);
            if (m_image.height() < height())
                p.fillRect(0, m_image.height(), width(), height() - m_image.height(), Qt::black);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(kBandColour, 1));
        for (const QRect& r : m_overlay) p.drawRect(r);
        if (m_bSelecting) {
            // Dotted and inverting, so it shows over black ground and white curves.
            p.setCompositionMode(QPainter::CompositionMode_Difference);
            p.setPen(QPen(Qt::white, 1, Qt::DotLine));
            p.drawRect(Spanning(m_ptStart, m_ptLast));
        }
    });
}

void COrlatCenterView::resizeEvent(QResizeEvent* e)
{
    GuardEvent("COrlatCenterView::resizeEvent", [&] {
        QWidget::resizeEvent(e);
        FitToWindow();
        RedrawBuffered();
    });
}

COnePage* COrlatCenterView::CurrentPageForCommand()
{
    m_nCurPage = NormalizePageIndex(m_nCurPage, m_doc.m_pages.size());
    if (m_doc.m_pages.empty()) return nullptr;
    return m_doc.m_pages[static_cast<size_t>(m_nCurPage)].get();
}

void COrlatCenterView::mousePressEvent(QMouseEvent* e)
{
    GuardEvent("COrlatCenterView::mousePressEvent", [&] {
        const QPoint pt = e->position().toPoint();
        if (e->button() == Qt::LeftButton) {
            m_bSelecting = true;
            m_ptStart = m_ptLast = pt;
            if (!(e->modifiers() & Qt::ControlModifier)) {
                if (COnePage* page = CurrentPageForCommand()) {
                    page->DeselectAllCurves();
                    RedrawBuffered();
                }
            }
        } else if (e->button() == Qt::RightButton) {
            m_bPanning = true;
            m_ptLast = m_ptRDown = pt;
            setCursor(Qt::SizeAllCursor);
        }
    });
}

void COrlatCenterView::mouseReleaseEvent(QMouseEvent* e)
{
    GuardEvent("COrlatCenterView::mouseReleaseEvent", [&] {
        const QPoint pt = e->position().toPoint();
        if (e->button() == Qt::LeftButton) {
            const LeftRelease r = ClassifyLeftRelease(m_ptStart, pt);
            if (!(e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) m_doc.ClearPageSelection(m_nCurPage);
            if (r.rectangle) {
                m_doc.SelectCurvesInRect(m_nCurPage, ViewPoint{r.left, r.top}, ViewPoint{r.right, r.bottom}, r.crossing);
            } else {
                m_doc.PickCurve(m_nCurPage, pt.x(), pt.y());
            }
            m_bSelecting = false;
            RedrawBuffered();
        } else if (e->button() == Qt::RightButton) {
            m_bPanning = false;
            unsetCursor();
            if (IsMenuClick(m_ptRDown, pt)) ShowPreviewMenu(e->globalPosition().toPoint());
        }
    });
}

void COrlatCenterView::mouseMoveEvent(QMouseEvent* e)
{
    GuardEvent("COrlatCenterView::mouseMoveEvent", [&] {
        const QPoint pt = e->position().toPoint();
        const PlotPoint plot = ViewToPlot(pt.x(), pt.y());
        emit cursorMoved(plot.x, plot.y);
        if (m_bSelecting) {
            update(Spanning(m_ptStart, m_ptLast).adjusted(-1, -1, 1, 1));
            update(Spanning(m_ptStart, pt).adjusted(-1, -1, 1, 1));
        }
        if (m_bPanning) {
            PanBy(m_ptLast.x() - pt.x(), m_ptLast.y() - pt.y());
            RedrawBuffered();
        }
        m_ptLast = pt;
    });
}

void COrlatCenterView::wheelEvent(QWheelEvent* e)
{
    GuardEvent("COrlatCenterView::wheelEvent", [&] {
        const int dy = e->angleDelta().y();
        if (dy == 0) {
            e->ignore();
            return;
        }
        const int steps = m_wheel.Add(dy);
        const QPoint pt = e->position().toPoint();
        for (int i = 0; i < steps; ++i) ZoomAtPoint(pt.x(), pt.y(), 1.25);
        for (int i = 0; i > steps; --i) ZoomAtPoint(pt.x(), pt.y(), 0.8);
        if (steps != 0) RedrawBuffered();
        e->accept();
    });
}

bool COrlatCenterView::event(QEvent* e)
{
    if (e->type() == QEvent::ShortcutOverride && KeyCommand(static_cast<QKeyEvent*>(e)) != 0) {
        e->accept();
        return true;
    }
    return QWidget::event(e);
}

void COrlatCenterView::keyPressEvent(QKeyEvent* e)
{
    GuardEvent("COrlatCenterView::keyPressEvent", [&] {
        const int id = KeyCommand(e);
        if (id == 0) {
            QWidget::keyPressEvent(e);
            return;
        }
        OnCommand(id);
    });
}

void COrlatCenterView::keyReleaseEvent(QKeyEvent* e)
{
    GuardEvent("COrlatCenterView::keyReleaseEvent", [&] {
        if (e->key() == Qt::Key_Delete && !e->isAutoRepeat()) OnCommand(PreviewCmd::DeleteSelectedCurves);
        QWidget::keyReleaseEvent(e);
    });
}

// The menu runs a nested event loop: the command acts on the job shown when
// it opened, found again by identity, and on nothing when it is gone.
void COrlatCenterView::ShowPreviewMenu(const QPoint& globalPos)
{
    const JobRef job = CurrentPageForCommand() != nullptr ? JobRef::At(m_doc.m_pages, m_nCurPage) : JobRef();
    QMenu menu(this);
    BuildPreviewMenu(menu);
    const int id = m_runMenu(menu, globalPos);
    if (id == 0) return;
    if (!job.Empty()) {
        const int index = job.Find(m_doc.m_pages);
        if (index < 0) return;
        m_nCurPage = index;
    }
    OnCommand(id);
}

void COrlatCenterView::OnCommand(int id)
{
    GuardEvent("COrlatCenterView::OnCommand", [&] {
        switch (id) {
        case PreviewCmd::PanLeft: PanBy(80, 0); RedrawBuffered(); return;
        case PreviewCmd::PanRight: PanBy(-80, 0); RedrawBuffered(); return;
        case PreviewCmd::PanUp: PanBy(0, 80); RedrawBuffered(); return;
        case PreviewCmd::PanDown: PanBy(0, -80); RedrawBuffered(); return;
        case PreviewCmd::DetectOutline:
            if (m_nCurPage < 0 || static_cast<size_t>(m_nCurPage) >= m_doc.m_pages.size()) return;
            m_doc.m_pages[static_cast<size_t>(m_nCurPage)]->DetectOutlines();
            m_doc.NoteChange();
            RedrawBuffered();
            return;
        case PreviewCmd::ManualSplit: OnManualPageSplit(); return;
        default: break;
        }

        COnePage* page = CurrentPageForCommand();
        if (page == nullptr) return;
        switch (id) {
        case PreviewCmd::SelectAll:
            for (auto& c : page->m_curves) c->m_bSelected = 1;
            break;
        case PreviewCmd::ConvertToPlot:
            for (auto& c : page->m_curves)
                if (c->m_bSelected) c->m_kind = CurveKind::Plot;
            page->ReorderByKind(1);
            break;
        case PreviewCmd::ConvertToCut:
            for (auto& c : page->m_curves)
                if (c->m_bSelected) c->m_kind = CurveKind::Cut;
            page->ReorderByKind(0);
            break;
        case PreviewCmd::Rotate90:
            page->Rotate90();
            emit jobListChanged();
            break;
        case PreviewCmd::MoveToLowerLeft:
            page->MoveToLowerLeft();
            emit jobListChanged();
            break;
        case PreviewCmd::DeleteInk: page->DeleteInkCurves(); break;
        case PreviewCmd::DeleteCut: page->DeleteCutCurves(); break;
        case PreviewCmd::DeleteSelectedCurves:
            page->DeleteSelectedCurves();
            page->CalcPageBounds();
            emit jobListChanged();
            break;
        default: return;
        }
        m_doc.NoteChange();
        RedrawBuffered();
    });
}

void COrlatCenterView::OnManualPageSplit()
{
    if (CurrentPageForCommand() == nullptr) return;
    const JobRef job = JobRef::At(m_doc.m_pages, m_nCurPage);
    const int language = Language();
    const std::optional<double> value = m_askNumber(this, SplitPrompt(language), 1000);
    if (!value) return;
    int index = job.Find(m_doc.m_pages);
    if (index < 0) return;
    const SplitLengthResult r = SplitLengthFromInput(*value, *m_doc.m_pages[static_cast<size_t>(index)], language);
    if (!r.refusal.isEmpty()) {
        m_showMessage(this, r.refusal);
        return;
    }
    m_nCurPage = index;
    m_doc.m_pages[static_cast<size_t>(index)]->SplitAlongY(r.width);
    m_doc.NoteChange();
    emit jobListChanged();
    RedrawBuffered();
}
