#pragma once

#include "platform/persistence/Database.h"

#include <string>

namespace norvane::StoreUpgrade {

/// Brings the rows of a store that an older version of Norvane wrote (of the version given) up to
/// the present schema, once its missing tables and indexes exist: old tables gain their new columns,
/// the commits each day's row counts, once kept per day as text, become a row each, and the git
/// folder a booked history kept becomes where its work tree begins, or none where it tells not. A project
/// whose booked commits cannot all be read loses what its rows were booked from, and one that kept
/// the moment a commit dated ahead of it was first seen at is booked for now only, so that the next
/// collection reads its history whole.
void upgrade(platform::Database& database, const std::string& storedVersion);

} // namespace norvane::StoreUpgrade
