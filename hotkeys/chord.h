// Key chords watched by polling: the entries, their registration and the decision
// of one poll over a snapshot of the keyboard. Free of windows.h, so that it is
// built and tested natively; hotkeys/hotkeys.h puts it on the Win32 keyboard.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// A chord's handler is a thread start routine: 32-bit Windows calls it with the
// stdcall convention. Elsewhere (the native build of the tests) the attribute has
// no meaning and is left out.
#if defined(_WIN32) && !defined(_WIN64)
#define TENVARO_THREAD_CALL __attribute__((stdcall))
#else
#define TENVARO_THREAD_CALL
#endif

// Same type as LPTHREAD_START_ROUTINE: DWORD (WINAPI*)(LPVOID).
using ChordHandler = unsigned long(TENVARO_THREAD_CALL*)(void*);

// Modifier bits of HotkeyEntry::modifiers and of the mask a poll computes.
constexpr int32_t kChordAlt = 1;
constexpr int32_t kChordCtrl = 2;
constexpr int32_t kChordShift = 4;
constexpr int32_t kChordLeftWin = 8;

// The id of the first entry; each further entry adds 1.
constexpr int32_t kFirstChordId = 1000001;

// One chord.
struct HotkeyEntry {
    int32_t id;           // kFirstChordId + position (from 0); the handler's thread parameter
    ChordHandler handler; // started on a new thread when the chord fires
    int32_t key;          // trigger: code |key| mod 256; > 0 fires on down, < 0 on "pressed since"
    int32_t modifiers;    // exact set of kChord* bits that must be down
    int32_t secondKey;    // 0, or a key (code |secondKey| mod 256) that must be down
    int32_t latch;        // 1 from the poll that first sees the trigger until one sees it released
};

// The ordered list of chords; each entry is allocated on its own, and entries are
// only ever appended, so ids and entry addresses stay valid for the list's life.
using ChordList = std::vector<std::unique_ptr<HotkeyEntry>>;

// Result of GetAsyncKeyState for the keys 1..255 in slots 0..254; slot 255 stays 0.
using KeySnapshot = std::array<int16_t, 256>;

// |key| mod 256, the virtual-key code of a key argument (0 when there is none).
// Defined for every 32-bit value, INT32_MIN included.
int32_t ChordKeyCode(int32_t key);

struct ChordRegistration {
    int32_t id;   // 0 when refused
    bool created; // a new entry was appended (false when refused or a handler was replaced)
};

// Refuses (id 0, nothing changes) a null handler, a key whose code is 0 and a
// non-zero second key whose code is 0. An entry with the same key, modifiers and second key (raw
// values) gets the new handler and keeps its id. Otherwise a new entry with latch 0 is appended
// with id kFirstChordId + the number of entries before it.
ChordRegistration AddChord(ChordList& list, ChordHandler handler, int32_t key, int32_t modifiers,
                           int32_t secondKey);

// One poll's decision: updates every entry's latch from the snapshot and gives the
// entries whose chord holds, in list order. Allocates only when something fires.
std::vector<const HotkeyEntry*> DecideChords(ChordList& list, const KeySnapshot& keys);
