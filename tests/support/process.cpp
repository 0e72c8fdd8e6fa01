#include "support/process.h"

#include <tlhelp32.h>

#include <vector>

namespace testsupport {

bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start > timeoutMs) return pred();
        // A bounded batch: a thread that floods this one with messages must not
        // keep the condition and the time from being checked.
        MSG m;
        for (int n = 0; n < 64 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++n) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(5);
    }
}

bool Process::Start(const std::string& commandLine, const std::string& directory) {
    End();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    return CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &si, &pi_) != 0;
}

DWORD Process::WaitExit(DWORD timeoutMs) {
    if (!pi_.hProcess) return STILL_ACTIVE;
    WaitForSingleObject(pi_.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

bool Process::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<DWORD> ChildProcesses(DWORD parent) {
    std::vector<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32 e{};
    e.dwSize = sizeof e;
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e))
        if (e.th32ParentProcessID == parent && e.th32ProcessID != parent)
            ids.push_back(e.th32ProcessID);
    CloseHandle(snap);
    return ids;
}

void EndProcessById(DWORD pid) {
    if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
        if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
            TerminateProcess(h, 1);
            WaitForSingleObject(h, 5000);
        }
        CloseHandle(h);
    }
}

void Process::End() {
    if (pi_.dwProcessId) EndProcessById(pi_.dwProcessId);
    if (pi_.hThread) CloseHandle(pi_.hThread);
    if (pi_.hProcess) CloseHandle(pi_.hProcess);
    pi_ = {};
}

std::string WindowText(HWND w) {
    // GetWindowTextA does not ask a control of another process for its text (an
    // edit box's text would read as empty); WM_GETTEXT does.
    char buf[1024] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL,
                             5000, &n))
        return {};
    return std::string(buf, n < sizeof buf ? n : 0);
}

namespace {
struct Search {
    DWORD pid;
    const std::string* cls;
    const std::string* title;
    bool visibleOnly;
    HWND found;
};
BOOL CALLBACK Visit(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (s->pid && pid != s->pid) return TRUE;
    if (s->visibleOnly && !IsWindowVisible(w)) return TRUE;
    char cls[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (!s->cls->empty() && *s->cls != cls) return TRUE;
    if (!s->title->empty() && *s->title != WindowText(w)) return TRUE;
    s->found = w;
    return FALSE;
}
} // namespace

HWND FindWindowOf(DWORD processId, const std::string& className, const std::string& title,
                  bool visibleOnly) {
    Search s{processId, &className, &title, visibleOnly, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForWindow(DWORD processId, const std::string& className, const std::string& title,
                   DWORD timeoutMs, bool visibleOnly) {
    HWND found = nullptr;
    WaitFor(
        [&] { return (found = FindWindowOf(processId, className, title, visibleOnly)) != nullptr; },
        timeoutMs);
    return found;
}

namespace {
struct ChildQuery {
    const std::string* cls;
    const std::string* text;
    HWND found;
};
BOOL CALLBACK VisitChild(HWND w, LPARAM lp) {
    auto* q = reinterpret_cast<ChildQuery*>(lp);
    char cls[256] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (!q->cls->empty() && lstrcmpiA(q->cls->c_str(), cls) != 0) return TRUE;
    if (*q->text != WindowText(w)) return TRUE;
    q->found = w;
    return FALSE;
}
} // namespace

HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
    ChildQuery q{&className, &text, nullptr};
    EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

std::string TestDirectory() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\'));
}

std::string ProgramPath() {
    return TestDirectory() + "\\..\\Tenvaro.exe";
}

std::string FixturePath(const std::string& exeName) {
    return TestDirectory() + "\\..\\fixtures\\" + exeName;
}

} // namespace testsupport
