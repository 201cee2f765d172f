#include "Norvane/pages/PortfolioReads.h"

#include <gtest/gtest.h>

#include "core/facade/NorvaneStore.h"
#include "platform/persistence/Database.h"
#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app {
namespace {

// The daily rows gone: each read of them fails on its own, leaves its part out and says so, and
// the reads that do not need them still answer.
TEST(PortfolioReads, EachReadThatFailsLeavesItsPartOutAndATrace) {
    testing::StoreFixture fixture;
    fixture.add("atlas", ProjectStatus::active, [](Project& project) { project.baselineVelocity = 100; });
    const auto file = fixture.folder.path() / "norvane.store";
    platform::Database(file.string(), platform::Database::Access::readWrite).execute("DROP TABLE daily_activity");
    testing::CapturedWarnings warnings;

    const auto figures = PortfolioReads(NorvaneStore(fixture.container).portfolioPage()).indexFigures(30);
    EXPECT_FALSE(figures.composition);
    EXPECT_FALSE(figures.streak);
    ASSERT_TRUE(figures.benchmark) << "the projects are read without daily rows";
    EXPECT_FALSE(figures.benchmark->inputs.velocityRetention);
    const QString missing =
        QStringLiteral(": the file does not hold what this program expects: no such table: daily_activity (%1)")
            .arg(QString::fromStdString(file));
    EXPECT_EQ(testing::CapturedWarnings::lines(),
              (std::vector<QString>{"norvane.pages: Failed to load Norvane Index metrics" + missing,
                                    "norvane.pages: Failed to load the streak and the active days" + missing,
                                    "norvane.pages: Failed to read the velocity retention of atlas" + missing}));
}

} // namespace
} // namespace norvane::app
