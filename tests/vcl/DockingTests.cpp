// Window tests of docking: a page control that makes a sheet for each docked control, a dock site whose dock
// manager lays its controls out, and controls that float again.
#include <gtest/gtest.h>

#include <memory>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

struct DockingFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(60, 60, 480, 360);
    }
    void TearDown() override
    {
        form.reset();
        Application->ProcessMessages();
    }
    TPanel* NewPanel(TWinControl* parent, const char* caption)
    {
        auto* panel = new TPanel(form.get());
        panel->SetCaption(caption);
        panel->SetDragKind(TDragKind::dkDock);
        panel->SetBounds(0, 0, 100, 80);
        panel->SetParent(parent);
        return panel;
    }
    std::unique_ptr<TForm> form;
};

}  // namespace

TEST_F(DockingFixture, PageControlMakesASheetPerDockedFormThatFollowsItsCaptionAndVisibility)
{
    auto* pages = new TPageControl(form.get());
    pages->SetBounds(8, 8, 400, 300);
    pages->SetParent(form.get());
    form->Show();
    auto* docked = new TForm(Application, 0);
    docked->SetCaption("Report\r\nsecond line");
    docked->SetDragKind(TDragKind::dkDock);
    docked->Show();
    ASSERT_TRUE(docked->ManualDock(pages));
    ASSERT_EQ(pages->GetPageCount(), 1);
    TTabSheet* sheet = pages->GetPage(0);
    EXPECT_EQ(sheet->GetText(), "Report") << "the caption up to its first line break";
    EXPECT_EQ(docked->GetParent(), sheet);
    EXPECT_EQ(docked->GetHostDockSite(), pages);
    EXPECT_EQ(docked->GetAlign(), TAlign::alClient);
    EXPECT_EQ(pages->GetActivePage(), sheet);
    LONG style = GetWindowLongA(docked->WindowHandle, GWL_STYLE);
    EXPECT_TRUE((style & WS_CHILD) && !(style & WS_CAPTION)) << "a borderless child window while docked";
    docked->SetCaption("Log");
    EXPECT_EQ(sheet->GetText(), "Log");
    docked->SetDragKind(TDragKind::dkDrag);
    docked->SetCaption("Other");
    EXPECT_EQ(sheet->GetText(), "Log") << "only a control that docks by dragging tells its site";
    docked->SetDragKind(TDragKind::dkDock);
    docked->Hide();
    EXPECT_FALSE(sheet->GetTabVisible());
    docked->Show();
    ASSERT_TRUE(docked->ManualFloat(RECT{100, 100, 400, 300}));
    EXPECT_EQ(pages->GetPageCount(), 0) << "the sheet went with its control";
    EXPECT_EQ(docked->GetHostDockSite(), nullptr);
    EXPECT_EQ(docked->GetParent(), nullptr);
    EXPECT_EQ(docked->GetAlign(), TAlign::alNone);
    style = GetWindowLongA(docked->WindowHandle, GWL_STYLE);
    EXPECT_TRUE(!(style & WS_CHILD) && (style & WS_CAPTION) && IsWindowVisible(docked->WindowHandle))
        << "a window of its own with its border again";
    ASSERT_TRUE(docked->ManualDock(pages));
    ASSERT_TRUE(docked->ManualDock(pages));
    EXPECT_EQ(pages->GetPageCount(), 1) << "docked again: a new sheet in place of the old one";
    delete docked;
    EXPECT_EQ(pages->GetPageCount(), 0) << "a docked control that goes takes its sheet along";
}

TEST_F(DockingFixture, DockManagerSharesTheSiteInDockingOrderAndFollowsItsSize)
{
    auto* site = new TPanel(form.get());
    site->SetBounds(0, 0, 400, 200);
    site->SetParent(form.get());
    site->SetDockSite(true);
    site->SetUseDockManager(true);
    ASSERT_NE(site->GetDockManager(), nullptr);
    form->Show();
    TPanel* left = NewPanel(form.get(), "left");
    TPanel* right = NewPanel(form.get(), "right");
    ASSERT_TRUE(right->ManualDock(site, nullptr, TAlign::alRight));
    ASSERT_TRUE(left->ManualDock(site, right, TAlign::alLeft));
    ASSERT_EQ(site->GetDockClientCount(), 2);
    RECT area = site->GetClientRect();
    int half = (area.right - area.left) / 2;
    EXPECT_EQ(left->GetLeft(), area.left);
    EXPECT_EQ(left->GetWidth(), half) << "docked at the left of the first one: side by side";
    EXPECT_EQ(right->GetLeft(), area.left + half);
    EXPECT_EQ(right->GetHeight(), area.bottom - area.top);
    site->SetWidth(300);
    area = site->GetClientRect();
    EXPECT_EQ(right->GetLeft(), area.left + (area.right - area.left) / 2) << "the layout follows the site's size";

    ASSERT_TRUE(right->ManualFloat(RECT{500, 100, 700, 260}));
    auto* floating = dynamic_cast<TCustomDockForm*>(right->GetHostDockSite());
    ASSERT_NE(floating, nullptr) << "a control that is no form floats in a dock form";
    EXPECT_EQ(right->GetParent(), floating);
    EXPECT_EQ(floating->GetText(), "right");
    EXPECT_TRUE(IsWindowVisible(floating->WindowHandle));
    EXPECT_EQ(left->GetWidth(), area.right - area.left) << "the one left fills the site";
    int forms = Screen->GetFormCount();
    ASSERT_TRUE(right->ManualDock(site, left, TAlign::alBottom));
    EXPECT_EQ(right->GetTop(), area.top + (area.bottom - area.top) / 2) << "docked below: one above the other";
    EXPECT_TRUE(PumpUntil([&] { return Screen->GetFormCount() == forms - 1; })) << "the empty dock form goes";
}
