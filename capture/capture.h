// Browser acquisition and capture.
#pragma once
#include <windows.h>

DWORD WINAPI AcquireBrowser(LPVOID);
DWORD WINAPI CaptureBrowser(LPVOID);
