// The real Tenvaro.exe driven from outside: its windows right after start-up, the
// commands of MainWindow's buttons and how the program ends.
#include "support/keys.h"
#include "support/process.h"
#include "support/program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testsupport::ChildProcesses;
using testsupport::RunningProgram;
using testsupport::WaitFor;
using testsupport::WindowText;

namespace {

const char kWindowClass[] = "TenvaroWindow";

SIZE OuterSize(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
}

bool HasExStyle(HWND w, DWORD bits) {
    return (static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)) & bits) == bits;
}

struct SizeQuery {
    DWORD pid;
    int width, height;
    std::vector<HWND> found;
};

BOOL CALLBACK VisitOfSize(HWND w, LPARAM lp) {
    auto* q = reinterpret_cast<SizeQuery*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    const SIZE s = OuterSize(w);
    if (owner == q->pid && lstrcmpA(cls, kWindowClass) == 0 && s.cx == q->width &&
        s.cy == q->height)
        q->found.push_back(w);
    return TRUE;
}

// Top-level windows of the process with the toolkit's class and the outer size,
// shown or not.
std::vector<HWND> WindowsOfSize(DWORD pid, int width, int height) {
    SizeQuery q{pid, width, height, {}};
    EnumWindows(VisitOfSize, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

// Whether a lies above b in the z-order of the top-level windows.
bool IsAbove(HWND a, HWND b) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == a) return true;
        if (w == b) return false;
    }
    return false;
}

// Whether the window's thread handles a message within the time.
bool Answers(HWND w, UINT timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

// A private folder for a copy of the program and its neighbours, removed with
// everything in it when the owner goes.
class TempFolder {
  public:
    TempFolder() {
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        path_ = std::string(base) + "tenvaro-app-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(GetTickCount());
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        WIN32_FIND_DATAA f;
        HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &f);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::string file = path_ + "\\" + f.cFileName;
                if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            } while (FindNextFileA(find, &f));
            FindClose(find);
        }
        RemoveDirectoryA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    bool Copy(const std::string& from, const char* name) const {
        return CopyFileA(from.c_str(), (path_ + "\\" + name).c_str(), FALSE) != 0;
    }

  private:
    std::string path_;
};

TEST(StartUp, WindowsAndCaptions) {
    RunningProgram app;
    ASSERT_TRUE(app.Start());

    EXPECT_EQ(app.Text("标签1"), "截图热键（Z+X）");
    EXPECT_EQ(app.Text("标签2"), "显示/隐藏热键（Del）");
    EXPECT_EQ(app.Text("按钮13"), "置顶");
    EXPECT_EQ(app.Text("按钮14"), "计算器");
    EXPECT_EQ(app.Text("按钮3"), "说明");
    EXPECT_EQ(app.Text("按钮1"), "退出");
    EXPECT_EQ(OuterSize(app.main).cx, 258);
    EXPECT_EQ(OuterSize(app.main).cy, 233);
    EXPECT_TRUE(HasExStyle(app.main, WS_EX_TOPMOST));

    // The overlay: a translucent strip without a taskbar button, above MainWindow.
    EXPECT_EQ(app.OverlayText(), "00:00");
    EXPECT_TRUE(HasExStyle(app.overlay, WS_EX_LAYERED));
    EXPECT_TRUE(HasExStyle(app.overlay, WS_EX_TOPMOST));
    BYTE alpha = 0;
    DWORD flags = 0;
    EXPECT_TRUE(GetLayeredWindowAttributes(app.overlay, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 150);
    EXPECT_TRUE(flags & LWA_ALPHA);
    HWND owner = GetWindow(app.overlay, GW_OWNER);
    EXPECT_TRUE(owner != nullptr && !IsWindowVisible(owner));
}

TEST(Commands, TopmostSwitchKeepsOverlayOnTop) {
    RunningProgram app;
    ASSERT_TRUE(app.Start());
    // The window starts on top while the button offers "置顶": the first click
    // therefore turns it off without changing the caption.
    const struct {
        bool topmost;
        const char* caption;
    } clicks[] = {{false, "置顶"}, {true, "取顶"}, {false, "置顶"}, {true, "取顶"}};
    int n = 0;
    for (const auto& c : clicks) {
        SCOPED_TRACE("click " + std::to_string(++n));
        app.ClickAndWait("按钮13");
        EXPECT_EQ(HasExStyle(app.main, WS_EX_TOPMOST), c.topmost);
        EXPECT_EQ(app.Text("按钮13"), c.caption);
        // Leaving the topmost band must not take the overlay with it.
        EXPECT_TRUE(HasExStyle(app.overlay, WS_EX_TOPMOST));
        if (!c.topmost) {
            EXPECT_TRUE(IsAbove(app.overlay, app.main));
        }
    }
}

TEST(Commands, HelpWindowIsSingleTopmostAndClosesOnItsPicture) {
    RunningProgram app;
    ASSERT_TRUE(app.Start());
    const DWORD pid = app.process().Id();

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("opened afresh, round " + std::to_string(round));
        app.ClickAndWait("按钮3");
        app.ClickAndWait("按钮3");
        const std::vector<HWND> help = WindowsOfSize(pid, 376, 273);
        ASSERT_EQ(help.size(), 1u);
        HWND w = help[0];
        EXPECT_TRUE(IsWindowVisible(w));
        EXPECT_TRUE(HasExStyle(w, WS_EX_TOPMOST));

        HWND picture = testsupport::FindChild(w, "TenvaroPicture", "");
        ASSERT_TRUE(picture != nullptr);
        EXPECT_EQ(OuterSize(picture).cx, 48);
        EXPECT_EQ(OuterSize(picture).cy, 48);

        // A real left press over the picture.
        RECT r{};
        GetWindowRect(picture, &r);
        const POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ASSERT_EQ(WindowFromPoint(p), picture);
        SetCursorPos(p.x, p.y);
        ASSERT_TRUE(WaitFor([&] {
            POINT now{};
            return GetCursorPos(&now) && now.x == p.x && now.y == p.y;
        }));
        INPUT press[2] = {};
        press[0].type = press[1].type = INPUT_MOUSE;
        press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, press, sizeof(INPUT));

        EXPECT_TRUE(WaitFor([&] { return !IsWindow(w); }));
        EXPECT_TRUE(WindowsOfSize(pid, 376, 273).empty());
        EXPECT_TRUE(IsWindow(app.main));
        EXPECT_TRUE(app.process().Running());
    }
}

TEST(Ending, ExitButtonEndsWithCodeZero) {
    RunningProgram app;
    ASSERT_TRUE(app.Start());
    // Posted: the handler ends the process, so a sent click would have no one to answer it.
    PostMessageA(app.Control("按钮1"), BM_CLICK, 0, 0);
    EXPECT_EQ(app.process().WaitExit(10000), 0u);
}

TEST(Ending, ClosingBothWindowsEndsTheProgram) {
    // The program ends with the last of its windows, whichever is closed first.
    const struct {
        const char* first;
        bool mainFirst;
    } orders[] = {{"MainWindow first", true}, {"CountdownOverlay first", false}};
    for (const auto& o : orders) {
        SCOPED_TRACE(o.first);
        RunningProgram app;
        ASSERT_TRUE(app.Start());
        HWND first = o.mainFirst ? app.main : app.overlay;
        HWND second = o.mainFirst ? app.overlay : app.main;

        PostMessageA(first, WM_CLOSE, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(first); }));
        // Still running: the other window stays and answers, and the process does
        // not end within a second.
        EXPECT_EQ(WaitForSingleObject(app.process().Handle(), 1000),
                  static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_TRUE(IsWindowVisible(second));
        EXPECT_TRUE(Answers(second, 5000));

        PostMessageA(second, WM_CLOSE, 0, 0);
        EXPECT_EQ(app.process().WaitExit(10000), 0u);
    }
}

// Is there a calculator that the command line "calc" would reach from anywhere
// (the system folders and the path)? Gives its path, or empty.
std::string SystemCalculator() {
    char found[MAX_PATH] = {};
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    if (SearchPathA(system, "calc", ".exe", MAX_PATH, found, nullptr)) return found;
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    if (SearchPathA(windows, "calc", ".exe", MAX_PATH, found, nullptr)) return found;
    char path[32768] = {};
    if (GetEnvironmentVariableA("PATH", path, sizeof path) &&
        SearchPathA(path, "calc", ".exe", MAX_PATH, found, nullptr))
        return found;
    return {};
}

TEST(Calculator, WithoutOneNothingHappens) {
    const std::string system = SystemCalculator();
    if (!system.empty()) GTEST_SKIP() << "this system has a calculator: " << system;
    TempFolder folder;
    ASSERT_TRUE(folder.Copy(testsupport::ProgramPath(), "Tenvaro.exe"));
    RunningProgram app;
    ASSERT_TRUE(app.Start(folder.Path() + "\\Tenvaro.exe"));

    DWORD_PTR result = 0;
    EXPECT_NE(
        SendMessageTimeoutA(app.Control("按钮14"), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result), 0)
        << "the click did not return";
    EXPECT_TRUE(ChildProcesses(app.process().Id()).empty());
    // No message and no other window: still just the two.
    EXPECT_TRUE(WindowsOfSize(app.process().Id(), 376, 273).empty());
    int shown = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == app.process().Id() && IsWindowVisible(w)) ++shown;
    }
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(Answers(app.main, 5000));
}

TEST(Calculator, BlocksMainWindowUntilTheCalculatorEnds) {
    TempFolder folder;
    ASSERT_TRUE(folder.Copy(testsupport::ProgramPath(), "Tenvaro.exe"));
    ASSERT_TRUE(folder.Copy(testsupport::FixturePath("calc.exe"), "calc.exe"));
    RunningProgram app;
    ASSERT_TRUE(app.Start(folder.Path() + "\\Tenvaro.exe"));

    // Posted: the handler does not return while the calculator runs.
    PostMessageA(app.Control("按钮14"), BM_CLICK, 0, 0);
    HWND calc = testsupport::WaitForWindow(0, "TenvaroCalcStandIn", "");
    ASSERT_TRUE(calc != nullptr) << "the calculator beside Tenvaro.exe was not started";
    DWORD calcPid = 0;
    GetWindowThreadProcessId(calc, &calcPid);
    const std::vector<DWORD> children = ChildProcesses(app.process().Id());
    EXPECT_EQ(children, std::vector<DWORD>{calcPid});
    HANDLE calcProcess = OpenProcess(SYNCHRONIZE, FALSE, calcPid);
    ASSERT_TRUE(calcProcess != nullptr);

    EXPECT_FALSE(Answers(app.main, 1000)) << "MainWindow answered while the calculator ran";
    EXPECT_FALSE(Answers(app.overlay, 200));
    // No poll runs meanwhile: F+/ pressed and released now is never seen.
    testsupport::TapChord('F', VK_DIVIDE);

    PostMessageA(calc, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(calcProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(calcProcess);
    EXPECT_TRUE(WaitFor([&] { return Answers(app.main, 200); }));
    EXPECT_TRUE(app.process().Running());
    EXPECT_EQ(app.Text("按钮14"), "计算器");
    // Polling again: F+* on the empty box writes "-1"; had F+/ fired, it would be "0".
    std::string pending;
    EXPECT_TRUE(testsupport::PressChord('F', VK_MULTIPLY, [&] {
        pending = WindowText(app.Control("编辑框3"));
        return !pending.empty();
    }));
    EXPECT_EQ(pending, "-1");
}

} // namespace
