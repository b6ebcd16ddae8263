#include "dialog/BootData.h"

#include "data/PathTable.h"

void cBootData::Reset() {
  Clear();
  m_nDrawMode = 1;
  m_bNoShow = 0;
}

void cBootData::RegisterMembers(int /*nVersion*/) {
  ClearMembers();
  RegisterInt(m_nDrawMode);
  RegisterInt(m_bNoShow);
}

bool cBootData::Load(std::string_view path) { return cDataRecord::LoadFile(*this, path); }

bool cBootData::Save(std::string_view path) { return SaveFile(path); }

std::string_view cBootData::DefaultPath() { return g_PathTable[PATH_BOOT]; }
