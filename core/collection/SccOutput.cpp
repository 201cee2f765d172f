#include "core/collection/SccOutput.h"

#include <nlohmann/json.hpp>

#include <numeric>

namespace norvane {
namespace {

int64_t sum(const std::vector<SccLanguage>& rows, int64_t SccLanguage::*field) {
    return std::accumulate(rows.begin(), rows.end(), int64_t{0},
                           [field](int64_t total, const SccLanguage& row) { return total + row.*field; });
}

} // namespace

SccOutput SccOutput::parse(std::string_view bytes) {
    try {
        const auto json = nlohmann::json::parse(bytes.begin(), bytes.end());
        if (!json.is_array()) {
            throw SccParseError("the answer is not a JSON array");
        }
        return SccOutput{json.get<std::vector<SccLanguage>>()};
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
