// The hour's table of new devices per address alone, at a steady rate of new devices an hour, each
// from an address of its own: how many of 20,000 further addresses are refused before they bring
// their tenth (counter `refused_before_tenth_pct`), how much memory the table then holds
// (`table_resident_mib`), and how fast it admits. The further addresses come at the hour's end, or
// the given seconds after it with the steady arrivals going on meanwhile: 599 is the last second of
// the ten minutes after the hour, when the arrivals of seven ten-minute tables count rather than six,
// the most an address meets. Goal: none at a million an hour at either moment, as the README says.
#include "bench/support/ResidentMemory.h"
#include "index-server/NewDevicesPerAddress.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

namespace norvane {
namespace {

void NewDevicesAnHour(benchmark::State& state) {
    const auto perHour = static_cast<std::uint64_t>(state.range(0));
    const std::chrono::seconds late{state.range(1)};
    constexpr std::uint64_t fresh = 20'000;
    const platform::Date start{std::chrono::sys_days{std::chrono::year{2025} / 3 / 20}};
    const auto end = start + indexserver::NewDevicesPerAddress::window + late;
    const auto steady = perHour * static_cast<std::uint64_t>((end - start) / std::chrono::seconds(1)) / 3'600;
    std::uint64_t refused = 0;
    double tableMiB = 0;
    for (auto _ : state) {
        const double before = residentMegabytes();
        indexserver::NewDevicesPerAddress newDevices(10);
        for (std::uint64_t client = 0; client < steady; ++client) {
            const auto at =
                start + std::chrono::microseconds(static_cast<std::int64_t>(client * 3'600'000'000 / perHour));
            if (newDevices.hasRoom(client, at)) newDevices.count(client, at);
        }
        for (std::uint64_t client = steady; client < steady + fresh; ++client) {
            int brought = 0;
            for (; brought < 10 && newDevices.hasRoom(client, end); ++brought) newDevices.count(client, end);
            refused += brought < 10;
        }
        tableMiB = residentMegabytes() - before;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (steady + 10 * fresh)));
    state.counters["refused_before_tenth_pct"] =
        100.0 * static_cast<double>(refused) / static_cast<double>(state.iterations() * fresh);
    state.counters["table_resident_mib"] = tableMiB;
}
BENCHMARK(NewDevicesAnHour)
    ->ArgsProduct({{1'000'000, 2'000'000, 3'000'000}, {0, 599}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
} // namespace norvane
