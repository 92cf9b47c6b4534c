#include "tools/send-job/IniSettings.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "model/Settings.h"

namespace {

struct Key {
    const char* name;
    int slot;                     // -1: one of the program-wide integers
    std::atomic<int32_t>* global;
    int32_t defaultValue;
};

const Key kKeys[] = {
    {"Language", Slot::Language, nullptr, 0},
    {"BiDirPlot", Slot::BiDirPlot, nullptr, 1},
    {"LineWidth", Slot::LineWidth, nullptr, 2},
    {"PlotOnly", Slot::PlotOnly, nullptr, 0},
    {"PlotCutLine", Slot::PlotCutLine, nullptr, 0},
    {"CleanAtStart", Slot::CleanAtStart, nullptr, 0},
    {"CleanAtSection", Slot::CleanAtSection, nullptr, 0},
    {"CutSEOftHpgl", Slot::CutSEOftHpgl, nullptr, 10},
    {"CleanThickness", Slot::CleanThickness, nullptr, 3},
    {"DxfUnit", Slot::DxfUnit, nullptr, 40},
    {"AutoRotate", Slot::AutoRotate, nullptr, 1},
    {"PaperLenMm", Slot::PaperLenMm, nullptr, 2000},
    {"SearchOutline", Slot::SearchOutline, nullptr, 0},
    {"AutoStart", Slot::AutoStart, nullptr, 1},
    {"PltFileUnit", -1, &PltFileUnit, 0},
    {"InkBox2Left", -1, &InkBox2Left, 0},
};

void Apply(const Key& k, int32_t v)
{
    if (k.global != nullptr) k.global->store(v);
    else theSettings.Set(k.slot, v);
}

std::string Trim(const std::string& s)
{
    const auto a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    const auto b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

bool SameKey(const std::string& a, const char* b)
{
    // Profile keys are matched without regard to case.
    size_t i = 0;
    for (; i < a.size() && b[i] != 0; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == 0;
}

}  // namespace

void ApplyDefaultJobSettings()
{
    for (const Key& k : kKeys) Apply(k, k.defaultValue);
}

bool ApplyIniSettings(const std::string& path, std::string* error)
{
    std::ifstream in(path);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    bool inPara = false;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[') {
            inPara = SameKey(Trim(line.substr(1, line.find(']') - 1)), "Para");
            continue;
        }
        const auto eq = line.find('=');
        if (!inPara || eq == std::string::npos) continue;
        const std::string name = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        for (const Key& k : kKeys) {
            if (!SameKey(name, k.name)) continue;
            char* end = nullptr;
            errno = 0;
            const long v = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != 0 || errno != 0 || v < INT32_MIN || v > INT32_MAX) {
                *error = "key " + name + " is not a number: " + value;
                return false;
            }
            Apply(k, static_cast<int32_t>(v));
        }
    }
    return true;
}
