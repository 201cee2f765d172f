#include "index-server/ZeroedPages.h"

#include <new>

#include <sys/mman.h>

namespace norvane::indexserver {

ZeroedPages::ZeroedPages(std::size_t bytes)
    : bytes_(bytes), data_(::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)) {
    if (data_ == MAP_FAILED) {
        throw std::bad_alloc();
    }
}

ZeroedPages::~ZeroedPages() { ::munmap(data_, bytes_); }

void ZeroedPages::zero() {
    // A private mapping's pages given back read as zeros when next touched.
    ::madvise(data_, bytes_, MADV_DONTNEED);
}

} // namespace norvane::indexserver
