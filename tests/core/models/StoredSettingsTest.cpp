#include "core/models/StoredSettings.h"

#include "core/models/NorvaneDatabase.h"
#include "platform/persistence/Database.h"
#include "tests/support/CapturedStandardError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

namespace norvane {
namespace {

class StoredSettingsTest : public ::testing::Test {
protected:
    std::shared_ptr<AppSettings> stored(double averageWage) {
        auto settings = AppSettings::defaults();
        settings->averageWage = averageWage;
        context->insert(settings);
        return settings;
    }

    std::shared_ptr<platform::ModelContext> context =
        std::make_shared<platform::ModelContext>(NorvaneDatabase::makeInMemoryContainer());
};

TEST_F(StoredSettingsTest, TheOldestSavedRecordCountsAndOneNotYetSavedComesLast) {
    EXPECT_EQ(StoredSettings::find(*context), nullptr);
    const auto pending = stored(90000);
    EXPECT_EQ(StoredSettings::orDefaults(*context), pending);
    context->save();
    const auto later = stored(120000);
    context->save();
    stored(60000);
    EXPECT_EQ(StoredSettings::find(*context), pending);
    EXPECT_EQ(StoredSettings::orDefaults(*context), pending);
}

TEST_F(StoredSettingsTest, WithoutARecordTheDefaultsStandInUnsaved) {
    const auto settings = StoredSettings::orDefaults(*context);
    EXPECT_EQ(settings->averageWage, 150000.0);
    EXPECT_EQ(settings->overhead, 2.4);
    EXPECT_FALSE(context->hasChanges());
}

TEST_F(StoredSettingsTest, SettingsThatCannotBeReadGiveTheDefaultsAndSaySo) {
    context->container()->withDatabase(
        [](platform::Database& database) { database.execute("DROP TABLE app_settings"); });
    const testing::CapturedStandardError standardError;
    EXPECT_EQ(StoredSettings::orDefaults(*context)->averageWage, 150000.0);
    EXPECT_THAT(standardError.text(),
                ::testing::StartsWith(std::string(program_invocation_short_name) +
                                      ": The settings cannot be read, so the default wage and overhead stand in: "));
    EXPECT_THROW(StoredSettings::find(*context), std::exception);
}

} // namespace
} // namespace norvane
