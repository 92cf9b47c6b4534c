#include "widgets/HyperLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include "widgets/EventGuard.h"

namespace {

// "http:", "mailto:" and the like; a local path has none.
bool HasScheme(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return !target.startsWith(QLatin1Char('/')) && scheme.match(target).hasMatch();
}

}  // namespace

int LinkOpener::Open(const QString& target) const
{
    auto open = [&](const QUrl& url) { return openUrl ? openUrl(url) : QDesktopServices::openUrl(url); };
    if (target.isEmpty()) return 2;
    if (!HasScheme(target) || target.startsWith(QLatin1String("file:"))) {
        const QString path = target.startsWith(QLatin1String("file:")) ? QUrl(target).toLocalFile() : target;
        const QFileInfo info(path);
        if (!info.exists()) return QFileInfo(info.absolutePath()).isDir() ? 2 : 3;
        if (!info.isReadable()) return 5;
        if (open(QUrl::fromLocalFile(info.absoluteFilePath()))) return CHyperLink::kSuccess;
    } else if (open(QUrl(target))) {
        return CHyperLink::kSuccess;
    }
    // The desktop could not: the fallback program, the target one argument.
    if (QProcess::startDetached(fallbackProgram, {target})) return CHyperLink::kSuccess;
    return 31;
}

QString LinkFailureText(int code)
{
    QString text;
    switch (code) {
    case 0: text = QStringLiteral("The operating system is out\nof memory or resources."); break;
    case 2: text = QStringLiteral("The specified file was not found."); break;
    case 3: text = QStringLiteral("The specified path was not found."); break;
    case 5: text = QStringLiteral("The operating system denied\naccess to the specified file."); break;
    case 8: text = QStringLiteral("There was not enough memory to complete the operation."); break;
    case 11: text = QStringLiteral("The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."); break;
    case 26: text = QStringLiteral("A sharing violation occurred. "); break;
    case 27: text = QStringLiteral("The filename association is\nincomplete or invalid."); break;
    case 28: text = QStringLiteral("The DDE transaction could not\nbe completed because the request timed out."); break;
    case 29: text = QStringLiteral("The DDE transaction failed."); break;
    case 30:
        text = QStringLiteral("The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
        break;
    case 31: text = QStringLiteral("There is no application associated\nwith the given filename extension."); break;
    case 32: text = QStringLiteral("The specified dynamic-link library was not found."); break;
    default: text = QStringLiteral("Unknown Error (%1) occurred.").arg(code); break;
    }
    return QStringLiteral("Unable to open hyperlink:\n\n") + text;
}

CHyperLink::CHyperLink(QWidget* parent) : CHyperLink(QString(), parent) {}

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover, true);
    m_target = text;
    setToolTip(m_target);
    ApplyLook();
}

void CHyperLink::SetTargetUrl(const QString& target)
{
    m_target = target;
    if (text().isEmpty()) setText(target);
    setToolTip(target);
    FitWindowToText();
}

void CHyperLink::SetUnderlineMode(int mode)
{
    if (mode == m_underline) return;
    m_underline = mode;
    ApplyLook();
}

void CHyperLink::SetVisitedState(bool visited)
{
    m_visited = visited;
    ApplyLook();
}

void CHyperLink::SetColors(const QColor& link, const QColor& visited, const QColor& hover)
{
    m_linkColor = link;
    m_visitedColor = visited;
    m_hoverColor = hover;
    ApplyLook();
}

void CHyperLink::SetFitToText(bool fit)
{
    m_fit = fit;
    FitWindowToText();
}

QColor CHyperLink::CurrentColor() const
{
    if (m_hovered) return m_hoverColor;
    return m_visited ? m_visitedColor : m_linkColor;
}

void CHyperLink::ApplyLook()
{
    if (m_applying) return;
    m_applying = true;
    QFont f = font();
    f.setUnderline(m_underline == Always || (m_underline == WhileHovered && m_hovered));
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, CurrentColor());
    setPalette(pal);
    m_applying = false;
    update();
}

void CHyperLink::FitWindowToText()
{
    if (!m_fit) return;
    // Measured with the underlined font, so hovering never clips the text.
    QFont f = font();
    f.setUnderline(true);
    const QSize textSize = QFontMetrics(f).size(0, text());
    const QMargins m = contentsMargins();
    resize(textSize.width() + m.left() + m.right() + 2 * margin(), textSize.height() + m.top() + m.bottom() + 2 * margin());
}

void CHyperLink::changeEvent(QEvent* e)
{
    QLabel::changeEvent(e);
    if (e->type() == QEvent::FontChange && !m_applying) FitWindowToText();
}

void CHyperLink::enterEvent(QEnterEvent* e)
{
    QLabel::enterEvent(e);
    if (!m_hovered) {
        m_hovered = true;
        ApplyLook();
    }
}

void CHyperLink::leaveEvent(QEvent* e)
{
    QLabel::leaveEvent(e);
    if (m_hovered) {
        m_hovered = false;
        ApplyLook();
    }
}

void CHyperLink::mousePressEvent(QMouseEvent* e)
{
    e->accept();  // the click is the link's, not the parent's
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton || !rect().contains(e->position().toPoint())) return;
    GuardEvent("CHyperLink click", [&] { OpenLink(); });
}

void CHyperLink::OpenLink()
{
    m_hovered = false;
    const int r = m_open ? m_open(m_target) : LinkOpener{}.Open(m_target);
    m_visited = r > 32;
    ApplyLook();
    if (m_visited) return;
    QApplication::beep();
    const QString message = LinkFailureText(r);
    if (m_report) m_report(message);
    else QMessageBox::warning(window(), QApplication::applicationDisplayName(), message);
}
