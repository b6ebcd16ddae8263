#pragma once
// The story mode's world map (data\WorldMap.dat): a grid of cells, each showing
// one of the map's cell kinds, and nodes placed on cells whose stage entries
// decide what a node shows and which stage file it starts.
//
// The grid's rows lie at a power-of-two pitch: cell (x, y) is grid entry
// x + (y << pitch shift). The pitch and shift always follow from the width;
// the values stored in a file are not used.

#include <cstdint>
#include <string>

#include "core/SafeVector.h"
#include "data/DataRecord.h"

// The largest width and height a world map may have, in cells.
inline constexpr int kMaxWorldMapSize = 1024;

// One kind of cell: its chip in the world-map chip bitmap (five 32-dot chips
// to a row) and whether the cursor may enter it.
class cWorldCellKind : public cDataRecord {
 public:
  cWorldCellKind() { Clear(); }

  void RegisterMembers(int nVersion) override;

  // Carried in the file; the player does not use it.
  int32_t m_nValue = 0;
  // Nonzero: the cursor may not enter a cell of this kind (a node's applicable
  // stage entry decides for the cell it stands on).
  int32_t m_bImpassable = 0;
  int32_t m_nChip = 0;
  std::string m_strName;
  std::string m_strLabel;
};

// The kinds of stage entry.
enum eWorldStageKind : int {
  WORLD_STAGE_STAGE = 0,  // starts a stage; the only kind IsStageOnMap counts
  WORLD_STAGE_WALL = 2,   // the cursor may not enter
};

// One stage entry of a node.
class cWorldStage : public cDataRecord {
 public:
  cWorldStage() { Reset(); }
  // Cleared, variant number a = 1.
  void Reset();

  void RegisterMembers(int nVersion) override;
  // Entries of files of version 208 or older get required total 0.
  bool Read(cByteReader& in) override;

  int32_t m_nKind = WORLD_STAGE_STAGE;
  // The row (32 dots each) of the entry's icons in the node-icon bitmap.
  int32_t m_nSymbol = 0;
  // The progress flag set once the entry is cleared.
  int32_t m_nClearFlag = 0;
  // Nonzero: the cursor may pass over the entry before it is cleared (the
  // decide key opens its prompt); otherwise an uncleared entry blocks the way:
  // reaching it opens its prompt at once, and refusing sends the cursor back.
  int32_t m_bPassThrough = 0;
  // Nonzero: a cleared entry can be entered again.
  int32_t m_bReplay = 0;
  // Where a story goes once the entry's stage is cleared: 1 a new lap from
  // the map's start, 2 the title (the story's end); otherwise the map.
  int32_t m_nAfterClear = 0;
  // Above 0: the entry applies only while that progress flag is set.
  int32_t m_nNeedFlag = 0;
  // Not 0: the entry applies only when that common variable compares true
  // with the value under the comparison kind.
  int32_t m_nCondVar = 0;
  int32_t m_nCondValue = 0;
  int32_t m_nCondOp = 0;
  // The entry applies only when the progress total of best results is at least this.
  int32_t m_nNeedTotal = 0;
  int32_t m_bVariant = 0;
  int32_t m_nVariant1 = 1;
  int32_t m_nVariant2 = 0;
  // The text shown for the entry on the map.
  std::string m_strTitle;
  std::string m_strStageFile;
};

// A node on the map and its stage entries, the first applicable of which
// decides what it shows.
class cWorldNode : public cDataRecord {
 public:
  // Cleared, with one default stage entry.
  cWorldNode();
  // Cleared; the stage list keeps only its first entry, or gets a default one.
  void Reset();

  void RegisterMembers(int nVersion) override;
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  int32_t m_nX = 0;
  int32_t m_nY = 0;
  std::string m_strName;
  cSafeVector<cWorldStage> m_Stages;
};

// A cell position: the world-map cursor.
struct cWorldPoint {
  int32_t m_nX = 0;
  int32_t m_nY = 0;
};

// The pitch (the smallest power of two not below the width) and its log2.
void CalcPitch(int nWidth, int32_t& nPitch, int32_t& nShift);

class cWorldMap : public cDataRecord {
 public:
  cWorldMap() { Reset(); }
  // The defaults: "ワールド", 20 by 15 cells of kind 0, start (9, 7), fill
  // colour 16, ten cell kinds (0 to 4 impassable), no placed nodes, one second
  // node "デフォルト".
  void Reset();

  void RegisterMembers(int nVersion) override;
  // A map whose width or height lies outside 1..kMaxWorldMapSize is refused.
  // The grid is made height x pitch long (missing cells kind 0), cells naming
  // a kind the map does not have become kind 0 (an empty kind list gets one
  // cleared kind), then Normalize.
  bool Read(cByteReader& in) override;
  void Write(cByteWriter& out) override;

  // Moves the start onto the map and drops placed nodes off the map.
  void Normalize();
  // Resizes the grid keeping the cells both sizes share; the others become
  // kind 0. False, nothing changed, when a size is not positive.
  bool SetSize(int nWidth, int nHeight);

  // The grid index of cell (x, y), or -1 when the cell is off the map.
  int CellIndex(int nX, int nY) const;
  // The cell kind number of cell (x, y); 0 off the map.
  int32_t CellAt(int nX, int nY) const;

  // The first placed node on the cell, or null.
  const cWorldNode* FindNode(int nX, int nY) const;
  const cWorldNode* FindNodeAt(const cWorldPoint& point) const { return FindNode(point.m_nX, point.m_nY); }

  // True when a stage entry (kind 0) of a placed node starts the stage whose
  // key is `key`: the stage file without its extension, with a trailing "-1"
  // (its last occurrence) replaced by "." and cut there, otherwise with "."
  // appended. Mode 0 matches entries without variant; mode 1 entries with
  // variant numbers a and b.
  bool IsStageOnMap(const std::string& key, int nMode, int nVariantA, int nVariantB) const;

  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_nPitch = 0;
  int32_t m_nPitchShift = 0;
  cSafeVector<cWorldCellKind> m_CellKinds;
  // One cell-kind number per cell, height x pitch entries.
  cSafeVector<int32_t> m_Grid;
  // The nodes shown on the map.
  cSafeVector<cWorldNode> m_Nodes;
  // Read and written with the map; the player does not use them.
  cSafeVector<cWorldNode> m_Nodes2;
  // The cell where the story starts.
  int32_t m_nStartX = 0;
  int32_t m_nStartY = 0;
  // The palette number the world-map scene fills the screen with.
  int32_t m_nFillColour = 0;
  // Nonzero: the scene draws its background picture over the fill.
  int32_t m_bBackPicture = 0;
  std::string m_strName;
  // The file of the world-map scene's background picture.
  std::string m_strBackPicture;

 private:
  void RepairCellKinds();
};

// The world map of the running game. Defined with every global object
// in app/Globals.cpp.
extern cWorldMap g_WorldMap;
