// Runtime routines: exceptions, Format and conversions, file names, dates and times, the platform globals.
#pragma once

#include <exception>
#include <initializer_list>

#include "System.h"

namespace vcl {

// ---------------------------------------------------------------------------------------------------------
// Format arguments: a typed array instead of C varargs, so a wrong type raises instead of crashing.

struct Currency {
    Int64 Value = 0;  // units of 1/10000
    static Currency FromDouble(double v) { return {static_cast<Int64>(v * 10000.0 + (v < 0 ? -0.5 : 0.5))}; }
    double ToDouble() const { return static_cast<double>(Value) / 10000.0; }
};

// A TVarRec refers to string arguments, it does not copy them: build the list where it is used.
class TVarRec {
public:
    enum Type { vtInteger, vtInt64, vtExtended, vtChar, vtWideChar, vtPChar, vtPWideChar, vtAnsiString,
                vtWideString, vtPointer, vtCurrency, vtBoolean, vtObject };
    TVarRec(int v) : type_(vtInteger), int_(v) {}
    TVarRec(unsigned v) : type_(vtInt64), int_(v) {}
    TVarRec(long v) : type_(vtInteger), int_(v) {}
    TVarRec(unsigned long v) : type_(vtInt64), int_(static_cast<Int64>(v)) {}
    TVarRec(long long v) : type_(vtInt64), int_(v) {}
    TVarRec(unsigned long long v) : type_(vtInt64), int_(static_cast<Int64>(v)) {}
    TVarRec(double v) : type_(vtExtended), float_(v) {}
    TVarRec(long double v) : type_(vtExtended), float_(static_cast<double>(v)) {}
    TVarRec(char v) : type_(vtChar), int_(static_cast<unsigned char>(v)) {}
    TVarRec(wchar_t v) : type_(vtWideChar), int_(v) {}
    TVarRec(bool v) : type_(vtBoolean), int_(v) {}
    TVarRec(const char* v) : type_(vtPChar), ptr_(v) {}
    TVarRec(const wchar_t* v) : type_(vtPWideChar), ptr_(v) {}
    TVarRec(const AnsiString& v) : type_(vtAnsiString), ptr_(&v) {}
    TVarRec(const WideString& v) : type_(vtWideString), ptr_(&v) {}
    TVarRec(const void* v) : type_(vtPointer), ptr_(v) {}
    TVarRec(TObject* v) : type_(vtObject), ptr_(v) {}
    TVarRec(Currency v) : type_(vtCurrency), int_(v.Value) {}

    Type VType() const { return type_; }
    Int64 AsInt64() const { return int_; }
    double AsFloat() const { return float_; }
    const void* AsPointer() const { return ptr_; }

private:
    Type type_;
    Int64 int_ = 0;
    double float_ = 0;
    const void* ptr_ = nullptr;
};
using TVarRecs = std::initializer_list<TVarRec>;

// ---------------------------------------------------------------------------------------------------------
// Exceptions: one tree under Exception, each with its Message.

class Exception : public std::exception {
public:
    explicit Exception(const AnsiString& message) : Message(message) {}
    Exception(const AnsiString& format, TVarRecs args);
    // The message is the string resource `ident` of the module.
    explicit Exception(int ident);
    const char* what() const noexcept override { return Message.c_str(); }
    virtual const char* ClassName() const { return "Exception"; }

    AnsiString Message;
    int HelpContext = 0;
};

#define VCL_EXCEPTION(Name, Base)                              \
    class Name : public Base {                                 \
    public:                                                    \
        using Base::Base;                                      \
        const char* ClassName() const override { return #Name; } \
    };

// Silent: the application's exception handler shows nothing for it.
VCL_EXCEPTION(EAbort, Exception)
VCL_EXCEPTION(EConvertError, Exception)
VCL_EXCEPTION(EOutOfResources, Exception)
VCL_EXCEPTION(EAbstractError, Exception)
VCL_EXCEPTION(EIntError, Exception)
VCL_EXCEPTION(EInOutError, Exception)
VCL_EXCEPTION(EInvalidOperation, Exception)
VCL_EXCEPTION(EInvalidArgument, Exception)
VCL_EXCEPTION(EPackageError, Exception)
VCL_EXCEPTION(EListError, Exception)
VCL_EXCEPTION(EStringListError, Exception)
VCL_EXCEPTION(EComponentError, Exception)
VCL_EXCEPTION(EStreamError, Exception)
VCL_EXCEPTION(EFCreateError, EStreamError)
VCL_EXCEPTION(EFOpenError, EStreamError)
VCL_EXCEPTION(EFilerError, EStreamError)
VCL_EXCEPTION(EReadError, EFilerError)
VCL_EXCEPTION(EWriteError, EFilerError)
// Raised while reading a form stream, so they are read errors too.
VCL_EXCEPTION(EClassNotFound, EReadError)
VCL_EXCEPTION(EMethodNotFound, EReadError)
VCL_EXCEPTION(EInvalidImage, EFilerError)
VCL_EXCEPTION(EResNotFound, Exception)
VCL_EXCEPTION(EPropertyError, Exception)
VCL_EXCEPTION(EParserError, Exception)
VCL_EXCEPTION(EOutOfMemory, Exception)

class EOSError : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EOSError"; }
    DWORD ErrorCode = 0;
};

// Raises EOSError for GetLastError() (a last error of 0 still raises, with a generic text).
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD lastError);
// Raises EOSError when `ok` is false; returns it otherwise.
BOOL Win32Check(BOOL ok);
AnsiString SysErrorMessage(DWORD error);
// Raises EAbort.
[[noreturn]] void Abort();

// ---------------------------------------------------------------------------------------------------------
// Locale formats and the platform globals.

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    char ListSeparator = ',';
    unsigned char CurrencyFormat = 0;
    unsigned char NegCurrFormat = 0;
    unsigned char CurrencyDecimals = 2;
    AnsiString CurrencyString = "$";
    AnsiString ShortDateFormat = "m/d/yyyy";
    AnsiString LongDateFormat = "dddd, mmmm d, yyyy";
    AnsiString ShortTimeFormat = "h:nn AMPM";
    AnsiString LongTimeFormat = "h:nn:ss AMPM";
    AnsiString TimeAMString = "AM";
    AnsiString TimePMString = "PM";
    AnsiString ShortMonthNames[12];
    AnsiString LongMonthNames[12];
    AnsiString ShortDayNames[7];  // Sunday first
    AnsiString LongDayNames[7];
};

// Fills the settings from a Windows locale.
void GetLocaleFormatSettings(LCID locale, TFormatSettings& settings);
AnsiString GetLocaleStr(LCID locale, LCTYPE type, const AnsiString& fallback);

// The process-wide settings (from the user's locale) and the classic names of its fields.
extern TFormatSettings FormatSettings;
extern char& DecimalSeparator;
extern char& ThousandSeparator;
extern char& DateSeparator;
extern char& TimeSeparator;
extern AnsiString& CurrencyString;
extern AnsiString& ShortDateFormat;
extern AnsiString& LongDateFormat;
extern AnsiString& ShortTimeFormat;
extern AnsiString& LongTimeFormat;

struct TSysLocale {
    LCID DefaultLCID = 0;
    int PriLangID = 0;
    int SubLangID = 0;
    bool FarEast = false;
    bool MiddleEast = false;
};

enum : int { VER_PLATFORM_WIN32s_ = 0, VER_PLATFORM_WIN32_WINDOWS_ = 1, VER_PLATFORM_WIN32_NT_ = 2 };
extern int Win32Platform;
extern int Win32MajorVersion;
extern int Win32MinorVersion;
extern int Win32BuildNumber;
extern AnsiString Win32CSDVersion;
extern TSysLocale SysLocale;
extern HINSTANCE HInstance;

// Tests only: pretend another Windows version (e.g. 1, 4, 10 for Windows 98) before the layers initialise.
void OverridePlatformForTest(int platform, int major, int minor);
// Reads the real values again.
void InitPlatformGlobals();

// ---------------------------------------------------------------------------------------------------------
// Format: %[index:][-][width][.precision]type, with `*` taking width, precision or index from the arguments;
// types d u x e f g n m p s. Raises EConvertError for a bad specifier or argument type.

AnsiString Format(const AnsiString& format, TVarRecs args);
AnsiString Format(const AnsiString& format, TVarRecs args, const TFormatSettings& settings);
AnsiString Format(const AnsiString& format, const std::vector<TVarRec>& args, const TFormatSettings& settings);
WideString WideFormat(const WideString& format, TVarRecs args);
WideString WideFormat(const WideString& format, const std::vector<TVarRec>& args, const TFormatSettings& settings);
AnsiString FormatFloat(const AnsiString& format, double value);

// ---------------------------------------------------------------------------------------------------------
// Numbers.

AnsiString IntToStr(int value);
AnsiString IntToStr(Int64 value);
AnsiString IntToHex(Int64 value, int digits);
// Decimal, or hexadecimal with "$" or "0x"; raises EConvertError "'%s' is not a valid integer value".
int StrToInt(const AnsiString& text);
Int64 StrToInt64(const AnsiString& text);
int StrToIntDef(const AnsiString& text, int fallback);
Int64 StrToInt64Def(const AnsiString& text, Int64 fallback);
bool TryStrToInt(const AnsiString& text, int& value);
bool TryStrToInt64(const AnsiString& text, Int64& value);
AnsiString FloatToStr(double value);
AnsiString FloatToStr(double value, const TFormatSettings& settings);
double StrToFloat(const AnsiString& text);
double StrToFloat(const AnsiString& text, const TFormatSettings& settings);
double StrToFloatDef(const AnsiString& text, double fallback);
bool TryStrToFloat(const AnsiString& text, double& value);
bool TryStrToFloat(const AnsiString& text, double& value, const TFormatSettings& settings);
AnsiString BoolToStr(bool value, bool useText = false);
bool StrToBool(const AnsiString& text);
bool TryStrToBool(const AnsiString& text, bool& value);
void Randomize();
int Random(int range);  // 0 <= result < range

// ---------------------------------------------------------------------------------------------------------
// Strings.

AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);
WideString Trim(const WideString& s);
AnsiString UpperCase(const AnsiString& s);  // ASCII letters only
AnsiString LowerCase(const AnsiString& s);
AnsiString AnsiUpperCase(const AnsiString& s);  // every letter of the code page
AnsiString AnsiLowerCase(const AnsiString& s);
WideString WideUpperCase(const WideString& s);
WideString WideLowerCase(const WideString& s);
int CompareStr(const AnsiString& a, const AnsiString& b);  // ordinal
int CompareText(const AnsiString& a, const AnsiString& b); // ordinal, ASCII case folded
bool SameText(const AnsiString& a, const AnsiString& b);
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);  // user locale
int AnsiCompareText(const AnsiString& a, const AnsiString& b);
bool AnsiSameText(const AnsiString& a, const AnsiString& b);
int WideCompareStr(const WideString& a, const WideString& b);  // user locale, case-sensitive
int WideCompareText(const WideString& a, const WideString& b); // user locale, case-insensitive
AnsiString QuotedStr(const AnsiString& s);
AnsiString AnsiQuotedStr(const AnsiString& s, char quote);
// Reads a quoted string at `pos` (doubled quotes inside); leaves `pos` after it.
AnsiString AnsiExtractQuotedStr(const AnsiString& s, size_t& pos, char quote);
AnsiString AnsiDequotedStr(const AnsiString& s, char quote);
enum TReplaceFlag { rfReplaceAll = 1, rfIgnoreCase = 2 };
AnsiString StringReplace(const AnsiString& s, const AnsiString& from, const AnsiString& to, int flags);
bool IsValidIdent(const AnsiString& ident);
AnsiString StringOfChar(char c, int count);
AnsiString AdjustLineBreaks(const AnsiString& s);  // every line break becomes CR LF
AnsiString GUIDToString(const GUID& guid);
bool IsDelimiter(const AnsiString& delimiters, const AnsiString& s, size_t index);

// ---------------------------------------------------------------------------------------------------------
// Interfaces: does the object answer this interface id? With `intf`, the interface (AddRef'ed) is stored.

bool Supports(IUnknown* instance, REFIID iid, void** intf = nullptr);
bool Supports(TObject* instance, REFIID iid, void** intf = nullptr);

// ---------------------------------------------------------------------------------------------------------
// File names and files.

AnsiString ExtractFilePath(const AnsiString& fileName);  // with the trailing backslash
AnsiString ExtractFileDir(const AnsiString& fileName);   // without
AnsiString ExtractFileName(const AnsiString& fileName);
AnsiString ExtractFileExt(const AnsiString& fileName);   // with the dot
AnsiString ExtractFileDrive(const AnsiString& fileName);
AnsiString ChangeFileExt(const AnsiString& fileName, const AnsiString& extension);
AnsiString IncludeTrailingBackslash(const AnsiString& path);
AnsiString ExcludeTrailingBackslash(const AnsiString& path);
AnsiString ExpandFileName(const AnsiString& fileName);
bool FileExists(const AnsiString& fileName);
bool DirectoryExists(const AnsiString& directory);
bool ForceDirectories(const AnsiString& directory);
bool CreateDir(const AnsiString& directory);
bool RemoveDir(const AnsiString& directory);
bool RenameFile(const AnsiString& oldName, const AnsiString& newName);
Int64 FileSizeOf(const AnsiString& fileName);  // -1 when missing
AnsiString GetCurrentDir();
AnsiString ParamStr(int index);  // 0 = the program's path
int ParamCount();

// ---------------------------------------------------------------------------------------------------------
// Resources.

// A resource string: module + id (an id of 0x10000 or more is the address of the text itself).
struct TResStringRec {
    HINSTANCE* Module;
    UINT_PTR Identifier;
};
AnsiString LoadResString(const TResStringRec* rec);
AnsiString LoadStr(int ident);
HINSTANCE FindResourceHInstance(HINSTANCE instance);

// ---------------------------------------------------------------------------------------------------------
// Dates and times.

constexpr double MSecsPerDay = 86400000.0;
TDateTime EncodeDate(int year, int month, int day);  // raises EConvertError for an invalid date
TDateTime EncodeTime(int hour, int min, int sec, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
int DayOfWeek(TDateTime date);  // 1 = Sunday
bool IsLeapYear(int year);
TDateTime Now();
TDateTime Date();
TDateTime Time();
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
void DateTimeToSystemTime(TDateTime dt, SYSTEMTIME& st);
TDateTime FileDateToDateTime(int dosDateTime);  // DOS date in the high word, time in the low word
int DateTimeToFileDate(TDateTime dt);
AnsiString FormatDateTime(const AnsiString& format, TDateTime dt);
AnsiString FormatDateTime(const AnsiString& format, TDateTime dt, const TFormatSettings& settings);
AnsiString DateToStr(TDateTime dt);
AnsiString TimeToStr(TDateTime dt);
AnsiString DateTimeToStr(TDateTime dt);
bool TryStrToDate(const AnsiString& text, TDateTime& value);
bool TryStrToTime(const AnsiString& text, TDateTime& value);
bool TryStrToDateTime(const AnsiString& text, TDateTime& value);
bool TryStrToDate(const AnsiString& text, TDateTime& value, const TFormatSettings& settings);
bool TryStrToTime(const AnsiString& text, TDateTime& value, const TFormatSettings& settings);
bool TryStrToDateTime(const AnsiString& text, TDateTime& value, const TFormatSettings& settings);
TDateTime StrToDate(const AnsiString& text);
TDateTime StrToTime(const AnsiString& text);
TDateTime StrToDateTime(const AnsiString& text);

}  // namespace vcl
