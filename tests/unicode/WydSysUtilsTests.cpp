// Wide string routines, formatting, quoting, wrapping, replacing and the system error messages.
#include <gtest/gtest.h>

#include "WydFormatStrUtils.h"
#include "WydSysUtils.h"
#include "WydTestSupport.h"
#include "WydWideStrUtils.h"

TEST(WydSysUtils, WideFormatTakesTypedArguments) {
    const WideString name = L"\u0416ena";
    EXPECT_EQ(Wyd_WideFormat(L"%s has %d pages, %5.2f MB", {name, 12, 3.14159}), L"\u0416ena has 12 pages,  3.14 MB");
    EXPECT_EQ(Wyd_WideFormat(L"%1:s %0:s %%", {L"b", L"a"}), L"a b %");
    EXPECT_EQ(Wyd_WideFormat(L"%.*f|%d", {2, 1.005, 7}), L"1.00|7");
}

TEST(WydSysUtils, WideFormatRaisesOnAMismatchInsteadOfReadingIt) {
    EXPECT_THROW(Wyd_WideFormat(L"%d", {L"text"}), vcl::EConvertError);
    EXPECT_THROW(Wyd_WideFormat(L"%s", {42}), vcl::EConvertError);
    EXPECT_THROW(Wyd_WideFormat(L"%f", {L"x"}), vcl::EConvertError);
    EXPECT_THROW(Wyd_WideFormat(L"%d %d", {1}), vcl::EConvertError);
}

TEST(WydSysUtils, WideFormatKeepsAPercentInARenderedNumber) {
    const vcl::AnsiString saved = vcl::FormatSettings.CurrencyString;
    vcl::FormatSettings.CurrencyString = "%d";
    EXPECT_NO_THROW(EXPECT_EQ(Wyd_WideFormat(L"%m %s", {2.5, L"x"}).find(L"%d"), 0u));
    vcl::FormatSettings.CurrencyString = saved;
}

TEST(WydSysUtils, WideFormatOfLongFormatsAndResults) {
    for (size_t length : {3071u, 4094u, 4095u, 4096u, 10000u}) {
        const WideString format = WideString(length, L'x') + L"%s";
        EXPECT_EQ(Wyd_WideFormat(format, {L"!"}), WideString(length, L'x') + L"!") << length;
    }
    const WideString argument(10000, L'\u0416');
    EXPECT_EQ(Wyd_WideFormat(L"<%s>", {argument}), L"<" + argument + L">");
    wchar_t buffer[4];
    EXPECT_EQ(Wyd_WideFormatBuf(buffer, 4, L"%d", {123456}), 4u);
    EXPECT_EQ(WideString(buffer, 4), L"1234");
}

TEST(WydSysUtils, QuotingRoundTrips) {
    EXPECT_EQ(WideQuotedStr(L"it's", L'\''), L"'it''s'");
    const WideString quoted = L"'it''s' rest";
    const wchar_t* p = quoted.c_str();
    EXPECT_EQ(WideExtractQuotedStr(p, L'\''), L"it's");
    EXPECT_STREQ(p, L" rest");
    const wchar_t* open = L"'un''terminated";
    EXPECT_EQ(WideExtractQuotedStr(open, L'\''), L"un'terminated");
    EXPECT_EQ(*open, 0);
    const wchar_t* empty = L"''x";
    EXPECT_EQ(WideExtractQuotedStr(empty, L'\''), L"");
    EXPECT_STREQ(empty, L"x");
    const wchar_t* unquoted = L"abc";
    EXPECT_EQ(WideExtractQuotedStr(unquoted, L'\''), L"");
    EXPECT_STREQ(unquoted, L"abc");
    EXPECT_EQ(WideDequotedStr(L"\"a\"\"b\"", L'"'), L"a\"b");
    EXPECT_EQ(WideDequotedStr(L"plain", L'"'), L"plain");
}

TEST(WydSysUtils, ZeroTerminatedRoutines) {
    wchar_t* buffer = WStrAlloc(10);
    EXPECT_EQ(WStrBufSize(buffer), 10u);
    WStrCopy(buffer, L"abc");
    EXPECT_EQ(WStrLen(buffer), 3u);
    EXPECT_EQ(WStrEnd(buffer), buffer + 3);
    // Appending to a buffer already at its limit copies nothing.
    WStrLCat(buffer, L"xyz", 3);
    EXPECT_STREQ(buffer, L"abc");
    WStrLCat(buffer, L"xyz", 5);
    EXPECT_STREQ(buffer, L"abcxy");
    EXPECT_EQ(WStrECopy(buffer, L"q"), buffer + 1);
    WStrMove(buffer + 1, L"rst", 4);
    EXPECT_STREQ(buffer, L"qrst");
    WStrMove(buffer + 1, buffer, 5);
    EXPECT_STREQ(buffer + 1, L"qrst");
    WStrDispose(buffer);
    WStrDispose(nullptr);

    const wchar_t* text = L"a.b.c";
    EXPECT_EQ(WStrScan(text, L'.'), text + 1);
    EXPECT_EQ(WStrScan(text, 0), nullptr);
    EXPECT_EQ(WStrRScan(text, L'.'), text + 3);
    EXPECT_EQ(WStrRScan(text, 0), text + 5);
    EXPECT_EQ(WStrPos(text, L"b.c"), text + 2);
    EXPECT_EQ(WStrPos(text, L""), nullptr);
    EXPECT_EQ(WStrPos(text, nullptr), nullptr);
    wchar_t* copy = WStrNew(L"\u0416x");
    EXPECT_EQ(WStrBufSize(copy), 3u);
    EXPECT_EQ(WStrPas(WStrUpper(copy)), L"\u0416X");
    WStrDispose(copy);
    EXPECT_EQ(WStrNew(nullptr), nullptr);
    wchar_t small[8];
    EXPECT_STREQ(WStrPLCopy(small, L"abcdef", 3), L"abc");
    EXPECT_EQ(WideLastChar(L""), nullptr);
    EXPECT_EQ(WydWideLastChar(L"ab"), L'b');
}

TEST(WydSysUtils, ComparisonsAgreeWithCompareStringW) {
    const wchar_t* words[] = {L"apple", L"Apple", L"b", L"B", L"\u00e9t\u00e9", L"ete", L"a-b", L"ab", L""};
    for (const wchar_t* a : words)
        for (const wchar_t* b : words) {
            const int expected = CompareStringW(GetThreadLocale(), 0, a, -1, b, -1) - 2;
            const int expectedI = CompareStringW(GetThreadLocale(), NORM_IGNORECASE, a, -1, b, -1) - 2;
            EXPECT_EQ(WStrComp(a, b), expected);
            EXPECT_EQ(WStrIComp(a, b), expectedI);
        }
    EXPECT_EQ(WStrLComp(L"abcX", L"abcY", 3), 0);
    EXPECT_EQ(WStrLIComp(L"ABCx", L"abcy", 3), 0);
    EXPECT_EQ(Wyd_WStrComp(L"same", L"same"), 0);
}

TEST(WydSysUtils, ReplaceAllIgnoreCaseAndWholeWords) {
    EXPECT_EQ(Wyd_WideStringReplace(L"aXa xa", L"xa", L"-", vcl::rfReplaceAll | vcl::rfIgnoreCase), L"a- -");
    EXPECT_EQ(Wyd_WideStringReplace(L"aXa xa", L"xa", L"-", 0), L"aXa -");
    EXPECT_EQ(Wyd_WideStringReplace(L"cat concat cat, cat", L"cat", L"dog", vcl::rfReplaceAll, true),
              L"dog concat dog, dog");
    EXPECT_EQ(Wyd_WideStringReplace(L"cat", L"cat", L"dog", vcl::rfReplaceAll, true), L"dog");
    EXPECT_EQ(Wyd_WideStringReplace(L"Abc abc", L"ABC", L"x", vcl::rfIgnoreCase), L"x abc");
    // An empty pattern is found nowhere (it used to loop for ever).
    EXPECT_EQ(Wyd_WideStringReplace(L"abc", L"", L"x", vcl::rfReplaceAll), L"abc");
    EXPECT_EQ(Wyd_WideStringReplace(L"", L"a", L"x", vcl::rfReplaceAll), L"");
}

TEST(WydSysUtils, LineBreaksInEveryStyle) {
    const WideString text = L"a\rb\nc\r\nd\u2028e\n\rf";
    const struct {
        TWydTextLineBreakStyle style;
        const wchar_t* expected;
    } cases[] = {
        {tlbsCRLF, L"a\r\nb\r\nc\r\nd\r\ne\r\n\r\nf"},
        {tlbsLF, L"a\nb\nc\nd\ne\n\nf"},
        {tlbsCR, L"a\rb\rc\rd\re\r\rf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WydAdjustLineBreaks(text, c.style), c.expected);
        EXPECT_EQ(WydAdjustLineBreaksLength(text, c.style), static_cast<int>(wcslen(c.expected)));
    }
}

TEST(WydSysUtils, WrapText) {
    EXPECT_EQ(WideWrapText(L"The quick brown fox jumps", 10), L"The quick \r\nbrown fox \r\njumps");
    EXPECT_EQ(WideWrapText(L"short", 10), L"short");
    EXPECT_EQ(WideWrapText(L"a \"quoted text stays\" b", 5), L"a \r\n\"quoted text stays\" b");
    // An empty break string: no existing-break test reads past it.
    EXPECT_EQ(WideWrapText(L"one two three", L"", {L' '}, 4), L"one two three");
    // A break string that would run past the end of the line.
    EXPECT_EQ(WideWrapText(L"ab\r", 10), L"ab\r");
}

TEST(WydSysUtils, CharacterClassesOnBothPaths) {
    OnBothPlatforms([](const char* path) {
        EXPECT_TRUE(IsWideCharUpper(L'A') && !IsWideCharUpper(L'a')) << path;
        EXPECT_TRUE(IsWideCharLower(L'a')) << path;
        EXPECT_TRUE(IsWideCharDigit(L'7') && !IsWideCharDigit(L'x')) << path;
        EXPECT_TRUE(IsWideCharSpace(L' ') && IsWideCharBlank(L'\t')) << path;
        EXPECT_TRUE(IsWideCharPunct(L',')) << path;
        EXPECT_TRUE(IsWideCharCntrl(L'\n')) << path;
        EXPECT_TRUE(IsWideCharXDigit(L'f') && !IsWideCharXDigit(L'g')) << path;
        EXPECT_TRUE(IsWideCharAlpha(L'q') && IsWideCharAlphaNumeric(L'5') && !IsWideCharAlphaNumeric(L'-')) << path;
    });
    EXPECT_TRUE(IsWideCharUpper(L'\u0416'));
}

TEST(WydSysUtils, SmallRoutines) {
    EXPECT_EQ(Wyd_WideUpperCase(L"abc\u0436"), L"ABC\u0416");
    EXPECT_EQ(Wyd_WideLowerCase(L"ABC\u0416"), L"abc\u0436");
    EXPECT_EQ(WideTextPos(L"LO", L"hello"), 4);
    EXPECT_EQ(WideTextPos(L"z", L"hello"), 0);
    EXPECT_TRUE(IsRTF(L"{\\rtf1 x}"));
    EXPECT_TRUE(IsRTF(L"{urtf"));
    EXPECT_FALSE(IsRTF(L"{\\rt"));
    EXPECT_TRUE(IsWideStringMappableToAnsi(L"caf\u00e9"));
    EXPECT_FALSE(IsWideCharMappableToAnsi(L'\u0416'));
    const wchar_t array[] = L"one\0two\0\0";
    EXPECT_EQ(ExtractStringArrayStr(array), WideString(L"one\0two\0\0", 9));
    EXPECT_EQ(ExtractStringsFromStringArray(array), (std::vector<WideString>{L"one", L"two"}));
    const wchar_t* p = L"a;b";
    EXPECT_EQ(ExtractStringFromStringArray(p, L';'), L"a");
    EXPECT_EQ(ExtractStringFromStringArray(p, L';'), L"b");
    EXPECT_EQ(*p, 0);
}

TEST(WydSysUtils, ErrorClassesAndChecks) {
    EXPECT_THROW(throw EWydInternalError("Internal Error: x"), vcl::Exception);
    SetLastError(ERROR_ACCESS_DENIED);
    try {
        WinCheckH(static_cast<HANDLE>(nullptr));
        ADD_FAILURE() << "no exception";
    } catch (const vcl::EOSError& e) {
        EXPECT_EQ(e.ErrorCode, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_THROW(WinCheckFileH(INVALID_HANDLE_VALUE), vcl::EOSError);
    EXPECT_THROW(WinCheckP(static_cast<void*>(nullptr)), vcl::EOSError);
    int x = 0;
    EXPECT_EQ(WinCheckP(&x), &x);
}

TEST(WydSysUtils, SystemErrorMessagesOnBothPaths) {
    OnBothPlatforms([](const char* path) {
        const WideString text = WideSysErrorMessage(ERROR_FILE_NOT_FOUND);
        ASSERT_GE(text.size(), 2u) << path;
        EXPECT_EQ(text.substr(text.size() - 2), L"\r\n") << path;
        // The customer bit marks a code the system surely does not know.
        EXPECT_EQ(WideSysErrorMessage(0x20001234), L"Unspecified error (536875572) from system.") << path;
    });
    EXPECT_EQ(WideLibraryErrorMessage(L"mylib", GetModuleHandleW(L"kernel32.dll"), 0x20001234),
              L"Unspecified error (536875572) from mylib.");
}

TEST(WydSysUtils, LibrariesByWideName) {
    const HMODULE module = WideSafeLoadLibrary(L"version.dll");
    EXPECT_NE(module, nullptr);
    EXPECT_EQ(WideSafeLoadLibrary(L"no-such-library-\u0416.dll"), nullptr);
    EXPECT_THROW(WideLoadPackage(L"no-such-package.bpl"), vcl::EPackageError);
    EXPECT_NE(WideGetModuleFileName(module).find(L"version.dll"), WideString::npos);
    FreeLibrary(module);
}

TEST(WydSysUtils, FloatsWithAFullStopWhateverTheLocale) {
    const char saved = vcl::FormatSettings.DecimalSeparator;
    vcl::FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(ENG_US_FloatToStr(2.5), L"2.5");
    EXPECT_DOUBLE_EQ(ENG_US_StrToFloat(L"-0.25"), -0.25);
    EXPECT_EQ(vcl::FormatSettings.DecimalSeparator, ',');
    EXPECT_THROW(ENG_US_StrToFloat(L"2,5"), vcl::EConvertError);
    vcl::FormatSettings.DecimalSeparator = saved;
}

TEST(WydSysUtils, CurrencyAgreesWithTheLocale) {
    OnBothPlatforms([](const char* path) {
        EXPECT_EQ(WideGetLocaleStr(0x0409, LOCALE_SDECIMAL, L"x"), L".") << path;
        EXPECT_EQ(WideGetLocaleStr(0x0409, 0xFFFF, L"fallback"), L"fallback") << path;
        CURRENCYFMTW format{};
        GetDefaultCurrencyFmt(format);
        EXPECT_EQ(format.NumDigits, 2u) << path;
        EXPECT_EQ(format.Grouping, 3u) << path;
        EXPECT_STREQ(format.lpDecimalSep, L".") << path;
        EXPECT_STREQ(format.lpCurrencySymbol, L"$") << path;
        EXPECT_EQ(WydCurrToStr(vcl::Currency{-12345675000}, &format), L"($1,234,567.50)") << path;
        wchar_t expected[64];
        GetCurrencyFormatW(GetThreadLocale(), 0, L"-1234567.5", nullptr, expected, 64);
        EXPECT_EQ(WydCurrToStr(vcl::Currency{-12345675000}), expected) << path;
    });
    // Amounts beyond a double's exact range keep every digit.
    CURRENCYFMTW plain{4, 1, 0, const_cast<wchar_t*>(L"."), const_cast<wchar_t*>(L","), 1, 0,
                       const_cast<wchar_t*>(L"")};
    EXPECT_EQ(WydCurrToStr(vcl::Currency{922337203685477807}, &plain), L"92233720368547.7807");
    EXPECT_EQ(WydStrToCurr(L"12.5").Value, 125000);
    EXPECT_FALSE(ValidCurrencyStr(L"twelve"));
    EXPECT_EQ(WydStrToCurrDef(L"twelve", vcl::Currency{7}).Value, 7);
    EXPECT_THROW(WydStrToCurr(L"twelve"), vcl::EOSError);
}

TEST(WydSysUtils, DatesAndTimes) {
    vcl::TDateTime value = 0;
    EXPECT_TRUE(WydTryStrToDate(L"2024-03-15", value));
    EXPECT_DOUBLE_EQ(value, vcl::EncodeDate(2024, 3, 15));
    EXPECT_DOUBLE_EQ(WydStrToTime(L"13:30:00"), vcl::EncodeTime(13, 30, 0, 0));
    EXPECT_DOUBLE_EQ(WydStrToDateTime(L"2024-03-15 06:00:00"), vcl::EncodeDate(2024, 3, 15) + 0.25);
    EXPECT_FALSE(ValidDateStr(L"not a date"));
    EXPECT_FALSE(ValidTimeStr(L"25:99"));
    EXPECT_DOUBLE_EQ(WydStrToDateDef(L"never", 1.0), 1.0);
    try {
        WydStrToDate(L"never");
        ADD_FAILURE() << "no exception";
    } catch (const vcl::EConvertError& e) {
        EXPECT_EQ(e.Message, "'never' is not a valid date");
    }
}
