#include "link/TableCommand.h"

#include "link/MyCommu.h"

int SendTableCommand(CMyCommu& commu, uint8_t code, const CommandPayload& payload, CommandReply& reply)
{
    const CommandInfo* c = FindCommand(code);
    if (c == nullptr || c->kind != CommandKind::Command) return -1;
    return commu.SendCommand(code, c->payloadBytes, payload.data(), c->replyBytes, reply.data());
}
