#include "core/community/CommunityBenchmarks.h"

#include "core/community/JsonCoding.h"

#include <algorithm>
#include <cmath>

namespace norvane {

namespace {

using nlohmann::json;

/// The decoded optional member, or none when it is missing, null or does not decode.
template <typename T>
std::optional<T> lenient(const json& object, std::string_view camelKey) {
    const auto* value = JsonCoding::optional(object, camelKey);
    if (value == nullptr) {
        return std::nullopt;
    }
    try {
        return T::fromJSON(*value);
    } catch (const JsonDecodingError&) {
        return std::nullopt;
    }
}

template <typename T>
void putPart(json& object, const std::string& key, const std::optional<T>& part) {
    if (part) {
        object[key] = part->toJSON();
    }
}

/// The band's lower bound plus the truncated part of `width` that `value` covers between the two
/// points; none when the points lie too far apart to compute it.
std::optional<int> interpolate(double value, double lower, double upper, int bandStart, int width) {
    double offset = (value - lower) * width / (upper - lower);
    if (!std::isfinite(offset)) {
        // Dividing first keeps huge but finite distances in range.
        offset = (value - lower) / (upper - lower) * width;
    }
    if (!std::isfinite(offset)) {
        return std::nullopt;
    }
    return bandStart + static_cast<int>(std::trunc(std::clamp(offset, 0.0, static_cast<double>(width))));
}

} // namespace

std::optional<int> CommunityBenchmarks::Percentiles::percentile(double value) const {
    const bool allFinite = std::isfinite(value) && std::isfinite(p10) && std::isfinite(p25) && std::isfinite(p50) &&
                           std::isfinite(p75) && std::isfinite(p90);
    if (!allFinite) {
        return std::nullopt;
    }
    if (p10 == p90) return 50;
    if (value <= p10) return 10;
    if (value <= p25) return interpolate(value, p10, p25, 10, 15);
    if (value <= p50) return interpolate(value, p25, p50, 25, 25);
    if (value <= p75) return interpolate(value, p50, p75, 50, 25);
    if (value <= p90) return interpolate(value, p75, p90, 75, 15);
    if (p90 <= 0) return 90;
    const double above = (value - p90) * 10 / p90;
    // An overflow to infinity still means "far above": the cap of 10 applies.
    return 90 + static_cast<int>(std::trunc(std::fmin(above, 10.0)));
}

CommunityBenchmarks::Percentiles CommunityBenchmarks::Percentiles::fromJSON(const json& object) {
    return {
        .p10 = JsonCoding::number(object, "p10"),
        .p25 = JsonCoding::number(object, "p25"),
        .p50 = JsonCoding::number(object, "p50"),
        .p75 = JsonCoding::number(object, "p75"),
        .p90 = JsonCoding::number(object, "p90"),
    };
}

json CommunityBenchmarks::Percentiles::toJSON() const {
    return {
        {"p10", JsonCoding::finite(p10, "p10")}, {"p25", JsonCoding::finite(p25, "p25")},
        {"p50", JsonCoding::finite(p50, "p50")}, {"p75", JsonCoding::finite(p75, "p75")},
        {"p90", JsonCoding::finite(p90, "p90")},
    };
}

CommunityBenchmarks::CompositionNorms CommunityBenchmarks::CompositionNorms::fromJSON(const json& object) {
    return {
        .codePercentMin = JsonCoding::number(object, "codePercentMin"),
        .codePercentMax = JsonCoding::number(object, "codePercentMax"),
        .docsPercentMin = JsonCoding::number(object, "docsPercentMin"),
        .docsPercentMax = JsonCoding::number(object, "docsPercentMax"),
        .testsPercentMin = JsonCoding::number(object, "testsPercentMin"),
        .testsPercentMax = JsonCoding::number(object, "testsPercentMax"),
        .configPercentMin = JsonCoding::number(object, "configPercentMin"),
        .configPercentMax = JsonCoding::number(object, "configPercentMax"),
    };
}

json CommunityBenchmarks::CompositionNorms::toJSON() const {
    return {
        {"code_percent_min", JsonCoding::finite(codePercentMin, "code_percent_min")},
        {"code_percent_max", JsonCoding::finite(codePercentMax, "code_percent_max")},
        {"docs_percent_min", JsonCoding::finite(docsPercentMin, "docs_percent_min")},
        {"docs_percent_max", JsonCoding::finite(docsPercentMax, "docs_percent_max")},
        {"tests_percent_min", JsonCoding::finite(testsPercentMin, "tests_percent_min")},
        {"tests_percent_max", JsonCoding::finite(testsPercentMax, "tests_percent_max")},
        {"config_percent_min", JsonCoding::finite(configPercentMin, "config_percent_min")},
        {"config_percent_max", JsonCoding::finite(configPercentMax, "config_percent_max")},
    };
}

CommunityBenchmarks::BenchmarkSet CommunityBenchmarks::BenchmarkSet::fromJSON(const json& object) {
    return {
        .throughput = lenient<Percentiles>(object, "throughput"),
        .consistency = lenient<Percentiles>(object, "consistency"),
        .velocityRetention = lenient<Percentiles>(object, "velocityRetention"),
    };
}

json CommunityBenchmarks::BenchmarkSet::toJSON() const {
    json object = json::object();
    putPart(object, "throughput", throughput);
    putPart(object, "consistency", consistency);
    putPart(object, "velocity_retention", velocityRetention);
    return object;
}

CommunityBenchmarks::SizeBucketBenchmarks CommunityBenchmarks::SizeBucketBenchmarks::fromJSON(const json& object) {
    std::optional<std::string> bucket;
    if (const auto* name = JsonCoding::optional(object, "bucket"); name && name->is_string()) {
        bucket = name->get<std::string>();
    }
    return {
        .bucket = bucket,
        .sampleSize = JsonCoding::integer(object, "sampleSize"),
        .throughput = lenient<Percentiles>(object, "throughput"),
        .velocityRetention = lenient<Percentiles>(object, "velocityRetention"),
        .codeRatio = lenient<Percentiles>(object, "codeRatio"),
        .typicalComposition = lenient<CompositionNorms>(object, "typicalComposition"),
    };
}

json CommunityBenchmarks::SizeBucketBenchmarks::toJSON() const {
    json object = json::object();
    JsonCoding::putOptional(object, "bucket", bucket);
    object["sample_size"] = sampleSize;
    putPart(object, "throughput", throughput);
    putPart(object, "velocity_retention", velocityRetention);
    putPart(object, "code_ratio", codeRatio);
    putPart(object, "typical_composition", typicalComposition);
    return object;
}

CommunityBenchmarks CommunityBenchmarks::fromJSON(const json& document) {
    CommunityBenchmarks benchmarks;
    benchmarks.generatedAt = JsonCoding::asDate(JsonCoding::require(document, "generatedAt"), "generatedAt");
    benchmarks.contributorCount = JsonCoding::integer(document, "contributorCount");
    benchmarks.global = BenchmarkSet::fromJSON(JsonCoding::require(document, "global"));
    const json& buckets = JsonCoding::require(document, "bySizeBucket");
    if (!buckets.is_object()) {
        throw JsonDecodingError("Expected an object for key \"bySizeBucket\"");
    }
    for (auto entry = buckets.begin(); entry != buckets.end(); ++entry) {
        benchmarks.bySizeBucket.emplace(entry.key(), SizeBucketBenchmarks::fromJSON(entry.value()));
    }
    return benchmarks;
}

json CommunityBenchmarks::toJSON() const {
    json buckets = json::object();
    for (const auto& [name, entry] : bySizeBucket) {
        buckets[name] = entry.toJSON();
    }
    return {
        {"generated_at", JsonCoding::encodeDate(generatedAt)},
        {"contributor_count", contributorCount},
        {"global", global.toJSON()},
        {"by_size_bucket", buckets},
    };
}

} // namespace norvane
