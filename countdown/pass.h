// The countdown's logic, free of windows.h: each pass reads and writes the three
// edit boxes of MainWindow that hold its state and shows a caption in
// CountdownOverlay, all through CountdownIo, so that the order of every read and
// write can be checked without windows.
#pragma once
#include <cstdint>
#include <string>

// The edit boxes of MainWindow: 编辑框1 minutes, 编辑框2 seconds, 编辑框3 the
// pending adjustment in whole minutes (999 is the stop code).
enum class CountdownBox { Minutes, Seconds, Adjustment };

// Everything a countdown touches. The Win32 side reads and writes the real
// controls; tests record the calls.
struct CountdownIo {
    virtual std::string Read(CountdownBox box) = 0;
    virtual void Write(CountdownBox box, const std::string& text) = 0;
    // Caption of CountdownOverlay's 标签1.
    virtual void Show(const std::string& caption) = 0;
    // Loads TimeUpWindow modally; returns when it has been closed.
    virtual void OpenTimeUp() = 0;
    // The program's message box; returns when it has been dismissed.
    virtual void Message(const std::string& text) = 0;
    // The 1000 ms sleep between passes.
    virtual void Pause() = 0;

  protected:
    ~CountdownIo() = default;
};

enum class CountdownEnd {
    Continue,  // the pass wrote the new minutes and seconds; run the next one
    TimeUp,    // 0:0 reached; TimeUpWindow has been shown and closed
    BelowZero, // minutes or seconds below zero; the message has been dismissed
    Stopped,   // minutes above 99 (the stop code or many added minutes); silent
};

// Passes of one countdown stop after this many.
inline constexpr uint32_t kCountdownPassBound = 1316134911;

// One pass: picks up the pending adjustment, shows the minutes and seconds as
// read (so an adjusted minute shows one pass later), tests for the ends, counts
// down one second across the pause and writes minutes and seconds back.
CountdownEnd RunCountdownPass(CountdownIo& io);

// A whole countdown from minutes:59 (a pending adjustment or stop code is
// discarded), up to passBound passes; every end leaves "0" in the overlay and the
// boxes as the last pass left them. The caller sets 时钟2's period before.
void RunCountdown(CountdownIo& io, int minutes, uint32_t passBound = kCountdownPassBound);

// The adjusting chords: they only write 编辑框3; the next pass picks the change up.
void AddMinute(CountdownIo& io);
void SubtractMinute(CountdownIo& io);
void StopCountdown(CountdownIo& io);
