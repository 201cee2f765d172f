#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

#include "Norvane/state/AppState.h"
#include "core/facade/NorvaneKit.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app::testing {

/// A temporary home with a store file, a facade over it that counts with the built-in counter
/// (or with none), and the application state collecting through that facade.
class SheetTest : public norvane::testing::ComponentTest {
protected:
    void SetUp() override;
    void TearDown() override;
    /// Counting fails: the store has no counter to run.
    void restartWithoutCounter();

    AppState& appState() { return *state_; }
    NorvaneKit& kit() { return *kit_; }
    /// A repository with a commit every ten days for a month.
    std::unique_ptr<norvane::testing::GitTestRepository> makeRepository() const;

private:
    void start(const SccLookup& counter);

    norvane::testing::IsolatedGitEnvironment environment_;
    std::unique_ptr<NorvaneKit> kit_;
    std::unique_ptr<AppState> state_;
};

/// The store at its usual place in a temporary home, open as the running application holds it
/// (its -wal and -shm files beside it), with one project.
class OpenStore {
public:
    OpenStore();
    std::filesystem::path file() const;
    /// The bytes of the store and of its -wal file.
    std::string contents() const;
    /// Whether a new connection still reads the project.
    bool holdsTheProject() const;

private:
    norvane::testing::TemporaryHome home_;
    norvane::testing::TemporaryFolder projectFolder_;
    std::unique_ptr<NorvaneKit> kit_;
};

/// Types `text` into the field, as a user would, after clearing it.
void typeInto(QWidget& field, const QString& text);
/// Confirms the non-blocking file dialog open in `owner` with `path`; false when none is open.
bool chooseInFileDialog(QWidget& owner, const QString& path);
/// The same for a file that exists: the dialog's question whether to replace it is answered Yes.
bool replaceInFileDialog(QWidget& owner, const QString& path);
/// Runs the event loop until `dialog` has closed; false after ten seconds.
bool waitUntilClosed(const QPointer<QDialog>& dialog);

/// Saves through a sheet's dialog onto the open store, onto `hardLink` (made to it) and onto its
/// -wal file, answering Yes to each replace: every save is refused with its message and leaves the
/// sheet open, and the store stays as it was. `open` shows the sheet anew in `dialog`.
template <typename SavingSheet>
void expectNoSaveLandsOnTheStore(const std::filesystem::path& hardLink, const std::function<SavingSheet*()>& open,
                                 const QPointer<QDialog>& dialog) {
    const OpenStore store;
    std::filesystem::create_hard_link(store.file(), hardLink);
    const auto before = store.contents();
    for (const auto& path : {store.file(), hardLink, std::filesystem::path(store.file().string() + "-wal")}) {
        SavingSheet* sheet = open();
        QTest::mouseClick(&sheet->saveButton(), Qt::LeftButton);
        ASSERT_TRUE(replaceInFileDialog(*sheet, QString::fromStdString(path.string())));
        EXPECT_EQ(sheet->errorLine().label().text().toStdString(),
                  "Failed to save file: Cannot write " + path.string() + ": it would overwrite the Norvane store (" +
                      store.file().string() + "); choose another file");
        EXPECT_TRUE(dialog && dialog->isVisible()) << "the sheet stays open";
        emit sheet->dismissRequested();
    }
    EXPECT_EQ(store.contents(), before);
    EXPECT_TRUE(store.holdsTheProject());
}

} // namespace norvane::app::testing
