#include "engine/win32/utf.h"

#include <cstdint>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendUtf8(std::string& text, std::uint32_t code) {
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else if (code < 0x800) {
    text += static_cast<char>(0xC0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    text += static_cast<char>(0xE0 | (code >> 12));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (code >> 18));
    text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace

std::wstring Widen(const std::string& text) {
  std::wstring wide;
  wide.reserve(text.size());
  AppendWide(text, wide);
  return wide;
}

// No reserve here: a caller that appends many texts to one buffer keeps its growth geometric.
void AppendWide(std::string_view text, std::wstring& wide) {
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size;) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = at(0);
    std::uint32_t code = 0xFFFD;
    std::size_t length = 1;
    if (lead < 0x80) {
      code = lead;
    } else if (lead >= 0xC2 && lead < 0xE0 && i + 1 < size && IsContinuation(at(1))) {
      code = ((lead & 0x1Fu) << 6) | (at(1) & 0x3Fu);
      length = 2;
    } else if (lead >= 0xE0 && lead < 0xF0 && i + 2 < size && IsContinuation(at(1)) && IsContinuation(at(2))) {
      const std::uint32_t three = ((lead & 0x0Fu) << 12) | ((at(1) & 0x3Fu) << 6) | (at(2) & 0x3Fu);
      // Surrogates included: they are how Narrow writes a lone one.
      if (three >= 0x800) {
        code = three;
        length = 3;
      }
    } else if (lead >= 0xF0 && lead < 0xF5 && i + 3 < size && IsContinuation(at(1)) && IsContinuation(at(2)) &&
               IsContinuation(at(3))) {
      const std::uint32_t four =
          ((lead & 0x07u) << 18) | ((at(1) & 0x3Fu) << 12) | ((at(2) & 0x3Fu) << 6) | (at(3) & 0x3Fu);
      if (four >= 0x10000 && four < 0x110000) {
        code = four;
        length = 4;
      }
    }
    if (code < 0x10000) {
      wide += static_cast<wchar_t>(code);
    } else {
      wide += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
      wide += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    }
    i += length;
  }
}

std::string Narrow(const wchar_t* text, std::size_t length) {
  std::string narrow;
  narrow.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    std::uint32_t code = static_cast<std::uint16_t>(text[i]);
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < length) {
      const std::uint32_t low = static_cast<std::uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(narrow, code);
  }
  return narrow;
}

std::string Narrow(const std::wstring& text) { return Narrow(text.data(), text.size()); }
