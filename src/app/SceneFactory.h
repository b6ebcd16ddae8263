#pragma once
// The player's own scene factory: one line per scene type that has a class.
// The scene manager creates every scene through it (tests install their own).

class cScene;

// A new scene of the type, or null when the type has no scene class (yet).
// Throws std::bad_alloc when the scene cannot be allocated.
cScene* CreateScene(int type);
