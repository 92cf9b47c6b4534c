#pragma once
// The name one running program is known by: its folder and executable name,
// so that each installed copy runs once.
#include <string>

#include <QString>

// ProgramDir followed by the executable's name without extension, every
// UTF-16 unit whose low 8 bits are not an ASCII letter's code made '_'
// (digits and blanks included; U+0141 stays, its low byte being 'A').
std::u16string InstanceName(const std::u16string& programDir, const std::u16string& exeBaseName);

// A short, file-name-safe key for the lock and the local socket: socket
// paths are limited to 107 bytes, program folders are not.
QString InstanceKey(const std::u16string& instanceName);
