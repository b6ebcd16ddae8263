#pragma once
// The sword command's swing: one sword (a cShot with m_IsShot 0) made when
// the command starts, sized by the first frame of its sword type and linked
// to its owner. It then follows the owner through the type's frames
// (cShot::UpdateSword) and is removed after the last one.

class cCharaBase;
class cEdShot;
class cShot;

// Makes the sword of `edShot` for `owner` and adds it to g_ShotList. The
// listed sword, or null when the shot list is full.
cShot* SwingSword(cCharaBase& owner, cEdShot& edShot);
