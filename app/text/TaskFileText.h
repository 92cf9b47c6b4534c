#pragma once
// Why a task file could not be read or written, in the language of the code texts.
#include <QString>

#include "model/TaskFile.h"

QString TaskFileReason(TaskFileStatus status);
// "Cannot open the task file PATH: REASON" and its Chinese form.
QString TaskFileOpenFailure(const QString& path, TaskFileStatus status);
QString TaskFileSaveFailure(const QString& path, TaskFileStatus status);
