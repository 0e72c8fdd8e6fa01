#include "countdown/pass.h"

#include "common/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace {

// The texts of 编辑框1 to 编辑框3, shared by every loop and chord like the real controls.
using Boxes = std::array<std::string, 3>;

int Index(CountdownBox box) {
    return static_cast<int>(box);
}

// "R1", "W3" ...: built by appending (GCC 12 warns falsely on "R" + std::string).
std::string BoxCall(char verb, CountdownBox box) {
    std::string call(1, verb);
    call += static_cast<char>('1' + Index(box));
    return call;
}

// Reads and writes the shared boxes and records every call, in order, as a
// short word: "R3" read 编辑框3, "W1=4" write "4" to 编辑框1, "S4:59" overlay
// caption, "T" TimeUpWindow, "M<text>" message box, "P" the pause. A test scripts
// other threads (chords, a second loop) in `before`, which runs ahead of each call.
class FakeIo final : public CountdownIo {
  public:
    explicit FakeIo(Boxes& boxes) : boxes_(boxes) {}

    std::function<void(const std::string& call)> before;
    std::vector<std::string> calls;
    std::vector<std::string> shown;
    int pauses = 0;

    std::string Read(CountdownBox box) override {
        Log(BoxCall('R', box));
        return boxes_[Index(box)];
    }
    void Write(CountdownBox box, const std::string& text) override {
        Log(BoxCall('W', box) + "=" + text);
        boxes_[Index(box)] = text;
    }
    void Show(const std::string& caption) override {
        Log("S" + caption);
        shown.push_back(caption);
    }
    void OpenTimeUp() override { Log("T"); }
    void Message(const std::string& text) override { Log("M" + text); }
    void Pause() override {
        ++pauses;
        Log("P");
    }

    int Count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls)
            n += c == call;
        return n;
    }

  private:
    void Log(std::string call) {
        if (before) before(call);
        calls.push_back(std::move(call));
    }

    Boxes& boxes_;
};

std::string Join(const std::vector<std::string>& words, size_t from = 0) {
    std::string out;
    for (size_t i = from; i < words.size(); ++i)
        out += (i > from ? " " : "") + words[i];
    return out;
}

const std::string kBelowZero = "M时间小于0";

// --- One pass ---------------------------------------------------------------------

struct PassCase {
    const char* minutes;
    const char* seconds;
    const char* adjustment;
    const char* calls; // every call of the pass, in order
    CountdownEnd end;
};

const PassCase kPasses[] = {
    // Plain second steps; a box 3 holding nothing is read once and left alone.
    {"4", "59", "0", "R3 R3 W3=0 R1 R2 S4:59 P W1=4 W2=58", CountdownEnd::Continue},
    {"4", "59", "", "R3 R1 R2 S4:59 P W1=4 W2=58", CountdownEnd::Continue},
    // Seconds below ten without a leading zero.
    {"3", "10", "", "R3 R1 R2 S3:10 P W1=3 W2=9", CountdownEnd::Continue},
    // Minute rollover, and the last second before 0:0 without one.
    {"1", "0", "0", "R3 R3 W3=0 R1 R2 S1:0 P W1=0 W2=59", CountdownEnd::Continue},
    {"0", "1", "0", "R3 R3 W3=0 R1 R2 S0:1 P W1=0 W2=0", CountdownEnd::Continue},
    // A picked-up adjustment is written at once but shown as read, one pass late.
    {"0", "30", "1", "R3 R3 W3=0 R1 R2 S0:30 P W1=1 W2=29", CountdownEnd::Continue},
    {"0", "30", "2", "R3 R3 W3=0 R1 R2 S0:30 P W1=2 W2=29", CountdownEnd::Continue},
    // 0:0 opens the time-up window, also when an adjustment brings 1:0 there.
    {"0", "0", "0", "R3 R3 W3=0 R1 R2 S0:0 T", CountdownEnd::TimeUp},
    {"1", "0", "-1", "R3 R3 W3=0 R1 R2 S1:0 T", CountdownEnd::TimeUp},
    // Empty and non-numeric texts count as 0.
    {"", "", "", "R3 R1 R2 S: T", CountdownEnd::TimeUp},
    {"abc", "x", "y", "R3 R3 W3=0 R1 R2 Sabc:x T", CountdownEnd::TimeUp},
    {"abc", "7", "", "R3 R1 R2 Sabc:7 P W1=0 W2=6", CountdownEnd::Continue},
    // Full-width digits are numbers, shown as they were read.
    {"４", "５９", "", "R3 R1 R2 S４:５９ P W1=4 W2=58", CountdownEnd::Continue},
    // Below zero: minutes after an adjustment, minutes as such, seconds.
    {"0", "30", "-1", "R3 R3 W3=0 R1 R2 S0:30 M时间小于0", CountdownEnd::BelowZero},
    {"-1", "5", "", "R3 R1 R2 S-1:5 M时间小于0", CountdownEnd::BelowZero},
    {"5", "-1", "", "R3 R1 R2 S5:-1 M时间小于0", CountdownEnd::BelowZero},
    // The stop code and minutes above 99 end silently; 99 itself runs on.
    {"4", "59", "999", "R3 R3 W3=0 R1 R2 S4:59", CountdownEnd::Stopped},
    {"100", "0", "", "R3 R1 R2 S100:0", CountdownEnd::Stopped},
    {"99", "5", "1", "R3 R3 W3=0 R1 R2 S99:5", CountdownEnd::Stopped},
    {"100", "-1", "", "R3 R1 R2 S100:-1", CountdownEnd::Stopped}, // before the seconds test
    {"99", "0", "", "R3 R1 R2 S99:0 P W1=98 W2=59", CountdownEnd::Continue},
    // Fractions are carried through unchanged.
    {"0", "0.5", "", "R3 R1 R2 S0:0.5 P W1=0 W2=-0.5", CountdownEnd::Continue},
    {"0", "-0.5", "", "R3 R1 R2 S0:-0.5 M时间小于0", CountdownEnd::BelowZero},
    // Every test allows 1e-7, in both directions.
    {"0", "0.00000005", "", "R3 R1 R2 S0:0.00000005 T", CountdownEnd::TimeUp},
    {"-0.00000005", "5", "", "R3 R1 R2 S-0.00000005:5 P W1=-5e-08 W2=4", CountdownEnd::Continue},
    {"-0.0000002", "5", "", "R3 R1 R2 S-0.0000002:5 M时间小于0", CountdownEnd::BelowZero},
    {"99.00000005", "0", "", "R3 R1 R2 S99.00000005:0 P W1=98.00000005 W2=59",
     CountdownEnd::Continue},
};

TEST(CountdownPass, TextsInCallsOut) {
    for (const auto& c : kPasses) {
        SCOPED_TRACE(std::string(c.minutes) + ":" + c.seconds + " adjustment '" + c.adjustment +
                     "'");
        Boxes boxes{c.minutes, c.seconds, c.adjustment};
        FakeIo io(boxes);
        EXPECT_EQ(RunCountdownPass(io), c.end);
        EXPECT_EQ(Join(io.calls), c.calls);
    }
}

TEST(CountdownPass, FractionalSecondGoesBelowZeroOnTheFollowingPass) {
    Boxes boxes{"0", "0.5", ""};
    FakeIo io(boxes);
    EXPECT_EQ(RunCountdownPass(io), CountdownEnd::Continue);
    EXPECT_EQ(RunCountdownPass(io), CountdownEnd::BelowZero);
    EXPECT_EQ(Join(io.shown), "0:0.5 0:-0.5");
    EXPECT_EQ(io.Count(kBelowZero), 1);
}

// --- Whole countdowns ---------------------------------------------------------------

std::string Clock(int secondsLeft) {
    return NumberToText(secondsLeft / 60) + ":" + NumberToText(secondsLeft % 60);
}

TEST(Countdown, RunsFromItsStartToTimeUpOnTheLastPass) {
    const struct {
        int minutes;
        int passes;
    } cases[] = {{4, 300}, {2, 180}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minutes);
        // A stop code and odd texts left from before are overwritten by the start.
        Boxes boxes{"7", "x", "999"};
        FakeIo io(boxes);
        RunCountdown(io, c.minutes);

        const std::string start = "W1=" + NumberToText(c.minutes) + " W2=59 W3=0";
        EXPECT_EQ(Join({io.calls.begin(), io.calls.begin() + 3}), start);
        std::vector<std::string> expected;
        for (int left = c.passes - 1; left >= 0; --left)
            expected.push_back(Clock(left));
        expected.push_back("0");
        EXPECT_EQ(io.shown, expected);
        EXPECT_EQ(io.pauses, c.passes - 1);
        EXPECT_EQ(Join(io.calls, io.calls.size() - 3), "S0:0 T S0");
        EXPECT_EQ(io.Count("T"), 1);
        EXPECT_EQ(io.Count(kBelowZero), 0);
        EXPECT_EQ(boxes, (Boxes{"0", "0", "0"}));
    }
}

enum class Chord { Add, Subtract, Stop };

struct Press {
    int pause; // pressed while the loop sleeps in this pause (1-based)
    Chord chord;
    int times = 1;
};

struct ChordCase {
    const char* what;
    int minutes;
    std::vector<Press> presses;
    int from;          // the first pass whose caption is listed
    const char* shown; // captions from that pass to the end, the final "0" included
    const char* last;  // the calls that end the countdown
    Boxes after;
};

const ChordCase kChords[] = {
    {"F+/ at 0:30 shows one pass late, then F+0",
     4,
     {{270, Chord::Add}, {272, Chord::Stop}},
     270,
     "0:30 0:29 1:28 1:27 0",
     "S1:27 S0",
     {"1", "27", "0"}},
    {"F+* at 0:30 goes below zero",
     4,
     {{270, Chord::Subtract}},
     270,
     "0:30 0:29 0",
     "S0:29 M时间小于0 S0",
     {"0", "29", "0"}},
    {"F+* picked up when 1:0 is read",
     4,
     {{239, Chord::Subtract}},
     239,
     "1:1 1:0 0",
     "S1:0 T S0",
     {"1", "0", "0"}},
    {"F+0 shows the current values, then 0; the boxes keep them",
     4,
     {{5, Chord::Stop}},
     5,
     "4:55 4:54 0",
     "S4:54 S0",
     {"4", "54", "0"}},
    {"presses between two passes accumulate",
     2,
     {{1, Chord::Add}, {1, Chord::Add}, {1, Chord::Subtract}, {2, Chord::Stop}},
     1,
     "2:59 2:58 3:57 0",
     "S3:57 S0",
     {"3", "57", "0"}},
    {"minutes pushed above 99 end silently",
     2,
     {{1, Chord::Add, 97}, {2, Chord::Add}},
     1,
     "2:59 2:58 99:57 0",
     "S99:57 S0",
     {"99", "57", "0"}},
};

TEST(Countdown, ChordsWhileRunning) {
    for (const auto& c : kChords) {
        SCOPED_TRACE(c.what);
        Boxes boxes;
        FakeIo loop(boxes);
        FakeIo chord(boxes); // each chord runs on a thread of its own
        loop.before = [&](const std::string& call) {
            if (call != "P") return;
            for (const auto& p : c.presses) {
                if (p.pause != loop.pauses) continue;
                for (int i = 0; i < p.times; ++i) {
                    if (p.chord == Chord::Add) AddMinute(chord);
                    if (p.chord == Chord::Subtract) SubtractMinute(chord);
                    if (p.chord == Chord::Stop) StopCountdown(chord);
                }
            }
        };
        RunCountdown(loop, c.minutes);

        ASSERT_GE(loop.shown.size(), static_cast<size_t>(c.from));
        EXPECT_EQ(Join(loop.shown, c.from - 1), c.shown);
        const std::string last = c.last;
        const size_t words = std::count(last.begin(), last.end(), ' ') + 1;
        EXPECT_EQ(Join(loop.calls, loop.calls.size() - words), last);
        EXPECT_LE(loop.Count("T") + loop.Count(kBelowZero), 1);
        EXPECT_EQ(boxes, c.after);
    }
}

TEST(Countdown, EndsAtThePassBound) {
    const struct {
        uint32_t bound;
        const char* shown;
        Boxes after;
    } cases[] = {
        {0, "0", {"4", "59", "0"}},
        {3, "4:59 4:58 4:57 0", {"4", "56", "0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bound);
        Boxes boxes;
        FakeIo io(boxes);
        RunCountdown(io, 4, c.bound);
        EXPECT_EQ(Join(io.shown), c.shown);
        EXPECT_EQ(io.pauses, static_cast<int>(c.bound));
        EXPECT_EQ(io.Count("T") + io.Count(kBelowZero), 0);
        EXPECT_EQ(boxes, c.after);
    }
}

// A second start while a loop runs: both then read and write the same boxes. The
// older loop is modelled by its passes, each run just before a pass of the newer one.
TEST(Countdown, TwoLoopsShareTheBoxesAndOneStopEndsOne) {
    Boxes boxes{"3", "10", "0"};
    FakeIo older(boxes), newer(boxes), chord(boxes);
    bool olderRuns = true;
    CountdownEnd olderEnd = CountdownEnd::Continue;
    newer.before = [&](const std::string& call) {
        const bool passBegins =
            call == "R3" && !newer.calls.empty() && newer.calls.back().rfind("W2=", 0) == 0;
        if (passBegins && olderRuns) {
            olderEnd = RunCountdownPass(older);
            olderRuns = olderEnd == CountdownEnd::Continue;
        }
        if (call == "P" && (newer.pauses == 2 || newer.pauses == 4)) StopCountdown(chord);
    };
    RunCountdown(newer, 4);

    // While both run the display moves two seconds per pause; the first F+0 is taken
    // by the older loop, which reads 编辑框3 first; the newer one runs on to the second.
    EXPECT_EQ(Join(older.shown), "4:58 4:56");
    EXPECT_EQ(olderEnd, CountdownEnd::Stopped);
    EXPECT_EQ(Join(newer.shown), "4:59 4:57 4:56 4:55 4:54 0");
    EXPECT_EQ(older.Count(kBelowZero) + newer.Count(kBelowZero), 0);
    EXPECT_EQ(boxes, (Boxes{"4", "54", "0"}));
}

// --- The adjusting chords -----------------------------------------------------------

TEST(CountdownAdjusters, WriteOnlyThePendingAdjustment) {
    // Operations: + AddMinute, - SubtractMinute, s StopCountdown.
    const struct {
        const char* before;
        const char* ops;
        const char* after;
        const char* calls;
    } cases[] = {
        {"", "+", "1", "R3 R3 W3=1"},
        {"", "-", "-1", "R3 R3 W3=-1"},
        {"0", "+", "1", "R3 W3=1 R3"},
        {"", "++", "2", "R3 R3 W3=1 R3 W3=2 R3"},
        {"", "+-", "0", "R3 R3 W3=1 R3 W3=0 R3"},
        {"2", "-", "1", "R3 W3=1 R3"},
        {"abc", "+", "1", "R3 W3=1 R3"},
        {"0.5", "+", "1.5", "R3 W3=1.5 R3"},
        {"-1", "s", "999", "W3=999"},
        {"999", "+", "1000", "R3 W3=1000 R3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.before + "' " + c.ops);
        Boxes boxes{"4", "30", c.before};
        FakeIo io(boxes);
        for (const char* op = c.ops; *op; ++op) {
            if (*op == '+') AddMinute(io);
            if (*op == '-') SubtractMinute(io);
            if (*op == 's') StopCountdown(io);
        }
        EXPECT_EQ(Join(io.calls), c.calls);
        EXPECT_EQ(boxes, (Boxes{"4", "30", c.after}));
    }
}

} // namespace
