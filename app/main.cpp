#include "app/commands.h"
#include "ui/windows.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ui::SetCleanUp(CleanUp);
    return ui::Run(MainWindow);
}
