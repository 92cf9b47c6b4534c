#pragma once
// What the job run and the file commands show their work on: the frame wires
// its panes in, tests may wrap one (a refresh that fails, a status bar that
// records). UI thread only.
#include <QString>
#include <functional>

class QWidget;

struct FrameViews {
    std::function<void()> refreshList;          // the job list rebuilt from the document
    std::function<void(int index)> showJob;     // the preview shows job index (0 the first)
    std::function<void()> redrawPreview;
    std::function<int()> shownJob;              // the job the preview shows
    std::function<void()> drawBandOverlay;      // the band being sent, over the preview
    std::function<void()> refreshBar;           // the control bar's state and enabling
    // A status-bar message for ms milliseconds (0: until the next one).
    std::function<void(const QString& text, int ms)> showStatus;
    QWidget* window = nullptr;                  // message boxes' parent, repainted after a load
};
