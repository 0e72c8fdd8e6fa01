#include "app/commands.h"
#include "hotkeys/hotkeys.h"
#include "ui/windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CreateHotkeyRegistry();
    ui::SetCleanUp(CleanUp);
    return ui::Run(MainWindow);
}
