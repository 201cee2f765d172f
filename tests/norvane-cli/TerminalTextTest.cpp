#include "norvane-cli/TerminalText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace norvane::cli {
namespace {

using namespace std::string_literals;

TEST(TerminalText, ControlsAndWhatIsNotUtf8AreEscapedAndTheRestKept) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"plain name", "plain name"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9A\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x9A\x80"},
        {"a\x1B]0;title\x07z", "a\\x1b]0;title\\x07z"},
        {"line\nnext\ttab\rback\x7F", "line\\nnext\\ttab\\rback\\x7f"},
        {"nul\0end"s, "nul\\x00end"},
        {"\xC2\x9B"
         "31m",
         "\\u009b31m"},
        {"\x80stray", "\\x80stray"},
        {"\xC0\x80", "\\xc0\\x80"},
        {"\xED\xA0\x80", "\\xed\\xa0\\x80"},
        {"\xF4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
        {"cut \xE2\x82", "cut \\xe2\\x82"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(TerminalText::printable(text), shown) << shown;
    }
}

} // namespace
} // namespace norvane::cli
