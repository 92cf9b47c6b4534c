#pragma once
// What Cancel in the settings dialog puts back into the live parameter block.
//
// Cancel undoes what the advanced dialog changed in the live block. Normally
// the saved copy (the machine's block as last read or written) is the way
// back. But an earlier OK may have queued a write (code 27) that has not gone
// yet: the saved copy is then older than what the operator confirmed, and the
// write sends the live block as it is when served. Going back to the saved
// copy would send the old values and lose that change without a word. So
// while such a write is waiting (or was waiting at opening and has not yet
// reached the saved copy), Cancel goes back to the block as this dialog found
// it: the confirmed values, without this session's advanced edits.
#include "model/MachineParams.h"

enum class ParaCancelRestore {
    Nothing,  // offline: the live block keeps the edits (in memory only)
    Saved,    // live := saved copy
    Opening,  // live := the live block as the dialog opened on it
};

struct ParaCancelInputs {
    bool connectedNow = false;          // LinkConnected at Cancel
    bool openedOnline = false;          // LinkConnected at opening
    bool writeQueuedAtOpening = false;  // code 27 waiting when the dialog opened
    bool writeQueuedNow = false;        // code 27 waiting at Cancel
    bool savedChangedSinceOpening = false;  // a write or a read reached the saved copy
};

ParaCancelRestore DecideParaCancel(const ParaCancelInputs& in);

// The dialog's memory of the block at opening, and Cancel applied to the
// program's globals: the queue is asked and the block restored under
// g_machineParamsLock, so a write served meanwhile takes either the block
// before or after the restore, never half of it.
class CParaCancel {
public:
    // Takes the live and saved blocks and whether a write waits (UI thread).
    void Open(bool online);
    ParaCancelRestore Cancel();

private:
    bool m_openedOnline = false;
    bool m_writeQueuedAtOpening = false;
    MachineParams m_live{};
    MachineParams m_saved{};
};
