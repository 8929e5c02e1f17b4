// UTF-8 <-> UTF-16 by hand, so that invalid input is dropped the same way on every Windows version.
#include "Utf8.h"

#include <windows.h>

namespace drvdb {

namespace {

void AppendUtf8(std::string& out, unsigned long code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code <= 0x10FFFF) {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsHighSurrogate(unsigned long unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(unsigned long unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// How many continuation bytes a lead byte announces; -1 for a byte that starts no sequence.
int ContinuationCount(unsigned char lead) {
    if (lead < 0x80) return 0;
    if (lead < 0xC0) return -1;
    if (lead < 0xE0) return 1;
    if (lead < 0xF0) return 2;
    if (lead < 0xF8) return 3;
    if (lead < 0xFC) return 4;
    if (lead < 0xFE) return 5;
    return -1;
}

}  // namespace

std::string Utf16ToUtf8(const wchar_t* text, size_t length) {
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        unsigned long unit = static_cast<unsigned short>(text[i]);
        if (IsHighSurrogate(unit)) {
            if (i + 1 < length && IsLowSurrogate(static_cast<unsigned short>(text[i + 1]))) {
                const unsigned long low = static_cast<unsigned short>(text[++i]);
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            }
            continue;
        }
        if (IsLowSurrogate(unit)) continue;
        AppendUtf8(out, unit);
    }
    return out;
}

std::string Utf16ToUtf8(const std::wstring& text) { return Utf16ToUtf8(text.data(), text.size()); }

std::wstring Utf8ToUtf16(const char* text, size_t length) {
    static const unsigned long kSmallest[] = {0, 0x80, 0x800, 0x10000};
    std::wstring out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const int count = ContinuationCount(lead);
        if (count < 0) {
            ++i;
            continue;
        }
        unsigned long code = count == 0 ? lead : (lead & (0x3F >> count));
        size_t next = i + 1;
        while (next < length && next - i <= static_cast<size_t>(count) &&
               (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) {
            code = (code << 6) | (static_cast<unsigned char>(text[next]) & 0x3F);
            ++next;
        }
        // A truncated sequence ends at the byte that broke it; decoding goes on from there.
        const bool whole = next - i == static_cast<size_t>(count) + 1;
        i = next;
        if (!whole || count > 3 || code < kSmallest[count] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (code >> 10));
            out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            out += static_cast<wchar_t>(code);
        }
    }
    return out;
}

std::wstring Utf8ToUtf16(const std::string& text) { return Utf8ToUtf16(text.data(), text.size()); }

std::string AnsiToUtf8(const std::string& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wide <= 0) return std::string();
    std::wstring buffer(wide, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, buffer.data(), wide);
    return Utf16ToUtf8(buffer);
}

bool Utf8ToAnsi(const std::string& text, std::string& ansi) {
    ansi.clear();
    const std::wstring wide = Utf8ToUtf16(text);
    if (wide.empty()) return text.empty();
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) return false;
    ansi.assign(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, ansi.data(), bytes, nullptr, nullptr);
    return true;
}

}  // namespace drvdb
