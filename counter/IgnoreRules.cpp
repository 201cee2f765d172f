#include "counter/IgnoreRules.h"

#include "counter/IgnorePattern.h"
#include "counter/QuotedPath.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace norvane::counter {

namespace {

// Blocks grow from a page, which holds a usual ignore file, to one that a long file fills many times.
constexpr std::size_t kFirstBlockLength = 4 * 1024;
constexpr std::size_t kLargestBlockLength = 256 * 1024;

std::string sizeText(std::size_t bytes) {
    return bytes >= 1024 * 1024 ? std::to_string(bytes / (1024 * 1024)) + " MB" : std::to_string(bytes / 1024) + " KB";
}

[[noreturn]] void refuseLongLine(const std::string& path) {
    throw std::length_error("cannot apply " + quotedPath(path) + ": it holds a line longer than " +
                            sizeText(IgnoreRules::kLongestLine));
}

} // namespace

IgnoreRules::IgnoreRules(std::shared_ptr<const IgnoreRules> parent, std::size_t baseLength, MemoryBudget* budget)
    : parent_(std::move(parent)), baseLength_(baseLength), budget_(budget),
      bytesAbove_(parent_ != nullptr ? parent_->bytesAbove_ + parent_->bytes_ : 0),
      nextBlockLength_(kFirstBlockLength) {}

IgnoreRules::~IgnoreRules() {
    // Unmapped before the budget counts them as free.
    blocks_.clear();
    if (budget_ != nullptr) {
        budget_->giveBack(bytes_);
    }
}

void IgnoreRules::addFile(std::string_view first, TextSource* rest, const std::string& path) {
    FileBeingAdded file{path, bytes_};
    std::string_view window = first;
    std::size_t passed = 0; // bytes of the file before the window
    // A byte-order mark starts the file, not its first pattern.
    if (window.starts_with("\xEF\xBB\xBF")) {
        window.remove_prefix(3);
        passed = 3;
    }
    bool droppingRest = false; // of a line that a NUL has ended
    for (;;) {
        std::size_t at = 0;
        for (auto newline = window.find('\n'); newline != std::string_view::npos; newline = window.find('\n', at)) {
            if (!droppingRest) {
                file.textRead = passed + newline + 1;
                addLine(window.substr(at, newline - at), file);
            }
            droppingRest = false;
            at = newline + 1;
        }
        const std::string_view partial = window.substr(at);
        if (rest == nullptr || rest->atEnd()) {
            if (!droppingRest && !partial.empty()) {
                file.textRead = passed + window.size();
                addLine(partial, file);
            }
            break;
        }
        // The line that goes on in the next window is kept, unless a NUL has ended its pattern.
        std::size_t keep = 0;
        if (!droppingRest) {
            if (const auto nul = partial.find('\0'); nul != std::string_view::npos) {
                file.textRead = passed + at + nul + 1;
                addLine(partial.substr(0, nul + 1), file);
                droppingRest = true;
            } else if (partial.size() > kLongestLine) {
                refuseLongLine(path);
            } else {
                keep = partial.size();
            }
        }
        passed += window.size() - keep;
        window = rest->next(keep);
    }
    shrinkLastBlock();
}

void IgnoreRules::addLine(std::string_view line, const FileBeingAdded& file) {
    if (line.substr(0, line.find('\0')).size() > kLongestLine) {
        refuseLongLine(file.path);
    }
    const auto layout = IgnorePattern::layout(line);
    if (!layout) {
        return;
    }
    IgnorePattern::write(*layout, room(layout->length, file));
}

char* IgnoreRules::room(std::size_t length, const FileBeingAdded& file) {
    if (blocks_.empty() || blocks_.back().bytes.size() - blocks_.back().used < length) {
        addBlock(length, file);
    }
    Block& block = blocks_.back();
    char* at = block.bytes.data() + block.used;
    block.used += length;
    return at;
}

// The budget counts the pages that the blocks take, the memory held, not just the records in them.
// Whether the patterns fit depends on the folder's own and those above it alone, which one thread
// walking depth first holds at once, not on the folders that other threads hold meanwhile.
void IgnoreRules::addBlock(std::size_t length, const FileBeingAdded& file) {
    std::size_t capacity = std::max(length, nextBlockLength_);
    if (budget_ != nullptr) {
        const std::size_t left = budget_->total() - std::min(budget_->total(), bytesAbove_ + bytes_);
        if (MappedBlock::pagesFor(length) > left) {
            refuseAsTooLarge(file);
        }
        capacity = std::min(capacity, MappedBlock::wholePagesOf(left));
    }
    MappedBlock block(capacity);
    if (budget_ != nullptr && !budget_->take(block.size())) {
        throw MemoryBudget::Crowded("cannot apply " + quotedPath(file.path) +
                                    " while other folders' ignore patterns take up to " + sizeText(budget_->total()));
    }
    bytes_ += block.size();
    blocks_.push_back(Block{std::move(block), 0});
    nextBlockLength_ = std::min(2 * nextBlockLength_, kLargestBlockLength);
}

// Most ignore files fill only part of their last block.
void IgnoreRules::shrinkLastBlock() {
    if (blocks_.empty()) {
        return;
    }
    MappedBlock& last = blocks_.back().bytes;
    const std::size_t before = last.size();
    last.shrink(blocks_.back().used);
    bytes_ -= before - last.size();
    if (budget_ != nullptr) {
        budget_->giveBack(before - last.size());
    }
}

void IgnoreRules::refuseAsTooLarge(const FileBeingAdded& file) const {
    const std::size_t others = bytesAbove_ + file.bytesBefore;
    throw std::length_error("cannot apply " + quotedPath(file.path) +
                            ": the ignore patterns in force in its folder would take more than " +
                            sizeText(budget_->total()) + " (its first " + sizeText(file.textRead) + " made " +
                            sizeText(bytes_ - file.bytesBefore) + " of patterns" +
                            (others != 0 ? ", the other ignore files in force " + sizeText(others) : "") + ")");
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
        for (const char* record = block.bytes.data(); record != block.bytes.data() + block.used;
             record += IgnorePattern::lengthOf(record)) {
            if (IgnorePattern::matches(record, relativePath, lastPart, isFolder)) {
                match = record;
            }
        }
    }
    return match;
}

} // namespace norvane::counter
