// Zero-terminated wide string routines and quoting.
#include "WydWideStrUtils.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "WydWindows.h"

namespace {

constexpr unsigned sizeFieldBytes = sizeof(uint32_t);

// The locale comparison; when the system cannot compare (it answers 0), an ordinal one.
int CompareWide(const wchar_t* a, const wchar_t* b, unsigned maxLen, DWORD flags) {
    const int countA = static_cast<int>(std::min<size_t>(wcslen(a), maxLen));
    const int countB = static_cast<int>(std::min<size_t>(wcslen(b), maxLen));
    const int result = Wyd_CompareStringW(GetThreadLocale(), flags, a, countA, b, countB);
    if (result != 0) return result - 2;
    WideString x(a, static_cast<size_t>(countA)), y(b, static_cast<size_t>(countB));
    if (flags & NORM_IGNORECASE) {
        CharUpperBuffW(x.data(), static_cast<DWORD>(x.size()));
        CharUpperBuffW(y.data(), static_cast<DWORD>(y.size()));
    }
    return x.compare(y);
}

} // namespace

wchar_t* WStrAlloc(unsigned size) {
    const uint32_t bytes = sizeFieldBytes + size * static_cast<uint32_t>(sizeof(wchar_t));
    auto* block = static_cast<uint32_t*>(malloc(bytes));
    if (!block) throw std::bad_alloc();
    *block = bytes;
    return reinterpret_cast<wchar_t*>(block + 1);
}

unsigned WStrBufSize(const wchar_t* p) {
    const uint32_t bytes = reinterpret_cast<const uint32_t*>(p)[-1];
    return (bytes - sizeFieldBytes) / sizeof(wchar_t);
}

wchar_t* WStrMove(wchar_t* dest, const wchar_t* source, unsigned count) {
    memmove(dest, source, count * sizeof(wchar_t));
    return dest;
}

wchar_t* WStrNew(const wchar_t* s) {
    if (!s) return nullptr;
    const unsigned length = WStrLen(s);
    return WStrMove(WStrAlloc(length + 1), s, length + 1);
}

void WStrDispose(wchar_t* p) {
    if (p) free(reinterpret_cast<uint32_t*>(p) - 1);
}

unsigned WStrLen(const wchar_t* s) { return static_cast<unsigned>(wcslen(s)); }
wchar_t* WStrEnd(const wchar_t* s) { return const_cast<wchar_t*>(s + wcslen(s)); }

wchar_t* WStrCopy(wchar_t* dest, const wchar_t* source) { return WStrLCopy(dest, source, UINT_MAX); }

wchar_t* WStrLCopy(wchar_t* dest, const wchar_t* source, unsigned maxLen) {
    unsigned i = 0;
    for (; i < maxLen && source[i]; ++i) dest[i] = source[i];
    dest[i] = 0;
    return dest;
}

wchar_t* WStrPCopy(wchar_t* dest, const WideString& source) { return WStrLCopy(dest, source.c_str(), UINT_MAX); }

wchar_t* WStrPLCopy(wchar_t* dest, const WideString& source, unsigned maxLen) {
    return WStrLCopy(dest, source.c_str(), maxLen);
}

wchar_t* WStrECopy(wchar_t* dest, const wchar_t* source) { return WStrEnd(WStrCopy(dest, source)); }

wchar_t* WStrCat(wchar_t* dest, const wchar_t* source) {
    WStrCopy(WStrEnd(dest), source);
    return dest;
}

wchar_t* WStrLCat(wchar_t* dest, const wchar_t* source, unsigned maxLen) {
    const unsigned length = WStrLen(dest);
    if (length < maxLen) WStrLCopy(dest + length, source, maxLen - length);
    return dest;
}

wchar_t* WStrScan(const wchar_t* s, wchar_t c) {
    if (c == 0) return nullptr;
    return const_cast<wchar_t*>(wcschr(s, c));
}

wchar_t* WStrRScan(const wchar_t* s, wchar_t c) { return const_cast<wchar_t*>(wcsrchr(s, c)); }

wchar_t* WStrPos(const wchar_t* s, const wchar_t* sub) {
    if (!s || !sub || !*s || !*sub) return nullptr;
    return const_cast<wchar_t*>(wcsstr(s, sub));
}

int WStrComp(const wchar_t* a, const wchar_t* b) { return CompareWide(a, b, UINT_MAX, 0); }
int WStrLComp(const wchar_t* a, const wchar_t* b, unsigned maxLen) { return CompareWide(a, b, maxLen, 0); }
int WStrIComp(const wchar_t* a, const wchar_t* b) { return CompareWide(a, b, UINT_MAX, NORM_IGNORECASE); }
int WStrLIComp(const wchar_t* a, const wchar_t* b, unsigned maxLen) {
    return CompareWide(a, b, maxLen, NORM_IGNORECASE);
}

wchar_t* WStrLower(wchar_t* s) {
    Wyd_CharLowerBuffW(s, WStrLen(s));
    return s;
}

wchar_t* WStrUpper(wchar_t* s) {
    Wyd_CharUpperBuffW(s, WStrLen(s));
    return s;
}

WideString WStrPas(const wchar_t* s) { return s ? WideString(s) : WideString(); }
int Wyd_WStrComp(const wchar_t* a, const wchar_t* b) { return WStrComp(a, b); }
wchar_t* Wyd_WStrPos(const wchar_t* s, const wchar_t* sub) { return WStrPos(s, sub); }

const wchar_t* WideLastChar(const WideString& s) { return s.empty() ? nullptr : s.data() + s.size() - 1; }
wchar_t WydWideLastChar(const WideString& s) { return s.empty() ? 0 : s.back(); }

WideString WideQuotedStr(const WideString& s, wchar_t quote) {
    WideString result(1, quote);
    for (const wchar_t c : s) {
        result += c;
        if (c == quote) result += c;
    }
    result += quote;
    return result;
}

WideString WideExtractQuotedStr(const wchar_t*& p, wchar_t quote) {
    if (!p || *p != quote) return WideString();
    const wchar_t* s = p + 1;
    WideString result;
    for (;;) {
        if (*s == 0) break;
        if (*s == quote) {
            if (s[1] != quote) {
                ++s;
                break;
            }
            ++s;
        }
        result += *s++;
    }
    p = s;
    return result;
}

WideString WideDequotedStr(const WideString& s, wchar_t quote) {
    const wchar_t* p = s.c_str();
    const WideString result = WideExtractQuotedStr(p, quote);
    return result.empty() ? s : result;
}
