#pragma once

#include "core/models/OutputCategory.h"
#include "core/models/Snapshot.h"

namespace norvane {

/// One language row of a code-count snapshot.
class SnapshotLanguage : public platform::Model<SnapshotLanguage> {
public:
    platform::Uuid id = platform::Uuid::random();
    std::string language;
    std::int64_t files = 0;
    std::int64_t lines = 0;
    std::int64_t code = 0;
    std::int64_t comments = 0;
    std::int64_t blanks = 0;
    std::int64_t complexity = 0;
    std::optional<OutputCategory> category;
    std::shared_ptr<Snapshot> snapshot;

    SnapshotLanguage() = default;
    static std::shared_ptr<SnapshotLanguage> create(std::string language, const std::shared_ptr<Snapshot>& snapshot);
    static const platform::Entity<SnapshotLanguage>& entity();

    /// The category, or `code` for a row that has none.
    OutputCategory effectiveCategory() const { return category.value_or(OutputCategory::code); }
};

namespace SnapshotLanguageField {
inline constexpr platform::Field<SnapshotLanguage, platform::Uuid> id{"id", &SnapshotLanguage::id};
inline constexpr platform::Field<SnapshotLanguage, std::string> language{"language", &SnapshotLanguage::language};
inline constexpr platform::Field<SnapshotLanguage, std::int64_t> files{"files", &SnapshotLanguage::files};
inline constexpr platform::Field<SnapshotLanguage, std::int64_t> lines{"lines", &SnapshotLanguage::lines};
inline constexpr platform::Field<SnapshotLanguage, std::int64_t> code{"code", &SnapshotLanguage::code};
inline constexpr platform::Field<SnapshotLanguage, std::int64_t> comments{"comments", &SnapshotLanguage::comments};
inline constexpr platform::Field<SnapshotLanguage, std::int64_t> blanks{"blanks", &SnapshotLanguage::blanks};
inline constexpr platform::Field<SnapshotLanguage, std::int64_t> complexity{"complexity",
                                                                            &SnapshotLanguage::complexity};
inline constexpr platform::Field<SnapshotLanguage, std::optional<OutputCategory>> category{"category",
                                                                                           &SnapshotLanguage::category};
inline constexpr platform::Field<SnapshotLanguage, std::shared_ptr<Snapshot>> snapshot{"snapshot",
                                                                                       &SnapshotLanguage::snapshot};
} // namespace SnapshotLanguageField

} // namespace norvane
