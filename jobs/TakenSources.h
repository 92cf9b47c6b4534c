#pragma once
// The record of watched files taken as jobs and not deleted yet. A file is
// deleted only once the list holding its job is on disk; the record, written
// before that list, lets the next start tell a file whose job the list holds
// (delete it, do not take it again) from one whose list never reached the
// disk (take it). A file that could not be deleted (a read-only folder, a
// share) stays in the record so that it is taken once while it is unchanged.
//
// Plain text, one line per file after a first line naming the format:
//
//   orlat-taken-sources 1
//   KIND DEV INO SIZE MTIME_NS JOB_TIME LIST PATH JOB
//
// KIND is "pending" (its list may not be on disk yet) or "kept" (it was, the
// file could not be deleted); DEV INO SIZE MTIME_NS identify the file as it
// was read; JOB_TIME and JOB (the name, UTF-8) the job it became; LIST is the
// last-task file's DEV:INO:SIZE:MTIME_NS when the file was taken, "-" when
// there was none; PATH is the file system's bytes. In PATH and JOB every
// byte outside '!'..'~', and '%' itself, is written as %XX. It is read
// strictly: anything else, even one line, makes the whole record damaged.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/FileStamp.h"

struct TakenSource {
    bool kept = false;         // its list is on disk; the file could not be deleted
    std::string path;          // as the file system holds it
    FileStamp stamp;           // the file as it was read
    int64_t jobTime = 0;       // the job it became: its time
    std::string jobName;       // and its name (UTF-8)
    std::optional<FileStamp> listBefore;  // the last-task file when it was taken (none: there was none)
    bool operator==(const TakenSource&) const = default;
};

std::string EncodeTakenSources(const std::vector<TakenSource>& sources);
// None when the text is not such a record (a path named twice included).
std::optional<std::vector<TakenSource>> ParseTakenSources(std::string_view text);
