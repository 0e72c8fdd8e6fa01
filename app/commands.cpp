#include "app/commands.h"

#include "common/text.h"
#include "common/win.h"
#include "skins/skins.h"
#include "ui/windows.h"

void CleanUp() {}

void OnMainWindowCreated() {
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
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
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
