#include "tests/core/collection/GitLoggedDays.h"

#include "platform/LocalCalendar.h"

#include <chrono>
#include <sstream>

namespace norvane::testing {

std::map<platform::Date, LoggedDay> loggedDays(const GitTestRepository& repository,
                                               const std::vector<std::string>& revisions,
                                               const std::map<std::string, platform::Date>& bookedOn) {
    std::map<platform::Date, LoggedDay> days;
    LoggedDay* day = nullptr;
    // In the repository's own folder, taken for its work tree: no .gitattributes of a checkout count.
    auto folder = runGit({"-C", repository.pathString(), "rev-parse", "--absolute-git-dir"});
    folder.pop_back();
    std::vector<std::string> arguments{"-C", folder, "--work-tree=" + folder, "log", "--numstat", "--format=@%H %ct"};
    arguments.insert(arguments.end(), revisions.begin(), revisions.end());
    arguments.push_back("--");
    std::istringstream lines(runGit(arguments));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("@")) {
            const auto hash = line.substr(1, line.find(' ') - 1);
            platform::Date committedAt(std::chrono::seconds(std::stoll(line.substr(line.find(' ') + 1))));
            const auto moved = bookedOn.find(hash);
            day = &days[platform::LocalCalendar::startOfDay(moved == bookedOn.end() ? committedAt : moved->second)];
            ++day->commits;
        } else if (const auto tab = line.find('\t'); tab != std::string::npos) {
            const auto second = line.find('\t', tab + 1);
            // "-" for a file git counts no lines of.
            const auto count = [](const std::string& field) { return field == "-" ? 0 : std::stoll(field); };
            day->insertions += count(line.substr(0, tab));
            day->deletions += count(line.substr(tab + 1, second - tab - 1));
            day->files.insert(line.substr(second + 1));
        }
    }
    return days;
}

} // namespace norvane::testing
