// Code pages, UTF-7/UTF-8, UCS-2, the wide command line and resource strings.
#include "WydSystem.h"

#include "WydSysUtils.h"
#include "WydWindows.h"

using vcl::AnsiToWide;
using vcl::DefaultSystemCodePage;

TWideCustomLoadResString WideCustomLoadResString = nullptr;

namespace {

// Unit start: implicit conversions in the system's code page; the value is put back at finalisation.
const unsigned savedDefaultSystemCodePage = (DefaultSystemCodePage = CP_ACP);
TWydSystemUpdateSet installedUpdates = 0;

constexpr UINT CP_UTF7_ = 65000;
constexpr UINT CP_UTF8_ = 65001;

const char base64Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char directChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'(),-./:?";
const char optionalDirectChars[] = "!\"#$%&*;<=>@[]^_`{|}";
const char whiteSpaceChars[] = "\t\r\n ";

// The UTF-7 tables, built once on first use.
struct Utf7Tables {
    signed char base64Value[128];
    bool mustShift[128];       // strict: everything but direct and white-space characters
    bool mustShiftOptional[128]; // the optional direct characters written directly too

    Utf7Tables() {
        for (int i = 0; i < 128; ++i) {
            base64Value[i] = -1;
            mustShift[i] = true;
        }
        for (int i = 0; i < 64; ++i)
            base64Value[static_cast<unsigned char>(base64Letters[i])] = static_cast<signed char>(i);
        for (const char* p = directChars; *p; ++p) mustShift[static_cast<unsigned char>(*p)] = false;
        for (const char* p = whiteSpaceChars; *p; ++p) mustShift[static_cast<unsigned char>(*p)] = false;
        for (int i = 0; i < 128; ++i) mustShiftOptional[i] = mustShift[i];
        for (const char* p = optionalDirectChars; *p; ++p) mustShiftOptional[static_cast<unsigned char>(*p)] = false;
    }
};

const Utf7Tables& Tables() {
    static const Utf7Tables tables;
    return tables;
}

bool IsBase64LetterOrMinus(wchar_t c) {
    return c < 128 && (Tables().base64Value[c] >= 0 || c == L'-');
}

WideString MultiByteToWide(const char* s, int length, UINT codePage, DWORD flags = 0) {
    if (length <= 0) return WideString();
    const int needed = MultiByteToWideChar(codePage, flags, s, length, nullptr, 0);
    if (needed <= 0) return WideString();
    WideString result(static_cast<size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, flags, s, length, result.data(), needed);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return result;
}

AnsiString WideToMultiByte(const wchar_t* s, int length, UINT codePage) {
    if (length <= 0) return AnsiString();
    const int needed = WideCharToMultiByte(codePage, 0, s, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return AnsiString();
    AnsiString result(static_cast<size_t>(needed), '\0');
    const int written = WideCharToMultiByte(codePage, 0, s, length, result.data(), needed, nullptr, nullptr);
    result.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return result;
}

int Length(const WideString& s) { return static_cast<int>(s.size()); }
int Length(const AnsiString& s) { return static_cast<int>(s.size()); }

} // namespace

AnsiString WideStringToUTF8(const WideString& s) { return vcl::UTF8Encode(s); }
WideString UTF8ToWideString(const AnsiString& s) { return vcl::UTF8Decode(s); }

AnsiString WideStringToUTF7(const WideString& s) {
    const Utf7Tables& tables = Tables();
    AnsiString out;
    out.reserve(s.size() * 3);
    bool inRun = false;
    unsigned bits = 0; // pending bits, right-aligned
    int bitCount = 0;
    for (const wchar_t c : s) {
        const bool shift = c >= 128 || tables.mustShiftOptional[c];
        if (shift) {
            if (!inRun) {
                if (c == L'+') {
                    out += "+-";
                    continue;
                }
                out += '+';
                inRun = true;
            }
            bits = (bits << 16) | c;
            bitCount += 16;
            while (bitCount >= 6) {
                bitCount -= 6;
                out += base64Letters[(bits >> bitCount) & 0x3F];
            }
            bits &= (1u << bitCount) - 1;
            continue;
        }
        if (inRun) {
            if (bitCount > 0) out += base64Letters[(bits << (6 - bitCount)) & 0x3F];
            if (IsBase64LetterOrMinus(c)) out += '-';
            inRun = false;
            bits = 0;
            bitCount = 0;
        }
        out += static_cast<char>(c);
    }
    if (inRun && bitCount > 0) out += base64Letters[(bits << (6 - bitCount)) & 0x3F];
    return out;
}

WideString UTF7ToWideString(const AnsiString& s) {
    const Utf7Tables& tables = Tables();
    WideString out;
    out.reserve(s.size());
    bool valid = true;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        if (b != '+') {
            if (b > 127) valid = false;
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        ++i;
        if (i < s.size() && s[i] == '-') {
            out += L'+';
            ++i;
            continue;
        }
        unsigned bits = 0;
        int bitCount = 0;
        bool gaveCharacter = false;
        while (i < s.size()) {
            const unsigned char letter = static_cast<unsigned char>(s[i]);
            const int value = letter < 128 ? tables.base64Value[letter] : -1;
            if (value < 0) break;
            bits = (bits << 6) | static_cast<unsigned>(value);
            bitCount += 6;
            if (bitCount >= 16) {
                bitCount -= 16;
                out += static_cast<wchar_t>((bits >> bitCount) & 0xFFFF);
                gaveCharacter = true;
            }
            bits &= (1u << bitCount) - 1;
            ++i;
        }
        if (bits != 0 || !gaveCharacter) valid = false;
        if (i < s.size() && s[i] == '-') ++i;
    }
    if (!valid) throw EWydGeneralError("Invalid UTF7");
    return out;
}

WideString StringToWideStringEx(const AnsiString& s, UINT codePage) {
    if (s.empty()) return WideString();
    if (codePage == CP_UTF7_) return UTF7ToWideString(s);
    if (codePage == CP_UTF8_) return UTF8ToWideString(s);
    return MultiByteToWide(s.data(), Length(s), codePage);
}

AnsiString WideStringToStringEx(const WideString& s, UINT codePage) {
    if (s.empty()) return AnsiString();
    if (codePage == CP_UTF7_) return WideStringToUTF7(s);
    if (codePage == CP_UTF8_) return WideStringToUTF8(s);
    return WideToMultiByte(s.data(), Length(s), codePage);
}

WideString UCS2ToWideString(const AnsiString& s) {
    WideString result(s.size() / 2, L'\0');
    if (!result.empty()) memcpy(result.data(), s.data(), result.size() * sizeof(wchar_t));
    return result;
}

AnsiString WideStringToUCS2(const WideString& s) {
    return AnsiString(reinterpret_cast<const char*>(s.data()), s.size() * sizeof(wchar_t));
}

UINT CharSetToCodePage(DWORD charSet) {
    CHARSETINFO info{};
    if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<UINT_PTR>(charSet)), &info, TCI_SRCCHARSET))
        vcl::RaiseLastOSError();
    return info.ciACP;
}

UINT LCIDToCodePage(LCID locale) {
    char text[6] = {};
    if (GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text) > 0) {
        char* end = nullptr;
        const unsigned long value = strtoul(text, &end, 10);
        if (end != text && *end == '\0') return static_cast<UINT>(value);
    }
    return GetACP();
}

UINT KeyboardCodePage() {
    return LCIDToCodePage(LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0))));
}

wchar_t KeyUnicode(WORD charCode) {
    if (charCode >= 256) return static_cast<wchar_t>(charCode);
    const char byte = static_cast<char>(charCode);
    wchar_t result = 0;
    if (MultiByteToWideChar(KeyboardCodePage(), MB_USEGLYPHCHARS, &byte, 1, &result, 1) != 1)
        return static_cast<wchar_t>(charCode);
    return result;
}

void StrSwapByteOrder(wchar_t* s) {
    if (!s) return;
    for (; *s; ++s) *s = static_cast<wchar_t>(((*s & 0xFF) << 8) | ((*s >> 8) & 0xFF));
}

std::vector<WideString> WideCommandLineTokens(const wchar_t* p) {
    std::vector<WideString> tokens;
    if (!p) return tokens;
    for (;;) {
        for (;;) {
            if (*p >= 1 && *p <= 32) ++p;
            else if (p[0] == L'"' && p[1] == L'"') p += 2;
            else break;
        }
        if (*p == 0) break;
        WideString token;
        while (*p > 32) {
            if (*p == L'"') {
                ++p;
                while (*p && *p != L'"') token += *p++;
                if (*p) ++p;
            } else {
                token += *p++;
            }
        }
        tokens.push_back(token);
    }
    return tokens;
}

int WideParamCount() {
    const size_t count = WideCommandLineTokens(GetCommandLineW()).size();
    return count > 0 ? static_cast<int>(count) - 1 : 0;
}

WideString WideParamStr(int index) {
    if (index == 0) return WideGetModuleFileName(nullptr);
    const std::vector<WideString> tokens = WideCommandLineTokens(GetCommandLineW());
    if (index < 0 || static_cast<size_t>(index) >= tokens.size()) return WideString();
    return tokens[static_cast<size_t>(index)];
}

WideString WideLoadResString(const TResStringRec* rec) {
    WideString value;
    if (WideCustomLoadResString && WideCustomLoadResString(rec, value)) return value;
    if (!rec) return WideString();
    if (rec->Identifier >= 0x10000) {
        const char* text = reinterpret_cast<const char*>(rec->Identifier);
        const AnsiString bytes(text);
        // A text that is exactly the mark is an empty UTF-8 text, not three ANSI characters.
        if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return UTF8ToWideString(bytes.substr(3));
        return AnsiToWide(bytes);
    }
    wchar_t buffer[4097];
    const HINSTANCE module = rec->Module ? *rec->Module : nullptr;
    const int length = Wyd_LoadStringW(module, static_cast<UINT>(rec->Identifier), buffer, 4097);
    return WideString(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void InstallWydSystemUpdates(TWydSystemUpdateSet updates) {
    if (updates & WydSystemUpdate(tsFixImplicitCodePage)) DefaultSystemCodePage = CP_ACP;
    installedUpdates |= updates;
}

TWydSystemUpdateSet InstalledWydSystemUpdates() { return installedUpdates; }

void FinalizeWydSystem() {
    installedUpdates = 0;
    DefaultSystemCodePage = savedDefaultSystemCodePage;
}
