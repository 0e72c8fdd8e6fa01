// Shared Win32 helpers of the whole program.
#pragma once
#include <windows.h>

#include <string>

// Makes the window layered (its extended style becomes exactly WS_EX_LAYERED)
// with a constant opacity; an alpha outside 0..255 counts as 255. Does nothing
// where user32 has no SetLayeredWindowAttributes.
void SetWindowAlpha(HWND window, int alpha);

// true: SetForegroundWindow, then into the topmost band; false: out of it.
// Results are not tested; 0 or -1 as handle make the calls fail harmlessly.
void SetWindowTopmost(HWND window, bool topmost);

// The program's one message box: no owner, caption "信息：", OK, task-modal.
// Blocks only the calling thread.
void ShowMessage(const std::string& text);

// Starts routine(param) on a new thread and closes the thread's handle at once.
// Returns false when the thread could not be started.
bool StartWorkerThread(LPTHREAD_START_ROUTINE routine, void* param = nullptr);

// The directory of the program's executable, without a trailing backslash.
std::string RunDirectory();
