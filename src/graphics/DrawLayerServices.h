#pragma once
// The drawing layer's side of DisplayServices.h: what the core's report and
// message boxes learn of the running display. DDInit installs it when a back
// end has started; DDUnInit withdraws it.

#include "core/DisplayServices.h"

class cDrawLayerServices final : public cDisplayServices {
 public:
  // Started, windowed, back end, the depth drawn at, and the device's own
  // figures (maximum texture size and stages under Direct3D, the display's
  // refresh rate under DirectDraw). The software device has no video memory
  // of its own, so no memory figures are given.
  cDisplayDescription Describe() const override;
  // DDMesBox: makes ordinary boxes visible over the display, shows the box and
  // returns the button pressed; 0 (no box) when the display refused.
  int MesBox(const std::string& text, const std::string& caption, unsigned type) override;
};

void InstallDrawLayerServices();
void WithdrawDrawLayerServices();
