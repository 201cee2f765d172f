#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <QString>

#include "Norvane/state/AppState.h"
#include "core/facade/NorvaneKit.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/TemporaryFolder.h"

class QDialog;

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

} // namespace norvane::app::testing
