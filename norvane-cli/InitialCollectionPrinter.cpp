#include "norvane-cli/InitialCollectionPrinter.h"

#include "norvane-cli/TerminalText.h"

#include <fmt/format.h>

#include <ostream>
#include <type_traits>

namespace norvane::cli {

InitialCollectionPrinter::InitialCollectionPrinter(std::ostream& out, ProgressPrinter& history)
    : out_(out), history_(history) {}

void InitialCollectionPrinter::print(const InitialCollectionProgress& stage) {
    namespace Stage = InitialCollectionStage;
    std::visit(
        [this](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, Stage::Starting>) {
                line("Starting the first collection");
            } else if constexpr (std::is_same_v<T, Stage::RunningScc>) {
                line("Counting code lines");
            } else if constexpr (std::is_same_v<T, Stage::SccComplete>) {
                line(fmt::format("Counted {} code lines", value.lines));
            } else if constexpr (std::is_same_v<T, Stage::ImportingHistory>) {
                history_.update(value.current, value.total, value.commitMessage);
            } else if constexpr (std::is_same_v<T, Stage::HistoryComplete>) {
                line(fmt::format("Imported {} history snapshots", value.snapshots));
            } else if constexpr (std::is_same_v<T, Stage::Complete>) {
                line("First collection complete");
            } else {
                static_assert(std::is_same_v<T, Stage::Error>);
                history_.finish();
            }
        },
        stage);
}

void InitialCollectionPrinter::line(std::string_view text) {
    history_.finish();
    // Flushed at once: the progress that follows goes to standard error, which may be the same
    // terminal.
    out_ << TerminalText::printable(text) << std::endl;
}

} // namespace norvane::cli
