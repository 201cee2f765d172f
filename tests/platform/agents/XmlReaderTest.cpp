#include "platform/agents/XmlReader.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/ErrorMessage.h"

namespace norvane::platform {
namespace {

using ::testing::HasSubstr;

std::string errorOf(std::string_view document) {
    return testing::errorMessageOf<XmlError>([&] { XmlReader::parseDocument(document); });
}

TEST(XmlReader, ReadsElementsAttributesAndTextInOrder) {
    const auto root = XmlReader::parseDocument(
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Example//DTD X 1.0//EN\" \"http://example.org/x.dtd\">\n"
        "<!-- a comment -->\n"
        "<root version='1.0' kind=\"a&amp;b\">\n  <leaf>one</leaf><empty/>\n  <leaf>two</leaf>\n</root>\n"
        "<!-- after -->\n<?pi data?>\n");
    EXPECT_EQ(root.name, "root");
    EXPECT_EQ(root.attributes, (std::vector<std::pair<std::string, std::string>>{{"version", "1.0"}, {"kind", "a&b"}}));
    ASSERT_EQ(root.children.size(), 3u);
    EXPECT_EQ(std::tuple(root.children[0].text, root.children[1].name, root.children[1].children.size(),
                         root.children[2].text),
              std::tuple("one", "empty", 0U, "two"));
}

TEST(XmlReader, ResolvesEntitiesCharacterReferencesAndCdata) {
    const auto root = XmlReader::parseDocument(
        "<t>&amp;&lt;&gt;&quot;&apos; &#65;&#x42;&#xE9;&#x1F600; <![CDATA[<raw & kept>]]></t>");
    EXPECT_EQ(root.text, "&<>\"' AB\xC3\xA9\xF0\x9F\x98\x80 <raw & kept>");
}

TEST(XmlReader, RejectsDocumentsThatAreNotWellFormedOrTooDeep) {
    EXPECT_THAT(errorOf("<a><b></a></b>"), HasSubstr("end tag does not match b"));
    EXPECT_THAT(errorOf("<a>"), HasSubstr("missing end tag of a"));
    EXPECT_THAT(errorOf("<a/><b/>"), HasSubstr("after the root element"));
    EXPECT_THAT(errorOf(""), HasSubstr("expected the root element"));
    EXPECT_THAT(errorOf("text"), HasSubstr("expected the root element"));
    EXPECT_THAT(errorOf("<a x=1/>"), HasSubstr("quoted attribute value"));
    EXPECT_THAT(errorOf("<a x='1' x='2'/>"), HasSubstr("duplicate attribute x"));
    EXPECT_THAT(errorOf("<a x='1'y='2'/>"), HasSubstr("white space before an attribute"));
    EXPECT_THAT(errorOf("<a x='<'/>"), HasSubstr("'<' in an attribute value"));
    EXPECT_THAT(errorOf("<a>&nbsp;</a>"), HasSubstr("unknown entity &nbsp;"));
    EXPECT_THAT(errorOf("<a>& b</a>"), HasSubstr("entity"));
    EXPECT_THAT(errorOf("<a>&#0;</a>"), HasSubstr("invalid character reference"));
    EXPECT_THAT(errorOf("<a>&#xD800;</a>"), HasSubstr("invalid character reference"));
    EXPECT_THAT(errorOf("<a>&#x110000;</a>"), HasSubstr("invalid character reference"));
    EXPECT_THAT(errorOf("<a>]]></a>"), HasSubstr("']]>'"));
    EXPECT_THAT(errorOf("<a><!-- x -- y --></a>"), HasSubstr("expected '-->'"));
    EXPECT_THAT(errorOf("<a/><!DOCTYPE a>"), HasSubstr("misplaced document type"));
    EXPECT_THAT(errorOf(" <?xml version='1.0'?><a/>"), HasSubstr("misplaced XML declaration"));
    EXPECT_THAT(errorOf("<1a/>"), HasSubstr("expected a name"));
    EXPECT_THAT(errorOf("<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>"), HasSubstr("internal DTD subsets"));
    EXPECT_THAT(errorOf("<a>\xC3\x28</a>"), HasSubstr("invalid character"));
    EXPECT_THAT(errorOf(std::string("<a>\x01</a>")), HasSubstr("invalid character"));
    std::string deep;
    for (int level = 0; level < 300; ++level) deep += "<a>";
    EXPECT_THAT(errorOf(deep), HasSubstr("nested too deeply"));
}

TEST(XmlReader, ErrorsNameTheLine) { EXPECT_EQ(errorOf("<a>\n<b>\n</c>\n</a>"), "line 3: end tag does not match b"); }

} // namespace
} // namespace norvane::platform
