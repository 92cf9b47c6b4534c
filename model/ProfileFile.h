#pragma once
// An INI file read and written as the Windows profile functions do it:
// names compared without regard to ASCII case, the first of duplicate keys
// counts, a write updates a key in place and keeps every other line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProfileFile {
public:
    ProfileFile() = default;
    // Accepts LF and CRLF line ends and a leading UTF-8 byte order mark.
    static ProfileFile Parse(std::string_view text);

    // The value with blanks and one pair of matching quotes removed;
    // nothing when the section or key is missing.
    std::optional<std::string> GetString(std::string_view section, std::string_view key) const;
    // As GetPrivateProfileInt: sign and decimal digits up to the first other
    // character, wrapped to 32 bits; an empty or missing value gives def.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;

    // Updates the first such key in place, else appends it after the last
    // entry of the section, else appends the section at the end of the file.
    void SetString(std::string_view section, std::string_view key, std::string_view value);
    void SetInt(std::string_view section, std::string_view key, int32_t value);

    // The file's text, with its own line ends (LF for a new file) and mark.
    std::string Text() const;

private:
    // Line index range [first, end) of the first section named so, or nothing.
    std::optional<std::pair<size_t, size_t>> FindSection(std::string_view section) const;
    std::optional<size_t> FindKey(size_t first, size_t end, std::string_view key) const;

    std::vector<std::string> m_lines;
    bool m_crlf = false;
    bool m_bom = false;
};

// Parses an integer the way GetPrivateProfileInt does (see GetInt); def for
// an empty value.
int32_t ProfileInt(std::string_view value, int32_t def);

// Reads a profile file from disk. A missing file gives an empty profile and
// true; a file that exists but cannot be read (or is implausibly large for
// a settings file) gives false with *error naming path and reason.
bool ReadProfileFile(const std::string& path, ProfileFile& out, std::string* error);

// Writes text through a temporary file beside path, synced and renamed into
// place, then syncs the folder: the old file stays whole on any failure, and
// once this returns true a power cut brings back the new one. False with
// *error naming path and reason.
bool WriteFileAtomically(const std::string& path, std::string_view text, std::string* error);
