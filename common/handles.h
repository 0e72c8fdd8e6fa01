// One owner per handle kind: every path releases what it made.
#pragma once
#include <windows.h>

#include <utility>

template <class H, class Traits> class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::Invalid()));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    H release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(H h = Traits::Invalid()) {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }

  private:
    H h_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// Process, thread and event handles (null when absent).
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

struct SnapshotTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
// Tool Help snapshots and files (INVALID_HANDLE_VALUE when absent).
using UniqueFileLikeHandle = UniqueHandle<HANDLE, SnapshotTraits>;

struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
using UniqueGdiObject = UniqueHandle<HGDIOBJ, GdiObjectTraits>;

struct LibraryTraits {
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
using UniqueLibrary = UniqueHandle<HMODULE, LibraryTraits>;

struct GlobalTraits {
    static HGLOBAL Invalid() { return nullptr; }
    static void Close(HGLOBAL h) { GlobalFree(h); }
};
// A global block; release() it once the clipboard has accepted it.
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalTraits>;

struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;

// A window's device context from GetDC / GetWindowDC, given back with ReleaseDC.
class WindowDc {
  public:
    explicit WindowDc(HWND w, bool wholeWindow = false)
        : w_(w), dc_(wholeWindow ? GetWindowDC(w) : GetDC(w)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(w_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND w_;
    HDC dc_;
};

// An object selected into a DC, put back on every path.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// A global block locked for the life of the guard.
class LockedGlobal {
  public:
    explicit LockedGlobal(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (p_) GlobalUnlock(h_);
    }
    void* get() const { return p_; }

  private:
    HGLOBAL h_;
    void* p_;
};

// The clipboard, open for the life of the guard.
class OpenedClipboard {
  public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != 0) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    explicit operator bool() const { return open_; }

  private:
    bool open_;
};
