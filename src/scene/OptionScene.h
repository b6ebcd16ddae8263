#pragma once
// cOptionScene (scene type 5): the player's options, reached from the title.
// The rows are the system data's option list; an entry's position is the
// option it edits (eOptionEntry). A value changes one step at a time with
// up and down, wrapping round its range, and takes effect at once where it
// has an immediate effect (the 8-bit colour set, the sound-effect volume);
// cancel puts back the value the edit began with. The ranking name is asked
// through the name-entry dialog. Leaving applies the music switch and saves
// "user_data\Option.dat"; the scene always returns to the title.

#include <array>
#include <cstdint>

#include "graphics/Surface.h"
#include "scene/MenuScene.h"

enum eOptionEntry : int {
  OPTION_COLOUR_SET = 0,
  OPTION_MUSIC = 1,
  OPTION_SE_VOLUME = 2,
  OPTION_RANK_MODE = 3,
  OPTION_RANK_NAME = 4,
  OPTION_BACK = 5,
  kOptionEntryCount = 6,
};

class cOptionScene : public cScreenMenuScene {
 public:
  cOptionScene();

  void Init() override;
  void FadeOut() override;

  // Step 1: choosing an entry (sub-step 1) and changing its value (2).
  void Menu();

  void DrawScreen(DDSURFACEDATA* lpDst) override;
  // The immediate effect of the edited option's value.
  void ApplyValue();

  int32_t m_nRows = 0;
  std::array<int32_t, kOptionEntryCount> m_CmdIndex{};
  int32_t m_nEditing = 0;     // the option being edited
  int32_t m_nEditStart = 0;   // its value when the edit began
  int32_t* m_pValue = nullptr;
  int32_t m_nLow = 0;
  int32_t m_nHigh = 0;

 private:
  void ChooseEntry();
  void EditValue();
  void StartEdit(int option);
};

// The value range and storage of an editable option (0 to 3); false for the
// others.
bool OptionValueRange(int option, int32_t*& value, int32_t& low, int32_t& high);

// Steps a value by the up (+1) and down (-1) keys, wrapping past either
// bound to the other. The new value.
int32_t StepOptionValue(int32_t value, std::uint16_t direction, int32_t low, int32_t high);

// The music switch of the options applied to the music manager: off releases
// a running manager, on starts a stopped one with the title tunes. Either
// change makes the next menu scene ask for its tune again.
void UpdateTitleBgm();

// Layout of the options screen.
inline constexpr int kOptionCursorX = 48;
inline constexpr int kOptionListY = 96;
inline constexpr int kOptionLabelX = 64;
inline constexpr int kOptionValueX = 208;
inline constexpr int kOptionEditX = 192;
