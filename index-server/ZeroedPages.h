#pragma once

#include <cstddef>

namespace norvane::indexserver {

/// Memory of a fixed size that reads as zeros until it is written, mapped from the system apart
/// from the allocator: the system gives a page only once it is written, and takes every page back
/// when the memory is zeroed again. (Memory that the allocator frees and gives again may come
/// back written over with zeros, every page of it taken.)
class ZeroedPages {
public:
    /// Throws std::bad_alloc when the system gives no such mapping.
    explicit ZeroedPages(std::size_t bytes);
    ~ZeroedPages();
    ZeroedPages(const ZeroedPages&) = delete;
    ZeroedPages& operator=(const ZeroedPages&) = delete;

    void* data() const { return data_; }
    /// Reads as zeros again, and holds no page.
    void zero();

private:
    std::size_t bytes_;
    void* data_;
};

} // namespace norvane::indexserver
