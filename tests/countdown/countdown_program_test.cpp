// The countdown in the real program, driven by real chords from outside.
#include "support/keys.h"
#include "support/program.h"

#include <gtest/gtest.h>

#include <string>

using testsupport::PressChord;
using testsupport::RunningProgram;
using testsupport::TapChord;
using testsupport::WaitFor;

namespace {

class Countdown : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(p.Start()); }
    bool Shows(const std::string& text, DWORD timeoutMs = 10000) {
        return WaitFor([&] { return p.OverlayText() == text; }, timeoutMs);
    }
    bool Topmost(HWND w) { return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
    RunningProgram p;
};

TEST_F(Countdown, FivePlusCountsDownFromFourFiftyNine) {
    EXPECT_TRUE(PressChord('F', VK_NUMPAD5, [&] { return p.OverlayText() == "4:59"; }));
    EXPECT_TRUE(Shows("4:58"));
    EXPECT_EQ(p.Text("编辑框1"), "4");
    EXPECT_TRUE(WaitFor([&] { return p.Text("编辑框2") == "57"; }, 5000));
    EXPECT_EQ(p.Text("编辑框3"), "0");
}

TEST_F(Countdown, StopLeavesZeroInTheOverlayAndTheLastValuesInTheBoxes) {
    ASSERT_TRUE(PressChord('F', VK_NUMPAD3, [&] { return p.OverlayText() == "2:59"; }));
    ASSERT_TRUE(Shows("2:58"));
    ASSERT_TRUE(PressChord('F', VK_NUMPAD0, [&] { return p.OverlayText() == "0"; }));
    // No message: the end came straight from the stop code.
    EXPECT_EQ(p.WaitForMessageBox(0), nullptr);
    EXPECT_EQ(p.Text("编辑框1"), "2");
    const std::string seconds = p.Text("编辑框2");
    EXPECT_TRUE(seconds == "57" || seconds == "56") << seconds;
    EXPECT_EQ(p.Text("编辑框3"), "0"); // the pass took the stop code
}

TEST_F(Countdown, AdjustersOnAnEmptyBoxWriteOneAndMinusOne) {
    ASSERT_EQ(p.Text("编辑框3"), "");
    EXPECT_TRUE(PressChord('F', VK_DIVIDE, [&] { return p.Text("编辑框3") == "1"; }));
    EXPECT_TRUE(PressChord('F', VK_DIVIDE, [&] { return p.Text("编辑框3") == "2"; }));
    p.SetText("编辑框3", "");
    EXPECT_TRUE(PressChord('F', VK_MULTIPLY, [&] { return p.Text("编辑框3") == "-1"; }));
    EXPECT_EQ(p.OverlayText(), "00:00"); // no countdown ran
}

TEST_F(Countdown, SubtractingInTheLastMinuteGivesTheMessageThenZero) {
    ASSERT_TRUE(PressChord('F', VK_NUMPAD3, [&] { return p.OverlayText() == "2:59"; }));
    // Two minutes off: the next pass computes 0 minutes.
    p.SetText("编辑框3", "-2");
    ASSERT_TRUE(WaitFor([&] { return p.Text("编辑框1") == "0"; }));
    EXPECT_TRUE(PressChord('F', VK_MULTIPLY, [&] { return p.Text("编辑框3") == "-1"; }));
    HWND box = p.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(RunningProgram::MessageText(box), "时间小于0");
    // The countdown waits for the box: the overlay still shows the last pass.
    EXPECT_NE(p.OverlayText(), "0");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Shows("0"));
}

TEST_F(Countdown, TimeUpButtonOpensTheWindowModallyAndItKeepsItselfInFront) {
    p.Click("按钮4");
    HWND up = p.WaitForTimeUp();
    ASSERT_NE(up, nullptr);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(p.main) && !IsWindowEnabled(p.overlay); }));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == up && Topmost(up); }));

    // Another program's window takes the foreground; the time-up window takes it back.
    HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                                 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == up; }));
    DestroyWindow(other);

    // A second request while it is open brings it forward and returns: still one window.
    p.Click("按钮4");
    DWORD_PTR r = 0;
    EXPECT_TRUE(SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r));

    HWND quit = testsupport::FindChild(up, "BUTTON", "退出");
    ASSERT_NE(quit, nullptr);
    PostMessageA(quit, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(up); }));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(p.main) && IsWindowEnabled(p.overlay); }));
    EXPECT_EQ(p.OverlayText(), "00:00"); // the button runs no countdown
}

TEST_F(Countdown, FirstTopmostClickAfterAStartTurnsItOff) {
    p.Click("按钮13"); // off; the next click would turn it on
    ASSERT_TRUE(WaitFor([&] { return !Topmost(p.main); }));
    ASSERT_EQ(p.Text("按钮13"), "置顶");
    ASSERT_TRUE(PressChord('F', VK_NUMPAD5, [&] { return p.OverlayText() == "4:59"; }));
    p.Click("按钮13");
    p.Click("按钮13");
    // After a start the first click turns it off again, and only the second turns it on.
    EXPECT_TRUE(WaitFor([&] { return Topmost(p.main) && p.Text("按钮13") == "取顶"; }));
}

TEST_F(Countdown, TwoCountdownsAtOnceEndWithTwoStops) {
    const int baseline = p.ThreadCount();
    ASSERT_TRUE(PressChord('F', VK_NUMPAD5, [&] { return p.OverlayText() == "4:59"; }));
    ASSERT_TRUE(PressChord('F', VK_NUMPAD5, [&] { return p.ThreadCount() >= baseline + 2; }));
    // Both loops count the same boxes down: two seconds a second.
    ASSERT_TRUE(WaitFor([&] { return p.Text("编辑框2") == "55"; }, 5000));
    TapChord('F', VK_NUMPAD0);
    TapChord('F', VK_NUMPAD0);
    EXPECT_TRUE(WaitFor([&] { return p.ThreadCount() == baseline; }));
    // Both loops have ended: the last one wrote "0".
    EXPECT_EQ(p.OverlayText(), "0");
    DWORD_PTR r = 0;
    EXPECT_TRUE(SendMessageTimeoutA(p.main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r));
}

// Slow: the seconds can only run down, about a minute.
TEST_F(Countdown, ReachingZeroOpensTheTimeUpWindowAndClosingItLeavesZero) {
    ASSERT_TRUE(PressChord('F', VK_NUMPAD3, [&] { return p.OverlayText() == "2:59"; }));
    p.SetText("编辑框3", "-2");
    HWND up = p.WaitForTimeUp(75000);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(p.OverlayText(), "0:0");
    EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(p.main) && !IsWindowEnabled(p.overlay); }));
    // The window belongs to the countdown's thread, not to MainWindow's.
    EXPECT_NE(GetWindowThreadProcessId(up, nullptr), GetWindowThreadProcessId(p.main, nullptr));
    PostMessageA(up, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Shows("0"));
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(p.main) && IsWindowEnabled(p.overlay); }));
    EXPECT_EQ(p.Text("编辑框1"), "0");
    EXPECT_EQ(p.Text("编辑框2"), "0");
}

} // namespace
