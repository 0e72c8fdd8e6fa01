// The program's global key chords on the Win32 keyboard: the process-wide
// HotkeyRegistry, RegisterChord and the poll that a thread timer runs every 10 ms.
//
// Everything here runs on the user-interface thread: the thread that creates the
// registry, registers the chords and pumps the messages that carry the poll timer.
// A chord that fires starts its handler on a new thread with the entry's id as the
// parameter; handlers never touch the registry.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "hotkeys/chord.h"

// Creates the empty registry; called once at start-up, before any window is loaded.
// A second call while it exists changes nothing.
void CreateHotkeyRegistry();

// Releases the registry with its entries and stops the poll timer; called from the
// program's clean-up, on the thread that registered the chords. Afterwards
// RegisterChord returns 0 and PollChords does nothing until the registry is created
// again.
void ReleaseHotkeyRegistry();

// Registers a chord: handler (a thread start routine, e.g. DWORD WINAPI f(LPVOID))
// fires when key goes down (key > 0) or is reported as pressed since the previous
// poll (key < 0), exactly the modifiers (kChordAlt | kChordCtrl | kChordShift |
// kChordLeftWin) are down and secondKey, unless 0, is held. Returns the entry's id;
// registering the same key, modifiers and second key again replaces the handler and
// returns the same id. Returns 0, changing nothing, for a key or a non-zero second
// key whose code (|value| mod 256) is 0, a null handler, or when no registry exists.
// The registration that creates the first entry starts the poll timer with
// pollInterval ms (10 when pollInterval <= 0); later intervals are ignored.
int32_t RegisterChord(ChordHandler handler, int32_t key, int32_t modifiers = 0,
                      int32_t secondKey = 0, int32_t pollInterval = 0);

// One poll: reads GetAsyncKeyState for the keys 1..255 and fires, in list order,
// every chord that holds. The poll timer calls it; it does nothing without a registry.
void PollChords();

// The number of entries in the registry (0 without one). User-interface thread only.
size_t HotkeyCount();

// A copy of the entry with this id, if there is one. User-interface thread only.
std::optional<HotkeyEntry> ReadHotkeyEntry(int32_t id);

// Polls completed since the registry was last created. May be read from any thread.
uint32_t ChordPollCount();
