#pragma once
// What the job service tells whoever shows its work (the window, a test).
// Every call comes on the service's own thread, from inside one of its calls.
#include <string>

// A note for the operator: in the status bar for ms milliseconds (0: until
// the next one), or in a box that waits for OK.
struct JobNote {
    std::u16string text;
    int ms = 10000;
    bool box = false;
};

class CJobServiceObserver {
public:
    virtual ~CJobServiceObserver() = default;
    // The list changed (jobs added, removed or re-stated): the preview then
    // shows job showIndex, or keeps what it shows (kKeepShown) and redraws.
    static constexpr int kKeepShown = -1;
    virtual void ListChanged(int showIndex) = 0;
    // A band of job index went out while the machine plots.
    virtual void JobProgress(int index) = 0;
    // The machine's state or the job's progress moved (the control bar).
    virtual void MachineChanged() = 0;
    virtual void Noted(const JobNote& note) = 0;
    // Around work on one file that keeps the service's thread busy (a task
    // file read): the window shows the wait cursor.
    virtual void Working(bool /*busy*/) {}
};
