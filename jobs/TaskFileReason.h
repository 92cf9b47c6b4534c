#pragma once
// Why a task file could not be read or written, in the language of the
// Language slot.
#include <string>

#include "model/TaskFile.h"

std::u16string TaskFileReasonText(TaskFileStatus status);
// "Cannot save the task file PATH: REASON." and its Chinese form.
std::u16string TaskFileSaveText(const std::u16string& path, TaskFileStatus status);
