#include "app/controlbar/JogHold.h"

#include <utility>

#include "app/controlbar/BarControls.h"
#include "link/LinkCommand.h"

CJogHold::CJogHold(Push push) : m_push(std::move(push)) {}

int CJogHold::JogCodeOf(int controlId)
{
    switch (controlId) {
    case BarControl::JogUp: return LinkCommand::JogUp;
    case BarControl::JogDown: return LinkCommand::JogDown;
    case BarControl::JogLeft: return LinkCommand::JogLeft;
    case BarControl::JogRight: return LinkCommand::JogRight;
    default: return -1;
    }
}

void CJogHold::Hold(int controlId, int pressed)
{
    if (pressed == 1) {
        // A second press of a held button (a double click) starts a new hold.
        m_held.insert(controlId);
        const int code = JogCodeOf(controlId);
        if (code >= 0) m_push(uint8_t(code));
        return;
    }
    // The release of any bar button stops the carriage; a release whose hold
    // was already ended (by EndAll) adds nothing.
    if (m_held.erase(controlId) == 0) return;
    m_push(LinkCommand::JogStop);
}

void CJogHold::EndAll()
{
    if (m_held.empty()) return;
    m_held.clear();
    m_push(LinkCommand::JogStop);
}
