// Window tests of MDI forms (the frame's client window, its children and their arrangement) and of layered forms.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "WindowTestSupport.h"

using namespace vcl;

namespace {

// A frame that is the application's main form while the case runs.
struct MdiFixture : ::testing::Test {
    void SetUp() override
    {
        ASSERT_EQ(Application->GetMainForm(), nullptr);
        Application->CreateForm(frame);
        frame->SetFormStyle(TFormStyle::fsMDIForm);
        frame->SetBounds(60, 60, 640, 480);
    }
    void TearDown() override
    {
        children.clear();
        delete frame;
        Application->ProcessMessages();
    }
    TForm* AddChild(const char* caption)
    {
        children.emplace_back(new TForm(Application, 0));
        TForm* child = children.back().get();
        child->SetFormStyle(TFormStyle::fsMDIChild);
        child->SetCaption(caption);
        return child;
    }
    static RECT BoundsOf(TForm* form)
    {
        RECT r;
        GetWindowRect(form->WindowHandle, &r);
        return r;
    }
    TForm* frame = nullptr;
    std::vector<std::unique_ptr<TForm>> children;
};

DWORD LayeredFlags(HWND window, BYTE& alpha, COLORREF& key)
{
    DWORD flags = 0xdeadbeef;
    alpha = 0;
    key = 0xdeadbeef;
    return GetLayeredWindowAttributes(window, &key, &alpha, &flags) ? flags : 0;
}

}  // namespace

TEST_F(MdiFixture, ChildrenLiveInTheClientWindowWhichTakesTheRoomTheBarsLeave)
{
    auto* bar = new TPanel(frame);
    bar->SetHeight(40);
    bar->SetAlign(TAlign::alTop);
    bar->SetParent(frame);
    frame->Show();
    HWND client = frame->GetClientHandle();
    ASSERT_NE(client, nullptr);
    char className[32] = {};
    GetClassNameA(client, className, sizeof className);
    EXPECT_EQ(lstrcmpiA(className, "MDICLIENT"), 0) << className;
    RECT area;
    GetWindowRect(client, &area);
    MapWindowPoints(nullptr, frame->WindowHandle, reinterpret_cast<POINT*>(&area), 2);
    EXPECT_EQ(area.top, 40) << "below the bar aligned at the top";
    TForm* one = AddChild("one");
    TForm* two = AddChild("two");
    one->Show();
    two->Show();
    EXPECT_EQ(GetParent(one->WindowHandle), client);
    EXPECT_TRUE(GetWindowLongA(two->WindowHandle, GWL_EXSTYLE) & WS_EX_MDICHILD);
    ASSERT_EQ(frame->GetMDIChildCount(), 2);
    EXPECT_EQ(frame->GetActiveMDIChild(), two) << "the child shown last";
    EXPECT_EQ(frame->GetMDIChildren(0), two) << "the active child first";
    EXPECT_EQ(frame->GetMDIChildren(1), one);
    frame->Next();
    EXPECT_EQ(frame->GetActiveMDIChild(), one);
    frame->Previous();
    EXPECT_EQ(frame->GetActiveMDIChild(), two);
    children.pop_back();
    EXPECT_EQ(frame->GetMDIChildCount(), 1);
    EXPECT_EQ(frame->GetActiveMDIChild(), one) << "the client destroyed the child and activated the next";
}

TEST_F(MdiFixture, TileAndCascadeArrangeTheChildren)
{
    frame->Show();
    TForm* one = AddChild("one");
    TForm* two = AddChild("two");
    one->Show();
    two->Show();
    frame->SetTileMode(TTileMode::tbVertical);
    frame->Tile();
    RECT a = BoundsOf(one), b = BoundsOf(two);
    EXPECT_EQ(a.top, b.top) << "side by side";
    EXPECT_NE(a.left, b.left);
    frame->SetTileMode(TTileMode::tbHorizontal);
    frame->Tile();
    a = BoundsOf(one);
    b = BoundsOf(two);
    EXPECT_EQ(a.left, b.left) << "one above the other";
    EXPECT_NE(a.top, b.top);
    frame->Cascade();
    a = BoundsOf(one);
    b = BoundsOf(two);
    EXPECT_NE(a.left, b.left);
    EXPECT_NE(a.top, b.top);
    EXPECT_EQ(a.right - a.left, b.right - b.left) << "cascaded children have one size";
}

TEST_F(MdiFixture, FrameMessagesGoThroughTheFrameProcedure)
{
    frame->Show();
    TForm* child = AddChild("one");
    child->SetWindowState(TWindowState::wsMaximized);
    child->Show();
    ASSERT_TRUE(IsZoomed(child->WindowHandle));
    frame->SetCaption("Frame");
    char text[64] = {};
    GetWindowTextA(frame->WindowHandle, text, sizeof text);
    EXPECT_STREQ(text, "Frame - [one]") << "the frame procedure names the maximized child in the title";
}

TEST(MdiChild, WithoutAnMdiFrameRaisesAndMakesNoWindow)
{
    ASSERT_EQ(Application->GetMainForm(), nullptr);
    TForm child(Application, 0);
    child.SetFormStyle(TFormStyle::fsMDIChild);
    try {
        child.Show();
        ADD_FAILURE() << "no frame, no child window";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message, "Cannot create form. No MDI forms are currently active");
    }
    EXPECT_FALSE(child.HandleAllocated());
}

TEST(LayeredForm, AlphaAndTransparentColourSurviveRecreationAndSwitchOff)
{
    TForm form(Application, 0);
    form.SetBounds(100, 100, 200, 150);
    form.SetAlphaBlend(true);
    form.SetAlphaBlendValue(160);
    form.Show();
    BYTE alpha;
    COLORREF key;
    EXPECT_EQ(LayeredFlags(form.WindowHandle, alpha, key), DWORD(LWA_ALPHA));
    EXPECT_EQ(alpha, 160);
    form.SetBorderStyle(TFormBorderStyle::bsSingle);  // a new window
    EXPECT_EQ(LayeredFlags(form.WindowHandle, alpha, key), DWORD(LWA_ALPHA));
    EXPECT_EQ(alpha, 160);
    form.SetTransparentColorValue(clFuchsia);
    form.SetTransparentColor(true);
    EXPECT_EQ(LayeredFlags(form.WindowHandle, alpha, key), DWORD(LWA_ALPHA | LWA_COLORKEY));
    EXPECT_EQ(key, RGB(255, 0, 255));
    form.SetAlphaBlend(false);
    form.SetTransparentColor(false);
    EXPECT_FALSE(GetWindowLongA(form.WindowHandle, GWL_EXSTYLE) & WS_EX_LAYERED);
}
