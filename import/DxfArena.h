#pragma once
// Storage for the parts of stored entities that vary in size or are rare:
// texts, polyline vertices, TEXT, SOLID and INSERT bodies. Filled block after
// block and never moved, so stored records point into it; freed with the
// drawing. With these out of the records, the store keeps one small fixed
// size per entity, and a large marker's load touches far less memory.
#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

class DxfArena {
public:
    // Uninitialised room for bytes bytes at align; std::bad_alloc without memory.
    void* Allocate(size_t bytes, size_t align);

    template <class T>
    T* Make(const T& value)
    {
        static_assert(std::is_trivially_destructible_v<T>, "the arena runs no destructors");
        return new (Allocate(sizeof(T), alignof(T))) T(value);
    }

    std::string_view Copy(std::string_view bytes);

    template <class T>
    std::span<const T> Copy(std::span<const T> items)
    {
        static_assert(std::is_trivially_copyable_v<T>, "copied as bytes");
        if (items.empty()) return {};
        T* at = static_cast<T*>(Allocate(items.size_bytes(), alignof(T)));
        std::uninitialized_copy(items.begin(), items.end(), at);
        return {at, items.size()};
    }

private:
    static constexpr size_t kBlockBytes = size_t{256} * 1024;
    std::vector<std::unique_ptr<std::byte[]>> m_blocks;
    std::byte* m_next = nullptr;
    size_t m_left = 0;
};
