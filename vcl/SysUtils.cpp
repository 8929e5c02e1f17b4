// Runtime routines: exceptions, Format and conversions, file names, dates and times, the platform globals.
#include "SysUtils.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace vcl {

// ---------------------------------------------------------------------------------------------------------
// Exceptions

Exception::Exception(const AnsiString& format, TVarRecs args) : Message(Format(format, args)) {}
Exception::Exception(int ident) : Message(LoadStr(ident)) {}

AnsiString SysErrorMessage(DWORD error) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    AnsiString text = n && buffer ? AnsiString(buffer, n) : AnsiString();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

void RaiseLastOSError(DWORD lastError) {
    EOSError e = lastError ? EOSError("System Error.  Code: %d.\r\n%s", {static_cast<int>(lastError), SysErrorMessage(lastError)})
                           : EOSError("A call to an OS function failed");
    e.ErrorCode = lastError;
    throw e;
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

BOOL Win32Check(BOOL ok) {
    if (!ok) RaiseLastOSError();
    return ok;
}

void Abort() { throw EAbort("Operation aborted"); }

// ---------------------------------------------------------------------------------------------------------
// Locale settings and platform globals

AnsiString GetLocaleStr(LCID locale, LCTYPE type, const AnsiString& fallback) {
    char buffer[256];
    int n = GetLocaleInfoA(locale, type, buffer, sizeof buffer);
    return n > 1 ? AnsiString(buffer, static_cast<size_t>(n - 1)) : fallback;
}

namespace {
char LocaleChar(LCID locale, LCTYPE type, char fallback) {
    AnsiString s = GetLocaleStr(locale, type, AnsiString(1, fallback));
    return s.empty() ? fallback : s[0];
}

// Windows picture strings ("M/d/yyyy", "h:mm:ss tt") in the library's own letters ("m/d/yyyy", "h:nn:ss AMPM").
AnsiString TranslateDatePicture(const AnsiString& s) {
    AnsiString out;
    for (char c : s) out += c == 'M' ? 'm' : c == 'g' ? ' ' : c;
    return Trim(out);
}

AnsiString TranslateTimePicture(const AnsiString& s) {
    AnsiString out;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == 'm') out += 'n';
        else if (c == 'H') out += 'h';
        else if (c == 't') {
            while (i + 1 < s.size() && s[i + 1] == 't') ++i;
            out += "AMPM";
        } else out += c;
    }
    return out;
}
}  // namespace

void GetLocaleFormatSettings(LCID locale, TFormatSettings& fs) {
    fs.DecimalSeparator = LocaleChar(locale, LOCALE_SDECIMAL, '.');
    fs.ThousandSeparator = LocaleChar(locale, LOCALE_STHOUSAND, ',');
    fs.DateSeparator = LocaleChar(locale, LOCALE_SDATE, '/');
    fs.TimeSeparator = LocaleChar(locale, LOCALE_STIME, ':');
    fs.ListSeparator = LocaleChar(locale, LOCALE_SLIST, ',');
    fs.CurrencyString = GetLocaleStr(locale, LOCALE_SCURRENCY, "$");
    fs.CurrencyFormat = static_cast<unsigned char>(StrToIntDef(GetLocaleStr(locale, LOCALE_ICURRENCY, "0"), 0));
    fs.NegCurrFormat = static_cast<unsigned char>(StrToIntDef(GetLocaleStr(locale, LOCALE_INEGCURR, "0"), 0));
    fs.CurrencyDecimals = static_cast<unsigned char>(StrToIntDef(GetLocaleStr(locale, LOCALE_ICURRDIGITS, "2"), 2));
    fs.ShortDateFormat = TranslateDatePicture(GetLocaleStr(locale, LOCALE_SSHORTDATE, "M/d/yyyy"));
    fs.LongDateFormat = TranslateDatePicture(GetLocaleStr(locale, LOCALE_SLONGDATE, "dddd, MMMM d, yyyy"));
    fs.LongTimeFormat = TranslateTimePicture(GetLocaleStr(locale, LOCALE_STIMEFORMAT, "h:mm:ss tt"));
    fs.ShortTimeFormat = fs.LongTimeFormat;
    for (const char* secs : {":ss", ".ss"}) {
        size_t p = fs.ShortTimeFormat.find(secs);
        if (p != AnsiString::npos) fs.ShortTimeFormat.erase(p, 3);
    }
    fs.TimeAMString = GetLocaleStr(locale, LOCALE_S1159, "AM");
    fs.TimePMString = GetLocaleStr(locale, LOCALE_S2359, "PM");
    for (int i = 0; i < 12; ++i) {
        fs.ShortMonthNames[i] = GetLocaleStr(locale, LOCALE_SABBREVMONTHNAME1 + i, "");
        fs.LongMonthNames[i] = GetLocaleStr(locale, LOCALE_SMONTHNAME1 + i, "");
    }
    for (int i = 0; i < 7; ++i) {
        // Windows counts from Monday, the library from Sunday.
        int w = (i + 6) % 7;
        fs.ShortDayNames[i] = GetLocaleStr(locale, LOCALE_SABBREVDAYNAME1 + w, "");
        fs.LongDayNames[i] = GetLocaleStr(locale, LOCALE_SDAYNAME1 + w, "");
    }
}

static TFormatSettings InitialFormatSettings() {
    TFormatSettings fs;
    GetLocaleFormatSettings(LOCALE_USER_DEFAULT, fs);
    return fs;
}

TFormatSettings FormatSettings = InitialFormatSettings();
char& DecimalSeparator = FormatSettings.DecimalSeparator;
char& ThousandSeparator = FormatSettings.ThousandSeparator;
char& DateSeparator = FormatSettings.DateSeparator;
char& TimeSeparator = FormatSettings.TimeSeparator;
AnsiString& CurrencyString = FormatSettings.CurrencyString;
AnsiString& ShortDateFormat = FormatSettings.ShortDateFormat;
AnsiString& LongDateFormat = FormatSettings.LongDateFormat;
AnsiString& ShortTimeFormat = FormatSettings.ShortTimeFormat;
AnsiString& LongTimeFormat = FormatSettings.LongTimeFormat;

int Win32Platform = 0;
int Win32MajorVersion = 0;
int Win32MinorVersion = 0;
int Win32BuildNumber = 0;
AnsiString Win32CSDVersion;
TSysLocale SysLocale;
HINSTANCE HInstance = GetModuleHandleA(nullptr);

void InitPlatformGlobals() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (GetVersionExA(&info)) {
        Win32Platform = static_cast<int>(info.dwPlatformId);
        Win32MajorVersion = static_cast<int>(info.dwMajorVersion);
        Win32MinorVersion = static_cast<int>(info.dwMinorVersion);
        Win32BuildNumber = static_cast<int>(info.dwPlatformId == VER_PLATFORM_WIN32_NT ? info.dwBuildNumber
                                                                                      : info.dwBuildNumber & 0xFFFF);
        Win32CSDVersion = info.szCSDVersion;
    }
    SysLocale.DefaultLCID = GetThreadLocale();
    SysLocale.PriLangID = PRIMARYLANGID(SysLocale.DefaultLCID);
    SysLocale.SubLangID = SUBLANGID(SysLocale.DefaultLCID);
    SysLocale.FarEast = GetSystemMetrics(SM_DBCSENABLED) != 0;
    SysLocale.MiddleEast = GetSystemMetrics(SM_MIDEASTENABLED) != 0;
}

void OverridePlatformForTest(int platform, int major, int minor) {
    Win32Platform = platform;
    Win32MajorVersion = major;
    Win32MinorVersion = minor;
}

static const bool platformGlobalsRead = (InitPlatformGlobals(), true);

// ---------------------------------------------------------------------------------------------------------
// Numbers as text

namespace {

AnsiString Digits(unsigned long long v, unsigned base, int minDigits) {
    AnsiString s;
    do {
        s.insert(s.begin(), "0123456789ABCDEF"[v % base]);
        v /= base;
    } while (v);
    if (static_cast<int>(s.size()) < minDigits) s.insert(0, static_cast<size_t>(minDigits) - s.size(), '0');
    return s;
}

AnsiString SignedDigits(Int64 v, int minDigits) {
    unsigned long long mag = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    return (v < 0 ? "-" : "") + Digits(mag, 10, minDigits);
}

// Decimal digits and exponent of `v` rounded to `precision` significant digits (v finite, non-negative).
void Scientific(double v, int precision, AnsiString& digits, int& exponent) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, v);
    digits.clear();
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    exponent = *p ? std::atoi(p + 1) : 0;
}

AnsiString SpecialFloat(double v) {
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

AnsiString FixedText(double v, int decimals, char decimalSep, char thousandSep) {
    if (!std::isfinite(v)) return SpecialFloat(v);
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(v));
    AnsiString s = buffer;
    size_t dot = s.find('.');
    AnsiString intPart = s.substr(0, dot), frac = dot == AnsiString::npos ? AnsiString() : s.substr(dot + 1);
    if (thousandSep)
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3) intPart.insert(static_cast<size_t>(i), 1, thousandSep);
    bool negative = v < 0 && s.find_first_not_of("0.") != AnsiString::npos;
    return (negative ? "-" : "") + intPart + (frac.empty() ? "" : AnsiString(1, decimalSep) + frac);
}

// Scientific form d.ddd...E+ddd with `decimals` digits after the point and at least `expDigits` in the exponent.
AnsiString ExponentText(double v, int decimals, int expDigits, bool plusSign, char decimalSep) {
    if (!std::isfinite(v)) return SpecialFloat(v);
    AnsiString digits;
    int exponent = 0;
    Scientific(std::fabs(v), decimals + 1, digits, exponent);
    if (v == 0) exponent = 0;
    AnsiString s = v < 0 ? "-" : "";
    s += digits.substr(0, 1);
    if (digits.size() > 1) s += decimalSep + digits.substr(1);
    s += 'E';
    s += exponent < 0 ? "-" : plusSign ? "+" : "";
    s += Digits(static_cast<unsigned>(std::abs(exponent)), 10, expDigits);
    return s;
}

// The shortest form with up to `precision` significant digits: fixed when it fits, else scientific.
AnsiString GeneralText(double v, int precision, char decimalSep) {
    if (!std::isfinite(v)) return SpecialFloat(v);
    if (v == 0) return "0";
    AnsiString digits;
    int exponent = 0;
    Scientific(std::fabs(v), precision, digits, exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    AnsiString s = v < 0 ? "-" : "";
    if (exponent >= -5 && exponent < precision) {
        if (exponent < 0) {
            s += "0";
            s += decimalSep;
            s += AnsiString(static_cast<size_t>(-exponent - 1), '0') + digits;
        } else {
            size_t intDigits = static_cast<size_t>(exponent) + 1;
            if (digits.size() <= intDigits) {
                s += digits + AnsiString(intDigits - digits.size(), '0');
            } else {
                s += digits.substr(0, intDigits);
                s += decimalSep;
                s += digits.substr(intDigits);
            }
        }
        return s;
    }
    s += digits.substr(0, 1);
    if (digits.size() > 1) s += decimalSep + digits.substr(1);
    return s + "E" + (exponent < 0 ? "-" : "") + Digits(static_cast<unsigned>(std::abs(exponent)), 10, 0);
}

AnsiString CurrencyText(double v, int decimals, const TFormatSettings& fs) {
    AnsiString number = FixedText(std::fabs(v), decimals, fs.DecimalSeparator, fs.ThousandSeparator);
    static const char* const positive[] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const negative[] = {"($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
                                           "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
    const char* picture = v < 0 ? negative[fs.NegCurrFormat % 16] : positive[fs.CurrencyFormat % 4];
    AnsiString out;
    for (const char* p = picture; *p; ++p) out += *p == '$' ? fs.CurrencyString : *p == '1' ? number : AnsiString(1, *p);
    return out;
}

}  // namespace

AnsiString IntToStr(int value) { return SignedDigits(value, 0); }
AnsiString IntToStr(Int64 value) { return SignedDigits(value, 0); }

AnsiString IntToHex(Int64 value, int digits) {
    return Digits(static_cast<unsigned long long>(value), 16, digits);
}

bool TryStrToInt64(const AnsiString& text, Int64& value) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] == ' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i < n && text[i] == '$') base = 16, ++i;
    else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) base = 16, i += 2;
    if (i == n) return false;
    unsigned long long v = 0;
    const unsigned long long limit = base == 16 ? ~0ULL : (negative ? 9223372036854775808ULL : 9223372036854775807ULL);
    for (; i < n; ++i) {
        char c = text[i];
        unsigned d = c >= '0' && c <= '9' ? static_cast<unsigned>(c - '0')
                   : base == 16 && c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                   : base == 16 && c >= 'A' && c <= 'F' ? static_cast<unsigned>(c - 'A' + 10)
                                                        : 99;
        if (d >= base) return false;
        if (v > (limit - d) / base) return false;
        v = v * base + d;
    }
    value = negative ? static_cast<Int64>(0ULL - v) : static_cast<Int64>(v);
    return true;
}

bool TryStrToInt(const AnsiString& text, int& value) {
    Int64 v = 0;
    if (!TryStrToInt64(text, v)) return false;
    bool hex = text.find_first_of("$xX") != AnsiString::npos;
    // Hexadecimal texts may name the whole 32-bit pattern ($FFFFFFFF = -1).
    if (hex && v >= 0 && v <= 0xFFFFFFFFLL) v = static_cast<int>(static_cast<unsigned>(v));
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(const AnsiString& text) {
    int v = 0;
    if (!TryStrToInt(text, v)) throw EConvertError("'%s' is not a valid integer value", {text});
    return v;
}

Int64 StrToInt64(const AnsiString& text) {
    Int64 v = 0;
    if (!TryStrToInt64(text, v)) throw EConvertError("'%s' is not a valid integer value", {text});
    return v;
}

int StrToIntDef(const AnsiString& text, int fallback) {
    int v = 0;
    return TryStrToInt(text, v) ? v : fallback;
}

Int64 StrToInt64Def(const AnsiString& text, Int64 fallback) {
    Int64 v = 0;
    return TryStrToInt64(text, v) ? v : fallback;
}

AnsiString FloatToStr(double value, const TFormatSettings& fs) { return GeneralText(value, 15, fs.DecimalSeparator); }
AnsiString FloatToStr(double value) { return FloatToStr(value, FormatSettings); }

bool TryStrToFloat(const AnsiString& text, double& value, const TFormatSettings& fs) {
    AnsiString s = Trim(text), plain;
    size_t i = 0;
    auto digits = [&] {
        size_t start = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') plain += s[i++];
        return i - start;
    };
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
    size_t mantissa = digits();
    if (i < s.size() && s[i] == fs.DecimalSeparator) {
        plain += '.';
        ++i;
        mantissa += digits();
    }
    if (!mantissa) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
        if (!digits()) return false;
    }
    if (i != s.size()) return false;
    value = std::strtod(plain.c_str(), nullptr);
    return true;
}

bool TryStrToFloat(const AnsiString& text, double& value) { return TryStrToFloat(text, value, FormatSettings); }

double StrToFloat(const AnsiString& text, const TFormatSettings& fs) {
    double v = 0;
    if (!TryStrToFloat(text, v, fs)) throw EConvertError("'%s' is not a valid floating point value", {text});
    return v;
}

double StrToFloat(const AnsiString& text) { return StrToFloat(text, FormatSettings); }

double StrToFloatDef(const AnsiString& text, double fallback) {
    double v = 0;
    return TryStrToFloat(text, v) ? v : fallback;
}

AnsiString BoolToStr(bool value, bool useText) {
    if (useText) return value ? "True" : "False";
    return value ? "-1" : "0";
}

bool TryStrToBool(const AnsiString& text, bool& value) {
    if (SameText(text, "True")) return value = true, true;
    if (SameText(text, "False")) return value = false, true;
    double d = 0;
    if (!TryStrToFloat(text, d)) return false;
    value = d != 0;
    return true;
}

bool StrToBool(const AnsiString& text) {
    bool v = false;
    if (!TryStrToBool(text, v)) throw EConvertError("'%s' is not a valid boolean value", {text});
    return v;
}

namespace {
std::mt19937& Generator() {
    static std::mt19937 generator(12345);
    return generator;
}
}  // namespace

void Randomize() { Generator().seed(GetTickCount() ^ GetCurrentProcessId()); }

int Random(int range) {
    if (range <= 0) return 0;
    return std::uniform_int_distribution<int>(0, range - 1)(Generator());
}

// ---------------------------------------------------------------------------------------------------------
// Format

namespace {

template <class S>
S Widen(const AnsiString& s) {
    if constexpr (std::is_same_v<S, AnsiString>) return s;
    else return AnsiToWide(s);
}

template <class S>
S TextArg(const TVarRec& a) {
    const void* p = a.AsPointer();
    switch (a.VType()) {
    case TVarRec::vtChar: return Widen<S>(AnsiString(1, static_cast<char>(a.AsInt64())));
    case TVarRec::vtWideChar:
        if constexpr (std::is_same_v<S, WideString>) return WideString(1, static_cast<wchar_t>(a.AsInt64()));
        else return WideToAnsi(WideString(1, static_cast<wchar_t>(a.AsInt64())));
    case TVarRec::vtPChar: return Widen<S>(p ? static_cast<const char*>(p) : "");
    case TVarRec::vtAnsiString: return Widen<S>(*static_cast<const AnsiString*>(p));
    case TVarRec::vtPWideChar:
    case TVarRec::vtWideString: {
        WideString w = a.VType() == TVarRec::vtWideString ? *static_cast<const WideString*>(p)
                                                         : WideString(p ? static_cast<const wchar_t*>(p) : L"");
        if constexpr (std::is_same_v<S, WideString>) return w;
        else return WideToAnsi(w);
    }
    default: throw 0;
    }
}

template <class S>
S FormatImpl(const S& fmt, const TVarRec* args, size_t count, const TFormatSettings& fs) {
    using C = typename S::value_type;
    auto fail = [&]() -> EConvertError {
        AnsiString f;
        if constexpr (std::is_same_v<S, AnsiString>) f = fmt;
        else f = WideToAnsi(fmt);
        return EConvertError("Format '%s' invalid or incompatible with argument", {f});
    };
    S out;
    size_t argIndex = 0, i = 0, n = fmt.size();
    auto nextArg = [&]() -> const TVarRec& {
        if (argIndex >= count) {
            AnsiString f;
            if constexpr (std::is_same_v<S, AnsiString>) f = fmt;
            else f = WideToAnsi(fmt);
            throw EConvertError("No argument for format '%s'", {f});
        }
        return args[argIndex++];
    };
    auto readNumber = [&](int& value) -> bool {
        if (i < n && fmt[i] == C('*')) {
            const TVarRec& a = nextArg();
            if (a.VType() != TVarRec::vtInteger) throw fail();
            value = static_cast<int>(a.AsInt64());
            ++i;
            return true;
        }
        if (i >= n || fmt[i] < C('0') || fmt[i] > C('9')) return false;
        value = 0;
        while (i < n && fmt[i] >= C('0') && fmt[i] <= C('9')) {
            value = value * 10 + (fmt[i++] - C('0'));
            if (value > 100000) throw fail();
        }
        return true;
    };
    while (i < n) {
        C c = fmt[i++];
        if (c != C('%')) {
            out += c;
            continue;
        }
        if (i >= n) throw fail();
        if (fmt[i] == C('%')) {
            out += C('%');
            ++i;
            continue;
        }
        int width = -1, precision = -1, number = 0;
        bool left = false;
        bool have = readNumber(number);
        if (have && i < n && fmt[i] == C(':')) {
            if (number < 0) throw fail();
            argIndex = static_cast<size_t>(number);
            ++i;
            have = false;
        }
        if (have) {
            width = number;
        } else {
            if (i < n && fmt[i] == C('-')) left = true, ++i;
            if (readNumber(number)) width = number;
        }
        if (i < n && fmt[i] == C('.')) {
            ++i;
            if (!readNumber(precision)) precision = 0;
        }
        if (i >= n) throw fail();
        C type = fmt[i++];
        if (type >= C('A') && type <= C('Z')) type = static_cast<C>(type - C('A') + C('a'));
        const TVarRec& a = nextArg();
        const bool isInt = a.VType() == TVarRec::vtInteger || a.VType() == TVarRec::vtInt64;
        const bool isFloat = a.VType() == TVarRec::vtExtended || a.VType() == TVarRec::vtCurrency;
        const double f = a.VType() == TVarRec::vtCurrency ? static_cast<double>(a.AsInt64()) / 10000.0 : a.AsFloat();
        S piece;
        switch (static_cast<char>(type)) {
        case 'd':
            if (!isInt) throw fail();
            piece = Widen<S>(SignedDigits(a.AsInt64(), precision));
            break;
        case 'u':
        case 'x': {
            if (!isInt) throw fail();
            unsigned long long v = a.VType() == TVarRec::vtInteger ? static_cast<unsigned>(a.AsInt64())
                                                                   : static_cast<unsigned long long>(a.AsInt64());
            piece = Widen<S>(Digits(v, type == C('x') ? 16 : 10, precision));
            break;
        }
        case 'e':
            if (!isFloat) throw fail();
            piece = Widen<S>(ExponentText(f, (precision < 0 ? 15 : std::max(precision, 1)) - 1, 3, true,
                                          fs.DecimalSeparator));
            break;
        case 'f':
            if (!isFloat) throw fail();
            piece = Widen<S>(FixedText(f, precision < 0 ? 2 : std::min(precision, 18), fs.DecimalSeparator, 0));
            break;
        case 'n':
            if (!isFloat) throw fail();
            piece = Widen<S>(FixedText(f, precision < 0 ? 2 : std::min(precision, 18), fs.DecimalSeparator,
                                       fs.ThousandSeparator));
            break;
        case 'g':
            if (!isFloat) throw fail();
            piece = Widen<S>(GeneralText(f, precision <= 0 ? 15 : std::min(precision, 18), fs.DecimalSeparator));
            break;
        case 'm':
            if (!isFloat) throw fail();
            piece = Widen<S>(CurrencyText(f, precision < 0 ? fs.CurrencyDecimals : std::min(precision, 18), fs));
            break;
        case 'p':
            if (a.VType() != TVarRec::vtPointer && a.VType() != TVarRec::vtPChar && a.VType() != TVarRec::vtObject &&
                a.VType() != TVarRec::vtPWideChar)
                throw fail();
            piece = Widen<S>(Digits(reinterpret_cast<UINT_PTR>(a.AsPointer()), 16, 2 * sizeof(void*)));
            break;
        case 's':
            try {
                piece = TextArg<S>(a);
            } catch (int) {
                throw fail();
            }
            if (precision >= 0 && piece.size() > static_cast<size_t>(precision)) piece.resize(static_cast<size_t>(precision));
            break;
        default:
            throw fail();
        }
        if (width > 0 && piece.size() < static_cast<size_t>(width)) {
            S pad(static_cast<size_t>(width) - piece.size(), C(' '));
            piece = left ? piece + pad : pad + piece;
        }
        out += piece;
    }
    return out;
}

}  // namespace

AnsiString Format(const AnsiString& format, const std::vector<TVarRec>& args, const TFormatSettings& settings) {
    return FormatImpl(format, args.data(), args.size(), settings);
}

AnsiString Format(const AnsiString& format, TVarRecs args, const TFormatSettings& settings) {
    return FormatImpl(format, args.begin(), args.size(), settings);
}

AnsiString Format(const AnsiString& format, TVarRecs args) { return Format(format, args, FormatSettings); }

WideString WideFormat(const WideString& format, const std::vector<TVarRec>& args, const TFormatSettings& settings) {
    return FormatImpl(format, args.data(), args.size(), settings);
}

WideString WideFormat(const WideString& format, TVarRecs args) {
    return FormatImpl(format, args.begin(), args.size(), FormatSettings);
}

AnsiString FormatFloat(const AnsiString& format, double value) {
    // The picture forms in use: "0", "0.00", "#,##0.0": decimals = digits after the point, commas = grouping.
    size_t dot = format.find('.');
    int decimals = dot == AnsiString::npos ? 0 : static_cast<int>(format.find_first_not_of("0#", dot + 1) == AnsiString::npos
                                                                         ? format.size() - dot - 1
                                                                         : format.find_first_not_of("0#", dot + 1) - dot - 1);
    bool grouping = format.find(',') != AnsiString::npos;
    return FixedText(value, decimals, DecimalSeparator, grouping ? ThousandSeparator : 0);
}

// ---------------------------------------------------------------------------------------------------------
// Strings

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

AnsiString Trim(const AnsiString& s) { return TrimLeft(TrimRight(s)); }

AnsiString TrimLeft(const AnsiString& s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return s.substr(i);
}

AnsiString TrimRight(const AnsiString& s) {
    size_t n = s.size();
    while (n && IsBlank(s[n - 1])) --n;
    return s.substr(0, n);
}

WideString Trim(const WideString& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] <= L' ') ++b;
    while (e > b && s[e - 1] <= L' ') --e;
    return s.substr(b, e - b);
}

AnsiString UpperCase(const AnsiString& s) {
    AnsiString r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return r;
}

AnsiString LowerCase(const AnsiString& s) {
    AnsiString r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return r;
}

AnsiString AnsiUpperCase(const AnsiString& s) { return WideToAnsi(WideUpperCase(AnsiToWide(s))); }
AnsiString AnsiLowerCase(const AnsiString& s) { return WideToAnsi(WideLowerCase(AnsiToWide(s))); }

WideString WideUpperCase(const WideString& s) {
    WideString r = s;
    if (!r.empty()) CharUpperBuffW(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

WideString WideLowerCase(const WideString& s) {
    WideString r = s;
    if (!r.empty()) CharLowerBuffW(r.data(), static_cast<DWORD>(r.size()));
    return r;
}

int CompareStr(const AnsiString& a, const AnsiString& b) {
    int r = a.compare(b);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CompareText(const AnsiString& a, const AnsiString& b) { return CompareStr(UpperCase(a), UpperCase(b)); }
bool SameText(const AnsiString& a, const AnsiString& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return WideCompareStr(AnsiToWide(a), AnsiToWide(b)); }
int AnsiCompareText(const AnsiString& a, const AnsiString& b) { return WideCompareText(AnsiToWide(a), AnsiToWide(b)); }
bool AnsiSameText(const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) == 0; }

int WideCompareStr(const WideString& a, const WideString& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) - CSTR_EQUAL;
}

int WideCompareText(const WideString& a, const WideString& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) - CSTR_EQUAL;
}

AnsiString AnsiQuotedStr(const AnsiString& s, char quote) {
    AnsiString r(1, quote);
    for (char c : s) {
        r += c;
        if (c == quote) r += c;
    }
    return r + quote;
}

AnsiString QuotedStr(const AnsiString& s) { return AnsiQuotedStr(s, '\''); }

AnsiString AnsiExtractQuotedStr(const AnsiString& s, size_t& pos, char quote) {
    if (pos >= s.size() || s[pos] != quote) return {};
    AnsiString r;
    ++pos;
    while (pos < s.size()) {
        if (s[pos] == quote) {
            if (pos + 1 < s.size() && s[pos + 1] == quote) {
                r += quote;
                pos += 2;
                continue;
            }
            ++pos;
            return r;
        }
        r += s[pos++];
    }
    return r;
}

AnsiString AnsiDequotedStr(const AnsiString& s, char quote) {
    size_t pos = 0;
    if (s.size() < 2 || s.front() != quote || s.back() != quote) return s;
    AnsiString r = AnsiExtractQuotedStr(s, pos, quote);
    return pos == s.size() ? r : s;
}

AnsiString StringReplace(const AnsiString& s, const AnsiString& from, const AnsiString& to, int flags) {
    if (from.empty()) return s;
    const AnsiString hay = flags & rfIgnoreCase ? AnsiUpperCase(s) : s;
    const AnsiString needle = flags & rfIgnoreCase ? AnsiUpperCase(from) : from;
    AnsiString out;
    size_t pos = 0;
    while (true) {
        size_t hit = hay.find(needle, pos);
        if (hit == AnsiString::npos) break;
        out += s.substr(pos, hit - pos) + to;
        pos = hit + from.size();
        if (!(flags & rfReplaceAll)) break;
    }
    return out + s.substr(pos);
}

bool IsValidIdent(const AnsiString& ident) {
    if (ident.empty()) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(ident[0])) return false;
    for (char c : ident)
        if (!alpha(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

AnsiString StringOfChar(char c, int count) { return AnsiString(static_cast<size_t>(std::max(count, 0)), c); }

AnsiString AdjustLineBreaks(const AnsiString& s) {
    AnsiString r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
            r += "\r\n";
        } else if (s[i] == '\n') {
            r += "\r\n";
        } else {
            r += s[i];
        }
    }
    return r;
}

AnsiString GUIDToString(const GUID& g) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buffer;
}

bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, size_t index) {
    return index < s.size() && delimiters.find(s[index]) != AnsiString::npos;
}

// ---------------------------------------------------------------------------------------------------------
// Interfaces

bool Supports(IUnknown* instance, REFIID iid, void** intf) {
    if (!instance) return false;
    void* found = nullptr;
    if (FAILED(instance->QueryInterface(iid, &found)) || !found) return false;
    if (intf) *intf = found;
    else static_cast<IUnknown*>(found)->Release();
    return true;
}

bool Supports(TObject* instance, REFIID iid, void** intf) {
    void* found = nullptr;
    if (!instance || !instance->GetInterface(iid, &found) || !found) return false;
    if (intf) *intf = found;
    else static_cast<IUnknown*>(found)->Release();
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// File names

namespace {
size_t LastDelimiter(const AnsiString& s, const char* delimiters) {
    size_t p = s.find_last_of(delimiters);
    return p == AnsiString::npos ? 0 : p + 1;
}
}  // namespace

AnsiString ExtractFilePath(const AnsiString& f) { return f.substr(0, LastDelimiter(f, "\\:/")); }

AnsiString ExtractFileDir(const AnsiString& f) {
    size_t n = LastDelimiter(f, "\\:/");
    if (n > 1 && (f[n - 1] == '\\' || f[n - 1] == '/') && f[n - 2] != ':') --n;
    return f.substr(0, n);
}

AnsiString ExtractFileName(const AnsiString& f) { return f.substr(LastDelimiter(f, "\\:/")); }

AnsiString ExtractFileExt(const AnsiString& f) {
    size_t p = f.find_last_of(".\\:/");
    return p != AnsiString::npos && f[p] == '.' ? f.substr(p) : AnsiString();
}

AnsiString ExtractFileDrive(const AnsiString& f) {
    if (f.size() >= 2 && f[1] == ':') return f.substr(0, 2);
    if (f.size() >= 2 && f[0] == '\\' && f[1] == '\\') {
        size_t p = f.find('\\', 2);
        p = p == AnsiString::npos ? AnsiString::npos : f.find('\\', p + 1);
        return f.substr(0, p);
    }
    return {};
}

AnsiString ChangeFileExt(const AnsiString& f, const AnsiString& extension) {
    size_t p = f.find_last_of(".\\:/");
    if (p == AnsiString::npos || f[p] != '.') return f + extension;
    return f.substr(0, p) + extension;
}

AnsiString IncludeTrailingBackslash(const AnsiString& path) {
    return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

AnsiString ExcludeTrailingBackslash(const AnsiString& path) {
    return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

AnsiString ExpandFileName(const AnsiString& f) {
    char buffer[MAX_PATH * 2];
    char* name = nullptr;
    DWORD n = GetFullPathNameA(f.c_str(), sizeof buffer, buffer, &name);
    return n && n < sizeof buffer ? AnsiString(buffer, n) : f;
}

bool FileExists(const AnsiString& f) {
    DWORD a = GetFileAttributesA(f.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const AnsiString& d) {
    DWORD a = GetFileAttributesA(d.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDir(const AnsiString& d) { return CreateDirectoryA(d.c_str(), nullptr) != 0; }
bool RemoveDir(const AnsiString& d) { return RemoveDirectoryA(d.c_str()) != 0; }
bool RenameFile(const AnsiString& a, const AnsiString& b) { return MoveFileA(a.c_str(), b.c_str()) != 0; }

bool ForceDirectories(const AnsiString& directory) {
    AnsiString d = ExcludeTrailingBackslash(directory);
    if (d.empty()) return false;
    if (DirectoryExists(d) || ExtractFilePath(d) == d) return true;
    return ForceDirectories(ExtractFilePath(d)) && CreateDir(d);
}

Int64 FileSizeOf(const AnsiString& f) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(f.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<Int64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

AnsiString GetCurrentDir() {
    char buffer[MAX_PATH * 2];
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return AnsiString(buffer, n < sizeof buffer ? n : 0);
}

namespace {
std::vector<AnsiString> CommandLineParams() {
    std::vector<AnsiString> params;
    const char* p = GetCommandLineA();
    while (*p) {
        while (*p && IsBlank(*p)) ++p;
        if (!*p) break;
        AnsiString param;
        bool quoted = false;
        for (; *p && (quoted || !IsBlank(*p)); ++p) {
            if (*p == '"') quoted = !quoted;
            else param += *p;
        }
        params.push_back(param);
    }
    return params;
}
}  // namespace

AnsiString ParamStr(int index) {
    if (index == 0) {
        char buffer[MAX_PATH * 2];
        DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
        return AnsiString(buffer, n < sizeof buffer ? n : 0);
    }
    std::vector<AnsiString> params = CommandLineParams();
    return index > 0 && static_cast<size_t>(index) < params.size() ? params[static_cast<size_t>(index)] : AnsiString();
}

int ParamCount() {
    size_t n = CommandLineParams().size();
    return n ? static_cast<int>(n - 1) : 0;
}

// ---------------------------------------------------------------------------------------------------------
// Resources

AnsiString LoadResString(const TResStringRec* rec) {
    if (!rec) return {};
    if (rec->Identifier >= 0x10000) return reinterpret_cast<const char*>(rec->Identifier);
    HINSTANCE module = FindResourceHInstance(rec->Module ? *rec->Module : HInstance);
    char buffer[4096];
    int n = LoadStringA(module, static_cast<UINT>(rec->Identifier), buffer, sizeof buffer);
    return AnsiString(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

AnsiString LoadStr(int ident) {
    HINSTANCE module = HInstance;
    TResStringRec rec{&module, static_cast<UINT_PTR>(ident)};
    return LoadResString(&rec);
}

HINSTANCE FindResourceHInstance(HINSTANCE instance) { return instance; }

// ---------------------------------------------------------------------------------------------------------
// Dates and times

namespace {
const int DaysInMonth[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
constexpr int DateDelta = 693594;  // days from 0001-01-01 to 1899-12-31
}  // namespace

bool IsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return false;
    if (day < 1 || day > DaysInMonth[IsLeapYear(year)][month - 1]) return false;
    int d = day;
    for (int m = 1; m < month; ++m) d += DaysInMonth[IsLeapYear(year)][m - 1];
    int y = year - 1;
    d += y * 365 + y / 4 - y / 100 + y / 400;
    date = d - DateDelta;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d = 0;
    if (!TryEncodeDate(year, month, day, d)) throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999) return false;
    time = ((hour * 3600000.0) + min * 60000.0 + sec * 1000.0 + msec) / MSecsPerDay;
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime t = 0;
    if (!TryEncodeTime(hour, min, sec, msec, t)) throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    int d = static_cast<int>(std::floor(date)) + DateDelta;  // days since 0001-01-01, 1-based
    if (d <= 0) {
        year = month = day = 0;
        return;
    }
    --d;
    int y = 1;
    int n400 = d / 146097;
    d %= 146097;
    int n100 = std::min(d / 36524, 3);
    d -= n100 * 36524;
    int n4 = d / 1461;
    d %= 1461;
    int n1 = std::min(d / 365, 3);
    d -= n1 * 365;
    y += n400 * 400 + n100 * 100 + n4 * 4 + n1;
    int m = 0;
    while (d >= DaysInMonth[IsLeapYear(y)][m]) d -= DaysInMonth[IsLeapYear(y)][m++];
    year = y;
    month = m + 1;
    day = d + 1;
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
    double frac = std::fabs(time - std::trunc(time));
    long long ms = std::llround(frac * MSecsPerDay);
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime date) {
    int d = static_cast<int>(std::floor(date));
    return ((d - 1) % 7 + 7) % 7 + 1;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    return EncodeDate(st.wYear, st.wMonth, st.wDay) + EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

void DateTimeToSystemTime(TDateTime dt, SYSTEMTIME& st) {
    int y, m, d, h, n, s, z;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, z);
    st = SYSTEMTIME{static_cast<WORD>(y), static_cast<WORD>(m), static_cast<WORD>(DayOfWeek(dt) - 1), static_cast<WORD>(d),
                    static_cast<WORD>(h), static_cast<WORD>(n), static_cast<WORD>(s), static_cast<WORD>(z)};
}

TDateTime Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

TDateTime Date() { return std::floor(Now()); }
TDateTime Time() { return Now() - Date(); }

TDateTime FileDateToDateTime(int dos) {
    unsigned hi = static_cast<unsigned>(dos) >> 16, lo = static_cast<unsigned>(dos) & 0xFFFF;
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(static_cast<int>((hi >> 9) + 1980), static_cast<int>((hi >> 5) & 15), static_cast<int>(hi & 31), date) ||
        !TryEncodeTime(static_cast<int>(lo >> 11), static_cast<int>((lo >> 5) & 63), static_cast<int>((lo & 31) * 2), 0, time))
        throw EConvertError("Invalid argument to date encode");
    return date + time;
}

int DateTimeToFileDate(TDateTime dt) {
    int y, m, d, h, n, s, z;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, z);
    if (y < 1980 || y > 2107) return 0;
    unsigned hi = static_cast<unsigned>(((y - 1980) << 9) | (m << 5) | d);
    unsigned lo = static_cast<unsigned>((h << 11) | (n << 5) | (s / 2));
    return static_cast<int>((hi << 16) | lo);
}

namespace {

void AppendDateTime(AnsiString& out, const AnsiString& fmt, TDateTime dt, const TFormatSettings& fs, int depth) {
    int y, mo, d, h, mi, s, ms;
    DecodeDate(dt, y, mo, d);
    DecodeTime(dt, h, mi, s, ms);
    bool ampm = false;
    for (size_t k = 0; k < fmt.size(); ++k) {
        AnsiString rest = UpperCase(fmt.substr(k, 5));
        if (rest.rfind("AMPM", 0) == 0 || rest.rfind("AM/PM", 0) == 0 || rest.rfind("A/P", 0) == 0) ampm = true;
    }
    int hour = ampm ? (h % 12 == 0 ? 12 : h % 12) : h;
    bool afterHour = false;
    size_t i = 0;
    auto run = [&](char c) {
        size_t n = 0;
        while (i + n < fmt.size() && (fmt[i + n] | 0x20) == c) ++n;
        return n;
    };
    while (i < fmt.size()) {
        char c = fmt[i];
        char lc = static_cast<char>(c | 0x20);
        if (c == '\'' || c == '"') {
            size_t end = fmt.find(c, i + 1);
            if (end == AnsiString::npos) end = fmt.size();
            out += fmt.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (c == '/') { out += fs.DateSeparator; ++i; continue; }
        if (c == ':') { out += fs.TimeSeparator; ++i; continue; }
        AnsiString upper = UpperCase(fmt.substr(i, 5));
        if (upper.rfind("AMPM", 0) == 0) { out += h < 12 ? fs.TimeAMString : fs.TimePMString; i += 4; continue; }
        if (upper.rfind("AM/PM", 0) == 0) { out += h < 12 ? fmt.substr(i, 2) : fmt.substr(i + 3, 2); i += 5; continue; }
        if (upper.rfind("A/P", 0) == 0) { out += h < 12 ? fmt.substr(i, 1) : fmt.substr(i + 2, 1); i += 3; continue; }
        size_t n;
        switch (lc) {
        case 'y':
            n = run('y');
            out += n <= 2 ? Digits(static_cast<unsigned>(y % 100), 10, 2) : Digits(static_cast<unsigned>(y), 10, 4);
            i += n;
            break;
        case 'm':
            n = run('m');
            if (afterHour && n <= 2) out += Digits(static_cast<unsigned>(mi), 10, static_cast<int>(n));
            else if (n <= 2) out += Digits(static_cast<unsigned>(mo), 10, static_cast<int>(n));
            else out += n == 3 ? fs.ShortMonthNames[mo - 1] : fs.LongMonthNames[mo - 1];
            afterHour = false;
            i += n;
            break;
        case 'd':
            n = run('d');
            if (n <= 2) out += Digits(static_cast<unsigned>(d), 10, static_cast<int>(n));
            else if (n == 3) out += fs.ShortDayNames[DayOfWeek(dt) - 1];
            else if (n == 4) out += fs.LongDayNames[DayOfWeek(dt) - 1];
            else if (depth < 2) AppendDateTime(out, n == 5 ? fs.ShortDateFormat : fs.LongDateFormat, dt, fs, depth + 1);
            i += n;
            break;
        case 'h':
            n = run('h');
            out += Digits(static_cast<unsigned>(hour), 10, n >= 2 ? 2 : 1);
            afterHour = true;
            i += n;
            break;
        case 'n':
            n = run('n');
            out += Digits(static_cast<unsigned>(mi), 10, n >= 2 ? 2 : 1);
            i += n;
            break;
        case 's':
            n = run('s');
            out += Digits(static_cast<unsigned>(s), 10, n >= 2 ? 2 : 1);
            i += n;
            break;
        case 'z':
            n = run('z');
            out += Digits(static_cast<unsigned>(ms), 10, n >= 3 ? 3 : 1);
            i += n;
            break;
        case 't':
            n = run('t');
            if (depth < 2) AppendDateTime(out, n == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs, depth + 1);
            i += n;
            break;
        case 'c':
            ++i;
            if (depth < 2) {
                AppendDateTime(out, fs.ShortDateFormat, dt, fs, depth + 1);
                if (dt != std::floor(dt)) {
                    out += ' ';
                    AppendDateTime(out, fs.LongTimeFormat, dt, fs, depth + 1);
                }
            }
            break;
        default:
            out += c;
            ++i;
        }
    }
}

// Reads up to three numbers separated by `sep`; gives how many were read.
int ReadNumbers(const AnsiString& s, size_t& pos, char sep, int values[3], int maxCount) {
    int count = 0;
    while (count < maxCount) {
        while (pos < s.size() && s[pos] == ' ') ++pos;
        size_t start = pos;
        int v = 0;
        while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && pos - start < 5) v = v * 10 + (s[pos++] - '0');
        if (pos == start) break;
        values[count++] = v;
        if (pos < s.size() && s[pos] == sep) ++pos;
        else break;
    }
    return count;
}

bool ParseDate(const AnsiString& s, size_t& pos, TDateTime& value, const TFormatSettings& fs) {
    int v[3] = {0, 0, 0};
    int count = ReadNumbers(s, pos, fs.DateSeparator, v, 3);
    if (count < 2) return false;
    // Field order from the short date picture: the first of d, m, y names the first number.
    AnsiString order;
    for (char c : LowerCase(fs.ShortDateFormat))
        if ((c == 'd' || c == 'm' || c == 'y') && order.find(c) == AnsiString::npos) order += c;
    if (order.size() != 3) order = "mdy";
    int year = 0, month = 0, day = 0;
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (count == 2) {
        order.erase(order.find('y'), 1);
        year = now.wYear;
    }
    for (int k = 0; k < count; ++k) {
        char f = order[static_cast<size_t>(k)];
        (f == 'd' ? day : f == 'm' ? month : year) = v[k];
    }
    if (count == 3 && year < 100) {
        // Two-digit years fall in the current century.
        year += now.wYear / 100 * 100;
    }
    return TryEncodeDate(year, month, day, value);
}

bool ParseTime(const AnsiString& s, size_t& pos, TDateTime& value, const TFormatSettings& fs) {
    int v[3] = {0, 0, 0};
    int count = ReadNumbers(s, pos, fs.TimeSeparator, v, 3);
    if (count < 1) return false;
    int msec = 0;
    if (count == 3 && pos < s.size() && s[pos] == fs.DecimalSeparator) {
        ++pos;
        int z[3];
        if (ReadNumbers(s, pos, '\0', z, 1) != 1) return false;
        msec = z[0];
    }
    while (pos < s.size() && s[pos] == ' ') ++pos;
    AnsiString suffix = UpperCase(s.substr(pos));
    int hour = v[0];
    if (!suffix.empty()) {
        bool am = suffix == UpperCase(fs.TimeAMString) || suffix == "AM" || suffix == "A";
        bool pm = suffix == UpperCase(fs.TimePMString) || suffix == "PM" || suffix == "P";
        if (!am && !pm) return false;
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (pm ? 12 : 0);
        pos = s.size();
    }
    return TryEncodeTime(hour, v[1], v[2], msec, value);
}

}  // namespace

AnsiString FormatDateTime(const AnsiString& format, TDateTime dt, const TFormatSettings& settings) {
    AnsiString out;
    AppendDateTime(out, format.empty() ? AnsiString("c") : format, dt, settings, 0);
    return out;
}

AnsiString FormatDateTime(const AnsiString& format, TDateTime dt) { return FormatDateTime(format, dt, FormatSettings); }
AnsiString DateToStr(TDateTime dt) { return FormatDateTime("ddddd", dt); }
AnsiString TimeToStr(TDateTime dt) { return FormatDateTime("tt", dt); }
AnsiString DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

bool TryStrToDate(const AnsiString& text, TDateTime& value, const TFormatSettings& fs) {
    AnsiString s = Trim(text);
    size_t pos = 0;
    return ParseDate(s, pos, value, fs) && pos == s.size();
}

bool TryStrToTime(const AnsiString& text, TDateTime& value, const TFormatSettings& fs) {
    AnsiString s = Trim(text);
    size_t pos = 0;
    return ParseTime(s, pos, value, fs) && pos == s.size();
}

bool TryStrToDateTime(const AnsiString& text, TDateTime& value, const TFormatSettings& fs) {
    AnsiString s = Trim(text);
    size_t pos = 0;
    TDateTime date = 0, time = 0;
    if (!ParseDate(s, pos, date, fs)) {
        pos = 0;
        if (!ParseTime(s, pos, time, fs) || pos != s.size()) return false;
        value = time;
        return true;
    }
    while (pos < s.size() && s[pos] == ' ') ++pos;
    if (pos < s.size() && (!ParseTime(s, pos, time, fs) || pos != s.size())) return false;
    value = date + time;
    return true;
}

bool TryStrToDate(const AnsiString& text, TDateTime& value) { return TryStrToDate(text, value, FormatSettings); }
bool TryStrToTime(const AnsiString& text, TDateTime& value) { return TryStrToTime(text, value, FormatSettings); }
bool TryStrToDateTime(const AnsiString& text, TDateTime& value) { return TryStrToDateTime(text, value, FormatSettings); }

TDateTime StrToDate(const AnsiString& text) {
    TDateTime v = 0;
    if (!TryStrToDate(text, v)) throw EConvertError("'%s' is not a valid date", {text});
    return v;
}

TDateTime StrToTime(const AnsiString& text) {
    TDateTime v = 0;
    if (!TryStrToTime(text, v)) throw EConvertError("'%s' is not a valid time", {text});
    return v;
}

TDateTime StrToDateTime(const AnsiString& text) {
    TDateTime v = 0;
    if (!TryStrToDateTime(text, v)) throw EConvertError("'%s' is not a valid date and time", {text});
    return v;
}

}  // namespace vcl
