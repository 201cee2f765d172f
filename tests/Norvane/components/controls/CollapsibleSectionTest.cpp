#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/controls/SectionHeaderButton.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "tests/support/TemporaryFolder.h"

#include <QLabel>
#include <QSettings>
#include <QTest>

namespace norvane::app {
namespace {

class CollapsibleSectionTest : public testing::ComponentTest {
protected:
    CollapsibleSection* make(std::optional<QString> icon, bool defaultExpanded) {
        auto content = [this] {
            ++built_;
            return new QLabel(QStringLiteral("content"));
        };
        section_ =
            std::make_unique<CollapsibleSection>(QStringLiteral("Output composition"), std::move(icon), settings_,
                                                 QStringLiteral("portfolio.output.expanded"), defaultExpanded, content);
        testing::showAndSettle(*section_, 400);
        return section_.get();
    }

    norvane::testing::TemporaryFolder folder_;
    QSettings settings_{QString::fromStdString((folder_.path() / "settings.ini").string()), QSettings::IniFormat};
    std::unique_ptr<CollapsibleSection> section_;
    int built_ = 0;
};

TEST_F(CollapsibleSectionTest, AClickAnywhereOnTheHeaderTogglesPersistsAndBuildsTheContentOnce) {
    CollapsibleSection* section = make(QStringLiteral("chart.pie"), false);
    EXPECT_EQ(section->header().titleLabel().text(), QStringLiteral("OUTPUT COMPOSITION"));
    EXPECT_FALSE(section->isExpanded());
    EXPECT_EQ(section->content(), nullptr);
    auto& header = const_cast<SectionHeaderButton&>(section->header());
    const auto click = [&header] {
        QTest::mouseClick(&header, Qt::LeftButton, {}, QPoint(header.width() / 2, header.height() / 2));
    };
    click();
    EXPECT_TRUE(section->isExpanded());
    ASSERT_NE(section->content(), nullptr);
    EXPECT_TRUE(section->content()->isVisible());
    EXPECT_EQ(settings_.value(QStringLiteral("portfolio.output.expanded")).toBool(), true);
    EXPECT_EQ(section->header().chevron().rotation(), 90.0);
    EXPECT_EQ(section->header().iconLabel()->color(), Palette::cyan());
    click(); // closed, opened again and closed: the content is kept, not built anew
    click();
    click();
    EXPECT_FALSE(section->content()->isVisible());
    EXPECT_EQ(settings_.value(QStringLiteral("portfolio.output.expanded")).toBool(), false);
    EXPECT_EQ(section->header().chevron().rotation(), 0.0);
    EXPECT_EQ(built_, 1);
}

TEST_F(CollapsibleSectionTest, ReopensTheWayItWasLeft) {
    settings_.setValue(QStringLiteral("portfolio.output.expanded"), true);
    CollapsibleSection* section = make(std::nullopt, false);
    EXPECT_TRUE(section->isExpanded());
    EXPECT_EQ(built_, 1);
    EXPECT_EQ(section->header().iconLabel(), nullptr);
}

TEST_F(CollapsibleSectionTest, HoverBrightensTheTitleAndShowsTheBackground) {
    CollapsibleSection* section = make(std::nullopt, true);
    auto& header = const_cast<SectionHeaderButton&>(section->header());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&header, &enter);
    EXPECT_TRUE(header.isHovered());
    EXPECT_EQ(header.titleLabel().color(), Palette::textPrimary());
    EXPECT_DOUBLE_EQ(header.hoverAmount(), 0.5);
    testing::leave(header);
    EXPECT_EQ(header.titleLabel().color(), Palette::textSecondary());
}

} // namespace
} // namespace norvane::app
