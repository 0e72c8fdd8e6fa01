#include "messenger/messenger.h"

// Delivery to the messenger is not built yet: these chords do nothing.
DWORD WINAPI DeliverToChat(LPVOID) {
    return 0;
}
DWORD WINAPI CaptureAndDeliver(LPVOID) {
    return 0;
}
