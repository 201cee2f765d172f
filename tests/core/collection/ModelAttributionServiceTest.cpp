#include "core/collection/ModelAttributionService.h"

#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace norvane {
namespace {

using platform::LocalCalendar::addingDays;
using platform::LocalCalendar::startOfDay;

class ModelAttributionServiceTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    ModelAttributionServiceTest() { context->save(); }

    GitCommit commit(const std::string& message, platform::Date date, int64_t insertions, int64_t deletions = 0) {
        return {"h" + std::to_string(next++),
                message.substr(0, message.find('\n')),
                "a",
                date,
                insertions,
                deletions,
                1,
                message};
    }

    std::shared_ptr<ModelDailyActivity> row(AIModel model, platform::Date date, int64_t commits, double effort,
                                            int64_t lines = 100) {
        auto stored = ModelDailyActivity::create(project, date, model);
        stored->commitCount = commits;
        stored->estimatedEffortMonths = effort;
        stored->insertions = lines;
        context->insert(stored);
        return stored;
    }

    std::vector<std::shared_ptr<ModelDailyActivity>> rows() {
        auto all = context->fetch<ModelDailyActivity>();
        std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a->model() < b->model(); });
        return all;
    }

    const platform::Date now = platform::currentDate();
    const platform::Date day = startOfDay(addingDays(now, -3)) + std::chrono::hours(9);
    ModelAttributionService service{context, [this] { return now; }};
    std::shared_ptr<Project> project = addProject("demo", ProjectType::embedded);
    int next = 0;
};

TEST_F(ModelAttributionServiceTest, OneRowPerDayAndModelWithEffortOfTheSum) {
    const std::vector<GitCommit> commits{commit("[claude] a", day, 300),
                                         commit("b\n\nCo-Authored-By: Claude", day, 500, 200)};
    service.processCommitsForAttribution(project, commits);
    service.processCommitsForAttribution(project, commits);
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 1U);
    EXPECT_EQ(std::tuple(stored[0]->model(), stored[0]->date, stored[0]->linesChanged(), stored[0]->commitCount,
                         stored[0]->filesChanged),
              std::tuple(AIModel::claude, startOfDay(day), 1000, 2, 2));
    // Organic rates whatever the project's mode, from the summed lines.
    EXPECT_NEAR(stored[0]->estimatedEffortMonths, 2.4, 1e-9);
    EXPECT_NEAR(stored[0]->estimatedCost, 72000, 1e-6);
}

TEST_F(ModelAttributionServiceTest, TagsMarkersAndPlainCommits) {
    const auto old = row(AIModel::gemini, startOfDay(addingDays(day, -5)), 3, 1.5);
    context->save();
    service.processCommitsForAttribution(
        project, {commit("[manual] [claude] both", day, 10), commit("[no-ai] by hand", day, 5),
                  commit("AI-assisted fix", addingDays(day, 1), 7), commit("x\n\nAI-assisted", day, 300),
                  commit("y\n\nCo-authored-by: Jane <j@x>", day, 500), commit("plain", day, 1000)});
    const auto stored = rows();
    ASSERT_EQ(stored.size(), 4U);
    EXPECT_EQ((std::tuple{stored[0]->model(), stored[0]->insertions}), (std::tuple{AIModel::claude, 10}));
    EXPECT_EQ((std::tuple{stored[1]->model(), stored[1]->commitCount}), (std::tuple{AIModel::gemini, 3}));
    EXPECT_EQ((std::tuple{stored[2]->model(), stored[2]->insertions, stored[2]->commitCount}),
              (std::tuple{AIModel::manual, 15, 2}));
    EXPECT_EQ((std::tuple{stored[3]->model(), stored[3]->date}),
              (std::tuple{AIModel::unknown, startOfDay(addingDays(day, 1))}));
    EXPECT_EQ(old->commitCount, 3); // a pair the commits do not produce keeps its figures
    EXPECT_EQ(service.getProjectSummary(project, std::nullopt).totalAttributedCommits, 7);
}

TEST_F(ModelAttributionServiceTest, SummaryOverAWindow) {
    const auto empty = service.getPortfolioSummary(30);
    EXPECT_TRUE(empty.modelMetrics.empty());
    EXPECT_EQ(empty.attributionCoverage(), 0);
    EXPECT_FALSE(empty.topLeverageModel() || empty.mostUsedModel());

    row(AIModel::claude, startOfDay(addingDays(now, -2)), 6, 3.0, 600);
    row(AIModel::cursor, startOfDay(addingDays(now, -1)), 4, 9.0, 200);
    row(AIModel::copilot, startOfDay(addingDays(now, -60)), 50, 1.0, 5000); // outside 30 days
    auto odd = row(AIModel::unknown, startOfDay(addingDays(now, -1)), 2, 0.0, 200);
    odd->modelRaw = "Claude";
    context->save();

    const auto summary = service.getPortfolioSummary(30);
    ASSERT_EQ(summary.modelMetrics.size(), 3U);
    EXPECT_EQ(std::tuple(summary.totalAttributedCommits, summary.attributionCoverage()), std::tuple(12, 100));
    const auto& claude = summary.modelMetrics[0];
    EXPECT_EQ(std::tuple(claude.model, claude.linesChanged), std::tuple(AIModel::claude, 600));
    EXPECT_NEAR(*claude.leverage, 3.0, 1e-9);
    EXPECT_NEAR(claude.commitShare, 50.0, 1e-9);
    EXPECT_NEAR(claude.linesShare, 60.0, 1e-9);
    // "Claude" names no model: unknown, without effort. Cursor has too few commits to lead.
    EXPECT_EQ(std::tuple(summary.modelMetrics[2].model, summary.modelMetrics[2].leverage),
              std::tuple(AIModel::unknown, std::nullopt));
    EXPECT_EQ(std::tuple(summary.topLeverageModel(), summary.mostUsedModel()),
              std::tuple(AIModel::claude, AIModel::claude));
}

TEST_F(ModelAttributionServiceTest, SpanWithoutAWindow) {
    row(AIModel::claude, startOfDay(addingDays(now, -10)), 1, 0.4);
    row(AIModel::claude, startOfDay(addingDays(now, -6)), 1, 0.4);
    context->save();
    const auto summary = service.getProjectSummary(project, std::nullopt);
    ASSERT_EQ(summary.modelMetrics.size(), 1U);
    EXPECT_NEAR(*summary.modelMetrics[0].leverage, 0.8 / (4.0 / 30.0), 1e-9);
}

TEST_F(ModelAttributionServiceTest, RollingLeverageByModel) {
    const auto base = startOfDay(addingDays(now, -20));
    row(AIModel::claude, base, 1, 0.7);
    row(AIModel::claude, addingDays(base, 10), 1, 0.7);
    row(AIModel::claude, addingDays(base, 16), 1, 0.0);
    row(AIModel::copilot, addingDays(base, 1), 1, 0.0);
    context->save();
    const auto series = service.getLeverageSeriesByModel(30);
    ASSERT_EQ(series.size(), 1U);
    const auto& points = series.at(AIModel::claude);
    ASSERT_EQ(points.size(), 3U);
    EXPECT_NEAR(points[0].leverage, 0.7 / (14.0 / 30.0), 1e-9);
    EXPECT_NEAR(points[1].leverage, 1.4 / (14.0 / 30.0), 1e-9);
    EXPECT_NEAR(points[2].leverage, 0.7 / (14.0 / 30.0), 1e-9); // the first row left the window
}

} // namespace
} // namespace norvane
