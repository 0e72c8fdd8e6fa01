// The window toolkit, driven in-process on real windows under Wine.
#include "common/bmp.h"
#include "support/process.h"
#include "ui/toolkit.h"
#include "ui/windows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <iterator>
#include <thread>

using testsupport::WaitFor;

namespace {

// A small window of our own: two timers that count their ticks.
std::atomic<int> gTicksA{0}, gTicksB{0};
void TickA() {
    ++gTicksA;
}
void TickB() {
    ++gTicksB;
}

const ui::ControlTemplate kTimerControls[] = {
    {.name = "timerA",
     .kind = ui::ControlKind::Timer,
     .left = 0,
     .top = 0,
     .width = 8,
     .height = 8,
     .period = 20,
     .periodic = TickA},
    {.name = "timerB",
     .kind = ui::ControlKind::Timer,
     .left = 0,
     .top = 0,
     .width = 8,
     .height = 8,
     .period = 15,
     .periodic = TickB},
    {.name = "label",
     .kind = ui::ControlKind::Label,
     .left = 4,
     .top = 4,
     .width = 80,
     .height = 20},
};
const ui::WindowTemplate kTimerTemplate{.name = "TimerFixture",
                                        .caption = "timer fixture",
                                        .width = 200,
                                        .height = 120,
                                        .border = ui::Border::Fixed,
                                        .minimiseBox = false,
                                        .maximiseBox = false,
                                        .controlBox = true,
                                        .centred = false,
                                        .escCloses = true,
                                        .inTaskbar = true,
                                        .dragAnywhere = false,
                                        .alwaysOnTop = false,
                                        .created = nullptr,
                                        .controls = kTimerControls,
                                        .controlCount = std::size(kTimerControls)};
ui::Window TimerFixture{kTimerTemplate};

const ui::WindowTemplate kModalTemplate{.name = "ModalFixture",
                                        .caption = "modal fixture",
                                        .width = 200,
                                        .height = 120,
                                        .border = ui::Border::Fixed,
                                        .minimiseBox = false,
                                        .maximiseBox = false,
                                        .controlBox = true,
                                        .centred = true,
                                        .escCloses = true,
                                        .inTaskbar = true,
                                        .dragAnywhere = false,
                                        .alwaysOnTop = false,
                                        .created = nullptr,
                                        .controls = nullptr,
                                        .controlCount = 0};
ui::Window ModalFixture{kModalTemplate};
ui::Window SecondFixture{kModalTemplate};

ui::Window* const kAll[] = {&MainWindow, &CountdownOverlay, &HelpWindow,   &TimeUpWindow,
                            &SkinWindow, &TimerFixture,     &ModalFixture, &SecondFixture};

std::string Text(HWND h) {
    return testsupport::WindowText(h);
}

// Runs f on another thread while this one pumps its messages, so that f may send
// messages to this thread's windows.
template <class F> void OnOtherThread(F f) {
    std::atomic<bool> done{false};
    std::thread t([&] {
        f();
        done = true;
    });
    EXPECT_TRUE(WaitFor([&] { return done.load(); }));
    t.join();
}

LONG ExStyle(HWND h) {
    return GetWindowLongA(h, GWL_EXSTYLE);
}

class Toolkit : public testing::Test {
  protected:
    void TearDown() override {
        for (ui::Window* w : kAll)
            ui::Destroy(*w);
        EXPECT_TRUE(WaitFor([] {
            for (ui::Window* w : kAll)
                if (ui::IsLoaded(*w)) return false;
            return true;
        }));
    }
};

TEST_F(Toolkit, MainWindowControlsStandAtTheirTemplatePositionsWithTheirCaptions) {
    ASSERT_TRUE(ui::Load(MainWindow));
    HWND main = ui::Handle(MainWindow);
    RECT wr;
    GetWindowRect(main, &wr);
    EXPECT_EQ(wr.right - wr.left, 258);
    EXPECT_EQ(wr.bottom - wr.top, 233);
    EXPECT_EQ(wr.left, (GetSystemMetrics(SM_CXSCREEN) - 258) / 2);
    EXPECT_EQ(wr.top, (GetSystemMetrics(SM_CYSCREEN) - 233) / 2);
    EXPECT_EQ(Text(main), "Tenvaro");
    EXPECT_TRUE(ExStyle(main) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(main, GW_OWNER), nullptr); // it has a taskbar button

    const ui::WindowTemplate& t = MainWindowTemplate;
    ASSERT_EQ(t.controlCount, 35u);
    for (size_t i = 0; i < t.controlCount; ++i) {
        const ui::ControlTemplate& c = t.controls[i];
        SCOPED_TRACE(c.name);
        HWND h = ui::ControlHandle(MainWindow, c.name);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(GetParent(h), main);
        EXPECT_EQ(GetDlgCtrlID(h), 1000 + static_cast<int>(i));
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.left);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.right - r.left, c.width);
        if (c.kind != ui::ControlKind::Combo) {
            EXPECT_EQ(r.bottom - r.top, c.height);
        }
        EXPECT_EQ(IsWindowVisible(h) != 0, c.kind != ui::ControlKind::Timer);
    }
    const struct {
        const char* control;
        const char* caption;
    } captions[] = {
        {"按钮15", "按钮"},
        {"按钮14", "计算器"},
        {"按钮13", "置顶"},
        {"按钮12", "截图"},
        {"按钮11", "取浏览器"},
        {"按钮10", "刷新"},
        {"按钮9", "刷新"},
        {"按钮8", "透明"},
        {"按钮7", "按钮"},
        {"按钮6", "发送"},
        {"按钮5", "刷新"},
        {"按钮4", "按钮"},
        {"按钮3", "说明"},
        {"按钮2", "按钮"},
        {"按钮1", "退出"},
        {"标签6", "标签"},
        {"标签5", "标签"},
        {"标签4", "标签"},
        {"标签3", "标签"},
        {"标签1", "截图热键（Z+X）"},
        {"标签2", "显示/隐藏热键（Del）"},
        {"编辑框1", ""},
        {"编辑框2", ""},
        {"编辑框3", ""},
        {"编辑框4", ""},
        {"组合框1", ""},
        {"组合框2", ""},
    };
    for (const auto& c : captions) {
        EXPECT_EQ(ui::GetText(MainWindow, c.control), c.caption) << c.control;
        EXPECT_EQ(Text(ui::ControlHandle(MainWindow, c.control)), c.caption) << c.control;
    }
    const struct {
        const char* timer;
        int period;
    } periods[] = {{"时钟1", 500}, {"时钟2", 100}, {"时钟3", 1000}, {"时钟4", 10}};
    for (const auto& p : periods)
        EXPECT_EQ(ui::GetPeriod(MainWindow, p.timer), p.period);

    HWND list = ui::ControlHandle(MainWindow, "组合框1");
    HWND editable = ui::ControlHandle(MainWindow, "组合框2");
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(GetWindowLongA(editable, GWL_STYLE) & 3, CBS_DROPDOWN);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
    HWND slider = ui::ControlHandle(MainWindow, "滑块条1");
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), 250);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPAGESIZE, 0, 0), 5);
    EXPECT_EQ(SendMessageA(slider, TBM_GETLINESIZE, 0, 0), 1);
    EXPECT_EQ(ui::GetPosition(MainWindow, "滑块条1"), 1);
    EXPECT_TRUE(ExStyle(ui::ControlHandle(MainWindow, "图片框1")) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(ExStyle(ui::ControlHandle(MainWindow, "图片框2")) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(ExStyle(ui::ControlHandle(MainWindow, "图片框3")) & WS_EX_CLIENTEDGE);
}

LOGFONTA FontOf(HWND h) {
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
}

TEST_F(Toolkit, OverlayAndHelpWindowFollowTheirTemplates) {
    ASSERT_TRUE(ui::Load(MainWindow)); // its creation loads the overlay
    HWND overlay = ui::Handle(CountdownOverlay);
    ASSERT_NE(overlay, nullptr);
    RECT r;
    GetWindowRect(overlay, &r);
    EXPECT_EQ(r.right - r.left, 53);
    EXPECT_EQ(r.bottom - r.top, 22);
    EXPECT_FALSE(GetWindowLongA(overlay, GWL_STYLE) & WS_CAPTION);
    // No taskbar button: the overlay has an owner that is never shown.
    HWND owner = GetWindow(overlay, GW_OWNER);
    ASSERT_NE(owner, nullptr);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(ui::GetText(CountdownOverlay, "标签1"), "00:00");
    EXPECT_TRUE(ExStyle(overlay) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(overlay, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 150);
    const LOGFONTA overlayFont = FontOf(ui::ControlHandle(CountdownOverlay, "标签1"));
    EXPECT_STREQ(overlayFont.lfFaceName, "新宋体");
    EXPECT_EQ(overlayFont.lfHeight, -24);
    EXPECT_EQ(overlayFont.lfCharSet, GB2312_CHARSET);

    ASSERT_TRUE(ui::Load(HelpWindow));
    HWND help = ui::Handle(HelpWindow);
    EXPECT_TRUE(ExStyle(help) & WS_EX_TOPMOST); // made so by its creation handler
    HWND group = ui::ControlHandle(HelpWindow, "分组框1");
    HWND inGroup = ui::ControlHandle(HelpWindow, "标签3");
    EXPECT_EQ(GetParent(inGroup), group);
    EXPECT_EQ(Text(inGroup), "功能2： F+5：5分钟倒计时： F+3：3分钟倒计时");
    EXPECT_EQ(GetParent(ui::ControlHandle(HelpWindow, "标签7")), help);
    BmpLayout l;
    const auto picture = ui::GetPicture(HelpWindow, "图片框1");
    ASSERT_TRUE(ParseBmp(picture.data(), picture.size(), l));
    EXPECT_EQ(l.width, 48);
    EXPECT_EQ(l.height, 48);
}

TEST_F(Toolkit, TimerPeriodRestartsStopsAndIgnoresTheSameValue) {
    ASSERT_TRUE(ui::Load(TimerFixture));
    const int start = gTicksA;
    ASSERT_TRUE(WaitFor([&] { return gTicksA >= start + 3; }));

    ui::SetPeriod(TimerFixture, "timerA", 0);
    EXPECT_EQ(ui::GetPeriod(TimerFixture, "timerA"), 0);
    int stopped = gTicksA, clock = gTicksB;
    // timerB is the clock: while it ticks ten times, the stopped timer stays still.
    ASSERT_TRUE(WaitFor([&] { return gTicksB >= clock + 10; }));
    EXPECT_EQ(gTicksA, stopped);

    ui::SetPeriod(TimerFixture, "timerA", -5); // negative counts as 0
    EXPECT_EQ(ui::GetPeriod(TimerFixture, "timerA"), 0);

    ui::SetPeriod(TimerFixture, "timerA", 30);
    EXPECT_EQ(ui::GetPeriod(TimerFixture, "timerA"), 30);
    ASSERT_TRUE(WaitFor([&] { return gTicksA >= stopped + 3; }));

    // Writing the current period again must not restart the timer: if it did,
    // rewriting it every 10 ms would keep a 30 ms timer from ever ticking.
    const int before = gTicksA;
    ASSERT_TRUE(WaitFor(
        [&] {
            ui::SetPeriod(TimerFixture, "timerA", 30);
            return gTicksA >= before + 3;
        },
        5000));

    // A write from another thread restarts the timer on the window's own thread.
    OnOtherThread([] { ui::SetPeriod(TimerFixture, "timerA", 0); });
    stopped = gTicksA, clock = gTicksB;
    ASSERT_TRUE(WaitFor([&] { return gTicksB >= clock + 10; }));
    EXPECT_EQ(gTicksA, stopped);
    OnOtherThread([] { ui::SetPeriod(TimerFixture, "timerA", 20); });
    ASSERT_TRUE(WaitFor([&] { return gTicksA >= stopped + 3; }));
}

TEST_F(Toolkit, LeavingTheTopmostBandKeepsTheOverlayOnTop) {
    ASSERT_TRUE(ui::Load(MainWindow));
    HWND main = ui::Handle(MainWindow), overlay = ui::Handle(CountdownOverlay);
    ASSERT_TRUE(ui::Load(HelpWindow)); // topmost, but with a taskbar button
    HWND help = ui::Handle(HelpWindow);
    ui::SetAlwaysOnTop(MainWindow, false);
    EXPECT_FALSE(ExStyle(main) & WS_EX_TOPMOST);
    EXPECT_TRUE(ExStyle(overlay) & WS_EX_TOPMOST);
    // The overlay was put back on top: it is above every other window, the help
    // window included, which was not touched.
    for (HWND w = GetWindow(overlay, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        EXPECT_NE(w, help);
    ui::SetAlwaysOnTop(MainWindow, true);
    EXPECT_TRUE(ExStyle(main) & WS_EX_TOPMOST);
}

TEST_F(Toolkit, ComboItemsCarryTheirValues) {
    ASSERT_TRUE(ui::Load(MainWindow));
    HWND list = ui::ControlHandle(MainWindow, "组合框1");
    ui::AddItem(MainWindow, "组合框1", "张三", 7);
    ui::AddItem(MainWindow, "组合框1", "Bob", -3);
    ui::AddItem(MainWindow, "组合框1", "张三", 9); // duplicates are kept, unsorted
    ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ui::GetItemValue(MainWindow, "组合框1", 0), 7);
    EXPECT_EQ(ui::GetItemValue(MainWindow, "组合框1", 1), -3);
    EXPECT_EQ(ui::GetItemValue(MainWindow, "组合框1", 2), 9);
    EXPECT_EQ(ui::GetText(MainWindow, "组合框1"), ""); // nothing selected
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(ui::GetText(MainWindow, "组合框1"), "Bob");
    ui::ClearItems(MainWindow, "组合框1");
    EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(ui::GetText(MainWindow, "组合框1"), "");
    EXPECT_EQ(ui::GetItemValue(MainWindow, "组合框1", 0), CB_ERR);

    ui::SetText(MainWindow, "组合框2", "你好 hello");
    EXPECT_EQ(ui::GetText(MainWindow, "组合框2"), "你好 hello");
    ui::SetText(MainWindow, "组合框2", "");
    EXPECT_EQ(ui::GetText(MainWindow, "组合框2"), "");
}

TEST_F(Toolkit, PictureBoxKeepsTheBytesAndPaintsThemAtNaturalSize) {
    ASSERT_TRUE(ui::Load(MainWindow));
    ui::SetVisible(CountdownOverlay, false); // nothing in front of the picture box
    const auto red = MakeBmp24(10, 6, [](int, int) { return 0xFF0000u; });
    ui::SetPicture(MainWindow, "图片框1", red);
    EXPECT_EQ(ui::GetPicture(MainWindow, "图片框1"), red);
    HWND box = ui::ControlHandle(MainWindow, "图片框1");
    SetForegroundWindow(ui::Handle(MainWindow));
    auto pixel = [&](int x, int y) {
        UpdateWindow(box);
        HDC dc = GetDC(box);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(box, dc);
        return c;
    };
    EXPECT_TRUE(WaitFor([&] { return pixel(2, 2) == RGB(255, 0, 0); })) << std::hex << pixel(2, 2);
    EXPECT_EQ(pixel(9, 5), RGB(255, 0, 0));
    EXPECT_EQ(pixel(10, 2), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(2, 6), GetSysColor(COLOR_BTNFACE));

    // Bytes that are not a picture are kept all the same and paint nothing.
    const std::vector<uint8_t> junk{'B', 'M', 1, 2, 3};
    ui::SetPicture(MainWindow, "图片框1", junk);
    EXPECT_EQ(ui::GetPicture(MainWindow, "图片框1"), junk);
    EXPECT_TRUE(WaitFor([&] { return pixel(2, 2) == GetSysColor(COLOR_BTNFACE); }));
    ui::SetPicture(MainWindow, "图片框1", {});
    EXPECT_TRUE(ui::GetPicture(MainWindow, "图片框1").empty());
}

TEST_F(Toolkit, LabelCaptionAndTextColour) {
    ASSERT_TRUE(ui::Load(MainWindow));
    ui::SetVisible(CountdownOverlay, false);
    ui::SetText(MainWindow, "标签1", "█████");
    ui::SetTextColour(MainWindow, "标签1", RGB(0, 0, 255));
    EXPECT_EQ(ui::GetText(MainWindow, "标签1"), "█████");
    HWND label = ui::ControlHandle(MainWindow, "标签1");
    auto hasBlue = [&] {
        UpdateWindow(label);
        HDC dc = GetDC(label);
        bool found = false;
        for (int x = 0; x < 60 && !found; ++x)
            for (int y = 0; y < 20 && !found; ++y)
                found = GetPixel(dc, x, y) == RGB(0, 0, 255);
        ReleaseDC(label, dc);
        return found;
    };
    SetForegroundWindow(ui::Handle(MainWindow));
    EXPECT_TRUE(WaitFor(hasBlue));
}

TEST_F(Toolkit, SecondLoadBringsTheOpenWindowForward) {
    ASSERT_TRUE(ui::Load(HelpWindow));
    HWND first = ui::Handle(HelpWindow);
    ASSERT_TRUE(ui::Load(HelpWindow));
    EXPECT_EQ(ui::Handle(HelpWindow), first);
    // A modal request for an open window returns at once, from any thread.
    OnOtherThread([] { EXPECT_TRUE(ui::Load(HelpWindow, true)); });
    EXPECT_EQ(ui::Handle(HelpWindow), first);
    int helpWindows = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(w, &r);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == GetCurrentProcessId() && r.right - r.left == 376 && r.bottom - r.top == 273)
            ++helpWindows;
    }
    EXPECT_EQ(helpWindows, 1);
    // Minimised, it is restored.
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(first));
    ui::Load(HelpWindow);
    EXPECT_FALSE(IsIconic(first));
}

TEST_F(Toolkit, ModalLoadDisablesTheOthersUntilClosedAndRestoresThem) {
    ASSERT_TRUE(ui::Load(MainWindow));
    ASSERT_TRUE(ui::Load(SecondFixture));
    HWND main = ui::Handle(MainWindow), overlay = ui::Handle(CountdownOverlay),
         second = ui::Handle(SecondFixture);
    EnableWindow(second, FALSE); // disabled before: must stay disabled after

    std::atomic<bool> returned{false}, sawDisabled{false}, closedByWatcher{false};
    std::thread watcher([&] {
        if (!WaitFor([] {
                return ui::Handle(ModalFixture) && IsWindowVisible(ui::Handle(ModalFixture));
            }))
            return;
        sawDisabled = !IsWindowEnabled(main) && !IsWindowEnabled(overlay) &&
                      !IsWindowEnabled(second) && IsWindowEnabled(ui::Handle(ModalFixture));
        EXPECT_FALSE(returned.load());
        closedByWatcher = true;
        ui::Destroy(ModalFixture);
    });
    EXPECT_TRUE(ui::Load(ModalFixture, true));
    returned = true;
    watcher.join();
    EXPECT_TRUE(closedByWatcher);
    EXPECT_TRUE(sawDisabled);
    EXPECT_FALSE(ui::IsLoaded(ModalFixture));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(overlay));
    EXPECT_FALSE(IsWindowEnabled(second));
}

TEST_F(Toolkit, ModalWindowOfAWorkerThreadRunsItsLoopThere) {
    ASSERT_TRUE(ui::Load(MainWindow));
    HWND main = ui::Handle(MainWindow);
    std::atomic<DWORD> owner{0};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        ui::Load(ModalFixture, true);
        returned = true;
    });
    ASSERT_TRUE(WaitFor([&] { return ui::Handle(ModalFixture) && !IsWindowEnabled(main); }));
    owner = GetWindowThreadProcessId(ui::Handle(ModalFixture), nullptr);
    EXPECT_NE(owner.load(), GetCurrentThreadId());
    EXPECT_FALSE(returned);
    // Esc in the window closes it.
    PostMessageA(ui::Handle(ModalFixture), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitFor([&] { return returned.load(); }));
    worker.join();
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(Toolkit, EscClosesTheWindowOfTheFocusedControl) {
    // From an edit box, a button, the edit field of a combo box and the window itself.
    const auto inEdit = [] { return ui::ControlHandle(MainWindow, "编辑框4"); };
    const auto inButton = [] { return ui::ControlHandle(MainWindow, "按钮3"); };
    const auto inCombo = [] {
        return GetWindow(ui::ControlHandle(MainWindow, "组合框2"), GW_CHILD);
    };
    const auto inWindow = [] { return ui::Handle(MainWindow); };
    for (HWND (*target)() : {+inEdit, +inButton, +inCombo, +inWindow}) {
        ASSERT_TRUE(ui::Load(MainWindow));
        HWND h = target();
        ASSERT_NE(h, nullptr);
        PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitFor([] { return !ui::IsLoaded(MainWindow); }));
        EXPECT_TRUE(ui::IsLoaded(CountdownOverlay)); // only the window that had the key
    }
    // An open drop-down list takes the key for itself.
    ASSERT_TRUE(ui::Load(MainWindow));
    HWND combo = ui::ControlHandle(MainWindow, "组合框2");
    ui::AddItem(MainWindow, "组合框2", "a", 1);
    SetForegroundWindow(ui::Handle(MainWindow));
    SetFocus(combo);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageA(GetWindow(combo, GW_CHILD), WM_KEYDOWN, VK_ESCAPE, 0);
    // A close would have been posted during that call.
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, ui::Handle(MainWindow), WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_TRUE(ui::IsLoaded(MainWindow));
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(Toolkit, PropertiesOfAWindowNotLoadedAreEmptyAndWritesDoNothing) {
    ASSERT_FALSE(ui::IsLoaded(MainWindow));
    ui::SetText(MainWindow, "编辑框1", "4");
    ui::SetPeriod(MainWindow, "时钟1", 0);
    ui::SetPicture(MainWindow, "图片框1", {1, 2, 3});
    ui::AddItem(MainWindow, "组合框1", "x", 1);
    ui::SetVisible(MainWindow, true);
    ui::SetAlwaysOnTop(MainWindow, false);
    EXPECT_EQ(ui::GetText(MainWindow, "编辑框1"), "");
    EXPECT_EQ(ui::GetPeriod(MainWindow, "时钟1"), 0);
    EXPECT_TRUE(ui::GetPicture(MainWindow, "图片框1").empty());
    EXPECT_EQ(ui::Handle(MainWindow), nullptr);
    // An unknown control name is handled the same way.
    ASSERT_TRUE(ui::Load(TimerFixture));
    EXPECT_EQ(ui::GetText(TimerFixture, "nothing"), "");
    ui::SetText(TimerFixture, "nothing", "x");
    // A reload starts again from the template.
    ui::SetPeriod(TimerFixture, "timerA", 0);
    ui::SetText(TimerFixture, "label", "changed");
    ui::Destroy(TimerFixture);
    ASSERT_TRUE(WaitFor([] { return !ui::IsLoaded(TimerFixture); }));
    ASSERT_TRUE(ui::Load(TimerFixture));
    EXPECT_EQ(ui::GetPeriod(TimerFixture, "timerA"), 20);
    EXPECT_EQ(ui::GetText(TimerFixture, "label"), "标签");
}

TEST_F(Toolkit, ThreadsReadAndWriteWhileTheWindowComesAndGoes) {
    std::atomic<bool> stop{false};
    std::atomic<int> finished{0}, calls{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            const std::string mine = std::to_string(i);
            while (!stop) {
                ui::SetText(MainWindow, "编辑框3", mine);
                (void)ui::GetText(MainWindow, "编辑框3");
                ui::SetPeriod(MainWindow, "时钟2", 50 + i);
                (void)ui::GetPeriod(MainWindow, "时钟2");
                ui::SetPicture(MainWindow, "图片框1", std::vector<uint8_t>(64, uint8_t(i)));
                const auto p = ui::GetPicture(MainWindow, "图片框1");
                if (!p.empty()) {
                    EXPECT_EQ(p.size(), 64u);
                }
                (void)ui::GetPosition(MainWindow, "滑块条1");
                ++calls;
                // Four threads sending back to back would keep the window thread
                // answering them inside PeekMessage for ever.
                Sleep(1);
            }
            ++finished;
        });
    }
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(ui::Load(MainWindow));
        const int start = calls;
        // Pump while the threads hammer the window.
        EXPECT_TRUE(WaitFor([&] { return calls > start + 100; }));
        ui::Destroy(MainWindow);
        ui::Destroy(CountdownOverlay);
        ASSERT_TRUE(WaitFor([] { return !ui::IsLoaded(MainWindow); }));
    }
    stop = true;
    EXPECT_TRUE(WaitFor([&] { return finished == 4; }));
    for (auto& t : threads)
        t.join();
}

TEST_F(Toolkit, OverlayIsDraggedByItsLabel) {
    ASSERT_TRUE(ui::Load(MainWindow));
    HWND overlay = ui::Handle(CountdownOverlay);
    ui::SetVisible(MainWindow, false);
    SetForegroundWindow(overlay);
    RECT before;
    GetWindowRect(overlay, &before);
    auto mouse = [](DWORD flags, int x, int y) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
        SendInput(1, &in, sizeof in);
    };
    const int x = before.left + 10, y = before.top + 10;
    mouse(0, x, y);
    ASSERT_TRUE(WaitFor([&] {
        POINT p;
        GetCursorPos(&p);
        return p.x == x && p.y == y;
    }));
    mouse(MOUSEEVENTF_LEFTDOWN, x, y);
    // The move loop runs inside the window's own message handling on this thread;
    // the rest of the drag is fed from another thread.
    std::thread feeder([&] {
        for (int i = 1; i <= 10; ++i) {
            Sleep(20);
            mouse(0, x + 6 * i, y + 4 * i);
        }
        Sleep(50);
        mouse(MOUSEEVENTF_LEFTUP, x + 60, y + 40);
    });
    RECT after{};
    EXPECT_TRUE(WaitFor([&] {
        GetWindowRect(overlay, &after);
        return after.left == before.left + 60 && after.top == before.top + 40;
    }));
    feeder.join();
    mouse(MOUSEEVENTF_LEFTUP, x + 60, y + 40);
}

// The user-interface thread's loop ends when the last window of the program goes.
TEST(ToolkitProgramEnd, MessageLoopEndsWithTheLastWindow) {
    std::atomic<bool> loopEnded{false};
    std::thread ui([&] {
        ui::Load(ModalFixture);
        ui::Load(SecondFixture);
        ui::RunMessageLoop();
        loopEnded = true;
    });
    ASSERT_TRUE(WaitFor([] { return ui::Handle(ModalFixture) && ui::Handle(SecondFixture); }));
    ui::Destroy(ModalFixture);
    ASSERT_TRUE(WaitFor([] { return !ui::IsLoaded(ModalFixture); }));
    // One window is left: the loop goes on. TimerFixture's ticks prove time passed.
    ASSERT_TRUE(ui::Load(TimerFixture));
    const int t = gTicksB;
    ASSERT_TRUE(WaitFor([&] { return gTicksB > t + 5; }));
    EXPECT_FALSE(loopEnded);
    ui::Destroy(TimerFixture);
    ui::Destroy(SecondFixture);
    EXPECT_TRUE(WaitFor([&] { return loopEnded.load(); }));
    ui.join();
}

} // namespace
