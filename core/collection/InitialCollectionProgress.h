#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace norvane {

/// The stages that the initial collection of a new project reports, in the order they occur.
namespace InitialCollectionStage {

struct Starting {
    bool operator==(const Starting&) const = default;
};
struct RunningScc {
    bool operator==(const RunningScc&) const = default;
};
/// The collection succeeded; the new snapshot's code lines.
struct SccComplete {
    int64_t lines = 0;
    bool operator==(const SccComplete&) const = default;
};
/// One sampled commit is being stored: its 1-based place, the number of sampled commits and the
/// first 50 characters of its subject.
struct ImportingHistory {
    int current = 0;
    int total = 0;
    std::string commitMessage;
    bool operator==(const ImportingHistory&) const = default;
};
struct HistoryComplete {
    int snapshots = 0;
    bool operator==(const HistoryComplete&) const = default;
};
struct Complete {
    bool operator==(const Complete&) const = default;
};
struct Error {
    std::string message;
    bool operator==(const Error&) const = default;
};

} // namespace InitialCollectionStage

using InitialCollectionProgress =
    std::variant<InitialCollectionStage::Starting, InitialCollectionStage::RunningScc,
                 InitialCollectionStage::SccComplete, InitialCollectionStage::ImportingHistory,
                 InitialCollectionStage::HistoryComplete, InitialCollectionStage::Complete,
                 InitialCollectionStage::Error>;

} // namespace norvane
