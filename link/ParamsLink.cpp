#include "link/ParamsLink.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>

#include "link/LinkClock.h"
#include "link/MyCommu.h"
#include "link/TableCommand.h"
#include "model/Message.h"
#include "model/Settings.h"

static_assert(std::endian::native == std::endian::little, "the block's memory form is its wire form");

ParamsWire EncodeMachineParams(const MachineParams& p)
{
    ParamsWire wire{};
    std::memcpy(wire.data(), &p, sizeof p);
    return wire;
}

MachineParams DecodeMachineParams(const ParamsWire& wire)
{
    MachineParams p;
    std::memcpy(&p, wire.data(), sizeof p);
    return p;
}

int ReadMachineParams(CMyCommu& commu)
{
    CommandPayload ask{};
    ask[0] = kParamsWireBytes;
    CommandReply reply{};
    const int r = SendTableCommand(commu, LinkCommand::ReadParams, ask, reply);
    if (r != 0) return r;
    ParamsWire wire{};
    std::copy_n(reply.begin(), wire.size(), wire.begin());
    const MachineParams p = DecodeMachineParams(wire);
    std::lock_guard<std::mutex> lock(g_machineParamsLock);
    g_machineParams = p;
    g_machineParamsSaved = p;
    return 0;
}

int ReadMachineParams()
{
    return ReadMachineParams(theCommu);
}

int WriteMachineParams(CMyCommu& commu, CLinkClock& clock)
{
    MachineParams live;
    {
        // One copy taken whole: a dialog editing the block cannot tear it.
        std::lock_guard<std::mutex> lock(g_machineParamsLock);
        g_machineParamsSaved = g_machineParams;
        live = g_machineParams;
    }
    const ParamsWire wire = EncodeMachineParams(live);
    CommandPayload payload{};
    std::copy(wire.begin(), wire.end(), payload.begin());
    CommandReply status;
    const int r = SendTableCommand(commu, LinkCommand::WriteParams, payload, status);
    if (r != 0)
        ShowMessage("SaveParamsFailed", u"保存参数失败!", u"Failed To Save Parameter!");
    clock.SleepMs(300);
    return r;
}

int WriteMachineParams()
{
    return WriteMachineParams(theCommu, RealLinkClock());
}
