// The toolkit's plain logic, without windows: the rich edit's position translation between CR LF counting and
// the window's single CR, the radio group's button geometry, the file dialogs' names, filters and folders, and
// the message dialog's layout and copied text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WydComCtrls.h"
#include "WydDialogs.h"
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

namespace {

std::vector<WideString> Split(const WideString& buffer, wchar_t separator, bool multi)
{
    return WideSplitFileNames(buffer.data(), buffer.size(), separator, multi);
}

// What an explorer-style dialog returns: the parts, each ended by a zero, and one more zero.
WideString Returned(std::initializer_list<WideString> parts)
{
    WideString buffer;
    for (const WideString& part : parts)
        buffer += part + WideString(1, L'\0');
    return buffer + WideString(1, L'\0');
}

}  // namespace

TEST(WydFileDialogNames, AFolderAndRelativeNamesGiveFullPathsAndFullPathsStay)
{
    std::vector<WideString> names =
        Split(Returned({L"C:\\dir", L"a.txt", wydtest::Cjk + L".txt", L"D:\\x\\y.txt", L"\\\\srv\\s\\f"}), L'\0', true);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_TRUE(names[0] == L"C:\\dir\\a.txt");
    EXPECT_TRUE(names[1] == L"C:\\dir\\" + wydtest::Cjk + L".txt");
    EXPECT_TRUE(names[2] == L"D:\\x\\y.txt") << "a full path is kept";
    EXPECT_TRUE(names[3] == L"\\\\srv\\s\\f") << "a network path is kept";
}

TEST(WydFileDialogNames, OnePartIsTheFileAndNoPartIsOneEmptyName)
{
    const WideString one = Returned({L"C:\\dir\\" + wydtest::Greek});
    ASSERT_EQ(Split(one, L'\0', true).size(), 1u);
    EXPECT_TRUE(Split(one, L'\0', true)[0] == L"C:\\dir\\" + wydtest::Greek);
    std::vector<WideString> none = Split(WideString(2, L'\0'), L'\0', true);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_TRUE(none[0].empty());
}

TEST(WydFileDialogNames, TheOldStyleSeparatesWithSpacesAndOneNameEndsAtTheSeparator)
{
    std::vector<WideString> names = Split(WideString(L"C:\\dir a.txt b.txt") + WideString(1, L'\0'), L' ', true);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(names[1] == L"C:\\dir\\b.txt");
    std::vector<WideString> single = Split(Returned({L"C:\\one.txt", L"rest"}), L'\0', false);
    ASSERT_EQ(single.size(), 1u);
    EXPECT_TRUE(single[0] == L"C:\\one.txt");
}

TEST(WydFileDialogText, FilterBarsBecomeZerosWithTwoAtTheEnd)
{
    EXPECT_TRUE(WideDialogFilter(L"Text|*.txt|" + wydtest::Cjk + L"|*.*") ==
                WideString(L"Text\0*.txt\0", 11) + wydtest::Cjk + WideString(L"\0*.*\0\0", 6));
}

TEST(WydFileDialogText, AnInitialFolderLosesOneTrailingBackslashButADriveRootKeepsIt)
{
    EXPECT_TRUE(WideNormalizedInitialDir(L"C:\\Data\\") == L"C:\\Data");
    EXPECT_TRUE(WideNormalizedInitialDir(L"C:\\" + wydtest::Cyrillic + L"\\") == L"C:\\" + wydtest::Cyrillic);
    EXPECT_TRUE(WideNormalizedInitialDir(L"C:\\") == L"C:\\");
    EXPECT_TRUE(WideNormalizedInitialDir(L"\\") == L"\\");
    EXPECT_TRUE(WideNormalizedInitialDir(L"C:\\Data") == L"C:\\Data");
    EXPECT_TRUE(WideNormalizedInitialDir(L"").empty());
}

TEST(WydMessageDialogLayout, SizesInDialogUnitsOfTheFont)
{
    // Character size 6 x 13: margins 12 and 13, spacings 15 and 16, buttons 75 x 23, 6 apart.
    TWydMessageDialogLayout layout = LayOutMessageDialog(6, 13, SIZE{200, 26}, true, 2, 30, false);
    EXPECT_EQ(layout.clientWidth, 200 + 15 + 32 + 2 * 12);
    EXPECT_EQ(layout.clientHeight, 32 + 23 + 16 + 2 * 13) << "the icon is taller than the text";
    EXPECT_EQ(layout.icon.left, 12);
    EXPECT_EQ(layout.icon.top, 13);
    EXPECT_EQ(layout.icon.right - layout.icon.left, 32);
    EXPECT_EQ(layout.message.left, 12 + 32 + 15);
    EXPECT_EQ(layout.message.right - layout.message.left, 200);
    ASSERT_EQ(layout.buttons.size(), 2u);
    EXPECT_EQ(layout.buttons[0].left, (271 - (2 * 75 + 6)) / 2) << "the buttons are centred";
    EXPECT_EQ(layout.buttons[1].left - layout.buttons[0].left, 75 + 6);
    EXPECT_EQ(layout.buttons[0].top, 32 + 13 + 16);
    EXPECT_EQ(layout.buttons[0].bottom - layout.buttons[0].top, 23);
}

TEST(WydMessageDialogLayout, AWideCaptionWidensTheButtonsAndRightToLeftMirrorsTheText)
{
    TWydMessageDialogLayout layout = LayOutMessageDialog(6, 13, SIZE{40, 13}, false, 3, 90, true);
    EXPECT_EQ(layout.buttons[0].right - layout.buttons[0].left, 98);
    const int group = 3 * 98 + 2 * 6;
    EXPECT_EQ(layout.clientWidth, group + 2 * 12) << "the buttons are wider than the text";
    EXPECT_EQ(layout.clientHeight, 13 + 23 + 16 + 2 * 13);
    EXPECT_EQ(layout.message.left, layout.clientWidth - 12 - 40) << "mirrored, without an icon";
    EXPECT_EQ(layout.buttons[0].left, 12);
}

TEST(WydMessageDialogLayout, CopiedTextHasDividedBlocksAndButtonsWithoutAccelerators)
{
    const WideString divider = WideString(27, L'-') + L"\r\n";
    EXPECT_TRUE(MessageDialogCopyText(wydtest::Greek, L"Line 1\r\n" + wydtest::Cjk, {L"&Yes", L"N&o to All", L"OK"}) ==
                divider + wydtest::Greek + L"\r\n" + divider + L"Line 1\r\n" + wydtest::Cjk + L"\r\n" + divider +
                    L"Yes   No to All   OK   \r\n" + divider);
}

TEST(WydMessageDialogTables, TypesAndButtonsBeyondTheTablesAreInternalErrors)
{
    EXPECT_THROW(GetMessageCaption(vcl::TMsgDlgType(5)), EWydInternalError);
    EXPECT_THROW(GetButtonCaption(vcl::TMsgDlgBtn(11)), EWydInternalError);
    EXPECT_TRUE(GetMessageCaption(vcl::TMsgDlgType::mtConfirmation) == L"Confirm");
    EXPECT_TRUE(GetButtonCaption(vcl::TMsgDlgBtn::mbNoToAll) == L"N&o to All");
}
