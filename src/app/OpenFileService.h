#pragma once
// The open-file dialog behind the main window's stage-file and replay requests
// (1026 and 1027): the file browser drawn inside the main window, opened on
// the request's folder with its title and file patterns. The player and the
// headless runner both answer the requests with it.

#include <string>

#include "app/MainWnd.h"

// True with the chosen file's program path; false when the dialog was
// cancelled.
bool RunOpenFileDialog(std::string& path, const sFileDialogRequest& request);
