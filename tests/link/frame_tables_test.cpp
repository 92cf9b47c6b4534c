// Guards: the program sending a frame or waiting for a reply of a length the
// machine does not use, or a code one side knows and the other does not. The
// simulated machine's table is written apart from the program's, from the
// frame layouts; this names the code at once, where an end-to-end run shows
// a refused frame or a reply of the wrong length.
#include <gtest/gtest.h>

#include "link/LinkCommand.h"
#include "tools/machine-sim/SimFrameTable.h"

TEST(FrameTables, ProgramAndMachineAgreeOnEveryCode)
{
    for (int code = 0; code < 256; ++code) {
        const CommandInfo* program = FindCommand(uint8_t(code));
        const SimFrameKind* machine = FindSimFrame(uint8_t(code));
        ASSERT_EQ(program == nullptr, machine == nullptr) << "code " << code << " known to one side only";
        if (program == nullptr) continue;
        EXPECT_EQ(int(program->payloadBytes), int(machine->payloadBytes)) << "payload of code " << code;
        EXPECT_EQ(int(program->replyBytes), int(machine->replyBytes)) << "reply of code " << code;
        // A short command is [2, code] answered by the status byte, whatever a table says.
        if (program->kind == CommandKind::Short) {
            EXPECT_EQ(int(machine->payloadBytes), 0) << code;
            EXPECT_EQ(int(machine->replyBytes), 1) << code;
        }
    }
}
