#pragma once
// What identifies one version of a file between two looks: the same inode
// on the same device with the same size and modification time.
#include <cstdint>
#include <optional>
#include <string>

struct stat;

struct FileStamp {
    uint64_t dev = 0;
    uint64_t ino = 0;
    int64_t size = 0;
    int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const struct stat& st);
// The stamp of the file at path (followed through links); none when it
// cannot be looked at.
std::optional<FileStamp> StampOfPath(const std::string& path);
