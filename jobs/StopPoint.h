#pragma once
// For process tests: the program stops itself (SIGSTOP) the first time it
// reaches a named instant when the environment variable ORLAT_STOP_AT names
// it, so that a test can kill or signal it exactly there. Without the
// variable nothing happens.
//
// The instants: "source-recorded" (a watched file's job is in the list and
// in the record of taken sources, the list not yet handed to the disk),
// "source-unlink" (the list holding it is on disk, the file not yet
// deleted), "take-refused" (a watched file was left where it is because the
// list cannot be saved).
void StopPoint(const char* name);
