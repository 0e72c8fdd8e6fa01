// Synthetic keyboard input for tests that drive the real program from outside.
//
// Under Wine another process sees injected keys in GetAsyncKeyState only once its
// per-thread key-state cache expires (up to about 50 ms), and the program polls the
// keyboard every 10 ms without any outward sign of a poll. A key must therefore stay
// down, or up, for kKeySettleMs before the program can be relied on to have seen it.
// When a window gains the focus, Wine's X11 driver also resets the key state to that
// of the X keyboard, releasing injected keys; held keys are checked and pressed again.
#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>

namespace testsupport {

constexpr DWORD kKeySettleMs = 150;

void KeyDown(WORD vk);
void KeyUp(WORD vk);
// Releases the keys and waits until the program can have seen them up.
void ReleaseKeys(std::initializer_list<WORD> keys);
// Holds `held` (0 for none), presses `trigger`, keeps both down until `until`
// holds (or timeoutMs passes), then releases them. Returns whether `until` held.
bool PressChord(WORD held, WORD trigger, const std::function<bool()>& until,
                DWORD timeoutMs = 10000);
// The same for a chord whose effect cannot be seen: the keys stay down for the
// settling time.
void TapChord(WORD held, WORD trigger);

} // namespace testsupport
