#pragma once
// A label that is a link: link colours, underline while hovered, a pointing
// hand, the target as its tip; a click opens the target and is not passed on.
// Text and tip are plain text whatever they hold: a folder name with markup
// is shown as it is written, never as HTML.
#include <functional>

#include <QColor>
#include <QLabel>

// Opens a link target. A web address (with a scheme, or scheme-less like
// "www.example.com") goes to the desktop, and when the desktop cannot, to
// the web-page opener, as the original handed such targets to the browser of
// its ".htm" association. A local path must exist: a missing one fails at
// once with its code; an existing one the desktop cannot open goes to the
// web-page opener as a file URL. The result follows the original's codes:
// above 32 success; 2 missing file, 3 missing path, 5 access denied,
// 31 no application.
struct LinkOpener {
    // The desktop: QDesktopServices::openUrl when empty.
    std::function<bool(const QUrl&)> openUrl;
    // The web-page opener, given a URL text: when empty, webPageProgram is
    // started with it as its one argument (never through a shell); true once
    // the program has started.
    std::function<bool(const QString&)> openWebPage;
    QString webPageProgram = QStringLiteral("sensible-browser");
    int Open(const QString& target) const;
};

// How a target is opened.
enum class LinkKind { Empty, Url, WebAddress, LocalPath };
LinkKind ClassifyLinkTarget(const QString& target);

// The tip for a target: the target itself, shown as plain text.
QString LinkTipText(const QString& target);

// "Unable to open hyperlink:\n\n" and the text for the code.
QString LinkFailureText(int code);

class CHyperLink : public QLabel {
    Q_OBJECT
public:
    enum Underline : int { WhileHovered = -1, Never = 0, Always = 1 };
    static constexpr int kSuccess = 33;

    explicit CHyperLink(QWidget* parent = nullptr);
    explicit CHyperLink(const QString& text, QWidget* parent = nullptr);

    // An empty target takes the text; an empty text shows the target.
    void SetTargetUrl(const QString& target);
    QString TargetUrl() const { return m_target; }
    void SetUnderlineMode(int mode);
    int UnderlineMode() const { return m_underline; }
    void SetVisitedState(bool visited);
    bool IsVisited() const { return m_visited; }
    bool IsHovered() const { return m_hovered; }
    void SetColors(const QColor& link, const QColor& visited, const QColor& hover);
    void SetFitToText(bool fit);
    // The colour the text is drawn in now.
    QColor CurrentColor() const;

    // Injectable for tests and the rare platform without a desktop.
    void SetOpener(std::function<int(const QString&)> open) { m_open = std::move(open); }
    void SetFailureReporter(std::function<void(const QString&)> report) { m_report = std::move(report); }

    // What a click does: open, mark visited, or beep and report.
    void OpenLink();

protected:
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void ApplyLook();
    void FitWindowToText();

    QColor m_linkColor{0, 0, 238};
    QColor m_visitedColor{0, 0, 238};
    QColor m_hoverColor{255, 0, 0};
    bool m_hovered = false;
    bool m_visited = false;
    int m_underline = WhileHovered;
    bool m_fit = true;
    bool m_applying = false;  // guards ApplyLook against its own font change
    QString m_target;
    std::function<int(const QString&)> m_open;
    std::function<void(const QString&)> m_report;
};
