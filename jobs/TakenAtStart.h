#pragma once
// What a start does with each file of the taken-sources record, once the
// last-task file is loaded and before the first scan. A file gone or changed
// is a new matter: forgotten (a new file is taken as any other). A kept file
// (its job was on disk, it could not be deleted) stays remembered. A pending
// file was taken just before the last run ended: when a list was saved after
// it and the loaded list holds its job, the job is safe and the file is
// deleted; otherwise its job never reached the disk and it is taken again.
#include <optional>

#include "jobs/FileStamp.h"
#include "jobs/PageList.h"
#include "jobs/TakenSources.h"

enum class TakenVerdict { Forget, Delete, Remember };

// now: the file as it is (none: gone); listRewritten: the last-task file is
// not the one the entry saw when it was taken; listHolds: the loaded list
// holds the entry's job.
TakenVerdict TakenAtStart(const TakenSource& s, const std::optional<FileStamp>& now, bool listRewritten,
                          bool listHolds);

// Whether pages hold a job of the entry's name and time.
bool ListHoldsJob(const PageList& pages, const TakenSource& s);
