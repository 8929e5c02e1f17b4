// Window tests of the controls' core: life cycle, dispatch order, text buffer, reflection, recreation.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowPicture.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::ExpectedMessage;
using vcltest::MatchSequence;

namespace {

// A windowed control that records what reaches its WindowProc and what its own handlers see.
class TRecorder : public TCustomControl {
    VCL_CLASS(TRecorder, TCustomControl)
    explicit TRecorder(TComponent* AOwner) : TCustomControl(AOwner)
    {
        FOriginal = WindowProc;
        WindowProc = TWndMethod(std::function<void(TMessage&)>([this](TMessage& m) {
                                    Seen.push_back(m.Msg);
                                    FOriginal(m);
                                }),
                                this);
    }
    std::vector<UINT> Seen;
    std::vector<UINT> Handled;
    int Notifications = 0;
    void Dispatch(TMessage& Message) override;

protected:
    void CMTextChanged(TMessage& Message)
    {
        Handled.push_back(Message.Msg);
        TCustomControl::Dispatch(Message);
    }
    void WMSetText(TMessage& Message)
    {
        Handled.push_back(Message.Msg);
        DefaultHandler(Message);
    }
    void CNNotify(TMessage& Message)
    {
        Handled.push_back(Message.Msg);
        ++Notifications;
        Message.Result = 0x1234;
    }
    void CNCommand(TMessage& Message)
    {
        Handled.push_back(Message.Msg);
        Message.Result = 0;
    }

private:
    TWndMethod FOriginal;
};

VCL_BEGIN_MESSAGE_MAP(TRecorder)
    VCL_MESSAGE(CM_TEXTCHANGED, CMTextChanged)
    VCL_MESSAGE(WM_SETTEXT, WMSetText)
    VCL_MESSAGE(CN_NOTIFY, CNNotify)
    VCL_MESSAGE(CN_COMMAND, CNCommand)
VCL_END_MESSAGE_MAP(TCustomControl)

VCL_IMPLEMENT_CLASS(TRecorder, TCustomControl)

// A form made in code, shown, and freed with the test.
struct FormFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(50, 50, 400, 300);
        form->SetCaption("Controls test");
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
};

}  // namespace

TEST_F(FormFixture, CreationRunsThroughInitWndProcAndBindsTheWindow)
{
    auto* recorder = new TRecorder(form.get());
    recorder->SetBounds(10, 10, 100, 50);
    recorder->SetParent(form.get());
    EXPECT_FALSE(recorder->HandleAllocated()) << "no window before the form has one";
    form->HandleNeeded();
    ASSERT_TRUE(recorder->HandleAllocated());
    EXPECT_EQ(FindControl(recorder->WindowHandle), recorder);
    EXPECT_EQ(GetPropA(recorder->WindowHandle, MAKEINTATOM(WindowAtom())), recorder);
    EXPECT_EQ(GetWindowLongPtrA(recorder->WindowHandle, GWLP_WNDPROC), LONG_PTR(&StdWndProc));
    EXPECT_EQ(CreationControl, nullptr);
    char className[64] = {};
    GetClassNameA(recorder->WindowHandle, className, sizeof className);
    EXPECT_STREQ(className, "TRecorder");
    static const std::vector<ExpectedMessage> creation = {
        {WM_NCCREATE}, {WM_NCCALCSIZE, true}, {WM_CREATE}, {WM_SETFONT}};
    EXPECT_TRUE(MatchSequence(recorder->Seen, creation, false));
    auto first = std::find(recorder->Seen.begin(), recorder->Seen.end(), UINT(WM_NCCREATE));
    EXPECT_TRUE(std::all_of(recorder->Seen.begin(), first, [](UINT m) { return m >= CM_BASE; }))
        << "the first window message already reaches the control";
}

TEST_F(FormFixture, TextIsBufferedWithoutAWindowAndSentThroughWindowProc)
{
    auto* recorder = new TRecorder(form.get());
    recorder->SetParent(form.get());
    recorder->Seen.clear();
    recorder->SetCaption("Before");
    EXPECT_FALSE(recorder->HandleAllocated()) << "setting the text must not create the window";
    EXPECT_EQ(recorder->GetCaption(), "Before");
    static const std::vector<ExpectedMessage> setText = {
        {WM_GETTEXTLENGTH}, {WM_GETTEXT, true}, {WM_SETTEXT}, {CM_TEXTCHANGED}, {WM_GETTEXTLENGTH}, {WM_GETTEXT}};
    EXPECT_TRUE(MatchSequence(recorder->Seen, setText, true));
    EXPECT_TRUE(MatchSequence(recorder->Handled, {{WM_SETTEXT}, {CM_TEXTCHANGED}}, true));

    form->HandleNeeded();
    char text[32] = {};
    GetWindowTextA(recorder->WindowHandle, text, sizeof text);
    EXPECT_STREQ(text, "Before") << "the buffered text becomes the window's text";
    recorder->SetCaption("After");
    GetWindowTextA(recorder->WindowHandle, text, sizeof text);
    EXPECT_STREQ(text, "After");
}

TEST_F(FormFixture, NotifyAndCommandAreReflectedToTheChildAsCN)
{
    auto* recorder = new TRecorder(form.get());
    recorder->SetParent(form.get());
    form->HandleNeeded();
    recorder->Seen.clear();
    recorder->Handled.clear();

    NMHDR header{recorder->WindowHandle, 7, NM_CLICK};
    LRESULT answer = SendMessageA(form->WindowHandle, WM_NOTIFY, 7, LPARAM(&header));
    EXPECT_EQ(answer, 0x1234) << "the child's CN_NOTIFY answer goes back to the sender";
    EXPECT_EQ(recorder->Notifications, 1);
    SendMessageA(form->WindowHandle, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), LPARAM(recorder->WindowHandle));
    EXPECT_TRUE(MatchSequence(recorder->Seen, {{CN_NOTIFY}, {CN_COMMAND}}, true));
    EXPECT_TRUE(MatchSequence(recorder->Handled, {{CN_NOTIFY}, {CN_COMMAND}}, true));
}

TEST_F(FormFixture, ButtonClickTravelsAsCommandAndReachesOnClick)
{
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetCaption("&Go");
    int clicks = 0;
    button->OnClick = MakeEvent<TObject*>(nullptr, [&](TObject* sender) {
        EXPECT_EQ(sender, button);
        ++clicks;
    });
    form->Show();
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(FormFixture, PerformCallsWindowProcDirectly)
{
    auto* recorder = new TRecorder(form.get());
    recorder->SetParent(form.get());
    form->HandleNeeded();
    recorder->Seen.clear();
    // A private message unknown to the window class: only a direct call reaches WindowProc without
    // passing the window procedure (InSendMessage stays false and the thread's queue is untouched).
    bool sawSend = true;
    recorder->WindowProc = TWndMethod(std::function<void(TMessage&)>([&](TMessage& m) {
                                          sawSend = InSendMessage();
                                          m.Result = 42;
                                      }),
                                      nullptr);
    EXPECT_EQ(recorder->Perform(WM_APP + 3, 1, 2), 42);
    EXPECT_FALSE(sawSend);
}

TEST_F(FormFixture, DestroyHandleFlagsTheDestructionAndForgetsTheWindow)
{
    struct TProbe : TWinControl {
        using TWinControl::TWinControl;
        bool FlagSeen = false;
        void WndProc(TMessage& m) override
        {
            if (m.Msg == WM_DESTROY)
                FlagSeen = ControlState.Contains(csDestroyingHandle);
            TWinControl::WndProc(m);
        }
    };
    auto* probe = new TProbe(form.get());
    probe->SetParent(form.get());
    form->HandleNeeded();
    HWND window = probe->WindowHandle;
    probe->DestroyHandle();
    EXPECT_TRUE(probe->FlagSeen);
    EXPECT_FALSE(probe->ControlState.Contains(csDestroyingHandle));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(probe->WindowHandle, nullptr);
    EXPECT_EQ(FindControl(window), nullptr);
}

TEST_F(FormFixture, RecreateWndKeepsCaptionsTextsItemsAndChecks)
{
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    auto* check = new TCheckBox(form.get());
    check->SetParent(form.get());
    check->SetTop(40);
    check->SetCaption("Check me");
    auto* combo = new TComboBox(form.get());
    combo->SetParent(form.get());
    combo->SetTop(70);
    auto* list = new TListBox(form.get());
    list->SetParent(form.get());
    list->SetTop(100);
    form->Show();
    edit->SetText("typed");
    check->SetChecked(true);
    combo->GetItems()->Add("one");
    combo->GetItems()->AddObject("two", reinterpret_cast<TObject*>(0x22));
    combo->SetItemIndex(1);
    list->GetItems()->Add("alpha");
    list->GetItems()->Add("beta");
    list->SetItemIndex(1);
    HWND oldEdit = edit->WindowHandle, oldCombo = combo->WindowHandle;

    form->RecreateWnd();

    ASSERT_TRUE(edit->HandleAllocated());
    EXPECT_NE(edit->WindowHandle, oldEdit);
    EXPECT_NE(combo->WindowHandle, oldCombo);
    char text[32] = {};
    GetWindowTextA(edit->WindowHandle, text, sizeof text);
    EXPECT_STREQ(text, "typed");
    GetWindowTextA(check->WindowHandle, text, sizeof text);
    EXPECT_STREQ(text, "Check me");
    EXPECT_EQ(SendMessageA(check->WindowHandle, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(combo->WindowHandle, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(combo->GetItemIndex(), 1);
    EXPECT_EQ(combo->GetItems()->GetObject(1), reinterpret_cast<TObject*>(0x22));
    EXPECT_EQ(list->GetItems()->GetCount(), 2);
    EXPECT_EQ(list->GetItems()->Get(1), "beta");
    EXPECT_EQ(list->GetItemIndex(), 1);
    EXPECT_EQ(form->GetCaption(), "Controls test");
}

TEST_F(FormFixture, EnabledAndVisibleChangesAnnounceThemselvesAndReachTheWindow)
{
    auto* recorder = new TRecorder(form.get());
    recorder->SetParent(form.get());
    form->Show();
    recorder->Seen.clear();
    recorder->SetEnabled(false);
    recorder->SetVisible(false);
    EXPECT_TRUE(MatchSequence(recorder->Seen, {{CM_ENABLEDCHANGED}, {CM_VISIBLECHANGED}}, false));
    EXPECT_FALSE(IsWindowEnabled(recorder->WindowHandle));
    EXPECT_FALSE(IsWindowVisible(recorder->WindowHandle));
}

// A form that defers its hidden children's windows makes none for them with its own (its start is quicker); a
// child shown later gets its window then, still stacked in its order among its siblings, the last on top, and
// the rest come with CreateDeferredWindows, a hidden list with the items it kept meanwhile.
TEST_F(FormFixture, DeferredHiddenChildrenGetTheirWindowsLaterInTheirPlaceAmongTheirSiblings)
{
    form->SetDeferHiddenWindows(true);
    TRecorder* children[3];
    for (int i = 0; i < 3; ++i) {
        children[i] = new TRecorder(form.get());
        children[i]->SetBounds(10 + 20 * i, 10, 100, 50);
        children[i]->SetParent(form.get());
    }
    children[1]->SetVisible(false);
    auto* list = new TListBox(form.get());
    list->SetVisible(false);
    list->SetParent(form.get());
    list->GetItems()->Add("kept");
    form->Show();
    EXPECT_FALSE(children[1]->HandleAllocated());
    EXPECT_FALSE(list->HandleAllocated());
    EXPECT_EQ(list->GetItems()->Get(0), "kept");

    children[1]->SetVisible(true);
    ASSERT_TRUE(children[1]->HandleAllocated());
    EXPECT_TRUE(IsWindowVisible(children[1]->WindowHandle));
    std::vector<HWND> topDown;
    for (HWND w = GetWindow(form->WindowHandle, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
        topDown.push_back(w);
    EXPECT_EQ(topDown, (std::vector<HWND>{children[2]->WindowHandle, children[1]->WindowHandle,
                                           children[0]->WindowHandle}));
    form->CreateDeferredWindows();
    ASSERT_TRUE(list->HandleAllocated());
    EXPECT_EQ(SendMessageA(list->WindowHandle, LB_GETCOUNT, 0, 0), 1) << "the kept item did not reach the window";
}

TEST_F(FormFixture, AlignPlacesChildrenInTheClientArea)
{
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    auto* top = new TRecorder(form.get());
    top->SetHeight(30);
    top->SetAlign(TAlign::alTop);
    top->SetParent(form.get());
    auto* rest = new TRecorder(form.get());
    rest->SetAlign(TAlign::alClient);
    rest->SetParent(form.get());
    form->Show();
    EXPECT_EQ(top->GetWidth(), 300);
    EXPECT_EQ(rest->GetTop(), 30);
    EXPECT_EQ(rest->GetHeight(), 170);
}

// Printing a window (PrintWindow and WM_PRINT, as a picture of the window itself is taken) draws the windowless
// controls too: on the form and inside a group box.
TEST_F(FormFixture, PrintedWindowShowsItsWindowlessControls)
{
    auto shape = [](TWinControl* parent, TColor colour, int left) {
        auto* s = new TShape(parent);
        s->SetBounds(left, 30, 40, 40);
        s->GetShapeBrush()->SetColor(colour);
        s->GetPen()->SetColor(colour);
        s->SetParent(parent);
    };
    shape(form.get(), clRed, 20);
    auto* group = new TGroupBox(form.get());
    group->SetBounds(150, 20, 200, 120);
    group->SetParent(form.get());
    shape(group, clBlue, 20);
    form->Show();
    HBITMAP bitmap = vcltest::PrintWindowBitmap(form->WindowHandle);
    std::vector<DWORD> pixels = vcltest::Pixels(bitmap);
    DeleteObject(bitmap);
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), DWORD(0xFF0000)), 1000) << "the shape on the form";
    EXPECT_GT(std::count(pixels.begin(), pixels.end(), DWORD(0x0000FF)), 1000) << "the shape in the group box";
}
