#pragma once
// Text helpers shared by every subsystem. Texts are CP932 bytes: a lead byte
// (0x81-0x9F, 0xE0-0xFC) followed by a trail byte (0x40-0x7E, 0x80-0xFC) is
// one character; half-width kana (0xA1-0xDF) are single bytes.
//
// Formatting has no length limit (the text is measured first, then written).
// A formatted text ends at its first NUL byte, as a C string would.
//
// The dialog-item helpers (reading and setting a control's text) belong with
// the dialog library and live there.

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/PrintfFormat.h"

// The printf-formatted text, of any length, up to its first NUL.
std::string FormatStringV(const char* format, va_list args);
std::string FormatText(const char* format, ...) KESTROVA_PRINTF_FORMAT(1, 2);

// `out` becomes the formatted text.
void FormatString(std::string& out, const char* format, ...) KESTROVA_PRINTF_FORMAT(2, 3);

// Appends the formatted text to `inout`.
void AppendFormat(std::string& inout, const char* format, ...) KESTROVA_PRINTF_FORMAT(2, 3);

// Cuts the string at its first NUL byte; returns the new length.
int FixStringLength(std::string& text);

// A substring with clamping, taken from the text up to its first NUL:
// - a negative start adds itself to the count and starts at 0;
// - a start past the end, or a count of 0, gives "";
// - a count reaching past the end, or still negative, takes the rest.
// The source is left unchanged.
std::string MidString(const std::string& text, int start, int count);

// True when text[0] is a CP932 lead byte and text[1] a trail byte. Reads
// text[1] only after text[0] was found to be a lead byte, so a NUL-terminated
// text is never read past its end.
bool IsMbcsPair(const char* text);

// The number of characters of a NUL-terminated text: a lead-and-trail pair
// counts once, "\n" does not count, every other byte counts once.
int CountChars(const char* text);

// The longest prefix of `text` of at most `maxBytes` bytes that does not split
// a lead byte from its trail byte.
std::string CutAtCharBoundary(std::string_view text, std::size_t maxBytes);
