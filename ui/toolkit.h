// The window toolkit: windows built from templates, their controls and the
// properties through which the rest of the program reads and writes them.
//
// Property reads and writes may come from any thread. Window texts go through
// GetWindowTextA/SetWindowTextA, so a call for a control of another thread waits
// until that thread handles it. A read of a control whose window is not loaded
// gives the empty value and a write does nothing.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

using Handler = void (*)();

enum class ControlKind { Label, Button, Edit, Combo, Picture, Timer, Slider, Group };
enum class Border { None, Fixed };

// COLORREF that stands for the system's button-face colour.
constexpr COLORREF kButtonFace = 0xff000000;

struct FontSpec {
    const char* face; // nullptr: the default face
    int height;       // LOGFONT height (negative: character height in pixels)
    int weight;
    int charset;
};

struct ControlTemplate {
    const char* name;
    ControlKind kind;
    int left, top, width, height;
    const char* container = nullptr; // name of the group box that holds it
    const char* caption = nullptr;   // nullptr: the kind's default ("按钮", "标签", empty)
    int period = 0;                  // timer
    bool dropDownList = false;       // combo box: CBS_DROPDOWNLIST instead of CBS_DROPDOWN
    int rangeMin = 0, rangeMax = 100, position = 0, pageSize = 10, lineSize = 1; // slider
    bool sunken = false;                         // picture box: WS_EX_CLIENTEDGE
    const FontSpec* font = nullptr;              // nullptr: the toolkit's default font
    COLORREF textColour = 0;                     // label text
    COLORREF background = kButtonFace;           // label background
    LPCSTR cursor = nullptr;                     // nullptr: the class cursor
    std::vector<uint8_t> (*picture)() = nullptr; // initial picture bytes
    Handler clicked = nullptr;                   // button
    Handler periodic = nullptr;                  // timer
    Handler leftDown = nullptr;                  // picture box: left button pressed
    Handler feedback = nullptr;                  // label: the pointer is over it (WM_SETCURSOR)
};

struct WindowTemplate {
    const char* name;    // the window's name in the program, for error texts
    const char* caption; // title bar text
    int width, height;   // outer size
    Border border;
    bool minimiseBox, maximiseBox, controlBox;
    bool centred, escCloses, inTaskbar, dragAnywhere, alwaysOnTop;
    Handler created; // runs once the window and all its controls exist
    const ControlTemplate* controls;
    size_t controlCount;
};

struct WindowState; // the toolkit's run-time state of a loaded window

// A window of the program: its template and, while loaded, its state.
class Window {
  public:
    explicit Window(const WindowTemplate& t) : tpl(t) {}
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    const WindowTemplate& tpl;
    // Set while the window is loaded; read and written only under the toolkit's lock.
    std::shared_ptr<WindowState> state;
};

// Loads the window on the calling thread. Already loaded (or loading): restores
// or activates it and returns at once, modal or not. Modal: disables the other
// loaded windows, runs a message loop until this window is closed, then gives
// each window its former enabled state back. Returns false if it could not be
// created.
bool Load(Window& w, bool modal = false);
// Posts a close request; the window goes when its thread handles it.
void Destroy(Window& w);
bool IsLoaded(Window& w);
HWND Handle(Window& w);

// Runs when the program ends (by Exit or by the end of the message loop).
void SetCleanUp(void (*cleanUp)());
// Clean-up, then ExitProcess(code).
[[noreturn]] void Exit(int code);
// The program's start: loads the start window (an error box and exit code -1 if
// it cannot be loaded), runs the message loop of this thread until the last
// window of the program has gone, runs the clean-up and returns 0.
int Run(Window& start);
// The user-interface thread's message loop on its own (Run uses it).
void RunMessageLoop();

// Window properties.
void SetVisible(Window& w, bool visible);
bool IsVisible(Window& w);
void SetAlwaysOnTop(Window& w, bool on);

// Control properties, the control named by its template name.
std::string GetText(Window& w, const char* control); // caption or text
void SetText(Window& w, const char* control, const std::string& text);
int GetPeriod(Window& w, const char* control); // timer
void SetPeriod(Window& w, const char* control, int period);
void AddItem(Window& w, const char* control, const std::string& text, int32_t value); // combo
void ClearItems(Window& w, const char* control);
int32_t GetItemValue(Window& w, const char* control, int index); // -1 (CB_ERR) if none
std::vector<uint8_t> GetPicture(Window& w, const char* control); // picture box
void SetPicture(Window& w, const char* control, std::vector<uint8_t> bytes);
void SetTextColour(Window& w, const char* control, COLORREF colour); // label
int GetPosition(Window& w, const char* control);                     // slider
HWND ControlHandle(Window& w, const char* control);

} // namespace ui
