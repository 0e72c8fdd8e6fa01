#include "common/win.h"

#include "common/text.h"

void SetWindowAlpha(HWND window, int alpha) {
    using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto set = user32 ? reinterpret_cast<SetLayered>(reinterpret_cast<void*>(
                            GetProcAddress(user32, "SetLayeredWindowAttributes")))
                      : nullptr;
    if (!set) return;
    if (alpha < 0 || alpha > 255) alpha = 255;
    SetWindowLongA(window, GWL_EXSTYLE, WS_EX_LAYERED);
    set(window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

void SetWindowTopmost(HWND window, bool topmost) {
    if (topmost) {
        SetForegroundWindow(window);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    } else {
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
}

void ShowMessage(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "信息：", MB_OK | MB_TASKMODAL);
}

bool StartWorkerThread(LPTHREAD_START_ROUTINE routine, void* param) {
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, routine, param, 0, &id);
    if (!h) return false;
    CloseHandle(h);
    return true;
}

std::string RunDirectory() {
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return ".";
    // A trail byte of a double-byte character can be 0x5C, so only separators
    // that begin a character count.
    size_t slash = std::string::npos;
    for (size_t i = 0; i < n; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            slash = i;
        }
    }
    return slash == std::string::npos ? "." : std::string(path, slash);
}
