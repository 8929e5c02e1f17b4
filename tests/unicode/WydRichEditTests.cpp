// The wide rich edit on its Unicode window: positions and lengths counted with CR LF line breaks, wide text and
// selection, RTF, search, lines, files, the Enter filter and the class library's window as a fallback.
#include <richedit.h>

#include "TestSupport.h"
#include "WindowTestSupport.h"
#include "WydToolkitTestSupport.h"

using namespace vcl;
using namespace wydtoolkittest;

namespace {

// Reaches the protected key handling.
class TKeyedRichEdit : public TWydRichEdit {
public:
    using TWydRichEdit::TWydRichEdit;
    using TWydRichEdit::KeyDown;
};

class WydRichEditTest : public WydToolkitTest {
protected:
    void SetUp() override
    {
        WydToolkitTest::SetUp();
        rich = Place<TKeyedRichEdit>(8, 8, 480, 200);
        rich->HandleNeeded();
    }
    CHARRANGE RawSelection()
    {
        CHARRANGE range{};
        SendMessageW(rich->WindowHandle, EM_EXGETSEL, 0, LPARAM(&range));
        return range;
    }
    TKeyedRichEdit* rich = nullptr;
};

}  // namespace

TEST_F(WydRichEditTest, TheWindowIsTheUnicodeRichEditWithSingleCrBreaks)
{
    EXPECT_TRUE(IsWindowUnicode(rich->WindowHandle));
    EXPECT_EQ(RichEditLineBreakStyle(), tlbsCR);
    rich->SetText(L"ab\r\ncd");
    GETTEXTLENGTHEX count{GTL_NUMCHARS | GTL_PRECISE, 1200};
    EXPECT_EQ(SendMessageW(rich->WindowHandle, EM_GETTEXTLENGTHEX, WPARAM(&count), 0), 5);
    EXPECT_TRUE(rich->GetText() == L"ab\r\ncd") << Utf8(rich->GetText());
}

TEST_F(WydRichEditTest, CaretAfterCReportsFiveAsAnEditDoes)
{
    rich->SetText(L"ab\r\ncd");
    SendMessageW(rich->WindowHandle, EM_SETSEL, 4, 4);
    EXPECT_EQ(rich->GetSelStart(), 5);
    rich->SetSelStart(2);
    EXPECT_EQ(RawSelection().cpMin, 2);
    rich->SetSelStart(4);
    EXPECT_EQ(RawSelection().cpMin, 3) << "the start of the second line";
    EXPECT_EQ(rich->GetSelStart(), 4);
}

TEST_F(WydRichEditTest, ASelectionAcrossLineBreaksCountsThemAsTwo)
{
    rich->SetText(Greek + L"\r\n" + Cjk + L"\r\n" + Emoji);
    rich->SetSelStart(int(Greek.size()) - 1);
    rich->SetSelLength(5);
    EXPECT_EQ(rich->GetSelLength(), 5);
    EXPECT_TRUE(rich->GetWideSelText() == Greek.substr(Greek.size() - 1) + L"\r\n" + Cjk.substr(0, 2))
        << Utf8(rich->GetWideSelText());
    EXPECT_EQ(RawSelection().cpMax - RawSelection().cpMin, 4);

    rich->SetWideSelText(Cyrillic + L"\r\n");
    EXPECT_TRUE(rich->GetText() == Greek.substr(0, Greek.size() - 1) + Cyrillic + L"\r\n" + Cjk.substr(2) + L"\r\n" + Emoji)
        << Utf8(rich->GetText());
}

TEST_F(WydRichEditTest, WideTextInEveryScriptRoundTripsWithItsLineBreaks)
{
    const WideString text = Cyrillic + L"\r\n" + Greek + L"\r\n\r\n" + Cjk + L"\r\n" + Emoji;
    rich->SetText(text);
    EXPECT_TRUE(rich->GetText() == text) << Utf8(rich->GetText());
    ASSERT_EQ(rich->GetLines()->GetCount(), 5);
    EXPECT_TRUE(rich->GetLines()->Get(1) == Greek);
    EXPECT_TRUE(rich->GetLines()->Get(2).empty());
    EXPECT_TRUE(rich->GetLines()->Get(4) == Emoji);

    rich->SetText(L"a\rb\nc\r\nd");
    EXPECT_TRUE(rich->GetText() == L"a\r\nb\r\nc\r\nd") << "plain text keeps its characters, breaks become CR LF";
}

TEST_F(WydRichEditTest, TextThatStartsAsRtfIsReadAsRichText)
{
    rich->SetText(L"{\\rtf1\\ansi {\\b bold} plain\\par second}");
    EXPECT_TRUE(rich->GetText().find(L"bold plain\r\nsecond") == 0) << Utf8(rich->GetText());
    EXPECT_TRUE(rich->GetText().find(L"rtf") == WideString::npos);
}

TEST_F(WydRichEditTest, FindTextSearchesWideTextAndAnswersCallerPositions)
{
    rich->SetText(L"one\r\n" + Greek + L" two\r\n" + Cjk + L" Two");
    const int length = int(rich->GetText().size());
    EXPECT_EQ(rich->FindText(Greek, 0, length, {}), 5);
    EXPECT_EQ(rich->FindText(L"two", 0, length, {}), 5 + int(Greek.size()) + 1);
    EXPECT_EQ(rich->FindText(L"Two", 0, length, {TSearchType::stMatchCase}), length - 3);
    EXPECT_EQ(rich->FindText(Cjk.substr(1, 2), 8, length - 8, {}), length - 4 - int(Cjk.size()) + 1);
    EXPECT_EQ(rich->FindText(L"two", length - 3, 3, {TSearchType::stMatchCase}), -1) << "a miss";
    EXPECT_EQ(rich->FindText(L"tw", 0, length, {TSearchType::stWholeWord}), -1);
}

TEST_F(WydRichEditTest, WordWrapKeepsPositionsOfHardBreaksOnly)
{
    rich->SetWordWrap(true);
    rich->SetWidth(60);
    rich->HandleNeeded();
    const WideString text = L"wrapping words over several lines\r\nend";
    rich->SetText(text);
    ASSERT_GT(SendMessageW(rich->WindowHandle, EM_GETLINECOUNT, 0, 0), 2) << "the first paragraph wraps";
    rich->SetSelStart(int(text.size()) - 1);
    EXPECT_EQ(rich->GetSelStart(), int(text.size()) - 1);
    EXPECT_EQ(RawSelection().cpMin, int(text.size()) - 2);
    rich->SetSelStart(0);
    rich->SetSelLength(int(text.size()));
    EXPECT_TRUE(rich->GetWideSelText() == text);
}

TEST_F(WydRichEditTest, LinesAddAndInsertInRichEditMode)
{
    TWydStrings* lines = rich->GetLines();
    lines->Add(Greek);
    lines->Add(Emoji);
    lines->Insert(0, Cyrillic);
    ASSERT_EQ(lines->GetCount(), 3);
    EXPECT_TRUE(lines->Get(0) == Cyrillic);
    EXPECT_TRUE(lines->GetText() == Cyrillic + L"\r\n" + Greek + L"\r\n" + Emoji + L"\r\n");
    lines->SetText(Cjk + L"\r\n" + Greek);
    EXPECT_TRUE(rich->GetText() == Cjk + L"\r\n" + Greek) << Utf8(rich->GetText());
}

TEST_F(WydRichEditTest, AnInsertionTheWindowRefusesIsAnError)
{
    rich->SetText(L"abc");
    // A window that takes nothing more, as one at its text limit does.
    static WNDPROC previous = nullptr;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        rich->WindowHandle, GWLP_WNDPROC, LONG_PTR(+[](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
            return msg == EM_REPLACESEL ? 0 : CallWindowProcW(previous, window, msg, wParam, lParam);
        })));
    EXPECT_THROW(rich->GetLines()->Add(L"defghij"), EOutOfResources);
    SetWindowLongPtrW(rich->WindowHandle, GWLP_WNDPROC, LONG_PTR(previous));
    rich->GetLines()->Add(L"defghij");
    EXPECT_TRUE(rich->GetText() == L"abc\r\ndefghij") << "appended after the last line";
}

TEST_F(WydRichEditTest, SettingLinesSendsNoChangeNotification)
{
    int changes = 0;
    rich->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    rich->GetLines()->SetText(Greek);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(rich->GetText() == Greek);
    LPARAM mask = SendMessageW(rich->WindowHandle, EM_GETEVENTMASK, 0, 0);
    EXPECT_TRUE(mask & ENM_CHANGE) << "the window's notifications are back afterwards";
}

TEST_F(WydRichEditTest, AppendingLinesLeavesOutSelectionChanges)
{
    int selectionChanges = 0;
    rich->OnSelectionChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++selectionChanges; });
    TWydStringList more;
    more.Add(Cyrillic);
    more.Add(Cjk);
    rich->GetLines()->AddStrings(&more);
    EXPECT_EQ(selectionChanges, 0);
    EXPECT_TRUE(rich->GetLines()->Get(1) == Cjk);
    rich->SetSelStart(1);
    EXPECT_GT(selectionChanges, 0) << "the event is attached again";
}

TEST_F(WydRichEditTest, RtfAndPlainTextFilesByWideNames)
{
    testsupport::TempDir folder;
    const WideString rtfName = folder.Path() + L"\\" + Cjk + L".rtf";
    rich->SetText(Cyrillic + L"\r\n" + Emoji);
    rich->GetLines()->SaveToFile(rtfName);
    EXPECT_EQ(testsupport::ReadFileBytes(rtfName).rfind("{\\rtf", 0), 0u) << "formatted: the file holds RTF";

    auto* other = Make<TWydRichEdit>();
    other->GetLines()->LoadFromFile(rtfName);
    EXPECT_TRUE(other->GetText() == Cyrillic + L"\r\n" + Emoji) << Utf8(other->GetText());

    const WideString textName = folder.Path() + L"\\" + Greek + L".txt";
    other->SetPlainText(true);
    other->GetLines()->SaveToFile(textName);
    EXPECT_EQ(testsupport::ReadFileBytes(textName).substr(0, 2), "\xFF\xFE") << "plain text: UTF-16 with its mark";
    rich->SetPlainText(true);
    rich->GetLines()->LoadFromFile(textName);
    EXPECT_TRUE(rich->GetLines()->Get(1) == Emoji);
}

TEST_F(WydRichEditTest, PlainTextModeKeepsWideTextAcrossANewWindowAndRtfLooksStayText)
{
    rich->SetPlainText(true);
    rich->SetText(Cjk + L"\r\n" + Cyrillic);
    rich->RecreateWnd();
    rich->HandleNeeded();
    EXPECT_TRUE(rich->GetText() == Cjk + L"\r\n" + Cyrillic) << Utf8(rich->GetText());

    SetWindowTextW(rich->WindowHandle, L"{\\rtf1 stays}");
    EXPECT_TRUE(rich->GetText() == L"{\\rtf1 stays}") << Utf8(rich->GetText());
}

TEST_F(WydRichEditTest, WithoutWantReturnsEnterIsSwallowedUnlessCtrlAloneIsHeld)
{
    WORD key = VK_RETURN;
    rich->KeyDown(key, {});
    EXPECT_EQ(key, VK_RETURN) << "WantReturns is on";
    rich->SetWantReturns(false);
    key = VK_RETURN;
    rich->KeyDown(key, {});
    EXPECT_EQ(key, 0);
    key = VK_RETURN;
    rich->KeyDown(key, {ssCtrl});
    EXPECT_EQ(key, VK_RETURN);
    key = VK_RETURN;
    rich->KeyDown(key, {ssCtrl, ssShift});
    EXPECT_EQ(key, 0);
    key = 'A';
    rich->KeyDown(key, {});
    EXPECT_EQ(key, 'A');
}

TEST_F(WydRichEditTest, PrintingAnswersTheWindowsLengthOnlyWhilePrinting)
{
    if (vcltest::MachineHasPrinter())
        GTEST_SKIP() << "this machine has a printer";
    rich->SetText(L"ab\r\n" + Greek);
    EXPECT_THROW(rich->Print("Pagorin"), EPrinter);
    EXPECT_EQ(SendMessageW(rich->WindowHandle, WM_GETTEXTLENGTH, 0, 0), LRESULT(4 + Greek.size()))
        << "afterwards the length is the text's, with CR LF";
}

TEST_F(WydRichEditTest, WideHintAndStreamedLines)
{
    rich->SetHint(Greek + L"|" + Cjk);
    rich->SetText(Cyrillic + L"\r\n" + Emoji);
    auto copy = vcltest::StreamedCopy(form.get());
    auto* read = dynamic_cast<TWydRichEdit*>(copy->GetComponents(0));
    ASSERT_NE(read, nullptr);
    EXPECT_TRUE(read->GetHint() == Greek + L"|" + Cjk);
    ASSERT_EQ(read->GetLines()->GetCount(), 2);
    EXPECT_TRUE(read->GetLines()->Get(0) == Cyrillic);
    EXPECT_TRUE(read->GetLines()->Get(1) == Emoji);
}

TEST(WydRichEditFallback, OffNtTheClassLibrarysWindowCountsPositionsUnchanged)
{
    InitWydForms();
    InitWydRichEdit();
    {
        AnsiPlatform ansi;
        EXPECT_EQ(RichEditLineBreakStyle(), tlbsCRLF);
        std::unique_ptr<TForm> form(new TForm(nullptr, 0));
        auto* rich = new TWydRichEdit(form.get());
        rich->SetParent(form.get());
        rich->HandleNeeded();
        EXPECT_FALSE(IsWindowUnicode(rich->WindowHandle));
        rich->SetText(L"ab\r\ncd");
        SendMessageA(rich->WindowHandle, EM_SETSEL, 4, 4);
        EXPECT_EQ(rich->GetSelStart(), 4) << "positions pass unchanged";
        EXPECT_EQ(rich->EmulatedCharPos(4), 4);
        EXPECT_EQ(rich->RawWin32CharPos(5), 5);
    }
    DoneWydRichEdit();
    DoneWydForms();
    DoneWydControls();
}
