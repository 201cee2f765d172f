#include "platform/agents/PropertyListReader.h"

#include <cstdint>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/ErrorMessage.h"

namespace norvane::platform {
namespace {

using ::testing::HasSubstr;

std::string plist(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" + body + "\n</plist>";
}

std::string errorOf(const std::string& document) {
    return testing::errorMessageOf<PropertyListError>([&] { PropertyListReader::read(document); });
}

TEST(PropertyListReader, ReadsNestedDictionariesArraysAndScalars) {
    const auto value = PropertyListReader::read(
        plist("<dict>\n  <key>Label</key>\n  <string>  a &amp; b\n</string>\n"
              "  <key>List</key>\n  <array><integer>-7</integer> <true/> <false/> <string/></array>\n"
              "  <key>Inner</key>\n  <dict><key>Hour</key><integer>+2</integer></dict>\n</dict>"));
    EXPECT_EQ(*value.find("Label")->get<std::string>(), "  a & b\n") << "white space inside strings is kept";
    const auto& list = *value.find("List")->get<PropertyListValue::Array>();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(std::tuple(*list[0].get<std::int64_t>(), *list[1].get<bool>(), *list[2].get<bool>(),
                         *list[3].get<std::string>()),
              std::tuple(-7, true, false, ""));
    EXPECT_EQ(*value.find("Inner")->find("Hour")->get<std::int64_t>(), 2);
    EXPECT_FALSE(value.find("Missing") || value.find("List")->find("x"));
}

TEST(PropertyListReader, RejectsWhatIsNotAPropertyList) {
    EXPECT_THAT(errorOf("<dict/>"), HasSubstr("root element is not <plist>"));
    EXPECT_THAT(errorOf(plist("")), HasSubstr("exactly one value"));
    EXPECT_THAT(errorOf(plist("<true/><true/>")), HasSubstr("exactly one value"));
    EXPECT_THAT(errorOf(plist("<dict><string>x</string></dict>")), HasSubstr("expected <key>"));
    EXPECT_THAT(errorOf(plist("<dict><key>A</key></dict>")), HasSubstr("key A has no value"));
    EXPECT_THAT(errorOf(plist("<dict><key>A</key><true/><key>A</key><true/></dict>")), HasSubstr("duplicate key A"));
    EXPECT_THAT(errorOf(plist("<dict>text<key>A</key><true/></dict>")), HasSubstr("<dict> cannot hold text"));
    EXPECT_THAT(errorOf(plist("<string><b/></string>")), HasSubstr("cannot hold elements"));
    EXPECT_THAT(errorOf(plist("<true>yes</true>")), HasSubstr("cannot hold text"));
    EXPECT_THAT(errorOf(plist("<real>1.5</real>")), HasSubstr("unsupported element <real>"));
    EXPECT_THAT(errorOf(plist("<string id='1'>x</string>")), HasSubstr("cannot have attributes"));
    EXPECT_THAT(errorOf(plist("<dict><key>A</key>")), HasSubstr("line"));
}

TEST(PropertyListReader, RejectsMalformedIntegers) {
    for (const char* text : {"", "+", "-", "1.5", " 2", "2 ", "0x10", "+-1", "99999999999999999999"}) {
        EXPECT_THAT(errorOf(plist(std::string("<integer>") + text + "</integer>")), HasSubstr("invalid integer"))
            << text;
    }
    EXPECT_EQ(*PropertyListReader::read(plist("<integer>-9223372036854775808</integer>")).get<std::int64_t>(),
              INT64_MIN);
}

} // namespace
} // namespace norvane::platform
