// Runtime routines: Format, number and date conversions, file names, code-page conversions, platform globals.
#include <gtest/gtest.h>

#include "SyncObjs.h"
#include "SysUtils.h"

using namespace vcl;

namespace {

struct FormatCase {
    const char* format;
    std::vector<TVarRec> args;
    const char* expected;
};

TEST(SysUtils, FormatHandlesIndexWidthPrecisionAndStar) {
    TFormatSettings fs;
    AnsiString name = "abc";
    const FormatCase cases[] = {
        {"%d", {42}, "42"},
        {"%5d|", {42}, "   42|"},
        {"%-5d|", {42}, "42   |"},
        {"%.4d", {-42}, "-0042"},
        {"%x", {255}, "FF"},
        {"%.4x", {-1}, "FFFFFFFF"},
        {"%u", {-1}, "4294967295"},
        {"%s and %s", {name, "def"}, "abc and def"},
        {"%.2s", {name}, "ab"},
        {"%1:s %0:s %s", {"a", "b"}, "b a b"},
        {"%*d", {4, 7}, "   7"},
        {"%-*.*f|", {8, 1, 3.14159}, "3.1     |"},
        {"%*:s", {2, "x", "y"}, "y"},
        {"%f", {1.005}, "1.00"},
        {"%.3f", {-0.0004}, "0.000"},
        {"%n", {1234567.891}, "1,234,567.89"},
        {"%e", {1234.5}, "1.23450000000000E+003"},
        {"%.3e", {-0.000123}, "-1.23E-004"},
        {"%g", {1234.5}, "1234.5"},
        {"%g", {0.00001}, "0.00001"},
        {"%g", {0.000001}, "1E-6"},
        {"%g", {1e20}, "1E20"},
        {"%m", {Currency::FromDouble(-12.5)}, "($12.50)"},
        {"%%%d%%", {5}, "%5%"},
        {"%s", {'c'}, "c"},
        {"%s", {L"wide"}, "wide"},
    };
    for (const FormatCase& c : cases)
        EXPECT_EQ(Format(c.format, c.args, fs), c.expected) << "format " << c.format;
}

TEST(SysUtils, FormatRaisesOnBadSpecifierOrArgument) {
    const FormatCase cases[] = {
        {"%d", {"text"}, nullptr}, {"%s", {42}, nullptr},  {"%f", {42}, nullptr}, {"%d %d", {1}, nullptr},
        {"%q", {1}, nullptr},      {"%", {}, nullptr},     {"%*d", {"x", 1}, nullptr}, {"%5", {1}, nullptr},
        {"%p", {1}, nullptr},
    };
    for (const FormatCase& c : cases)
        EXPECT_THROW(Format(c.format, c.args, TFormatSettings()), EConvertError) << "format " << c.format;
    try {
        Format("%d", {"x"});
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Format '%d' invalid or incompatible with argument");
    }
}

TEST(SysUtils, WideFormatKeepsWideText) {
    WideString greek = L"\x0391\x03B2";
    EXPECT_EQ(WideFormat(L"[%s|%3d]", {greek, 7}), L"[\x0391\x03B2|  7]");
}

TEST(SysUtils, StrToIntAcceptsDecimalAndHexAndRejectsTheRest) {
    EXPECT_EQ(StrToInt("123"), 123);
    EXPECT_EQ(StrToInt(" -7"), -7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    for (const char* bad : {"", "12a", "2147483648", "$", "1 2", "--1"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "no exception for '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, Format("'%s' is not a valid integer value", {bad}));
        }
    }
    EXPECT_EQ(StrToIntDef("x", 9), 9);
    EXPECT_EQ(StrToInt64("9223372036854775807"), INT64_MAX);
}

TEST(SysUtils, FloatConversionsFollowTheDecimalSeparator) {
    TFormatSettings fs;
    fs.DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(2.5, fs), "2,5");
    EXPECT_EQ(StrToFloat("2,5", fs), 2.5);
    EXPECT_THROW(StrToFloat("2.5", fs), EConvertError);
    EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(StrToFloat(" 1e3 "), 1000.0);
    EXPECT_THROW(StrToFloat("e3"), EConvertError);
}

TEST(SysUtils, DatesEncodeDecodeAndParse) {
    TDateTime d = EncodeDate(2000, 2, 29);
    EXPECT_EQ(d, 36585.0);
    int y, m, day;
    DecodeDate(d, y, m, day);
    EXPECT_EQ(y * 10000 + m * 100 + day, 20000229);
    EXPECT_EQ(DayOfWeek(d), 3);  // a Tuesday
    EXPECT_THROW(EncodeDate(2001, 2, 29), EConvertError);
    TFormatSettings fs;
    fs.ShortDateFormat = "dd.mm.yyyy";
    fs.DateSeparator = '.';
    TDateTime parsed = 0;
    ASSERT_TRUE(TryStrToDateTime("29.02.2000 13:05:09", parsed, fs));
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", parsed, fs), "2000-02-29 13:05:09");
    EXPECT_FALSE(TryStrToDate("31.04.2000", parsed, fs));
    EXPECT_NEAR(FileDateToDateTime(DateTimeToFileDate(parsed)), parsed - 1.0 / 86400, 1e-9);  // two-second steps
    try {
        StrToDate("nonsense");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "'nonsense' is not a valid date");
    }
}

TEST(SysUtils, FileNamesSplitAndJoin) {
    EXPECT_EQ(ExtractFilePath("C:\\dir\\file.txt"), "C:\\dir\\");
    EXPECT_EQ(ExtractFileDir("C:\\dir\\file.txt"), "C:\\dir");
    EXPECT_EQ(ExtractFileDir("C:\\file.txt"), "C:\\");
    EXPECT_EQ(ExtractFileName("C:\\dir\\file.txt"), "file.txt");
    EXPECT_EQ(ExtractFileExt("C:\\d.x\\file"), "");
    EXPECT_EQ(ChangeFileExt("C:\\d.x\\prog.exe", ".ini"), "C:\\d.x\\prog.ini");
    EXPECT_EQ(ChangeFileExt("C:\\d.x\\prog", ".ini"), "C:\\d.x\\prog.ini");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\a\\"), "C:\\a\\");
    EXPECT_TRUE(FileExists(ParamStr(0)));
    EXPECT_FALSE(DirectoryExists(ParamStr(0)));
    EXPECT_TRUE(DirectoryExists(ExtractFileDir(ParamStr(0))));
}

TEST(SysUtils, StringsTrimCaseQuote) {
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(UpperCase("abc\xe4"), "ABC\xe4");
    EXPECT_EQ(AnsiUpperCase("abc\xe4"), "ABC\xc4");  // code page 1252
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("'it''s'", '\''), "it's");
    EXPECT_TRUE(SameText("Abc", "aBC"));
    EXPECT_LT(WideCompareText(L"a", L"B"), 0);
    EXPECT_GT(WideCompareStr(L"b", L"a"), 0);
    EXPECT_TRUE(IsValidIdent("_a1"));
    EXPECT_FALSE(IsValidIdent("1a"));
    EXPECT_EQ(StringReplace("aXbxc", "x", "-", rfReplaceAll | rfIgnoreCase), "a-b-c");
}

TEST(SysUtils, ConversionsGoThroughTheSystemCodePage) {
    EXPECT_EQ(AnsiToWide("\xe4"), L"\x00e4");
    EXPECT_EQ(WideToAnsi(L"\x00e4"), "\xe4");
    EXPECT_EQ(WideToAnsi(L"\x0416"), "?");  // not in 1252
    unsigned saved = DefaultSystemCodePage;
    DefaultSystemCodePage = 1251;
    EXPECT_EQ(WideToAnsi(L"\x0416"), "\xc6");
    EXPECT_EQ(AnsiToWide("\xc6"), L"\x0416");
    DefaultSystemCodePage = saved;
    EXPECT_EQ(UTF8Decode(UTF8Encode(L"\x0416\x4e2d")), L"\x0416\x4e2d");
}

TEST(SysUtils, PlatformGlobalsCanBeOverriddenForTests) {
    EXPECT_EQ(Win32Platform, 2);
    OverridePlatformForTest(1, 4, 10);
    EXPECT_EQ(Win32Platform, 1);
    EXPECT_EQ(Win32MinorVersion, 10);
    InitPlatformGlobals();
    EXPECT_EQ(Win32Platform, 2);
    EXPECT_GE(Win32MajorVersion, 5);
}

TEST(SysUtils, RaiseLastOSErrorCarriesTheCode) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    try {
        RaiseLastOSError();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_NE(e.Message.find("Code: 2."), AnsiString::npos);
    }
    SetLastError(0);
    EXPECT_THROW(Win32Check(FALSE), EOSError);
    EXPECT_EQ(Win32Check(TRUE), TRUE);
}

// {59D0AE37-8161-4AD6-9102-14B28E5761EB}
const GUID IID_ITestAction = {0x59D0AE37, 0x8161, 0x4AD6, {0x91, 0x02, 0x14, 0xB2, 0x8E, 0x57, 0x61, 0xEB}};

struct ITestAction : IUnknown {
    virtual int Run() = 0;
};

class TTestAction : public TInterfacedObject, public ITestAction {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object && IsEqualIID(iid, IID_ITestAction)) {
            *object = static_cast<ITestAction*>(this);
            AddRef();
            return S_OK;
        }
        return TInterfacedObject::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TInterfacedObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TInterfacedObject::Release(); }
    int Run() override { return 42; }
};

TEST(SysUtils, SupportsQueriesInterfacesByGuid) {
    auto* action = new TTestAction;
    action->AddRef();
    ITestAction* intf = nullptr;
    ASSERT_TRUE(Supports(static_cast<TObject*>(action), IID_ITestAction, reinterpret_cast<void**>(&intf)));
    EXPECT_EQ(intf->Run(), 42);
    EXPECT_EQ(action->GetRefCount(), 2);
    intf->Release();
    EXPECT_FALSE(Supports(static_cast<TObject*>(action), IID_IDispatch));
    TObject plain;
    EXPECT_FALSE(Supports(&plain, IID_ITestAction));
    EXPECT_EQ(action->Release(), 0u);  // freed
    TCriticalSection lock;
    {
        TCriticalSectionLock held(lock);
        EXPECT_TRUE(lock.TryEnter());  // re-entrant on the same thread
        lock.Leave();
    }
}

}  // namespace
