#include "app/SystemIni.h"

#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "core/Log.h"
#include "data/SystemData.h"
#include "platform/PathResolver.h"

namespace {

// The integer of a value as the C library reads one: optional blanks and sign,
// then the leading digits; 0 when there are none. Values beyond the int range
// are held at its ends instead of overflowing.
int IntegerOf(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<std::int64_t>(INT_MAX) + 1) value = static_cast<std::int64_t>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int* IntegerSetting(cSystemIni& settings, int index) {
  switch (index) {
    case INI_DIRECT3D: return &settings.m_nDirect3D;
    case INI_WINDOW_MODE: return &settings.m_nWindowMode;
    case INI_BPP: return &settings.m_nBpp;
    case INI_VSYNC: return &settings.m_nVSync;
    case INI_D3D_FONT_CACHE: return &settings.m_nD3DFontCache;
    case INI_DD_FONT_CACHE: return &settings.m_nDDFontCache;
    case INI_DD_VIDEO_STRETCH: return &settings.m_nDDVideoStretch;
    case INI_SHOW_FPS: return &settings.m_nShowFps;
    case INI_ENGLISH: return &settings.m_nEnglish;
    default: return nullptr;
  }
}

// The first key of the list equal to `key` decides; keys beyond the ten
// settings change nothing.
void ApplyValue(cSystemIni& settings, const std::vector<cIniKey>& keys, std::string_view key,
                std::string_view value) {
  for (std::size_t index = 0; index < keys.size(); ++index) {
    if (keys[index].m_strKey != key) continue;
    if (index == INI_FREE_STAGE) {
      if (value.size() >= kFreeStageMinChars && value.size() <= kFreeStageMaxChars) {
        settings.m_strFreeStage.assign(value);
      }
    } else if (int* setting = IntegerSetting(settings, static_cast<int>(index))) {
      *setting = IntegerOf(value);
    }
    return;
  }
}

void AppendBounded(std::string& buffer, char c) {
  if (buffer.size() < kIniBufferChars) buffer.push_back(c);
}

}  // namespace

std::vector<cIniKey> SystemIniKeys() {
  std::vector<cIniKey> keys;
  for (const cSystemIniKey& key : g_System.m_IniKeys) keys.push_back({key.m_strKey, key.m_nNumber, key.m_strText});
  return keys;
}

void DefaultSystemIni(cSystemIni& settings, const std::vector<cIniKey>& keys) {
  settings = cSystemIni{};
  for (int index = INI_DIRECT3D; index <= INI_SHOW_FPS; ++index) {
    if (static_cast<std::size_t>(index) < keys.size()) *IntegerSetting(settings, index) = keys[index].m_nNumber;
  }
  if (keys.size() > INI_FREE_STAGE) settings.m_strFreeStage = keys[INI_FREE_STAGE].m_strText;
  settings.m_nEnglish = 0;
}

int ParseSystemIni(std::string_view bytes, cSystemIni& settings, const std::vector<cIniKey>& keys) {
  cSystemIni parsed = settings;
  std::size_t pos = 0;
  int lines = 0;
  std::string key;
  std::string value;
  while (true) {
    // The key, up to '=', a line feed or a NUL byte.
    key.clear();
    char end = 0;
    while (true) {
      if (pos >= bytes.size()) return 0;  // the file ended before "Exit"
      const char c = bytes[pos++];
      if (c == '=' || c == '\n' || c == '\0') {
        end = c;
        break;
      }
      if (c == '\r' || c == ' ' || c == '\t') continue;
      AppendBounded(key, c);
    }
    if (end == '\0') break;
    if (end == '\n') {
      if (key == "Exit") break;
    } else {
      // The value, up to a blank, a tab, '/', a line feed or a NUL byte.
      // Whatever follows is read as a line of its own. Carriage returns are
      // dropped as in keys: files edited on Windows end their lines with CR LF,
      // and a CR kept at the end of a FreeStage path names no file.
      value.clear();
      while (true) {
        if (pos >= bytes.size()) return 0;
        const char c = bytes[pos++];
        if (c == ' ' || c == '\t' || c == '/' || c == '\n' || c == '\0') break;
        if (c == '\r') continue;
        AppendBounded(value, c);
      }
      ApplyValue(parsed, keys, key, value);
    }
    if (++lines >= kIniMaxLines) break;
  }
  settings = std::move(parsed);
  return 1;
}

int ReadSystemIni(std::string_view path, cSystemIni& settings, const std::vector<cIniKey>& keys) {
  if (!plat::FileExists(path)) return 0;
  std::ifstream in(plat::NativePath(path), std::ios::binary);
  if (!in) return 0;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return 0;
  return ParseSystemIni(bytes, settings, keys);
}

bool LoadSystemIni(cSystemIni& settings, std::string_view path) {
  const std::vector<cIniKey> keys = SystemIniKeys();
  DefaultSystemIni(settings, keys);
  if (ReadSystemIni(path, settings, keys)) return true;
  ReportPrintfError("System.ini の読み込みに失敗しました！");
  DefaultSystemIni(settings, keys);
  return false;
}
