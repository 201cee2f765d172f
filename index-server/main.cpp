// norvane-index-server: serves the benchmark protocol from a SQLite file until SIGINT or SIGTERM.

#include "index-server/BenchmarkBuilder.h"
#include "index-server/IndexServer.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"Serves the Norvane benchmark protocol under /v1, keeping reports in a SQLite file."};
    const norvane::indexserver::IndexServer::Options defaults;
    app.footer("The benchmarks publish a size bucket, and each distribution, only from " +
               std::to_string(norvane::indexserver::BenchmarkBuilder::minimumContributors) +
               " or more distinct contributors; below that it is left out, of the figures over everyone too. "
               "Each percentile point is one contributor's figure rounded to two significant digits. "
               "One client address may hold " +
               std::to_string(defaults.limits.maxConnectionsPerAddress) + " connections at once and bring " +
               std::to_string(defaults.maxNewDevicesPerAddressPerHour) +
               " device ids new to the service per hour; beyond that it is answered 429.");
    int port = 8080;
    std::string dataFile;
    std::string host = "127.0.0.1";
    app.add_option("--port", port, "Port to listen on (0 picks a free one)")->check(CLI::Range(0, 65535));
    app.add_option("--data", dataFile, "SQLite file that keeps the reports and nothing else")->required();
    app.add_option("--host", host, "Address to listen on")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    // Blocked before the server starts its threads, so only the sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        norvane::indexserver::IndexServer server(dataFile);
        server.start(host, port);
        std::cout << "Listening on " << server.baseURL() << std::endl;
        int received = 0;
        sigwait(&stopSignals, &received);
        server.stop();
    } catch (const std::exception& error) {
        std::cerr << "norvane-index-server: " << error.what() << std::endl;
        return 1;
    }
    return 0;
}
