// Window tests of the common dialogs: each is run for real, found by its caption by a second thread
// and answered as a user would.
#include <gtest/gtest.h>

#include <windows.h>

#include <dlgs.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <atomic>
#include <memory>
#include <vector>

#include "DialogTestSupport.h"
#include "Dialogs.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"

using namespace vcl;
using vcltest::ClickButton;
using vcltest::DialogAnswerer;
using vcltest::WaitFor;

namespace {

struct DialogFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(new TForm(Application, 0));
        form->SetBounds(40, 40, 300, 200);
        form->SetCaption("Dialog owner");
        form->Show();
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"notes.log"})
            testsupport::WriteFileBytes(folder.File(name), "x");
        path = WideToAnsi(folder.Path());
    }
    void TearDown() override
    {
        vcltest::CancelAllDialogs();
        form.reset();
    }
    std::unique_ptr<TForm> form;
    testsupport::TempDir folder;
    AnsiString path;
};

// Types into the file name box of an explorer-style file dialog and presses its default button.
void ChooseFile(HWND Dialog, const char* Name)
{
    SendMessageA(Dialog, CDM_SETCONTROLTEXT, cmb13, LPARAM(Name));
    SendMessageA(Dialog, CDM_SETCONTROLTEXT, edt1, LPARAM(Name));
    ClickButton(Dialog, IDOK);
}

// A scalable font family this machine has (the test cannot count on any particular one).
int CALLBACK TakeTrueTypeFace(const LOGFONTA* Font, const TEXTMETRICA*, DWORD Type, LPARAM Face)
{
    auto* face = reinterpret_cast<AnsiString*>(Face);
    if (!(Type & TRUETYPE_FONTTYPE) || Font->lfFaceName[0] == '@')
        return 1;
    *face = Font->lfFaceName;
    return 0;
}

AnsiString SomeTrueTypeFace()
{
    AnsiString face;
    HDC dc = GetDC(nullptr);
    LOGFONTA any{};
    any.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc, &any, TakeTrueTypeFace, LPARAM(&face), 0);
    ReleaseDC(nullptr, dc);
    return face;
}

TNotifyEvent Counter(int& Count)
{
    return MakeEvent<TObject*>(nullptr, [&Count](TObject*) { ++Count; });
}

}  // namespace

TEST_F(DialogFixture, OpenDialogTakesSeveralFilesAndTellsItsShowAndClose)
{
    TOpenDialog dialog(nullptr);
    dialog.SetTitle("Pick pages");
    dialog.SetInitialDir(path);
    dialog.SetFilter("Text files|*.txt|All files|*.*");
    dialog.SetOptions(dialog.GetOptions() + TOpenOptions{ofAllowMultiSelect, ofFileMustExist});
    int shows = 0, closes = 0;
    dialog.OnShow = Counter(shows);
    dialog.OnClose = Counter(closes);
    std::vector<AnsiString> seen;
    HWND during = nullptr;
    dialog.OnCanClose = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool& canClose) {
        for (int i = 0; i < dialog.GetFiles()->GetCount(); ++i)
            seen.push_back(dialog.GetFiles()->Get(i));
        during = dialog.GetHandle();
        canClose = true;
    });
    DialogAnswerer answer(L"Pick pages", [](HWND d) { ChooseFile(d, "\"a.txt\" \"b.txt\""); });
    ASSERT_TRUE(dialog.Execute());
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(closes, 1);
    EXPECT_NE(during, nullptr) << "the dialog's window is known while it is shown";
    EXPECT_EQ(dialog.GetHandle(), nullptr);
    ASSERT_EQ(dialog.GetFiles()->GetCount(), 2);
    AnsiString folderName = IncludeTrailingBackslash(path);
    EXPECT_EQ(CompareText(dialog.GetFiles()->Get(0), folderName + "a.txt"), 0) << dialog.GetFiles()->Get(0);
    EXPECT_EQ(CompareText(dialog.GetFiles()->Get(1), folderName + "b.txt"), 0) << dialog.GetFiles()->Get(1);
    EXPECT_EQ(dialog.GetFileName(), dialog.GetFiles()->Get(0));
    EXPECT_EQ(seen.size(), 2u) << "the close check sees the names about to be chosen";
    EXPECT_EQ(dialog.GetFilterIndex(), 1);
}

TEST_F(DialogFixture, RefusedCloseKeepsTheDialogAndCancelKeepsTheNames)
{
    TOpenDialog dialog(nullptr);
    dialog.SetTitle("Pick one");
    dialog.SetInitialDir(path);
    dialog.SetFileName("earlier.txt");
    int checks = 0;
    dialog.OnCanClose = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool& canClose) {
        ++checks;
        canClose = false;
    });
    std::atomic<bool> stillShown{false};
    DialogAnswerer answer(L"Pick one", [&](HWND d) {
        ChooseFile(d, "a.txt");
        if (WaitFor([&] { return checks > 0; }))
            stillShown = IsWindowVisible(d) != FALSE;
        ClickButton(d, IDCANCEL);
    });
    EXPECT_FALSE(dialog.Execute());
    ASSERT_TRUE(answer.Answered());
    EXPECT_EQ(checks, 1);
    EXPECT_TRUE(stillShown) << "a refused check keeps the dialog open";
    EXPECT_EQ(dialog.GetFileName(), "earlier.txt") << "nothing chosen, nothing lost";
    EXPECT_EQ(dialog.GetFiles()->GetCount(), 0);
}

TEST(FileDialogStructure, ADescendantCanRunTheDialogWithAFunctionOfItsOwn)
{
    // A function that only copies the structure, as the Unicode layer's does before it runs the wide dialog.
    struct TCapturing : TOpenDialog {
        using TOpenDialog::TOpenDialog;
        OPENFILENAMEA Captured{};
        std::string Filter, File, InitialDir;
        bool Capture()
        {
            return DoExecute(
                [this](OPENFILENAMEA& ofn) {
                    Captured = ofn;
                    Filter.assign(ofn.lpstrFilter, 20);
                    File = ofn.lpstrFile;
                    InitialDir = ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "(none)";
                    return FALSE;
                },
                nullptr);
        }
    } dialog(nullptr);
    dialog.SetFilter("Text|*.txt|All|*.*");
    dialog.SetFileName("earlier.txt");
    dialog.SetTemplate("VCLTESTEXTRA");
    dialog.SetOptions(dialog.GetOptions() + TOpenOptions{ofAllowMultiSelect});
    EXPECT_FALSE(dialog.Capture());
    EXPECT_EQ(dialog.Filter, std::string("Text\0*.txt\0All\0*.*\0\0", 20)) << "NUL separated, doubly ended";
    EXPECT_EQ(dialog.File, "earlier.txt");
    EXPECT_EQ(dialog.InitialDir, "(none)");
    const DWORD flags = dialog.Captured.Flags;
    EXPECT_TRUE(flags & OFN_EXPLORER);
    EXPECT_TRUE(flags & OFN_ENABLEHOOK) << "the structure carries the library's hook";
    EXPECT_TRUE(flags & OFN_ENABLETEMPLATE);
    EXPECT_TRUE(flags & OFN_ALLOWMULTISELECT);
    EXPECT_EQ(dialog.Captured.lpfnHook, &TCommonDialog::DialogHook);
    EXPECT_EQ(dialog.GetFileName(), "earlier.txt") << "a function that answers 0 changes nothing";
    EXPECT_EQ(dialog.GetFiles()->GetCount(), 0);

    ForceCurrentDirectory = true;
    dialog.Capture();
    ForceCurrentDirectory = false;
    EXPECT_EQ(dialog.InitialDir, ".") << "without InitialDir the dialog starts in the current folder";
    NewStyleControls = false;
    dialog.Capture();
    NewStyleControls = true;
    EXPECT_FALSE(dialog.Captured.Flags & OFN_EXPLORER);
}

TEST_F(DialogFixture, TheOldStyleDialogChecksAndChoosesOnce)
{
    TOpenDialog dialog(nullptr);
    dialog.SetTitle("Where am I");
    dialog.SetInitialDir(path);
    NewStyleControls = false;  // the old-style dialog: its hook is the dialog itself
    HWND shown = nullptr;
    dialog.OnShow = MakeEvent<TObject*>(nullptr, [&](TObject*) { shown = dialog.GetHandle(); });
    int checks = 0;
    dialog.OnCanClose = MakeEvent<TObject*, bool&>(nullptr, [&](TObject*, bool&) { ++checks; });
    DialogAnswerer answer(L"Where am I", [](HWND d) {
        SetDlgItemTextA(d, edt1, "b.txt");
        ClickButton(d, IDOK);
    });
    bool chosen = dialog.Execute();
    NewStyleControls = true;
    ASSERT_TRUE(answer.Answered());
    ASSERT_TRUE(chosen);
    EXPECT_NE(shown, nullptr);
    EXPECT_EQ(checks, 1) << "the old-style close check runs once";
    EXPECT_EQ(CompareText(dialog.GetFileName(), IncludeTrailingBackslash(path) + "b.txt"), 0) << dialog.GetFileName();
}

TEST_F(DialogFixture, SaveDialogAddsTheDefaultExtensionAndShowsItsTemplate)
{
    TSaveDialog dialog(nullptr);
    dialog.SetTitle("Save the job list");
    dialog.SetInitialDir(path);
    dialog.SetDefaultExt("txt");
    dialog.SetTemplate("VCLTESTEXTRA");
    std::atomic<bool> extraShown{false};
    DialogAnswerer answer(L"Save the job list", [&](HWND d) {
        extraShown = testsupport::FindChild(d, nullptr, L"Scan profile") != nullptr;
        ChooseFile(d, "joblist");
    });
    ASSERT_TRUE(dialog.Execute());
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(extraShown) << "the template's controls are part of the dialog";
    EXPECT_EQ(CompareText(dialog.GetFileName(), IncludeTrailingBackslash(path) + "joblist.txt"), 0)
        << dialog.GetFileName();
}

TEST_F(DialogFixture, IncludeItemDecidesWhatTheListShows)
{
    TOpenDialog dialog(nullptr);
    dialog.SetTitle("Only text");
    dialog.SetInitialDir(path);
    dialog.SetOptions(dialog.GetOptions() + TOpenOptions{ofEnableIncludeNotify});
    std::atomic<int> asked{0};
    dialog.OnIncludeItem = MakeEvent<TObject*, const OFNOTIFYEXA&, bool&>(
        nullptr, [&](TObject*, const OFNOTIFYEXA& item, bool& include) {
            ++asked;
            STRRET name{};
            char text[MAX_PATH] = {};
            auto* folderItems = static_cast<IShellFolder*>(item.psf);
            if (folderItems && SUCCEEDED(folderItems->GetDisplayNameOf(static_cast<LPCITEMIDLIST>(item.pidl),
                                                                        SHGDN_INFOLDER | SHGDN_FORPARSING, &name)))
                StrRetToBufA(&name, static_cast<LPCITEMIDLIST>(item.pidl), text, MAX_PATH);
            include = AnsiString(text).find(".log") == AnsiString::npos;
        });
    std::atomic<LRESULT> shown{-1};
    DialogAnswerer answer(L"Only text", [&](HWND d) {
        HWND list = nullptr;
        WaitFor([&] { return (list = testsupport::FindChild(d, L"SysListView32", nullptr)) != nullptr; });
        // The view asks about each file as it fills itself.
        WaitFor([&] { return list && asked >= 3 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= 2; });
        shown = list ? SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) : -1;
        ClickButton(d, IDCANCEL);
    });
    EXPECT_FALSE(dialog.Execute());
    ASSERT_TRUE(answer.Answered());
    EXPECT_GE(asked, 3) << "the handler is asked about every file";
    if (testsupport::RunningUnderWine())
        GTEST_SKIP() << "Wine asks about each item but lists them all, whatever the answer";
    EXPECT_EQ(shown, 2) << "the log file is left out";
}

TEST_F(DialogFixture, FontDialogStartsWithTheFontAndAppliesTheChoice)
{
    const AnsiString face = SomeTrueTypeFace();
    ASSERT_FALSE(face.empty());
    TFontDialog dialog(nullptr);
    dialog.GetFont()->SetName(face);
    dialog.GetFont()->SetSize(9);
    dialog.SetOptions(dialog.GetOptions() + TFontDialogOptions{fdApplyButton});
    std::vector<int> applied;
    dialog.OnApply = MakeEvent<TObject*, HWND>(nullptr, [&](TObject*, HWND window) {
        EXPECT_EQ(window, dialog.GetHandle());
        applied.push_back(dialog.GetFont()->GetSize());
    });
    std::atomic<bool> startedWithTheFont{false};
    DialogAnswerer answer(L"Font", [&](HWND d) {
        char shown[LF_FACESIZE] = {};
        GetDlgItemTextA(d, cmb1, shown, sizeof shown);
        startedWithTheFont = face == shown;
        SendDlgItemMessageA(d, cmb3, CB_SELECTSTRING, WPARAM(-1), LPARAM("14"));
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), LPARAM(GetDlgItem(d, cmb3)));
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(psh3, BN_CLICKED), LPARAM(GetDlgItem(d, psh3)));
        ClickButton(d, IDOK);
    });
    ASSERT_TRUE(dialog.Execute());
    ASSERT_TRUE(answer.Answered());
    EXPECT_TRUE(startedWithTheFont);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], 14) << "Apply hands over the font the dialog shows";
    EXPECT_EQ(dialog.GetFont()->GetSize(), 14);
    EXPECT_EQ(dialog.GetFont()->GetName(), face);
}

TEST_F(DialogFixture, ColorDialogKeepsTheColourAndItsCustomColours)
{
    TColorDialog dialog(nullptr);
    dialog.SetColor(clRed);
    dialog.GetCustomColors()->Add("ColorA=123456");
    int shows = 0;
    dialog.OnShow = Counter(shows);
    DialogAnswerer cancel(L"Color", [](HWND d) { ClickButton(d, IDCANCEL); });
    EXPECT_FALSE(dialog.Execute());
    ASSERT_TRUE(cancel.Answered());
    EXPECT_EQ(shows, 1);

    DialogAnswerer accept(L"Color", [](HWND d) { ClickButton(d, IDOK); });
    ASSERT_TRUE(dialog.Execute());
    ASSERT_TRUE(accept.Answered());
    EXPECT_EQ(dialog.GetColor(), clRed) << "the dialog started with the colour";
    TStrings* custom = dialog.GetCustomColors();
    EXPECT_EQ(custom->GetCount(), 16);
    EXPECT_EQ(custom->GetValues("ColorA"), "123456");
    EXPECT_EQ(custom->GetValues("ColorP"), "FFFFFF");
}

TEST_F(DialogFixture, PrintDialogsAreAnsweredAndCancelChangesNothing)
{
    TPrintDialog print(nullptr);
    print.SetCopies(3);
    DialogAnswerer cancelPrint(L"Print", [](HWND d) { ClickButton(d, IDCANCEL); });
    EXPECT_FALSE(print.Execute());
    EXPECT_TRUE(cancelPrint.Answered());
    EXPECT_EQ(print.GetCopies(), 3);

    TPrinterSetupDialog setup(nullptr);
    std::atomic<bool> found{false};
    DialogAnswerer cancelSetup(testsupport::RunningUnderWine() ? L"Print" : L"Print Setup", [&](HWND d) {
        found = true;
        ClickButton(d, IDCANCEL);
    });
    EXPECT_FALSE(setup.Execute());
    cancelSetup.Answered();
    EXPECT_TRUE(found) << "the set-up dialog (or the system's word that there is no printer) was shown";
}

TEST_F(DialogFixture, FindDialogIsModelessAndReportsEachSearch)
{
    TFindDialog find(nullptr);
    find.SetFindText("page");
    std::vector<AnsiString> searches;
    TFindOptions lastOptions;
    find.OnFind = MakeEvent<TObject*>(nullptr, [&](TObject*) {
        searches.push_back(find.GetFindText());
        lastOptions = find.GetOptions();
    });
    int closes = 0;
    find.OnClose = Counter(closes);
    ASSERT_TRUE(find.Execute());
    HWND window = testsupport::WaitForTopWindow(L"Find", 3000, GetCurrentProcessId());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(find.GetHandle(), window);
    char text[64] = {};
    GetDlgItemTextA(window, edt1, text, sizeof text);
    EXPECT_STREQ(text, "page");

    SetDlgItemTextA(window, edt1, "scanner");
    CheckDlgButton(window, chx2, BST_CHECKED);  // match case
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_EQ(searches.size(), 1u);
    EXPECT_EQ(searches[0], "scanner");
    EXPECT_TRUE(lastOptions.Contains(frMatchCase));
    EXPECT_TRUE(lastOptions.Contains(frFindNext));

    EXPECT_TRUE(find.Execute()) << "a second Execute brings the same dialog forward";
    EXPECT_EQ(find.GetHandle(), window);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(find.GetHandle(), nullptr);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(Application->DialogHandle, nullptr);
}

TEST_F(DialogFixture, ReplaceDialogReportsReplaceAllAndItsTexts)
{
    auto replace = std::make_unique<TReplaceDialog>(nullptr);
    replace->SetFindText("CD");
    replace->SetReplaceText("DVD");
    int replaces = 0;
    TFindOptions options;
    replace->OnReplace = MakeEvent<TObject*>(nullptr, [&](TObject*) {
        ++replaces;
        options = replace->GetOptions();
    });
    ASSERT_TRUE(replace->Execute());
    HWND window = testsupport::WaitForTopWindow(L"Replace", 3000, GetCurrentProcessId());
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(psh2, BN_CLICKED), 0);  // Replace All
    EXPECT_EQ(replaces, 1);
    EXPECT_TRUE(options.Contains(frReplaceAll));
    EXPECT_EQ(replace->GetReplaceText(), "DVD");
    replace.reset();  // freeing the object closes its dialog first
    EXPECT_FALSE(IsWindow(window));
}
