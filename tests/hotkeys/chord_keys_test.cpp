// The chords on the real keyboard state: synthetic key events from this thread,
// observed through handlers that log their firing. This thread registers the chords
// and pumps its messages (testsupport::WaitFor) so that the poll timer runs.
//
// Under Wine, GetAsyncKeyState does see SendInput events of the same process at once,
// with the "pressed since the previous query" bit, even without any window: the
// server keeps the desktop's key state and SendInput refreshes the calling thread's
// copy of it. Input injected from another thread (or another process) is seen only
// when Wine's per-thread key-state cache expires, up to about 50 ms later; the tests
// therefore inject from the polling thread.
#include "hotkeys/hotkeys.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

// One handler run: which entry (its position in the list, from 1), the parameter it
// received and its thread's creation time (100 ns units).
struct Firing {
    int position;
    intptr_t param;
    ULONGLONG created;
};

// Written by the handler threads, read by the test thread; no locks: each slot has one
// writer, published by its ready flag.
class FiringLog {
  public:
    void Clear() {
        for (auto& r : ready_)
            r.store(false, std::memory_order_relaxed);
        count_.store(0, std::memory_order_release);
    }
    void Add(const Firing& f) noexcept {
        const int i = count_.fetch_add(1, std::memory_order_acq_rel);
        if (i >= kCapacity) return;
        slots_[static_cast<size_t>(i)] = f;
        ready_[static_cast<size_t>(i)].store(true, std::memory_order_release);
    }
    // The firings logged so far, in the order in which their handlers ran.
    std::vector<Firing> Read() const {
        std::vector<Firing> out;
        const int n = std::min(count_.load(std::memory_order_acquire), kCapacity);
        for (int i = 0; i < n && ready_[static_cast<size_t>(i)].load(std::memory_order_acquire);
             ++i)
            out.push_back(slots_[static_cast<size_t>(i)]);
        return out;
    }
    std::vector<int> Positions() const {
        std::vector<int> out;
        for (const auto& f : Read())
            out.push_back(f.position);
        return out;
    }
    int CountOf(int position) const {
        const auto p = Positions();
        return static_cast<int>(std::count(p.begin(), p.end(), position));
    }

  private:
    static constexpr int kCapacity = 256;
    std::array<Firing, kCapacity> slots_{};
    std::array<std::atomic<bool>, kCapacity> ready_{};
    std::atomic<int> count_{0};
};

FiringLog Log;

template <int Position> DWORD WINAPI Record(LPVOID param) {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    Log.Add({Position, reinterpret_cast<intptr_t>(param),
             (ULONGLONG{created.dwHighDateTime} << 32) | created.dwLowDateTime});
    return 0;
}

// Virtual-key codes.
constexpr WORD kEnd = VK_END, kDel = VK_DELETE, kF = 'F', kV = 'V', kX = 'X', kZ = 'Z',
               kSentinel = VK_F8;

// Positions of the program's chords, and of the extra entries some tests add.
constexpr int kDelPos = 1, kZxPos = 2, kF5Pos = 3, kF0Pos = 7, kEndPos = 8, kZvPos = 9, kZfPos = 10,
              kSentinelPos = 11, kNegativeDelPos = 12;
constexpr int32_t IdOf(int position) {
    return 1000000 + position;
}

struct ChordSpec {
    int32_t key, secondKey;
    ChordHandler handler;
};
// The program's ten chords in their order, each with a handler that logs it.
const ChordSpec kProgramChords[] = {
    {VK_DELETE, 0, Record<1>},    {'X', 'Z', Record<2>},         {VK_NUMPAD5, 'F', Record<3>},
    {VK_DIVIDE, 'F', Record<4>},  {VK_MULTIPLY, 'F', Record<5>}, {VK_NUMPAD3, 'F', Record<6>},
    {VK_NUMPAD0, 'F', Record<7>}, {VK_END, 0, Record<8>},        {'V', 'Z', Record<9>},
    {'F', 'Z', Record<10>},
};

// Every key a test may hold; all are let go after each test.
const WORD kKeysUsed[] = {
    kDel,     kEnd,    kF,      kV,         kX,         kZ,         kSentinel, VK_CONTROL,  VK_MENU,
    VK_SHIFT, VK_LWIN, VK_RWIN, VK_NUMPAD0, VK_NUMPAD3, VK_NUMPAD5, VK_DIVIDE, VK_MULTIPLY, '0',
    '1',      '2',     '3',     '4',        '5',        '6',        '7',       '8',         '9'};

bool IsExtendedKey(WORD vk) {
    switch (vk) {
    case VK_DELETE:
    case VK_END:
    case VK_DIVIDE:
    case VK_LWIN:
    case VK_RWIN:
        return true;
    default:
        return false;
    }
}

struct KeyEvent {
    WORD vk;
    bool up;
};

// All events in one SendInput call, so that no poll can run between them.
void Send(std::initializer_list<KeyEvent> events) {
    std::vector<INPUT> inputs;
    for (const auto& e : events) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = e.vk;
        in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(e.vk, MAPVK_VK_TO_VSC));
        in.ki.dwFlags =
            (e.up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(e.vk) ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    EXPECT_EQ(sent, inputs.size()) << "SendInput failed, error " << GetLastError();
}
void Down(WORD vk) {
    Send({{vk, false}});
}
void Up(WORD vk) {
    Send({{vk, true}});
}

void ReleaseAllKeys() {
    std::vector<INPUT> inputs;
    for (WORD vk : kKeysUsed) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = KEYEVENTF_KEYUP | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
        inputs.push_back(in);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Pumps until n more polls have run.
bool WaitPolls(uint32_t n) {
    const uint32_t target = ChordPollCount() + n;
    return testsupport::WaitFor([&] { return ChordPollCount() >= target; }, 5000);
}

bool WaitFired(int position, int times = 1) {
    return testsupport::WaitFor([&] { return Log.CountOf(position) >= times; }, 5000);
}

int32_t LatchOf(int position) {
    const auto entry = ReadHotkeyEntry(IdOf(position));
    return entry ? entry->latch : -1;
}

bool WaitLatch(int position, int32_t latch) {
    return testsupport::WaitFor([&] { return LatchOf(position) == latch; }, 5000);
}

// A later positive event: the sentinel chord is pressed after everything before it has
// been polled, so by the time its handler has run, a handler that a wrong poll had
// started earlier would have run too. Gives the positions logged before the sentinel.
std::vector<int> FiredBeforeSentinel() {
    WaitPolls(2);
    Down(kSentinel);
    const bool seen = WaitFired(kSentinelPos);
    Up(kSentinel);
    EXPECT_TRUE(seen) << "the sentinel chord did not fire";
    auto positions = Log.Positions();
    positions.erase(std::remove(positions.begin(), positions.end(), kSentinelPos), positions.end());
    return positions;
}

using Positions = std::vector<int>;

// A fresh registry holding the program's chords and the sentinel, with the poll
// timer running.
class ChordKeys : public testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Log.Clear();
        CreateHotkeyRegistry();
        for (size_t i = 0; i < std::size(kProgramChords); ++i) {
            const auto& c = kProgramChords[i];
            ASSERT_EQ(RegisterChord(c.handler, c.key, 0, c.secondKey),
                      IdOf(static_cast<int>(i) + 1));
        }
        ASSERT_EQ(RegisterChord(Record<kSentinelPos>, kSentinel), IdOf(kSentinelPos));
        ASSERT_TRUE(WaitPolls(2)) << "the poll timer does not run";
    }
    void TearDown() override {
        ReleaseAllKeys();
        WaitPolls(2);
        ReleaseHotkeyRegistry();
    }
};

TEST_F(ChordKeys, ZHeldThenXFiresOncePerPressOfX) {
    Down(kZ);
    ASSERT_TRUE(WaitPolls(1));
    Down(kX);
    ASSERT_TRUE(WaitFired(kZxPos));
    // Both held for many polls: no second firing.
    ASSERT_TRUE(WaitPolls(30));
    EXPECT_EQ(Log.CountOf(kZxPos), 1);
    Up(kX);
    ASSERT_TRUE(WaitLatch(kZxPos, 0));
    Down(kX); // Z still held: a new press fires again
    ASSERT_TRUE(WaitFired(kZxPos, 2));
    Up(kX);
    Up(kZ);
    EXPECT_EQ(FiredBeforeSentinel(), (Positions{kZxPos, kZxPos}));
    for (const auto& f : Log.Read())
        EXPECT_EQ(f.param, IdOf(f.position)) << "handler " << f.position << " got a wrong id";
}

TEST_F(ChordKeys, TriggerPressedBeforeItsSecondKeyFiresNothing) {
    const struct {
        WORD trigger, held;
        int position;
    } cases[] = {{kX, kZ, kZxPos}, {kF, kZ, kZfPos}, {kV, kZ, kZvPos}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        Down(c.trigger);
        ASSERT_TRUE(WaitLatch(c.position, 1)); // a poll saw the trigger alone
        Down(c.held);
        ASSERT_TRUE(WaitPolls(3));
        Up(c.trigger);
        Up(c.held);
    }
    EXPECT_EQ(FiredBeforeSentinel(), Positions{});
}

TEST_F(ChordKeys, PressShorterThanOnePollFiresNothing) {
    // Fires on the "pressed since the previous query" value, which shows that a poll
    // did see the short press.
    ASSERT_EQ(RegisterChord(Record<kNegativeDelPos>, -VK_DELETE), IdOf(kNegativeDelPos));
    // No message is pumped between these events, so no poll sees either key down.
    Down(kZ);
    Send({{kDel, false}, {kDel, true}, {kX, false}, {kX, true}});
    ASSERT_TRUE(WaitFired(kNegativeDelPos));
    Up(kZ);
    EXPECT_EQ(FiredBeforeSentinel(), Positions{kNegativeDelPos});
    EXPECT_EQ(LatchOf(kDelPos), 0);
    EXPECT_EQ(LatchOf(kZxPos), 0);
}

TEST_F(ChordKeys, DelIsBlockedByEachModifierButNotByRightWin) {
    for (WORD modifier : {VK_CONTROL, VK_MENU, VK_SHIFT, VK_LWIN}) {
        SCOPED_TRACE(modifier);
        Down(modifier);
        Down(kDel);
        ASSERT_TRUE(WaitLatch(kDelPos, 1)); // a poll saw Del with the modifier
        Up(kDel);
        ASSERT_TRUE(WaitLatch(kDelPos, 0));
        Up(modifier);
    }
    EXPECT_EQ(FiredBeforeSentinel(), Positions{});

    Down(VK_RWIN);
    Down(kDel);
    EXPECT_TRUE(WaitFired(kDelPos));
    Up(kDel);
    Up(VK_RWIN);
}

TEST_F(ChordKeys, FThenKeypad5FiresFPlus5AndOnlyLatchesZPlusF) {
    Down(kF);
    ASSERT_TRUE(WaitLatch(kZfPos, 1));
    Down(VK_NUMPAD5);
    ASSERT_TRUE(WaitFired(kF5Pos));
    EXPECT_EQ(LatchOf(kZfPos), 1);
    Up(VK_NUMPAD5);
    // Z now comes too late for Z+F: F is still down from before.
    Down(kZ);
    ASSERT_TRUE(WaitPolls(3));
    Up(kZ);
    Up(kF);
    EXPECT_EQ(FiredBeforeSentinel(), Positions{kF5Pos});
}

TEST_F(ChordKeys, ZThenFFiresZPlusFThenXWithBothHeldFiresZPlusX) {
    Down(kZ);
    Down(kF);
    ASSERT_TRUE(WaitFired(kZfPos));
    Down(kX);
    ASSERT_TRUE(WaitFired(kZxPos));
    Up(kX);
    Up(kF);
    Up(kZ);
    EXPECT_EQ(FiredBeforeSentinel(), (Positions{kZfPos, kZxPos}));
}

TEST_F(ChordKeys, MainKeyboardDigitsFireNoCountdownChord) {
    Down(kF);
    ASSERT_TRUE(WaitLatch(kZfPos, 1));
    for (WORD digit = '0'; digit <= '9'; ++digit) {
        Down(digit);
        ASSERT_TRUE(WaitPolls(1));
        Up(digit);
    }
    // The keypad's 0 with the same F does fire: the later positive event.
    Down(VK_NUMPAD0);
    ASSERT_TRUE(WaitFired(kF0Pos));
    Up(VK_NUMPAD0);
    Up(kF);
    EXPECT_EQ(Log.Positions(), Positions{kF0Pos});
}

TEST_F(ChordKeys, TwoEntriesFireInOnePollInListOrder) {
    // End goes down first, but Del comes first in the list.
    Send({{kEnd, false}, {kDel, false}});
    ASSERT_TRUE(testsupport::WaitFor(
        [] { return Log.CountOf(kDelPos) == 1 && Log.CountOf(kEndPos) == 1; }, 5000));
    Send({{kEnd, true}, {kDel, true}});
    const auto firings = Log.Read();
    ASSERT_EQ(firings.size(), 2u);
    const Firing& del = firings[0].position == kDelPos ? firings[0] : firings[1];
    const Firing& end = firings[0].position == kDelPos ? firings[1] : firings[0];
    // The handlers may run in either order; the order in which their threads were
    // created is the poll's. Wine gives thread creation times in 100 ns steps.
    EXPECT_LT(del.created, end.created);
}

// RegisterChord on its own, without the program's chords.
class ChordRegistry : public testing::Test {
  protected:
    void SetUp() override {
        ReleaseAllKeys();
        Log.Clear();
        CreateHotkeyRegistry();
    }
    void TearDown() override {
        ReleaseAllKeys();
        ReleaseHotkeyRegistry();
    }
};

std::atomic<int> OwnTicks{0};
void CALLBACK CountOwnTick(HWND, UINT, UINT_PTR, DWORD) {
    OwnTicks.fetch_add(1);
}

// Pumps until a 10 ms thread timer of the test's own, started now, has fired n times:
// a poll timer with the same interval on this thread would have run by then.
void PumpOwnTicks(int n) {
    OwnTicks.store(0);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, CountOwnTick);
    ASSERT_NE(timer, 0u);
    EXPECT_TRUE(testsupport::WaitFor([&] { return OwnTicks.load() >= n; }, 5000));
    KillTimer(nullptr, timer);
}

TEST_F(ChordRegistry, RefusedRegistrationsChangeNothingAndStartNoTimer) {
    const struct {
        ChordHandler handler;
        int32_t key, secondKey;
    } refused[] = {{Record<1>, 0, 0},           {Record<1>, 256, 0},
                   {Record<1>, -512, 0},        {Record<1>, INT_MIN, 0},
                   {Record<1>, VK_DELETE, 256}, {Record<1>, VK_DELETE, -512},
                   {nullptr, VK_DELETE, 0}};
    for (const auto& r : refused)
        EXPECT_EQ(RegisterChord(r.handler, r.key, 0, r.secondKey), 0) << r.key;
    EXPECT_EQ(HotkeyCount(), 0u);
    PumpOwnTicks(5);
    EXPECT_EQ(ChordPollCount(), 0u);

    EXPECT_EQ(RegisterChord(Record<1>, VK_DELETE), IdOf(1));
    EXPECT_TRUE(WaitPolls(1)) << "the first entry starts the poll timer";
}

TEST_F(ChordRegistry, SameChordReplacesTheHandlerAndKeepsTheId) {
    ASSERT_EQ(RegisterChord(Record<1>, VK_DELETE), IdOf(1));
    ASSERT_EQ(RegisterChord(Record<2>, -VK_DELETE), IdOf(2)); // another chord: the sign counts
    EXPECT_EQ(RegisterChord(Record<3>, VK_DELETE), IdOf(1));
    EXPECT_EQ(HotkeyCount(), 2u);
    ASSERT_TRUE(WaitPolls(1));

    Down(kDel);
    // The new handler runs with the first entry's id.
    ASSERT_TRUE(WaitFired(3));
    Up(kDel);
    ASSERT_TRUE(WaitLatch(1, 0));
    // A press between two polls is the negative chord's.
    Send({{kDel, false}, {kDel, true}});
    ASSERT_TRUE(WaitFired(2));
    const auto firings = Log.Read();
    ASSERT_EQ(firings.size(), 2u);
    EXPECT_EQ(firings[0].position, 3);
    EXPECT_EQ(firings[0].param, IdOf(1));
    EXPECT_EQ(firings[1].param, IdOf(2));
}

// Polls run while the test's own 10 ms timer fires n times. Both are thread timers of
// this thread with the same interval, so one poll timer gives about n polls, none
// gives 0 and two give about 2n.
uint32_t PollsDuringOwnTicks(int n) {
    const uint32_t before = ChordPollCount();
    PumpOwnTicks(n);
    return ChordPollCount() - before;
}

TEST_F(ChordRegistry, PollIntervalOfLaterRegistrationsIsIgnored) {
    ASSERT_EQ(RegisterChord(Record<1>, VK_DELETE), IdOf(1));
    ASSERT_TRUE(WaitPolls(1));
    // Were any of these intervals taken, the next poll would be 24 days away; were a
    // timer started for each, polls would come several times as often.
    EXPECT_EQ(RegisterChord(Record<2>, VK_END, 0, 0, INT_MAX), IdOf(2));
    EXPECT_EQ(RegisterChord(Record<3>, VK_DELETE, 0, 0, INT_MAX), IdOf(1));
    for (int32_t k = 'A'; k <= 'H'; ++k)
        EXPECT_EQ(RegisterChord(Record<4>, k, 0, 0, 10), IdOf(k - 'A' + 3));
    const uint32_t polls = PollsDuringOwnTicks(20);
    EXPECT_GE(polls, 10u);
    EXPECT_LE(polls, 30u);
}

TEST_F(ChordRegistry, FirstRegistrationSetsTheInterval) {
    ASSERT_EQ(RegisterChord(Record<1>, VK_DELETE, 0, 0, INT_MAX), IdOf(1));
    PumpOwnTicks(5);
    EXPECT_EQ(ChordPollCount(), 0u);
}

TEST_F(ChordRegistry, ReleaseStopsThePollsAndRefusesRegistration) {
    ASSERT_EQ(RegisterChord(Record<1>, VK_DELETE), IdOf(1));
    ASSERT_TRUE(WaitPolls(1));
    ReleaseHotkeyRegistry();
    EXPECT_EQ(HotkeyCount(), 0u);
    EXPECT_FALSE(ReadHotkeyEntry(IdOf(1)).has_value());
    EXPECT_EQ(RegisterChord(Record<1>, VK_DELETE), 0);
    PollChords(); // harmless without a registry
    EXPECT_EQ(PollsDuringOwnTicks(5), 0u);

    // A registry created again starts one poll timer of its own; the old one is gone.
    CreateHotkeyRegistry();
    EXPECT_EQ(ChordPollCount(), 0u);
    ASSERT_EQ(RegisterChord(Record<1>, VK_DELETE), IdOf(1));
    const uint32_t polls = PollsDuringOwnTicks(20);
    EXPECT_GE(polls, 10u);
    EXPECT_LE(polls, 30u);
}

} // namespace
