// The program's five windows, built from the templates in windows.cpp.
#pragma once
#include "ui/toolkit.h"

extern ui::Window MainWindow;
extern ui::Window CountdownOverlay;
extern ui::Window HelpWindow;
extern ui::Window TimeUpWindow;
extern ui::Window SkinWindow;

// The templates themselves, for tests that check them against the windows.
extern const ui::WindowTemplate MainWindowTemplate;
extern const ui::WindowTemplate CountdownOverlayTemplate;
extern const ui::WindowTemplate HelpWindowTemplate;
extern const ui::WindowTemplate TimeUpWindowTemplate;
extern const ui::WindowTemplate SkinWindowTemplate;

// HelpWindow's 48 x 48 picture: a BMP file image.
std::vector<uint8_t> HelpPicture();
