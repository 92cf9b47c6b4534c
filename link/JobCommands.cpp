#include "link/JobCommands.h"

#include "link/LinkCommand.h"
#include "link/LinkFrame.h"
#include "link/MyCommu.h"

int SendJobStart(CMyCommu& commu, int32_t lengthPulses, int32_t bandColumns)
{
    uint8_t payload[8];
    PutInt32(payload, lengthPulses);
    PutInt32(payload + 4, bandColumns);
    uint8_t status = 0;
    return commu.SendCommand(LinkCommand::JobStart, sizeof payload, payload, 1, &status);
}

int SendBandHeader(CMyCommu& commu, int32_t band, bool bidirectional)
{
    uint8_t payload[6];
    PutInt32(payload, band);
    payload[4] = bidirectional ? 1 : 0;
    payload[5] = 1;
    uint8_t status = 0;
    return commu.SendCommand(LinkCommand::BandHeader, sizeof payload, payload, 1, &status);
}

int SendKnifeHeader(CMyCommu& commu, int32_t records)
{
    uint8_t payload[4];
    PutInt32(payload, records);
    uint8_t status = 0;
    return commu.SendCommand(LinkCommand::KnifeHeader, sizeof payload, payload, 1, &status);
}

int ReadHeadPosition(CMyCommu& commu, int32_t& position)
{
    const uint8_t ask = 4;
    uint8_t reply[4] = {};
    const int r = commu.SendCommand(LinkCommand::ReadHeadPosition, 1, &ask, 4, reply);
    if (r == 0) position = GetInt32(reply);
    return r;
}
