#include "link/JobCommands.h"

#include "link/LinkCommand.h"
#include "link/LinkFrame.h"
#include "link/TableCommand.h"

int SendJobStart(CMyCommu& commu, int32_t lengthPulses, int32_t bandColumns)
{
    CommandPayload payload{};
    PutInt32(payload.data(), lengthPulses);
    PutInt32(payload.data() + 4, bandColumns);
    CommandReply status;
    return SendTableCommand(commu, LinkCommand::JobStart, payload, status);
}

int SendBandHeader(CMyCommu& commu, int32_t band, bool bidirectional)
{
    CommandPayload payload{};
    PutInt32(payload.data(), band);
    payload[4] = bidirectional ? 1 : 0;
    payload[5] = 1;
    CommandReply status;
    return SendTableCommand(commu, LinkCommand::BandHeader, payload, status);
}

int SendKnifeHeader(CMyCommu& commu, int32_t records)
{
    CommandPayload payload{};
    PutInt32(payload.data(), records);
    CommandReply status;
    return SendTableCommand(commu, LinkCommand::KnifeHeader, payload, status);
}

int ReadHeadPosition(CMyCommu& commu, int32_t& position)
{
    CommandPayload ask{};
    ask[0] = 4;
    CommandReply reply{};
    const int r = SendTableCommand(commu, LinkCommand::ReadHeadPosition, ask, reply);
    if (r == 0) position = GetInt32(reply.data());
    return r;
}
