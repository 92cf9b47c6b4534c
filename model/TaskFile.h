#pragma once
// The task file: the job list as one archived array of pages, no header.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "model/Page.h"

enum class TaskFileStatus : int {
    Ok = 0,
    Truncated,       // the file ends inside a record
    BadLength,       // a count or length larger than what follows
    WrongClass,      // a slot holds a class other than its own
    BadSchema,       // a class record of another schema
    BadReference,    // a null or back-reference, or an unknown class number
    OutOfMemory,
    OpenFailed,      // missing, unreadable or not a regular file
    ReadFailed,
    WriteFailed,     // the temporary file could not be created or written
    ReplaceFailed,   // the temporary file could not be renamed into place, or its folder synced
    BadValue,        // a curve kind other than 1-3
    TrailingData,    // bytes after the job list (a zero-filled file, say)
};

const char* TaskFileStatusName(TaskFileStatus s);

// Storing sets a Printing page's own state to Manual (it is stored so).
// room: a buffer of an earlier store to fill again; memory already touched
// is quicker to fill than fresh memory, which the system clears first.
std::vector<uint8_t> StoreTaskBytes(std::vector<std::unique_ptr<COnePage>>& pages, std::vector<uint8_t> room = {});

// On success the loaded pages replace pages (and the last curve tag read
// becomes g_strCurveTag). On failure pages and g_strCurveTag are unchanged.
// Any status other than Ok means the file is damaged or unreadable.
TaskFileStatus LoadTaskBytes(std::span<const uint8_t> bytes, std::vector<std::unique_ptr<COnePage>>& pages);

// Writes a temporary file beside path and renames it into place: a failed
// save leaves the old file as it was.
TaskFileStatus SaveTaskFile(const std::u16string& path, std::vector<std::unique_ptr<COnePage>>& pages);
TaskFileStatus LoadTaskFile(const std::u16string& path, std::vector<std::unique_ptr<COnePage>>& pages);

// Stored bytes to target (a file-system name) as SaveTaskFile writes them:
// a temporary file beside it, synced, renamed into place, the folder synced.
// *error (when given) gets the errno of a failure, 0 on success. Any thread.
TaskFileStatus WriteTaskBytes(const std::string& target, std::span<const uint8_t> bytes, int* error);
