#include "tests/core/collection/DailyRowsFixture.h"

#include "core/models/DailyActivity.h"

#include "platform/Iso8601.h"

#include <sstream>

namespace norvane::testing {

std::string describe(const DayTable& days) {
    std::ostringstream text;
    for (const auto& [day, figures] : days) {
        const auto local = platform::LocalCalendar::components(day);
        const auto& [commits, inserted, deleted, files, code] = figures;
        text << local.year << "-" << local.month << "-" << local.day << ": " << commits << " commits, +" << inserted
             << " -" << deleted << ", " << files << " files, " << code << " code lines inserted\n";
    }
    return text.str();
}

DailyRowsFixture::DailyRowsFixture() { project = addProject("walk", repository.pathString()); }

std::string DailyRowsFixture::commitLines(const std::string& file, int count, std::optional<platform::Date> authored,
                                          std::optional<platform::Date> committed) {
    std::string text;
    for (int line = 0; line < count; ++line) text += "int v" + std::to_string(linesWritten++) + " = 1;\n";
    repository.writeFile(file, text);
    return repository.commit(file, authored.value_or(clock.now()), "Ann",
                             committed.value_or(authored.value_or(clock.now())));
}

std::string DailyRowsFixture::git(const std::vector<std::string>& arguments, const std::optional<std::string>& input) {
    std::vector<std::string> withName{"-c", "user.name=Ann", "-c", "user.email=ann@example.com"};
    withName.insert(withName.end(), arguments.begin(), arguments.end());
    const auto now = gitDate(clock.now());
    return repository.git(withName, {{"GIT_AUTHOR_DATE", now}, {"GIT_COMMITTER_DATE", now}}, input);
}

void DailyRowsFixture::collectAt(platform::Date when) {
    clock.advance(when - clock.now());
    if (!added) {
        added = true;
        const auto result = pinned.collectInitialData(project);
        ASSERT_TRUE(result.isSuccess()) << result.error->message;
        return;
    }
    const auto result = pinned.collectOne(project);
    ASSERT_TRUE(result.isSuccess()) << result.error->message;
}

DayTable DailyRowsFixture::storedDays() {
    DayTable days;
    for (const auto& row : stored<DailyActivity>()) {
        const bool first =
            days.emplace(row->date, DayFigures{row->commitCount, row->totalInsertions, row->totalDeletions,
                                               row->filesChanged, row->codeLinesInserted})
                .second;
        EXPECT_TRUE(first) << "a second row of " << platform::Iso8601::format(row->date);
    }
    return days;
}

DayTable DailyRowsFixture::gitDays(const std::map<std::string, platform::Date>& bookedOn) {
    DayTable days;
    // A HEAD without commits yet (a new repository, an orphan branch) reaches none.
    for (const auto& [day, logged] : loggedDays(repository, {"--ignore-missing", "--branches", "HEAD"}, bookedOn)) {
        days[day] = {logged.commits, logged.insertions, logged.deletions,
                     static_cast<std::int64_t>(logged.files.size()), logged.insertions};
    }
    return days;
}

} // namespace norvane::testing
