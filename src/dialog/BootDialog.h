#pragma once
// cBootDialog: the start-up dialog (template 103). It chooses the drawing back
// end (Direct3D or DirectDraw) and can be told not to show itself again; Start
// stores the choices into the boot record, writes "user_data\Boot.dat" and
// ends with 1, Cancel (or closing) ends with 0 and start-up stops.

#include <string>

#include "dialog/BootData.h"
#include "dialog/Dlg.h"

constexpr std::uint16_t kBootTemplateId = 103;

const sDlgTemplate& BootTemplate();

class cBootDialog : public cDlg {
 public:
  // `caption`: the game title; `english` puts the English texts in.
  cBootDialog(cWnd* owner, std::int32_t createValue, cWindowRegistry* registry, cBootData& bootData,
              std::string caption, bool english);

  void OnCreate(WPARAM wParam, LPARAM lParam) override { OnInitDialog(wParam, lParam); }
  void OnInitDialog(WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam) override;

  cCheckBinding m_Checks[1];
  cRadioBinding m_Radios[2];
  cTextBinding m_Texts[1];

 protected:
  // Ok and Yes press Start; No presses Cancel.
  void OnScriptAnswer(const plat::sDialogInput& answer) override;

 private:
  cBootData& m_BootData;
  std::string m_strCaption;
  bool m_bEnglish = false;
};
