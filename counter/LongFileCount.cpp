#include "counter/LongFileCount.h"
#include "counter/QuotedPath.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace norvane::counter {

namespace {

/// The windows of one piece of a file: from the first line start at or after `from` up to the
/// first line start at or after `to` (the end of the file for none).
class PieceSource final : public TextSource {
public:
    PieceSource(FileReader::Reading& reading, std::size_t from, std::size_t to) : reading_(reading), to_(to) {
        window_ = reading_.fill();
        // The byte before `from` tells whether a line starts there.
        if (from != 0) {
            window_ = skipToLineStart(from - 1);
        }
        // A line that runs past `to` leaves this piece empty: it belongs to the one before.
        const std::size_t start = reading_.windowStart() + reading_.window().size() - window_.size();
        if (to_ != 0 && start >= to_) {
            window_ = window_.substr(window_.size());
            ended_ = true;
            return;
        }
        cutAtEnd();
    }

    std::string_view first() const { return window_; }

    std::string_view next(std::size_t keep) override {
        window_ = reading_.next(keep);
        cutAtEnd();
        return window_;
    }

    bool atEnd() const override { return ended_; }

private:
    // The window from just after the first line break at or after byte `at` of the file; empty
    // when the file holds none.
    std::string_view skipToLineStart(std::size_t at) {
        for (std::string_view window = window_;; window = reading_.next(0)) {
            const std::size_t start = reading_.windowStart();
            const std::size_t from = at > start ? at - start : 0;
            if (const auto newline = window.find('\n', from); newline != std::string_view::npos) {
                return window.substr(newline + 1);
            }
            if (reading_.atEnd()) {
                return window.substr(window.size());
            }
        }
    }

    // Cuts the window after the first line break at or after byte `to_ - 1` of the file.
    void cutAtEnd() {
        const std::size_t windowEnd = reading_.windowStart() + reading_.window().size();
        const std::size_t start = windowEnd - window_.size();
        ended_ = reading_.atEnd();
        if (to_ == 0 || windowEnd < to_) {
            return;
        }
        const std::size_t from = to_ - 1 > start ? to_ - 1 - start : 0;
        if (const auto newline = window_.find('\n', from); newline != std::string_view::npos) {
            window_ = window_.substr(0, newline + 1);
            ended_ = true;
        }
    }

    FileReader::Reading& reading_;
    std::size_t to_;
    std::string_view window_;
    bool ended_ = false;
};

} // namespace

// A file of many gigabytes is cut into longer pieces, so that what its pieces hold stays small.
LongFileCount::LongFileCount(std::string path, std::size_t size, const SourceScanner& scanner, std::size_t pieceLength)
    : path_(std::move(path)), size_(size), scanner_(scanner),
      pieceLength_(std::max(pieceLength, (size + kMostPieces - 1) / kMostPieces)),
      pieces_((size + pieceLength_ - 1) / pieceLength_), left_(pieces_.size()) {}

bool LongFileCount::scanPiece(std::size_t index, FileReader& reader) {
    Piece& piece = pieces_[index];
    try {
        piece.pass.emplace(scanner_, index == 0);
        scanInto(index, reader, *piece.pass);
    } catch (...) {
        piece.error = std::current_exception();
    }
    return left_.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

FileCounts LongFileCount::total(FileReader& reader) {
    for (const Piece& piece : pieces_) {
        if (piece.error) {
            std::rethrow_exception(piece.error);
        }
    }
    FileCounts total;
    SourceScanner::Pass* current = &*pieces_.front().pass;
    for (std::size_t index = 1; index < pieces_.size(); ++index) {
        if (current->endsInCode()) {
            total += current->counts();
            current = &*pieces_[index].pass;
        } else {
            scanInto(index, reader, *current);
        }
    }
    total += current->counts();
    return total;
}

void LongFileCount::scanInto(std::size_t index, FileReader& reader, SourceScanner::Pass& pass) const {
    const std::size_t from = index * pieceLength_;
    const bool last = index + 1 == pieces_.size();
    auto reading = reader.open(path_.c_str(), FileReader::kWindowLength, from == 0 ? 0 : from - 1);
    if (!reading) {
        throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory),
                                "cannot read " + quotedPath(path_));
    }
    PieceSource source(*reading, from, last ? 0 : from + pieceLength_);
    pass.scan(source.first(), source);
}

} // namespace norvane::counter
