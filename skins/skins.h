// Skins: the skin library beside the program and the stored skins.
#pragma once

void ApplySkin(int n);
void OpenSkinWindow();
void OnSkinWindowCreated();
void CloseSkinWindow();
