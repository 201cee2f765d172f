#pragma once

#include "counter/FileReader.h"
#include "counter/SourceScanner.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace norvane::counter {

/// A file long enough to be counted by several threads at once, in pieces of about
/// `pieceLength` bytes that each start a line (see SourceScanner::Pass), or in kMostPieces longer
/// ones. Piece `i` starts at the first line start from byte `i * pieceLength` on, and ends where
/// the next one starts.
class LongFileCount {
public:
    static constexpr std::size_t kPieceLength = 8 * 1024 * 1024;
    static constexpr std::size_t kMostPieces = 4096;

    /// Whether a file of `size` bytes is worth counting in pieces.
    static bool splits(std::size_t size, std::size_t pieceLength = kPieceLength) { return size >= 2 * pieceLength; }

    LongFileCount(std::string path, std::size_t size, const SourceScanner& scanner,
                  std::size_t pieceLength = kPieceLength);

    const std::string& path() const { return path_; }
    std::size_t pieceCount() const { return pieces_.size(); }

    /// Scans piece `index`, reading through `reader`, as if code came before it. True when it was
    /// the last piece still to be scanned: then `total` may be asked for. Throws
    /// std::system_error naming the file when it cannot be read, which leaves `total` failing too.
    bool scanPiece(std::size_t index, FileReader& reader);
    /// The counts of the whole file, once every piece is scanned. A piece that did not follow code
    /// is scanned again, going on from the piece before it. Throws what a piece threw.
    FileCounts total(FileReader& reader);

private:
    struct Piece {
        std::optional<SourceScanner::Pass> pass;
        std::exception_ptr error;
    };

    void scanInto(std::size_t index, FileReader& reader, SourceScanner::Pass& pass) const;

    std::string path_;
    std::size_t size_;
    const SourceScanner& scanner_;
    std::size_t pieceLength_;
    std::vector<Piece> pieces_;
    std::atomic<std::size_t> left_;
};

} // namespace norvane::counter
