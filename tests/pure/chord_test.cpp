#include "hotkeys/chord.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

namespace {

unsigned long TENVARO_THREAD_CALL HandlerA(void*) {
    return 1;
}
unsigned long TENVARO_THREAD_CALL HandlerB(void*) {
    return 2;
}
unsigned long TENVARO_THREAD_CALL HandlerC(void*) {
    return 3;
}

// GetAsyncKeyState values: down now, down and newly pressed, up but pressed since
// the previous query.
constexpr int16_t kDown = static_cast<int16_t>(0x8000);
constexpr int16_t kDownNew = static_cast<int16_t>(0x8001);
constexpr int16_t kTapped = 1;

// Virtual-key codes.
constexpr int kShift = 16, kCtrl = 17, kAlt = 18, kEnd = 35, kDel = 46, kF = 70, kV = 86, kX = 88,
              kZ = 90, kLWin = 91, kRWin = 92, kNum0 = 96, kNum3 = 99, kNum5 = 101, kMultiply = 106,
              kDivide = 111;

TEST(ChordKeyCode, IsMagnitudeModulo256ForEveryValue) {
    const std::pair<int32_t, int32_t> cases[] = {
        {0, 0},    {1, 1},     {255, 255},     {256, 0},           {257, 1},
        {344, 88}, {-1, 1},    {-88, 88},      {-255, 255},        {-256, 0},
        {-512, 0}, {-600, 88}, {INT_MAX, 255}, {INT_MIN + 1, 255}, {INT_MIN, 0},
    };
    for (const auto& [key, code] : cases)
        EXPECT_EQ(ChordKeyCode(key), code) << key;
}

TEST(AddChord, RegistrationSequence) {
    struct Step {
        ChordHandler handler;
        int32_t key, modifiers, secondKey;
        int32_t id;   // expected result
        bool created; // expected: a new entry
    };
    const Step steps[] = {
        {HandlerA, kDel, 0, 0, 1000001, true},
        {HandlerB, kDel, 0, 0, 1000001, false}, // same chord: handler replaced, id kept
        {HandlerA, 0, 0, 0, 0, false},          // no key code
        {HandlerA, 256, 0, 0, 0, false},
        {HandlerA, -512, 0, 0, 0, false},
        {HandlerA, INT_MIN, 0, 0, 0, false},
        {HandlerA, -kDel, 0, 0, 1000002, true},      // sign makes another chord
        {HandlerA, kDel + 256, 0, 0, 1000003, true}, // so do the bits above the code
        {HandlerA, kDel, kChordCtrl, 0, 1000004, true},
        {HandlerA, kDel, 0, kZ, 1000005, true},
        {HandlerA, kDel, 0, 256, 0, false}, // second key without a code
        {HandlerA, kDel, 0, -512, 0, false},
        {HandlerA, kDel, 0, INT_MIN, 0, false},
        {nullptr, kEnd, 0, 0, 0, false},
        {nullptr, kDel, 0, 0, 0, false}, // a null handler does not replace one either
        {HandlerC, -kDel, 0, 0, 1000002, false},
        {HandlerB, kDel, 0, -kZ, 1000006, true}, // second key compared raw too
    };
    ChordList list;
    for (const auto& s : steps) {
        SCOPED_TRACE("key " + std::to_string(s.key) + " mods " + std::to_string(s.modifiers) +
                     " second " + std::to_string(s.secondKey));
        const ChordRegistration r = AddChord(list, s.handler, s.key, s.modifiers, s.secondKey);
        EXPECT_EQ(r.id, s.id);
        EXPECT_EQ(r.created, s.created);
    }

    struct Expected {
        int32_t id;
        ChordHandler handler;
        int32_t key, modifiers, secondKey;
    };
    const Expected expected[] = {
        {1000001, HandlerB, kDel, 0, 0},       {1000002, HandlerC, -kDel, 0, 0},
        {1000003, HandlerA, kDel + 256, 0, 0}, {1000004, HandlerA, kDel, kChordCtrl, 0},
        {1000005, HandlerA, kDel, 0, kZ},      {1000006, HandlerB, kDel, 0, -kZ},
    };
    ASSERT_EQ(list.size(), std::size(expected));
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list[i]->id, expected[i].id);
        EXPECT_EQ(list[i]->handler, expected[i].handler);
        EXPECT_EQ(list[i]->key, expected[i].key);
        EXPECT_EQ(list[i]->modifiers, expected[i].modifiers);
        EXPECT_EQ(list[i]->secondKey, expected[i].secondKey);
        EXPECT_EQ(list[i]->latch, 0);
    }
}

TEST(AddChord, EntriesKeepTheirAddressesAsTheListGrows) {
    ChordList list;
    AddChord(list, HandlerA, kDel, 0, 0);
    const HotkeyEntry* first = list.front().get();
    for (int k = 1; k < 200; ++k)
        AddChord(list, HandlerA, k, 0, kZ);
    EXPECT_EQ(list.front().get(), first);
    EXPECT_EQ(list.back()->id, 1000001 + 199);
}

// One poll of a scenario: the keys whose slots are not 0, the ids expected to fire
// in that order, and optionally latches expected afterwards.
struct Poll {
    std::vector<std::pair<int, int16_t>> keys;
    std::vector<int32_t> fired;
    std::vector<std::pair<int32_t, int32_t>> latches = {}; // id, latch
};

struct Chord {
    int32_t key, modifiers, secondKey;
};

struct Scenario {
    const char* name;
    std::vector<Chord> chords; // ids 1000001 onwards
    std::vector<Poll> polls;
};

// The program's ten chords, in their order of registration.
const std::vector<Chord> kProgramChords = {
    {kDel, 0, 0},   {kX, 0, kZ},    {kNum5, 0, kF}, {kDivide, 0, kF}, {kMultiply, 0, kF},
    {kNum3, 0, kF}, {kNum0, 0, kF}, {kEnd, 0, 0},   {kV, 0, kZ},      {kF, 0, kZ},
};
constexpr int32_t kDelId = 1000001, kZxId = 1000002, kF5Id = 1000003, kF3Id = 1000006,
                  kEndId = 1000008, kZfId = 1000010;

KeySnapshot MakeSnapshot(const std::vector<std::pair<int, int16_t>>& keys) {
    KeySnapshot s{};
    for (const auto& [k, v] : keys)
        s[static_cast<size_t>(k - 1)] = v;
    return s;
}

const Scenario kScenarios[] = {
    {"Z held then X fires once while both stay down, again after X is released",
     {{kX, 0, kZ}},
     {
         {{{kZ, kDownNew}}, {}},
         {{{kZ, kDown}, {kX, kDownNew}}, {1000001}, {{1000001, 1}}},
         {{{kZ, kDown}, {kX, kDown}}, {}},
         {{{kZ, kDown}, {kX, kDown}}, {}},
         {{{kZ, kDown}}, {}, {{1000001, 0}}},
         {{{kZ, kDown}, {kX, kDownNew}}, {1000001}},
     }},
    {"X then Z: latched before Z came, nothing until X is pressed again",
     {{kX, 0, kZ}},
     {
         {{{kX, kDownNew}}, {}, {{1000001, 1}}},
         {{{kX, kDown}, {kZ, kDownNew}}, {}, {{1000001, 1}}},
         {{{kZ, kDown}}, {}, {{1000001, 0}}},
         {{{kZ, kDown}, {kX, kDownNew}}, {1000001}},
     }},
    {"a press between two polls (value 1) neither fires a positive key nor latches it",
     {{kX, 0, kZ}},
     {
         {{{kZ, kDown}, {kX, kTapped}}, {}, {{1000001, 0}}},
         {{{kZ, kDown}, {kX, kDownNew}}, {1000001}},
     }},
    {"second key seen only as tapped is not held",
     {{kX, 0, kZ}},
     {
         {{{kZ, kTapped}, {kX, kDownNew}}, {}, {{1000001, 1}}},
     }},
    {"a negative second key only names its code",
     {{kX, 0, -kZ}},
     {
         {{{kZ, kDown}, {kX, kDownNew}}, {1000001}},
     }},
    {"modifiers: Ctrl, Alt, Shift and left Win block a chord without them; right Win does not",
     {{kDel, 0, 0}},
     {
         {{{kCtrl, kDown}, {kDel, kDownNew}}, {}, {{1000001, 1}}},
         {{}, {}, {{1000001, 0}}},
         {{{kAlt, kDown}, {kDel, kDownNew}}, {}},
         {{}, {}},
         {{{kShift, kDown}, {kDel, kDownNew}}, {}},
         {{}, {}},
         {{{kLWin, kDown}, {kDel, kDownNew}}, {}},
         {{}, {}},
         {{{kRWin, kDown}, {kDel, kDownNew}}, {1000001}},
         {{}, {}},
         {{{kCtrl, kTapped}, {kDel, kDownNew}}, {1000001}}, // tapped is not down
     }},
    {"the latch closes even when the modifiers are wrong",
     {{kDel, 0, 0}},
     {
         {{{kCtrl, kDown}, {kDel, kDownNew}}, {}},
         {{{kDel, kDown}}, {}},
         {{}, {}},
         {{{kDel, kDownNew}}, {1000001}},
     }},
    {"modifiers must match exactly",
     {{kDel, kChordCtrl | kChordShift, 0}, {kEnd, kChordAlt | kChordLeftWin, 0}},
     {
         {{{kCtrl, kDown}, {kDel, kDownNew}}, {}},
         {{}, {}},
         {{{kCtrl, kDown}, {kShift, kDown}, {kAlt, kDown}, {kDel, kDownNew}}, {}},
         {{}, {}},
         {{{kCtrl, kDown}, {kShift, kDown}, {kDel, kDownNew}}, {1000001}},
         {{{kAlt, kDown}, {kLWin, kDown}, {kRWin, kDown}, {kEnd, kDownNew}}, {1000002}},
     }},
    {"negative key fires on the pressed-since value, not while down",
     {{-kDel, 0, 0}},
     {
         {{{kDel, kDownNew}}, {}, {{1000001, 0}}},
         {{{kDel, kTapped}}, {1000001}, {{1000001, 1}}},
         {{{kDel, kTapped}}, {}, {{1000001, 1}}}, // no poll saw it released in between
         {{}, {}, {{1000001, 0}}},
         {{{kDel, kTapped}}, {1000001}},
         {{{kDel, kDown}}, {}, {{1000001, 0}}},
         {{{kDel, kTapped}}, {1000001}},
     }},
    {"a negative key with modifiers and a second key",
     {{-(kX + 256), kChordShift, kZ}},
     {
         {{{kShift, kDown}, {kX, kTapped}}, {}},
         {{}, {}},
         {{{kShift, kDown}, {kZ, kDown}, {kX, kTapped}}, {1000001}},
     }},
    {"program chords: Del and End in one poll fire in list order",
     kProgramChords,
     {
         {{{kEnd, kDownNew}, {kDel, kDownNew}}, {kDelId, kEndId}},
     }},
    {"program chords: Z and F held, then X fires Z+X; Z+F and Z+X in one poll in order",
     kProgramChords,
     {
         {{{kZ, kDown}, {kF, kDownNew}}, {kZfId}},
         {{{kZ, kDown}, {kF, kDown}, {kX, kDownNew}}, {kZxId}},
         {{{kZ, kDown}}, {}},
         {{{kZ, kDown}, {kX, kDownNew}, {kF, kDownNew}}, {kZxId, kZfId}},
     }},
    {"program chords: F then keypad 5 fires F+5 and only latches Z+F",
     kProgramChords,
     {
         {{{kF, kDownNew}}, {}, {{kZfId, 1}, {kF5Id, 0}}},
         {{{kF, kDown}, {kNum5, kDownNew}}, {kF5Id}, {{kZfId, 1}}},
         {{{kF, kDown}, {kNum5, kDown}, {kZ, kDownNew}}, {}, {{kZfId, 1}}},
         {{{kZ, kDown}}, {}, {{kZfId, 0}}},
         {{{kZ, kDown}, {kF, kDownNew}}, {kZfId}},
     }},
    {"program chords: main keyboard digits fire no countdown chord",
     kProgramChords,
     {
         {{{kF, kDown},
           {'0', kDownNew},
           {'1', kDownNew},
           {'2', kDownNew},
           {'3', kDownNew},
           {'4', kDownNew},
           {'5', kDownNew},
           {'6', kDownNew},
           {'7', kDownNew},
           {'8', kDownNew},
           {'9', kDownNew}},
          {}},
         {{{kF, kDown}, {kNum3, kDownNew}}, {kF3Id}},
     }},
};

TEST(DecideChords, Scenarios) {
    for (const auto& sc : kScenarios) {
        SCOPED_TRACE(sc.name);
        ChordList list;
        for (const auto& c : sc.chords)
            ASSERT_NE(AddChord(list, HandlerA, c.key, c.modifiers, c.secondKey).id, 0);
        int pollNo = 0;
        for (const auto& poll : sc.polls) {
            SCOPED_TRACE("poll " + std::to_string(++pollNo));
            std::vector<int32_t> fired;
            for (const HotkeyEntry* e : DecideChords(list, MakeSnapshot(poll.keys))) {
                fired.push_back(e->id);
                EXPECT_EQ(e, list[static_cast<size_t>(e->id - kFirstChordId)].get());
            }
            EXPECT_EQ(fired, poll.fired);
            for (const auto& [id, latch] : poll.latches)
                EXPECT_EQ(list[static_cast<size_t>(id - kFirstChordId)]->latch, latch) << id;
        }
    }
}

TEST(DecideChords, EmptyListAndQuietKeyboard) {
    ChordList list;
    EXPECT_TRUE(DecideChords(list, MakeSnapshot({{kDel, kDown}})).empty());
    for (const auto& c : kProgramChords)
        AddChord(list, HandlerA, c.key, c.modifiers, c.secondKey);
    EXPECT_TRUE(DecideChords(list, KeySnapshot{}).empty());
    // Every key down except the modifiers: only chords without a second key, or whose
    // second key is down too, fire; all of them latch.
    KeySnapshot all{};
    for (int k = 1; k <= 255; ++k)
        if (k != kShift && k != kCtrl && k != kAlt && k != kLWin)
            all[static_cast<size_t>(k - 1)] = kDown;
    EXPECT_EQ(DecideChords(list, all).size(), kProgramChords.size());
    for (const auto& e : list)
        EXPECT_EQ(e->latch, 1) << e->id;
    EXPECT_TRUE(DecideChords(list, all).empty());
}

} // namespace
