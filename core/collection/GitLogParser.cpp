#include "core/collection/GitLogParser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <string>

namespace norvane::GitLogParser {
namespace {

/// Splits at every `separator`, keeping empty pieces.
std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
}

/// A decimal count; anything else, such as git's "-" for binary files, is 0.
int64_t parseCount(std::string_view text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (error == std::errc() && end == text.data() + text.size() && value >= 0) ? value : 0;
}

/// The text up to the next NUL, which is consumed; none when there is no NUL left.
std::optional<std::string_view> takeField(std::string_view& rest) {
    const auto end = rest.find('\0');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const auto field = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return field;
}

/// The entries "<insertions>\t<deletions>\t<path>" that follow a record's fields. A renamed file
/// has an empty path there, and its old and new paths follow as entries of their own.
void readFiles(std::string_view rest, std::vector<FileChange>& files) {
    while (auto entry = takeField(rest)) {
        // The first entry follows the line break that ends the record's header.
        if (entry->starts_with('\n')) {
            entry->remove_prefix(1);
        }
        const auto firstTab = entry->find('\t');
        const auto secondTab = firstTab == std::string_view::npos ? firstTab : entry->find('\t', firstTab + 1);
        if (secondTab == std::string_view::npos) {
            continue;
        }
        FileChange file{parseCount(entry->substr(0, firstTab)),
                        parseCount(entry->substr(firstTab + 1, secondTab - firstTab - 1)),
                        entry->substr(secondTab + 1)};
        if (file.path.empty()) {
            takeField(rest); // the old path
            file.path = takeField(rest).value_or(std::string_view());
        }
        files.push_back(file);
    }
}

constexpr std::size_t recordFieldCount = 8; // hash, parents, author, two dates, decoration, subject, body

/// Where the fields of the record at `start` end; none when the output ends first.
std::optional<std::size_t> headerEnd(std::string_view output, std::size_t start) {
    auto end = start + recordStart.size();
    for (std::size_t field = 0; field < recordFieldCount; ++field) {
        end = output.find('\0', end);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        ++end;
    }
    return end;
}

/// Reads one record, the text after its start, into `record`; false when its fields are cut short.
bool readRecord(std::string_view text, LogRecord& record) {
    std::array<std::string_view, recordFieldCount> fields;
    for (auto& field : fields) {
        const auto taken = takeField(text);
        if (!taken) {
            return false;
        }
        field = *taken;
    }
    const auto authoredAt = parseDate(fields[3]);
    const auto committedAt = parseDate(fields[4]);
    record.hash = fields[0];
    record.parents = fields[1];
    record.author = fields[2];
    record.dated = authoredAt && committedAt;
    record.authoredAt = authoredAt.value_or(platform::Date());
    record.committedAt = committedAt.value_or(platform::Date());
    record.isHead = fields[5] == "HEAD";
    record.subject = fields[6];
    record.body = fields[7];
    record.files.clear();
    readFiles(text, record.files);
    return true;
}

} // namespace

GitCommit LogRecord::commit() const {
    GitCommit commit{std::string(hash), std::string(subject), std::string(author), authoredAt};
    commit.fullMessage = std::string(body);
    for (const auto& file : files) {
        commit.insertions += file.insertions;
        commit.deletions += file.deletions;
    }
    commit.filesChanged = static_cast<int64_t>(files.size());
    return commit;
}

bool isCommitHash(std::string_view text) {
    return (text.size() == 40 || text.size() == 64) &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::optional<platform::Date> parseDate(std::string_view text) {
    // A date far beyond what the store holds (git writes any number it was given) is read as the
    // furthest one it holds, so that its commit still counts.
    constexpr int64_t largestSeconds = 9'000'000'000'000;
    int64_t seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (text.empty() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        seconds = text.starts_with('-') ? -largestSeconds : largestSeconds;
    } else if (error != std::errc()) {
        return std::nullopt;
    }
    return platform::Date(std::chrono::seconds(std::clamp(seconds, -largestSeconds, largestSeconds)));
}

void LogRecord::forEachParent(const std::function<void(std::string_view)>& visit) const {
    for (std::string_view rest = parents; !rest.empty();) {
        const auto end = rest.find(' ');
        visit(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
}

std::optional<GitCommit> parseCommitLine(std::string_view line) {
    const auto fields = split(line, std::string_view("\0", 1));
    if (fields.size() != 4) {
        return std::nullopt;
    }
    const auto date = parseDate(fields[3]);
    if (!date) {
        return std::nullopt;
    }
    return GitCommit{std::string(fields[0]), std::string(fields[1]), std::string(fields[2]), *date};
}

std::optional<std::size_t> nextRecordStart(std::string_view output, std::size_t start, std::size_t searchFrom) {
    const auto fieldsEnd = headerEnd(output, start);
    if (!fieldsEnd) {
        return std::nullopt;
    }
    const auto next = output.find(recordStart, std::max(*fieldsEnd, searchFrom));
    return next == std::string_view::npos ? std::nullopt : std::optional(next);
}

void forEachRecord(std::string_view output, const std::function<void(const LogRecord&)>& visit) {
    LogRecord record;
    for (auto start = output.find(recordStart); start != std::string_view::npos;) {
        const auto next = nextRecordStart(output, start);
        const auto end = next.value_or(output.size());
        const auto textStart = start + recordStart.size();
        if (readRecord(output.substr(textStart, end - textStart), record)) {
            visit(record);
        }
        start = next.value_or(std::string_view::npos);
    }
}

} // namespace norvane::GitLogParser
