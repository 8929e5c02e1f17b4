// Zero-terminated wide string routines (buffers with a size field in front) and quoting.
#pragma once

#include <climits>

#include "WydSystem.h"

// A buffer for n characters, preceded by a 32-bit field holding its byte size (the field included).
wchar_t* WStrAlloc(unsigned size);
unsigned WStrBufSize(const wchar_t* p);
wchar_t* WStrMove(wchar_t* dest, const wchar_t* source, unsigned count);
wchar_t* WStrNew(const wchar_t* s);
void WStrDispose(wchar_t* p);
unsigned WStrLen(const wchar_t* s);
wchar_t* WStrEnd(const wchar_t* s);
wchar_t* WStrCopy(wchar_t* dest, const wchar_t* source);
wchar_t* WStrLCopy(wchar_t* dest, const wchar_t* source, unsigned maxLen);
wchar_t* WStrPCopy(wchar_t* dest, const WideString& source);
wchar_t* WStrPLCopy(wchar_t* dest, const WideString& source, unsigned maxLen);
wchar_t* WStrECopy(wchar_t* dest, const wchar_t* source);
wchar_t* WStrCat(wchar_t* dest, const wchar_t* source);
// Appends while dest holds fewer than maxLen characters.
wchar_t* WStrLCat(wchar_t* dest, const wchar_t* source, unsigned maxLen);
wchar_t* WStrScan(const wchar_t* s, wchar_t c);
wchar_t* WStrRScan(const wchar_t* s, wchar_t c);
wchar_t* WStrPos(const wchar_t* s, const wchar_t* sub);
int WStrComp(const wchar_t* a, const wchar_t* b);
int WStrLComp(const wchar_t* a, const wchar_t* b, unsigned maxLen);
int WStrIComp(const wchar_t* a, const wchar_t* b);
int WStrLIComp(const wchar_t* a, const wchar_t* b, unsigned maxLen);
wchar_t* WStrLower(wchar_t* s);
wchar_t* WStrUpper(wchar_t* s);
WideString WStrPas(const wchar_t* s);
int Wyd_WStrComp(const wchar_t* a, const wchar_t* b);
wchar_t* Wyd_WStrPos(const wchar_t* s, const wchar_t* sub);

// Pointer to the last character, nil for the empty string.
const wchar_t* WideLastChar(const WideString& s);
wchar_t WydWideLastChar(const WideString& s);

WideString WideQuotedStr(const WideString& s, wchar_t quote);
// Takes a quoted text at p (doubled quotes made single) and leaves p after its closing quote.
WideString WideExtractQuotedStr(const wchar_t*& p, wchar_t quote);
WideString WideDequotedStr(const WideString& s, wchar_t quote);
