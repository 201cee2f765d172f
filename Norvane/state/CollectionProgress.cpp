#include "Norvane/state/CollectionProgress.h"

namespace norvane::app {

QString CollectionProgress::rawValue(Phase phase) {
    switch (phase) {
    case Phase::scc: return QStringLiteral("Collecting metrics");
    case Phase::history: return QStringLiteral("Processing history");
    case Phase::complete: return QStringLiteral("Complete");
    }
    return {};
}

std::optional<CollectionProgress::Phase> CollectionProgress::phaseFromRawValue(const QString& text) {
    for (auto phase : {Phase::scc, Phase::history, Phase::complete}) {
        if (rawValue(phase) == text) return phase;
    }
    return std::nullopt;
}

QString CollectionProgress::statusText() const {
    switch (phase) {
    case Phase::scc: return QStringLiteral("Collecting metrics for ") + projectName + QStringLiteral("...");
    case Phase::history:
        if (total < 1) return QStringLiteral("Scanning git history...");
        return QStringLiteral("Processing history: %1/%2 commits").arg(current).arg(total);
    case Phase::complete: return projectName + QStringLiteral(" updated");
    }
    return {};
}

} // namespace norvane::app
