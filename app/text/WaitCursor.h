#pragma once
// The wait cursor while the UI thread is busy with one file (an import, a
// task file read or written). It goes when the work ends, however it ends,
// so the box that reports the outcome shows the normal cursor.
#include <utility>

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_set = false;
};

// f() under a wait cursor; its result is returned.
template <class F>
auto WhileBusy(F&& f)
{
    WaitCursor busy;
    return std::forward<F>(f)();
}
