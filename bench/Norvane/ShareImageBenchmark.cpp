// The shared summary made into its image: from the card's figures to the bitmap at twice the card's
// size, then to the PNG that "Save Image..." writes. Goal: the image in under 100 ms. Run a Release
// build: build/release/bin/norvane_share_image_benchmark
#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/sheets/ShareSummarySheet.h"
#include "Norvane/sheets/ShareableSummaryView.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

namespace norvane::app {
namespace {

ShareableMetrics figures() {
    ShareableMetrics metrics;
    metrics.leverage7Day = 8.4;
    metrics.leverage14Day = 10.1;
    metrics.leverage30Day = 12.34;
    metrics.norvaneIndex = 82;
    metrics.linesTouched7Day = 12'400;
    metrics.linesTouched14Day = 31'000;
    metrics.linesTouched30Day = 1'250'000;
    metrics.projectCount = 12;
    return metrics;
}

void BM_ShareImage(benchmark::State& state) {
    const auto metrics = figures();
    for (auto _ : state) {
        const QImage image = ShareableSummaryView::renderImage(metrics, {});
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_ShareImagePng(benchmark::State& state) {
    const auto metrics = figures();
    for (auto _ : state) {
        const QByteArray png = ShareSummarySheet::pngData(ShareableSummaryView::renderImage(metrics, {}));
        state.counters["bytes"] = double(png.size());
    }
}

} // namespace
} // namespace norvane::app

int main(int argc, char* argv[]) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    norvane::app::DarkTheme::apply(application);
    benchmark::RegisterBenchmark("BM_ShareImage", norvane::app::BM_ShareImage)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_ShareImagePng", norvane::app::BM_ShareImagePng)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
