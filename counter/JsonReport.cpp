#include "counter/JsonReport.h"

#include <nlohmann/json.hpp>

namespace norvane::counter {

std::string formatJsonReport(const std::vector<LanguageSummary>& rows) {
    auto report = nlohmann::ordered_json::array();
    for (const auto& row : rows) {
        report.push_back({{"Name", row.name},
                          {"Count", row.files},
                          {"Lines", row.counts.lines},
                          {"Code", row.counts.code},
                          {"Comment", row.counts.comment},
                          {"Blank", row.counts.blank},
                          {"Complexity", row.counts.complexity}});
    }
    return report.dump(1) + "\n";
}

} // namespace norvane::counter
