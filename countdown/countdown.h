// The countdown: its chords, the overlay that shows it and the time-up window.
#pragma once
#include <windows.h>

DWORD WINAPI StartFiveMinuteCountdown(LPVOID);
DWORD WINAPI StartThreeMinuteCountdown(LPVOID);
DWORD WINAPI AddMinuteChord(LPVOID);
DWORD WINAPI SubtractMinuteChord(LPVOID);
DWORD WINAPI StopCountdownChord(LPVOID);

void OnCountdownOverlayCreated();
void OverlayFeedback();
void OnTimeUpWindowCreated();
void KeepTimeUpInFront();
void CloseTimeUpWindow();
void OpenTimeUpWindow();
