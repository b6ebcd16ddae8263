#pragma once
// UTF-8 text written in a test's source, as a plain string: narrow literals
// are compiled to CP932, so UTF-8 bytes are written as u8"..." literals.

#include <string>
#include <string_view>

inline std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }
