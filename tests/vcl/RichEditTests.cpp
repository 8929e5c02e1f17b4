// Window tests of the rich edit's RTF streams, its text length and its page layout for printing.
#include <gtest/gtest.h>

#include <richedit.h>

#include <algorithm>
#include <memory>

#include "ComCtrls.h"
#include "Forms.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {

// Lets a test lay pages out and choose the length the control reports. Wine's rich edit lays out
// nothing (its EM_FORMATRANGE is a stub), so the test's control can stand in for the layout: each page
// then takes PerPage characters.
struct TPagedRichEdit : TRichEdit {
    using TRichEdit::TRichEdit;
    int ReportedLength = -1;
    int PerPage = 0;
    int LaidOut = 0;
    int CacheFreed = 0;
    int Pages(HDC Device)
    {
        int pages = 1;
        LaidOut = FormatPages(Device, [&] { ++pages; });
        return pages;
    }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == WM_GETTEXTLENGTH && ReportedLength >= 0) {
            Message.Result = ReportedLength;
            return;
        }
        if (Message.Msg == EM_FORMATRANGE && PerPage > 0) {
            auto* range = reinterpret_cast<FORMATRANGE*>(Message.LParam);
            if (!range) {
                ++CacheFreed;
                return;
            }
            GETTEXTLENGTHEX count{GTL_NUMCHARS | GTL_PRECISE, 1200};
            LONG end = LONG(Perform(EM_GETTEXTLENGTHEX, WPARAM(&count)));
            if (range->chrg.cpMax >= 0)
                end = std::min(end, range->chrg.cpMax);
            Message.Result = std::min(end, range->chrg.cpMin + PerPage);
            return;
        }
        TRichEdit::Dispatch(Message);
    }
};

struct RichEditFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(40, 40, 400, 300);
        rich = new TPagedRichEdit(form.get());
        rich->SetParent(form.get());
        rich->SetBounds(8, 8, 360, 240);
        form->Show();
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
    TPagedRichEdit* rich = nullptr;
};

// The RTF the control writes says whether a run of text is bold.
bool HasBoldRun(const std::string& rtf, const std::string& word)
{
    size_t at = rtf.find(word);
    size_t bold = rtf.rfind("\\b", at);
    return at != std::string::npos && bold != std::string::npos && rtf.compare(bold, 3, "\\b0") != 0;
}

std::string StreamText(TMemoryStream& stream)
{
    return std::string(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
}

}  // namespace

TEST_F(RichEditFixture, RtfRoundTripsThroughStreamsKeepingTextAndFormatting)
{
    TMemoryStream in;
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b heavy}\\par Gr\\'fc\\'dfe\\par}";
    in.WriteBuffer(rtf.data(), int(rtf.size()));
    in.SetPosition(0);
    rich->GetLines()->LoadFromStream(&in);
    EXPECT_EQ(rich->GetLines()->Get(0), "plain heavy");
    EXPECT_EQ(rich->GetLines()->Get(1), "Gr\xfc\xdf" "e");

    TMemoryStream out;
    rich->GetLines()->SaveToStream(&out);
    std::string written = StreamText(out);
    EXPECT_EQ(written.rfind("{\\rtf", 0), 0u) << written;
    EXPECT_TRUE(HasBoldRun(written, "heavy")) << written;

    rich->Clear();
    out.SetPosition(0);
    rich->GetLines()->LoadFromStream(&out);
    EXPECT_EQ(rich->GetLines()->Get(0), "plain heavy");
    EXPECT_EQ(rich->GetLines()->Get(1), "Gr\xfc\xdf" "e");
    TMemoryStream again;
    rich->GetLines()->SaveToStream(&again);
    EXPECT_TRUE(HasBoldRun(StreamText(again), "heavy")) << "the formatting survives a second round";
}

TEST_F(RichEditFixture, PlainTextStreamsHoldTheTextItself)
{
    rich->SetPlainText(true);
    rich->SetText("{\\rtf1 not rtf}\r\nsecond");
    TMemoryStream out;
    rich->GetLines()->SaveToStream(&out);
    std::string written = StreamText(out);
    EXPECT_NE(written.find("{\\rtf1 not rtf}"), std::string::npos) << written;
    EXPECT_NE(written.find("second"), std::string::npos) << written;

    TMemoryStream in;
    const std::string text = "{\\rtf1 \\b x}";
    in.WriteBuffer(text.data(), int(text.size()));
    in.SetPosition(0);
    rich->GetLines()->LoadFromStream(&in);
    EXPECT_EQ(rich->GetText(), text) << "plain text mode takes RTF as characters";
}

TEST_F(RichEditFixture, RtfFilesRoundTrip)
{
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    AnsiString file = AnsiString(folder) + "vcl_richedit_" + IntToStr(int(GetCurrentProcessId())) + ".rtf";
    rich->SetText("{\\rtf1\\ansi first {\\i slanted}\\par second}");
    rich->GetLines()->SaveToFile(file);
    rich->Clear();
    rich->GetLines()->LoadFromFile(file);
    DeleteFileA(file.c_str());
    EXPECT_EQ(rich->GetLines()->Get(0), "first slanted");
    EXPECT_EQ(rich->GetLines()->Get(1), "second");
}

TEST_F(RichEditFixture, ANewWindowKeepsTheFormattingAndPlainTextKeepsItsCharacters)
{
    rich->SetText("{\\rtf1\\ansi plain {\\b heavy}\\par}");
    rich->SetWordWrap(false);  // a new window
    TMemoryStream out;
    rich->GetLines()->SaveToStream(&out);
    EXPECT_TRUE(HasBoldRun(StreamText(out), "heavy")) << StreamText(out);

    rich->SetPlainText(true);
    EXPECT_EQ(rich->GetText(), "plain heavy") << "formatting goes, the characters stay";
    rich->SetText("{\\rtf1 not rtf}");
    rich->SetWordWrap(true);
    EXPECT_EQ(rich->GetText(), "{\\rtf1 not rtf}") << "text that looks like RTF stays text in a new window";
}

TEST_F(RichEditFixture, AFailingStreamIsReportedAfterTheControlLetsGo)
{
    struct TBrokenStream : TMemoryStream {
        int Read(void*, int) override { throw EReadError("disc gone"); }
    } broken;
    EXPECT_THROW(rich->GetLines()->LoadFromStream(&broken), EReadError);
    EXPECT_TRUE(rich->HandleAllocated()) << "the control is still usable";
    rich->SetText("after");
    EXPECT_EQ(rich->GetText(), "after");

    auto* windowless = new TRichEdit(form.get());  // no parent: no window to stream through
    TMemoryStream out;
    EXPECT_THROW(windowless->GetLines()->SaveToStream(&out), EInvalidOperation);
}

TEST_F(RichEditFixture, TextLengthCountsLineBreaksAsTheTextHoldsThem)
{
    rich->SetText("ab\r\ncd\r\nGr\xfc\xdf");
    EXPECT_EQ(rich->GetTextLen(), 12);
    EXPECT_EQ(rich->GetText(), "ab\r\ncd\r\nGr\xfc\xdf");
    EXPECT_EQ(rich->FindText("cd", 0, 12, {}), 3) << "positions count one character per line break";
    EXPECT_EQ(rich->FindText("gR\xfc\xdf", 0, 12, {}), 6) << "characters beyond ASCII are searched for as they are";
    EXPECT_EQ(rich->FindText("cd", 4, 8, {}), -1) << "the range starts past the match";
    EXPECT_EQ(rich->FindText("c", 0, 12, {TSearchType::stWholeWord}), -1);
}

TEST_F(RichEditFixture, PagesEndWithTheTextAndFollowTheReportedLength)
{
    HDC device = CreateCompatibleDC(nullptr);
    rich->PerPage = 7;
    rich->SetText("ab\r\ncd");
    EXPECT_EQ(rich->Pages(device), 1) << "a short text fills one page, with no empty page after it";
    EXPECT_EQ(rich->LaidOut, 5) << "the control counts one character per line break";
    EXPECT_EQ(rich->CacheFreed, 1) << "the control's layout cache is let go";

    rich->SetText("0123456789abcdefghij");
    EXPECT_EQ(rich->Pages(device), 3);
    EXPECT_EQ(rich->LaidOut, 20) << "every character was laid out once";

    rich->ReportedLength = 10;
    EXPECT_EQ(rich->Pages(device), 2);
    EXPECT_EQ(rich->LaidOut, 10) << "printing stops at the length the control reports";

    rich->ReportedLength = -1;
    rich->PerPage = 0;  // the platform's own layout
    int pages = rich->Pages(device);
    if (testsupport::RunningUnderWine()) {
        EXPECT_EQ(rich->LaidOut, 0) << "Wine lays nothing out; the page loop must still end";
    } else {
        EXPECT_EQ(pages, 1);
        EXPECT_EQ(rich->LaidOut, 20);
    }
    DeleteDC(device);
}

TEST_F(RichEditFixture, PrintingWithoutAPrinterIsAnError)
{
    if (vcltest::MachineHasPrinter())
        GTEST_SKIP() << "this machine has a printer";
    rich->SetText("page");
    EXPECT_THROW(rich->Print("Pagorin"), EPrinter);
}
