// Window tests of the dialog, search, window and help actions: each runs its real dialog or command.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>

#include <atomic>
#include <memory>
#include <string>

#include "DialogTestSupport.h"
#include "StdActns.h"
#include "StdCtrls.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::ClickButton;
using vcltest::DialogAnswerer;

namespace {

struct ActionFixture : ::testing::Test {
    void SetUp() override
    {
        Application->SetTitle("Toolkit tests");
        form.reset(new TForm(Application, 0));
        form->SetBounds(60, 60, 360, 240);
        memo = new TMemo(form.get());
        memo->SetBounds(8, 8, 320, 120);
        memo->SetParent(form.get());
        form->Show();
        memo->SetText("Scan one page, then Page two");
        SetForegroundWindow(form->WindowHandle);
        memo->SetFocus();
        vcltest::PumpUntil([this] { return memo->Focused(); }, 3000);
    }
    void TearDown() override
    {
        vcltest::CancelAllDialogs();
        form.reset();
    }
    // The find or replace dialog the action shows, with its text typed and a button pressed.
    HWND Dialog(const wchar_t* Caption)
    {
        return testsupport::WaitForTopWindow(Caption, 3000, GetCurrentProcessId());
    }
    void Press(HWND Dialog, int Id) { SendMessageA(Dialog, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), 0); }
    std::unique_ptr<TForm> form;
    TMemo* memo = nullptr;
};

TNotifyEvent Note(std::string& Log, const char* What)
{
    return MakeEvent<TObject*>(nullptr, [&Log, What](TObject*) { Log += What; });
}

}  // namespace

TEST(DialogActions, EachRunsADialogOfItsOwnClassOwnedByTheAction)
{
    struct Case {
        TCommonDialogAction* action;
        TClass dialogClass;
    };
    TFileOpen open(nullptr);
    TFileOpenWith openWith(nullptr);
    TFileSaveAs saveAs(nullptr);
    TFilePrintSetup printSetup(nullptr);
    TSearchFind find(nullptr);
    TSearchFindFirst findFirst(nullptr);
    TSearchReplace replace(nullptr);
    TFontEdit font(nullptr);
    TColorSelect color(nullptr);
    TPrintDlg print(nullptr);
    const Case cases[] = {{&open, TOpenDialog::StaticClass()},
                          {&openWith, TOpenDialog::StaticClass()},
                          {&saveAs, TSaveDialog::StaticClass()},
                          {&printSetup, TPrinterSetupDialog::StaticClass()},
                          {&find, TFindDialog::StaticClass()},
                          {&findFirst, TFindDialog::StaticClass()},
                          {&replace, TReplaceDialog::StaticClass()},
                          {&font, TFontDialog::StaticClass()},
                          {&color, TColorDialog::StaticClass()},
                          {&print, TPrintDialog::StaticClass()}};
    for (const Case& c : cases) {
        TCommonDialog* dialog = c.action->GetDialog();
        ASSERT_NE(dialog, nullptr) << c.action->ClassName();
        EXPECT_EQ(dialog->ClassType(), c.dialogClass) << c.action->ClassName();
        EXPECT_EQ(dialog->Owner(), c.action);
        EXPECT_EQ(dialog->GetName(), c.dialogClass->ClassName().substr(1));
        EXPECT_EQ(c.action->GetDialog(), dialog) << "made once";
        EXPECT_TRUE(c.action->GetEnabled()) << "a dialog action needs no handler to be enabled";
    }
    EXPECT_EQ(saveAs.GetDialog()->ClassType(), TSaveDialog::StaticClass());
}

TEST_F(ActionFixture, FileOpenTellsBeforeAcceptAndCancelAndYieldsToOnExecute)
{
    testsupport::TempDir folder;
    testsupport::WriteFileBytes(folder.File(L"page001.jpg"), "x");
    TFileOpen action(nullptr);
    action.GetDialog()->SetTitle("Open a page");
    action.GetDialog()->SetInitialDir(WideToAnsi(folder.Path()));
    std::string log;
    action.BeforeExecute = Note(log, "before ");
    action.OnAccept = Note(log, "accept ");
    action.OnCancel = Note(log, "cancel ");
    {
        DialogAnswerer answer(L"Open a page", [](HWND d) {
            SendMessageA(d, CDM_SETCONTROLTEXT, cmb13, LPARAM("page001.jpg"));
            SendMessageA(d, CDM_SETCONTROLTEXT, edt1, LPARAM("page001.jpg"));
            ClickButton(d, IDOK);
        });
        EXPECT_TRUE(action.Execute());
        ASSERT_TRUE(answer.Answered());
    }
    EXPECT_EQ(log, "before accept ");
    EXPECT_TRUE(action.GetExecuteResult());
    EXPECT_NE(action.GetDialog()->GetFileName().find("page001.jpg"), AnsiString::npos);
    {
        DialogAnswerer answer(L"Open a page", [](HWND d) { ClickButton(d, IDCANCEL); });
        EXPECT_TRUE(action.Execute());
        ASSERT_TRUE(answer.Answered());
    }
    EXPECT_EQ(log, "before accept before cancel ");
    EXPECT_FALSE(action.GetExecuteResult());

    action.OnExecute = Note(log, "handler ");
    EXPECT_TRUE(action.Execute());
    EXPECT_EQ(log, "before accept before cancel handler ") << "a handler of its own replaces the dialog";
}

TEST_F(ActionFixture, OpenWithStartsNothingWhenItsDialogIsCancelled)
{
    TFileOpenWith action(nullptr);
    action.GetDialog()->SetTitle("Open with");
    std::string log;
    action.OnCancel = Note(log, "cancel");
    DialogAnswerer answer(L"Open with", [](HWND d) { ClickButton(d, IDCANCEL); });
    EXPECT_TRUE(action.Execute());
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(log, "cancel");
    EXPECT_EQ(action.GetFileName(), "");
}

TEST_F(ActionFixture, SearchFindSelectsEachPlaceAndSaysWhenThereIsNoMore)
{
    auto* find = new TSearchFind(form.get());
    auto* next = new TSearchFindNext(form.get());
    next->SetSearchFind(find);
    memo->SetSelStart(0);
    ASSERT_TRUE(find->Execute());
    HWND dialog = Dialog(L"Find");
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, edt1, "page");
    Press(dialog, IDOK);
    EXPECT_EQ(memo->GetSelStart(), 9);
    EXPECT_EQ(memo->GetSelText(), "page");
    Press(dialog, IDOK);
    EXPECT_EQ(memo->GetSelStart(), 20) << "letters compare without case";
    EXPECT_EQ(memo->GetSelText(), "Page");

    DialogAnswerer answer(L"Toolkit tests", [](HWND box) { PostMessageA(box, WM_CLOSE, 0, 0); });
    Press(dialog, IDOK);
    EXPECT_TRUE(answer.Answered()) << "a box says the text is not found";
    EXPECT_EQ(memo->GetSelStart(), 20) << "the selection stays";
    Press(dialog, IDCANCEL);

    memo->SetFocus();
    vcltest::PumpUntil([this] { return memo->Focused(); }, 3000);
    memo->SetSelStart(0);
    next->Update();
    EXPECT_TRUE(next->GetEnabled());
    EXPECT_TRUE(next->Execute()) << "find next searches without the dialog";
    EXPECT_EQ(memo->GetSelStart(), 9);
    EXPECT_EQ(Dialog(L"Find"), nullptr);
}

TEST_F(ActionFixture, SearchReplaceReplacesEveryPlace)
{
    memo->SetText("CD and cd and Cd");
    auto* replace = new TSearchReplace(form.get());
    replace->GetDialog()->SetFindText("cd");
    replace->GetDialog()->SetReplaceText("DVD");
    ASSERT_TRUE(replace->Execute());
    HWND dialog = Dialog(L"Replace");
    ASSERT_NE(dialog, nullptr);
    Press(dialog, psh2);  // Replace All
    EXPECT_EQ(memo->GetText(), "DVD and DVD and DVD");
    Press(dialog, IDCANCEL);
}

TEST_F(ActionFixture, WindowActionsNeedAnMdiFrame)
{
    TWindowCascade cascade(nullptr);
    TWindowClose close(nullptr);
    cascade.Update();
    close.Update();
    EXPECT_FALSE(cascade.GetEnabled()) << "a form that is no MDI frame has no windows to arrange";
    EXPECT_FALSE(close.GetEnabled());
    EXPECT_FALSE(close.Execute());
    EXPECT_TRUE(form->HandleAllocated()) << "nothing was closed";
    cascade.SetForm(form.get());
    form.reset();
    EXPECT_EQ(cascade.GetForm(), nullptr) << "the action forgets a form that goes";
}

namespace {
// Stands in for the help program: Wine's WinHelp hands each command to the window of this class.
struct FakeHelpWindow {
    static LRESULT CALLBACK Proc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
    {
        if (Msg == WM_COPYDATA) {
            auto* data = reinterpret_cast<COPYDATASTRUCT*>(LParam);
            auto* bytes = static_cast<const unsigned char*>(data->lpData);
            auto* self = reinterpret_cast<FakeHelpWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
            self->Command = *reinterpret_cast<const WORD*>(bytes + 2);
            self->Data = *reinterpret_cast<const LONG*>(bytes + 4);
            WORD fileAt = *reinterpret_cast<const WORD*>(bytes + 12);
            self->File = reinterpret_cast<const char*>(bytes + fileAt);
            return 1;
        }
        return DefWindowProcA(Window, Msg, WParam, LParam);
    }
    FakeHelpWindow()
    {
        WNDCLASSA cls{};
        cls.lpfnWndProc = Proc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = "MS_WINHELP";
        RegisterClassA(&cls);
        Window = CreateWindowA("MS_WINHELP", "help", 0, 0, 0, 10, 10, nullptr, nullptr, cls.hInstance, nullptr);
        SetWindowLongPtrA(Window, GWLP_USERDATA, LONG_PTR(this));
    }
    ~FakeHelpWindow() { DestroyWindow(Window); }
    HWND Window;
    int Command = -1;
    LONG Data = 0;
    std::string File;
};
}  // namespace

TEST_F(ActionFixture, HelpActionsFollowTheFormsHelpFileAndContext)
{
    THelpContents contents(nullptr);
    THelpContextAction context(nullptr);
    contents.Update();
    EXPECT_FALSE(contents.GetEnabled()) << "no form names a help file";
    EXPECT_FALSE(contents.Execute());

    form->HelpFile = "C:\\Pagorin\\pagorin.hlp";
    contents.Update();
    context.Update();
    EXPECT_TRUE(contents.GetEnabled());
    EXPECT_FALSE(context.GetEnabled()) << "the active form has no help context";
    form->HelpContext = 120;
    context.Update();
    ASSERT_TRUE(context.GetEnabled());
    if (!testsupport::RunningUnderWine())
        GTEST_SKIP() << "the stand-in help window speaks Wine's help protocol only";
    FakeHelpWindow help;
    EXPECT_TRUE(context.Execute());
    EXPECT_EQ(help.Command, HELP_CONTEXT);
    EXPECT_EQ(help.Data, 120);
    EXPECT_EQ(help.File, "C:\\Pagorin\\pagorin.hlp");
    EXPECT_TRUE(contents.Execute());
    EXPECT_EQ(help.Command, HELP_FINDER);
}
