// Format string parser: canonical specifiers, floating-point pre-formatting and compatibility checks.
#include "WydFormatStrUtils.h"

#include <algorithm>

namespace {

constexpr int maxNumberDigits = 6;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

AnsiString Ansi(const WideString& s) { return vcl::WideToAnsi(s); }

struct ArgumentType {
    WideString specifier; // empty while no specifier uses the index
    TFormatKind kind = fkUnused;
};

std::vector<WideString> GetSpecifierList(const WideString& format) {
    std::vector<WideString> list;
    TFormatStrParser parser(format);
    while (parser.SkipTextUpToSpecifier()) {
        parser.ParsedString.Clear();
        if (parser.ParseSpecifier()) list.push_back(parser.ParsedString.Value());
    }
    return list;
}

// The index written between '%' and ':' (-1 without one).
int SpecifierIndex(const WideString& specifier) {
    const size_t colon = specifier.find(L':');
    if (colon == WideString::npos || colon < 2) return -1;
    for (size_t i = 1; i < colon; ++i)
        if (!IsDigit(specifier[i])) return -1;
    return std::stoi(specifier.substr(1, colon - 1));
}

[[noreturn]] void RaiseTypeMismatch(int index, const WideString& a, const WideString& b) {
    throw EFormatSpecError("Argument types for index %d do not match. (%s <> %s)",
                           {index, Ansi(a), Ansi(b)});
}

std::vector<ArgumentType> GetArgumentTypes(const WideString& format) {
    std::vector<ArgumentType> types;
    int previous = -1;
    for (const WideString& specifier : GetSpecifierList(format)) {
        int index = SpecifierIndex(specifier);
        if (index < 0) index = previous + 1;
        previous = index;
        if (types.size() <= static_cast<size_t>(index)) types.resize(static_cast<size_t>(index) + 1);
        ArgumentType& entry = types[static_cast<size_t>(index)];
        const TFormatKind kind = GetFormatKind(specifier.back());
        if (entry.kind == fkUnused) entry = {specifier, kind};
        else if (entry.kind != kind) RaiseTypeMismatch(index, entry.specifier, specifier);
    }
    return types;
}

WideString DoubledPercents(const WideString& s) {
    WideString result;
    for (const wchar_t c : s) {
        result += c;
        if (c == L'%') result += c;
    }
    return result;
}

} // namespace

TFormatKind GetFormatKind(wchar_t typeLetter) {
    switch (typeLetter) {
    case L'D': case L'U': case L'X': case L'd': case L'u': case L'x': return fkInteger;
    case L'E': case L'F': case L'G': case L'M': case L'N':
    case L'e': case L'f': case L'g': case L'm': case L'n': return fkFloating;
    case L'P': case L'p': return fkPointer;
    case L'S': case L's': return fkString;
    default:
        throw EWydInternalError("Internal Error: Unexpected format type (%s)", {Ansi(WideString(1, typeLetter))});
    }
}

TFormatStrParser::TFormatStrParser(const WideString& format) : format_(format), position_(format_.c_str()) {}

bool TFormatStrParser::TakeTextUpToSpecifier() {
    while (*position_ && *position_ != L'%') ParsedString.AddChar(*position_++);
    return *position_ == L'%';
}

bool TFormatStrParser::SkipTextUpToSpecifier() {
    while (*position_ && *position_ != L'%') ++position_;
    return *position_ == L'%';
}

bool TFormatStrParser::PeekAndTake(wchar_t c) {
    if (*position_ != c || c == 0) return false;
    ParsedString.AddChar(*position_++);
    return true;
}

void TFormatStrParser::Require(bool present) {
    if (!present) RaiseInvalid();
}

void TFormatStrParser::RaiseInvalid() const {
    throw EFormatSpecError("Invalid Format Specifier: %s", {Ansi(ParsedString.Value() + Rest())});
}

bool TFormatStrParser::TakeNumber() {
    int digits = 0;
    while (IsDigit(*position_)) {
        if (++digits > maxNumberDigits) RaiseInvalid();
        ParsedString.AddChar(*position_++);
    }
    return digits > 0;
}

bool TFormatStrParser::LookAheadIndex(int& index) const {
    const wchar_t* p = position_;
    int value = 0, digits = 0;
    while (IsDigit(*p) && digits <= maxNumberDigits) {
        value = value * 10 + (*p++ - L'0');
        ++digits;
    }
    if (digits == 0 || digits > maxNumberDigits || *p != L':') return false;
    index = value;
    return true;
}

void TFormatStrParser::TakeImplicitArgument() {
    ++ImplicitCount;
    ++LastIndex;
}

bool TFormatStrParser::ParseSpecifier() {
    PeekAndTake(L'%');
    if (*position_ == 0) return false;
    if (PeekAndTake(L' ') || PeekAndTake(L'%')) return false;

    int index = 0;
    if (LookAheadIndex(index)) {
        ++ExplicitCount;
        LastIndex = std::max(LastIndex, index);
    } else {
        TakeImplicitArgument();
        ParsedString.AddString(std::to_wstring(LastIndex) + L":");
    }
    if (PeekAndTake(L'*')) {
        TakeImplicitArgument();
        PeekAndTake(L':');
    } else if (TakeNumber()) {
        PeekAndTake(L':');
    }
    PeekAndTake(L'-');
    if (PeekAndTake(L'*')) TakeImplicitArgument();
    else TakeNumber();
    if (PeekAndTake(L'.')) {
        // A '*' precision takes an argument like a '*' width does.
        if (PeekAndTake(L'*')) TakeImplicitArgument();
        else TakeNumber();
    }
    const wchar_t type = *position_;
    Require(type != 0 && wcschr(L"DEFGMNPSUXdefgmnpsux", type) != nullptr);
    ParsedString.AddChar(*position_++);
    return true;
}

WideString GetCanonicalFormatStr(const WideString& format) {
    TFormatStrParser parser(format);
    bool anySpecifier = false;
    while (parser.TakeTextUpToSpecifier()) anySpecifier |= parser.ParseSpecifier();
    const bool onlyExplicit = parser.ImplicitCount == 0;
    const bool singleImplicit = parser.ImplicitCount == 1 && parser.ExplicitCount == 0;
    if (!anySpecifier || onlyExplicit || singleImplicit) return format;
    return parser.ParsedString.Value() + parser.Rest();
}

void CompareFormatStrings(const WideString& a, const WideString& b) {
    const std::vector<ArgumentType> typesA = GetArgumentTypes(a);
    const std::vector<ArgumentType> typesB = GetArgumentTypes(b);
    if (typesA.size() != typesB.size())
        throw EFormatSpecError(Ansi(L"Number of format specifiers do not match.\r\n\r\n> " + a + L"\r\n> " + b));
    for (size_t i = 0; i < typesA.size(); ++i)
        if (typesA[i].kind != typesB[i].kind)
            RaiseTypeMismatch(static_cast<int>(i), typesA[i].specifier, typesB[i].specifier);
}

bool FormatStringsAreCompatible(const WideString& a, const WideString& b) {
    const std::vector<ArgumentType> typesA = GetArgumentTypes(a);
    const std::vector<ArgumentType> typesB = GetArgumentTypes(b);
    return std::equal(typesA.begin(), typesA.end(), typesB.begin(), typesB.end(),
                      [](const ArgumentType& x, const ArgumentType& y) { return x.kind == y.kind; });
}

WideString ReplaceFloatingArgumentsInFormatString(const WideString& format, const std::vector<vcl::TVarRec>& args) {
    TFormatStrParser parser(format);
    WideString result;
    while (parser.TakeTextUpToSpecifier()) {
        result += parser.ParsedString.Value();
        parser.ParsedString.Clear();
        if (parser.ParseSpecifier() && GetFormatKind(parser.ParsedString.Value().back()) == fkFloating) {
            // The rendered number is read again by the wide formatter: a '%' in it must stay text.
            const AnsiString rendered = vcl::Format(Ansi(parser.ParsedString.Value()), args, vcl::FormatSettings);
            result += DoubledPercents(vcl::AnsiToWide(rendered));
        } else {
            result += parser.ParsedString.Value();
        }
        parser.ParsedString.Clear();
    }
    return result + parser.ParsedString.Value() + parser.Rest();
}
