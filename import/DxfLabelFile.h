#pragma once
// The label file "dxfChar.plt": single-byte HP-GL label commands through which
// the texts of a DXF drawing reach the HP-GL reader.
#include <cstdio>
#include <string>
#include <string_view>

// ProgramDir + "dxfChar.plt".
std::u16string DxfLabelFilePath();

class CDxfLabelFile {
public:
    CDxfLabelFile() = default;
    CDxfLabelFile(const CDxfLabelFile&) = delete;
    CDxfLabelFile& operator=(const CDxfLabelFile&) = delete;
    ~CDxfLabelFile();

    // Creates the file anew (empty); false when it cannot be created.
    bool Create(const std::u16string& path);
    // Creates a new file of its own beside `base` ("dxfChar.plt" becomes
    // "dxfChar-XXXXXX.plt"), never one that exists: two imports at once, in
    // this process or another, each write their own. The file is removed by
    // Remove or the destructor. False when none could be created.
    bool CreateBeside(const std::u16string& base);
    // The path of the file CreateBeside made (empty otherwise).
    const std::u16string& Path() const { return m_ownPath; }
    // Closes and deletes the file CreateBeside made.
    void Remove();
    // Writes the bytes as they are; false when they did not all reach the file
    // (or an earlier write failed). Each call goes to the file at once.
    bool Write(std::string_view bytes);
    // 0 when every write and the close succeeded, else -1.
    int Close();

    bool IsOpen() const { return m_file != nullptr; }
    bool Failed() const { return m_failed; }
    // Bytes written since Create.
    size_t Size() const { return m_size; }

private:
    std::FILE* m_file = nullptr;
    std::u16string m_ownPath;
    bool m_failed = false;
    size_t m_size = 0;
};
