#pragma once

#include <string>
#include <string_view>

// The program keeps texts as UTF-8 inside and speaks UTF-16 to Win32; these convert at that
// boundary. A file name on Windows may hold a UTF-16 surrogate without its partner, which no
// UTF-8 text can hold: Narrow writes one as the three bytes its code would take in UTF-8, and
// Widen reads those back, so that every name the system lists reaches it again (the form is
// known as WTF-8). Bytes that are no such text become U+FFFD.
std::wstring Widen(const std::string& text);
// The same, appended to `wide`: for callers that reuse one buffer for many texts.
void AppendWide(std::string_view text, std::wstring& wide);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text, std::size_t length);
