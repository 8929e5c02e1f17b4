// Platform flags, error classes and system messages, wide string routines and formatting.
#include "WydSysUtils.h"

#include <algorithm>
#include <cwchar>
#include <float.h>
#include <oleauto.h>

#include "WydFormatStrUtils.h"
#include "WydSystem.h"
#include "WydWideStrUtils.h"
#include "WydWindows.h"

// ---- Platform flags

using vcl::AnsiToWide;
using vcl::RaiseLastOSError;
using vcl::WideToAnsi;

bool Win32PlatformIsUnicode = false;
bool Win32PlatformIsXP = false;
bool Win32PlatformIs2003 = false;
bool Win32PlatformIsVista = false;
DWORD _SettingChangeTime = 0;

namespace {

void SetPlatformFlags(int platform, int major, int minor) {
    Win32PlatformIsUnicode = platform == VER_PLATFORM_WIN32_NT;
    Win32PlatformIsXP = (major == 5 && minor >= 1) || major >= 6;
    Win32PlatformIs2003 = (major == 5 && minor >= 2) || major >= 6;
    Win32PlatformIsVista = major >= 6;
}

// Unit start reads the version itself: the class library's globals may not be initialised yet when this
// unit's initialisation runs, and both read the same system call.
[[maybe_unused]] const bool platformFlagsSet = [] {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&info);
#pragma GCC diagnostic pop
    SetPlatformFlags(static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwMajorVersion),
                     static_cast<int>(info.dwMinorVersion));
    return true;
}();

} // namespace

void InitializeWydPlatformFlags() {
    SetPlatformFlags(vcl::Win32Platform, vcl::Win32MajorVersion, vcl::Win32MinorVersion);
}

bool CheckWin32Version(int major, int minor) {
    return vcl::Win32MajorVersion > major || (vcl::Win32MajorVersion == major && vcl::Win32MinorVersion >= minor);
}

// ---- Errors and system messages

HANDLE WinCheckH(HANDLE h) {
    if (!h) RaiseLastOSError();
    return h;
}

HINSTANCE WinCheckH(HINSTANCE h) {
    if (!h) RaiseLastOSError();
    return h;
}

HANDLE WinCheckFileH(HANDLE h) {
    if (h == INVALID_HANDLE_VALUE) RaiseLastOSError();
    return h;
}

void* WinCheckP(void* p) {
    if (!p) RaiseLastOSError();
    return p;
}

namespace {

WideString SystemMessage(HMODULE module, DWORD code) {
    DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY |
                  FORMAT_MESSAGE_ALLOCATE_BUFFER;
    if (module) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    // The system allocates the text, so a message of any length arrives whole.
    if (Win32PlatformIsUnicode) {
        wchar_t* text = nullptr;
        const DWORD length = FormatMessageW(flags, module, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        const WideString result = text && length ? WideString(text, length) : WideString();
        LocalFree(text);
        return result;
    }
    char* text = nullptr;
    const DWORD length = FormatMessageA(flags, module, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    const WideString result = text && length ? AnsiToWide(AnsiString(text, length)) : WideString();
    LocalFree(text);
    return result;
}

} // namespace

WideString WideLibraryErrorMessage(const WideString& libName, HMODULE module, DWORD code) {
    const WideString text = SystemMessage(module, code);
    if (text.find_first_not_of(L" \t\r\n") != WideString::npos) return text;
    wchar_t fallback[64];
    swprintf(fallback, 64, L"Unspecified error (%d) from ", static_cast<int>(code));
    return fallback + libName + L".";
}

WideString WideSysErrorMessage(DWORD code) { return WideLibraryErrorMessage(L"system", nullptr, code); }

WideString WideGetModuleFileName(HMODULE module) {
    // Grow until the name fits: a truncated name may come back without its terminator.
    for (DWORD size = MAX_PATH;; size *= 2) {
        WideString buffer(size, L'\0');
        const DWORD length = Wyd_GetModuleFileNameW(module, buffer.data(), size);
        if (length == 0) RaiseLastOSError();
        if (length < size - 1 || size >= 0x10000) {
            buffer.resize(std::min(length, size));
            return buffer;
        }
    }
}

HMODULE WideSafeLoadLibrary(const WideString& name, UINT errorMode) {
    const UINT previousMode = SetErrorMode(errorMode);
    const unsigned int controlWord = _controlfp(0, 0);
    const HMODULE module = Wyd_LoadLibraryW(name.c_str());
    // A library may leave floating-point exceptions pending or change the control word.
    _clearfp();
    _controlfp(controlWord, 0xFFFFFFFF);
    SetErrorMode(previousMode);
    return module;
}

HMODULE WideLoadPackage(const WideString& name) {
    const HMODULE module = WideSafeLoadLibrary(name, SEM_NOOPENFILEERRORBOX);
    if (!module) {
        const DWORD error = GetLastError();
        throw vcl::EPackageError(WideToAnsi(L"Can't load package " + name + L".\r\n" + WideSysErrorMessage(error)));
    }
    return module;
}

// ---- Formatting

WideString Wyd_WideFormat(const WideString& format, const std::vector<vcl::TVarRec>& args) {
    return vcl::WideFormat(ReplaceFloatingArgumentsInFormatString(format, args), args, vcl::FormatSettings);
}

WideString Wyd_WideFormat(const WideString& format, vcl::TVarRecs args) {
    return Wyd_WideFormat(format, std::vector<vcl::TVarRec>(args));
}

WideString Wyd_WideFmtStr(const WideString& format, vcl::TVarRecs args) { return Wyd_WideFormat(format, args); }

unsigned Wyd_WideFormatBuf(wchar_t* buffer, unsigned size, const WideString& format, vcl::TVarRecs args) {
    const WideString text = Wyd_WideFormat(format, args);
    const unsigned count = std::min(size, static_cast<unsigned>(text.size()));
    std::copy_n(text.data(), count, buffer);
    return count;
}

// ---- Case, replacing, line breaks, wrapping

WideString Wyd_WideUpperCase(const WideString& s) {
    WideString result = s;
    Wyd_CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

WideString Wyd_WideLowerCase(const WideString& s) {
    WideString result = s;
    Wyd_CharLowerBuffW(result.data(), static_cast<DWORD>(result.size()));
    return result;
}

namespace {

bool IsWordBoundary(wchar_t c) { return c == 0 || IsWideCharSpace(c) || IsWideCharPunct(c); }

} // namespace

WideString Wyd_WideStringReplace(const WideString& s, const WideString& oldPattern, const WideString& newPattern,
                                 TWydReplaceFlags flags, bool wholeWord) {
    // An empty pattern is found nowhere.
    if (s.empty() || oldPattern.empty()) return s;
    const bool ignoreCase = flags & vcl::rfIgnoreCase;
    const WideString searchText = ignoreCase ? Wyd_WideUpperCase(s) : s;
    const WideString pattern = ignoreCase ? Wyd_WideUpperCase(oldPattern) : oldPattern;
    WideString result;
    size_t from = 0;
    for (;;) {
        const size_t match = searchText.find(pattern, from);
        if (match == WideString::npos) {
            result.append(s, from, WideString::npos);
            return result;
        }
        const size_t after = match + pattern.size();
        if (wholeWord) {
            const wchar_t before = match > from ? s[match - 1] : (result.empty() ? 0 : result.back());
            const wchar_t next = after < s.size() ? s[after] : 0;
            if (!IsWordBoundary(before) || !IsWordBoundary(next)) {
                result.append(s, from, after - from);
                from = after;
                continue;
            }
        }
        result.append(s, from, match - from);
        result += newPattern;
        from = after;
        if (!(flags & vcl::rfReplaceAll)) {
            result.append(s, from, WideString::npos);
            return result;
        }
    }
}

namespace {

const wchar_t* LineBreakOf(TWydTextLineBreakStyle style) {
    switch (style) {
    case tlbsLF: return L"\n";
    case tlbsCR: return L"\r";
    default: return L"\r\n";
    }
}

// Calls emit(text, count) for every piece of s with its line breaks replaced.
template <typename Emit> void ForEachAdjustedPiece(const WideString& s, TWydTextLineBreakStyle style, Emit emit) {
    const wchar_t* lineBreak = LineBreakOf(style);
    const size_t breakLength = wcslen(lineBreak);
    size_t i = 0;
    while (i < s.size()) {
        const wchar_t c = s[i];
        if (c == L'\r' || c == L'\n' || c == 0x2028) {
            emit(lineBreak, breakLength);
            i += (c == L'\r' && i + 1 < s.size() && s[i + 1] == L'\n') ? 2 : 1;
        } else {
            emit(&s[i], 1);
            ++i;
        }
    }
}

} // namespace

int WydAdjustLineBreaksLength(const WideString& s, TWydTextLineBreakStyle style) {
    size_t length = 0;
    ForEachAdjustedPiece(s, style, [&](const wchar_t*, size_t n) { length += n; });
    return static_cast<int>(length);
}

WideString WydAdjustLineBreaks(const WideString& s, TWydTextLineBreakStyle style) {
    WideString result;
    result.reserve(static_cast<size_t>(WydAdjustLineBreaksLength(s, style)));
    ForEachAdjustedPiece(s, style, [&](const wchar_t* p, size_t n) { result.append(p, n); });
    return result;
}

WideString WideWrapText(const WideString& line, const WideString& breakStr, const std::vector<wchar_t>& breakChars,
                        int maxCol) {
    const int length = static_cast<int>(line.size());
    auto at = [&](int i) { return line[static_cast<size_t>(i - 1)]; };
    auto isBreakChar = [&](wchar_t c) {
        return c <= 0xFF && std::find(breakChars.begin(), breakChars.end(), c) != breakChars.end();
    };
    auto isQuote = [](wchar_t c) { return c == L'"' || c == L'\''; };
    // Whether the break string stands at position i (case-insensitive, never past the line's end).
    auto breakStrAt = [&](int i) {
        const int n = static_cast<int>(breakStr.size());
        return i + n - 1 <= length &&
               CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, &line[static_cast<size_t>(i - 1)], n,
                              breakStr.c_str(), n) == CSTR_EQUAL;
    };

    WideString result;
    int i = 1, lineStart = 1, column = 1, breakPos = 0;
    wchar_t openQuote = 0;
    bool existingBreak = false;
    while (i <= length) {
        const wchar_t c = at(i);
        if (!breakStr.empty() && c == breakStr[0] && !openQuote) {
            existingBreak = breakStrAt(i);
            if (existingBreak) {
                i += static_cast<int>(breakStr.size()) - 1;
                breakPos = i;
            }
        } else if (isBreakChar(c) && !openQuote) {
            breakPos = i;
        } else if (isQuote(c)) {
            if (openQuote == c) openQuote = 0;
            else if (!openQuote) openQuote = c;
        }
        ++i;
        ++column;
        if (!openQuote && (existingBreak || (column > maxCol && breakPos > lineStart))) {
            column = i - breakPos;
            result.append(line, static_cast<size_t>(lineStart - 1), static_cast<size_t>(breakPos - lineStart + 1));
            if (!isQuote(c)) {
                while (i <= length) {
                    if (isBreakChar(at(i))) ++i;
                    else if (at(i) == L'\r' && i < length && at(i + 1) == L'\n') i += 2;
                    else break;
                }
            }
            if (!existingBreak && i < length) result += breakStr;
            lineStart = breakPos + 1;
            existingBreak = false;
        }
    }
    if (lineStart <= length) result.append(line, static_cast<size_t>(lineStart - 1), WideString::npos);
    return result;
}

WideString WideWrapText(const WideString& line, int maxCol) {
    return WideWrapText(line, L"\r\n", {L'\t', L' ', L'-'}, maxCol);
}

// ---- Character classes

namespace {

bool HasCharType(wchar_t c, WORD bits) {
    WORD type = 0;
    if (!Wyd_GetStringTypeExW(GetThreadLocale(), CT_CTYPE1, &c, 1, &type)) RaiseLastOSError();
    return (type & bits) != 0;
}

} // namespace

bool IsWideCharUpper(wchar_t c) { return HasCharType(c, C1_UPPER); }
bool IsWideCharLower(wchar_t c) { return HasCharType(c, C1_LOWER); }
bool IsWideCharDigit(wchar_t c) { return HasCharType(c, C1_DIGIT); }
bool IsWideCharSpace(wchar_t c) { return HasCharType(c, C1_SPACE); }
bool IsWideCharPunct(wchar_t c) { return HasCharType(c, C1_PUNCT); }
bool IsWideCharCntrl(wchar_t c) { return HasCharType(c, C1_CNTRL); }
bool IsWideCharBlank(wchar_t c) { return HasCharType(c, C1_BLANK); }
bool IsWideCharXDigit(wchar_t c) { return HasCharType(c, C1_XDIGIT); }
bool IsWideCharAlpha(wchar_t c) { return HasCharType(c, C1_ALPHA); }
bool IsWideCharAlphaNumeric(wchar_t c) { return HasCharType(c, C1_ALPHA | C1_DIGIT); }

int WideTextPos(const WideString& subText, const WideString& s) {
    if (subText.empty()) return 0;
    const size_t position = Wyd_WideUpperCase(s).find(Wyd_WideUpperCase(subText));
    return position == WideString::npos ? 0 : static_cast<int>(position) + 1;
}

WideString ExtractStringArrayStr(const wchar_t* p) {
    const wchar_t* end = p;
    while (*end) end += wcslen(end) + 1;
    return WideString(p, static_cast<size_t>(end - p) + 1);
}

WideString ExtractStringFromStringArray(const wchar_t*& p, wchar_t separator) {
    const wchar_t* start = p;
    while (*p && *p != separator) ++p;
    WideString result(start, static_cast<size_t>(p - start));
    // Step over the separator; with the NUL separator the array's final empty item stops the walk.
    if (*p == separator && (*p != 0 || start != p)) ++p;
    return result;
}

std::vector<WideString> ExtractStringsFromStringArray(const wchar_t* p, wchar_t separator) {
    std::vector<WideString> items;
    items.reserve(256);
    while (*p) items.push_back(ExtractStringFromStringArray(p, separator));
    return items;
}

bool IsWideCharMappableToAnsi(wchar_t c) { return IsWideStringMappableToAnsi(WideString(1, c)); }

bool IsWideStringMappableToAnsi(const WideString& s) {
    if (s.empty()) return true;
    const UINT codePage = vcl::DefaultSystemCodePage;
    const UINT actual = codePage == CP_ACP ? GetACP() : codePage;
    if (actual == CP_UTF7 || actual == CP_UTF8) {
        // These code pages refuse the used-default flag; only lone surrogates fail to map.
        return WideCharToMultiByte(actual, WC_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                   nullptr, nullptr) > 0 ||
               actual == CP_UTF7;
    }
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(codePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr,
                                      &usedDefault);
    return n > 0 && !usedDefault;
}

bool IsRTF(const WideString& s) {
    if (s.size() < 5) return false;
    const WideString head = Wyd_WideUpperCase(s.substr(0, 5));
    return head == L"{\\RTF" || head == L"{URTF";
}

// ---- Locale, currency, dates and times

namespace {

vcl::TFormatSettings FullStopSettings() {
    vcl::TFormatSettings settings = vcl::FormatSettings;
    settings.DecimalSeparator = '.';
    return settings;
}

int LocaleNumber(LCTYPE type, const wchar_t* fallback) {
    const WideString text = WideGetLocaleStr(GetThreadLocale(), type, fallback);
    try {
        return std::stoi(text);
    } catch (...) {
        return std::stoi(fallback);
    }
}

// "-123456.7890" straight from the scaled integer: no rounding through a double.
WideString FixedPointText(vcl::Currency value) {
    const bool negative = value.Value < 0;
    const unsigned long long magnitude =
        negative ? 0ull - static_cast<unsigned long long>(value.Value) : static_cast<unsigned long long>(value.Value);
    wchar_t fraction[8];
    swprintf(fraction, 8, L"%04u", static_cast<unsigned>(magnitude % 10000));
    return (negative ? L"-" : L"") + std::to_wstring(magnitude / 10000) + L"." + fraction;
}

enum class DateKind { dateTime, date, time };

bool TryStrToDateKind(const WideString& s, vcl::TDateTime& value, DateKind kind) {
    const ULONG flags = kind == DateKind::date ? VAR_DATEVALUEONLY : kind == DateKind::time ? VAR_TIMEVALUEONLY : 0;
    DATE date = 0;
    if (SUCCEEDED(VarDateFromStr(const_cast<wchar_t*>(s.c_str()), GetThreadLocale(), flags, &date))) {
        value = date;
        return true;
    }
    const AnsiString ansi = WideToAnsi(s);
    switch (kind) {
    case DateKind::date: return vcl::TryStrToDate(ansi, value);
    case DateKind::time: return vcl::TryStrToTime(ansi, value);
    default: return vcl::TryStrToDateTime(ansi, value);
    }
}

vcl::TDateTime StrToDateKind(const WideString& s, DateKind kind, const char* message) {
    vcl::TDateTime value = 0;
    if (!TryStrToDateKind(s, value, kind)) throw vcl::EConvertError(message, {WideToAnsi(s)});
    return value;
}

} // namespace

WideString ENG_US_FloatToStr(double value) { return AnsiToWide(vcl::FloatToStr(value, FullStopSettings())); }

double ENG_US_StrToFloat(const WideString& s) { return vcl::StrToFloat(WideToAnsi(s), FullStopSettings()); }

WideString WideGetLocaleStr(LCID locale, LCTYPE type, const WideString& fallback) {
    if (!Win32PlatformIsUnicode) return AnsiToWide(vcl::GetLocaleStr(locale, type, WideToAnsi(fallback)));
    wchar_t buffer[255];
    const int length = GetLocaleInfoW(locale, type, buffer, 255);
    return length < 1 ? fallback : WideString(buffer, static_cast<size_t>(length - 1));
}

void GetDefaultCurrencyFmt(CURRENCYFMTW& format) {
    thread_local WideString decimalSeparator, thousandSeparator, currencySymbol;
    const LCID locale = GetThreadLocale();
    format.NumDigits = static_cast<UINT>(LocaleNumber(LOCALE_ICURRDIGITS, L"2"));
    format.LeadingZero = static_cast<UINT>(LocaleNumber(LOCALE_ILZERO, L"1"));
    const WideString grouping = WideGetLocaleStr(locale, LOCALE_SMONGROUPING, L"3;0");
    format.Grouping = !grouping.empty() && grouping[0] >= L'0' && grouping[0] <= L'9' ? grouping[0] - L'0' : 3;
    decimalSeparator = WideGetLocaleStr(locale, LOCALE_SMONDECIMALSEP, L".");
    thousandSeparator = WideGetLocaleStr(locale, LOCALE_SMONTHOUSANDSEP, L",");
    currencySymbol = WideGetLocaleStr(locale, LOCALE_SCURRENCY, L"");
    format.lpDecimalSep = decimalSeparator.data();
    format.lpThousandSep = thousandSeparator.data();
    format.NegativeOrder = static_cast<UINT>(LocaleNumber(LOCALE_INEGCURR, L"0"));
    format.PositiveOrder = static_cast<UINT>(LocaleNumber(LOCALE_ICURRENCY, L"0"));
    format.lpCurrencySymbol = currencySymbol.data();
}

WideString WydCurrToStr(vcl::Currency value, const CURRENCYFMTW* format) {
    wchar_t buffer[64];
    const int length =
        Wyd_GetCurrencyFormatW(GetThreadLocale(), 0, FixedPointText(value).c_str(), format, buffer, 64);
    if (length == 0) RaiseLastOSError();
    return WideString(buffer);
}

vcl::Currency WydStrToCurr(const WideString& s) {
    CY amount{};
    const HRESULT result = VarCyFromStr(const_cast<wchar_t*>(s.c_str()), GetThreadLocale(), 0, &amount);
    if (FAILED(result)) RaiseLastOSError(static_cast<DWORD>(result));
    return vcl::Currency{amount.int64};
}

vcl::Currency WydStrToCurrDef(const WideString& s, vcl::Currency fallback) {
    CY amount{};
    const HRESULT result = VarCyFromStr(const_cast<wchar_t*>(s.c_str()), GetThreadLocale(), 0, &amount);
    return SUCCEEDED(result) ? vcl::Currency{amount.int64} : fallback;
}

bool ValidCurrencyStr(const WideString& s) {
    CY amount{};
    return SUCCEEDED(VarCyFromStr(const_cast<wchar_t*>(s.c_str()), GetThreadLocale(), 0, &amount));
}

bool WydTryStrToDateTime(const WideString& s, vcl::TDateTime& value) {
    return TryStrToDateKind(s, value, DateKind::dateTime);
}
bool WydTryStrToDate(const WideString& s, vcl::TDateTime& value) {
    return TryStrToDateKind(s, value, DateKind::date);
}
bool WydTryStrToTime(const WideString& s, vcl::TDateTime& value) {
    return TryStrToDateKind(s, value, DateKind::time);
}

vcl::TDateTime WydStrToDateTime(const WideString& s) {
    return StrToDateKind(s, DateKind::dateTime, "'%s' is not a valid date and time");
}
vcl::TDateTime WydStrToDate(const WideString& s) {
    return StrToDateKind(s, DateKind::date, "'%s' is not a valid date");
}
vcl::TDateTime WydStrToTime(const WideString& s) {
    return StrToDateKind(s, DateKind::time, "'%s' is not a valid time");
}

vcl::TDateTime WydStrToDateTimeDef(const WideString& s, vcl::TDateTime fallback) {
    vcl::TDateTime value = 0;
    return WydTryStrToDateTime(s, value) ? value : fallback;
}
vcl::TDateTime WydStrToDateDef(const WideString& s, vcl::TDateTime fallback) {
    vcl::TDateTime value = 0;
    return WydTryStrToDate(s, value) ? value : fallback;
}
vcl::TDateTime WydStrToTimeDef(const WideString& s, vcl::TDateTime fallback) {
    vcl::TDateTime value = 0;
    return WydTryStrToTime(s, value) ? value : fallback;
}

bool ValidDateTimeStr(const WideString& s) {
    vcl::TDateTime value = 0;
    return WydTryStrToDateTime(s, value);
}
bool ValidDateStr(const WideString& s) {
    vcl::TDateTime value = 0;
    return WydTryStrToDate(s, value);
}
bool ValidTimeStr(const WideString& s) {
    vcl::TDateTime value = 0;
    return WydTryStrToTime(s, value);
}
