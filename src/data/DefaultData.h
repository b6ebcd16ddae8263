#pragma once
// The default-data copy: when the game's data folder (data\) is missing at
// start-up, the player offers to create it from default\, a complete fresh
// copy of it. The copy is all or nothing: it is made in a scratch folder beside
// data\ and renamed into place only when whole; on any failure the scratch
// folder is removed and no data\ appears.

#include "platform/WinTypes.h"

// Makes sure data\ exists. True when it is already a folder (nothing is asked)
// or was copied from default\. False when default\ is not a folder (nothing is
// asked), when the user answers No to "データが存在しません！デフォルトデータを
// 作成しますか？" (caption "デフォルトデータ作成の確認"), when the copy failed,
// or when something that is not a folder is in data\'s place (it is left as it
// is, never deleted). The window owns the question box.
bool CreateDefaultData(HWND hWnd);
