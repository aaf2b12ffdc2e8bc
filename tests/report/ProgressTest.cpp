#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "engine/MemberStatistics.h"
#include "report/model/Progress.h"

namespace quibex::report {
namespace {

using namespace std::chrono_literals;
using testing::HasSubstr;
using TimePoint = std::chrono::steady_clock::time_point;

// A clock that moves only when the test says so, and counts its readings.
struct FakeClock {
    TimePoint now{};
    int readings = 0;
    ProgressLine::Clock Get() {
        return [this] {
            ++readings;
            return now;
        };
    }
};

// Update() as often as a clock reading takes.
void UpdateBatch(ProgressLine& line, Figure members, Figure lines) {
    for (unsigned i = 0; i < ProgressLine::kClockEvery; ++i) line.Update(members, lines);
}

TEST(ProgressLine, RedrawsAtMostOnceAnIntervalAndReadsTheClockSeldom) {
    FakeClock clock;
    std::ostringstream err;
    ProgressLine line(err, clock.Get());
    // A quick run that never lasts an interval shows nothing at all.
    for (int i = 0; i < 800; ++i) line.Update(1, i);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(clock.readings, 1 + 800 / static_cast<int>(ProgressLine::kClockEvery));

    clock.now += 100ms;
    UpdateBatch(line, 3, 442);
    EXPECT_EQ(err.str(), "\rReading: 3 members, 442 lines");

    err.str("");
    clock.now += 99ms;
    UpdateBatch(line, 4, 663);
    EXPECT_EQ(err.str(), "") << "redrawn within the interval";
    clock.now += 1ms;
    UpdateBatch(line, 5, 884);
    EXPECT_EQ(err.str(), "\rReading: 5 members, 884 lines");
}

TEST(ProgressLine, ShorterTextCoversTheLongerOneAndClearErasesIt) {
    FakeClock clock;
    std::ostringstream err;
    ProgressLine line(err, clock.Get());
    clock.now += 1s;
    UpdateBatch(line, 12, 123456);  // "Reading: 12 members, 123456 lines": 33 characters
    clock.now += 1s;
    UpdateBatch(line, 1, 1);  // "Reading: 1 member, 1 line": 25 characters
    EXPECT_EQ(err.str(), "\rReading: 12 members, 123456 lines\rReading: 1 member, 1 line" + std::string(8, ' '));
    err.str("");
    line.Clear();
    EXPECT_EQ(err.str(), "\r" + std::string(33, ' ') + "\r");
    err.str("");
    line.Clear();
    EXPECT_EQ(err.str(), "") << "nothing left to erase";
}

TEST(ReportObserver, ShowsTheRunsFiguresAndEndsTheProgressLineBeforeAWarning) {
    FakeClock clock;
    std::ostringstream err;
    ProgressLine line(err, clock.Get());
    StatisticsModel stats;
    stats.GrowMembers();
    stats.InterfaceLinesTotal = 300;
    stats.CodeLinesTotal = 142;
    ReportObserver observer(stats, err, &line, [](std::string_view s) { return "<" + std::string(s) + ">"; });
    clock.now += 1s;
    for (unsigned i = 0; i < ProgressLine::kClockEvery; ++i) observer.Yield();
    EXPECT_EQ(err.str(), "\rReading: 1 member, 442 lines");
    err.str("");
    observer.MemberUnreadable("X.frm", "cannot open 'X.frm': gone");
    observer.MemberUnreadable("", "no name");
    EXPECT_EQ(err.str(), "\r" + std::string(28, ' ') + "\r" +
                             "quibex-report: warning: <cannot open 'X.frm': gone>\n"
                             "quibex-report: warning: a member line gives no file name\n");
}

}  // namespace
}  // namespace quibex::report
