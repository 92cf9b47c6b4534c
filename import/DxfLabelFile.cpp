#include "import/DxfLabelFile.h"

#include <cstdio>

#include "model/Settings.h"
#include "model/Text.h"

std::u16string DxfLabelFilePath()
{
    return theSettings.Path(Slot::ProgramDir) + u"dxfChar.plt";
}

CDxfLabelFile::~CDxfLabelFile()
{
    if (m_file) std::fclose(m_file);
}

bool CDxfLabelFile::Create(const std::u16string& path)
{
    if (m_file) Close();
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
