#include "import/DxfArena.h"

#include <cstdint>
#include <cstring>

#include "import/PopulatePages.h"

void* DxfArena::Allocate(size_t bytes, size_t align)
{
    const size_t pad = (align - reinterpret_cast<uintptr_t>(m_next) % align) % align;
    if (!m_next || pad + bytes > m_left) {
        // A request larger than a block gets a block of its own size; the
        // rest of the current block is then given up.
        const size_t size = bytes + align > kBlockBytes ? bytes + align : kBlockBytes;
        m_blocks.reserve(m_blocks.size() + 1);
        m_blocks.emplace_back(new std::byte[size]);
        m_next = m_blocks.back().get();
        // Filled to its end but for the last block: its pages made present at once.
        PopulatePages(m_next, size);
        m_left = size;
        return Allocate(bytes, align);
    }
    std::byte* at = m_next + pad;
    m_next = at + bytes;
    m_left -= pad + bytes;
    return at;
}

std::string_view DxfArena::Copy(std::string_view bytes)
{
    if (bytes.empty()) return {};
    char* at = static_cast<char*>(Allocate(bytes.size(), 1));
    std::memcpy(at, bytes.data(), bytes.size());
    return {at, bytes.size()};
}
