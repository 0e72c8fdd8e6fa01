#include "hotkeys/hotkeys.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <new>
#include <type_traits>

#include "common/handles.h"

static_assert(std::is_same_v<ChordHandler, LPTHREAD_START_ROUTINE>,
              "a chord handler is started directly by CreateThread");

namespace {

constexpr UINT_PTR kPollTimerEvent = 6661;
constexpr UINT kDefaultPollInterval = 10;

struct Registry {
    ChordList entries;
    // The thread timer's id as SetTimer gave it (a thread timer's id is chosen by
    // the system, not by the event id asked for); 0 while none runs.
    UINT_PTR pollTimer = 0;

    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;
    ~Registry() {
        if (pollTimer != 0) KillTimer(nullptr, pollTimer);
    }
};

// Touched only by the user-interface thread.
std::unique_ptr<Registry> HotkeyRegistry;
// Outside the registry, so that it may be read from any thread.
std::atomic<uint32_t> PollsDone{0};

void CALLBACK PollTimerProc(HWND, UINT, UINT_PTR, DWORD) {
    try {
        PollChords();
    } catch (...) {
        // Out of memory for the list of chords to fire: this poll is lost.
    }
}

} // namespace

void CreateHotkeyRegistry() {
    if (HotkeyRegistry) return;
    HotkeyRegistry = std::make_unique<Registry>();
    PollsDone.store(0, std::memory_order_relaxed);
}

void ReleaseHotkeyRegistry() {
    HotkeyRegistry.reset();
}

int32_t RegisterChord(ChordHandler handler, int32_t key, int32_t modifiers, int32_t secondKey,
                      int32_t pollInterval) {
    Registry* registry = HotkeyRegistry.get();
    if (!registry) return 0;
    ChordRegistration result{};
    try {
        result = AddChord(registry->entries, handler, key, modifiers, secondKey);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    if (result.created && result.id == kFirstChordId) {
        const UINT interval =
            pollInterval > 0 ? static_cast<UINT>(pollInterval) : kDefaultPollInterval;
        registry->pollTimer = SetTimer(nullptr, kPollTimerEvent, interval, PollTimerProc);
    }
    return result.id;
}

void PollChords() {
    Registry* registry = HotkeyRegistry.get();
    if (!registry) return;
    KeySnapshot keys{};
    for (int k = 1; k <= 255; ++k)
        keys[static_cast<size_t>(k - 1)] = GetAsyncKeyState(k);
    for (const HotkeyEntry* entry : DecideChords(registry->entries, keys)) {
        DWORD threadId = 0;
        // The handle is closed at once; nothing waits for the handler. A thread that
        // cannot be started loses this press.
        UniqueKernelHandle thread(
            CreateThread(nullptr, 0, entry->handler,
                         reinterpret_cast<void*>(static_cast<intptr_t>(entry->id)), 0, &threadId));
    }
    PollsDone.fetch_add(1, std::memory_order_relaxed);
}

size_t HotkeyCount() {
    return HotkeyRegistry ? HotkeyRegistry->entries.size() : 0;
}

std::optional<HotkeyEntry> ReadHotkeyEntry(int32_t id) {
    if (!HotkeyRegistry) return std::nullopt;
    const auto& entries = HotkeyRegistry->entries;
    const int64_t index = static_cast<int64_t>(id) - kFirstChordId;
    if (index < 0 || index >= static_cast<int64_t>(entries.size())) return std::nullopt;
    return *entries[static_cast<size_t>(index)];
}

uint32_t ChordPollCount() {
    return PollsDone.load(std::memory_order_relaxed);
}
