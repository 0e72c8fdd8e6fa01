#include "countdown/countdown.h"

#include "common/win.h"
#include "countdown/pass.h"
#include "ui/windows.h"

namespace {

// The countdown's state lives in MainWindow's edit boxes and its display in the
// overlay, read and written from the countdown's own thread.
struct WindowCountdownIo final : CountdownIo {
    static const char* BoxName(CountdownBox box) {
        switch (box) {
        case CountdownBox::Minutes:
            return "编辑框1";
        case CountdownBox::Seconds:
            return "编辑框2";
        case CountdownBox::Adjustment:
            return "编辑框3";
        }
        return "";
    }
    std::string Read(CountdownBox box) override { return ui::GetText(MainWindow, BoxName(box)); }
    void Write(CountdownBox box, const std::string& text) override {
        ui::SetText(MainWindow, BoxName(box), text);
    }
    void Show(const std::string& caption) override {
        ui::SetText(CountdownOverlay, "标签1", caption);
    }
    // The time-up window belongs to this thread: its modal loop and handlers run here.
    void OpenTimeUp() override { ui::Load(TimeUpWindow, true); }
    void Message(const std::string& text) override { ShowMessage(text); }
    void Pause() override { Sleep(1000); }
};

template <class F> DWORD Guarded(F f) {
    try {
        WindowCountdownIo io;
        f(io);
    } catch (...) {
        // A thread routine must not let an exception escape.
    }
    return 0;
}

void StartCountdown(int minutes) {
    // With MainWindow closed the countdown has nowhere to keep its minutes and
    // seconds (every read would give 0:0 and open the time-up window at once).
    if (!ui::IsLoaded(MainWindow)) return;
    Guarded([minutes](WindowCountdownIo& io) {
        ui::SetPeriod(MainWindow, "时钟2", 1000);
        RunCountdown(io, minutes);
    });
}

} // namespace

DWORD WINAPI StartFiveMinuteCountdown(LPVOID) {
    StartCountdown(4);
    return 0;
}

DWORD WINAPI StartThreeMinuteCountdown(LPVOID) {
    StartCountdown(2);
    return 0;
}

DWORD WINAPI AddMinuteChord(LPVOID) {
    return Guarded([](WindowCountdownIo& io) { AddMinute(io); });
}

DWORD WINAPI SubtractMinuteChord(LPVOID) {
    return Guarded([](WindowCountdownIo& io) { SubtractMinute(io); });
}

DWORD WINAPI StopCountdownChord(LPVOID) {
    return Guarded([](WindowCountdownIo& io) { StopCountdown(io); });
}

void OnCountdownOverlayCreated() {
    ui::SetText(CountdownOverlay, "标签1", "00:00");
    SetWindowAlpha(ui::Handle(CountdownOverlay), 150);
}

void OverlayFeedback() {}

void OnTimeUpWindowCreated() {
    ui::SetPeriod(TimeUpWindow, "时钟1", 100);
}

void KeepTimeUpInFront() {
    SetWindowTopmost(ui::Handle(TimeUpWindow), true);
}

void CloseTimeUpWindow() {
    ui::Destroy(TimeUpWindow);
}

void OpenTimeUpWindow() {
    ui::Load(TimeUpWindow, true);
}
