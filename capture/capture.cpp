#include "capture/capture.h"

// Finding and capturing the browser window is not built yet: these chords do nothing.
DWORD WINAPI AcquireBrowser(LPVOID) {
    return 0;
}
DWORD WINAPI CaptureBrowser(LPVOID) {
    return 0;
}
