#pragma once
// The sizes of the lists of the two palettes a stage draws on (the common
// palette and the stage's own), against which palette references of commands,
// blocks, characters and items are repaired. The palette owners fill it; the
// records that hold references only read it.

struct cPaletteSizes {
  int m_nCommonBlocks = 0;
  int m_nCommonCharas = 0;
  int m_nCommonItems = 0;
  int m_nStageBlocks = 0;
  int m_nStageCharas = 0;
  int m_nStageItems = 0;
};
