// Parser of the class library's Format strings: every specifier in a canonical form with an explicit argument
// index, the pre-formatting of floating-point arguments, and the check that two format strings take the same
// arguments with the same types (as a translation must agree with its original).
#pragma once

#include <vector>

#include "WydClasses.h"
#include "WydSysUtils.h"

class EFormatSpecError : public EWydGeneralError {
public:
    using EWydGeneralError::EWydGeneralError;
    const char* ClassName() const override { return "EFormatSpecError"; }
};

// The argument kind of a specifier's type letter.
enum TFormatKind { fkInteger, fkFloating, fkPointer, fkString, fkUnused };

class TFormatStrParser {
public:
    explicit TFormatStrParser(const WideString& format);

    // Copies text up to the next '%' into ParsedString; false when none is left.
    bool TakeTextUpToSpecifier();
    // Skips text up to the next '%'; false when none is left.
    bool SkipTextUpToSpecifier();
    // Parses the specifier at the current '%'; false when it is text ("%%", "% ", a '%' at the end).
    bool ParseSpecifier();
    WideString Rest() const { return WideString(position_); }

    TBufferedWideString ParsedString;
    int LastIndex = -1;
    int ExplicitCount = 0;
    int ImplicitCount = 0;

private:
    bool PeekAndTake(wchar_t c);
    void Require(bool present);
    bool TakeNumber();
    bool LookAheadIndex(int& index) const;
    void TakeImplicitArgument();
    [[noreturn]] void RaiseInvalid() const;

    WideString format_;
    const wchar_t* position_;
};

TFormatKind GetFormatKind(wchar_t typeLetter);

WideString ReplaceFloatingArgumentsInFormatString(const WideString& format, const std::vector<vcl::TVarRec>& args);
WideString GetCanonicalFormatStr(const WideString& format);
// Raises EFormatSpecError when the two take different arguments.
void CompareFormatStrings(const WideString& a, const WideString& b);
bool FormatStringsAreCompatible(const WideString& a, const WideString& b);
