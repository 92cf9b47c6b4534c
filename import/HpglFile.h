#pragma once
// HP-GL (.plt) reader: a file becomes the curves of a job page.
#include <cstdint>
#include <string>

class COnePage;

class CHpglFile {
public:
    CHpglFile();
    ~CHpglFile();

    std::u16string m_strPath;  // set by the caller before ReadPltFile
    int64_t m_fileTime = 0;

    // 0 read, 1 cannot be opened (yet), -2 size outside 6..8,000,000, -3 number after DF.
    int ReadPltFile();
    // Appends the curves; withName also sets the page's file name and time.
    void ToPage(COnePage& page, bool withName);
};
