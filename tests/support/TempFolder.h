#pragma once
// A folder of its own under the system's temporary folder (made by mkdtemp,
// so parallel test programs never share one), removed with everything in it
// when the object goes, also after a test made parts of it read-only.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "model/Text.h"

namespace testsupport {

class TempFolder {
public:
    explicit TempFolder(std::string_view prefix = "orlat_")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / std::string(prefix)).string() + "XXXXXX";
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempFolder()
    {
        if (m_path.empty()) return;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (it->is_directory(ec))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Made() const { return !m_path.empty(); }
    const std::filesystem::path& path() const { return m_path; }
    // A path inside the folder, as UTF-8.
    std::string File(std::string_view name) const { return (m_path / std::string(name)).string(); }
    // The folder with a trailing '/', as the program folder is kept.
    std::u16string Dir() const { return FromUtf8(m_path.string() + "/"); }

    // Writes the bytes to a file of that name; its path.
    std::u16string Write(std::string_view name, std::string_view bytes) const
    {
        std::ofstream out(m_path / std::string(name), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return FromUtf8(File(name));
    }

private:
    std::filesystem::path m_path;
};

}  // namespace testsupport
