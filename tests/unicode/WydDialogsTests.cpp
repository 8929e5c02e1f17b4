// The wide dialogs run for real: a second thread finds each by its caption and answers it as a user would. The
// open dialog's structure is also captured the way the wide dialog takes it from the class library.
#include <windows.h>

#include <dlgs.h>

#include <atomic>

#include "DialogTestSupport.h"
#include "TestSupport.h"
#include "WydClipBrd.h"
#include "WydDialogs.h"
#include "WydToolkitTestSupport.h"

using namespace vcl;
using namespace wydtoolkittest;
using vcltest::DialogAnswerer;
using vcltest::WaitFor;

namespace {

class WydDialogsTest : public WydToolkitTest {
protected:
    void SetUp() override
    {
        WydToolkitTest::SetUp();
        form->SetCaption("Dialog owner");
        form->Show();
        for (const WideString& name : {WideString(L"a.txt"), WideString(L"b.txt"), Cjk + L".txt", Greek + L".log"})
            testsupport::WriteFileBytes(folder.File(name), "x");
    }
    void TearDown() override
    {
        vcltest::CancelAllDialogs();
        WydToolkitTest::TearDown();
    }
    testsupport::TempDir folder;
};

struct TClassSearch {
    const std::wstring& prefix;
    HWND found;
};

BOOL CALLBACK TakeChildOfClass(HWND child, LPARAM data)
{
    auto* search = reinterpret_cast<TClassSearch*>(data);
    wchar_t name[128] = {};
    GetClassNameW(child, name, 128);
    if (std::wstring(name).rfind(search->prefix, 0) != 0)
        return TRUE;
    search->found = child;
    return FALSE;
}

// A child window whose class name begins so (the layer's windows are "<class>.UnicodeClass").
HWND ChildOfClass(HWND parent, const std::wstring& prefix)
{
    TClassSearch search{prefix, nullptr};
    EnumChildWindows(parent, TakeChildOfClass, LPARAM(&search));
    return search.found;
}

void PressButton(HWND dialog, const wchar_t* caption)
{
    PostMessageW(testsupport::FindChild(dialog, nullptr, caption), BM_CLICK, 0, 0);
}

// Types into the file name box of an explorer-style file dialog and presses its default button.
void ChooseFile(HWND dialog, const WideString& name)
{
    SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13, LPARAM(name.c_str()));
    SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1, LPARAM(name.c_str()));
    vcltest::ClickButton(dialog, IDOK);
}

// Runs the wide dialog with a function of the test's own.
class TCapturingDialog : public TWydOpenDialog {
public:
    using TWydOpenDialog::TWydOpenDialog;
    bool Run(const TOpenFileNameFuncW& func) { return DoExecuteW(func, nullptr); }
};

}  // namespace

TEST_F(WydDialogsTest, YesAndNoWithoutADefaultMakeYesTheDefaultAndNoTheCancel)
{
    std::unique_ptr<TWydMessageForm> dialog(
        WideCreateMessageDialog(Greek, TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}));
    auto* yes = dynamic_cast<TWydButton*>(dialog->FindComponent("Yes"));
    auto* no = dynamic_cast<TWydButton*>(dialog->FindComponent("No"));
    ASSERT_TRUE(yes && no);
    EXPECT_TRUE(yes->GetDefault());
    EXPECT_EQ(dialog->GetActiveControl(), yes);
    EXPECT_TRUE(no->GetCancel());
    EXPECT_FALSE(yes->GetCancel());
    EXPECT_EQ(no->GetModalResult(), mrNo);
    EXPECT_TRUE(dialog->GetCaption() == L"Confirm");
    EXPECT_NE(dialog->FindComponent("Image"), nullptr) << "a confirmation shows its icon";
    auto* message = dynamic_cast<TWydLabel*>(dialog->FindComponent("Message"));
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->GetCaption() == Greek);
    EXPECT_LT(yes->GetLeft(), no->GetLeft()) << "buttons in the table's order";
}

TEST_F(WydDialogsTest, ACustomDialogShowsTheWideTitleAndNoIcon)
{
    WydApplication->SetTitle(Cyrillic);
    std::unique_ptr<TWydMessageForm> dialog(
        WideCreateMessageDialog(Cjk, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbRetry}));
    EXPECT_TRUE(dialog->GetCaption() == Cyrillic);
    EXPECT_EQ(dialog->FindComponent("Image"), nullptr);
    EXPECT_TRUE(dynamic_cast<TWydButton*>(dialog->FindComponent("OK"))->GetDefault());
    EXPECT_TRUE(dynamic_cast<TWydButton*>(dialog->FindComponent("OK"))->GetCancel()) << "neither Cancel nor No";

    std::unique_ptr<TWydMessageForm> retry(
        WideCreateMessageDialog(Cjk, TMsgDlgType::mtError, {TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbRetry}));
    EXPECT_TRUE(dynamic_cast<TWydButton*>(retry->FindComponent("Retry"))->GetDefault()) << "neither OK nor Yes";
    std::unique_ptr<TWydMessageForm> chosen(WideCreateMessageDialog(
        Cjk, TMsgDlgType::mtWarning, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, TMsgDlgBtn::mbNo));
    EXPECT_TRUE(dynamic_cast<TWydButton*>(chosen->FindComponent("No"))->GetDefault());
    EXPECT_FALSE(dynamic_cast<TWydButton*>(chosen->FindComponent("Yes"))->GetDefault());
}

TEST_F(WydDialogsTest, AMessageDialogAnsweredByItsButtonReturnsItsResult)
{
    DialogAnswerer answer(L"Warning", [&](HWND dialog) { PressButton(dialog, L"N&o to All"); });
    int result = WideMessageDlg(Emoji, TMsgDlgType::mtWarning,
                                {TMsgDlgBtn::mbYesToAll, TMsgDlgBtn::mbNoToAll, TMsgDlgBtn::mbCancel}, 0);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(result, mrNoToAll);
}

TEST_F(WydDialogsTest, ShowMessageAtAPlaceTakesThePlace)
{
    WydApplication->SetTitle(L"Wide show");
    RECT placed{};
    DialogAnswerer answer(L"Wide show", [&](HWND dialog) {
        GetWindowRect(dialog, &placed);
        PressButton(dialog, L"OK");
    });
    WideShowMessagePos(Greek, 30, 40);
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(placed.left, 30);
    EXPECT_EQ(placed.top, 40);
}

TEST_F(WydDialogsTest, CtrlCCopiesTheDialogsTexts)
{
    std::unique_ptr<TWydMessageForm> dialog(
        WideCreateMessageDialog(Cjk, TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbHelp}));
    dialog->HandleNeeded();
    WydClipboard()->SetAsWideText(L"before");
    dialog->Perform(WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(WydClipboard()->GetAsWideText() == L"before") << "C alone copies nothing";
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    dialog->Perform(WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
    const WideString divider = WideString(27, L'-') + L"\r\n";
    EXPECT_TRUE(WydClipboard()->GetAsWideText() ==
                divider + L"Information\r\n" + divider + Cjk + L"\r\n" + divider + L"OK   Help   \r\n" + divider)
        << Utf8(WydClipboard()->GetAsWideText());
}

TEST_F(WydDialogsTest, InputQueryTakesTheTypedWideTextOnOkAndKeepsTheValueOnCancel)
{
    WideString value = Greek;
    std::atomic<bool> startedWithValue{false};
    DialogAnswerer typed(Cyrillic, [&](HWND dialog) {
        HWND edit = ChildOfClass(dialog, L"TWydEdit");
        startedWithValue = edit && testsupport::WindowText(edit) == Greek;
        SetWindowTextW(edit, (Cjk + Emoji).c_str());
        PressButton(dialog, L"OK");
    });
    EXPECT_TRUE(WideInputQuery(Cyrillic, L"Name:", value));
    ASSERT_TRUE(typed.Answered());
    EXPECT_TRUE(startedWithValue) << "the edit starts with the value";
    EXPECT_TRUE(value == Cjk + Emoji) << Utf8(value);

    DialogAnswerer cancelled(Cyrillic, [](HWND dialog) {
        SetWindowTextW(ChildOfClass(dialog, L"TWydEdit"), L"lost");
        PressButton(dialog, L"Cancel");
    });
    EXPECT_TRUE(WideInputBox(Cyrillic, L"Name:", Greek) == Greek);
    ASSERT_TRUE(cancelled.Answered());
}

TEST_F(WydDialogsTest, OpenDialogChoosesSeveralWideNamesAndTheCloseCheckSeesThem)
{
    TWydOpenDialog dialog(nullptr);
    dialog.SetTitle(Cyrillic + L" pages");
    dialog.SetInitialDir(folder.Path() + L"\\");
    dialog.SetFilter(L"Text|*.txt|" + Greek + L"|*.*");
    dialog.SetOptions(dialog.GetOptions() + TOpenOptions{ofAllowMultiSelect, ofFileMustExist});
    std::vector<WideString> seen;
    dialog.OnCanClose = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool& canClose) {
        for (int i = 0; i < dialog.GetFiles()->GetCount(); ++i)
            seen.push_back(dialog.GetFiles()->Get(i));
        canClose = true;
    });
    DialogAnswerer answer(Cyrillic + L" pages", [](HWND d) { ChooseFile(d, L"\"a.txt\" \"" + Cjk + L".txt\""); });
    ASSERT_TRUE(dialog.Execute());
    ASSERT_TRUE(answer.Answered());
    const WideString base = WideIncludeTrailingBackslash(folder.Path());
    ASSERT_EQ(dialog.GetFiles()->GetCount(), 2);
    EXPECT_EQ(WideCompareText(dialog.GetFiles()->Get(0), base + L"a.txt"), 0) << Utf8(dialog.GetFiles()->Get(0));
    EXPECT_EQ(WideCompareText(dialog.GetFiles()->Get(1), base + Cjk + L".txt"), 0) << Utf8(dialog.GetFiles()->Get(1));
    EXPECT_TRUE(dialog.GetFileName() == dialog.GetFiles()->Get(0));
    EXPECT_EQ(dialog.TOpenDialog::GetFiles()->GetCount(), 2) << "the class library's list holds the same names";
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_TRUE(dialog.GetInitialDir() == folder.Path()) << "stored without its trailing backslash";
}

TEST_F(WydDialogsTest, ARefusedCheckKeepsTheDialogAndCancelLosesNothing)
{
    TWydOpenDialog dialog(nullptr);
    dialog.SetTitle(Greek);
    dialog.SetInitialDir(folder.Path());
    dialog.SetFileName(Cjk + L".earlier");
    int checks = 0;
    dialog.OnCanClose = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool& canClose) {
        ++checks;
        canClose = false;
    });
    std::atomic<bool> stillShown{false};
    DialogAnswerer answer(Greek, [&](HWND d) {
        ChooseFile(d, L"a.txt");
        if (WaitFor([&] { return checks > 0; }))
            stillShown = IsWindowVisible(d) != FALSE;
        vcltest::ClickButton(d, IDCANCEL);
    });
    EXPECT_FALSE(dialog.Execute());
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(checks, 1);
    EXPECT_TRUE(stillShown) << "a refused check keeps the dialog open";
    EXPECT_TRUE(dialog.GetFileName() == Cjk + L".earlier") << "nothing chosen, nothing lost";
    EXPECT_EQ(dialog.GetFiles()->GetCount(), 0);
}

TEST_F(WydDialogsTest, ANewChoiceAfterACancelledOneStillHasTheLastChoice)
{
    TWydOpenDialog dialog(nullptr);
    dialog.SetTitle(L"Twice");
    dialog.SetInitialDir(folder.Path());
    {
        DialogAnswerer answer(L"Twice", [](HWND d) { ChooseFile(d, Greek + L".log"); });
        ASSERT_TRUE(dialog.Execute());
        ASSERT_TRUE(answer.Answered());
    }
    DialogAnswerer cancel(L"Twice", [](HWND d) { vcltest::ClickButton(d, IDCANCEL); });
    EXPECT_FALSE(dialog.Execute());
    ASSERT_TRUE(cancel.Answered());
    ASSERT_EQ(dialog.GetFiles()->GetCount(), 1) << "a cancelled dialog keeps the wide list";
    EXPECT_TRUE(WideExtractFileName(dialog.GetFiles()->Get(0)) == Greek + L".log");
    EXPECT_TRUE(dialog.GetFileName() == dialog.GetFiles()->Get(0));
}

TEST_F(WydDialogsTest, TheOldStyleWideDialogChecksItsWideNames)
{
    TWydOpenDialog dialog(nullptr);
    dialog.SetTitle(L"Old style");
    dialog.SetInitialDir(folder.Path());
    NewStyleControls = false;
    WideString checked;
    dialog.OnCanClose = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool&) { checked = dialog.GetFileName(); });
    DialogAnswerer answer(L"Old style", [](HWND d) {
        SetDlgItemTextW(d, edt1, (Cjk + L".txt").c_str());
        vcltest::ClickButton(d, IDOK);
    });
    bool chosen = dialog.Execute();
    NewStyleControls = true;
    ASSERT_TRUE(answer.Answered());
    ASSERT_TRUE(chosen);
    EXPECT_TRUE(WideExtractFileName(checked) == Cjk + L".txt") << Utf8(checked);
    EXPECT_TRUE(WideExtractFileName(dialog.GetFileName()) == Cjk + L".txt");
}

TEST_F(WydDialogsTest, TheWideStructureIsBuiltFromTheClassLibrarysOwn)
{
    TCapturingDialog dialog(nullptr);
    dialog.SetFilter(L"Text|*.txt|" + Cjk + L"|*.*");
    dialog.SetFileName(Greek + L".doc");
    dialog.SetTitle(Cyrillic);
    dialog.SetTemplate("PAGORINEXTRA");
    OPENFILENAMEW seen{};
    WideString filter, file, initialDir, title, templateName, defaultExt;
    auto capture = [&](OPENFILENAMEW& ofn) {
        seen = ofn;
        filter.assign(ofn.lpstrFilter, 12 + Cjk.size() + 4 + 1);
        file = ofn.lpstrFile;
        initialDir = ofn.lpstrInitialDir ? ofn.lpstrInitialDir : L"(none)";
        title = ofn.lpstrTitle;
        templateName = ofn.lpTemplateName;
        defaultExt = ofn.lpstrDefExt ? ofn.lpstrDefExt : L"(none)";
        return FALSE;
    };
    EXPECT_FALSE(dialog.Run(capture));
    EXPECT_TRUE(filter == WideString(L"Text\0*.txt\0", 11) + Cjk + WideString(L"\0*.*\0\0", 6));
    EXPECT_TRUE(file == Greek + L".doc");
    EXPECT_TRUE(title == Cyrillic);
    EXPECT_TRUE(templateName == L"PAGORINEXTRA");
    EXPECT_TRUE(initialDir == L"(none)");
    EXPECT_TRUE(defaultExt == L"(none)") << "explorer style: no extension taken from the name";
    EXPECT_TRUE(seen.Flags & OFN_ENABLEHOOK);
    EXPECT_TRUE(seen.Flags & OFN_EXPLORER);
    EXPECT_EQ(seen.lpfnHook, &TCommonDialog::DialogHook);
    EXPECT_GT(seen.nMaxFile, 260u);
    EXPECT_TRUE(dialog.GetFileName() == Greek + L".doc") << "a function that answers 0 changes nothing";

    ForceCurrentDirectory = true;
    NewStyleControls = false;
    dialog.Run(capture);
    ForceCurrentDirectory = false;
    NewStyleControls = true;
    EXPECT_TRUE(initialDir == L".");
    EXPECT_TRUE(defaultExt == L"doc") << "old style: the file name's extension";
    EXPECT_FALSE(seen.Flags & OFN_EXPLORER);
}

TEST_F(WydDialogsTest, PromptForAFileNameToSaveGivesTheChosenPath)
{
    WideString name = Emoji + L".txt";
    DialogAnswerer answer(Greek, [](HWND d) { ChooseFile(d, Cjk + L"-new.txt"); });
    EXPECT_TRUE(WidePromptForFileName(name, L"", L"txt", Greek, folder.Path(), true));
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(name == WideIncludeTrailingBackslash(folder.Path()) + Cjk + L"-new.txt") << Utf8(name);

    WideString kept = L"kept.txt";
    DialogAnswerer cancel(L"Open one", [](HWND d) { vcltest::ClickButton(d, IDCANCEL); });
    EXPECT_FALSE(WidePromptForFileName(kept, L"Text|*.txt", L"", L"Open one", folder.Path(), false));
    ASSERT_TRUE(cancel.Answered());
    EXPECT_TRUE(kept == L"kept.txt");
}
