#include "app/dialogs/DlgParaCancel.h"

#include <cstring>
#include <mutex>

#include "link/KeyQueue.h"
#include "link/LinkCommand.h"
#include "link/LinkState.h"

ParaCancelRestore DecideParaCancel(const ParaCancelInputs& in)
{
    if (!in.connectedNow) return ParaCancelRestore::Nothing;
    if (in.writeQueuedNow) {
        // Opened offline, the block at opening may be older than a read
        // since: the waiting write sends the live block as it stands.
        return in.openedOnline ? ParaCancelRestore::Opening : ParaCancelRestore::Nothing;
    }
    // Popped but not yet taken into the saved copy: still on its way.
    if (in.openedOnline && in.writeQueuedAtOpening && !in.savedChangedSinceOpening) return ParaCancelRestore::Opening;
    return ParaCancelRestore::Saved;
}

void CParaCancel::Open(bool online)
{
    m_openedOnline = online;
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    m_writeQueuedAtOpening = KeyQueueHolds(LinkCommand::WriteParams);
    m_live = g_machineParams;
    m_saved = g_machineParamsSaved;
}

ParaCancelRestore CParaCancel::Cancel()
{
    // Lock order: the block's lock, then the queue's (held inside KeyQueueHolds only).
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    ParaCancelInputs in;
    in.connectedNow = LinkConnected.load() != 0;
    in.openedOnline = m_openedOnline;
    in.writeQueuedAtOpening = m_writeQueuedAtOpening;
    in.writeQueuedNow = KeyQueueHolds(LinkCommand::WriteParams);
    in.savedChangedSinceOpening = std::memcmp(&g_machineParamsSaved, &m_saved, sizeof m_saved) != 0;
    const ParaCancelRestore r = DecideParaCancel(in);
    if (r == ParaCancelRestore::Saved) g_machineParams = g_machineParamsSaved;
    else if (r == ParaCancelRestore::Opening) g_machineParams = m_live;
    return r;
}
