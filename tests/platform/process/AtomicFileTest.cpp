#include "platform/AtomicFile.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <atomic>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace norvane::platform {
namespace {

using testing::folderEntries;
using testing::readFile;

mode_t modeOf(const std::filesystem::path& file) {
    struct stat status {};
    EXPECT_EQ(::stat(file.c_str(), &status), 0) << file;
    return status.st_mode & 07777;
}

/// Sets the process's umask for the lifetime of the object.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(previous_); }
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t previous_;
};

TEST(AtomicFile, ANewFileGetsTheAskedModeLessTheUmaskAndAReplacedOneKeepsItsMode) {
    struct Case {
        std::optional<mode_t> existing;
        mode_t umask;
        std::filesystem::perms asked;
        mode_t expected;
    };
    const Case cases[] = {
        {std::nullopt, 022, AtomicFile::defaultNewFileMode, 0644},
        {std::nullopt, 077, AtomicFile::defaultNewFileMode, 0600},
        {std::nullopt, 027, std::filesystem::perms{0666}, 0640},
        {0640, 077, std::filesystem::perms{0600}, 0640},
        {0755, 022, AtomicFile::defaultNewFileMode, 0755},
        {0444, 022, AtomicFile::defaultNewFileMode, 0444},
    };
    for (const Case& test : cases) {
        const testing::TemporaryFolder folder;
        const auto file = folder.path() / "file.json";
        if (test.existing) {
            folder.writeFile("file.json", std::string(100000, 'x'));
            ASSERT_EQ(::chmod(file.c_str(), *test.existing), 0);
        }
        {
            const ScopedUmask mask(test.umask);
            AtomicFile::write(file, "{}\n", test.asked);
        }
        EXPECT_EQ(readFile(file), "{}\n");
        EXPECT_EQ(modeOf(file), test.expected) << std::oct << test.expected;
        EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"file.json"});
    }
}

// Whatever stood at the path: a new file, a file open to all, a link to a device that anyone may
// write, under any umask.
TEST(AtomicFile, APrivateFileIsForItsOwnerAloneWhateverItReplaces) {
    const std::vector<std::pair<std::string, mode_t>> cases{{"", 0}, {"", 077}, {"file", 0}, {"device link", 022}};
    for (const auto& [existing, umask] : cases) {
        const testing::TemporaryFolder folder;
        const auto file = folder.path() / "pending-reports.json";
        if (existing == "file") {
            folder.writeFile("pending-reports.json", "[]");
            ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
        } else if (existing == "device link") {
            std::filesystem::create_symlink("/dev/null", file);
        }
        {
            const ScopedUmask mask(umask);
            AtomicFile::writePrivate(file, "[1]");
        }
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(file))) << existing;
        EXPECT_EQ(readFile(file), "[1]") << existing;
        EXPECT_EQ(modeOf(file), 0600u) << existing << " under umask " << std::oct << umask;
    }
}

TEST(AtomicFile, AFailureLeavesTheTargetAndTheFolderAsTheyWere) {
    const testing::TemporaryFolder folder;
    folder.writeFile("taken/inside.txt", "kept");
    const auto missing = folder.path() / "no-such-folder" / "file.txt";

    try {
        AtomicFile::write(missing, "new");
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const std::system_error& error) {
        EXPECT_STREQ(error.what(), ("Cannot write " + missing.string() + ": No such file or directory").c_str());
    }
    // The rename fails after the temporary file was written: it must go again.
    EXPECT_THROW(AtomicFile::write(folder.path() / "taken", "new"), std::system_error);
    EXPECT_THROW(AtomicFile::write(folder.path() / "", "new"), std::system_error);

    EXPECT_EQ(readFile(folder.path() / "taken/inside.txt"), "kept");
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"taken"});
}

// However the writing process ends: killed while writing, nothing of the new content is left.
TEST(AtomicFile, AWriterKilledWhileWritingLeavesNothingBehind) {
    const testing::TemporaryFolder folder;
    const auto file = folder.writeFile("export.json", "old");
    int writing[2];
    ASSERT_EQ(::pipe(writing), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
        AtomicFile::write(file, [&](std::ostream& out) {
            out << std::string(1 << 20, 'x') << std::flush;
            const char started = 1;
            (void)!::write(writing[1], &started, 1);
            ::pause();
        });
        ::_exit(0);
    }
    ::close(writing[1]);
    char started = 0;
    ASSERT_EQ(::read(writing[0], &started, 1), 1);
    ::close(writing[0]);
    ::kill(writer, SIGKILL);
    ASSERT_EQ(::waitpid(writer, nullptr, 0), writer);

    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"export.json"});
    EXPECT_EQ(readFile(file), "old");
}

// What a killed write left (on a file system that cannot make files without names, or from an
// older version) goes with the next write of the same file; what another write holds stays.
TEST(AtomicFile, AWriteRemovesTheTemporaryFilesThatKilledWritesOfTheSameFileLeft) {
    const testing::TemporaryFolder folder;
    folder.writeFile(".export.json.Ab3dEf12", "abandoned");
    const auto held = folder.writeFile(".export.json.Held0007", "being written");
    folder.writeFile(".export.json.Empty000", "");
    folder.writeFile(".export.json.notOurs", "the user's");
    folder.writeFile(".other.json.Ab3dEf12", "another file's");
    const int holder = ::open(held.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);

    AtomicFile::write(folder.path() / "export.json", "new");
    ::close(holder);

    EXPECT_EQ(folderEntries(folder.path()),
              (std::vector<std::string>{".export.json.Empty000", ".export.json.Held0007", ".export.json.notOurs",
                                        ".other.json.Ab3dEf12", "export.json"}));
    EXPECT_EQ(readFile(folder.path() / "export.json"), "new");
}

TEST(AtomicFile, ReadersAndWritersAtOnceSeeOnlyWholeContents) {
    // A fixed temporary name would let one writer rename another's half-written file into place.
    const testing::TemporaryFolder folder;
    std::vector<std::string> contents;
    for (char letter = 'a'; letter < 'g'; ++letter) contents.emplace_back(200000, letter);
    const auto file = folder.writeFile("shared.json", contents.front());
    const auto isWhole = [&contents](const std::string& text) {
        return std::find(contents.begin(), contents.end(), text) != contents.end();
    };
    std::atomic<int> failedWrites = 0;
    std::vector<std::thread> writers;
    for (const std::string& text : contents) {
        writers.emplace_back([&file, &text, &failedWrites] {
            for (int round = 0; round < 10; ++round) {
                try {
                    AtomicFile::write(file, text);
                } catch (const std::system_error&) {
                    ++failedWrites;
                }
            }
        });
    }
    int partialReads = 0;
    for (int read = 0; read < 200; ++read) partialReads += isWhole(readFile(file)) ? 0 : 1;
    for (std::thread& writer : writers) writer.join();
    EXPECT_EQ(failedWrites, 0);
    EXPECT_EQ(partialReads, 0);
    EXPECT_TRUE(isWhole(readFile(file)));
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"shared.json"});
}

} // namespace
} // namespace norvane::platform
