#include "core/collection/SccService.h"
#include "core/models/NorvaneError.h"

#include "tests/support/ErrorMessage.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace norvane {
namespace {

namespace fs = std::filesystem;

/// A folder of small fake counters and the lookup that points at them.
class SccServiceTest : public ::testing::Test {
protected:
    fs::path script(const std::string& name, const std::string& body, bool executable = true) const {
        const auto path = tools.writeFile(name, "#!/bin/sh\n" + body + "\n");
        fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read | fs::perms::owner_write);
        return path;
    }

    /// A lookup whose only place is `tool`, with a `which` that finds nothing.
    SccLookup only(const fs::path& tool) const { return {{tool}, script("which-none", "exit 1"), {}}; }
    /// A lookup that finds no scc, and `tool` as the built-in counter.
    SccLookup builtInOnly(const fs::path& tool) const { return {{}, script("which-none", "exit 1"), {tool}}; }

    std::string messageOf(const SccService& service) const {
        return testing::errorMessageOf<NorvaneError>([&] { service.collectMetrics(project.path().string()); });
    }

    testing::TemporaryFolder tools;
    testing::TemporaryFolder project;
};

constexpr const char* twoRows =
    R"(echo '[{"Name":"Go","Count":2,"Lines":30,"Code":20,"Comment":5,"Blank":5,"Complexity":3,"Extra":1},)"
    R"({"Name":"Markdown","Count":1,"Lines":10,"Code":8,"Comment":0,"Blank":2,"Complexity":0}]')";

TEST_F(SccServiceTest, ReadsRowsInTheToolsOrderWithTotals) {
    const SccService service(only(script("scc", twoRows)));
    const auto output = service.collectMetrics(project.path().string());
    ASSERT_EQ(output.languages.size(), 2U);
    EXPECT_EQ(output.languages[0], (SccLanguage{"Go", 2, 30, 20, 5, 5, 3}));
    EXPECT_EQ(output.languages[1].name, "Markdown");
    EXPECT_EQ(std::tuple(output.totalFiles(), output.totalLines(), output.totalCode(), output.totalComments(),
                         output.totalBlanks(), output.totalComplexity()),
              std::tuple(3, 40, 28, 5, 7, 3));
}

TEST_F(SccServiceTest, PassesThreeArgumentsAndGuardsLeadingDash) {
    const auto argumentsFile = tools.path() / "arguments";
    const SccService service(only(script("scc", "printf '%s\\n' \"$@\" > '" + argumentsFile.string() + "'")));
    const auto dashed = project.path() / "-rf";
    fs::create_directory(dashed);
    const auto cwd = fs::current_path();
    fs::current_path(project.path());
    const auto output = service.collectMetrics("-rf");
    fs::current_path(cwd);
    EXPECT_TRUE(output.languages.empty());
    EXPECT_EQ(testing::readFile(argumentsFile), "--format\njson\n./-rf\n");
}

TEST_F(SccServiceTest, FailureMessages) {
    EXPECT_EQ(messageOf(SccService(only(script("fail", "echo 'disk on fire' >&2; exit 3")))),
              "scc failed: scc exited with status 3: disk on fire\n");
    EXPECT_EQ(messageOf(SccService(only(script("quiet-fail", "exit 2")))), "scc failed: scc exited with status 2: ");
    EXPECT_EQ(messageOf(SccService(only(script("bad-stderr", "printf '\\377\\376' >&2; exit 1")))),
              "scc failed: scc exited with status 1: Unknown error");
    for (const auto* body :
         {"echo 'not json'", "echo '   '", "echo '{}'",
          R"(echo '[{"Name":"Go","Count":1,"Lines":1,"Code":1,"Comment":0,"Blank":0}]')",
          R"(echo '[{"name":"Go","count":1,"Lines":1,"Code":1,"Comment":0,"Blank":0,"Complexity":0}]')",
          // Counts below 0, or too large to add up, are no counts of any folder.
          R"(echo '[{"Name":"Go","Count":1,"Lines":1,"Code":-5,"Comment":0,"Blank":0,"Complexity":0}]')",
          R"(echo '[{"Name":"A","Count":1,"Lines":1,"Code":9223372036854775807,"Comment":0,"Blank":0,"Complexity":0},)"
          R"({"Name":"B","Count":1,"Lines":1,"Code":9,"Comment":0,"Blank":0,"Complexity":0}]')"}) {
        EXPECT_TRUE(
            messageOf(SccService(only(script("bad", body)))).starts_with("scc failed: Failed to parse scc output: "))
            << body;
    }
    const auto unstartable = tools.writeFile("garbage", std::string("\x7f"
                                                                    "ELF\1\1\1",
                                                                    7));
    fs::permissions(unstartable, fs::perms::owner_all);
    EXPECT_TRUE(messageOf(SccService(only(unstartable))).starts_with("scc failed: Failed to execute scc: "));
    // A counter that never ends is stopped, and the collection says so.
    EXPECT_EQ(messageOf(SccService(only(script("stuck", "exec sleep 300")), platform::defaultProcessRunner(),
                                   std::chrono::seconds(1))),
              "scc failed: scc ran for more than 1 second and was stopped");
}

TEST_F(SccServiceTest, FailuresOfTheBuiltInCounterNameIt) {
    const auto failing = script("fail", "echo 'norvane-count: cannot apply .gitignore' >&2; exit 1");
    EXPECT_EQ(messageOf(SccService(builtInOnly(failing))),
              "norvane-count failed: norvane-count exited with status 1: norvane-count: cannot apply .gitignore\n");
    EXPECT_EQ(messageOf(SccService(builtInOnly(failing)).withCounterFound()),
              "norvane-count failed: norvane-count exited with status 1: norvane-count: cannot apply .gitignore\n");
    EXPECT_TRUE(messageOf(SccService(builtInOnly(script("bad", "echo 'not json'"))))
                    .starts_with("norvane-count failed: Failed to parse norvane-count output: "));
    // scc, where it is found, is the one that ran.
    EXPECT_EQ(messageOf(SccService({{}, script("which-finds", "echo " + failing.string()), {script("ok", "true")}})),
              "scc failed: scc exited with status 1: norvane-count: cannot apply .gitignore\n");
}

TEST_F(SccServiceTest, EmptyOutputIsNoRowsButParseOfNothingFails) {
    const auto empty = SccService(only(script("empty", "true"))).collectMetrics(project.path().string());
    EXPECT_TRUE(empty.languages.empty());
    EXPECT_FALSE(empty.warning);
    // A counter that succeeds but says something on standard error left something out.
    const auto skipped = SccService(only(script("skipping", "echo '[]'; echo ' skipped 1 file ' >&2")))
                             .collectMetrics(project.path().string());
    EXPECT_EQ(skipped.warning, "skipped 1 file");
    EXPECT_THROW(SccOutput::parse(""), SccParseError);
    EXPECT_EQ(SccOutput::parse("[]").totalCode(), 0);
}

TEST_F(SccServiceTest, MissingToolIsReportedBeforeMissingPath) {
    const SccService none({{tools.path() / "absent"}, script("which-none", "exit 1"), {tools.path() / "absent-too"}});
    EXPECT_FALSE(none.isAvailable());
    EXPECT_FALSE(none.findSccPath());
    EXPECT_EQ(testing::errorMessageOf<NorvaneError>([&] { none.collectMetrics("/no/such/folder"); }),
              "scc not found. Install with: go install github.com/boyter/scc/v3@latest, or put norvane-count, the "
              "built-in counter, beside this program");
    EXPECT_EQ(testing::errorMessageOf<NorvaneError>(
                  [&] { SccService(only(script("scc", "true"))).collectMetrics("/no/such/folder"); }),
              "Path not found: /no/such/folder");
}

// A program started from the desktop menu rarely has ~/go/bin in its PATH, where `go install` puts it.
TEST_F(SccServiceTest, FindsTheCounterThatGoInstallLeftInTheHome) {
    testing::TemporaryHome home;
    const auto installed = home.path() / "go/bin/scc";
    fs::create_directories(installed.parent_path());
    fs::copy_file(script("scc", "true"), installed);
    EXPECT_EQ(SccService().findSccPath(), installed);
}

TEST_F(SccServiceTest, LookupOrder) {
    const auto notExecutable = script("first", "true", false);
    const auto second = script("second", "true");
    const auto builtIn = script("norvane-count", "true");
    const auto whichFinds = script("which-finds", "printf '  /opt/found/scc\\n'");
    const auto whichNone = script("which-none", "exit 1");
    const auto whichBlank = script("which-blank", "printf '  \\n'");

    EXPECT_EQ(SccService({{notExecutable, second}, whichFinds, {builtIn}}).findSccPath(), second);
    EXPECT_EQ(SccService({{notExecutable}, whichFinds, {builtIn}}).findSccPath(), fs::path("/opt/found/scc"));
    EXPECT_EQ(SccService({{notExecutable}, whichNone, {builtIn}}).findSccPath(), builtIn);
    EXPECT_EQ(SccService({{notExecutable}, whichBlank, {notExecutable, builtIn}}).findSccPath(), builtIn);
    EXPECT_EQ(SccService({{}, tools.path() / "no-which", {}}).findSccPath(), std::nullopt);
    EXPECT_EQ(SccService({{}, whichFinds, {}}).whichScc(), fs::path("/opt/found/scc"));
}

TEST_F(SccServiceTest, UnreadableFolderIsAnError) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    fs::permissions(project.path(), fs::perms::none);
    EXPECT_EQ(messageOf(SccService(only(script("scc", "echo '[]'")))),
              "scc failed: Cannot read " + project.path().string() + ": Permission denied");
    fs::permissions(project.path(), fs::perms::owner_all);
}

} // namespace
} // namespace norvane
