// Platform flags, the layer's error classes and system messages, wide string routines and formatting,
// and the wide file and path routines.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "WydSystem.h"

// ---- Platform flags: set once at unit start from the operating-system version.

extern bool Win32PlatformIsUnicode;
extern bool Win32PlatformIsXP;
extern bool Win32PlatformIs2003;
extern bool Win32PlatformIsVista;
// Tick count of the last WM_SETTINGCHANGE the application object saw; 0 until then.
extern DWORD _SettingChangeTime;

// Sets the flags from the class library's version globals (vcl::Win32Platform, ...). Unit start does it with
// the running system's version; tests that pretend another Windows (vcl::OverridePlatformForTest) call it
// again, which is how the ANSI paths of the wrappers run under Wine (that always reports NT).
void InitializeWydPlatformFlags();

bool CheckWin32Version(int major, int minor);

// ---- Error classes and system error messages.

class EWydUserError : public vcl::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EWydUserError"; }
};

class EWydGeneralError : public vcl::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EWydGeneralError"; }
};

// Broken internal assumptions; messages begin "Internal Error:" or "WYD Internal Error:".
class EWydInternalError : public vcl::Exception {
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EWydInternalError"; }
};

// Each returns its argument, or raises the last operating-system error when it is the failure value.
HANDLE WinCheckH(HANDLE h);
HINSTANCE WinCheckH(HINSTANCE h);
HANDLE WinCheckFileH(HANDLE h);
void* WinCheckP(void* p);
template <typename T> T* WinCheckP(T* p) { return static_cast<T*>(WinCheckP(static_cast<void*>(p))); }

WideString WideSysErrorMessage(DWORD code);
WideString WideLibraryErrorMessage(const WideString& libName, HMODULE module, DWORD code);
WideString WideGetModuleFileName(HMODULE module);
HMODULE WideSafeLoadLibrary(const WideString& name, UINT errorMode = SEM_NOOPENFILEERRORBOX);
// Loads a library by wide name; a failure raises EPackageError.
HMODULE WideLoadPackage(const WideString& name);

// ---- Wide string routines and formatting.

// vcl's WideFormat with the floating-point arguments rendered first by the class library's ANSI Format (so
// with its locale settings); a specifier whose argument has another type raises EConvertError.
WideString Wyd_WideFormat(const WideString& format, vcl::TVarRecs args);
WideString Wyd_WideFormat(const WideString& format, const std::vector<vcl::TVarRec>& args);
WideString Wyd_WideFmtStr(const WideString& format, vcl::TVarRecs args);
// Writes at most `size` characters (no terminator) and returns how many it wrote.
unsigned Wyd_WideFormatBuf(wchar_t* buffer, unsigned size, const WideString& format, vcl::TVarRecs args);

enum TWydTextLineBreakStyle { tlbsLF, tlbsCRLF, tlbsCR };

WideString Wyd_WideUpperCase(const WideString& s);
WideString Wyd_WideLowerCase(const WideString& s);

using TWydReplaceFlags = unsigned; // vcl::rfReplaceAll, vcl::rfIgnoreCase
WideString Wyd_WideStringReplace(const WideString& s, const WideString& oldPattern, const WideString& newPattern,
                                 TWydReplaceFlags flags, bool wholeWord = false);

WideString WydAdjustLineBreaks(const WideString& s, TWydTextLineBreakStyle style = tlbsCRLF);
int WydAdjustLineBreaksLength(const WideString& s, TWydTextLineBreakStyle style = tlbsCRLF);

WideString WideWrapText(const WideString& line, const WideString& breakStr, const std::vector<wchar_t>& breakChars,
                        int maxCol);
WideString WideWrapText(const WideString& line, int maxCol = 45);

bool IsWideCharUpper(wchar_t c);
bool IsWideCharLower(wchar_t c);
bool IsWideCharDigit(wchar_t c);
bool IsWideCharSpace(wchar_t c);
bool IsWideCharPunct(wchar_t c);
bool IsWideCharCntrl(wchar_t c);
bool IsWideCharBlank(wchar_t c);
bool IsWideCharXDigit(wchar_t c);
bool IsWideCharAlpha(wchar_t c);
bool IsWideCharAlphaNumeric(wchar_t c);

int WideTextPos(const WideString& subText, const WideString& s);

// String arrays: zero-terminated strings one after another, ended by an empty one.
WideString ExtractStringArrayStr(const wchar_t* p);
WideString ExtractStringFromStringArray(const wchar_t*& p, wchar_t separator = 0);
std::vector<WideString> ExtractStringsFromStringArray(const wchar_t* p, wchar_t separator = 0);

bool IsWideCharMappableToAnsi(wchar_t c);
bool IsWideStringMappableToAnsi(const WideString& s);
bool IsRTF(const WideString& s);

// ---- Locale, currency, dates and times.

// Float text with a full stop as decimal separator whatever the locale (no global setting is touched).
WideString ENG_US_FloatToStr(double value);
double ENG_US_StrToFloat(const WideString& s);
WideString WideGetLocaleStr(LCID locale, LCTYPE type, const WideString& fallback);
// Fills the record from the thread locale; its strings stay valid until the thread's next call.
void GetDefaultCurrencyFmt(CURRENCYFMTW& format);
// Formats with the given record (nullptr: the thread locale's own format); raises EOSError on failure.
WideString WydCurrToStr(vcl::Currency value, const CURRENCYFMTW* format = nullptr);
// Raises EOSError for text that is not an amount.
vcl::Currency WydStrToCurr(const WideString& s);
vcl::Currency WydStrToCurrDef(const WideString& s, vcl::Currency fallback);
bool ValidCurrencyStr(const WideString& s);

// Dates and times in the thread locale, else in the class library's formats; the plain forms raise
// EConvertError.
bool WydTryStrToDateTime(const WideString& s, vcl::TDateTime& value);
bool WydTryStrToDate(const WideString& s, vcl::TDateTime& value);
bool WydTryStrToTime(const WideString& s, vcl::TDateTime& value);
vcl::TDateTime WydStrToDateTime(const WideString& s);
vcl::TDateTime WydStrToDate(const WideString& s);
vcl::TDateTime WydStrToTime(const WideString& s);
vcl::TDateTime WydStrToDateTimeDef(const WideString& s, vcl::TDateTime fallback);
vcl::TDateTime WydStrToDateDef(const WideString& s, vcl::TDateTime fallback);
vcl::TDateTime WydStrToTimeDef(const WideString& s, vcl::TDateTime fallback);
bool ValidDateTimeStr(const WideString& s);
bool ValidDateStr(const WideString& s);
bool ValidTimeStr(const WideString& s);

// ---- Wide file and path routines.

struct TSearchRecW {
    int Time = 0;          // DOS date and time of the last write, local time
    int64_t Size = 0;
    int Attr = 0;
    WideString Name;
    int ExcludeAttr = 0;
    HANDLE FindHandle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW FindData{};
};

WideString WideIncludeTrailingPathDelimiter(const WideString& s);
WideString WideIncludeTrailingBackslash(const WideString& s);
WideString WideExcludeTrailingPathDelimiter(const WideString& s);
WideString WideExcludeTrailingBackslash(const WideString& s);
bool WideIsDelimiter(const WideString& delimiters, const WideString& s, int index);
bool WideIsPathDelimiter(const WideString& s, int index);
int WideLastDelimiter(const WideString& delimiters, const WideString& s);
WideString WideChangeFileExt(const WideString& fileName, const WideString& extension);
WideString WideExtractFilePath(const WideString& fileName);
WideString WideExtractFileDir(const WideString& fileName);
WideString WideExtractFileDrive(const WideString& fileName);
WideString WideExtractFileName(const WideString& fileName);
WideString WideExtractFileExt(const WideString& fileName);
WideString WideExtractRelativePath(const WideString& baseName, const WideString& destName);
WideString WideExpandFileName(const WideString& fileName);
WideString WideExtractShortPathName(const WideString& fileName);
HANDLE WideFileCreate(const WideString& fileName);
HANDLE WideFileOpen(const WideString& fileName, DWORD mode);
int WideFileAge(const WideString& fileName);
bool WideFileAge(const WideString& fileName, double& fileDateTime);
bool WideFileExists(const WideString& fileName);
bool WideDirectoryExists(const WideString& name);
DWORD WideFileGetAttr(const WideString& fileName);
bool WideFileSetAttr(const WideString& fileName, DWORD attr);
bool WideFileIsReadOnly(const WideString& fileName);
bool WideFileSetReadOnly(const WideString& fileName, bool readOnly);
bool WideForceDirectories(WideString dir);
WideString WideFileSearch(const WideString& name, const WideString& dirList);
bool WideRenameFile(const WideString& oldName, const WideString& newName);
bool WideDeleteFile(const WideString& fileName);
bool WideCopyFile(const WideString& fromFile, const WideString& toFile, bool failIfExists);
bool WideCreateDir(const WideString& dir);
bool WideRemoveDir(const WideString& dir);
bool WideSetCurrentDir(const WideString& dir);
WideString WideGetCurrentDir();
int WideFindFirst(const WideString& path, int attr, TSearchRecW& rec);
int WideFindNext(TSearchRecW& rec);
void WideFindClose(TSearchRecW& rec);
