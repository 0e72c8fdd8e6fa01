// Delivery of the clipboard into a chat window.
#pragma once
#include <windows.h>

DWORD WINAPI DeliverToChat(LPVOID);
DWORD WINAPI CaptureAndDeliver(LPVOID);
