#include "core/collection/SccOutput.h"

#include <nlohmann/json.hpp>

#include <numeric>

namespace norvane {
namespace {

int64_t sum(const std::vector<SccLanguage>& rows, int64_t SccLanguage::*field) {
    return std::accumulate(rows.begin(), rows.end(), int64_t{0},
                           [field](int64_t total, const SccLanguage& row) { return total + row.*field; });
}

/// Counts too large to add up are no counts of any folder.
void checkTotalsFit(const std::vector<SccLanguage>& rows) {
    for (const auto field : {&SccLanguage::files, &SccLanguage::lines, &SccLanguage::code, &SccLanguage::comments,
                             &SccLanguage::blanks, &SccLanguage::complexity}) {
        int64_t total = 0;
        for (const auto& row : rows) {
            if (__builtin_add_overflow(total, row.*field, &total)) {
                throw SccParseError("the totals of the rows exceed what a count can hold");
            }
        }
    }
}

} // namespace

SccOutput SccOutput::parse(std::string_view bytes) {
    try {
        const auto json = nlohmann::json::parse(bytes.begin(), bytes.end());
        if (!json.is_array()) {
            throw SccParseError("the answer is not a JSON array");
        }
        SccOutput output{json.get<std::vector<SccLanguage>>()};
        checkTotalsFit(output.languages);
        return output;
    } catch (const nlohmann::json::exception& error) {
        throw SccParseError(error.what());
    }
}

int64_t SccOutput::totalFiles() const { return sum(languages, &SccLanguage::files); }
int64_t SccOutput::totalLines() const { return sum(languages, &SccLanguage::lines); }
int64_t SccOutput::totalCode() const { return sum(languages, &SccLanguage::code); }
int64_t SccOutput::totalComments() const { return sum(languages, &SccLanguage::comments); }
int64_t SccOutput::totalBlanks() const { return sum(languages, &SccLanguage::blanks); }
int64_t SccOutput::totalComplexity() const { return sum(languages, &SccLanguage::complexity); }

} // namespace norvane
