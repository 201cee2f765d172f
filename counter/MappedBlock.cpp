#include "counter/MappedBlock.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace norvane::counter {

namespace {

std::size_t pageSize() {
    static const auto size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

/// Blocks freed, kept for the next blocks of their size: the ignore files of a tree take and free
/// blocks of the same few sizes, and to map and unmap them for each file costs more than to read
/// it, as the system stops every running thread of the process to unmap pages.
class KeptBlocks {
public:
    /// A kept block of `size` bytes, or null.
    char* take(std::size_t size) {
        const std::lock_guard lock(mutex_);
        const auto found =
            std::find_if(blocks_.begin(), blocks_.end(), [size](const Kept& kept) { return kept.size == size; });
        if (found == blocks_.end()) {
            return nullptr;
        }
        char* data = found->data;
        *found = blocks_.back();
        blocks_.pop_back();
        bytes_ -= size;
        return data;
    }

    /// False where as much as may be kept is kept already.
    bool keep(char* data, std::size_t size) {
        const std::lock_guard lock(mutex_);
        if (bytes_ + size > MappedBlock::kMostKeptBytes) {
            return false;
        }
        blocks_.push_back(Kept{data, size});
        bytes_ += size;
        return true;
    }

private:
    struct Kept {
        char* data;
        std::size_t size;
    };

    std::mutex mutex_;
    std::vector<Kept> blocks_;
    std::size_t bytes_ = 0;
};

// Never destroyed, so that a block freed as the program ends still finds it.
KeptBlocks& keptBlocks() {
    static auto* const blocks = new KeptBlocks;
    return *blocks;
}

bool mayBeKept(std::size_t size) { return size <= MappedBlock::kLargestKeptBlock; }

char* map(std::size_t size) {
    if (mayBeKept(size)) {
        if (char* kept = keptBlocks().take(size)) {
            return kept;
        }
    }
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    return static_cast<char*>(mapped);
}

void unmap(char* data, std::size_t size) {
    if (!mayBeKept(size) || !keptBlocks().keep(data, size)) {
        ::munmap(data, size);
    }
}

} // namespace

std::size_t MappedBlock::pagesFor(std::size_t bytes) { return (bytes + pageSize() - 1) / pageSize() * pageSize(); }

std::size_t MappedBlock::wholePagesOf(std::size_t bytes) { return bytes / pageSize() * pageSize(); }

MappedBlock::MappedBlock(std::size_t bytes) : data_(map(pagesFor(bytes))), size_(pagesFor(bytes)) {}

MappedBlock::MappedBlock(MappedBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}

MappedBlock& MappedBlock::operator=(MappedBlock&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
}

MappedBlock::~MappedBlock() {
    if (data_ != nullptr) {
        unmap(data_, size_);
    }
}

void MappedBlock::shrink(std::size_t bytes) {
    const std::size_t kept = std::max(pagesFor(bytes), pageSize());
    if (mayBeKept(size_) || kept >= size_) {
        return;
    }
    ::munmap(data_ + kept, size_ - kept);
    size_ = kept;
}

} // namespace norvane::counter
