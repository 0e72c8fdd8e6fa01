// The program's chords from outside: real key events reaching the real Tenvaro.exe.
#include "support/keys.h"
#include "support/program.h"

#include <gtest/gtest.h>

using testsupport::PressChord;
using testsupport::RunningProgram;
using testsupport::TapChord;
using testsupport::WaitFor;

namespace {

TEST(ProgramChords, DelShowsWhatIsShownThenHidesThenShows) {
    RunningProgram p;
    ASSERT_TRUE(p.Start());
    ASSERT_TRUE(IsWindowVisible(p.main));
    // The first Del shows the window that is already shown: nothing changes.
    TapChord(0, VK_DELETE);
    EXPECT_TRUE(IsWindowVisible(p.main));
    EXPECT_TRUE(PressChord(0, VK_DELETE, [&] { return !IsWindowVisible(p.main); }));
    EXPECT_TRUE(PressChord(0, VK_DELETE, [&] { return IsWindowVisible(p.main) != 0; }));
    EXPECT_TRUE(p.process().Running());
}

TEST(ProgramChords, WithMainWindowClosedChordsDoNoHarm) {
    RunningProgram p;
    ASSERT_TRUE(p.Start());
    PostMessageA(p.main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(p.main); }));
    // Every chord that touches MainWindow: show/hide, the countdown and its adjusters.
    TapChord(0, VK_DELETE);
    TapChord('F', VK_NUMPAD5);
    TapChord('F', VK_DIVIDE);
    TapChord('F', VK_MULTIPLY);
    TapChord('F', VK_NUMPAD0);
    // The overlay's thread still answers, no box came up and the process lives on.
    DWORD_PTR r = 0;
    EXPECT_TRUE(SendMessageTimeoutA(p.overlay, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r));
    EXPECT_EQ(p.WaitForMessageBox(300), nullptr);
    EXPECT_EQ(p.WaitForTimeUp(300), nullptr);
    EXPECT_EQ(p.OverlayText(), "00:00");
    EXPECT_TRUE(p.process().Running());
    // Closing the overlay, the last window, ends the program normally.
    PostMessageA(p.overlay, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.process().WaitExit(), 0u);
}

} // namespace
