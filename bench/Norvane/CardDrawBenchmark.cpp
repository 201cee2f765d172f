// The achievements and work-pattern cards drawn over a portfolio of 50 projects with three years
// of daily rows and weekly history: from making the card to its pixels at 560 pixels wide. Goal:
// under 16 ms each, one frame. Run a Release build: build/release/bin/norvane_card_draw_benchmark
#include "Norvane/cards/AchievementsCard.h"
#include "Norvane/cards/WorkPatternsCard.h"
#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/theme/DarkTheme.h"
#include "bench/support/PortfolioSeed.h"
#include "core/analytics/AchievementCalculator.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/StreakCalculator.h"
#include "core/analytics/WorkPatternService.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/LocalCalendar.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <unistd.h>

namespace norvane::app {
namespace {

constexpr int cardWidth = 560;
constexpr int windowHeight = 1200;

/// What the portfolio page hands the two cards, computed once from a filled store that is
/// removed again at once.
struct CardInputs {
    std::vector<Achievement> achievements;
    WorkPatterns patterns;
};

CardInputs computeInputs() {
    const auto folder = std::filesystem::temp_directory_path() / ("norvane-card-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    CardInputs inputs;
    {
        auto context =
            std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer(folder / "norvane.store"));
        const auto projects = PortfolioSeed::fill(*context);
        context->save();
        std::int64_t totalLines = 0;
        std::set<platform::Date> activeDays;
        for (const auto& activity : context->fetch<DailyActivity>()) {
            totalLines += activity->codeLinesInserted;
            activeDays.insert(platform::LocalCalendar::startOfDay(activity->date));
        }
        const ProductivityStreak streak = StreakCalculator::calculate(activeDays);
        const VelocityRetention retention = PortfolioMetricsService(context).getVelocityRetention(projects.front());
        inputs.achievements = AchievementCalculator::calculate(totalLines, streak.longestStreak, streak.currentStreak,
                                                               62, retention.retentionPercent);
        inputs.patterns = WorkPatternService(context).analyzePatterns(PortfolioSeed::historyDays);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return inputs;
}

const CardInputs& inputs() {
    static const CardInputs computed = computeInputs();
    return computed;
}

/// Makes the card, lays it out at the card width and paints it into an image that stands for the
/// window's backing store: one image for all rounds, as a window keeps its store.
template <typename Make>
void draw(benchmark::State& state, Make make) {
    QImage window(cardWidth, windowHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        std::unique_ptr<QWidget> card(make());
        card->resize(cardWidth,
                     card->hasHeightForWidth() ? card->heightForWidth(cardWidth) : card->sizeHint().height());
        window.fill(Qt::transparent);
        card->render(&window);
        benchmark::DoNotOptimize(window.constBits());
    }
}

void BM_AchievementsCard(benchmark::State& state) {
    state.counters["badges"] = static_cast<double>(inputs().achievements.size());
    draw(state, [] { return new AchievementsCard(inputs().achievements); });
}

void BM_WorkPatternsCard(benchmark::State& state) {
    state.counters["commits"] = inputs().patterns.totalCommits;
    draw(state, [] { return new WorkPatternsCard(inputs().patterns); });
}

} // namespace
} // namespace norvane::app

int main(int argc, char* argv[]) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    norvane::app::DarkTheme::apply(application);
    norvane::app::Tween::setAnimationsEnabled(false);
    benchmark::RegisterBenchmark("BM_AchievementsCard", norvane::app::BM_AchievementsCard)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_WorkPatternsCard", norvane::app::BM_WorkPatternsCard)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
