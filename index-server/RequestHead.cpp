#include "index-server/RequestHead.h"

namespace norvane::indexserver {

namespace {

/// Field names are short; a longer start is no name worth repeating.
constexpr std::size_t longestName = 64;

} // namespace

void RequestHead::read(std::string_view bytes) {
    for (const char byte : bytes) {
        ++lineBytes_;
        if (requestLineEnded_) {
            ++fieldBytes_;
        }
        if (lineStart_.size() < longestName) {
            lineStart_ += byte;
        }
        if (byte != '\n') {
            continue;
        }
        if (!requestLineEnded_) {
            requestLineEnded_ = true;
            longRequestLine_ = lineBytes_ > longestRequestLine;
        } else if (lineBytes_ > longestFieldLine && !longField_) {
            longField_ = fieldName();
        }
        lineBytes_ = 0;
        lineStart_.clear();
    }
}

std::optional<std::pair<int, std::string>> RequestHead::fault() const {
    if (longRequestLine_ || (!requestLineEnded_ && (cutAt_ || lineBytes_ > longestRequestLine))) {
        return std::pair{414, "The request line exceeds " + std::to_string(longestRequestLine) + " bytes"};
    }
    const auto longField = longField_ ? longField_ : lineBytes_ > longestFieldLine ? fieldName() : std::nullopt;
    if (longField) {
        return std::pair{431,
                         "The header field " + *longField + " exceeds " + std::to_string(longestFieldLine) + " bytes"};
    }
    if (cutAt_) {
        return std::pair{431, "The request's header fields exceed " + std::to_string(*cutAt_) + " bytes"};
    }
    return std::nullopt;
}

std::optional<std::string> RequestHead::fieldName() const { return lineStart_.substr(0, lineStart_.find(':')); }

} // namespace norvane::indexserver
