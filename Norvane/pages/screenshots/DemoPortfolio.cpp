#include "Norvane/pages/screenshots/DemoPortfolio.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "Norvane/pages/screenshots/DemoRepository.h"
#include "core/facade/NorvaneKit.h"
#include "platform/LocalCalendar.h"

namespace norvane::app::DemoPortfolio {
namespace {

/// How a demo source file of one language is written: its first line, and one function with
/// the module number as {0} and the function number as {1}.
struct Language {
    std::string extension;
    std::string fileHeader;
    std::string functionTemplate;
};

const Language cpp{".cpp", "",
                   "// Scales the value for stage {1}.\n"
                   "int module{0}Step{1}(int value) {{\n    const int scaled = value * {1};\n"
                   "    return scaled + {0};\n}}\n\n"};
const Language typeScript{".ts", "",
                          "// Scales the value for stage {1}.\n"
                          "export function step{1}(value: number): number {{\n  const scaled = value * {1};\n"
                          "  return scaled + {0};\n}}\n\n"};
const Language python{".py", "",
                      "def step_{1}(value):\n    \"\"\"Scales the value for stage {1}.\"\"\"\n"
                      "    scaled = value * {1}\n    return scaled + {0}\n\n\n"};
const Language go{".go", "package demo\n\n",
                  "// Step{1} scales the value for stage {1}.\n"
                  "func Step{1}(value int) int {{\n\tscaled := value * {1}\n\treturn scaled + {0}\n}}\n\n"};

struct DemoProject {
    std::string name;
    std::string description;
    const Language& language;
    int firstCommitDaysAgo;
    int lastCommitDaysAgo;
    int commits;
    int functionsPerFile;
    bool archived = false;
};

const std::vector<DemoProject> demoProjects{
    {"atlas-api", "Order and billing service", cpp, 420, 1, 36, 24},
    {"harbor-web", "Customer dashboard", typeScript, 150, 0, 28, 18},
    {"pylon-scripts", "Deployment and data scripts", python, 75, 12, 14, 12},
    {"old-prototype", "First try at the sync engine", go, 700, 520, 10, 16, true},
};

std::string sourceFile(const Language& language, int module, int functions) {
    std::string text = language.fileHeader;
    for (int index = 1; index <= functions; ++index) {
        text += fmt::format(fmt::runtime(language.functionTemplate), module, index);
    }
    return text;
}

std::string modulePath(const DemoProject& project, int module) {
    return "src/module" + std::to_string(module) + project.language.extension;
}

/// Whole days before now, a few hours earlier still, so that no commit lies in the future.
platform::Date daysAgo(int days) {
    return platform::LocalCalendar::addingDays(platform::currentDate(), -days) - std::chrono::hours(3);
}

void commitHistory(const DemoRepository& repository, const DemoProject& project) {
    repository.writeFile("README.md", "# " + project.name + "\n\n" + project.description + ".\n");
    const int span = project.firstCommitDaysAgo - project.lastCommitDaysAgo;
    for (int commit = 0; commit < project.commits; ++commit) {
        const int module = commit + 1;
        repository.writeFile(modulePath(project, module),
                             sourceFile(project.language, module, project.functionsPerFile + commit % 5));
        // Every third commit also reworks an earlier file, so the history has churn as well.
        if (commit >= 3 && commit % 3 == 0) {
            repository.writeFile(modulePath(project, module - 3),
                                 sourceFile(project.language, module - 3, project.functionsPerFile / 2));
        }
        const int age = project.firstCommitDaysAgo - span * commit / std::max(1, project.commits - 1);
        repository.commit("Add module " + std::to_string(module), daysAgo(age));
    }
}

} // namespace

void create(const std::filesystem::path& folder, NorvaneKit& kit) {
    for (const auto& demo : demoProjects) {
        const DemoRepository repository(folder / demo.name);
        commitHistory(repository, demo);
        auto project = kit.addProject(demo.name, repository.folder().string(), demo.description, ProjectType::organic);
        const auto result = kit.collector().collectInitialData(project);
        if (result.error) throw std::runtime_error(demo.name + ": " + result.error->message);
        if (demo.archived) kit.archiveProject(project);
    }
}

} // namespace norvane::app::DemoPortfolio
