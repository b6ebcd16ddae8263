#pragma once
// The main window's services of the sound request (1029) and the music
// request (1030): the sound-effect slots, the system data's scene tunes, the
// music database and the music manager.

#include "app/MainWnd.h"

void ConnectSoundServices(cMainWndServices& services);
