#include "support/program.h"

#include "ui/windows.h"

#include <tlhelp32.h>

#include <cstring>

namespace testsupport {

namespace {

struct TopQuery {
    DWORD pid;
    int width, height;
    HWND found;
};

BOOL CALLBACK VisitTop(HWND w, LPARAM lp) {
    auto* q = static_cast<TopQuery*>(reinterpret_cast<void*>(lp));
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof cls);
    RECT r;
    GetWindowRect(w, &r);
    if (pid == q->pid && std::strcmp(cls, "TenvaroWindow") == 0 && IsWindowVisible(w) &&
        r.right - r.left == q->width && r.bottom - r.top == q->height) {
        q->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindOfSize(DWORD pid, int width, int height) {
    TopQuery q{pid, width, height, nullptr};
    EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

int ControlId(const ui::WindowTemplate& t, const char* name) {
    for (size_t i = 0; i < t.controlCount; ++i)
        if (std::strcmp(t.controls[i].name, name) == 0) return 1000 + static_cast<int>(i);
    return 0;
}

} // namespace

RunningProgram::~RunningProgram() {
    if (Id())
        for (DWORD child : ChildProcesses(Id()))
            EndProcessById(child);
    process_.End();
}

bool RunningProgram::Start(const std::string& exe) {
    std::string cmd = "\"";
    cmd += exe;
    cmd += "\"";
    if (!process_.Start(cmd)) return false;
    main = WaitForWindow(Id(), "TenvaroWindow", "Tenvaro");
    WaitFor([&] { return (overlay = FindOfSize(Id(), 53, 22)) != nullptr; });
    // Start-up has finished once the creation handler has set the captions.
    if (!main || !overlay ||
        !WaitFor([&] { return Text("标签1") == "截图热键（Z+X）" && OverlayText() == "00:00"; }))
        return false;
    // Let MainWindow take the foreground, as a user's click would, so that the
    // focus change and the key-state reset that Wine makes with it (see keys.h)
    // come before the test presses any key.
    return WaitFor([&] {
        SetForegroundWindow(main);
        return GetForegroundWindow() == main;
    });
}

HWND RunningProgram::Control(const char* name) const {
    return GetDlgItem(main, ControlId(MainWindowTemplate, name));
}

void RunningProgram::SetText(const char* name, const std::string& text) const {
    SetWindowTextA(Control(name), text.c_str());
}

std::string RunningProgram::OverlayText() const {
    return WindowText(GetDlgItem(overlay, ControlId(CountdownOverlayTemplate, "标签1")));
}

void RunningProgram::Click(const char* name) const {
    HWND b = Control(name);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b), BN_CLICKED),
                 reinterpret_cast<LPARAM>(b));
}

void RunningProgram::ClickAndWait(const char* name) const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(Control(name), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
}

HWND RunningProgram::WaitForTimeUp(DWORD timeoutMs) const {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindOfSize(Id(), 380, 250)) != nullptr; }, timeoutMs);
    return w && FindChild(w, "STATIC", "时间到了") ? w : nullptr;
}

HWND RunningProgram::WaitForMessageBox(DWORD timeoutMs) const {
    return WaitForWindow(Id(), "#32770", "信息：", timeoutMs);
}

std::string RunningProgram::MessageText(HWND box) {
    // The message is the box's static text (control id 0xFFFF).
    return WindowText(GetDlgItem(box, 0xFFFF));
}

int RunningProgram::ThreadCount() const {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 te{};
    te.dwSize = sizeof te;
    int n = 0;
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == Id()) ++n;
    CloseHandle(snap);
    return n;
}

} // namespace testsupport
