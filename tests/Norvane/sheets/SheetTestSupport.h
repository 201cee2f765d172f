#pragma once

#include <memory>

#include <QString>

#include "Norvane/state/AppState.h"
#include "core/facade/NorvaneKit.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/core/collection/GitTestRepository.h"

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

/// Types `text` into the field, as a user would, after clearing it.
void typeInto(QWidget& field, const QString& text);
/// Confirms the non-blocking file dialog open in `owner` with `path`; false when none is open.
bool chooseInFileDialog(QWidget& owner, const QString& path);
/// Runs the event loop until `dialog` has closed; false after ten seconds.
bool waitUntilClosed(const QPointer<QDialog>& dialog);

} // namespace norvane::app::testing
