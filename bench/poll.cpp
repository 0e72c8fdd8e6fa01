// The chord poll loop: polls per second and CPU share while idle, the cost of one
// poll, and the latency from an injected key-down to the first instruction of the
// chord's handler thread. Prints figures only.
//
// The latency is measured twice: with the key injected by the polling thread itself,
// and by another thread, as keys from outside the program arrive. Under Wine the two
// differ: a thread's GetAsyncKeyState answers from a per-thread copy of the key state
// for up to 50 ms unless that thread itself sent input meanwhile.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/handles.h"
#include "hotkeys/hotkeys.h"

namespace {

constexpr DWORD kIdleMs = 5000;
constexpr int kPresses = 250;
constexpr int32_t kProbeKey = VK_END;
constexpr int32_t kProbeId = 1000008; // End is the eighth of the program's chords

double Frequency() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
}
const double kTicksPerMs = Frequency() / 1000.0;

int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

std::atomic<int64_t> HandlerStart{0};

DWORD WINAPI Probe(LPVOID) {
    HandlerStart.store(Now(), std::memory_order_release);
    return 0;
}
DWORD WINAPI Idle(LPVOID) {
    return 0;
}

void PumpPending() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Runs the message loop until done() holds or maxMs have passed; false on time-out.
bool PumpUntil(const std::function<bool()>& done, double maxMs) {
    const int64_t start = Now();
    while (!done()) {
        const double left = maxMs - static_cast<double>(Now() - start) / kTicksPerMs;
        if (left <= 0) return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(std::min(left, 1.0) + 0.5),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        PumpPending();
    }
    return true;
}

// The message loop alone for ms milliseconds, as the program's idle loop.
void PumpFor(double ms) {
    const int64_t end = Now() + static_cast<int64_t>(ms * kTicksPerMs);
    for (;;) {
        const int64_t left = end - Now();
        if (left <= 0) return;
        MsgWaitForMultipleObjectsEx(0, nullptr,
                                    static_cast<DWORD>(static_cast<double>(left) / kTicksPerMs) + 1,
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        PumpPending();
    }
}

void SendProbeKey(bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = static_cast<WORD>(kProbeKey);
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(kProbeKey, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &in, sizeof in);
}

bool ProbeReleased() {
    const auto e = ReadHotkeyEntry(kProbeId);
    return e && e->latch == 0;
}

uint64_t ProcessCpu100ns() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& f) {
        return (uint64_t{f.dwHighDateTime} << 32) | f.dwLowDateTime;
    };
    return value(kernel) + value(user);
}

// A small deterministic generator for the pauses between presses, so that presses
// fall at every phase of the poll timer.
uint32_t NextRandom() {
    static uint32_t state = 12345;
    state = state * 1103515245u + 12345u;
    return state >> 8;
}
double RandomMs(double maxMs) {
    return static_cast<double>(NextRandom() % 1000) / 1000.0 * maxMs;
}

struct Figures {
    int presses = 0;
    int missed = 0;
    double median = 0, p99 = 0, max = 0;
};

Figures Summarise(std::vector<double> ms, int missed) {
    Figures f;
    f.presses = static_cast<int>(ms.size());
    f.missed = missed;
    if (ms.empty()) return f;
    std::sort(ms.begin(), ms.end());
    f.median = ms[ms.size() / 2];
    f.p99 = ms[static_cast<size_t>(std::ceil(0.99 * static_cast<double>(ms.size()))) - 1];
    f.max = ms.back();
    return f;
}

void Print(const char* what, const Figures& f) {
    std::printf("latency key-down -> handler, %s: %d presses, median %.2f ms, p99 %.2f ms, "
                "max %.2f ms%s\n",
                what, f.presses, f.median, f.p99, f.max, f.missed ? " (some presses missed)" : "");
    if (f.missed) std::printf("  presses without a firing within 1 s: %d\n", f.missed);
}

// Presses injected by this, the polling, thread.
Figures MeasureFromPollingThread() {
    std::vector<double> ms;
    int missed = 0;
    for (int i = 0; i < kPresses; ++i) {
        PumpFor(RandomMs(15));
        HandlerStart.store(0);
        const int64_t down = Now();
        SendProbeKey(false);
        if (PumpUntil([] { return HandlerStart.load(std::memory_order_acquire) != 0; }, 1000))
            ms.push_back(static_cast<double>(HandlerStart.load() - down) / kTicksPerMs);
        else
            ++missed;
        SendProbeKey(true);
        PumpUntil(ProbeReleased, 1000);
    }
    return Summarise(std::move(ms), missed);
}

// Presses and releases injected by another thread, like keys from another program.
struct Injector {
    UniqueKernelHandle press{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle release{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    UniqueKernelHandle stop{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int64_t> downAt{0};
};

DWORD WINAPI InjectorThread(LPVOID param) {
    auto* in = static_cast<Injector*>(param);
    const HANDLE events[] = {in->press.get(), in->release.get(), in->stop.get()};
    for (;;) {
        const DWORD w = WaitForMultipleObjects(3, events, FALSE, INFINITE);
        if (w == WAIT_OBJECT_0) {
            in->downAt.store(Now(), std::memory_order_release);
            SendProbeKey(false);
        } else if (w == WAIT_OBJECT_0 + 1) {
            SendProbeKey(true);
        } else {
            return 0;
        }
    }
}

Figures MeasureFromOtherThread() {
    Injector in;
    UniqueKernelHandle thread(CreateThread(nullptr, 0, InjectorThread, &in, 0, nullptr));
    std::vector<double> ms;
    int missed = 0;
    if (!thread) return Summarise(ms, kPresses);
    for (int i = 0; i < kPresses; ++i) {
        PumpFor(RandomMs(60));
        HandlerStart.store(0);
        in.downAt.store(0);
        SetEvent(in.press.get());
        if (PumpUntil([] { return HandlerStart.load(std::memory_order_acquire) != 0; }, 1000))
            ms.push_back(static_cast<double>(HandlerStart.load() - in.downAt.load()) / kTicksPerMs);
        else
            ++missed;
        SetEvent(in.release.get());
        PumpUntil(ProbeReleased, 1000);
    }
    SetEvent(in.stop.get());
    WaitForSingleObject(thread.get(), 5000);
    return Summarise(std::move(ms), missed);
}

} // namespace

int main() {
    CreateHotkeyRegistry();
    // The program's ten chords; End's handler is the probe.
    const struct {
        int32_t key, second;
    } chords[] = {{VK_DELETE, 0},     {'X', 'Z'},        {VK_NUMPAD5, 'F'}, {VK_DIVIDE, 'F'},
                  {VK_MULTIPLY, 'F'}, {VK_NUMPAD3, 'F'}, {VK_NUMPAD0, 'F'}, {VK_END, 0},
                  {'V', 'Z'},         {'F', 'Z'}};
    for (const auto& c : chords)
        RegisterChord(c.key == kProbeKey ? Probe : Idle, c.key, 0, c.second);

    // Idle: nothing but the message loop and the poll timer.
    PumpFor(100); // let the timer settle
    const uint32_t polls0 = ChordPollCount();
    const uint64_t cpu0 = ProcessCpu100ns();
    const int64_t t0 = Now();
    PumpFor(kIdleMs);
    const double seconds = static_cast<double>(Now() - t0) / kTicksPerMs / 1000.0;
    const uint32_t polls = ChordPollCount() - polls0;
    const double cpuSeconds = static_cast<double>(ProcessCpu100ns() - cpu0) / 1e7;
    std::printf("idle %.2f s: %u polls, %.1f polls/s, CPU %.2f %% of one core\n", seconds, polls,
                polls / seconds, 100.0 * cpuSeconds / seconds);

    // One poll on its own (no key down, nothing fires).
    constexpr int kDirectPolls = 2000;
    const int64_t p0 = Now();
    for (int i = 0; i < kDirectPolls; ++i)
        PollChords();
    std::printf("one poll (255 GetAsyncKeyState calls): %.1f us\n",
                static_cast<double>(Now() - p0) / kTicksPerMs * 1000.0 / kDirectPolls);

    // What a firing adds to the poll's own delay: CreateThread to the first instruction.
    {
        std::vector<double> ms;
        for (int i = 0; i < kPresses; ++i) {
            HandlerStart.store(0);
            const int64_t start = Now();
            DWORD id = 0;
            UniqueKernelHandle t(CreateThread(nullptr, 0, Probe, nullptr, 0, &id));
            if (t &&
                PumpUntil([] { return HandlerStart.load(std::memory_order_acquire) != 0; }, 1000))
                ms.push_back(static_cast<double>(HandlerStart.load() - start) / kTicksPerMs);
        }
        const Figures f = Summarise(std::move(ms), 0);
        std::printf("thread start alone (CreateThread -> first instruction): median %.2f ms, p99 "
                    "%.2f ms\n",
                    f.median, f.p99);
    }

    Print("injected on the polling thread", MeasureFromPollingThread());
    Print("injected on another thread", MeasureFromOtherThread());

    SendProbeKey(true);
    ReleaseHotkeyRegistry();
    return 0;
}
