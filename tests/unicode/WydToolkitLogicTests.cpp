// The toolkit's plain logic, without windows: the rich edit's position translation between CR LF counting and
// the window's single CR, and the radio group's button geometry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WydComCtrls.h"
#include "WydExtCtrls.h"
#include "WydTestSupport.h"

namespace {

std::string Utf8(const WideString& s) { return vcl::UTF8Encode(s); }

// The lines a rich edit window would have for a caller's text (CR LF breaks): every break one CR, every
// paragraph cut into lines of at most `wrap` characters (0: no wrap), a soft break holding no character.
class TTextLines : public TWydRichEditLineTable {
public:
    explicit TTextLines(const WideString& callerText, int wrap = 0)
    {
        int start = 0;
        size_t at = 0;
        for (;;) {
            size_t end = callerText.find(L"\r\n", at);
            int length = int((end == WideString::npos ? callerText.size() : end) - at);
            int left = length;
            do {
                int piece = wrap > 0 ? std::min(wrap, left) : left;
                lines_.push_back({start, piece});
                start += piece;
                left -= piece;
            } while (left > 0);
            if (end == WideString::npos)
                break;
            ++start;  // the CR
            at = end + 2;
        }
    }
    int LineCount() const override { return int(lines_.size()); }
    int LineFromChar(int raw) const override
    {
        int line = 0;
        for (int i = 0; i < LineCount(); ++i)
            if (lines_[size_t(i)].start <= raw)
                line = i;
        return line;
    }
    int LineStart(int line) const override { return line < LineCount() ? lines_[size_t(line)].start : -1; }
    int LineLength(int line) const override { return line < LineCount() ? lines_[size_t(line)].length : 0; }

private:
    struct Line {
        int start, length;
    };
    std::vector<Line> lines_;
};

// The window's position of a caller's position, counted on the text itself: a CR LF pair is one character.
int RawOf(const WideString& callerText, int position)
{
    int raw = 0;
    for (int i = 0; i < position; ++i)
        if (!(callerText[size_t(i)] == L'\n' && i > 0 && callerText[size_t(i - 1)] == L'\r'))
            ++raw;
    return raw;
}

bool BetweenCrAndLf(const WideString& text, int position)
{
    return position > 0 && position < int(text.size()) && text[size_t(position - 1)] == L'\r' &&
           text[size_t(position)] == L'\n';
}

const WideString PositionTexts[] = {
    L"ab\r\ncd",
    L"\r\n\r\nx\r\n",
    L"single",
    L"",
    WydAdjustLineBreaks(L"lone\rbreaks\ralone", tlbsCRLF),
    wydtest::Emoji + L"\r\n" + wydtest::Cjk + L"\r\n\r\n" + wydtest::Cyrillic,
};

}  // namespace

TEST(WydRichEditPositions, CaretAfterCOnTheSecondLineIsFiveAsInAnEdit)
{
    TTextLines lines(L"ab\r\ncd");
    EXPECT_EQ(EmulatedCharPos(lines, false, 4), 5) << "the window counts 4";
    EXPECT_EQ(RawWin32CharPos(lines, 5), 4);
}

TEST(WydRichEditPositions, EveryPositionTranslatesBothWaysWithoutWordWrap)
{
    for (const WideString& text : PositionTexts) {
        TTextLines lines(text);
        for (int p = 0; p <= int(text.size()); ++p) {
            if (BetweenCrAndLf(text, p)) {
                EXPECT_EQ(RawWin32CharPos(lines, p), RawOf(text, p - 1))
                    << "inside the pair is before the break; " << Utf8(text) << " at " << p;
                continue;
            }
            int raw = RawOf(text, p);
            EXPECT_EQ(RawWin32CharPos(lines, p), raw) << Utf8(text) << " at " << p;
            EXPECT_EQ(EmulatedCharPos(lines, false, raw), p) << Utf8(text) << " raw " << raw;
        }
    }
}

TEST(WydRichEditPositions, SoftBreaksOfWordWrapAddNoCharacters)
{
    const WideString text = L"abcdefghij\r\nklmnop\r\n" + wydtest::Emoji + wydtest::Greek;
    for (int wrap : {3, 4, 7}) {
        TTextLines lines(text, wrap);
        ASSERT_GT(lines.LineCount(), 3);
        for (int p = 0; p <= int(text.size()); ++p) {
            if (BetweenCrAndLf(text, p))
                continue;
            int raw = RawOf(text, p);
            EXPECT_EQ(RawWin32CharPos(lines, p), raw) << "wrap " << wrap << " at " << p;
            EXPECT_EQ(EmulatedCharPos(lines, true, raw), p) << "wrap " << wrap << " raw " << raw;
        }
    }
}

TEST(WydRichEditPositions, APositionPastTheEndKeepsItsDistance)
{
    TTextLines lines(L"ab\r\ncd");
    EXPECT_EQ(RawWin32CharPos(lines, 9), 8);
}

TEST(WydRadioGroupGeometry, FourItemsInTwoColumnsOf210PixelsAreHundredWideAt8And108)
{
    const int fontHeight = 13;
    RECT first = RadioGroupButtonRect(0, 4, 2, 210, 105, fontHeight);
    RECT third = RadioGroupButtonRect(2, 4, 2, 210, 105, fontHeight);
    EXPECT_EQ(first.left, 8);
    EXPECT_EQ(first.right - first.left, 100);
    EXPECT_EQ(third.left, 108);
    // Free height 105 - 13 - 5 = 87 over two rows: 43 each, the odd pixel split into the top margin.
    EXPECT_EQ(first.bottom - first.top, 43);
    EXPECT_EQ(first.top, fontHeight + 1 + 0);
    RECT second = RadioGroupButtonRect(1, 4, 2, 210, 105, fontHeight);
    EXPECT_EQ(second.top, first.top + 43);
}

TEST(WydRadioGroupGeometry, TheSpareHeightIsSharedAboveAndBelow)
{
    // Free height 106 - 10 - 5 = 91 over four rows: 22 each, 3 pixels left, 1 of them on top.
    EXPECT_EQ(RadioGroupButtonRect(0, 4, 1, 100, 106, 10).top, 10 + 1 + 1);
    EXPECT_EQ(RadioGroupButtonRect(3, 4, 1, 100, 106, 10).top, 10 + 1 + 1 + 3 * 22);
}
