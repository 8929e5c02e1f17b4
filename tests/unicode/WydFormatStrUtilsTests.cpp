// The format string parser: canonical forms, grammar errors and the compatibility of translations.
#include <gtest/gtest.h>

#include "WydFormatStrUtils.h"

namespace {

AnsiString MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const vcl::Exception& e) {
        return e.Message;
    }
    return "no exception";
}

} // namespace

TEST(WydFormatStrUtils, CanonicalForms) {
    const struct {
        const wchar_t* format;
        const wchar_t* canonical;
    } cases[] = {
        {L"%d %s", L"%0:d %1:s"},
        {L"%d", L"%d"},
        {L"%5.2f", L"%5.2f"},
        {L"%0:d %d", L"%0:d %1:d"},
        {L"%1:s %0:s", L"%1:s %0:s"},
        {L"100%% % done %", L"100%% % done %"},
        {L"%-8s|%*d|%x", L"%0:-8s|%1:*d|%3:x"},
        {L"%.*f %d", L"%0:.*f %2:d"},
        {L"no specifiers", L"no specifiers"},
    };
    for (const auto& c : cases) EXPECT_EQ(GetCanonicalFormatStr(c.format), c.canonical) << vcl::WideToAnsi(c.format);
}

TEST(WydFormatStrUtils, GrammarErrors) {
    EXPECT_EQ(MessageOf([] { GetCanonicalFormatStr(L"a %k b"); }), "Invalid Format Specifier: a %0:k b");
    EXPECT_EQ(MessageOf([] { GetCanonicalFormatStr(L"%1234567d"); }), "Invalid Format Specifier: %0:1234567d");
    EXPECT_EQ(MessageOf([] { GetCanonicalFormatStr(L"%5"); }), "Invalid Format Specifier: %0:5");
    EXPECT_EQ(GetCanonicalFormatStr(L"%123456d"), L"%123456d");
    EXPECT_EQ(GetCanonicalFormatStr(L"%123456:d"), L"%123456:d");
    EXPECT_THROW(FormatStringsAreCompatible(L"%k", L"%d"), EFormatSpecError);
    EXPECT_THROW(GetFormatKind(L'k'), EWydInternalError);
}

TEST(WydFormatStrUtils, CompatibilityOfTranslations) {
    EXPECT_TRUE(FormatStringsAreCompatible(L"%s has %d", L"%1:d bei %0:s"));
    EXPECT_TRUE(FormatStringsAreCompatible(L"%f", L"%8.3e"));
    EXPECT_FALSE(FormatStringsAreCompatible(L"%s %d", L"%s %s"));
    EXPECT_FALSE(FormatStringsAreCompatible(L"%s", L"%s %s"));
    // An index nobody uses is not the same as one of some type.
    EXPECT_FALSE(FormatStringsAreCompatible(L"%1:d", L"%0:d %1:d"));
    EXPECT_NO_THROW(CompareFormatStrings(L"%d%%", L"%0:d"));
    EXPECT_EQ(MessageOf([] { CompareFormatStrings(L"%d", L"%d %s"); }),
              "Number of format specifiers do not match.\r\n\r\n> %d\r\n> %d %s");
    EXPECT_EQ(MessageOf([] { CompareFormatStrings(L"%d %s", L"%d %d"); }),
              "Argument types for index 1 do not match. (%1:s <> %1:d)");
    EXPECT_EQ(MessageOf([] { FormatStringsAreCompatible(L"%0:d %0:s", L"%d"); }),
              "Argument types for index 0 do not match. (%0:d <> %0:s)");
}

TEST(WydFormatStrUtils, FloatingArgumentsArePreFormatted) {
    const std::vector<vcl::TVarRec> args = {L"x", 2.5, 3};
    EXPECT_EQ(ReplaceFloatingArgumentsInFormatString(L"%s=%.2f (%d)", args), L"%0:s=2.50 (%2:d)");
    EXPECT_EQ(ReplaceFloatingArgumentsInFormatString(L"100%%", args), L"100%%");
    const char saved = vcl::FormatSettings.DecimalSeparator;
    vcl::FormatSettings.DecimalSeparator = ',';
    EXPECT_EQ(ReplaceFloatingArgumentsInFormatString(L"%1:.1f", args), L"2,5");
    vcl::FormatSettings.DecimalSeparator = saved;
}
