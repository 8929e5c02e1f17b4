// Tests of the toolkit's plain logic: the names a file dialog returns and the search of the find actions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StdActns.h"

using namespace vcl;

TEST(FileNames, SplitFileNamesReadsEveryShapeADialogReturns)
{
    struct Case {
        const char* context;
        std::string buffer;
        char separator;
        bool multi;
        std::vector<AnsiString> expected;
    };
    const Case cases[] = {
        {"one name", std::string("C:\\dir\\a.txt\0rest\0", 18), '\0', false, {"C:\\dir\\a.txt"}},
        {"folder and two names", std::string("C:\\dir\0a.txt\0b.txt\0\0", 20), '\0', true,
         {"C:\\dir\\a.txt", "C:\\dir\\b.txt"}},
        {"folder with its backslash", std::string("C:\\\0a.txt\0b.txt\0\0", 17), '\0', true,
         {"C:\\a.txt", "C:\\b.txt"}},
        {"full paths kept", std::string("C:\\dir\0D:\\x\\y.txt\0\\\\srv\\s\\f\0c.txt\0\0", 36), '\0', true,
         {"D:\\x\\y.txt", "\\\\srv\\s\\f", "C:\\dir\\c.txt"}},
        {"one part of a multi-selection", std::string("C:\\dir\\only.txt\0\0", 17), '\0', true,
         {"C:\\dir\\only.txt"}},
        {"nothing", std::string("\0\0", 2), '\0', true, {""}},
        {"old style with spaces", std::string("C:\\DIR A.TXT B.TXT\0", 19), ' ', true,
         {"C:\\DIR\\A.TXT", "C:\\DIR\\B.TXT"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitFileNames(c.buffer.data(), c.buffer.size(), c.separator, c.multi), c.expected) << c.context;
    const char unterminated[] = {'a', '.', 't', 'x', 't'};
    EXPECT_EQ(SplitFileNames(unterminated, sizeof unterminated, '\0', false), std::vector<AnsiString>{"a.txt"})
        << "the buffer's end stops the name";
}

TEST(SearchText, FindsDownAndUpWithCaseAndWholeWordRules)
{
    struct Case {
        const char* context;
        int selStart, selLength;
        const char* what;
        TFindOptions options;
        int expected;
    };
    const AnsiString text = "Scan one page, then Page two; pages_3 PAGE";
    const Case cases[] = {
        {"down from the start, any case", 0, 0, "page", {frDown}, 9},
        {"down past the selection", 9, 4, "page", {frDown}, 20},
        {"match case skips other cases", 0, 0, "PAGE", {frDown, frMatchCase}, 38},
        {"whole word skips pages_3", 21, 0, "page", {frDown, frWholeWord}, 38},
        {"a word beside an underscore is no whole word", 0, 0, "pages", {frDown, frWholeWord}, -1},
        {"up from the selection's start", 20, 4, "page", {}, 9},
        {"up finds nothing before the first", 9, 0, "page", {}, -1},
        {"up from the end", 42, 0, "page", {}, 38},
        {"empty text to find", 0, 0, "", {frDown}, -1},
        {"longer than the text", 0, 0, "a much longer text than the one that is searched here", {frDown}, -1},
        {"selection beyond the end is clamped", 500, 9, "page", {}, 38},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchText(text, c.selStart, c.selLength, c.what, c.options), c.expected) << c.context;
}
