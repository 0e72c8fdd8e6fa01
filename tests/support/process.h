// Helpers for tests that drive other processes and wait on the desktop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// Polls pred every few milliseconds until it holds or timeoutMs has passed,
// pumping this thread's messages meanwhile. Returns whether it held.
bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs = 10000);

// A started process, ended by its id when the owner goes.
class Process {
  public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { End(); }

    // Starts the command line; returns false if CreateProcess fails.
    bool Start(const std::string& commandLine, const std::string& directory = "");
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Handle() const { return pi_.hProcess; }
    // Waits for the process to end; gives its exit code, or STILL_ACTIVE.
    DWORD WaitExit(DWORD timeoutMs = 10000);
    bool Running() const;
    // Terminates the process by its id if it still runs, and closes the handles.
    void End();

  private:
    PROCESS_INFORMATION pi_{};
};

// Processes whose parent is the given process.
std::vector<DWORD> ChildProcesses(DWORD parent);
// Terminates the process if it still runs and waits (bounded) until it has gone.
void EndProcessById(DWORD pid);

// The first top-level window of the process (0 for any) whose class and title
// match (empty for any), waiting up to timeoutMs; 0 if none appeared.
HWND WaitForWindow(DWORD processId, const std::string& className, const std::string& title,
                   DWORD timeoutMs = 10000, bool visibleOnly = true);
HWND FindWindowOf(DWORD processId, const std::string& className, const std::string& title,
                  bool visibleOnly = true);

std::string WindowText(HWND w);
// The child control of a top-level window by its control text and class.
HWND FindChild(HWND parent, const std::string& className, const std::string& text);

// Directory of the test executable and of the built program.
std::string TestDirectory();
std::string ProgramPath(); // build/Tenvaro.exe
std::string FixturePath(const std::string& exeName);

} // namespace testsupport
