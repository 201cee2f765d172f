#include "norvane-cli/JsonStream.h"

#include <string>

namespace norvane::cli {
namespace {

constexpr int indentWidth = 2;

} // namespace

void JsonStream::newLine(std::size_t depth) { out_ << '\n' << std::string(depth * indentWidth, ' '); }

void JsonStream::beginValue() {
    if (open_.empty() || !open_.back().isArray) return;
    if (open_.back().count++ > 0) out_ << ',';
    newLine(open_.size());
}

void JsonStream::beginObject() {
    beginValue();
    out_ << '{';
    open_.push_back({false, 0});
}

void JsonStream::beginArray() {
    beginValue();
    out_ << '[';
    open_.push_back({true, 0});
}

void JsonStream::endObject() { close('}'); }

void JsonStream::endArray() { close(']'); }

void JsonStream::close(char bracket) {
    const bool empty = open_.back().count == 0;
    open_.pop_back();
    if (!empty) newLine(open_.size());
    out_ << bracket;
}

void JsonStream::key(std::string_view name) {
    if (open_.back().count++ > 0) out_ << ',';
    newLine(open_.size());
    out_ << nlohmann::json(name).dump() << ": ";
}

void JsonStream::value(const nlohmann::json& value) {
    beginValue();
    const auto text = value.dump(indentWidth, ' ', false, nlohmann::json::error_handler_t::replace);
    // A string value never holds a raw line break: every one starts a line of the value's own.
    const std::string indent(open_.size() * indentWidth, ' ');
    std::size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        out_.write(text.data() + start, static_cast<std::streamsize>(end + 1 - start));
        out_ << indent;
        start = end + 1;
    }
    out_.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

} // namespace norvane::cli
