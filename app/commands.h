// Start-up, clean-up and the small commands of MainWindow.
#pragma once
#include <windows.h>

void CleanUp();
void RegisterProgramChords();
void OnMainWindowCreated();
DWORD WINAPI ToggleMainWindow(LPVOID);
void ToggleAlwaysOnTop();
void ApplyTransparency();
void OpenCalculator();
void OpenHelp();
void OnHelpWindowCreated();
void CloseHelpWindow();
void ExitProgram();
void TrimWorkingSet();
void IdleTick();
