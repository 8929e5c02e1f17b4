// Code pages, UTF-7 and UTF-8 against RFC 2152 and the platform's own converters, UCS-2, the command line and
// resource strings.
#include <gtest/gtest.h>

#include "WydSysUtils.h"
#include "WydSystem.h"

namespace {

WideString PlatformUtf7Decode(const AnsiString& s) {
    const int n = MultiByteToWideChar(CP_UTF7, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    WideString result(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF7, 0, s.data(), static_cast<int>(s.size()), result.data(), n);
    return result;
}

AnsiString PlatformUtf7Encode(const WideString& s) {
    const int n = WideCharToMultiByte(CP_UTF7, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    AnsiString result(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF7, 0, s.data(), static_cast<int>(s.size()), result.data(), n, nullptr, nullptr);
    return result;
}

struct Utf7Case {
    const wchar_t* text;
    const char* utf7;
};

// RFC 2152's examples, with the mark closing a run written only where a letter or '-' follows.
const Utf7Case rfcCases[] = {
    {L"A\u2262\u0391.", "A+ImIDkQ."},
    {L"Hi Mom -\u263A-!", "Hi Mom -+Jjo--!"},
    {L"\u65E5\u672C\u8A9E", "+ZeVnLIqe"},
    {L"1 + 1 = 2", "1 +- 1 = 2"},
    {L"+", "+-"},
    {L"", ""},
};

} // namespace

TEST(WydSystem, Utf7EncodesRfcExamples) {
    for (const auto& c : rfcCases) EXPECT_EQ(WideStringToUTF7(c.text), c.utf7) << c.utf7;
}

TEST(WydSystem, Utf7DecodesRfcExamplesAndPlatformAgrees) {
    for (const auto& c : rfcCases) {
        EXPECT_EQ(UTF7ToWideString(c.utf7), c.text) << c.utf7;
        EXPECT_EQ(PlatformUtf7Decode(c.utf7), c.text) << c.utf7;
    }
    EXPECT_EQ(UTF7ToWideString("+ZeVnLIqe-"), L"\u65E5\u672C\u8A9E");
}

TEST(WydSystem, Utf7RoundTripsWithThePlatformBothWays) {
    // Every character class: direct, optional direct, white space, '+', '-', Latin-1, BMP and surrogates.
    WideString text = L"Az09'(),-./:? !\"#$%&*;<=>@[]^_`{|} \t\r\n+-~\\ \u00e9\u0416\u65e5\U0001F4BF";
    for (wchar_t c = 1; c < 0x800; c += 7) text += c;
    text += L"end-";
    EXPECT_EQ(PlatformUtf7Decode(WideStringToUTF7(text)), text);
    EXPECT_EQ(UTF7ToWideString(PlatformUtf7Encode(text)), text);
    EXPECT_EQ(UTF7ToWideString(WideStringToUTF7(text)), text);
}

TEST(WydSystem, Utf7RejectsInvalidText) {
    for (const char* bad : {"+", "a+", "+A-", "+AAB-", "caf\xe9"}) {
        EXPECT_THROW(UTF7ToWideString(bad), EWydGeneralError) << bad;
    }
    try {
        UTF7ToWideString("+");
    } catch (const EWydGeneralError& e) {
        EXPECT_EQ(e.Message, "Invalid UTF7");
    }
}

TEST(WydSystem, Utf8AgreesWithThePlatformConverter) {
    const WideString text = L"Pagorin \u00e9\u0416\u65e5\u672c \U0001F4BF \u2028";
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    AnsiString expected(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), expected.data(), n, nullptr, nullptr);
    EXPECT_EQ(WideStringToUTF8(text), expected);
    EXPECT_EQ(WideStringToStringEx(text, CP_UTF8), expected);
    EXPECT_EQ(StringToWideStringEx(expected, CP_UTF8), text);
    EXPECT_EQ(StringToWideStringEx("+ZeVnLIqe", CP_UTF7), L"\u65E5\u672C\u8A9E");
}

TEST(WydSystem, EmptyInputGivesEmptyForEveryCodePage) {
    for (UINT cp : {0u, 1252u, 1251u, 932u, 65000u, 65001u}) {
        EXPECT_EQ(StringToWideStringEx("", cp), L"") << cp;
        EXPECT_EQ(WideStringToStringEx(L"", cp), "") << cp;
    }
}

TEST(WydSystem, CodePageConversionsUseTheGivenCodePage) {
    EXPECT_EQ(StringToWideStringEx("\xc6", 1251), L"\u0416");
    EXPECT_EQ(WideStringToStringEx(L"\u0416", 1251), "\xc6");
    EXPECT_EQ(WideStringToStringEx(L"\u0416", 1252), "?");
}

TEST(WydSystem, Ucs2AndByteSwapping) {
    EXPECT_EQ(UCS2ToWideString(AnsiString("A\0B", 3)), L"A");
    EXPECT_EQ(UCS2ToWideString(""), L"");
    EXPECT_EQ(WideStringToUCS2(L"A\u0416"), AnsiString("A\0\x16\x04", 4));
    wchar_t text[] = L"\u4100\u0416";
    StrSwapByteOrder(text);
    EXPECT_EQ(WideString(text), L"A\u1604");
    StrSwapByteOrder(nullptr);
}

TEST(WydSystem, CodePagesOfCharSetsAndLocales) {
    EXPECT_EQ(CharSetToCodePage(RUSSIAN_CHARSET), 1251u);
    EXPECT_EQ(CharSetToCodePage(ANSI_CHARSET), 1252u);
    EXPECT_EQ(LCIDToCodePage(0x0419), 1251u);
    EXPECT_EQ(LCIDToCodePage(0x0409), 1252u);
    EXPECT_EQ(KeyUnicode(0x0416), L'\u0416');
    EXPECT_EQ(KeyUnicode('A'), L'A');
}

TEST(WydSystem, CommandLineTokens) {
    const std::vector<WideString> expected = {L"prog", L"a", L"b c", L"de fg", L"\u0416"};
    EXPECT_EQ(WideCommandLineTokens(L"prog \"\" a \"b c\"  d\"e f\"g \u0416 \"\""), expected);
    EXPECT_TRUE(WideCommandLineTokens(L"  ").empty());
    EXPECT_EQ(WideCommandLineTokens(L"\"C:\\Program Files\\x.exe\" \"unterminated arg"),
              (std::vector<WideString>{L"C:\\Program Files\\x.exe", L"unterminated arg"}));
}

TEST(WydSystem, ParamStrOfThisProcess) {
    EXPECT_EQ(WideParamStr(0), WideGetModuleFileName(nullptr));
    EXPECT_EQ(WideParamStr(WideParamCount() + 1), L"");
    EXPECT_EQ(WideParamStr(-1), L"");
}

TEST(WydSystem, ResourceStringsAtAnAddress) {
    static const char utf8Text[] = "\xEF\xBB\xBF\xD0\x96x";
    static const char ansiText[] = "caf\xe9";
    static const char onlyMark[] = "\xEF\xBB\xBF";
    const TResStringRec utf8{nullptr, reinterpret_cast<UINT_PTR>(utf8Text)};
    const TResStringRec ansi{nullptr, reinterpret_cast<UINT_PTR>(ansiText)};
    const TResStringRec mark{nullptr, reinterpret_cast<UINT_PTR>(onlyMark)};
    EXPECT_EQ(WideLoadResString(&utf8), L"\u0416x");
    EXPECT_EQ(WideLoadResString(&ansi), L"caf\u00e9");
    EXPECT_EQ(WideLoadResString(&mark), L"");
    EXPECT_EQ(WideLoadResString(nullptr), L"");
}

TEST(WydSystem, ResourceStringsFromTheStringTableAndTheHook) {
    HINSTANCE module = GetModuleHandleW(nullptr);
    const TResStringRec rec{&module, 4001};
    EXPECT_EQ(WideLoadResString(&rec), L"\u0393\u03b5\u03b9\u03b1 \u0441\u0432\u0435\u0442");
    WideCustomLoadResString = [](const TResStringRec*, WideString& value) {
        value = L"from the hook";
        return true;
    };
    EXPECT_EQ(WideLoadResString(&rec), L"from the hook");
    WideCustomLoadResString = nullptr;
}

TEST(WydSystem, InstallingUpdatesTwiceKeepsTheFirstState) {
    const unsigned saved = vcl::DefaultSystemCodePage;
    EXPECT_EQ(saved, 0u) << "unit start sets the system's code page";
    vcl::DefaultSystemCodePage = 1251;
    InstallWydSystemUpdates(WydSystemUpdate(tsFixImplicitCodePage));
    EXPECT_EQ(vcl::DefaultSystemCodePage, 0u);
    InstallWydSystemUpdates(WydSystemUpdate(tsFixImplicitCodePage) | WydSystemUpdate(tsFixWideFormat));
    EXPECT_EQ(InstalledWydSystemUpdates(),
              WydSystemUpdate(tsFixImplicitCodePage) | WydSystemUpdate(tsFixWideFormat));
    vcl::DefaultSystemCodePage = 1251;
    FinalizeWydSystem();
    EXPECT_EQ(vcl::DefaultSystemCodePage, saved);
    EXPECT_EQ(InstalledWydSystemUpdates(), 0u);
}
