#include "skins/skins.h"

#include "common/text.h"
#include "ui/windows.h"

// The skin engine is not bound yet: applying a skin leaves the standard look.
void ApplySkin(int) {}

void OpenSkinWindow() {
    ui::Load(SkinWindow, true);
}

void OnSkinWindowCreated() {
    ApplySkin(TextToInteger(ui::GetText(MainWindow, "编辑框1")));
}

void CloseSkinWindow() {
    ui::Destroy(SkinWindow);
}
