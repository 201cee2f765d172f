#pragma once

#include "core/analytics/Achievement.h"
#include "core/analytics/OutputComposition.h"
#include "core/analytics/ProductivityStreak.h"
#include "core/community/UserPercentiles.h"
#include "platform/Date.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

class Project;

/// A self-contained summary of the user's standing: the composite index with its percentiles, the
/// output composition, velocity retention, streak, achievements and one line per project. The
/// writers take the record as it stands; hiding project names is the caller's job.
struct IndexExport {
    struct DateRange {
        platform::Date start{};
        platform::Date end{};
        /// Whole local calendar days from `start` to `end`; negative when `end` comes first.
        std::int64_t days = 0;

        DateRange() = default;
        DateRange(platform::Date from, platform::Date to);
    };

    struct NorvaneIndexData {
        int score = 0;
        std::optional<int> throughputPercentile;
        std::optional<int> consistencyPercentile;
        std::optional<int> velocityRetentionPercentile;
        std::string sizeBucket;
        std::int64_t contributorCount = 0;

        /// The index and percentiles as they stand; none without a composite index.
        static std::optional<NorvaneIndexData> from(const UserPercentiles& percentiles);
    };

    /// Changed lines per output category; percentages on a 0-100 scale.
    struct OutputCompositionData {
        std::int64_t totalLines = 0;
        std::int64_t codeLines = 0;
        double codePercent = 0;
        std::int64_t docsLines = 0;
        double docsPercent = 0;
        std::int64_t testLines = 0;
        double testPercent = 0;
        std::int64_t configLines = 0;
        double configPercent = 0;
        std::string phase;

        /// Lines are insertions plus deletions; the phase is the composition's inferred phase, or
        /// "Unknown" with every number 0 when there is no composition.
        static OutputCompositionData from(const std::optional<OutputComposition>& composition);
    };

    struct VelocityRetentionData {
        double retentionPercent = 0;
        double baselineVelocity = 0;
        double currentVelocity = 0;
        std::string trend;
    };

    struct StreakData {
        std::int64_t currentStreak = 0;
        std::int64_t longestStreak = 0;
        bool isActive = false;
        std::optional<std::string> currentMilestone;

        /// The milestone is the label of the streak's current milestone, none below a week.
        static StreakData from(const ProductivityStreak& streak);
    };

    struct AchievementData {
        std::string id;
        std::string title;
        std::string category;
        std::string tier;
        bool isEarned = false;
        /// A fraction, 0 to 1.
        std::optional<double> progress;

        /// Category and tier as their display texts ("Lines Written", "Gold").
        static AchievementData from(const Achievement& achievement);
    };

    struct ProjectSummaryData {
        std::string name;
        std::string sizeBucket;
        std::int64_t totalCodeLines = 0;
        double maturityMultiplier = 1;
        /// A percentage on the 0-100 scale.
        std::optional<double> velocityRetention;

        /// The project's own name, its size bucket, the code-category lines of its newest code count
        /// (0 without one) and its maturity multiplier.
        static ProjectSummaryData from(const Project& project, std::optional<double> velocityRetention,
                                       platform::Date now = platform::currentDate());
    };

    /// Why a writer could not produce its text.
    class ExportError : public std::exception {
    public:
        enum class Kind {
            encodingFailed,  ///< the text would not be valid UTF-8
            nonFiniteNumber, ///< a decimal is infinite or not a number
        };
        ExportError(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
        Kind kind() const { return kind_; }
        const char* what() const noexcept override { return message_.c_str(); }

    private:
        Kind kind_;
        std::string message_;
    };

    platform::Date exportedAt{};
    std::string norvaneVersion;
    DateRange dateRange;
    bool includesProjectNames = false;
    std::optional<NorvaneIndexData> norvaneIndex;
    OutputCompositionData outputComposition;
    std::optional<VelocityRetentionData> velocityRetention;
    StreakData streak;
    std::vector<AchievementData> achievements;
    std::vector<ProjectSummaryData> projects;

    /// camelCase keys, ISO 8601 dates in UTC with whole seconds, absent optionals left out. Pretty
    /// printing also sorts the keys of every object. Throws `ExportError`.
    std::string toJSON(bool prettyPrinted) const;
    /// Six comment-headed sections joined by line feeds; a text value that holds a comma, a quote or
    /// a line break is quoted. Throws `ExportError` for a non-finite decimal.
    std::string toCSV() const;

    /// Reads what `toJSON` writes; throws `JsonDecodingError`.
    static IndexExport fromJSON(const nlohmann::json& document);
};

} // namespace norvane
