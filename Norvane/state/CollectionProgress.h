#pragma once

#include <cstdint>
#include <optional>

#include <QString>

namespace norvane::app {

/// The progress of a one-project collection, as the project page shows it.
struct CollectionProgress {
    enum class Phase { scc, history, complete };

    QString projectName;
    Phase phase = Phase::scc;
    std::int64_t current = 0;
    std::int64_t total = 0;

    static QString rawValue(Phase phase);
    /// The phase whose raw value is exactly `text`; none otherwise.
    static std::optional<Phase> phaseFromRawValue(const QString& text);

    QString statusText() const;

    bool operator==(const CollectionProgress&) const = default;
};

} // namespace norvane::app
