#include "widgets/HyperLink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include "widgets/EventGuard.h"

namespace {

// "http:", "mailto:" and the like; a local path has none.
bool HasScheme(const QString& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return !target.startsWith(QLatin1Char('/')) && scheme.match(target).hasMatch();
}

// "www.example.com", "example.com/path", "192.168.1.215": a host name of
// dotted labels ending in letters, or an IPv4 address, before any path, as a
// browser would take it.
bool LooksLikeWebAddress(const QString& target)
{
    if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) return true;
    static const QRegularExpression host(
        QStringLiteral("^[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?)*"
                       "\\.[A-Za-z]{2,}(?::[0-9]{1,5})?(?:[/?#].*)?$"));
    static const QRegularExpression ipv4(
        QStringLiteral("^[0-9]{1,3}(?:\\.[0-9]{1,3}){3}(?::[0-9]{1,5})?(?:[/?#].*)?$"));
    return host.match(target).hasMatch() || ipv4.match(target).hasMatch();
}

bool StartWebPage(const QString& program, const QString& url)
{
    return !program.isEmpty() && QProcess::startDetached(program, {url});
}

}  // namespace

LinkKind ClassifyLinkTarget(const QString& target)
{
    if (target.trimmed().isEmpty()) return LinkKind::Empty;
    if (target.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) return LinkKind::LocalPath;
    if (HasScheme(target)) return LinkKind::Url;
    // A local file or folder of that name wins over the look of a host name.
    if (!target.startsWith(QLatin1Char('/')) && !target.startsWith(QLatin1Char('.')) &&
        !target.startsWith(QLatin1Char('~')) && !QFileInfo::exists(target) && LooksLikeWebAddress(target))
        return LinkKind::WebAddress;
    return LinkKind::LocalPath;
}

int LinkOpener::Open(const QString& target) const
{
    auto desktop = [&](const QUrl& url) { return openUrl ? openUrl(url) : QDesktopServices::openUrl(url); };
    auto webPage = [&](const QString& url) {
        return openWebPage ? openWebPage(url) : StartWebPage(webPageProgram, url);
    };
    switch (ClassifyLinkTarget(target)) {
    case LinkKind::Empty: return 2;
    case LinkKind::LocalPath: {
        const QString path = target.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) ? QUrl(target).toLocalFile() : target;
        const QFileInfo info(path);
        if (!info.exists()) return QFileInfo(info.absolutePath()).isDir() ? 2 : 3;
        if (!info.isReadable()) return 5;
        const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        if (desktop(url) || webPage(url.toString())) return CHyperLink::kSuccess;
        return 31;
    }
    case LinkKind::WebAddress: {
        const QUrl url(QStringLiteral("http://") + target);
        if (!url.isValid()) return 2;
        if (desktop(url) || webPage(url.toString())) return CHyperLink::kSuccess;
        return 31;
    }
    case LinkKind::Url: {
        const QUrl url(target);
        // The desktop could not: the web-page opener, the target as it was written.
        if ((url.isValid() && desktop(url)) || webPage(target)) return CHyperLink::kSuccess;
        return 31;
    }
    }
    return 2;
}

QString LinkTipText(const QString& target)
{
    // A tip that might be rich text would be drawn as HTML: then it goes as
    // HTML that spells the target out.
    if (!Qt::mightBeRichText(target)) return target;
    return QStringLiteral("<p style='white-space:pre'>") + target.toHtmlEscaped() + QStringLiteral("</p>");
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

CHyperLink::CHyperLink(const QString& text, QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover, true);
    m_target = text;
    setToolTip(LinkTipText(m_target));
    ApplyLook();
}

void CHyperLink::SetTargetUrl(const QString& target)
{
    m_target = target;
    if (text().isEmpty()) setText(target);
    setToolTip(LinkTipText(target));
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
