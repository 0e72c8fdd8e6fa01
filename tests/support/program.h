// The real Tenvaro.exe, started by a test and read from outside.
#pragma once
#include "support/process.h"

#include <windows.h>

#include <string>

namespace testsupport {

// Ends the program, and whatever it started (a calculator), when it goes.
class RunningProgram {
  public:
    RunningProgram() = default;
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();

    // Starts the program (build/Tenvaro.exe unless told otherwise) and waits until
    // MainWindow and CountdownOverlay are shown and start-up has finished.
    bool Start(const std::string& exe = ProgramPath());
    DWORD Id() const { return process_.Id(); }
    Process& process() { return process_; }

    HWND main = nullptr;
    HWND overlay = nullptr;

    // A control of MainWindow by its template name.
    HWND Control(const char* name) const;
    std::string Text(const char* name) const { return WindowText(Control(name)); }
    void SetText(const char* name, const std::string& text) const;
    std::string OverlayText() const;
    // Clicks a button of MainWindow without waiting for its handler to return.
    void Click(const char* name) const;
    // Clicks a button of MainWindow and returns once its handler has run.
    void ClickAndWait(const char* name) const;

    // TimeUpWindow once it is shown, or 0.
    HWND WaitForTimeUp(DWORD timeoutMs = 10000) const;
    // The program's message box once it is shown, or 0; text gives its message.
    HWND WaitForMessageBox(DWORD timeoutMs = 10000) const;
    static std::string MessageText(HWND box);
    // Threads of the process at the moment.
    int ThreadCount() const;

  private:
    Process process_;
};

} // namespace testsupport
