#include "app/commands.h"

#include "capture/capture.h"
#include "common/handles.h"
#include "common/win.h"
#include "countdown/countdown.h"
#include "hotkeys/hotkeys.h"
#include "messenger/messenger.h"
#include "skins/skins.h"
#include "ui/windows.h"

void CleanUp() {
    ReleaseHotkeyRegistry();
}

// The program's chords, in this order (an entry's id is 1000000 plus its place).
// A chord Z+X means: Z held, then X pressed.
void RegisterProgramChords() {
    constexpr int32_t F = 'F', Z = 'Z';
    RegisterChord(ToggleMainWindow, VK_DELETE);
    RegisterChord(CaptureBrowser, 'X', 0, Z);
    RegisterChord(StartFiveMinuteCountdown, VK_NUMPAD5, 0, F);
    RegisterChord(AddMinuteChord, VK_DIVIDE, 0, F);
    RegisterChord(SubtractMinuteChord, VK_MULTIPLY, 0, F);
    RegisterChord(StartThreeMinuteCountdown, VK_NUMPAD3, 0, F);
    RegisterChord(StopCountdownChord, VK_NUMPAD0, 0, F);
    RegisterChord(AcquireBrowser, VK_END);
    RegisterChord(DeliverToChat, 'V', 0, Z);
    RegisterChord(CaptureAndDeliver, 'F', 0, Z);
}

void OnMainWindowCreated() {
    RegisterProgramChords();
    ui::Load(CountdownOverlay);
    ui::SetText(MainWindow, "标签1", "截图热键（Z+X）");
    ui::SetText(MainWindow, "标签2", "显示/隐藏热键（Del）");
    ApplySkin(13);
}

// The show/hide state lives in the period of 时钟1: 0 means shown by the last
// toggle, so the next one hides.
DWORD WINAPI ToggleMainWindow(LPVOID) {
    if (ui::GetPeriod(MainWindow, "时钟1") == 0) {
        ui::SetPeriod(MainWindow, "时钟1", 500);
        ui::SetVisible(MainWindow, false);
    } else {
        ui::SetPeriod(MainWindow, "时钟1", 0);
        ui::SetVisible(MainWindow, true);
    }
    return 0;
}

// The always-on-top state lives in the period of 时钟2: 50 means "turn it on next".
void ToggleAlwaysOnTop() {
    const bool on = ui::GetPeriod(MainWindow, "时钟2") == 50;
    ui::SetAlwaysOnTop(MainWindow, on);
    ui::SetText(MainWindow, "按钮13", on ? "取顶" : "置顶");
    ui::SetPeriod(MainWindow, "时钟2", on ? 100 : 50);
}

void ApplyTransparency() {
    SetWindowAlpha(ui::Handle(MainWindow), ui::GetPosition(MainWindow, "滑块条1"));
}

// Blocks the user-interface thread until the calculator ends, as a modal tool would.
void OpenCalculator() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    char cmd[] = "calc";
    if (!CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return;
    UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.get(), INFINITE);
}

void OpenHelp() {
    ui::Load(HelpWindow);
}

void OnHelpWindowCreated() {
    ui::SetAlwaysOnTop(HelpWindow, true);
}

void CloseHelpWindow() {
    ui::Destroy(HelpWindow);
}

void ExitProgram() {
    ui::Exit(0);
}

void TrimWorkingSet() {
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

void IdleTick() {}
