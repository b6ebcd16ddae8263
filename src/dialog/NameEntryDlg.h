#pragma once
// cNameEntryDlg: the name-entry dialog (template 102). The player types a name
// of at most three characters (a double-byte character counts as one) into
// the bound string: the options' player name when the name is asked for from
// the option screen, otherwise the game scene's ranking entry name; the opener
// chooses. OK stores the typed name and ends with 1; closing ends with 0 and
// leaves the string as it was.
//
// Without a string to bind (neither screen asked) the dialog opens with an
// empty box and OK stores nothing.

#include <string>

#include "dialog/Dlg.h"
#include "dialog/EditCtrl.h"

constexpr std::uint16_t kNameEntryTemplateId = 102;

const sDlgTemplate& NameEntryTemplate();

// Which string the dialog edits.
enum class eNameEntryTarget { None, OptionName, EntryName };

class cNameEntryDlg : public cDlg {
 public:
  // `windowed`: the main window is a window (the dialog is placed relative to
  // it), not the full screen. `english` retitles the label.
  cNameEntryDlg(cWnd* owner, std::int32_t createValue, cWindowRegistry* registry, eNameEntryTarget target,
                std::string* name, bool windowed, bool english);

  void OnCreate(WPARAM wParam, LPARAM lParam) override;
  void OnCommand(WPARAM wParam, LPARAM lParam) override;

  cEditCtrl m_Edits[1];
  int m_nEditCount = 0;
  sEditSetup m_EditSetups[1];
  bool m_bEnglish = false;
};
