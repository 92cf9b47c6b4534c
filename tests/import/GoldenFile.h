#pragma once
// A golden file: what a reader gave on a list of cases, one record each, as
// "[name]" followed by the lines of its summary; '#' lines before the first
// record say what the file holds and how it was made.
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace golden {

struct Record {
    std::string name;
    std::string body;  // lines, each ended by '\n'
};

// name -> body; empty when the file is missing.
inline std::map<std::string, std::string> ReadRecords(const std::string& path)
{
    std::map<std::string, std::string> out;
    std::ifstream in(path);
    std::string line, name;
    bool open = false;
    while (std::getline(in, line)) {
        if (!open && (line.empty() || line[0] == '#')) continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            name = line.substr(1, line.size() - 2);
            out[name];
            open = true;
        } else if (open) {
            out[name] += line + '\n';
        }
    }
    return out;
}

// header: the comment lines without their "# ".
inline bool WriteRecords(const std::string& path, const std::vector<std::string>& header,
                         const std::vector<Record>& records)
{
    std::ofstream out(path, std::ios::trunc);
    for (const std::string& h : header) out << (h.empty() ? "#" : "# " + h) << '\n';
    for (const Record& r : records) out << '[' << r.name << "]\n" << r.body;
    return static_cast<bool>(out.flush());
}

// The body of the record of that name, the file read once; null when it has none.
inline const std::string* Recorded(const std::string& path, const std::string& name)
{
    static std::map<std::string, std::map<std::string, std::string>> files;
    auto f = files.find(path);
    if (f == files.end()) f = files.emplace(path, ReadRecords(path)).first;
    const auto r = f->second.find(name);
    return r == f->second.end() ? nullptr : &r->second;
}

// Set when the golden files are to be written from what the readers give now
// (after a deliberate change of it) instead of compared with it.
inline bool RewriteRequested() { return std::getenv("ORLAT_GOLDEN_WRITE") != nullptr; }

}  // namespace golden
