#pragma once
// The Ogg Vorbis side of the music: cVoxPlayer holds one Ogg player object
// (IVox) per music channel and plays a file on one of them at a time.
//
// The player objects come from the Ogg library's entry point CreateVox. The
// player has that library built in (OggVox.h); a process can be without it,
// which tests arrange with SetVoxLibrary(nullptr): Init then fails with the
// box "oggの初期化に失敗！" and the music manager stays off.
//
// What the music manager relies on of a player object:
//   Close   is called before every Load, also on an object that holds nothing;
//   Load    true when the file can be played (and plays nothing yet);
//   SetLoop kVoxLoopForever repeats the file without end, 0 plays it once;
//   Play    starts playing and returns at once; the music goes on by itself
//           until Stop;
// and destroying the object (the library's Release) stops it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IVox {
 public:
  virtual ~IVox() = default;
  virtual bool Load(std::string_view path) = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Close() = 0;
  virtual void SetLoop(std::int32_t count) = 0;
};

inline constexpr std::int32_t kVoxLoopForever = 0x7FFFFFFF;

// The library's entry point: a new player object, or null.
using CreateVoxProc = std::unique_ptr<IVox> (*)();

// The entry point of the Ogg library as the process has it: the built-in
// CreateOggVox unless a test installed another one or none.
CreateVoxProc LoadVoxLibrary();
void SetVoxLibrary(CreateVoxProc entry);
void ResetVoxLibraryForTests();

class cVoxPlayer {
 public:
  cVoxPlayer() = default;
  ~cVoxPlayer() { Release(); }
  cVoxPlayer(const cVoxPlayer&) = delete;
  cVoxPlayer& operator=(const cVoxPlayer&) = delete;

  // Finds the library's entry point; without one: the box
  // "oggの初期化に失敗！" and false.
  bool Init();
  // One player object per channel, each made by the entry point. An object
  // that cannot be made is reported as out of memory (false).
  bool SetCount(int count);
  // Stops what plays, loads `path` on the channel's object and plays it
  // (looping when `loop` is not 0). False for an empty path (nothing else
  // happens) and for a file the object cannot load (nothing plays then).
  bool Play(int channel, std::string_view path, int loop);
  // Stops the object that plays, if one does.
  void Stop();
  // Destroys every object and forgets the library.
  void Release();

  int CurrentChannel() const { return m_nCurrent; }

 private:
  std::vector<std::unique_ptr<IVox>> m_Players;
  std::int32_t m_nCount = 0;
  std::int32_t m_nCurrent = -1;
  CreateVoxProc m_CreateVox = nullptr;  // the library's entry point once found
};
