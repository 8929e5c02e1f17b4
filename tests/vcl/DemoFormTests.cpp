// A form with one control of each kind, read from its text form file compiled into the test program:
// the components, their properties and their events come from the stream. A screenshot of it goes
// into the build folder for people to look at.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "WindowPicture.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {

class TfrmDemo : public TForm {
    VCL_CLASS(TfrmDemo, TForm)
    explicit TfrmDemo(TComponent* AOwner) : TForm(AOwner) {}

    TToolBar* tbrTools = nullptr;
    TToolButton* tbnRun = nullptr;
    TLabel* lblTitle = nullptr;
    TEdit* edName = nullptr;
    TButton* btnHello = nullptr;
    TCheckBox* ckbOption = nullptr;
    TGroupBox* gbxGroup = nullptr;
    TRadioButton* rbCD = nullptr;
    TComboBox* cbxKind = nullptr;
    TMemo* memNotes = nullptr;
    TListBox* lbxItems = nullptr;
    TTreeView* tvSessions = nullptr;
    TPageControl* pgcPages = nullptr;
    TTabSheet* tsGeneral = nullptr;
    TTabSheet* tsSources = nullptr;
    TRadioGroup* rgMode = nullptr;
    TListView* lvSources = nullptr;
    TPanel* pnlBottom = nullptr;
    TImage* imgLogo = nullptr;
    TProgressBar* pgbProgress = nullptr;
    TStatusBar* sbStatus = nullptr;
    TTimer* tmrTick = nullptr;
    TMainMenu* mnuMain = nullptr;
    TMenuItem* miRun = nullptr;
    TMenuItem* miExit = nullptr;
    TPopupMenu* pmTree = nullptr;
    TImageList* imlTree = nullptr;
    TAction* actRun = nullptr;

    int Created = 0, Hellos = 0, OptionClicks = 0, NameChanges = 0, KindChanges = 0, TreeChanges = 0, Ticks = 0,
        Runs = 0, Exits = 0;

    void FormCreate(TObject*)
    {
        ++Created;
        // The program fills images and list rows in code.
        TBitmap glyph;
        glyph.SetSize(16, 16);
        glyph.GetCanvas()->GetBrush()->SetColor(clTeal);
        glyph.GetCanvas()->FillRect(RECT{2, 2, 14, 14});
        imlTree->AddMasked(&glyph, clWhite);
        imlTree->AddMasked(&glyph, clWhite);
        TListItem* row = lvSources->GetItems()->Add();
        row->SetCaption("Wine TWAIN source");
        row->GetSubItems()->Add("2.1");
        TCanvas* canvas = imgLogo->GetImageCanvas();
        canvas->GetBrush()->SetColor(clNavy);
        canvas->FillRect(RECT{0, 0, 40, 40});
        canvas->GetPen()->SetColor(clYellow);
        canvas->MoveTo(0, 0);
        canvas->LineTo(40, 40);
    }
    void btnHelloClick(TObject*) { ++Hellos; }
    void ckbOptionClick(TObject*) { ++OptionClicks; }
    void edNameChange(TObject*) { ++NameChanges; }
    void cbxKindChange(TObject*) { ++KindChanges; }
    void tvSessionsChange(TObject*, TTreeNode*) { ++TreeChanges; }
    void tmrTickTimer(TObject*)
    {
        if (++Ticks == 3)
            tmrTick->SetEnabled(false);
    }
    void actRunExecute(TObject*) { ++Runs; }
    void miExitClick(TObject*) { ++Exits; }
};

VCL_IMPLEMENT_CLASS(TfrmDemo, TForm, {
    m.PublishField("tbrTools", &TfrmDemo::tbrTools);
    m.PublishField("tbnRun", &TfrmDemo::tbnRun);
    m.PublishField("lblTitle", &TfrmDemo::lblTitle);
    m.PublishField("edName", &TfrmDemo::edName);
    m.PublishField("btnHello", &TfrmDemo::btnHello);
    m.PublishField("ckbOption", &TfrmDemo::ckbOption);
    m.PublishField("gbxGroup", &TfrmDemo::gbxGroup);
    m.PublishField("rbCD", &TfrmDemo::rbCD);
    m.PublishField("cbxKind", &TfrmDemo::cbxKind);
    m.PublishField("memNotes", &TfrmDemo::memNotes);
    m.PublishField("lbxItems", &TfrmDemo::lbxItems);
    m.PublishField("tvSessions", &TfrmDemo::tvSessions);
    m.PublishField("pgcPages", &TfrmDemo::pgcPages);
    m.PublishField("tsGeneral", &TfrmDemo::tsGeneral);
    m.PublishField("tsSources", &TfrmDemo::tsSources);
    m.PublishField("rgMode", &TfrmDemo::rgMode);
    m.PublishField("lvSources", &TfrmDemo::lvSources);
    m.PublishField("pnlBottom", &TfrmDemo::pnlBottom);
    m.PublishField("imgLogo", &TfrmDemo::imgLogo);
    m.PublishField("pgbProgress", &TfrmDemo::pgbProgress);
    m.PublishField("sbStatus", &TfrmDemo::sbStatus);
    m.PublishField("tmrTick", &TfrmDemo::tmrTick);
    m.PublishField("mnuMain", &TfrmDemo::mnuMain);
    m.PublishField("miRun", &TfrmDemo::miRun);
    m.PublishField("miExit", &TfrmDemo::miExit);
    m.PublishField("pmTree", &TfrmDemo::pmTree);
    m.PublishField("imlTree", &TfrmDemo::imlTree);
    m.PublishField("actRun", &TfrmDemo::actRun);
    m.PublishMethod("FormCreate", &TfrmDemo::FormCreate);
    m.PublishMethod("btnHelloClick", &TfrmDemo::btnHelloClick);
    m.PublishMethod("ckbOptionClick", &TfrmDemo::ckbOptionClick);
    m.PublishMethod("edNameChange", &TfrmDemo::edNameChange);
    m.PublishMethod("cbxKindChange", &TfrmDemo::cbxKindChange);
    m.PublishMethod("tvSessionsChange", &TfrmDemo::tvSessionsChange);
    m.PublishMethod("tmrTickTimer", &TfrmDemo::tmrTickTimer);
    m.PublishMethod("actRunExecute", &TfrmDemo::actRunExecute);
    m.PublishMethod("miExitClick", &TfrmDemo::miExitClick);
})

struct DemoForm : ::testing::Test {
    void SetUp() override
    {
        RegisterClass(TfrmDemo::StaticClass());
        form.reset(TCustomForm::Create<TfrmDemo>(Application));
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TfrmDemo> form;
};

}  // namespace

TEST_F(DemoForm, ComponentsAndPropertiesComeFromTheFormResource)
{
    TfrmDemo& f = *form;
    EXPECT_EQ(f.Created, 1) << "OnCreate after loading";
    EXPECT_EQ(f.GetCaption(), "Class library demo");
    ASSERT_NE(f.btnHello, nullptr);
    EXPECT_EQ(f.btnHello->GetParent(), &f);
    EXPECT_EQ(f.rbCD->GetParent(), f.gbxGroup);
    EXPECT_EQ(f.GetMenu(), f.mnuMain);
    EXPECT_EQ(f.lblTitle->GetFocusControl(), f.edName);
    EXPECT_EQ(f.edName->GetText(), "Pagorin");
    EXPECT_TRUE(f.ckbOption->GetChecked());
    EXPECT_EQ(f.cbxKind->GetItems()->GetCount(), 3);
    EXPECT_EQ(f.memNotes->GetLines()->GetCount(), 2);
    EXPECT_EQ(f.lbxItems->GetItems()->Get(1), "beta");
    ASSERT_EQ(f.tvSessions->GetItems()->GetCount(), 2);
    TTreeNode* page = f.tvSessions->GetItems()->GetItem(1);
    EXPECT_EQ(page->GetText(), "page001.jpg");
    EXPECT_EQ(page->GetStateIndex(), 1);
    EXPECT_EQ(page->GetParent(), f.tvSessions->GetItems()->GetFirstNode());
    EXPECT_EQ(f.tvSessions->GetImages(), f.imlTree);
    EXPECT_EQ(f.tvSessions->GetPopupMenu(), f.pmTree);
    EXPECT_EQ(f.pgcPages->GetPageCount(), 2);
    EXPECT_EQ(f.pgcPages->GetActivePage(), f.tsSources);
    EXPECT_EQ(f.rgMode->GetItemIndex(), 0);
    EXPECT_EQ(f.rgMode->GetButtonCount(), 2);
    EXPECT_EQ(f.lvSources->GetColumns()->GetCount(), 2);
    EXPECT_EQ(f.pgbProgress->GetPosition(), 48);
    EXPECT_EQ(f.sbStatus->GetPanels()->GetItem(0)->GetText(), "Ready");
    EXPECT_EQ(f.miExit->GetShortCut(), 32883);
    EXPECT_EQ(f.miRun->GetCaption(), "&Run") << "caption from the linked action";
    EXPECT_EQ(f.tbnRun->GetAction(), f.actRun);
}

TEST_F(DemoForm, EventsFromTheStreamFireAndAScreenshotIsWritten)
{
    TfrmDemo& f = *form;
    f.Show();
    ASSERT_TRUE(PumpUntil([&] { return f.Ticks >= 3; })) << "the streamed timer runs its handler";

    SendMessageA(f.btnHello->WindowHandle, BM_CLICK, 0, 0);
    EXPECT_EQ(f.Hellos, 1);
    SendMessageA(f.ckbOption->WindowHandle, BM_CLICK, 0, 0);
    EXPECT_EQ(f.OptionClicks, 1);
    EXPECT_FALSE(f.ckbOption->GetChecked());
    f.edName->SetText("Quenfold");
    EXPECT_EQ(f.NameChanges, 1);
    SendMessageA(f.cbxKind->WindowHandle, CB_SETCURSEL, 2, 0);
    SendMessageA(f.WindowHandle, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), LPARAM(f.cbxKind->WindowHandle));
    EXPECT_EQ(f.KindChanges, 1);
    EXPECT_EQ(f.cbxKind->GetText(), "Video");
    f.tvSessions->SetSelected(f.tvSessions->GetItems()->GetItem(1));
    EXPECT_EQ(f.TreeChanges, 1);
    SendMessageA(f.WindowHandle, WM_COMMAND, f.miExit->GetCommand(), 0);
    EXPECT_EQ(f.Exits, 1);
    SendMessageA(f.WindowHandle, WM_COMMAND, f.miRun->GetCommand(), 0);
    EXPECT_EQ(f.Runs, 1) << "menu item through its action";
    f.tbnRun->Click();
    EXPECT_EQ(f.Runs, 2) << "tool button through its action";

    f.tvSessions->GetItems()->GetFirstNode()->Expand(false);
    HBITMAP bitmap = vcltest::PrintWindowBitmap(f.WindowHandle);
    EXPECT_GT(vcltest::ColourCount(bitmap), 8u) << "the controls are in the picture";
    EXPECT_TRUE(vcltest::SaveBitmapPng(bitmap, testsupport::BinDir() + L"vcl-demo-form.png"));
    DeleteObject(bitmap);
}
