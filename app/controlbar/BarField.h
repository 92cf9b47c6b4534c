#pragma once
// A read-only text field of the bar (the template's disabled multi-line
// edits): word-wrapped, and as tall as the tallest of the texts it may be
// given at the width the layout leaves it, so no line of them is cut off
// whatever the language and its fonts (CJK lines are taller than Latin ones).
#include <QLabel>
#include <QStringList>

class CBarField : public QLabel {
    Q_OBJECT
public:
    // samples: every text the field may show, at its widest.
    CBarField(int id, QStringList samples, QWidget* parent = nullptr);

    // The text; unchanged texts cost nothing (the timer sets it twice a second).
    void ShowText(const QString& text);
    // The height the samples need at a width of the text room, in pixels.
    int TextHeightFor(int roomWidth) const;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void FitHeight();

    QStringList m_samples;
};
