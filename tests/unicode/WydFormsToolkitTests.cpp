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

namespace {
WideString WindowTextW(HWND window)
{
    wchar_t buffer[128] = {};
    GetWindowTextW(window, buffer, 128);
    return buffer;
}
}  // namespace

TEST_F(WydFormsToolkitTest, MdiChildrenOfAWideFrameAreUnicodeWindowsWithWideCaptions)
{
    {
        TWydForm orphan(nullptr, 0);
        orphan.SetFormStyle(TFormStyle::fsMDIChild);
        try {
            orphan.Show();
            ADD_FAILURE() << "no frame, no child window";
        } catch (const EInvalidOperation& e) {
            EXPECT_EQ(e.Message, "Cannot create form. No MDI forms are currently active");
        }
        EXPECT_FALSE(orphan.HandleAllocated());
    }
    std::unique_ptr<TWydForm> frame(new TWydForm(nullptr, 0));
    Application->AddForm(frame.get());
    frame->SetFormStyle(TFormStyle::fsMDIForm);
    frame->SetBounds(60, 60, 600, 400);
    frame->Show();
    std::unique_ptr<TWydForm> first(new TWydForm(nullptr, 0));
    first->SetFormStyle(TFormStyle::fsMDIChild);
    first->SetCaption(Cyrillic);
    std::unique_ptr<TWydForm> second(new TWydForm(nullptr, 0));
    second->SetFormStyle(TFormStyle::fsMDIChild);
    second->SetCaption(Cjk);
    first->Show();
    second->Show();
    for (TWydForm* child : {first.get(), second.get()}) {
        EXPECT_TRUE(IsWindowUnicode(child->WindowHandle));
        EXPECT_EQ(GetParent(child->WindowHandle), frame->GetClientHandle());
    }
    EXPECT_TRUE(WindowTextW(first->WindowHandle) == Cyrillic);
    EXPECT_TRUE(WindowTextW(second->WindowHandle) == Cjk);
    EXPECT_EQ(frame->GetActiveMDIChild(), second.get());
    second->SetWindowState(TWindowState::wsMaximized);
    frame->SetCaption(Greek);
    EXPECT_TRUE(WindowTextW(frame->WindowHandle) == Greek + L" - [" + Cjk + L"]")
        << "the wide frame procedure names the maximized child in the title";
    second.reset();
    EXPECT_EQ(frame->GetMDIChildCount(), 1);
    first.reset();
}

TEST_F(WydFormsToolkitTest, ALayeredWideFormKeepsItsAlphaAcrossRecreation)
{
    std::unique_ptr<TWydForm> layered(new TWydForm(nullptr, 0));
    layered->SetBounds(80, 80, 200, 150);
    layered->SetAlphaBlend(true);
    layered->SetAlphaBlendValue(128);
    layered->Show();
    for (const char* when : {"first window", "after RecreateWnd"}) {
        ASSERT_TRUE(IsWindowUnicode(layered->WindowHandle)) << when;
        BYTE alpha = 0;
        DWORD flags = 0xdeadbeef;
        COLORREF key = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(layered->WindowHandle, &key, &alpha, &flags)) << when;
        EXPECT_EQ(alpha, 128) << when;
        EXPECT_EQ(flags, DWORD(LWA_ALPHA)) << when;
        layered->RecreateWnd();
    }
}

TEST_F(WydFormsToolkitTest, AWideDockSiteMakesItsWindowBeforeItsDockManager)
{
    std::unique_ptr<TWydForm> site(new TWydForm(nullptr, 0));
    site->SetBounds(80, 80, 300, 200);
    site->SetDockSite(true);
    site->SetUseDockManager(true);
    ASSERT_TRUE(site->HandleAllocated());
    EXPECT_TRUE(IsWindowUnicode(site->WindowHandle));
    auto* panel = new TWydPanel(site.get());
    panel->SetBounds(0, 0, 50, 50);
    ASSERT_TRUE(panel->ManualDock(site.get()));
    site->SetCaption(Greek);
    site->RecreateWnd();
    EXPECT_TRUE(site->GetCaption() == Greek) << "the wide window's trap is still there";
    site->SetClientWidth(240);
    EXPECT_EQ(panel->GetWidth(), 240) << "and so is the dock manager's hook, in front of it";
    site->SetUseDockManager(false);
    site->SetCaption(Cjk);
    EXPECT_TRUE(WindowTextW(site->WindowHandle) == Cjk) << "the manager took its hook off cleanly";
}
