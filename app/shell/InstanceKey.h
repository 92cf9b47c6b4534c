#pragma once
// The name one running program is known by: its program folder and
// executable name, so that each folder (one per machine) runs once.
#include <QString>

// A short, file-name-safe key for the lock and the local socket (socket
// paths are limited to 107 bytes, program folders are not): a hash of the
// folder as the file system names it (symbolic links resolved, so two ways
// to one folder are one instance) and the executable's name. Any two
// folders that differ, if only in a digit or a blank, get different keys.
QString InstanceKey(const QString& programDir, const QString& exeBaseName);
