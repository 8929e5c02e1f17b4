// What the application layer adds for the toolkit: frames and scroll boxes on Unicode windows, a form's menu hint
// and the wide hint action, and wide canvas text written right to left.
#include "WydGraphics.h"
#include "WydMenus.h"
#include "WydStdActns.h"
#include "WydToolkitTestSupport.h"

using namespace vcl;
using namespace wydtoolkittest;

// A frame designed with a form resource of its own (forms/WydTestFrame.dfm).
class TWydTestFrame : public TWydFrame {
    VCL_CLASS(TWydTestFrame, TWydFrame)
    using TWydFrame::TWydFrame;
    TWydButton* btnGo = nullptr;
    TWydPanel* pnlInfo = nullptr;
};
VCL_IMPLEMENT_CLASS(TWydTestFrame, TWydFrame, {
    m.PublishField("btnGo", &TWydTestFrame::btnGo);
    m.PublishField("pnlInfo", &TWydTestFrame::pnlInfo);
})

namespace {

class WydFormsToolkitTest : public WydToolkitTest {
protected:
    static void SetUpTestSuite()
    {
        WydToolkitTest::SetUpTestSuite();
        InitWydStdActns();
    }
};

// A scroll box whose default handling of WM_SIZE sizes it again at once, up to 100 times.
class TNestingScrollBox : public TWydScrollBox {
public:
    using TWydScrollBox::TWydScrollBox;
    int SizesHandled = 0;
    void DefaultHandler(TMessage& message) override
    {
        if (message.Msg == WM_SIZE && ++SizesHandled < 100)
            Perform(WM_SIZE, message.WParam, message.LParam);
        TWydScrollBox::DefaultHandler(message);
    }
};

}  // namespace

TEST_F(WydFormsToolkitTest, AFrameReadsItsOwnResourceAndShowsWideTexts)
{
    std::unique_ptr<TWydTestFrame> frame(TCustomFrame::Create<TWydTestFrame>(nullptr));
    ASSERT_NE(frame->btnGo, nullptr);
    ASSERT_NE(frame->pnlInfo, nullptr);
    EXPECT_TRUE(frame->GetHint() == Cyrillic);
    EXPECT_TRUE(frame->btnGo->GetCaption() == Greek);
    EXPECT_TRUE(frame->pnlInfo->GetCaption() == Cjk.substr(0, 2));
    frame->SetParent(form.get());
    form->Show();
    EXPECT_TRUE(IsWindowUnicode(frame->WindowHandle));
    EXPECT_EQ(frame->btnGo->GetParent(), frame.get());
    frame->SetParent(nullptr);
}

TEST_F(WydFormsToolkitTest, AScrollBoxIsAUnicodeWindowWhoseResizingStopsNesting)
{
    auto* box = Place<TNestingScrollBox>(8, 8, 100, 60);
    box->SetHint(Emoji);
    form->Show();
    EXPECT_TRUE(IsWindowUnicode(box->WindowHandle));
    EXPECT_TRUE(box->GetHint() == Emoji);
    box->SizesHandled = 0;
    box->Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 60));
    EXPECT_EQ(box->SizesHandled, 32) << "a resize inside a resize goes no deeper than 32";
}

TEST_F(WydFormsToolkitTest, SelectingAMenuItemMakesItsWideLongHintTheApplicationsHint)
{
    std::unique_ptr<TWydForm> wide(new TWydForm(nullptr, 0));
    auto* menu = new TWydMainMenu(wide.get());
    auto* file = new TWydMenuItem(wide.get());
    file->SetCaption(L"&File");
    menu->GetItems()->Add(file);
    auto* open = new TWydMenuItem(wide.get());
    open->SetCaption(Greek);
    open->SetHint(Cyrillic + L"|" + Cjk);
    file->Add(open);
    wide->SetMenu(menu);
    wide->HandleNeeded();
    wide->Perform(WM_MENUSELECT, MAKEWPARAM(open->GetCommand(), 0), LPARAM(menu->GetHandle()));
    EXPECT_TRUE(WydApplication->GetHint() == Cjk) << Utf8(WydApplication->GetHint());
    wide->Perform(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_TRUE(WydApplication->GetHint().empty()) << "the menu closed";
}

TEST_F(WydFormsToolkitTest, TheApplicationsHintGoesOutAsAWideHintAction)
{
    std::vector<WideString> heard;
    Application->HookMainWindow(this, [&](TMessage& message) {
        if (message.Msg == CM_ACTIONEXECUTE)
            if (auto* wide = dynamic_cast<TWydHintAction*>(reinterpret_cast<TBasicAction*>(message.LParam)))
                heard.push_back(wide->GetHint());
        return false;
    });
    WydApplication->SetHint(Emoji + Cjk);
    ASSERT_EQ(heard.size(), 1u) << "setting the hint sends it";
    EXPECT_TRUE(heard[0] == Emoji + Cjk) << Utf8(heard[0]);

    THintAction plain(nullptr);
    plain.SetHint(WideToAnsi(Emoji + Cjk));
    EXPECT_EQ(SendMessageA(Application->GetHandle(), CM_ACTIONEXECUTE, 0, LPARAM(&plain)), 1)
        << "the plain hint action carrying the wide hint is answered";
    EXPECT_EQ(heard.size(), 2u);
    plain.SetHint("something else");
    EXPECT_EQ(SendMessageA(Application->GetHandle(), CM_ACTIONEXECUTE, 0, LPARAM(&plain)), 0);
    EXPECT_EQ(heard.size(), 2u) << "another hint is left to the class library";
    Application->UnhookMainWindow(this);
    WydApplication->SetHint(L"");
}

TEST_F(WydFormsToolkitTest, RightToLeftCanvasTextStartsOneWidthFurtherRight)
{
    TBitmap bitmap;
    bitmap.SetWidth(200);
    bitmap.SetHeight(40);
    TCanvas* canvas = bitmap.GetCanvas();
    const int width = WideCanvasTextWidth(canvas, Greek);
    ASSERT_GT(width, 0);
    EXPECT_EQ(WideCanvasTextWidth(canvas, L""), 0);
    WideCanvasTextOut(canvas, 10, 5, Greek);
    EXPECT_EQ(canvas->GetPenPos().x, 10 + width);
    SetTextAlign(canvas->GetHandle(), TA_RTLREADING);
    ASSERT_EQ(canvas->GetCanvasOrientation(), TCanvasOrientation::coRightToLeft);
    WideCanvasTextOut(canvas, 10, 5, Greek);
    EXPECT_EQ(canvas->GetPenPos().x, 10 + width + 1 + width);
}
