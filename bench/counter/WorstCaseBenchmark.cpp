// The inputs that real repositories carry and that once took time growing with the square of their
// size: one-line files of megabytes, long escape and quote runs, deep nesting, hostile ignore
// lines. Each is scanned at several sizes; the fitted complexity should read O(N), and O(1) for
// a long ignore line against a name.

#include "counter/IgnorePattern.h"
#include "counter/LanguageRegistry.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using norvane::counter::IgnorePattern;
using norvane::counter::LanguageRegistry;

const LanguageRegistry& registry() {
    static const LanguageRegistry languages;
    return languages;
}

std::string repeated(std::string_view head, std::string_view piece, std::size_t size, std::string_view tail) {
    std::string text(head);
    while (text.size() < size) text += piece;
    return text += tail;
}

struct Input {
    const char* fileName;
    std::string (*make)(std::size_t size);
};

const Input inputs[] = {
    {"min.js",
     [](std::size_t size) {
         return repeated("", "var a=1;function f(x){return x+1}if(a){b(\"s\\\"q\")}x='s';/* c */s=\"a//b\";", size,
                         "\n");
     }},
    {"icon.svg",
     [](std::size_t size) {
         return repeated("<svg xmlns=\"http://www.w3.org/2000/svg\">", "<path d=\"M1 2 L3 4\" fill=\"#abc\"/>", size,
                         "</svg>");
     }},
    {"one-line.c",
     [](std::size_t size) {
         return repeated("", "int a=1;char*s=\"x\\\"y\";if (a) { b(); }/* c */c='\"';", size, "\n");
     }},
    {"quote-escape.c", [](std::size_t size) { return repeated("", "\"ab\\\\", size, "\n"); }},
    {"backslashes.c", [](std::size_t size) { return repeated("x = \"", "\\", size, "\n"); }},
    {"quotes.py", [](std::size_t size) { return repeated("", "\"\"\"", size, "\n"); }},
    {"nested.scala", [](std::size_t size) { return repeated("", "/*", size, "\n"); }},
};

void BM_ScanWorstCase(benchmark::State& state, const Input& input) {
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::string text = input.make(size);
    const auto choice = registry().find(input.fileName);
    if (!choice) throw std::logic_error(std::string("no language for ") + input.fileName);
    const auto& scanner = registry().scanner(registry().decide(*choice, text));
    for (auto _ : state) {
        auto counts = scanner.scan(text);
        benchmark::DoNotOptimize(counts);
    }
    state.SetComplexityN(static_cast<benchmark::IterationCount>(text.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_MatchHostileIgnoreLine(benchmark::State& state, const char* line, std::string (*name)(std::size_t)) {
    const auto pattern = IgnorePattern::parse(line);
    const std::string path = name(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern->matches(path, false));
    }
    state.SetComplexityN(static_cast<benchmark::IterationCount>(path.size()));
}

std::string runOfAs(std::size_t size) { return std::string(size, 'a'); }

// A line of `size` bytes against the longest name a folder may hold: the time should not grow
// with the line.
void BM_MatchLongIgnoreLine(benchmark::State& state, std::string (*line)(std::size_t)) {
    const auto pattern = IgnorePattern::parse(line(static_cast<std::size_t>(state.range(0))));
    const std::string name(255, 'a');
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern->matches(name, false));
    }
    state.SetComplexityN(state.range(0));
}

// A class of `size` bytes is one set of bytes: matching it does not read them.
std::string longClass(std::size_t size) { return std::string("*[").append(size, 'a').append("]b"); }
std::string starThenBytes(std::size_t size) { return std::string("*").append(size, 'a').append("b"); }

std::string deepPath(std::size_t size) { return repeated("", "d/", size, "y"); }

const bool registered = [] {
    for (const Input& input : inputs) {
        benchmark::RegisterBenchmark((std::string("BM_ScanWorstCase/") + input.fileName).c_str(), BM_ScanWorstCase,
                                     input)
            ->RangeMultiplier(2)
            ->Range(1 << 20, 4 << 20)
            ->Unit(benchmark::kMillisecond)
            ->Complexity(benchmark::oN);
    }
    benchmark::RegisterBenchmark("BM_MatchHostileIgnoreLine/stars", BM_MatchHostileIgnoreLine, "*a*a*a*a*a*a*b",
                                 runOfAs)
        ->RangeMultiplier(4)
        ->Range(256, 16 << 10)
        ->Complexity(benchmark::oN);
    benchmark::RegisterBenchmark("BM_MatchHostileIgnoreLine/folders", BM_MatchHostileIgnoreLine,
                                 "**/**/**/**/**/**/**/x", deepPath)
        ->RangeMultiplier(4)
        ->Range(256, 16 << 10)
        ->Complexity(benchmark::oN);
    benchmark::RegisterBenchmark("BM_MatchLongIgnoreLine/long-class", BM_MatchLongIgnoreLine, longClass)
        ->RangeMultiplier(8)
        ->Range(64, 1 << 20)
        ->Complexity(benchmark::o1);
    benchmark::RegisterBenchmark("BM_MatchLongIgnoreLine/star-then-bytes", BM_MatchLongIgnoreLine, starThenBytes)
        ->RangeMultiplier(8)
        ->Range(64, 1 << 20)
        ->Complexity(benchmark::o1);
    return true;
}();

} // namespace

BENCHMARK_MAIN();
