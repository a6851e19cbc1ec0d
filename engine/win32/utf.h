#pragma once

#include <string>

// The program keeps texts as UTF-8 inside and speaks UTF-16 to Win32; these convert at that
// boundary. Ill-formed input becomes U+FFFD rather than being dropped.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text, std::size_t length);
