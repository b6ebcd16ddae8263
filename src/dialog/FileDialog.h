#pragma once
// The file dialogs: a file browser drawn inside the main window. It lists the
// folders and the files of a folder whose names match the dialog's patterns
// (';'-separated, '*' and '?', letters compared without case), goes into a
// folder on Enter or a double click and up through "..", and answers with a
// path in the program's form (CP932, backslashes, relative to the working
// folder, as "data\stg4\Stage1.stg4_781"). The working folder never changes.
//
//   open   the chosen file must exist; OpenFileDialog answers 1 with the path,
//          0 (and an empty path) when cancelled
//   save   the name field starts with the suggested name; a name typed without
//          an extension gets the dialog's whole extension; an existing file is
//          only taken after "Yes" to the overwrite question; 0 when cancelled,
//          the path then as it was
// A path that would not fit the caller's buffer (260 bytes with its end) is
// refused with a box and the dialog stays open; the player never cuts a path.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/Dlg.h"

struct sFileDialogSetup {
  std::string initialFolder;    // program path; "" is the working folder
  std::string title;
  std::string filterName;       // "StageFile ( *.stg4_*;*.rpl4_* )"
  std::string filterPatterns;   // "*.stg4_*;*.rpl4_*"
  std::string defaultExtension; // "stg4_*;rpl4_*" (a save dialog: "rpl4_781")
  bool english = false;
};

// The three dialogs of the player.
sFileDialogSetup StageOpenDialogSetup(bool english);
sFileDialogSetup ReplayOpenDialogSetup(bool english);
sFileDialogSetup ReplaySaveDialogSetup(bool english, std::string_view replayExtension);

constexpr std::size_t kFilePathBuffer = 260;

// 1 with the chosen path, else 0 with `path` empty. With `list`, the chosen
// path is also appended to it.
int OpenFileDialog(cWnd* owner, std::string& path, std::size_t bufferLength, const sFileDialogSetup& setup,
                   bool multipleSelection = false, std::vector<std::string>* list = nullptr);
// 1 with the chosen path, else 0 with `path` as it was. Unless `keepBuffer`,
// the dialog starts without a suggested name.
int SaveFileDialog(cWnd* owner, std::string& path, const sFileDialogSetup& setup, bool keepBuffer);

// A file name against ';'-separated patterns.
bool MatchesFilePatterns(std::string_view nameCp932, std::string_view patterns);

// A multiple selection's answer (NUL-separated parts up to the double NUL):
// one part is one path; with several, the first is the folder and each
// further part a name in it ("folder\name").
std::vector<std::string> SplitMultipleSelection(std::string_view buffer);

class cFileBrowserDlg;
