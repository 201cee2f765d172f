// norvane-index-server: serves the benchmark protocol from a SQLite file until SIGINT or SIGTERM.

#include "core/models/BuildConfiguration.h"
#include "index-server/BenchmarkBuilder.h"
#include "index-server/IndexServer.h"
#include "index-server/StopSignals.h"
#include "platform/DescriptorOutput.h"
#include "platform/ErrorLog.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <iostream>
#include <optional>

namespace {

/// The exit status of a command line that the program cannot take, as command-line tools use it.
constexpr int usageExitStatus = 2;

/// Prints what --help or --version asks for: status 0, or 1 and why when the text could not be
/// written whole (a full disk), which would otherwise pass for printed.
int printAnswer(CLI::App& app, const CLI::ParseError& request) {
    norvane::platform::DescriptorOutput output(STDOUT_FILENO);
    app.exit(request, output);
    output.flush();
    if (const auto& failure = output.failure()) {
        norvane::platform::logError("Cannot write to standard output: " + *failure);
        return 1;
    }
    return 0;
}

/// Parses the command line: none when the program should go on, else its exit status, after
/// --help's text or the reason and the usage line of a command line it cannot take.
std::optional<int> parse(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        // Arguments it does not know say more than an option that is missing, and make --help or
        // --version beside them a mistake too, as they are to `norvane` and `norvane-count`.
        if (app.remaining_size() == 0 && error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
            return printAnswer(app, error);
        }
        const std::string message =
            app.remaining_size() > 0 ? CLI::ExtrasError(app.remaining()).what() : std::string(error.what());
        // One write, as every line the program logs, so that nothing else cuts it.
        norvane::platform::logError(message + "\n" + CLI::Formatter().make_usage(&app, app.get_name()) +
                                    "Run with --help for more information.");
        return usageExitStatus;
    }
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Serves the Norvane benchmark protocol under /v1, keeping reports in a SQLite file.",
                 "norvane-index-server"};
    const norvane::indexserver::IndexServer::Options defaults;
    app.footer("The benchmarks publish a size bucket, and each distribution, only from " +
               std::to_string(norvane::indexserver::BenchmarkBuilder::minimumContributors) +
               " or more distinct contributors; below that it is left out, of the figures over everyone too. "
               "Each percentile point is one contributor's figure rounded to two significant digits. "
               "One client address may hold " +
               std::to_string(defaults.limits.maxConnectionsPerAddress) + " connections at once, bring " +
               std::to_string(defaults.maxNewDevicesPerAddressPerHour) +
               " device ids new to the service per hour and store " +
               std::to_string(defaults.maxReportsPerAddressPerDay) + " reports per day, and one device store " +
               std::to_string(defaults.maxReportsPerDevicePerDay) +
               " reports per activity day; beyond that it is answered 429.");
    int port = 8080;
    std::string dataFile;
    std::string host = "127.0.0.1";
    app.add_option("--port", port, "Port to listen on (0 picks a free one)")->check(CLI::Range(0, 65535));
    app.add_option("--data", dataFile, "SQLite file that keeps the reports and nothing else")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& file) {
                return file.empty() ? std::string("the file name is empty") : std::string();
            },
            "FILE"));
    app.add_option("--host", host, "Address to listen on")->capture_default_str();
    app.set_version_flag("--version", "norvane-index-server " + std::string(norvane::BuildConfiguration::version));
    if (const auto exitStatus = parse(app, argc, argv)) {
        return *exitStatus;
    }

    norvane::indexserver::StopSignals stopSignals;
    try {
        norvane::indexserver::IndexServer server({.host = host, .port = port}, dataFile);
        server.start();
        stopSignals.serving();
        std::cout << "Listening on " << server.baseURL() << std::endl;
        stopSignals.await();
        server.stop();
    } catch (const std::exception& error) {
        norvane::platform::logError(error.what());
        return 1;
    }
    return 0;
}
