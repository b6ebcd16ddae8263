#include "core/StringUtil.h"

#include <cstdint>
#include <cstdio>

#include "platform/TextCodec.h"

namespace {

std::string_view UpToFirstNul(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

}  // namespace

std::string FormatStringV(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return std::string();

  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  va_list write;
  va_copy(write, args);
  std::vsnprintf(text.data(), text.size(), format, write);
  va_end(write);
  text.resize(static_cast<std::size_t>(length));
  // A "%c" of 0 ends the text there, as it would in a C string.
  text.resize(UpToFirstNul(text).size());
  return text;
}

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatStringV(format, args);
  va_end(args);
  return text;
}

void FormatString(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out = FormatStringV(format, args);
  va_end(args);
}

void AppendFormat(std::string& inout, const char* format, ...) {
  va_list args;
  va_start(args, format);
  inout += FormatStringV(format, args);
  va_end(args);
}

int FixStringLength(std::string& text) {
  text.resize(UpToFirstNul(text).size());
  return static_cast<int>(text.size());
}

std::string MidString(const std::string& text, int start, int count) {
  const std::string_view source = UpToFirstNul(text);
  const auto length = static_cast<std::int64_t>(source.size());
  std::int64_t from = start;
  std::int64_t take = count;
  if (from < 0) {
    take += from;
    from = 0;
  } else if (from > length) {
    return std::string();
  }
  if (take == 0) return std::string();
  if (take < 0 || from + take > length) return std::string(source.substr(static_cast<std::size_t>(from)));
  return std::string(source.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(take)));
}

bool IsMbcsPair(const char* text) {
  return plat::IsCp932LeadByte(static_cast<unsigned char>(text[0])) &&
         plat::IsCp932TrailByte(static_cast<unsigned char>(text[1]));
}

int CountChars(const char* text) {
  int count = 0;
  for (const char* p = text; *p != '\0';) {
    if (IsMbcsPair(p)) {
      ++count;
      p += 2;
    } else {
      if (*p != '\n') ++count;
      ++p;
    }
  }
  return count;
}

std::string CutAtCharBoundary(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t end = 0;
  while (end < maxBytes) {
    const auto lead = static_cast<unsigned char>(text[end]);
    const bool pair = plat::IsCp932LeadByte(lead) && end + 1 < text.size() &&
                      plat::IsCp932TrailByte(static_cast<unsigned char>(text[end + 1]));
    const std::size_t step = pair ? 2 : 1;
    if (end + step > maxBytes) break;
    end += step;
  }
  return std::string(text.substr(0, end));
}
