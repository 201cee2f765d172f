#include "index-server/ReportValidator.h"

#include "core/community/JsonCoding.h"
#include "core/models/DaysPerMonth.h"
#include "core/models/MaturityMultiplier.h"
#include "core/models/ProjectEnums.h"
#include "core/models/ProjectSizeBucket.h"
#include "platform/UnicodeText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <regex>
#include <set>
#include <vector>

namespace norvane::indexserver::ReportValidator {

namespace {

constexpr std::int64_t maxCount = 1'000'000'000;
constexpr std::size_t maxDeviceIdBytes = 128;
constexpr std::size_t maxLanguageBytes = 100;
/// A first commit dated in the future gives a negative age: a century ahead at most.
constexpr double minAgeMonths = -1200;
/// Whole months of the maturity formula's age factor, beyond which age adds nothing.
constexpr double maturityAgeMonths = 24;
/// The client always looks back this far for a project's velocity.
constexpr std::int64_t historyDays = 90;

/// The age at `now` of a project whose first commit is the earliest git can date, in the client's
/// months, with two days to spare for the two clocks and the local calendar.
double maxAgeMonths(platform::Date now) {
    const auto sinceEpoch = now.time_since_epoch() + std::chrono::days(2);
    return std::floor(std::chrono::duration<double, std::chrono::days::period>(sinceEpoch).count()) / daysPerMonth;
}

/// The document in `body`; throws when one object holds two keys that name the same field, which
/// would leave it to chance which of them counts.
nlohmann::json parseWithUniqueFields(std::string_view body) {
    std::vector<std::set<std::string>> fieldsPerObject;
    const auto callback = [&fieldsPerObject](int, nlohmann::json::parse_event_t event, nlohmann::json& parsed) {
        using Event = nlohmann::json::parse_event_t;
        if (event == Event::object_start) {
            fieldsPerObject.emplace_back();
        } else if (event == Event::object_end) {
            fieldsPerObject.pop_back();
        } else if (event == Event::key) {
            const auto& key = parsed.get_ref<const std::string&>();
            if (!fieldsPerObject.back().insert(JsonCoding::camelCaseKey(key)).second) {
                throw InvalidReport("The field of key \"" + key + "\" is given more than once");
            }
        }
        return true;
    };
    try {
        return nlohmann::json::parse(body, callback);
    } catch (const nlohmann::json::exception& error) {
        throw InvalidReport(std::string("The body is not valid JSON: ") + error.what());
    }
}

void requireCount(std::int64_t value, const char* key, std::int64_t lowest = 0, std::int64_t highest = maxCount) {
    if (value < lowest || value > highest) {
        throw InvalidReport("\"" + std::string(key) + "\" must be from " + std::to_string(lowest) + " to " +
                            std::to_string(highest));
    }
}

void requireNumber(double value, const char* key, double lowest, double highest) {
    if (!(std::isfinite(value) && value >= lowest && value <= highest)) {
        throw InvalidReport("\"" + std::string(key) + "\" must be a finite number from " +
                            nlohmann::json(lowest).dump() + " to " + nlohmann::json(highest).dump());
    }
}

void requireLength(const std::string& text, const char* key, std::size_t highest) {
    if (text.empty() || text.size() > highest) {
        throw InvalidReport("\"" + std::string(key) + "\" must hold 1 to " + std::to_string(highest) + " bytes");
    }
}

template <platform::RawValueEnum E>
void requireCase(const std::string& text, const char* key) {
    if (platform::fromRawValue<E>(text)) {
        return;
    }
    std::string known;
    for (const auto& [value, raw] : platform::EnumTraits<E>::cases) {
        known += (known.empty() ? "" : ", ") + std::string(raw);
    }
    throw InvalidReport("\"" + std::string(key) + "\" must be one of " + known);
}

void requireDate(platform::Date date, const char* key, platform::Date earliest, platform::Date latest) {
    if (date < earliest || date > latest) {
        throw InvalidReport("\"" + std::string(key) + "\" must be from " + JsonCoding::encodeDate(earliest) + " to " +
                            JsonCoding::encodeDate(latest));
    }
}

void requireVersion(const std::string& text) {
    static const std::regex version(R"([0-9]{1,5}\.[0-9]{1,5}\.[0-9]{1,5}([-+][0-9A-Za-z.+-]{1,16})?)");
    if (!std::regex_match(text, version)) {
        throw InvalidReport("\"norvane_version\" must be a version such as \"0.1.0\"");
    }
}

/// "deviceId" as the key that clients send, "device_id".
std::string snakeCase(const std::string& field) {
    std::string key;
    for (const char character : field) {
        if (std::isupper(static_cast<unsigned char>(character))) {
            key += '_';
        }
        key += static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    }
    return key;
}

/// `message` with the field names that it quotes (key "deviceId", an object holding "deviceId")
/// written as the keys that clients send (key "device_id").
std::string withWireKeys(const std::string& message) {
    static const std::regex quotedField(R"re((?:key|holding) "([A-Za-z]+)")re");
    std::string written;
    auto rest = message.cbegin();
    for (std::sregex_iterator found(message.begin(), message.end(), quotedField), end; found != end; ++found) {
        written.append(rest, (*found)[1].first).append(snakeCase((*found)[1].str()));
        rest = (*found)[1].second;
    }
    return written.append(rest, message.cend());
}

/// Throws naming the first value that no real report received at `now` holds.
void validate(const AnonymousActivityReport& report, platform::Date now) {
    requireDeviceId(report.deviceId, "\"device_id\"");
    requireVersion(report.norvaneVersion);
    requireDate(report.activityDate, "activity_date", now - maxActivityAge, now + maxActivityAhead);
    requireCount(report.periodDays, "period_days", 1, 1);
    requireCount(report.codeLinesChanged, "code_lines_changed");
    requireCount(report.docsLinesChanged, "docs_lines_changed");
    requireCount(report.testLinesChanged, "test_lines_changed");
    requireCount(report.configLinesChanged, "config_lines_changed");
    requireCount(report.commitCount, "commit_count");
    requireCount(report.filesChanged, "files_changed");
    requireCase<ProjectSizeBucket>(report.sizeBucket, "size_bucket");
    requireCount(report.projectCodeLines, "project_code_lines");
    requireCount(report.projectComplexity, "project_complexity");
    requireNumber(report.projectAgeMonths, "project_age_months", minAgeMonths, maxAgeMonths(now));
    requireNumber(report.maturityMultiplier, "maturity_multiplier",
                  MaturityMultiplier::calculate(0, 0, minAgeMonths).value,
                  MaturityMultiplier::calculate(maxCount, maxCount, maturityAgeMonths).value);
    if (report.primaryLanguage) {
        requireLength(*report.primaryLanguage, "primary_language", maxLanguageBytes);
    }
    requireCase<ProjectType>(report.projectType, "project_type");
    if (report.velocityRetention) {
        requireNumber(*report.velocityRetention, "velocity_retention", 0, maxRetentionPercent);
    }
    if (report.velocityHistoryDays) {
        requireCount(*report.velocityHistoryDays, "velocity_history_days", historyDays, historyDays);
    }
}

/// Whether `text`, well-formed UTF-8, holds a control character: one of C0, DEL, or one of C1
/// (U+0080 to U+009F), which UTF-8 writes as 0xC2 and a byte of 0x80 to 0x9F.
bool holdsControlCharacter(std::string_view text) {
    for (std::size_t index = 0; index < text.size(); ++index) {
        const auto byte = static_cast<unsigned char>(text[index]);
        const bool c1 = byte == 0xC2 && index + 1 < text.size() && static_cast<unsigned char>(text[index + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F || c1) {
            return true;
        }
    }
    return false;
}

} // namespace

void requireDeviceId(const std::string& deviceId, std::string_view named) {
    if (deviceId.empty() || deviceId.size() > maxDeviceIdBytes || !platform::UnicodeText::isValidUtf8(deviceId) ||
        holdsControlCharacter(deviceId)) {
        throw InvalidReport(std::string(named) + " must hold 1 to " + std::to_string(maxDeviceIdBytes) +
                            " bytes of text without control characters");
    }
}

AnonymousActivityReport decode(std::string_view body, platform::Date now) {
    if (!platform::UnicodeText::isValidUtf8(body)) {
        throw InvalidReport("The body is not valid UTF-8");
    }
    const auto document = parseWithUniqueFields(body);
    AnonymousActivityReport report;
    try {
        report = AnonymousActivityReport::fromJSON(document);
    } catch (const JsonDecodingError& error) {
        throw InvalidReport(withWireKeys(error.what()));
    }
    validate(report, now);
    return report;
}

} // namespace norvane::indexserver::ReportValidator
