// Window tests of the scroll box, the rich edit and the application's hint window.
#include <gtest/gtest.h>

#include <memory>

#include <richedit.h>

#include "ComCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::PumpUntil;

namespace {
struct ContainerFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(60, 60, 400, 300);
    }
    void TearDown() override { form.reset(); }
    std::unique_ptr<TForm> form;
};

bool HasBar(HWND window, LONG style) { return (GetWindowLongA(window, GWL_STYLE) & style) != 0; }
}  // namespace

TEST_F(ContainerFixture, ScrollBoxShowsBarsOnlyWhenChildrenReachBeyondIt)
{
    auto* box = new TScrollBox(form.get());
    box->SetParent(form.get());
    box->SetBounds(10, 10, 200, 150);
    auto* inner = new TButton(box);
    inner->SetParent(box);
    inner->SetBounds(10, 10, 60, 25);
    form->Show();
    EXPECT_FALSE(HasBar(box->WindowHandle, WS_VSCROLL));
    EXPECT_FALSE(HasBar(box->WindowHandle, WS_HSCROLL));

    auto* outer = new TButton(box);
    outer->SetParent(box);
    outer->SetBounds(20, 400, 60, 25);
    box->UpdateScrollBars();
    EXPECT_TRUE(HasBar(box->WindowHandle, WS_VSCROLL));
    EXPECT_FALSE(HasBar(box->WindowHandle, WS_HSCROLL));

    SendMessageA(box->WindowHandle, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(box->GetVertPosition(), 16);
    EXPECT_EQ(inner->GetTop(), 10 - 16) << "children move with the view";
    RECT r;
    GetWindowRect(inner->WindowHandle, &r);
    MapWindowPoints(nullptr, box->WindowHandle, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, -6) << "the child window itself moved";

    SendMessageA(box->WindowHandle, WM_VSCROLL, SB_BOTTOM, 0);
    RECT client;
    GetClientRect(box->WindowHandle, &client);
    EXPECT_EQ(outer->GetTop() + outer->GetHeight(), client.bottom) << "scrolled exactly to the end, not past it";

    box->SetVertPosition(0);
    box->ScrollInView(outer);
    EXPECT_EQ(outer->GetTop() + outer->GetHeight(), client.bottom);
    box->ScrollInView(inner);
    EXPECT_EQ(inner->GetTop(), 0) << "a child above the view is brought down to its top edge";

    box->SetHeight(600);  // room for everything: the bar goes and the view returns to the top
    EXPECT_FALSE(HasBar(box->WindowHandle, WS_VSCROLL));
    EXPECT_EQ(box->GetVertPosition(), 0);
    EXPECT_EQ(inner->GetTop(), 10);
}

TEST_F(ContainerFixture, RichEditLinesTextReadOnlyAndPlainText)
{
    auto* rich = new TRichEdit(form.get());
    rich->SetParent(form.get());
    rich->SetBounds(10, 10, 300, 200);
    rich->GetLines()->Add("first");  // kept until the window exists
    form->Show();
    ASSERT_TRUE(rich->HandleAllocated());
    char cls[64] = {};
    GetClassNameA(rich->WindowHandle, cls, sizeof cls);
    EXPECT_TRUE(std::string(cls).find("RichEdit") != std::string::npos ||
                std::string(cls).find("RICHEDIT") != std::string::npos)
        << cls;
    TStrings* lines = rich->GetLines();
    lines->Add("second");
    lines->Insert(0, "zero");
    ASSERT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->Get(0), "zero");
    EXPECT_EQ(lines->Get(1), "first");
    EXPECT_EQ(lines->Get(2), "second");
    lines->Delete(1);
    EXPECT_EQ(lines->GetCount(), 2);
    EXPECT_EQ(lines->Get(1), "second");

    int changes = 0;
    rich->OnChange = MakeEvent<TObject*>(nullptr, [&](TObject*) { ++changes; });
    rich->SetText("Gr\xfc\xdf Gott");
    EXPECT_GE(changes, 1);
    EXPECT_EQ(rich->GetText(), "Gr\xfc\xdf Gott") << "ANSI text goes in and out unchanged";
    EXPECT_EQ(rich->FindText("gott", 0, 9, {}), 5);
    EXPECT_EQ(rich->FindText("gott", 0, 9, {TSearchType::stMatchCase}), -1);

    rich->SetReadOnly(true);
    EXPECT_TRUE(GetWindowLongA(rich->WindowHandle, GWL_STYLE) & ES_READONLY);
    SendMessageA(rich->WindowHandle, WM_CHAR, 'x', 0);
    EXPECT_EQ(rich->GetText(), "Gr\xfc\xdf Gott") << "typing is refused";
    rich->SetReadOnly(false);

    rich->SetPlainText(true);  // re-creates the window in plain-text mode, keeping the text
    EXPECT_EQ(rich->Perform(EM_GETTEXTMODE) & TM_PLAINTEXT, TM_PLAINTEXT);
    EXPECT_EQ(rich->GetText(), "Gr\xfc\xdf Gott");
    rich->SetPlainText(false);
    EXPECT_EQ(rich->Perform(EM_GETTEXTMODE) & TM_RICHTEXT, TM_RICHTEXT);
    rich->SetText("{\\rtf1\\ansi plain \\b bold\\b0}");
    EXPECT_EQ(rich->GetText(), "plain bold") << "with formatting on, RTF is read as RTF";
}

TEST_F(ContainerFixture, RichEditHoldsMoreThanTheControlsDefaultLimit)
{
    auto* rich = new TRichEdit(form.get());
    rich->SetParent(form.get());
    form->Show();
    AnsiString big(40000, 'a');
    rich->SetText(big);
    EXPECT_EQ(rich->GetTextLen(), 40000);
}

namespace {
// A button that rewrites its hint on the way out, as CM_HINTSHOW allows.
struct THintProbe : TButton {
    using TButton::TButton;
    int Shows = 0;
    void Dispatch(TMessage& Message) override
    {
        TButton::Dispatch(Message);
        if (Message.Msg == CM_HINTSHOW) {
            ++Shows;
            reinterpret_cast<THintInfo*>(Message.LParam)->HintStr += " (probed)";
        }
    }
};
}  // namespace

TEST_F(ContainerFixture, HintWindowShowsTheShortHintOfAControlUnderTheMouse)
{
    auto* button = new THintProbe(form.get());
    button->SetParent(form.get());
    button->SetBounds(40, 40, 120, 40);
    button->Hint = "Scan|Scans the next page";
    button->SetShowHint(true);
    form->Show();
    SetForegroundWindow(form->WindowHandle);
    int pause = Application->HintPause;
    Application->HintPause = 50;
    POINT centre{100, 60};
    ClientToScreen(form->WindowHandle, &centre);
    SetCursorPos(centre.x, centre.y);
    POINT local{60, 20};
    PostMessageA(button->WindowHandle, WM_MOUSEMOVE, 0, MAKELPARAM(local.x, local.y));
    bool shown = PumpUntil([] {
        THintWindow* w = Application->GetHintWindow();
        return w && w->HandleAllocated() && IsWindowVisible(w->WindowHandle);
    });
    Application->HintPause = pause;
    ASSERT_TRUE(shown) << "no hint window appeared";
    THintWindow* hint = Application->GetHintWindow();
    EXPECT_EQ(hint->GetCaption(), "Scan (probed)") << "the short hint, as the control left it";
    EXPECT_EQ(Application->GetHint(), "Scans the next page") << "the long hint is the application's";
    EXPECT_EQ(button->Shows, 1);
    RECT r;
    GetWindowRect(hint->WindowHandle, &r);
    EXPECT_GT(r.top, centre.y) << "below the cursor";
    EXPECT_TRUE(GetWindowLongA(hint->WindowHandle, GWL_EXSTYLE) & WS_EX_TOPMOST);

    PostMessageA(button->WindowHandle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
    PostMessageA(button->WindowHandle, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
    EXPECT_TRUE(PumpUntil([&] { return !hint->HandleAllocated() || !IsWindowVisible(hint->WindowHandle); }))
        << "a click hides the hint";
}
