#pragma once
// The system sounds: fixed slots of the system data's sound list that the
// game scene plays for its own events, whatever the stage's flows do.

inline constexpr int kSoundCursor = 0;
inline constexpr int kSoundDecide = 1;
inline constexpr int kSoundCancel = 2;
inline constexpr int kSoundRefused = 3;
inline constexpr int kSoundPause = 4;
inline constexpr int kSoundRankGenre = 6;
inline constexpr int kSoundHit = 7;
inline constexpr int kSoundHeroDies = 8;
inline constexpr int kSoundCharaDies = 9;
inline constexpr int kSoundSpring = 10;
inline constexpr int kSoundMessageEnd = 12;
inline constexpr int kSoundStageClear = 14;
inline constexpr int kSoundExtraLife = 15;
inline constexpr int kSoundRankEntry = 16;
