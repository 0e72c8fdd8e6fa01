#include "support/keys.h"

#include "support/process.h"

namespace testsupport {

namespace {

bool IsExtended(WORD vk) {
    switch (vk) {
    case VK_DELETE:
    case VK_END:
    case VK_HOME:
    case VK_INSERT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_DIVIDE:
    case VK_RWIN:
    case VK_LWIN:
        return true;
    default:
        return false;
    }
}

void Send(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = 0;
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof in);
}

void Settle() {
    Sleep(kKeySettleMs);
}

// Presses vk and keeps it down. When a window of Wine's X11 driver gains the
// input focus, the driver resets the key state to X's own keyboard, on which the
// injected key was never pressed; a key reset so is pressed again.
void HoldDown(WORD vk) {
    for (int tries = 0; tries < 20; ++tries) {
        KeyDown(vk);
        Settle();
        if (GetAsyncKeyState(vk) & 0x8000) return;
    }
}

} // namespace

void KeyDown(WORD vk) {
    Send(vk, false);
}
void KeyUp(WORD vk) {
    Send(vk, true);
}

void ReleaseKeys(std::initializer_list<WORD> keys) {
    for (WORD k : keys)
        KeyUp(k);
    Settle();
}

bool PressChord(WORD held, WORD trigger, const std::function<bool()>& until, DWORD timeoutMs) {
    if (held) HoldDown(held);
    KeyDown(trigger);
    const bool seen = WaitFor(until, timeoutMs);
    KeyUp(trigger);
    if (held) KeyUp(held);
    Settle();
    return seen;
}

void TapChord(WORD held, WORD trigger) {
    if (held) HoldDown(held);
    HoldDown(trigger);
    KeyUp(trigger);
    if (held) KeyUp(held);
    Settle();
}

} // namespace testsupport
