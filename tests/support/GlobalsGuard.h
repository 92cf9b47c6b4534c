#pragma once
// Saves the program-wide values a test may change and puts them back when it
// goes: every settings slot and path, the data folders and the loose settings
// integers, the live and saved parameter blocks and the working page; in the
// test programs of the link (ORLAT_TEST_LINK) also the TCP options and the
// job-active flag. Tests then set what they need and restore nothing by hand.
#include <array>
#include <cstdint>
#include <mutex>
#include <string>

#include "model/MachineParams.h"
#include "model/Page.h"
#include "model/Settings.h"
#ifdef ORLAT_TEST_LINK
#include "link/LinkState.h"
#include "link/MyEth.h"
#endif

namespace testsupport {

class GlobalsGuard {
public:
    GlobalsGuard()
    {
        for (int s = 0; s < Slot::Count; ++s) m_slots[s] = theSettings.Get(s);
        for (int p = 0; p < 4; ++p) m_paths[p] = theSettings.Path(p);
        m_dataDirMm = theSettings.DataDirMm;
        m_dataDirMil = theSettings.DataDirMil;
        m_unitNoHint = UnitNoHintNextTime.load();
        m_pltUnit = PltFileUnit.load();
        m_inkBox2Left = InkBox2Left.load();
        m_params = SnapshotMachineParams();
        {
            std::lock_guard<std::mutex> lock(g_machineParamsLock);
            m_paramsSaved = g_machineParamsSaved;
        }
        CopyPage(WorkPage, m_workPage);
#ifdef ORLAT_TEST_LINK
        m_ethPort = theEthOptions.port.load();
        m_ethAddress = theEthOptions.addressOverride.load();
        m_ethConnectMs = theEthOptions.connectTimeoutMs.load();
        m_ethReplyMs = theEthOptions.replyTimeoutMs.load();
        m_jobActive = g_jobActive.load();
#endif
    }
    ~GlobalsGuard()
    {
        for (int s = 0; s < Slot::Count; ++s) theSettings.Set(s, m_slots[s]);
        for (int p = 0; p < 4; ++p) theSettings.SetPath(p, m_paths[p]);
        theSettings.DataDirMm = m_dataDirMm;
        theSettings.DataDirMil = m_dataDirMil;
        UnitNoHintNextTime = m_unitNoHint;
        PltFileUnit = m_pltUnit;
        InkBox2Left = m_inkBox2Left;
        StoreMachineParams(m_params);
        {
            std::lock_guard<std::mutex> lock(g_machineParamsLock);
            g_machineParamsSaved = m_paramsSaved;
        }
        WorkPage.DeleteAllCurves();
        CopyPage(m_workPage, WorkPage);
#ifdef ORLAT_TEST_LINK
        theEthOptions.port = m_ethPort;
        theEthOptions.addressOverride = m_ethAddress;
        theEthOptions.connectTimeoutMs = m_ethConnectMs;
        theEthOptions.replyTimeoutMs = m_ethReplyMs;
        g_jobActive = m_jobActive;
#endif
    }
    GlobalsGuard(const GlobalsGuard&) = delete;
    GlobalsGuard& operator=(const GlobalsGuard&) = delete;

private:
    // The whole page: its curves and every field, not only those a job copy takes.
    static void CopyPage(const COnePage& from, COnePage& to)
    {
        to.CopyPageFrom(from);
        to.m_inkMaxX = from.m_inkMaxX;
        to.m_inkMaxY = from.m_inkMaxY;
        to.m_cutMaxX = from.m_cutMaxX;
        to.m_cutMaxY = from.m_cutMaxY;
        to.m_copies = from.m_copies;
        to.m_state = from.m_state;
        to.m_time = from.m_time;
        to.m_checked = from.m_checked;
    }

    std::array<int32_t, Slot::Count> m_slots{};
    std::array<std::u16string, 4> m_paths;
    std::u16string m_dataDirMm, m_dataDirMil;
    int32_t m_unitNoHint = 0, m_pltUnit = 0, m_inkBox2Left = 0;
    MachineParams m_params{}, m_paramsSaved{};
    COnePage m_workPage;
#ifdef ORLAT_TEST_LINK
    int m_ethPort = 0;
    uint32_t m_ethAddress = 0;
    int m_ethConnectMs = 0, m_ethReplyMs = 0;
    bool m_jobActive = false;
#endif
};

}  // namespace testsupport
