#include "index-server/BenchmarkPublisher.h"

#include "platform/persistence/Database.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace norvane::indexserver {
namespace {

// The reports gone from under a running service, as a damaged file would leave them: the last
// document is still served, and the failure is told where the service's log goes.
TEST(BenchmarkPublisher, AStoreThatCannotBeReadKeepsTheLastDocumentAndSaysSo) {
    const testing::TemporaryFolder folder;
    const auto file = (folder.path() / "reports.db").string();
    ReportStore store(file);
    const testing::ManualClock clock(testing::utc("2025-03-20T12:00:00Z"));
    BenchmarkPublisher publisher(store, clock.clock());
    const auto served = publisher.document();
    platform::Database(file, platform::Database::Access::readWrite).execute("DROP TABLE reports");

    ::testing::internal::CaptureStderr();
    publisher.reportsChanged();
    publisher.waitUntilCurrent();
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(*publisher.document(), *served);
    EXPECT_TRUE(told.ends_with(": Failed to update the benchmarks, serving the previous ones: the file does not hold "
                               "what this program expects: no such table: reports (" +
                               file + ")\n"))
        << told;
}

} // namespace
} // namespace norvane::indexserver
