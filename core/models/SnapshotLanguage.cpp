#include "core/models/SnapshotLanguage.h"

namespace norvane {

using platform::attribute;

std::shared_ptr<SnapshotLanguage> SnapshotLanguage::create(std::string language,
                                                           const std::shared_ptr<Snapshot>& snapshot) {
    auto row = std::make_shared<SnapshotLanguage>();
    row->language = std::move(language);
    row->snapshot = snapshot;
    return row;
}

const platform::Entity<SnapshotLanguage>& SnapshotLanguage::entity() {
    static const platform::Entity<SnapshotLanguage> entity{
        "SnapshotLanguage",
        "snapshot_language",
        {
            attribute(SnapshotLanguageField::id, {.identity = true}),
            attribute(SnapshotLanguageField::language),
            attribute(SnapshotLanguageField::files),
            attribute(SnapshotLanguageField::lines),
            attribute(SnapshotLanguageField::code),
            attribute(SnapshotLanguageField::comments),
            attribute(SnapshotLanguageField::blanks),
            attribute(SnapshotLanguageField::complexity),
            attribute(SnapshotLanguageField::category),
            platform::relationship(SnapshotLanguageField::snapshot, platform::DeleteRule::cascade),
        }};
    return entity;
}

} // namespace norvane
