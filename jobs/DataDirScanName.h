#pragma once
// A file name as the file system holds it (bytes) and as the operator reads
// it: markers named on a Chinese CAD workstation arrive in GBK.
#include <string>
#include <string_view>

// UTF-8 when the bytes are valid UTF-8, else read as GBK.
std::u16string ShownFileName(std::string_view bytes);

// Whether path names a file directly in dir ("/a/b/" or "/a/b"), not in a
// folder below it.
bool InFolder(std::string_view path, std::string_view dir);
