#include "model/Archive.h"
#include "model/Page.h"

void COnePage::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        // A Printing job is saved as Manual, and becomes Manual here too.
        if (m_state > JobState::Done) m_state = JobState::Manual;
        ar.WriteI32(m_state);
        ar.WriteI32(m_copies);
        ar.WriteI32(m_cutMaxX);
        ar.WriteI32(m_cutMaxY);
        ar.WriteI32(m_inkMaxX);
        ar.WriteI32(m_inkMaxY);
        ar.WriteI32(m_maxX);
        ar.WriteI32(m_minX);
        ar.WriteI32(m_maxY);
        ar.WriteI32(m_minY);
        ar.WriteString(m_strFileName);
        ar.WriteTime(m_time);
        StoreObjectArray(ar, m_curves);
        return;
    }
    m_state = ar.ReadI32();
    // Any count the list can hold is read back: the copies dialog stores
    // negative values as typed, and a finished job may end below zero.
    m_copies = ar.ReadI32();
    m_cutMaxX = ar.ReadI32();
    m_cutMaxY = ar.ReadI32();
    m_inkMaxX = ar.ReadI32();
    m_inkMaxY = ar.ReadI32();
    m_maxX = ar.ReadI32();
    m_minX = ar.ReadI32();
    m_maxY = ar.ReadI32();
    m_minY = ar.ReadI32();
    m_strFileName = ar.ReadString();
    m_time = ar.ReadTime();
    if (m_state > JobState::Done) m_state = JobState::Manual;
    // Start position and checked mark are not stored.
    m_startPos = 0;
    m_checked = 0;
    LoadObjectArray(ar, m_curves);
}
