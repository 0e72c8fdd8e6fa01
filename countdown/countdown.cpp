#include "countdown/countdown.h"

#include "common/win.h"
#include "ui/windows.h"

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
