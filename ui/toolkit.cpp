#include "ui/toolkit.h"

#include "common/bmp.h"
#include "common/handles.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <utility>

namespace ui {

// Run-time state of one control of a loaded window. Fields that other threads
// read or write are atomic or guarded by pictureLock.
struct ControlState {
    const ControlTemplate* t = nullptr;
    WindowState* window = nullptr;
    std::atomic<HWND> hwnd{nullptr};
    std::atomic<int> period{0};
    std::atomic<int> position{0};
    std::atomic<COLORREF> colour{0};
    std::mutex pictureLock;
    std::shared_ptr<const std::vector<uint8_t>> picture;
    WNDPROC baseProc = nullptr; // the class procedure under our subclass
    UniqueGdiObject font;       // a font of the control's own, if it names one
    UniqueGdiObject background; // label background brush, if not button face
};

struct WindowState {
    Window* window = nullptr;
    std::shared_ptr<WindowState> self; // keeps the state alive while its HWND exists
    std::atomic<HWND> hwnd{nullptr};
    HWND hiddenOwner = nullptr;
    DWORD thread = 0;
    std::atomic<bool> closed{false};
    std::atomic<bool> topmost{false};
    std::vector<std::unique_ptr<ControlState>> controls; // fixed once created
    UniqueGdiObject defaultFont;
};

namespace {

constexpr UINT kCloseRequest = WM_APP + 0x101;
constexpr UINT kApplyPeriod = WM_APP + 0x102;
constexpr UINT_PTR kTimerId = 1;
constexpr int kFirstControlId = 1000;
const char kWindowClass[] = "TenvaroWindow";
const char kOwnerClass[] = "TenvaroOwner";
const char kPictureClass[] = "TenvaroPicture";
const char kTimerClass[] = "TenvaroTimer";
const char kControlProp[] = "TenvaroControl";

std::mutex gLock; // guards every Window::state and gLoaded
std::vector<std::shared_ptr<WindowState>> gLoaded;
std::atomic<DWORD> gUiThread{0};
std::atomic<void (*)()> gCleanUp{nullptr};
std::atomic<bool> gCleanedUp{false};

template <class F> void Guarded(F&& f) {
    try {
        f();
    } catch (...) {
        // Nothing may unwind through user32's frames.
    }
}

void Invoke(Handler h) {
    if (h) Guarded(h);
}

std::shared_ptr<WindowState> StateOf(Window& w) {
    std::lock_guard<std::mutex> g(gLock);
    return w.state;
}

ControlState* FindControl(WindowState& s, const char* name) {
    for (auto& c : s.controls)
        if (std::strcmp(c->t->name, name) == 0) return c.get();
    return nullptr;
}

// The control of a loaded window with its state kept alive by the result.
struct ControlRef {
    std::shared_ptr<WindowState> window;
    ControlState* control = nullptr;
    explicit operator bool() const { return control != nullptr; }
    HWND hwnd() const { return control ? control->hwnd.load() : nullptr; }
};

ControlRef Ref(Window& w, const char* name) {
    ControlRef r;
    r.window = StateOf(w);
    if (r.window && name) r.control = FindControl(*r.window, name);
    return r;
}

ControlState* ControlFromHwnd(HWND h) {
    return h ? static_cast<ControlState*>(GetPropA(h, kControlProp)) : nullptr;
}

WindowState* WindowFromHwnd(HWND h) {
    if (!h) return nullptr;
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::strcmp(cls, kWindowClass) != 0) return nullptr;
    return reinterpret_cast<WindowState*>(GetWindowLongPtrA(h, GWLP_USERDATA));
}

void RunCleanUp() {
    if (gCleanedUp.exchange(true)) return;
    if (auto f = gCleanUp.load()) Guarded(f);
}

void ApplyPeriod(ControlState& c) {
    HWND h = c.hwnd.load();
    if (!h) return;
    KillTimer(h, kTimerId);
    const int p = c.period.load();
    if (p > 0) SetTimer(h, kTimerId, static_cast<UINT>(p), nullptr);
}

void StartDrag(HWND top) {
    ReleaseCapture();
    PostMessageA(top, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Messages that the parent gets for a child and hands to that child's handling.
bool Reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND: {
        ControlState* c = ControlFromHwnd(reinterpret_cast<HWND>(lp));
        if (c && c->t->kind == ControlKind::Button && HIWORD(wp) == BN_CLICKED) {
            Invoke(c->t->clicked);
            result = 0;
            return true;
        }
        return false;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        ControlState* c = ControlFromHwnd(reinterpret_cast<HWND>(lp));
        if (c && c->t->kind == ControlKind::Slider) {
            c->position = static_cast<int>(SendMessageA(c->hwnd.load(), TBM_GETPOS, 0, 0));
            result = 0;
            return true;
        }
        return false;
    }
    case WM_CTLCOLORSTATIC: {
        ControlState* c = ControlFromHwnd(reinterpret_cast<HWND>(lp));
        if (!c || c->t->kind != ControlKind::Label) return false;
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, c->colour.load());
        if (c->background) {
            SetBkColor(dc, c->t->background);
            result = reinterpret_cast<LRESULT>(c->background.get());
        } else {
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return true;
    }
    default:
        return false;
    }
}

void PaintPicture(HWND h, ControlState* c) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT rc;
    GetClientRect(h, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    std::shared_ptr<const std::vector<uint8_t>> bytes;
    if (c) {
        std::lock_guard<std::mutex> g(c->pictureLock);
        bytes = c->picture;
    }
    BmpLayout l;
    if (bytes && ParseBmp(bytes->data(), bytes->size(), l)) {
        const auto* info = reinterpret_cast<const BITMAPINFO*>(bytes->data() + l.infoOffset);
        StretchDIBits(dc, 0, 0, l.width, l.height, 0, 0, l.width, l.height,
                      bytes->data() + l.pixelOffset, info, DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(h, &ps);
}

// Esc closes a window whose template says so, unless the focused control uses
// the key itself (it asks for all keys, or it is a combo box with its list open).
bool TakesEscape(HWND h, WNDPROC base, WPARAM wp, LPARAM lp) {
    MSG m{h, WM_KEYDOWN, wp, lp, 0, {}};
    const LRESULT code =
        base ? CallWindowProcA(base, h, WM_GETDLGCODE, wp, reinterpret_cast<LPARAM>(&m)) : 0;
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return true;
    for (HWND w = h; w; w = GetParent(w)) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpiA(cls, "COMBOBOX") == 0) return SendMessageA(w, CB_GETDROPPEDSTATE, 0, 0) != 0;
        if (GetWindowLongA(w, GWL_STYLE) & WS_POPUP) break;
    }
    return false;
}

bool EscapeCloses(HWND h, WNDPROC base, WPARAM wp, LPARAM lp) {
    if (wp != VK_ESCAPE) return false;
    HWND top = GetAncestor(h, GA_ROOT);
    WindowState* ws = WindowFromHwnd(top);
    if (!ws || !ws->window->tpl.escCloses || TakesEscape(h, base, wp, lp)) return false;
    PostMessageA(top, WM_CLOSE, 0, 0);
    return true;
}

const char kBaseProcProp[] = "TenvaroBaseProc";

// The edit field inside an editable combo box gets the keys itself.
LRESULT CALLBACK ComboEditProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto base = reinterpret_cast<WNDPROC>(GetPropA(h, kBaseProcProp));
    if (msg == WM_KEYDOWN && EscapeCloses(h, base, wp, lp)) return 0;
    if (msg == WM_NCDESTROY) RemovePropA(h, kBaseProcProp);
    return base ? CallWindowProcA(base, h, msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
}

LRESULT ControlMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp, ControlState* c) {
    const ControlKind kind = c->t->kind;
    WindowState* ws = c->window;
    switch (msg) {
    case WM_KEYDOWN:
        if (EscapeCloses(h, c->baseProc, wp, lp)) return 0;
        break;
    case WM_LBUTTONDOWN:
        if (kind == ControlKind::Picture) Invoke(c->t->leftDown);
        if ((kind == ControlKind::Label || kind == ControlKind::Picture ||
             kind == ControlKind::Group) &&
            ws->window->tpl.dragAnywhere) {
            StartDrag(GetAncestor(h, GA_ROOT));
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (kind == ControlKind::Label) {
            Invoke(c->t->feedback);
            if (c->t->cursor) {
                SetCursor(LoadCursorA(nullptr, c->t->cursor));
                return TRUE;
            }
        }
        break;
    case WM_NCHITTEST:
        // A group box lets clicks through to its parent; in a drag-anywhere window
        // it is a handle for moving the window like the client area.
        if (kind == ControlKind::Group) return HTCLIENT;
        break;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
        if (kind == ControlKind::Group) {
            LRESULT r = 0;
            if (Reflect(msg, wp, lp, r)) return r;
        }
        break;
    case WM_TIMER:
        if (kind == ControlKind::Timer && wp == kTimerId) {
            if (c->period.load() > 0) Invoke(c->t->periodic);
            return 0;
        }
        break;
    case kApplyPeriod:
        if (kind == ControlKind::Timer) {
            ApplyPeriod(*c);
            return 0;
        }
        break;
    case WM_PAINT:
        if (kind == ControlKind::Picture) {
            PaintPicture(h, c);
            return 0;
        }
        break;
    case WM_ERASEBKGND:
        if (kind == ControlKind::Picture) return 1;
        break;
    case WM_NCDESTROY: {
        c->hwnd = nullptr;
        RemovePropA(h, kControlProp);
        WNDPROC base = c->baseProc;
        if (kind == ControlKind::Timer) KillTimer(h, kTimerId);
        return base ? CallWindowProcA(base, h, msg, wp, lp) : DefWindowProcA(h, msg, wp, lp);
    }
    default:
        break;
    }
    return c->baseProc ? CallWindowProcA(c->baseProc, h, msg, wp, lp)
                       : DefWindowProcA(h, msg, wp, lp);
}

LRESULT CALLBACK ControlProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    ControlState* c = ControlFromHwnd(h);
    if (!c) return DefWindowProcA(h, msg, wp, lp);
    LRESULT r = 0;
    Guarded([&] { r = ControlMessage(h, msg, wp, lp, c); });
    return r;
}

void WindowGone(HWND h, WindowState* ws) {
    std::shared_ptr<WindowState> keep = std::move(ws->self);
    bool last = false;
    {
        std::lock_guard<std::mutex> g(gLock);
        if (ws->window->state.get() == ws) ws->window->state.reset();
        const auto gone = std::remove_if(gLoaded.begin(), gLoaded.end(),
                                         [&](const auto& p) { return p.get() == ws; });
        const bool wasLoaded = gone != gLoaded.end();
        gLoaded.erase(gone, gLoaded.end());
        last = wasLoaded && gLoaded.empty();
    }
    ws->hwnd = nullptr;
    ws->closed = true;
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    if (ws->hiddenOwner) DestroyWindow(ws->hiddenOwner);
    if (last) {
        // The program ends with its last window: the user-interface thread's loop
        // stops, and the clean-up runs after it.
        const DWORD ui = gUiThread.load();
        if (ui) {
            PostThreadMessageA(ui, WM_QUIT, 0, 0);
        } else {
            PostQuitMessage(0);
        }
    }
}

LRESULT WindowMessage(HWND h, UINT msg, WPARAM wp, LPARAM lp, WindowState* ws) {
    LRESULT r = 0;
    if (Reflect(msg, wp, lp, r)) return r;
    switch (msg) {
    case WM_KEYDOWN:
        if (EscapeCloses(h, nullptr, wp, lp)) return 0;
        break;
    case WM_LBUTTONDOWN:
        if (ws->window->tpl.dragAnywhere) {
            StartDrag(h);
            return 0;
        }
        break;
    case kCloseRequest:
        DestroyWindow(h);
        return 0;
    case WM_NCDESTROY:
        WindowGone(h, ws);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(h, msg, wp, lp);
}

LRESULT CALLBACK WindowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* ws = static_cast<WindowState*>(cs->lpCreateParams);
        SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(ws));
        ws->hwnd = h;
    }
    auto* ws = reinterpret_cast<WindowState*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (!ws) return DefWindowProcA(h, msg, wp, lp);
    LRESULT r = 0;
    Guarded([&] { r = WindowMessage(h, msg, wp, lp, ws); });
    return r;
}

LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(h, msg, wp, lp);
}

void RegisterClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        HINSTANCE inst = GetModuleHandleA(nullptr);
        WNDCLASSA wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = inst;
        wc.hIcon = LoadIconA(inst, MAKEINTRESOURCEA(1));
        if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kWindowClass;
        RegisterClassA(&wc);

        WNDCLASSA plain{};
        plain.lpfnWndProc = PlainProc;
        plain.hInstance = inst;
        plain.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        plain.lpszClassName = kOwnerClass;
        RegisterClassA(&plain);
        plain.lpszClassName = kTimerClass;
        RegisterClassA(&plain);
        plain.style = CS_HREDRAW | CS_VREDRAW;
        plain.lpszClassName = kPictureClass;
        RegisterClassA(&plain);
    });
}

HFONT MakeFont(const FontSpec& f) {
    LOGFONTA lf{};
    lf.lfHeight = f.height;
    lf.lfWeight = f.weight;
    lf.lfCharSet = static_cast<BYTE>(f.charset);
    lf.lfQuality = DEFAULT_QUALITY;
    if (f.face) lstrcpynA(lf.lfFaceName, f.face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

// The font of controls that name none: the usual Chinese UI face at 9 points.
const FontSpec kDefaultFont{"宋体", -12, FW_NORMAL, GB2312_CHARSET};

struct ChildClass {
    const char* cls;
    DWORD style;
    DWORD exStyle;
    const char* defaultCaption;
};

ChildClass ClassFor(const ControlTemplate& t) {
    switch (t.kind) {
    case ControlKind::Label:
        return {"STATIC", SS_LEFT | SS_NOTIFY, 0, "标签"};
    case ControlKind::Button:
        return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, "按钮"};
    case ControlKind::Edit:
        return {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, ""};
    case ControlKind::Combo:
        return {"COMBOBOX",
                static_cast<DWORD>((t.dropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN) |
                                   CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP),
                0, ""};
    case ControlKind::Picture:
        return {kPictureClass, 0, static_cast<DWORD>(t.sunken ? WS_EX_CLIENTEDGE : 0), ""};
    case ControlKind::Timer:
        return {kTimerClass, 0, 0, ""};
    case ControlKind::Slider:
        return {TRACKBAR_CLASSA, TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP, 0, ""};
    case ControlKind::Group:
        return {"BUTTON", BS_GROUPBOX, 0, ""};
    }
    return {"STATIC", 0, 0, ""};
}

bool CreateControl(WindowState& ws, size_t index) {
    ControlState& c = *ws.controls[index];
    const ControlTemplate& t = *c.t;
    HWND parent = ws.hwnd.load();
    if (t.container) {
        ControlState* box = FindControl(ws, t.container);
        if (!box || !box->hwnd.load()) return false;
        parent = box->hwnd.load();
    }
    const ChildClass k = ClassFor(t);
    const DWORD visible = t.kind == ControlKind::Timer ? 0 : WS_VISIBLE;
    // A combo box's window height includes its drop-down list.
    const int height = t.kind == ControlKind::Combo ? t.height + 200 : t.height;
    const char* caption = t.caption ? t.caption : k.defaultCaption;
    c.colour = t.textColour;
    c.period = t.period > 0 ? t.period : 0;
    c.position = t.position;
    if (t.kind == ControlKind::Label && t.background != kButtonFace)
        c.background.reset(CreateSolidBrush(t.background));
    HWND h = CreateWindowExA(k.exStyle, k.cls, caption, WS_CHILD | visible | k.style, t.left, t.top,
                             t.width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                             GetModuleHandleA(nullptr), nullptr);
    if (!h) return false;
    SetPropA(h, kControlProp, &c);
    c.baseProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
    c.hwnd = h;
    if (t.font) c.font.reset(MakeFont(*t.font));
    SendMessageA(h, WM_SETFONT,
                 reinterpret_cast<WPARAM>(c.font ? c.font.get() : ws.defaultFont.get()), FALSE);
    switch (t.kind) {
    case ControlKind::Slider:
        SendMessageA(h, TBM_SETRANGE, FALSE, MAKELPARAM(t.rangeMin, t.rangeMax));
        SendMessageA(h, TBM_SETPAGESIZE, 0, t.pageSize);
        SendMessageA(h, TBM_SETLINESIZE, 0, t.lineSize);
        SendMessageA(h, TBM_SETPOS, TRUE, t.position);
        c.position = static_cast<int>(SendMessageA(h, TBM_GETPOS, 0, 0));
        break;
    case ControlKind::Timer:
        ApplyPeriod(c);
        break;
    case ControlKind::Combo:
        if (HWND edit = GetWindow(h, GW_CHILD)) {
            SetPropA(edit, kBaseProcProp,
                     reinterpret_cast<HANDLE>(SetWindowLongPtrA(
                         edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ComboEditProc))));
        }
        break;
    case ControlKind::Picture:
        if (t.picture) {
            auto bytes = std::make_shared<const std::vector<uint8_t>>(t.picture());
            std::lock_guard<std::mutex> g(c.pictureLock);
            c.picture = std::move(bytes);
        }
        break;
    default:
        break;
    }
    return true;
}

HWND CreateTopLevel(WindowState& ws) {
    const WindowTemplate& t = ws.window->tpl;
    DWORD style = 0, ex = 0;
    if (t.border == Border::Fixed) {
        style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
        if (t.controlBox) style |= WS_SYSMENU;
        if (t.minimiseBox) style |= WS_MINIMIZEBOX;
        if (t.maximiseBox) style |= WS_MAXIMIZEBOX;
        ex |= WS_EX_DLGMODALFRAME;
    } else {
        style = WS_POPUP | WS_CLIPCHILDREN;
    }
    if (t.alwaysOnTop) ex |= WS_EX_TOPMOST;
    HWND owner = nullptr;
    if (!t.inTaskbar) {
        // An owned window gets no taskbar button; the owner itself is never shown.
        owner = CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        ws.hiddenOwner = owner;
    }
    int x = CW_USEDEFAULT, y = CW_USEDEFAULT;
    if (t.centred) {
        x = (GetSystemMetrics(SM_CXSCREEN) - t.width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - t.height) / 2;
    }
    return CreateWindowExA(ex, kWindowClass, t.caption ? t.caption : "", style, x, y, t.width,
                           t.height, owner, nullptr, GetModuleHandleA(nullptr), &ws);
}

void Dispatch(MSG& m) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
}

} // namespace

bool Load(Window& w, bool modal) {
    std::shared_ptr<WindowState> ws;
    {
        std::lock_guard<std::mutex> g(gLock);
        if (w.state) {
            ws = w.state;
        } else {
            ws = std::make_shared<WindowState>();
            ws->window = &w;
            ws->thread = GetCurrentThreadId();
            w.state = ws;
            ws = nullptr; // ours to create
        }
    }
    if (ws) {
        // Already loaded (or being loaded): bring the open one forward.
        if (HWND h = ws->hwnd.load()) {
            if (IsIconic(h)) {
                ShowWindow(h, SW_RESTORE);
            } else {
                SetForegroundWindow(h);
            }
        }
        return true;
    }
    ws = StateOf(w);
    RegisterClasses();
    const WindowTemplate& t = w.tpl;
    ws->topmost = t.alwaysOnTop;
    ws->defaultFont.reset(MakeFont(kDefaultFont));
    ws->controls.reserve(t.controlCount);
    for (size_t i = 0; i < t.controlCount; ++i) {
        auto c = std::make_unique<ControlState>();
        c->t = &t.controls[i];
        c->window = ws.get();
        ws->controls.push_back(std::move(c));
    }
    ws->self = ws;
    HWND h = CreateTopLevel(*ws);
    bool ok = h != nullptr;
    for (size_t i = 0; ok && i < ws->controls.size(); ++i)
        ok = CreateControl(*ws, i);
    if (ok) {
        // Only a window created whole counts as loaded, so that one that failed
        // does not end the program as it goes (the start-up error box must stay).
        std::lock_guard<std::mutex> g(gLock);
        gLoaded.push_back(ws);
    }
    if (!ok) {
        if (h) {
            DestroyWindow(h);
        } else {
            ws->self.reset();
            if (ws->hiddenOwner) DestroyWindow(ws->hiddenOwner);
            std::lock_guard<std::mutex> g(gLock);
            if (w.state == ws) w.state.reset();
        }
        return false;
    }
    if (t.alwaysOnTop) SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    Invoke(t.created);
    if (ws->closed) return true; // closed by its own creation handler

    if (!modal) {
        ShowWindow(h, SW_SHOW);
        return true;
    }

    std::vector<std::pair<HWND, bool>> disabled;
    {
        std::vector<HWND> others;
        {
            std::lock_guard<std::mutex> g(gLock);
            for (auto& o : gLoaded)
                if (o != ws && o->hwnd.load()) others.push_back(o->hwnd.load());
        }
        for (HWND o : others)
            disabled.emplace_back(o, EnableWindow(o, FALSE) == 0);
    }
    ShowWindow(h, SW_SHOW);
    MSG m;
    while (!ws->closed) {
        const BOOL got = GetMessageA(&m, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(m.wParam)); // for the outer loop
            break;
        }
        if (got < 0) break;
        Dispatch(m);
    }
    for (auto& [o, wasEnabled] : disabled)
        if (IsWindow(o)) EnableWindow(o, wasEnabled);
    return true;
}

void Destroy(Window& w) {
    if (auto ws = StateOf(w))
        if (HWND h = ws->hwnd.load()) PostMessageA(h, kCloseRequest, 0, 0);
}

bool IsLoaded(Window& w) {
    return StateOf(w) != nullptr;
}

HWND Handle(Window& w) {
    auto ws = StateOf(w);
    return ws ? ws->hwnd.load() : nullptr;
}

void SetCleanUp(void (*cleanUp)()) {
    gCleanUp = cleanUp;
}

void Exit(int code) {
    RunCleanUp();
    ExitProcess(static_cast<UINT>(code));
}

void RunMessageLoop() {
    gUiThread = GetCurrentThreadId();
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0)
        Dispatch(m);
}

int Run(Window& start) {
    gUiThread = GetCurrentThreadId();
    if (!Load(start, false)) {
        std::string text = "无法加载启动窗口 ";
        text += start.tpl.name;
        MessageBoxA(nullptr, text.c_str(), "信息：", MB_OK | MB_ICONERROR);
        RunCleanUp();
        ExitProcess(static_cast<UINT>(-1));
    }
    RunMessageLoop();
    RunCleanUp();
    return 0;
}

void SetVisible(Window& w, bool visible) {
    if (HWND h = Handle(w)) ShowWindow(h, visible ? SW_SHOW : SW_HIDE);
}

bool IsVisible(Window& w) {
    HWND h = Handle(w);
    return h && IsWindowVisible(h);
}

void SetAlwaysOnTop(Window& w, bool on) {
    auto ws = StateOf(w);
    HWND h = ws ? ws->hwnd.load() : nullptr;
    if (!h) return;
    constexpr UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ws->topmost = on;
    SetWindowPos(h, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (on) return;
    // Leaving the topmost band must not drop the program's floating windows
    // (always on top, no taskbar button) behind it.
    std::vector<HWND> floating;
    {
        std::lock_guard<std::mutex> g(gLock);
        for (auto& o : gLoaded)
            if (o != ws && o->topmost && !o->window->tpl.inTaskbar && o->hwnd.load())
                floating.push_back(o->hwnd.load());
    }
    for (HWND f : floating)
        SetWindowPos(f, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

std::string GetText(Window& w, const char* control) {
    ControlRef r = Ref(w, control);
    HWND h = r.hwnd();
    if (!h) return {};
    std::vector<char> buf(256);
    for (;;) {
        const int n = GetWindowTextA(h, buf.data(), static_cast<int>(buf.size()));
        if (n < static_cast<int>(buf.size()) - 1 || buf.size() >= (1u << 24))
            return std::string(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
        buf.resize(buf.size() * 4);
    }
}

void SetText(Window& w, const char* control, const std::string& text) {
    ControlRef r = Ref(w, control);
    if (HWND h = r.hwnd()) SetWindowTextA(h, text.c_str());
}

int GetPeriod(Window& w, const char* control) {
    ControlRef r = Ref(w, control);
    return r && r.control->t->kind == ControlKind::Timer ? r.control->period.load() : 0;
}

void SetPeriod(Window& w, const char* control, int period) {
    ControlRef r = Ref(w, control);
    if (!r || r.control->t->kind != ControlKind::Timer) return;
    if (period < 0) period = 0;
    if (r.control->period.exchange(period) == period) return;
    HWND h = r.hwnd();
    if (!h) return;
    // A timer belongs to the thread of its window: others ask that thread.
    if (GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId()) {
        ApplyPeriod(*r.control);
    } else {
        SendMessageA(h, kApplyPeriod, 0, 0);
    }
}

void AddItem(Window& w, const char* control, const std::string& text, int32_t value) {
    ControlRef r = Ref(w, control);
    HWND h = r.hwnd();
    if (!h || r.control->t->kind != ControlKind::Combo) return;
    const LRESULT i = SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (i >= 0) SendMessageA(h, CB_SETITEMDATA, static_cast<WPARAM>(i), value);
}

void ClearItems(Window& w, const char* control) {
    ControlRef r = Ref(w, control);
    HWND h = r.hwnd();
    if (h && r.control->t->kind == ControlKind::Combo) SendMessageA(h, CB_RESETCONTENT, 0, 0);
}

int32_t GetItemValue(Window& w, const char* control, int index) {
    ControlRef r = Ref(w, control);
    HWND h = r.hwnd();
    if (!h || r.control->t->kind != ControlKind::Combo) return CB_ERR;
    return static_cast<int32_t>(SendMessageA(h, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

std::vector<uint8_t> GetPicture(Window& w, const char* control) {
    ControlRef r = Ref(w, control);
    if (!r || r.control->t->kind != ControlKind::Picture) return {};
    std::lock_guard<std::mutex> g(r.control->pictureLock);
    return r.control->picture ? *r.control->picture : std::vector<uint8_t>{};
}

void SetPicture(Window& w, const char* control, std::vector<uint8_t> bytes) {
    ControlRef r = Ref(w, control);
    if (!r || r.control->t->kind != ControlKind::Picture) return;
    auto p = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    {
        std::lock_guard<std::mutex> g(r.control->pictureLock);
        r.control->picture = std::move(p);
    }
    if (HWND h = r.hwnd()) InvalidateRect(h, nullptr, TRUE);
}

void SetTextColour(Window& w, const char* control, COLORREF colour) {
    ControlRef r = Ref(w, control);
    if (!r || r.control->t->kind != ControlKind::Label) return;
    r.control->colour = colour == kButtonFace ? GetSysColor(COLOR_BTNFACE) : colour;
    if (HWND h = r.hwnd()) InvalidateRect(h, nullptr, TRUE);
}

int GetPosition(Window& w, const char* control) {
    ControlRef r = Ref(w, control);
    return r && r.control->t->kind == ControlKind::Slider ? r.control->position.load() : 0;
}

HWND ControlHandle(Window& w, const char* control) {
    return Ref(w, control).hwnd();
}

} // namespace ui
