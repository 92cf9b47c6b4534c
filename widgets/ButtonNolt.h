#pragma once
// The flat icon button of the control bar: a flat face lit while hovered,
// one of two images by state, an optional two-state toggle, six state
// colours, and a hold signal for every press and release of the left button.
#include <array>

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>
#include <QPointer>

class CButtonNolt : public QAbstractButton {
    Q_OBJECT
public:
    // Result codes of the setters.
    enum Result : int { Ok = 0, BadImage = 1, BadIndex = 3, BadOffset = 5, BadStyle = 6 };
    // State colours: 0/1 hovered or pressed background/text, 2/3 normal, 4/5 focused.
    enum ColorIndex : int { HoverBack = 0, HoverText, NormalBack, NormalText, FocusBack, FocusText, ColorCount };
    // The normal image derived from the hover image.
    enum class Derived { None, Grey, Darker };

    explicit CButtonNolt(int controlId, QWidget* parent = nullptr);
    ~CButtonNolt() override;

    int ControlId() const { return m_controlId; }

    // Images. A null hover image leaves the button without images (BadImage).
    int AttachStateIcons(const QPixmap& hover, const QPixmap& normal);
    int AttachStateIcons(const QPixmap& hover, Derived normal);
    // From files or Qt resources; an empty normal name means no normal image.
    int LoadStateIcons(const QString& hover, const QString& normal);
    void ReleaseImages();
    QPixmap HoverImage() const { return m_images[0]; }
    QPixmap NormalImage() const { return m_images[1]; }
    // The image the face shows now (0 hover, 1 normal).
    int ShownImage() const;

    // Colours and looks. Only a palette change of the whole application
    // resets the colours; the palette events of creation and polish keep
    // the owner's choice.
    int SetStateColor(int index, const QColor& c, bool repaint = true);
    int ShiftStateColor(int index, int offset, bool repaint = true);
    int ResetStateColors(bool repaint = true);
    QColor StateColor(int index) const;
    // Style 0: pressed shift (1, 1); style 1: (0, 2).
    int SetPressShift(int style, bool repaint = true);
    QPoint PressShift() const { return m_pressShift; }
    // The face is drawn without a background fill: the parent shows through.
    void EnableTransparentDraw(bool repaint = true);
    bool IsTransparent() const { return m_transparent; }
    void SetFlat(bool flat);
    bool IsFlat() const { return m_flat; }
    void SetBorder(bool border);
    void SetFlatFocus(bool focusRect);

    // Check-box mode: clicks toggle the check value.
    void SetCheckBoxMode(bool on);
    bool IsCheckBoxMode() const { return isCheckable(); }
    // Only in check-box mode.
    int SetCheckValue(bool value, bool repaint = true);
    bool GetCheckValue() const { return isChecked(); }

    bool IsHovered() const { return m_hovered; }
    bool IsHeld() const { return m_held; }

    QSize sizeHint() const override;

signals:
    // Emitted synchronously: 1 on the left button's press before the face
    // shows it pressed, 0 on its release before clicked().
    void holdButton(int controlId, int pressed);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    // The layers of the face; a derived button may replace one.
    virtual void DrawFaceBackground(QPainter& p, QRect& r);
    virtual void DrawFaceBorder(QPainter& p, const QRect& r);
    virtual void DrawFaceIcon(QPainter& p, bool hasCaption, const QRect& item, QRect& caption);
    virtual void DrawFaceText(QPainter& p, const QString& text, QRect caption);

private:
    bool IsPressedFace() const;
    void TrackHover(const QPoint& pos, Qt::MouseButtons buttons);
    void CancelHover();
    // A hold that cannot see its release any more ends now.
    void EndHold();
    void WatchWindow();

    int m_controlId;
    std::array<QPixmap, 2> m_images;  // 0 hover, 1 normal
    std::array<QColor, ColorCount> m_colors;
    QPoint m_imageOrigin{3, 3};
    QPoint m_pressShift{1, 1};
    bool m_flat = true;
    bool m_border = true;
    bool m_flatFocus = false;
    bool m_transparent = false;
    bool m_hovered = false;
    bool m_held = false;  // a press was told and its release not yet
    QPointer<QWidget> m_watchedWindow;
};
