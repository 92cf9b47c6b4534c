#include "import/DxfLabelFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "model/Settings.h"
#include "model/Text.h"

std::u16string DxfLabelFilePath()
{
    return theSettings.Path(Slot::ProgramDir) + u"dxfChar.plt";
}

CDxfLabelFile::~CDxfLabelFile()
{
    Remove();
}

bool CDxfLabelFile::CreateBeside(const std::u16string& base)
{
    Remove();
    m_failed = false;
    m_size = 0;
    std::string name = ToUtf8(base);
    const size_t dot = name.rfind('.');
    const size_t slash = name.rfind('/');
    std::string suffix;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        suffix = name.substr(dot);
        name.resize(dot);
    }
    name += "-XXXXXX" + suffix;
    // mkstemps creates with O_EXCL under a name no one holds.
    const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        m_failed = true;
        return false;
    }
    m_file = fdopen(fd, "wb");
    if (!m_file) {
        ::close(fd);
        ::unlink(name.c_str());
        m_failed = true;
        return false;
    }
    m_ownPath = FromUtf8(name);
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    return true;
}

void CDxfLabelFile::Remove()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_ownPath.empty()) {
        ::unlink(ToUtf8(m_ownPath).c_str());
        m_ownPath.clear();
    }
}

bool CDxfLabelFile::Create(const std::u16string& path)
{
    Remove();
    m_failed = false;
    m_size = 0;
    // "wb" truncates an old file: the same as deleting and creating it,
    // without removing whatever else the path may name.
    m_file = std::fopen(ToUtf8(path).c_str(), "wb");
    if (!m_file) {
        m_failed = true;
        return false;
    }
    // Unbuffered: a failing write shows at the write that failed.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    return true;
}

bool CDxfLabelFile::Write(std::string_view bytes)
{
    if (!m_file || m_failed) {
        m_failed = true;
        return false;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), m_file);
    m_size += written;
    if (written != bytes.size() || std::ferror(m_file)) m_failed = true;
    return !m_failed;
}

int CDxfLabelFile::Close()
{
    if (m_file) {
        if (std::fclose(m_file) != 0) m_failed = true;
        m_file = nullptr;
    }
    return m_failed ? -1 : 0;
}
