#include "core/models/NorvaneDatabase.h"
#include "core/models/Project.h"
#include "platform/persistence/ModelContext.h"
#include "platform/persistence/StoreError.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane {
namespace {

using testing::readFile;

TEST(ModelContainer, RefusesAFileThatIsNotAStoreAndLeavesItAlone) {
    testing::TemporaryFolder folder;
    const auto file = folder.writeFile("norvane.store", std::string(8192, 'x'));
    const auto message = testing::errorMessageOf<platform::StoreError>([&] { NorvaneDatabase::makeContainer(file); });
    EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    EXPECT_EQ(readFile(file), std::string(8192, 'x'));
    EXPECT_FALSE(std::filesystem::exists(file.string() + "-wal"));
}

TEST(ModelContainer, RefusesANewerSchemaVersion) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "norvane.store";
    NorvaneDatabase::makeContainer(file).reset();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "UPDATE norvane_metadata SET value = '2.0.0' WHERE key = 'schemaVersion'", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    const auto message = testing::errorMessageOf<platform::StoreError>([&] { NorvaneDatabase::makeContainer(file); });
    EXPECT_NE(message.find("newer version"), std::string::npos) << message;
    EXPECT_NE(message.find(file.string()), std::string::npos);
}

TEST(ModelContainer, CreatesTheStoreFolderUnderTheDataHome) {
    testing::TemporaryHome home;
    EXPECT_EQ(NorvaneDatabase::containerURL(), home.dataHome() / "Norvane" / "norvane.store");
    EXPECT_FALSE(std::filesystem::exists(home.dataHome() / "Norvane")) << "reading the location creates nothing";
    auto first = NorvaneDatabase::makeContainer();
    auto second = NorvaneDatabase::makeContainer();
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(std::filesystem::exists(home.dataHome() / "Norvane" / "norvane.store"));

    NorvaneDatabase::isDevelopment = true;
    EXPECT_EQ(NorvaneDatabase::containerURL(), home.dataHome() / "Norvane-Dev" / "norvane.store");
    NorvaneDatabase::isDevelopment = false;
}

TEST(ModelContainer, AFileInTheWayOfTheFolderFails) {
    testing::TemporaryHome home;
    std::filesystem::create_directories(home.dataHome());
    std::ofstream(home.dataHome() / "Norvane") << "not a folder";
    EXPECT_THROW(NorvaneDatabase::makeContainer(), platform::StoreError);
}

TEST(ModelContainer, SeesWhatAnotherProcessWrites) {
    testing::TemporaryFolder folder;
    const auto file = folder.path() / "norvane.store";
    auto container = NorvaneDatabase::makeContainer(file);
    platform::ModelContext context(container);
    EXPECT_TRUE(context.fetch<Project>().empty());

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int status = 0;
        try {
            platform::ModelContext writer(NorvaneDatabase::makeContainer(file));
            writer.insert(Project::create("from-child", "/tmp", std::nullopt, ProjectType::organic));
            writer.save();
        } catch (...) {
            status = 1;
        }
        _exit(status);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    EXPECT_TRUE(container->checkForExternalChanges());
    auto projects = context.fetch<Project>();
    ASSERT_EQ(projects.size(), 1U);
    EXPECT_EQ(projects.front()->name, "from-child");
}

TEST(ModelContainer, InMemoryStoresAreSeparate) {
    platform::ModelContext first(NorvaneDatabase::makeInMemoryContainer());
    platform::ModelContext second(NorvaneDatabase::makeInMemoryContainer());
    first.insert(Project::create("alpha", "/tmp", std::nullopt, ProjectType::organic));
    first.save();
    EXPECT_EQ(first.fetch<Project>().size(), 1U);
    EXPECT_TRUE(second.fetch<Project>().empty());
}

} // namespace
} // namespace norvane
