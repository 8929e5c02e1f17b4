// Text inside Quenfold is UTF-8; these convert it to and from the system's UTF-16 and ANSI texts.
#pragma once

#include <cstddef>
#include <string>

namespace drvdb {

// Surrogate pairs are joined; a lone surrogate is skipped. Every code point in its shortest form.
std::string Utf16ToUtf8(const wchar_t* text, size_t length);
std::string Utf16ToUtf8(const std::wstring& text);

// Invalid input is dropped and decoding goes on: stray bytes, truncated, overlong and 5- or 6-byte forms,
// encoded surrogates and code points above U+10FFFF. Code points above U+FFFF become surrogate pairs.
std::wstring Utf8ToUtf16(const char* text, size_t length);
std::wstring Utf8ToUtf16(const std::string& text);

// Through UTF-16, in the system's ANSI code page. Utf8ToAnsi gives false when the text has no ANSI form.
std::string AnsiToUtf8(const std::string& text);
bool Utf8ToAnsi(const std::string& text, std::string& ansi);

}  // namespace drvdb
