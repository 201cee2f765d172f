#include "Norvane/components/controls/MetricTooltip.h"

namespace norvane::app {

QString MetricTooltip::title() const {
    switch (case_) {
    case leverage: return QStringLiteral("Traditional Leverage");
    case rollingLeverage: return QStringLiteral("Traditional Leverage (14-day)");
    case estimatedValue: return QStringLiteral("Traditional Cost (COCOMO)");
    case traditionalTime: return QStringLiteral("Traditional Time (COCOMO)");
    case linesOfCode: return QStringLiteral("Lines of Code");
    case complexity: return QStringLiteral("Cyclomatic Complexity");
    case files: return QStringLiteral("Total Files");
    case comments: return QStringLiteral("Comment Lines");
    case dailyThroughput: return QStringLiteral("Daily Throughput");
    case parallelism: return QStringLiteral("Parallelism Factor");
    case capacityUtilization: return QStringLiteral("Capacity Utilization");
    }
    return {};
}

QString MetricTooltip::description() const {
    switch (case_) {
    case leverage:
        return QStringLiteral(
            "How much faster you're developing compared to traditional methods, based on the COCOMO "
            "model (1981). A 10x leverage means you've accomplished in 1 month what would traditionally "
            "take 10 months. Useful for historical comparison.");
    case rollingLeverage:
        return QStringLiteral(
            "Your productivity leverage over the last 14 days, based on the COCOMO model (1981). This "
            "reflects your current capabilities rather than lifetime average. Useful for historical "
            "comparison.");
    case estimatedValue:
        return QStringLiteral(
            "The cost to build this codebase using traditional development methods, based on the COCOMO "
            "model (1981) with average developer salaries and overhead. Useful for historical "
            "comparison.");
    case traditionalTime:
        return QStringLiteral(
            "How long this codebase would take to build using traditional development methods, based on "
            "the COCOMO model (1981). Useful for historical comparison.");
    case linesOfCode:
        return QStringLiteral("Source lines of code (SLOC), excluding blank lines. This is the primary input to COCOMO "
                              "effort estimation.");
    case complexity:
        return QStringLiteral(
            "Cyclomatic complexity measures the number of independent paths through your code. Higher "
            "values indicate more complex, harder-to-test code.");
    case files:
        return QStringLiteral(
            "Total number of source files in the project, excluding generated files and dependencies.");
    case comments:
        return QStringLiteral(
            "Lines of comments in the codebase. A healthy ratio of comments to code aids maintainability.");
    case dailyThroughput:
        return QStringLiteral("COCOMO effort produced per day, measured as a 7-day rolling average. Shows your daily "
                              "productivity across all projects.");
    case parallelism:
        return QStringLiteral(
            "Average number of projects with commits in a 7-day window. Higher parallelism can indicate "
            "efficient context-switching and AI-assisted multitasking.");
    case capacityUtilization:
        return QStringLiteral("Current throughput as a percentage of your 90-day rolling peak. Shows whether you're "
                              "operating at full capacity or have room for more work.");
    }
    return {};
}

} // namespace norvane::app
