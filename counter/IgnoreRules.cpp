#include "counter/IgnoreRules.h"

#include "counter/IgnorePattern.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace norvane::counter {

namespace {

// Blocks grow from a size that holds a usual ignore file to one that a long file fills many times.
constexpr std::size_t kFirstBlockLength = 1024;
constexpr std::size_t kLargestBlockLength = 256 * 1024;

std::string sizeText(std::size_t bytes) {
    return bytes >= 1024 * 1024 ? std::to_string(bytes / (1024 * 1024)) + " MB" : std::to_string(bytes / 1024) + " KB";
}

[[noreturn]] void refuseLongLine(const std::string& path) {
    throw std::length_error("cannot apply " + path + ": it holds a line longer than " +
                            sizeText(IgnoreRules::kLongestLine));
}

} // namespace

IgnoreRules::IgnoreRules(std::shared_ptr<const IgnoreRules> parent, std::size_t baseLength, MemoryBudget* budget)
    : parent_(std::move(parent)), baseLength_(baseLength), budget_(budget),
      bytesAbove_(parent_ != nullptr ? parent_->bytesAbove_ + parent_->bytes_ : 0),
      nextBlockLength_(kFirstBlockLength) {}

IgnoreRules::~IgnoreRules() {
    if (budget_ != nullptr) {
        budget_->giveBack(bytes_);
    }
}

void IgnoreRules::addFile(std::string_view first, TextSource* rest, const std::string& path) {
    std::string_view window = first;
    // A byte-order mark starts the file, not its first pattern.
    if (window.starts_with("\xEF\xBB\xBF")) {
        window.remove_prefix(3);
    }
    bool droppingRest = false; // of a line that a NUL has ended
    for (;;) {
        std::size_t at = 0;
        for (auto newline = window.find('\n'); newline != std::string_view::npos; newline = window.find('\n', at)) {
            if (!droppingRest) {
                addLine(window.substr(at, newline - at), path);
            }
            droppingRest = false;
            at = newline + 1;
        }
        const std::string_view partial = window.substr(at);
        if (rest == nullptr || rest->atEnd()) {
            if (!droppingRest && !partial.empty()) {
                addLine(partial, path);
            }
            break;
        }
        // The line that goes on in the next window is kept, unless a NUL has ended its pattern.
        std::size_t keep = 0;
        if (!droppingRest) {
            if (const auto nul = partial.find('\0'); nul != std::string_view::npos) {
                addLine(partial.substr(0, nul + 1), path);
                droppingRest = true;
            } else if (partial.size() > kLongestLine) {
                refuseLongLine(path);
            } else {
                keep = partial.size();
            }
        }
        window = rest->next(keep);
    }
    shrink();
}

void IgnoreRules::addLine(std::string_view line, const std::string& path) {
    if (line.substr(0, line.find('\0')).size() > kLongestLine) {
        refuseLongLine(path);
    }
    const auto layout = IgnorePattern::layout(line);
    if (!layout) {
        return;
    }
    if (budget_ != nullptr) {
        take(layout->length, path);
    }
    IgnorePattern::write(*layout, room(layout->length));
}

// Whether the patterns fit depends on the folder's own and those above it alone, which one thread
// walking depth first holds at once, not on the folders that other threads hold meanwhile.
void IgnoreRules::take(std::size_t length, const std::string& path) {
    if (bytesAbove_ + bytes_ + length > budget_->total()) {
        throw std::length_error("cannot apply " + path + ": the patterns of the ignore files would take more than " +
                                sizeText(budget_->total()));
    }
    if (!budget_->take(length)) {
        throw MemoryBudget::Crowded("cannot apply " + path + " while other folders' ignore patterns take up to " +
                                    sizeText(budget_->total()));
    }
    bytes_ += length;
}

char* IgnoreRules::room(std::size_t length) {
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().used < length) {
        const std::size_t capacity = std::max(length, nextBlockLength_);
        nextBlockLength_ = std::min(2 * nextBlockLength_, kLargestBlockLength);
        blocks_.push_back(Block{std::make_unique_for_overwrite<char[]>(capacity), 0, capacity});
    }
    Block& block = blocks_.back();
    char* at = block.bytes.get() + block.used;
    block.used += length;
    return at;
}

// The last block is cut to what it holds, as most ignore files fill only part of one.
void IgnoreRules::shrink() {
    if (blocks_.empty() || blocks_.back().used == blocks_.back().capacity) {
        return;
    }
    Block& last = blocks_.back();
    auto bytes = std::make_unique_for_overwrite<char[]>(last.used);
    std::memcpy(bytes.get(), last.bytes.get(), last.used);
    last.bytes = std::move(bytes);
    last.capacity = last.used;
}

bool IgnoreRules::isIgnored(std::string_view pathFromRoot, bool isFolder) const {
    for (const IgnoreRules* rules = this; rules != nullptr; rules = rules->parent_.get()) {
        if (const char* match = rules->lastMatch(pathFromRoot.substr(rules->baseLength_), isFolder)) {
            return !IgnorePattern::negated(match);
        }
    }
    return false;
}

const char* IgnoreRules::lastMatch(std::string_view relativePath, bool isFolder) const {
    const auto slash = relativePath.rfind('/');
    const auto lastPart = slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1);
    const char* match = nullptr;
    for (const Block& block : blocks_) {
        for (const char* record = block.bytes.get(); record != block.bytes.get() + block.used;
             record += IgnorePattern::lengthOf(record)) {
            if (IgnorePattern::matches(record, relativePath, lastPart, isFolder)) {
                match = record;
            }
        }
    }
    return match;
}

} // namespace norvane::counter
