#include "hotkeys/chord.h"

#include <limits>

namespace {

// Virtual-key codes the modifier mask reads.
constexpr int kShiftKey = 16;
constexpr int kControlKey = 17;
constexpr int kMenuKey = 18;
constexpr int kLeftWinKey = 91;

// The snapshot value of key code k (1..255) sits in slot k-1. Code 0 has no slot and
// reads as "neither down nor pressed"; AddChord never makes an entry that needs it.
int16_t SlotOf(const KeySnapshot& keys, int32_t code) {
    return code >= 1 && code <= 255 ? keys[static_cast<size_t>(code - 1)] : int16_t{0};
}

int32_t ModifierMask(const KeySnapshot& keys) {
    int32_t mask = 0;
    if (SlotOf(keys, kMenuKey) < 0) mask |= kChordAlt;
    if (SlotOf(keys, kControlKey) < 0) mask |= kChordCtrl;
    if (SlotOf(keys, kShiftKey) < 0) mask |= kChordShift;
    if (SlotOf(keys, kLeftWinKey) < 0) mask |= kChordLeftWin;
    return mask;
}

} // namespace

int32_t ChordKeyCode(int32_t key) {
    // The magnitude in unsigned arithmetic: -INT32_MIN does not fit an int32_t.
    const uint32_t raw = static_cast<uint32_t>(key);
    const uint32_t magnitude = key < 0 ? 0u - raw : raw;
    return static_cast<int32_t>(magnitude & 0xFFu);
}

ChordRegistration AddChord(ChordList& list, ChordHandler handler, int32_t key, int32_t modifiers,
                           int32_t secondKey) {
    if (handler == nullptr || ChordKeyCode(key) == 0) return {0, false};
    // A second key whose code is 0 has no slot in the snapshot: such a chord is refused
    // rather than silently turned into one without a second key.
    if (secondKey != 0 && ChordKeyCode(secondKey) == 0) return {0, false};

    for (const auto& entry : list) {
        if (entry->key == key && entry->modifiers == modifiers && entry->secondKey == secondKey) {
            entry->handler = handler;
            return {entry->id, false};
        }
    }

    constexpr size_t kMaxEntries =
        static_cast<size_t>(std::numeric_limits<int32_t>::max() - kFirstChordId) + 1;
    if (list.size() >= kMaxEntries) return {0, false};
    const int32_t id = kFirstChordId + static_cast<int32_t>(list.size());
    list.push_back(
        std::make_unique<HotkeyEntry>(HotkeyEntry{id, handler, key, modifiers, secondKey, 0}));
    return {id, true};
}

std::vector<const HotkeyEntry*> DecideChords(ChordList& list, const KeySnapshot& keys) {
    std::vector<const HotkeyEntry*> fire;
    int32_t mask = -1; // computed once, at the first entry that needs it
    for (const auto& owned : list) {
        HotkeyEntry& entry = *owned;
        const int16_t state = SlotOf(keys, ChordKeyCode(entry.key));
        // Released, or pressed in the wrong way for the sign of the key: the latch opens.
        if (state == 0 || (state < 0 && entry.key < 0) || (state > 0 && entry.key > 0)) {
            entry.latch = 0;
            continue;
        }
        if (entry.latch == 1) continue;
        // The latch closes before the other keys are looked at, so a chord whose
        // modifiers or second key come down after its trigger never fires on that press.
        entry.latch = 1;
        if (mask < 0) mask = ModifierMask(keys);
        if (mask != entry.modifiers) continue;
        if (entry.secondKey != 0 && SlotOf(keys, ChordKeyCode(entry.secondKey)) >= 0) continue;
        fire.push_back(&entry);
    }
    return fire;
}
