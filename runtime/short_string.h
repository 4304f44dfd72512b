// Short strings: a length byte and up to 255 single-byte characters.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace rtl {

struct ShortString {
  uint8_t length = 0;
  char chars[255];

  ShortString() = default;
  // Longer text is cut to 255 characters.
  ShortString(std::string_view text) { Set(text); }  // NOLINT: strings convert implicitly, as literals do
  ShortString(const char* text) : ShortString(std::string_view(text)) {}

  void Set(std::string_view text) {
    length = static_cast<uint8_t>(text.size() < 255 ? text.size() : 255);
    std::memcpy(chars, text.data(), length);
  }
  std::string_view View() const { return {chars, length}; }
  bool operator==(const ShortString& other) const { return View() == other.View(); }
};

// The text cut to at most `limit` characters, for fields declared shorter.
inline ShortString Cut(std::string_view text, uint8_t limit) {
  return ShortString(text.substr(0, limit));
}

}  // namespace rtl
