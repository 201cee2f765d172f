#include "Norvane/settings/DataTab.h"

#include <fstream>

#include <QFileDialog>
#include <QPushButton>
#include <QTabWidget>
#include <nlohmann/json.hpp>

#include "Norvane/settings/CaptionMessage.h"
#include "platform/Iso8601.h"
#include "tests/Norvane/settings/SettingsFixture.h"

namespace norvane::app {
namespace {

using testing::eventually;

TEST(DataTab, TellsWhereTheStoreIsAndHowLargeWithItsSideFiles) {
    norvane::testing::TemporaryFolder folder;
    const auto store = folder.writeFile("Norvane/norvane.store", std::string(1000, 'x'));
    EXPECT_EQ(DataTab::storeSize(store), 1000);
    folder.writeFile("Norvane/norvane.store-wal", std::string(500, 'x'));
    folder.writeFile("Norvane/norvane.store-shm", std::string(300, 'x'));
    EXPECT_EQ(DataTab::storeSize(store), 1800);
    EXPECT_EQ(DataTab::storeSize(folder.path() / "missing.store"), std::nullopt);

    EXPECT_EQ(DataTab::locationText("/home/ada/.local/share/Norvane/norvane.store", "/home/ada"),
              "~/.local/share/Norvane/");
    EXPECT_EQ(DataTab::locationText("/srv/data/Norvane/norvane.store", "/home/ada"), "/srv/data/Norvane/");
    const std::pair<std::int64_t, QString> sizes[] = {
        {0, "Zero KB"}, {999, "999 bytes"}, {48'400, "48 KB"}, {999'999, "1 MB"}, {1'260'000, "1.3 MB"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(DataTab::sizeText(bytes), text);
    EXPECT_EQ(DataTab::exportFileName(*platform::Iso8601::parse("2026-12-05T15:47:18Z")),
              "norvane-export-2026-12-05T15:47:18Z.json");
}

TEST(DataTab, ExportsThroughTheBuiltToolAndSaysWhetherTheFileWasWritten) {
    testing::SettingsFixture fixture;
    testing::saveProject(*fixture.context, "Atlas");
    auto window = fixture.open(fixture.services());
    auto& tab = window->dataTab();
    window->tabs().setCurrentWidget(&tab);
    EXPECT_EQ(tab.shownSize(), DataTab::sizeText(*DataTab::storeSize(fixture.store->file().value())));

    const auto target = fixture.home.path() / "my exports" / "all data.json";
    std::filesystem::create_directories(target.parent_path());
    tab.exportTo(QString::fromStdString(target.string()));
    ASSERT_TRUE(eventually([&] { return !tab.exportMessage().isHidden(); }));
    EXPECT_FALSE(tab.exportMessage().isError());
    EXPECT_EQ(tab.exportMessage().text(), "Exported all data to " + QString::fromStdString(target.string()));
    const auto document = nlohmann::json::parse(std::ifstream(target));
    EXPECT_EQ(document["projects"][0]["name"], "Atlas");

    // A destination inside a file cannot be written.
    tab.exportTo(QString::fromStdString((target / "inside.json").string()));
    ASSERT_TRUE(eventually([&] { return tab.exportMessage().isError(); }));
    EXPECT_TRUE(tab.exportMessage().text().startsWith("Export failed: ")) << tab.exportMessage().text().toStdString();

    // The store's own file is refused, and it stays a store with its project.
    const auto storeFile = fixture.store->file().value();
    tab.exportTo(QString::fromStdString(storeFile.string()));
    const QString refusal = "Export failed: Cannot write " + QString::fromStdString(storeFile.string()) +
                            ": it would overwrite the Norvane store";
    ASSERT_TRUE(eventually([&] { return tab.exportMessage().text().startsWith(refusal); }))
        << tab.exportMessage().text().toStdString();
    EXPECT_TRUE(tab.exportMessage().isError());
    platform::ModelContext reopened(NorvaneDatabase::makeContainer(storeFile));
    ASSERT_EQ(reopened.fetch<Project>().size(), 1u);
    EXPECT_EQ(reopened.fetch<Project>().front()->name, "Atlas");
}

// Found exporting twice: the second export opened in the home folder again, not where the first went.
TEST(DataTab, ExportOpensWhereTheLastFileWent) {
    testing::SettingsFixture fixture;
    auto window = fixture.open(fixture.services());
    auto& tab = window->dataTab();
    window->tabs().setCurrentWidget(&tab);
    const auto folder = fixture.home.path() / "exports";
    std::filesystem::create_directories(folder);
    const auto dialog = [&tab] { return tab.findChild<QFileDialog*>(); };

    tab.exportButton().click();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->selectedFiles().value(0).endsWith(".json"));
    dialog()->selectFile(QString::fromStdString((folder / "first.json").string()));
    QMetaObject::invokeMethod(dialog(), "accept");
    ASSERT_TRUE(eventually([&] { return !tab.exportMessage().isHidden() && dialog() == nullptr; }));

    tab.exportButton().click();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_EQ(dialog()->directory().absolutePath().toStdString(), folder.string());
    dialog()->reject();
}

} // namespace
} // namespace norvane::app
