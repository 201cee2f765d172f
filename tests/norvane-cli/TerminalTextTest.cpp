#include "norvane-cli/TerminalText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace norvane::cli {
namespace {

using namespace std::string_literals;

TEST(TerminalText, ControlsInvisibleCharactersAndWhatIsNotUtf8AreEscapedAndTheRestKept) {
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
        // Format characters and line and paragraph separators: each could turn a name around or hide
        // part of it.
        {"evil\u202Etxt.exe", "evil\\u202etxt.exe"},                          // right-to-left override
        {"a\u202Db\u202Cc", "a\\u202db\\u202cc"},                             // left-to-right override, pop
        {"a\u202Ab\u202Bc", "a\\u202ab\\u202bc"},                             // embeddings
        {"a\u2066b\u2067c\u2068d\u2069", "a\\u2066b\\u2067c\\u2068d\\u2069"}, // isolates
        {"a\u200Eb\u200Fc\u061C", "a\\u200eb\\u200fc\\u061c"},                // directional marks
        {"zero\u200Bwidth", "zero\\u200bwidth"},
        {"join\u200Cer\u200Ds\u2060", "join\\u200cer\\u200ds\\u2060"},
        {"\uFEFFbom", "\\ufeffbom"},
        {"soft\u00ADhyphen", "soft\\u00adhyphen"},
        {"line\u2028para\u2029end", "line\\u2028para\\u2029end"},
        {"tag\U000E0041\U000E007F", "tag\\U000e0041\\U000e007f"},
        {"annotation\uFFF9x\uFFFB", "annotation\\ufff9x\\ufffb"},
        {"\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627",
         "\u05E9\u05DC\u05D5\u05DD \u0645\u0631\u062D\u0628\u0627"},
        {"non\u00A0breaking em\u2003space", "non\u00A0breaking em\u2003space"},
        {"e\u0301 \u2764", "e\u0301 \u2764"},
        // The other characters that may show as nothing at all.
        {"\u3164name\u115F\uFFA0", "\\u3164name\\u115f\\uffa0"},             // Hangul fillers
        {"a\u034Fb", "a\\u034fb"},                                           // combining grapheme joiner
        {"\u2764\uFE0E\u180B\U000E0100", "\u2764\\ufe0e\\u180b\\U000e0100"}, // variation selectors
        {"a\u2065b\u17B4", "a\\u2065b\\u17b4"},                              // unassigned, Khmer inherent vowel
        // Inside an emoji sequence a joiner or selector is part of the picture typed; around it, or
        // where no such picture is, it is not.
        {"love\u2764\uFE0F", "love\u2764\uFE0F"},
        {"fam\U0001F468\u200D\U0001F469\u200D\U0001F467", "fam\U0001F468\u200D\U0001F469\u200D\U0001F467"},
        {"\U0001F469\U0001F3FD\u200D\U0001F4BB dev", "\U0001F469\U0001F3FD\u200D\U0001F4BB dev"}, // skin tone
        {"#\uFE0F\u20E3 1\uFE0F\u20E3", "#\uFE0F\u20E3 1\uFE0F\u20E3"},                           // keycaps
        {"\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F",
         "\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F"}, // a flag spelt in tags
        {"\u2764\uFE0F\u200D", "\u2764\uFE0F\\u200d"},
        {"\u200D\U0001F469", "\\u200d\U0001F469"},
        {"v1\uFE0F", "v1\\ufe0f"},
        {"\U0001F44D\u200D\U0001F44D", "\U0001F44D\\u200d\U0001F44D"},
        {"\U0001F3F4\U000E0061\U000E0062\U000E007F", "\U0001F3F4\\U000e0061\\U000e0062\\U000e007f"},
        {"a\uFE0F", "a\\ufe0f"},
        // The backslash itself: the text "\u202e" never prints as the character does.
        {"back\\slash", "back\\\\slash"},
        {"evil\\u202etxt.exe", "evil\\\\u202etxt.exe"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(TerminalText::printable(text), shown) << shown;
    }
}

} // namespace
} // namespace norvane::cli
