#include "countdown/pass.h"

#include "common/text.h"

#include <cmath>

namespace {

// Minutes and seconds are doubles read from texts; every comparison allows this much.
constexpr double kEpsilon = 1e-7;

void Adjust(CountdownIo& io, double delta, const char* onEmpty) {
    const std::string text = io.Read(CountdownBox::Adjustment);
    if (!text.empty()) io.Write(CountdownBox::Adjustment, NumberToText(TextToNumber(text) + delta));
    // Read again: the box may have been emptied meanwhile by another thread.
    if (io.Read(CountdownBox::Adjustment).empty()) io.Write(CountdownBox::Adjustment, onEmpty);
}

} // namespace

CountdownEnd RunCountdownPass(CountdownIo& io) {
    double adjustment = 0;
    if (!io.Read(CountdownBox::Adjustment).empty()) {
        adjustment = TextToNumber(io.Read(CountdownBox::Adjustment));
        io.Write(CountdownBox::Adjustment, "0");
    }

    const std::string minutesText = io.Read(CountdownBox::Minutes);
    const std::string secondsText = io.Read(CountdownBox::Seconds);
    double seconds = TextToNumber(secondsText);
    double minutes = TextToNumber(minutesText) + adjustment;

    // The texts as read, before the adjustment.
    io.Show(minutesText + ":" + secondsText);

    if (std::fabs(minutes) <= kEpsilon && std::fabs(seconds) <= kEpsilon) {
        io.OpenTimeUp();
        return CountdownEnd::TimeUp;
    }
    if (minutes < -kEpsilon) {
        io.Message("时间小于0");
        return CountdownEnd::BelowZero;
    }
    if (minutes - 99 > kEpsilon) return CountdownEnd::Stopped;
    if (seconds < -kEpsilon) {
        io.Message("时间小于0");
        return CountdownEnd::BelowZero;
    }

    seconds -= 1;
    io.Pause();
    if (seconds < -kEpsilon && minutes > kEpsilon) {
        minutes -= 1;
        seconds = 59;
    }
    io.Write(CountdownBox::Minutes, NumberToText(minutes));
    io.Write(CountdownBox::Seconds, NumberToText(seconds));
    return CountdownEnd::Continue;
}

void RunCountdown(CountdownIo& io, int minutes, uint32_t passBound) {
    io.Write(CountdownBox::Minutes, NumberToText(minutes));
    io.Write(CountdownBox::Seconds, "59");
    io.Write(CountdownBox::Adjustment, "0");
    // Counted as passes done, so that any bound, even the largest, ends the loop.
    for (uint32_t done = 0; done < passBound; ++done)
        if (RunCountdownPass(io) != CountdownEnd::Continue) break;
    io.Show("0");
}

void AddMinute(CountdownIo& io) {
    Adjust(io, 1, "1");
}

void SubtractMinute(CountdownIo& io) {
    Adjust(io, -1, "-1");
}

void StopCountdown(CountdownIo& io) {
    io.Write(CountdownBox::Adjustment, "999");
}
