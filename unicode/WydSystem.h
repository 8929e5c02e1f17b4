// The layer's lowest text routines: the code page of implicit conversions, conversions between wide and
// 8-bit text in any code page (UTF-8 and UTF-7 included), raw UCS-2, the wide command line and resource strings.
#pragma once

#include <windows.h>

#include <vector>

#include "SysUtils.h"

// The layer's units speak the class library's string types.
using vcl::AnsiString;
using vcl::WideString;
using vcl::TResStringRec;

// The implicit-conversion code page is the class library's vcl::DefaultSystemCodePage; unit start sets it to
// 0 (the system's ANSI code page) and finalisation puts back the value found then.

// Hook that may supply a resource string; returns true when it set `value`.
using TWideCustomLoadResString = bool (*)(const TResStringRec* rec, WideString& value);
extern TWideCustomLoadResString WideCustomLoadResString;

WideString WideLoadResString(const TResStringRec* rec);

// The command line of the process, split the way the layer's programs read it.
int WideParamCount();
WideString WideParamStr(int index);
// The tokens of a command line (the program name first).
std::vector<WideString> WideCommandLineTokens(const wchar_t* commandLine);

AnsiString WideStringToUTF8(const WideString& s);
WideString UTF8ToWideString(const AnsiString& s);
// UTF-7 (RFC 2152) with the optional direct characters written directly and a closing '-' only where needed.
AnsiString WideStringToUTF7(const WideString& s);
// Raises EWydGeneralError "Invalid UTF7" for text that is not UTF-7.
WideString UTF7ToWideString(const AnsiString& s);

// 65000 is UTF-7, 65001 UTF-8, anything else a Windows code page (0 the system's).
WideString StringToWideStringEx(const AnsiString& s, UINT codePage);
AnsiString WideStringToStringEx(const WideString& s, UINT codePage);

// The bytes taken as UTF-16LE (an odd last byte dropped), and back.
WideString UCS2ToWideString(const AnsiString& s);
AnsiString WideStringToUCS2(const WideString& s);

UINT CharSetToCodePage(DWORD charSet);
UINT LCIDToCodePage(LCID locale);
UINT KeyboardCodePage();
wchar_t KeyUnicode(WORD charCode);
// Swaps the bytes of every character up to the terminator, in place.
void StrSwapByteOrder(wchar_t* s);

enum TWydSystemUpdate { tsWideResourceStrings, tsFixImplicitCodePage, tsFixWideStrConcat, tsFixWideFormat };
using TWydSystemUpdateSet = unsigned; // bit (1 << member)
constexpr TWydSystemUpdateSet WydSystemUpdate(TWydSystemUpdate u) { return 1u << u; }

// The run-time fixes are built into this layer's own routines (conversions honour DefaultSystemCodePage,
// resource strings go through WideLoadResString, wide formatting is the layer's); installing a member only
// records it and, for tsFixImplicitCodePage, resets the implicit code page to the system's.
void InstallWydSystemUpdates(TWydSystemUpdateSet updates);
TWydSystemUpdateSet InstalledWydSystemUpdates();
// Unit finalisation: puts back the implicit code page saved at unit start.
void FinalizeWydSystem();
