#pragma once
// The status-bar note of a job that did not finish: which job stopped and
// why, in the language of the Language slot. A job that fails goes back to
// Manual (with the Auto jobs), though part of it may be on the fabric: the
// operator must learn of it even when the sending thread said nothing.
#include <cstdint>
#include <string>

// What the job service gathered from the sending thread's reports of one job.
struct JobEndFacts {
    int result = 0;               // 1 finished, 2 failed, refused or cancelled
    std::u16string jobName;       // the job's file name, as the list shows it
    std::string messageKey;       // the last message the sending thread reported; empty: none
    std::u16string messageText;   // its text as reported (for a key without a text of its own)
    bool cutPassFailed = false;   // a knife pass could not be sent
    uint8_t machineStatus = 0;    // MachineStatus when the end was handled
};

// Empty for a finished job.
std::u16string JobStopNote(const JobEndFacts& facts);
