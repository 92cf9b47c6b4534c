#pragma once
// A rename or an unlink reaches the disk only with the folder that holds the
// name: after a power cut an unsynced folder can bring back the old file, or
// lose the new one, however well the file itself was synced.
#include <string>

// The folder of path: the part before its last '/', "." without one.
std::string FolderOf(const std::string& path);

// fsyncs the folder of path. 0, or the errno of a folder that could not be
// opened or synced; a file system that cannot sync a folder at all (EINVAL)
// counts as synced, there being nothing more to ask of it.
int SyncFolderOf(const std::string& path);
