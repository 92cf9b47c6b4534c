#include "widgets/ButtonNolt.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "widgets/ButtonImages.h"
#include "widgets/EventGuard.h"

namespace {

// Tells every flat button of a palette change of the whole application
// (theme or colour scheme), which the application object alone receives.
// Lives on the UI thread as a child of the application.
class AppPaletteWatcher : public QObject {
public:
    static AppPaletteWatcher* Instance()
    {
        static QPointer<AppPaletteWatcher> watcher;
        if (!watcher && qApp) watcher = new AppPaletteWatcher(qApp);
        return watcher;
    }
    void Add(CButtonNolt* b) { m_buttons.push_back(b); }
    void Remove(CButtonNolt* b) { std::erase(m_buttons, b); }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == qApp && e->type() == QEvent::ApplicationPaletteChange) {
            const std::vector<CButtonNolt*> buttons = m_buttons;
            for (CButtonNolt* b : buttons) b->ResetStateColors(true);
        }
        return false;
    }

private:
    explicit AppPaletteWatcher(QObject* app) : QObject(app) { app->installEventFilter(this); }
    std::vector<CButtonNolt*> m_buttons;
};

}  // namespace

CButtonNolt::CButtonNolt(int controlId, QWidget* parent) : QAbstractButton(parent), m_controlId(controlId)
{
    setMouseTracking(true);
    ResetStateColors(false);
    WatchWindow();
    if (auto* w = AppPaletteWatcher::Instance()) w->Add(this);
}

CButtonNolt::~CButtonNolt()
{
    if (auto* w = AppPaletteWatcher::Instance()) w->Remove(this);
    if (m_watchedWindow) m_watchedWindow->removeEventFilter(this);
}

// ---- images ----------------------------------------------------------------

int CButtonNolt::AttachStateIcons(const QPixmap& hover, const QPixmap& normal)
{
    ReleaseImages();
    if (hover.isNull()) {
        update();
        return BadImage;
    }
    m_images[0] = hover;
    m_images[1] = normal;
    updateGeometry();
    update();
    return Ok;
}

int CButtonNolt::AttachStateIcons(const QPixmap& hover, Derived normal)
{
    QPixmap derived;
    if (!hover.isNull() && normal == Derived::Grey) derived = QPixmap::fromImage(GreyImage(hover.toImage()));
    if (!hover.isNull() && normal == Derived::Darker) derived = QPixmap::fromImage(DarkerImage(hover.toImage()));
    return AttachStateIcons(hover, derived);
}

int CButtonNolt::LoadStateIcons(const QString& hover, const QString& normal)
{
    const QPixmap normalImage = normal.isEmpty() ? QPixmap() : QPixmap(normal);
    if (!normal.isEmpty() && normalImage.isNull()) {
        ReleaseImages();
        update();
        return BadImage;
    }
    return AttachStateIcons(QPixmap(hover), normalImage);
}

void CButtonNolt::ReleaseImages()
{
    m_images[0] = QPixmap();
    m_images[1] = QPixmap();
}

int CButtonNolt::ShownImage() const
{
    return ChooseStateImage(IsCheckBoxMode(), IsPressedFace(), m_hovered, !m_images[1].isNull());
}

// ---- colours and looks -----------------------------------------------------

int CButtonNolt::SetStateColor(int index, const QColor& c, bool repaint)
{
    const auto i = static_cast<uint8_t>(index);
    if (i >= ColorCount) return BadIndex;
    m_colors[i] = c;
    if (repaint) update();
    return Ok;
}

int CButtonNolt::ShiftStateColor(int index, int offset, bool repaint)
{
    const auto i = static_cast<uint8_t>(index);
    const auto d = static_cast<int16_t>(offset);
    if (i >= ColorCount) return BadIndex;
    if (d < -255 || d > 255) return BadOffset;
    m_colors[i] = ShiftColor(m_colors[i], d);
    if (repaint) update();
    return Ok;
}

int CButtonNolt::ResetStateColors(bool repaint)
{
    const QPalette pal = QApplication::palette(this);
    for (int i = 0; i < ColorCount; i += 2) {
        m_colors[i] = pal.color(QPalette::Button);
        m_colors[i + 1] = pal.color(QPalette::ButtonText);
    }
    if (repaint) update();
    return Ok;
}

QColor CButtonNolt::StateColor(int index) const
{
    return index >= 0 && index < ColorCount ? m_colors[index] : QColor();
}

int CButtonNolt::SetPressShift(int style, bool repaint)
{
    const auto s = static_cast<uint8_t>(style);
    if (s == 0) m_pressShift = QPoint(1, 1);
    else if (s == 1) m_pressShift = QPoint(0, 2);
    else return BadStyle;
    if (repaint) update();
    return Ok;
}

void CButtonNolt::EnableTransparentDraw(bool repaint)
{
    m_transparent = true;
    setAttribute(Qt::WA_NoSystemBackground, true);
    if (repaint) update();
}

void CButtonNolt::SetFlat(bool flat)
{
    m_flat = flat;
    if (!flat) m_hovered = false;
    update();
}

void CButtonNolt::SetBorder(bool border)
{
    m_border = border;
    update();
}

void CButtonNolt::SetFlatFocus(bool focusRect)
{
    m_flatFocus = focusRect;
    update();
}

void CButtonNolt::SetCheckBoxMode(bool on)
{
    setCheckable(on);
    update();
}

int CButtonNolt::SetCheckValue(bool value, bool repaint)
{
    if (IsCheckBoxMode()) setChecked(value);
    if (repaint) update();
    return Ok;
}

QSize CButtonNolt::sizeHint() const
{
    const QSize image = m_images[0].isNull() ? QSize() : m_images[0].deviceIndependentSize().toSize();
    const QFontMetrics fm = fontMetrics();
    int w = image.width() + 8;
    int h = image.height() + 8;
    if (!text().isEmpty()) {
        const QSize t = fm.size(Qt::TextShowMnemonic, text());
        w = (image.isEmpty() ? 12 : image.width() + m_imageOrigin.x() + 8) + t.width();
        h = std::max(h, t.height() + 10);
    }
    return QSize(std::max(w, 24), std::max(h, 24));
}

// ---- events ----------------------------------------------------------------

void CButtonNolt::mousePressEvent(QMouseEvent* e)
{
    GuardEvent("CButtonNolt press", [&] {
        if (e->button() == Qt::LeftButton && isEnabled() && !m_held) {
            // The parent hears of the press before the face shows it.
            m_held = true;
            emit holdButton(m_controlId, 1);
        }
        QAbstractButton::mousePressEvent(e);
    });
}

void CButtonNolt::mouseReleaseEvent(QMouseEvent* e)
{
    GuardEvent("CButtonNolt release", [&] {
        if (e->button() == Qt::LeftButton && m_held) {
            m_held = false;
            emit holdButton(m_controlId, 0);
        }
        QAbstractButton::mouseReleaseEvent(e);
    });
}

void CButtonNolt::mouseDoubleClickEvent(QMouseEvent* e)
{
    // A double click is a second press.
    mousePressEvent(e);
}

void CButtonNolt::mouseMoveEvent(QMouseEvent* e)
{
    GuardEvent("CButtonNolt move", [&] {
        QAbstractButton::mouseMoveEvent(e);
        TrackHover(e->position().toPoint(), e->buttons());
    });
}

void CButtonNolt::enterEvent(QEnterEvent* e)
{
    QAbstractButton::enterEvent(e);
    TrackHover(e->position().toPoint(), QGuiApplication::mouseButtons());
}

void CButtonNolt::leaveEvent(QEvent* e)
{
    QAbstractButton::leaveEvent(e);
    CancelHover();
}

void CButtonNolt::focusOutEvent(QFocusEvent* e)
{
    QAbstractButton::focusOutEvent(e);
    CancelHover();
}

void CButtonNolt::hideEvent(QHideEvent* e)
{
    QAbstractButton::hideEvent(e);
    EndHold();
    CancelHover();
}

void CButtonNolt::changeEvent(QEvent* e)
{
    GuardEvent("CButtonNolt change", [&] {
        // Disabling: Qt moves the focus on only when this button had it, so
        // the list or a dialog keeps it while the bar follows the machine.
        if (e->type() == QEvent::EnabledChange && !isEnabled()) {
            EndHold();
            CancelHover();
        }
        if (e->type() == QEvent::ParentChange) WatchWindow();
        QAbstractButton::changeEvent(e);
    });
}

bool CButtonNolt::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_watchedWindow) {
        if (e->type() == QEvent::WindowBlocked) {
            // A modal window takes the mouse: the release would never come.
            EndHold();
            CancelHover();
        } else if (e->type() == QEvent::WindowDeactivate) {
            CancelHover();
        }
    }
    return QAbstractButton::eventFilter(watched, e);
}

void CButtonNolt::WatchWindow()
{
    QWidget* w = window();
    if (w == m_watchedWindow) return;
    if (m_watchedWindow) m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = (w != this) ? w : nullptr;
    if (m_watchedWindow) m_watchedWindow->installEventFilter(this);
}

void CButtonNolt::TrackHover(const QPoint& pos, Qt::MouseButtons buttons)
{
    if ((buttons & Qt::LeftButton) && !m_hovered) return;  // a drag onto the button does not light it
    if (!m_flat) return;
    if (isEnabled() && isVisible() && rect().contains(pos)) {
        if (!m_hovered) {
            m_hovered = true;
            update();
        }
        return;
    }
    CancelHover();
}

void CButtonNolt::CancelHover()
{
    if (!m_flat || !m_hovered) return;
    m_hovered = false;
    update();
}

void CButtonNolt::EndHold()
{
    if (isDown()) setDown(false);
    if (!m_held) return;
    m_held = false;
    emit holdButton(m_controlId, 0);
}

// ---- drawing ---------------------------------------------------------------

bool CButtonNolt::IsPressedFace() const { return isDown() || (IsCheckBoxMode() && isChecked()); }

void CButtonNolt::paintEvent(QPaintEvent*)
{
    GuardEvent("CButtonNolt paint", [&] {
        QPainter p(this);
        QRect r = rect();
        if (!m_transparent) DrawFaceBackground(p, r);
        DrawFaceBorder(p, r);
        QRect caption = rect();
        const QString caption_text = text();
        if (!m_images[0].isNull()) DrawFaceIcon(p, !caption_text.isEmpty(), rect(), caption);
        if (!caption_text.isEmpty()) DrawFaceText(p, caption_text, caption);
        if (hasFocus() && (!m_flat || m_flatFocus)) {
            QStyleOptionFocusRect opt;
            opt.initFrom(this);
            opt.rect = r.adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
        }
    });
}

void CButtonNolt::DrawFaceBackground(QPainter& p, QRect& r)
{
    if (!m_flat && hasFocus()) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    QColor fill = m_colors[NormalBack];
    if (m_hovered || IsPressedFace()) fill = m_colors[HoverBack];
    else if (hasFocus()) fill = m_colors[FocusBack];
    p.fillRect(r, fill);
}

void CButtonNolt::DrawFaceBorder(QPainter& p, const QRect& r)
{
    const QPalette& pal = palette();
    auto frame3d = [&](const QColor& topLeft, const QColor& bottomRight) {
        p.setPen(topLeft);
        p.drawLine(r.left(), r.bottom(), r.left(), r.top());
        p.drawLine(r.left(), r.top(), r.right(), r.top());
        p.setPen(bottomRight);
        p.drawLine(r.right(), r.top(), r.right(), r.bottom());
        p.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
    };
    if (IsPressedFace()) {
        if (m_flat && m_border) frame3d(pal.color(QPalette::Dark), pal.color(QPalette::Light));
        else if (!m_flat) {
            p.setPen(pal.color(QPalette::Dark));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
        }
        return;
    }
    if (m_flat) {
        if (m_hovered && m_border) frame3d(pal.color(QPalette::Light), pal.color(QPalette::Dark));
        return;
    }
    // The classic raised button: light and midlight outside-in at the top
    // left, shadow and dark at the bottom right.
    frame3d(pal.color(QPalette::Light), pal.color(QPalette::Shadow));
    const QRect inner = r.adjusted(1, 1, -1, -1);
    p.setPen(pal.color(QPalette::Midlight));
    p.drawLine(inner.left(), inner.bottom(), inner.left(), inner.top());
    p.drawLine(inner.left(), inner.top(), inner.right(), inner.top());
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(inner.right(), inner.top(), inner.right(), inner.bottom());
    p.drawLine(inner.right(), inner.bottom(), inner.left(), inner.bottom());
}

void CButtonNolt::DrawFaceIcon(QPainter& p, bool hasCaption, const QRect& item, QRect& caption)
{
    const QPixmap& image = m_images[ShownImage()];
    const QSize size = image.deviceIndependentSize().toSize();
    QPoint at = item.topLeft();
    if (hasCaption) {
        at.rx() += m_imageOrigin.x();
        caption.setLeft(caption.left() + m_imageOrigin.x() + size.width());
    } else {
        at.rx() += (item.width() - size.width()) / 2;
    }
    at.ry() += (item.height() - size.height()) / 2;
    if (IsPressedFace() && !IsCheckBoxMode()) at += m_pressShift;
    if (isEnabled()) {
        p.drawPixmap(at, image);
    } else {
        QStyleOption opt;
        opt.initFrom(this);
        p.drawPixmap(at, style()->generatedIconPixmap(QIcon::Disabled, image, &opt));
    }
}

void CButtonNolt::DrawFaceText(QPainter& p, const QString& text, QRect caption)
{
    if (IsPressedFace() && !IsCheckBoxMode()) caption.translate(m_pressShift);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    p.setFont(font());
    if (!isEnabled()) {
        p.setPen(palette().color(QPalette::Light));
        p.drawText(caption.translated(1, 1), flags, text);
        p.setPen(palette().color(QPalette::Dark));
        p.drawText(caption, flags, text);
        return;
    }
    QColor ink = m_colors[NormalText];
    if (m_hovered || IsPressedFace()) ink = m_colors[HoverText];
    else if (hasFocus()) ink = m_colors[FocusText];
    p.setPen(ink);
    p.drawText(caption, flags, text);
}
