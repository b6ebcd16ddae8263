#pragma once
// Named properties of windows: a pointer kept under a name per window handle,
// as the dialogs mark their windows ("DLG_CLASS", "cHook",
// "CTRL_SCROLL_CLASS"). Main thread only.

#include "platform/WinTypes.h"

bool SetProp(HWND window, const char* name, void* value);
void* GetProp(HWND window, const char* name);
void* RemoveProp(HWND window, const char* name);
// Every property of the window goes (it is being destroyed).
void RemoveAllProps(HWND window);
// Forgets every property (tests).
void ResetWindowPropsForTests();
