#include "norvane-cli/CommandLineTool.h"

#include "norvane-cli/AddCommand.h"
#include "norvane-cli/ArchiveCommand.h"
#include "norvane-cli/CollectCommand.h"
#include "norvane-cli/ExportCommand.h"
#include "norvane-cli/HistoryCommand.h"
#include "norvane-cli/ListCommand.h"
#include "norvane-cli/RemoveCommand.h"

#include "core/models/NorvaneDatabase.h"

#include <fmt/format.h>

#include <cstdlib>
#include <exception>
#include <string>

namespace norvane::cli {
namespace {

std::shared_ptr<platform::ModelContainer> storeFor(const Command& command) {
    if (!command.changesStore()) {
        return NorvaneDatabase::makeReadingContainer();
    }
    auto store = command.createsStore() ? NorvaneDatabase::makeContainerForOneCommand()
                                        : NorvaneDatabase::makeContainerIfStored();
    // The tool ends as it closes the store: a write left in the log there would be read into a copy
    // of the store put back at its path.
    store->waitForReadersAtClose(platform::ModelContainer::lockWait);
    return store;
}

} // namespace

CommandLineTool::CommandLineTool()
    : app_("Tracks the code that your projects ship and what it would cost to build by hand.", "norvane") {
    app_.set_version_flag("--version", "norvane " + std::string(NorvaneKit::version));
    app_.require_subcommand(1);
    add(std::make_unique<CollectCommand>());
    add(std::make_unique<AddCommand>());
    add(std::make_unique<HistoryCommand>());
    add(std::make_unique<ListCommand>());
    add(std::make_unique<ArchiveCommand>());
    add(std::make_unique<RemoveCommand>());
    add(std::make_unique<ExportCommand>());
    helpCommand_ = app_.add_subcommand("help", "Show this help, or a command's own");
    helpCommand_->add_option("COMMAND", helpTopic_, "The command to explain");
}

void CommandLineTool::add(std::unique_ptr<Command> command) {
    auto* subcommand = command->configure(app_);
    commands_.emplace_back(subcommand, std::move(command));
}

int CommandLineTool::run(int argc, const char* const* argv, const Console& console) {
    const int status = parseAndRun(argc, argv, console);
    // A cut output (a full disk, a closed file) must not pass for a whole one.
    if (const auto failure = console.outputFailure()) {
        console.printError(*failure);
        return EXIT_FAILURE;
    }
    return status;
}

int CommandLineTool::parseAndRun(int argc, const char* const* argv, const Console& console) {
    if (argc > 1 && isUnknownCommand(argv[1])) {
        return usageError(fmt::format("Unknown command: {}", argv[1]), app_, console);
    }
    try {
        app_.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const auto chosen = app_.get_subcommands();
        const auto& command = chosen.empty() ? app_ : *chosen.back();
        const auto leftOver = app_.remaining(true);
        // --help and --version are answered before the arguments left over are looked at, and so is a
        // missing command: name those arguments instead.
        const bool answered = error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success);
        if (!leftOver.empty() && (answered || chosen.empty())) {
            return usageError(CLI::ExtrasError(leftOver).what(), command, console);
        }
        if (answered) {
            return app_.exit(error, console.out(), console.err());
        }
        return usageError(error.what(), command, console);
    }
    if (helpCommand_->parsed()) {
        return showHelp(console);
    }
    for (auto& [subcommand, command] : commands_) {
        if (subcommand->parsed()) {
            return runCommand(*command, console);
        }
    }
    return EXIT_FAILURE;
}

int CommandLineTool::showHelp(const Console& console) const {
    if (helpTopic_.empty()) {
        console.out() << app_.get_formatter()->make_help(&app_, app_.get_name(), CLI::AppFormatMode::Normal);
        return EXIT_SUCCESS;
    }
    if (const auto command = named(helpTopic_); !command.empty()) {
        console.out() << command.front()->help(app_.get_name());
        return EXIT_SUCCESS;
    }
    return usageError(fmt::format("Unknown command: {}", helpTopic_), *helpCommand_, console);
}

bool CommandLineTool::isUnknownCommand(std::string_view argument) const {
    if (argument.empty() || argument.front() == '-') {
        return false;
    }
    return named(argument).empty();
}

std::vector<const CLI::App*> CommandLineTool::named(std::string_view name) const {
    return app_.get_subcommands([name](const CLI::App* command) { return command->get_name() == name; });
}

int CommandLineTool::usageError(std::string_view message, const CLI::App& command, const Console& console) const {
    console.printError(message);
    const std::string name = &command == &app_ ? app_.get_name() : app_.get_name() + " " + command.get_name();
    CLI::Formatter formatter;
    console.err() << formatter.make_usage(&command, name) << "Run with --help for more information." << std::endl;
    return usageExitStatus;
}

int CommandLineTool::runCommand(Command& command, const Console& console) {
    try {
        NorvaneKit kit(storeFor(command));
        if (command.changesStore()) {
            kit.container()->requireWritable();
        }
        return command.run(kit, console);
    } catch (const std::exception& error) {
        console.printError(error.what());
        return EXIT_FAILURE;
    }
}

} // namespace norvane::cli
