#pragma once
// The fixed surfaces: g_SurfaceData row n is created from g_SurfaceDef row n
// (SurfaceDef.h) by DDCreateSurfaceTable.

#include <array>

#include "graphics/Surface.h"
#include "graphics/SurfaceDef.h"

// The fixed surfaces. Defined with every global object in app/Globals.cpp.
extern std::array<DDSURFACEDATA, kSurfaceTableRows> g_SurfaceData;

// Links every copy row of g_SurfaceData to the row it copies. The start-up
// calls it after DDInit and before loading rows.
void LinkMirrorSurfaces();

// Creates (again) the listed rows of the surface array from g_SurfaceDef, in
// list order: each row is released first; a file row is loaded from its
// bitmap, an "E" row made empty (a row with an empty name is a file row whose
// bitmap cannot be loaded). A required row that fails stops the load
// with false: "%s の読み込みに失敗！" for a bitmap, the out-of-memory box for
// an empty surface. An optional row that fails is left without a surface.
bool DDCreateSurfaceTable(DDSURFACEDATA* lpSurfaces, const int* rows, int count);
