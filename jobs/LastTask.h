#pragma once
// The last-task file at start: its jobs come first, jobs already in the list
// (a task file named on the command line) after them. The file stays where
// it is until the close rewrites it (or deletes it for an empty list), so a
// crash does not lose the list; a file that cannot be read is kept aside as
// "<name>.bad".
#include <string>

#include "jobs/PageList.h"
#include "model/TaskFile.h"

struct LastTaskLoad {
    TaskFileStatus status = TaskFileStatus::Ok;
    int loaded = 0;               // jobs read from the file
    std::u16string keptAs;        // on failure: where the file went (empty: it stayed)
};

LastTaskLoad LoadLastTask(const std::u16string& path, PageList& pages);
