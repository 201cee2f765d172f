#include "core/collection/ModelAttributionTally.h"

#include "core/collection/ModelTagParser.h"

#include <algorithm>
#include <set>

namespace norvane {
namespace {

/// The models a commit is attributed to: those its whole message names, else `unknown` when its
/// subject bears a marker. A body's markers alone credit nothing: "Co-authored-by:" mostly names
/// a person.
std::set<AIModel> modelsOf(const GitCommit& commit) {
    auto models = ModelTagParser::parseModels(commit.attributionText());
    if (models.empty() && ModelTagParser::hasAIIndicators(commit.message)) {
        models.insert(AIModel::unknown);
    }
    return models;
}

} // namespace

void ModelAttributionTally::add(const GitCommit& commit) {
    const auto models = modelsOf(commit);
    if (models.empty()) {
        return;
    }
    const auto day = dayStarts_.of(std::min(commit.date, now_));
    for (const auto model : models) {
        auto& sum = totals_[{day, model}];
        sum.insertions += commit.insertions;
        sum.deletions += commit.deletions;
        sum.filesChanged += commit.filesChanged;
        ++sum.commitCount;
    }
}

} // namespace norvane
