#pragma once
// The choices of the start-up dialog, kept in "user_data\Boot.dat" (a data
// file of the record format: version, 2 members, drawing mode, do-not-show,
// 0 strings; 20 bytes). Start-up reads it when System.ini leaves the drawing
// back end to the player; the dialog's Start button writes it.

#include <cstdint>
#include <string_view>

#include "data/DataRecord.h"

class cBootData : public cDataRecord {
 public:
  cBootData() { Reset(); }

  // Drawing mode 1 (Direct3D), do-not-show 0.
  void Reset();

  void RegisterMembers(int nVersion) override;

  // Reads "user_data\Boot.dat" (or `path`); false, and the record unchanged,
  // when it is missing or damaged.
  bool Load(std::string_view path = DefaultPath());
  // Writes it atomically; false when it could not be written (the choice then
  // holds for this run only).
  bool Save(std::string_view path = DefaultPath());

  static std::string_view DefaultPath();

  std::int32_t m_nDrawMode = 1;  // 1 Direct3D, 0 DirectDraw
  std::int32_t m_bNoShow = 0;    // 1: do not show the start-up dialog again
};

extern cBootData g_BootData;
