#pragma once
// cEditCtrl: an edit item bound to a string, with the limits of the player's
// edit boxes. Lengths count characters (a double-byte character counts once)
// when double-byte counting is on, else bytes. On every change of the item
// (EN_UPDATE) the text is checked against the limits: lines longer than the
// line length are wrapped into the next line, and a text with more lines than
// allowed is refused (the last accepted text comes back, with its selection).
//
// The set-up record gives the limits; zeros take the defaults (total 4096,
// line length 1024, line count 32). The short form (id, string, n, double-byte)
// gives total n + 1, line length n with double-byte counting (else none) and
// one line: a box that takes at most n characters.

#include <cstdint>
#include <string>

#include "dialog/Ctrl.h"

struct sEditSetup {
  std::uint16_t id = 0;
  std::string* text = nullptr;
  std::int32_t total = 0;       // 0: 4096
  std::int32_t lineLength = 0;  // 0: 1024
  std::int32_t lineCount = 0;   // 0: 32
  std::int32_t doubleByte = 0;
  std::int32_t extra[4] = {};

  // The short form.
  static sEditSetup Short(std::uint16_t id, std::string* text, int length, int doubleByte);
};

class cEditCtrl : public cCtrl {
 public:
  cEditCtrl() : cCtrl(CTRL_EDIT) {}

  // Binds, takes the limits and puts the bound string into the item.
  void Setup(cDlg* dialog, const sEditSetup& setup);
  // Puts the bound string into the item again, as Setup does.
  void LoadValue() override;
  void StoreValue() override;
  void OnChange() override;

  // The item's text as the limits read it: at most total × 2 − 1 bytes with
  // double-byte counting, else total − 1, cut on a character boundary.
  std::string ReadItemText() const;

  std::string* m_pText = nullptr;
  std::int32_t m_nTotal = 0;
  std::int32_t m_bDoubleByte = 0;
  std::int32_t m_nLineLength = 0;
  std::int32_t m_nLineCount = 0;
  std::int32_t m_bSetup = 0;
  std::string m_strAccepted;
  int m_nSelStart = 0;
  int m_nSelEnd = 0;
  std::int32_t m_Extra[4] = {};

 private:
  // Puts a text into the item, notes it as the last accepted text and checks
  // it once, cutting what is over the limits: the item never holds more than
  // they allow, whatever the bound string holds.
  void PutText(const std::string& text);

  bool m_bChanging = false;
};

// The text wrapped and checked against the limits, as OnChange applies it.
// Pure: the edit's state goes in and the outcome comes out.
struct sEditCheck {
  std::string text;
  int selStart = 0;
  int selEnd = 0;
  bool restored = false;  // the last accepted text came back
};
sEditCheck CheckEditText(std::string text, int selStart, int selEnd, const std::string& accepted, int acceptedSelStart,
                         int acceptedSelEnd, int lineLength, int lineCount, bool doubleByte, bool settingUp,
                         bool backspaceHeld);
