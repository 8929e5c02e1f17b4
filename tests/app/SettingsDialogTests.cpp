// The settings dialog as an operator uses it: each page's Apply, OK and Cancel against the product key read
// back, the changes that count at once, the folder tree, the scanner list's menu and the language switch.
#include "DialogTestSupport.h"

using namespace dialogtest;
using namespace pagorin;

namespace {

class SettingsDialog : public DialogTest {
protected:
    TfrmSettings& Dialog() { return *frmSettings; }
    TfrmMain& Main() { return *frmMain; }
    std::vector<std::wstring> Items(TWydComboBox* box)
    {
        std::vector<std::wstring> items;
        for (int i = 0; i < box->GetItems()->GetCount(); ++i)
            items.push_back(box->GetItems()->Get(i));
        return items;
    }
    // A right click on the scanner list at a point; the menu it opens is closed again once it shows.
    bool RightClickShowsMenu(POINT at)
    {
        menuShown_ = false;
        UINT_PTR timer = SetTimer(nullptr, 0, 100, &CloseMenuOnceShown);
        vcl::TListView* list = Dialog().lvDataSources;
        PostMessageW(list->WindowHandle, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageW(list->WindowHandle, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        bool done = vcltest::PumpUntil([] { return menuShown_; });
        KillTimer(nullptr, timer);
        return done;
    }
    static void CALLBACK CloseMenuOnceShown(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            menuShown_ = true;
            EndMenu();
        }
    }
    static inline bool menuShown_ = false;
};

TEST_F(SettingsDialog, OpensWithTheRunningSettingsAndTheirTexts)
{
    Put("Compiled PDF", 2);
    Put("Disc Type", 1);
    Put("Writing Speed CD", 7);
    Put("Next Page Wait", 45);
    Put("RW Disc Policy", 1);
    CreateForms();
    Main().Config.DeleteHotkeyFiles = true;
    ShowDialog(&Dialog());

    EXPECT_EQ(ChosenIndex(Dialog().cbxCompiledPDF), 2);
    EXPECT_EQ(Items(Dialog().cbxCompiledPDF), (std::vector<std::wstring>{L"None", L"With PDF File", L"Write PDF File Only"}));
    EXPECT_EQ(Items(Dialog().cbxRWDiscPolicy), (std::vector<std::wstring>{L"Auto Erase", L"Reject Disc"}));
    EXPECT_EQ(ChosenIndex(Dialog().cbxRWDiscPolicy), 1);
    EXPECT_EQ(ChosenIndex(Dialog().cbxDiscType), 1);
    EXPECT_EQ(Items(Dialog().cbxWriteSpeed).size(), 9u) << "the CD speeds";
    EXPECT_EQ(TextOf(Dialog().cbxWriteSpeed), L"8x");
    EXPECT_EQ(TextOf(Dialog().edPageWaitTime), L"45");
    EXPECT_EQ(TextOf(Dialog().edPath), work_.Path());
    EXPECT_TRUE(Dialog().ckbDeleteHotKeyFiles->GetChecked());
    EXPECT_FALSE(Dialog().lblNotice->GetVisible());
    for (const wchar_t* caption : {L"OK", L"Apply", L"Cancel", L"Scan Settings", L"Write Settings", L"Path"})
        EXPECT_NE(FindByCaption(&Dialog(), caption), nullptr) << testsupport::ToUtf8(caption);
    ASSERT_TRUE(vcltest::PumpUntil([&] { return !Dialog().tmrDiscType->GetEnabled(); }));
    EXPECT_EQ(TextOf(Main().txtDiscType), L"CD") << "the start timer names the disc type on the main window";
}

TEST_F(SettingsDialog, FirstUseShowsTheNoticeAndTicksTheScanSaveBox)
{
    CreateForms();
    Main().FirstUseNotice = true;
    ShowDialog(&Dialog());
    EXPECT_TRUE(Dialog().lblNotice->GetVisible());
    EXPECT_EQ(TextOf(Dialog().lblNotice), L"Click the right button on the device that you want to use");
    EXPECT_TRUE(Dialog().ckbSaveScanSettings->GetChecked());
}

TEST_F(SettingsDialog, ScanPageApplyShowsTheChoicesAndStoresThemOnlyWithItsSaveBox)
{
    Put("Default Scanner", "Lab Scanner B");
    for (auto [name, value] : {std::pair{"Color Modes", "1|0|1|2"}, {"Resolution", "200|75|1200"},
                               {"File Formats", "4|0|2|4"}, {"Page Size", "1|1|3|9"}})
        Put(name, value, "Lab Scanner A");
    Put("Duplex Mode", 1, "Lab Scanner A");
    CreateForms();
    ListScanners({"Lab Scanner A", "Lab Scanner B"});
    ShowDialog(&Dialog());
    SelectRow(Dialog().lvDataSources, 0);

    EXPECT_EQ(Items(Dialog().cbxColorMode), (std::vector<std::wstring>{L"Black and White", L"Grayscale", L"24-bit Color"}));
    EXPECT_EQ(TextOf(Dialog().cbxColorMode), L"Grayscale");
    EXPECT_EQ(Items(Dialog().cbxResolution), (std::vector<std::wstring>{L"75", L"200", L"300", L"600", L"1200"}));
    EXPECT_EQ(TextOf(Dialog().cbxResolution), L"200");
    EXPECT_EQ(Items(Dialog().cbxPageSize), (std::vector<std::wstring>{L"A4", L"Letter"})) << "code 9 is no page size";
    EXPECT_EQ(TextOf(Dialog().cbxFileFormat), L"JPG");
    EXPECT_TRUE(Dialog().ckxDuplex->GetVisible());

    Choose(Dialog().cbxColorMode, 2);
    Choose(Dialog().cbxResolution, 3);
    Click(Dialog().ckxDuplex);
    Click(FindByCaption(&Dialog(), L"Apply"));
    EXPECT_EQ(Main().Config.CurrentScannerName, "Lab Scanner A");
    EXPECT_EQ(TextOf(Main().txtScanner), L"Lab Scanner A");
    EXPECT_EQ(TextOf(Main().txtColorMode), L"24-bit Color");
    EXPECT_EQ(TextOf(Main().txtResolution), L"600");
    EXPECT_TRUE(Main().ckxDuplex->GetVisible() && Main().ckxDuplex->GetChecked());
    EXPECT_EQ(StoredString(L"Default Scanner"), L"Lab Scanner B") << "nothing stored without the save box";
    EXPECT_EQ(StoredString(L"Color Modes", L"Lab Scanner A"), L"1|0|1|2");

    Click(Dialog().ckbSaveScanSettings);
    Click(FindByCaption(&Dialog(), L"OK"));
    EXPECT_FALSE(Dialog().GetVisible()) << "OK closes the dialog";
    EXPECT_EQ(StoredString(L"Default Scanner"), L"Lab Scanner A");
    EXPECT_EQ(StoredString(L"Color Modes", L"Lab Scanner A"), L"2|0|1|2");
    EXPECT_EQ(StoredString(L"Resolution", L"Lab Scanner A"), L"600|75|1200");
    EXPECT_EQ(StoredString(L"File Formats", L"Lab Scanner A"), L"4|0|2|4");
    EXPECT_EQ(StoredDword(L"Duplex Enable", L"Lab Scanner A"), 1u);
    EXPECT_EQ(StoredDword(L"Next Page Wait"), 30u);
}

TEST_F(SettingsDialog, WritePageChangesTheRunningProgramAndStoresOnlyWithItsSaveBox)
{
    CreateForms();
    ShowDialog(&Dialog());
    ChooseTab(Dialog().WydPageControl1, TfrmSettings::WritePage);
    ASSERT_EQ(Dialog().WydPageControl1->GetActivePage(), Dialog().pageWriteSettings);
    Choose(Dialog().cbxCompiledPDF, 1);
    Choose(Dialog().cbxDiscType, 2);
    Choose(Dialog().cbxRWDiscPolicy, 1);
    Dialog().cseCopies->SetValue(3);
    Click(Dialog().ckbDeleteHotKeyFiles);
    Click(FindByCaption(&Dialog(), L"Apply"));

    EXPECT_EQ(Main().Config.CompiledPdf, 1);
    EXPECT_EQ(TextOf(Main().txtScannedFiles), L"Yes");
    EXPECT_EQ(TextOf(Main().txtCompiledPDF), L"Yes");
    EXPECT_EQ(Main().Config.Copies, 3);
    EXPECT_EQ(Main().cseCopies->GetValue(), 3);
    EXPECT_EQ(Main().Config.DiscType, 2);
    EXPECT_EQ(TextOf(Main().txtDiscType), L"DVD");
    EXPECT_EQ(TextOf(Main().txtCapacity), L"4,200 MB");
    EXPECT_EQ(Main().Config.RwDiscPolicy, 0) << "the policy reaches the program only with the save";
    EXPECT_FALSE(Main().Config.DeleteHotkeyFiles);
    EXPECT_EQ(StoredDword(L"Compiled PDF"), 0u);
    EXPECT_EQ(StoredDword(L"Copies"), 1u);

    Click(Dialog().ckbSaveWriteSettings);
    Click(FindByCaption(&Dialog(), L"Apply"));
    EXPECT_EQ(Main().Config.RwDiscPolicy, 1);
    EXPECT_TRUE(Main().Config.DeleteHotkeyFiles);
    const std::pair<const wchar_t*, DWORD> stored[] = {{L"Compiled PDF", 1}, {L"Copies", 3}, {L"Disc Type", 2},
                                                       {L"RW Disc Policy", 1}, {L"Delete Hotkey Files", 1},
                                                       {L"Max PDF File Size", 100}};
    for (auto [name, value] : stored)
        EXPECT_EQ(StoredDword(name), value) << testsupport::ToUtf8(name);
}

TEST_F(SettingsDialog, PdfSizeThatIsNoNumberKeepsTheSizeAndTheSaveGoesOn)
{
    CreateForms();
    ShowDialog(&Dialog());
    ChooseTab(Dialog().WydPageControl1, TfrmSettings::WritePage);
    Click(Dialog().ckbSaveWriteSettings);
    Choose(Dialog().cbxRWDiscPolicy, 1);
    Click(Dialog().ckbDeleteHotKeyFiles);
    for (const wchar_t* typed : {L"12a", L"99999999999", L"", L"0"}) {
        SCOPED_TRACE(Narrow(typed));
        Dialog().edPDFSize->SetText(typed);
        Click(FindByCaption(&Dialog(), L"Apply"));
        EXPECT_EQ(Main().Config.MaxPdfSize, 100);
        EXPECT_EQ(StoredDword(L"Max PDF File Size"), 100u);
        EXPECT_EQ(StoredDword(L"RW Disc Policy"), 1u) << "the values after the size were stored too";
        EXPECT_EQ(StoredDword(L"Delete Hotkey Files"), 1u);
    }
    Dialog().edPDFSize->SetText(L"250");
    Click(FindByCaption(&Dialog(), L"OK"));
    EXPECT_EQ(StoredDword(L"Max PDF File Size"), 250u);
}

TEST_F(SettingsDialog, ChosenWriteSpeedCountsAtOnceEvenWhenCancelled)
{
    CreateForms();
    ShowDialog(&Dialog());
    Choose(Dialog().cbxDiscType, 2);
    EXPECT_EQ(Items(Dialog().cbxWriteSpeed),
              (std::vector<std::wstring>{L"Max", L"16x", L"12x", L"8x", L"6x", L"4x", L"2x", L"1x"}));
    Choose(Dialog().cbxWriteSpeed, 3);
    Click(FindByCaption(&Dialog(), L"Cancel"));
    EXPECT_FALSE(Dialog().GetVisible());
    EXPECT_EQ(Main().Config.SpeedDvd, 3);
    EXPECT_EQ(Main().Config.SpeedCd, 0);
    EXPECT_EQ(Main().Config.DiscType, 0) << "the disc type itself waits for Apply";
    EXPECT_EQ(StoredDword(L"Writing Speed DVD"), 0u);
}

TEST_F(SettingsDialog, PageWaitIsHeldTo5Through300WhileTyped)
{
    CreateForms();
    ShowDialog(&Dialog());
    vcl::TEdit* wait = Dialog().edPageWaitTime;
    wait->SetText("");
    EXPECT_EQ(Main().Config.NextPageWait, 30) << "an emptied field changes nothing yet";
    Type(wait, L"1");
    EXPECT_EQ(wait->GetText(), "5");
    EXPECT_EQ(Main().Config.NextPageWait, 5);
    wait->SetText("30");
    CaretToEnd(wait);
    Type(wait, L"9");
    EXPECT_EQ(wait->GetText(), "300");
    CaretToEnd(wait);
    Type(wait, L"\bx-");
    EXPECT_EQ(wait->GetText(), "300") << "letters and Backspace are not taken";
    wait->SetText(std::string(40, '9'));
    EXPECT_EQ(wait->GetText(), "300");
    EXPECT_EQ(Main().Config.NextPageWait, 300);

    // A wait that is no number when saved keeps the running one, and the rest of Apply goes on.
    wait->SetText("");
    Click(Dialog().ckbSaveScanSettings);
    Choose(Dialog().cbxDiscType, 1);
    Click(FindByCaption(&Dialog(), L"Apply"));
    EXPECT_EQ(StoredDword(L"Next Page Wait"), 300u);
    EXPECT_EQ(Main().Config.DiscType, 1);
}

TEST_F(SettingsDialog, WorkingPathIsStoredOnlyFromThePathPage)
{
    CreateForms();
    Put("Working Path", Narrow(work_.Path()));
    ShowDialog(&Dialog());
    TWydTreeNodes* nodes = Dialog().tvDirectories->GetTreeNodes();
    TWydTreeNode* drive = nodes->GetFirstNode();
    while (drive && drive->GetText() != L"C:\\")
        drive = static_cast<TWydTreeNode*>(drive->getNextSibling());
    ASSERT_NE(drive, nullptr) << "drive C: is in the folder tree";
    TWydTreeNode* windows = nullptr;
    for (TWydTreeNode* child = drive->getFirstChild(); child; child = child->getNextSibling())
        if (lstrcmpiW(child->GetText().c_str(), L"windows") == 0)
            windows = child;
    ASSERT_NE(windows, nullptr);
    Dialog().tvDirectories->SetSelected(windows);
    std::wstring chosen = L"C:\\\\" + windows->GetText();
    EXPECT_EQ(TextOf(Dialog().edPath), chosen);

    Click(FindByCaption(&Dialog(), L"OK"));
    EXPECT_EQ(StoredString(L"Working Path"), work_.Path()) << "OK on another page stores no path";

    ShowDialog(&Dialog());
    EXPECT_EQ(TextOf(Dialog().edPath), work_.Path()) << "showing the dialog again shows the running path";
    ChooseTab(Dialog().WydPageControl1, TfrmSettings::PathPage);
    Dialog().tvDirectories->SetSelected(drive);
    Dialog().tvDirectories->SetSelected(windows);
    Click(FindByCaption(&Dialog(), L"OK"));
    EXPECT_EQ(StoredString(L"Working Path"), chosen);
    EXPECT_EQ(Main().Config.WorkingPath, Narrow(work_.Path())) << "the running program keeps its path";
}

TEST_F(SettingsDialog, PathPageNeverStoresAPathThatWouldLeadElsewhere)
{
    CreateForms();
    Put("Working Path", "C:\\Before");
    ShowDialog(&Dialog());
    ChooseTab(Dialog().WydPageControl1, TfrmSettings::PathPage);
    Click(FindByCaption(&Dialog(), L"Apply"));
    EXPECT_EQ(StoredString(L"Working Path"), work_.Path()) << "without a scanner the path shown is the running one";

    for (const wchar_t* path : {L"", L"C:\\\\\x041F\x0430\x043F\x043A\x0430"}) {
        Dialog().edPath->SetText(path);
        Click(FindByCaption(&Dialog(), L"Apply"));
        EXPECT_EQ(StoredString(L"Working Path"), work_.Path()) << testsupport::ToUtf8(path);
    }
}

TEST_F(SettingsDialog, FolderTreeKnowsOneLevelBelowWhatShows)
{
    CreateForms();
    TWydTreeNodes* nodes = Dialog().tvDirectories->GetTreeNodes();
    for (TWydTreeNode* drive = nodes->GetFirstNode(); drive; drive = static_cast<TWydTreeNode*>(drive->getNextSibling()))
        EXPECT_EQ(GetDriveTypeW(drive->GetText().c_str()), UINT(DRIVE_FIXED)) << Narrow(drive->GetText());
    TWydTreeNode* drive = nodes->GetFirstNode();
    while (drive && drive->GetText() != L"C:\\")
        drive = static_cast<TWydTreeNode*>(drive->getNextSibling());
    ASSERT_NE(drive, nullptr);
    auto child = [](TWydTreeNode* node, const wchar_t* name) -> TWydTreeNode* {
        for (TWydTreeNode* c = node->getFirstChild(); c; c = c->getNextSibling())
            if (lstrcmpiW(c->GetText().c_str(), name) == 0)
                return c;
        return nullptr;
    };
    TWydTreeNode* windows = child(drive, L"windows");
    ASSERT_NE(windows, nullptr);
    EXPECT_EQ(windows->GetCount(), 0) << "below the drive's folders nothing is known before it opens";
    EXPECT_EQ(drive->GetImageIndex(), 0);
    EXPECT_EQ(windows->GetImageIndex(), 1);

    ShowDialog(&Dialog());
    ChooseTab(Dialog().WydPageControl1, TfrmSettings::PathPage);
    drive->Expand(false);
    TWydTreeNode* system32 = child(windows, L"system32");
    ASSERT_NE(system32, nullptr) << "opening the drive lists its folders' folders";
    EXPECT_EQ(FolderPath(system32), L"C:\\\\" + windows->GetText() + L"\\" + system32->GetText());
}

TEST_F(SettingsDialog, RightClickMenuOffersTheRowCommandsOnlyOnARow)
{
    CreateForms();
    ListScanners({"Lab Scanner A", "Lab Scanner B"});
    ShowDialog(&Dialog());
    vcl::TListView* list = Dialog().lvDataSources;
    ASSERT_TRUE(RightClickShowsMenu({10, list->GetClientHeight() - 10})) << "the menu did not open";
    EXPECT_EQ(Dialog().PopupItem, nullptr);
    EXPECT_FALSE(Dialog().popGetProperties->GetEnabled());
    EXPECT_FALSE(Dialog().popRemovefromList->GetEnabled());
    EXPECT_TRUE(Dialog().popShowAll->GetEnabled());
    EXPECT_EQ(Dialog().popShowAll->GetCaption(), L"Show All TWAIN Devices");

    ASSERT_TRUE(RightClickShowsMenu(RowPoint(list, 1)));
    EXPECT_EQ(Dialog().PopupItem, list->GetItems()->GetItem(1));
    EXPECT_TRUE(Dialog().popGetProperties->GetEnabled());
    EXPECT_TRUE(Dialog().popRemovefromList->GetEnabled());
}

TEST_F(SettingsDialog, RemoveFromListHidesTheScannerAndKeepsTheCurrentOneSelected)
{
    Put("Default Scanner", "Lab Scanner B");
    CreateForms();
    ListScanners({"Lab Scanner A", "Lab Scanner B"});
    ShowDialog(&Dialog());
    vcl::TListView* list = Dialog().lvDataSources;
    ASSERT_TRUE(RightClickShowsMenu(RowPoint(list, 0)));
    Dialog().popRemovefromList->Click();
    EXPECT_EQ(StoredDword(L"Visible", L"Lab Scanner A"), 0u);
    EXPECT_EQ(StoredDword(L"Visible", L"Lab Scanner B"), 1u);
    ASSERT_EQ(list->GetItems()->GetCount(), 1);
    ASSERT_NE(list->GetSelected(), nullptr);
    EXPECT_EQ(list->GetSelected()->GetCaption(), "Lab Scanner B");
}

TEST_F(SettingsDialog, LanguageChosenChangesTheMainWindowAndTheDialogAtOnce)
{
    CreateForms();
    ShowDialog(&Dialog());
    TWydListView* languages = Dialog().lvLanguage;
    ASSERT_EQ(languages->GetItems()->GetCount(), 3);
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"English", L"1033"}, {L"Deutsch", L"1031"}, {L"Russian", L"1049"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(languages->GetItems()->GetItem(i)->GetCaption(), rows[i].first);
        EXPECT_EQ(languages->GetItems()->GetItem(i)->GetSubItems()->Get(1), rows[i].second);
    }
    EXPECT_EQ(languages->GetItems()->GetItem(2)->GetSubItems()->Get(0), L"\x0420\x0443\x0441\x0441\x043A\x0438\x0439");
    EXPECT_EQ(Dialog().LanguageRowAtLoad, 0) << "the running language's row";

    ChooseTab(Dialog().WydPageControl1, TfrmSettings::LanguagePage);
    SelectRow(languages, 2);
    Click(Dialog().ckbSaveLanguageSettings);
    Click(FindByCaption(&Dialog(), L"Apply"));
    EXPECT_EQ(Main().Config.LanguageId, 1049);
    EXPECT_EQ(StoredDword(L"Language"), 1049u);
    EXPECT_EQ(TextOf(Main().lblColorMode), L"\x0426\x0432\x0435\x0442 :");
    EXPECT_EQ(TextOf(Dialog().lblColorMode), L"\x0426\x0432\x0435\x0442 :");
    EXPECT_NE(FindByCaption(&Dialog(), L"\x041F\x0440\x0438\x043C\x0435\x043D\x0438\x0442\x044C"), nullptr)
        << "Apply in Russian";
    EXPECT_EQ(TextOf(Dialog().pageWriteSettings), L"\x0417\x0430\x043F\x0438\x0441\x044C");
    EXPECT_EQ(Dialog().LanguageRowAtLoad, 2);
}

// A file whose second language names its identifier in letters.
TEST_F(SettingsDialog, LanguageRowWithoutANumberLeavesTheLanguageAndApplyGoesOn)
{
    std::wstring text = L"\xFEFF[System]\r\n1033=English\r\n1031=Broken\r\n\r\n[English]\r\nLocalLanguage=English\r\n"
                        L"LCID=1033\r\n\r\n[Broken]\r\nLocalLanguage=Kaputt\r\nLCID=German\r\nGeneric.Apply=Anwenden\r\n";
    testsupport::WriteFileBytes(install_.File(L"Pagorin.ini"),
                                std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    Put("Language", 1031);
    CreateForms();
    ShowDialog(&Dialog());
    TWydListView* languages = Dialog().lvLanguage;
    ASSERT_EQ(languages->GetItems()->GetCount(), 2);
    EXPECT_EQ(Dialog().LanguageRowAtLoad, -1) << "no row's identifier is the running 1031";
    SelectRow(languages, 1);
    Choose(Dialog().cbxDiscType, 1);
    Click(FindByCaption(&Dialog(), L"Anwenden"));
    EXPECT_EQ(Main().Config.LanguageId, 1031);
    EXPECT_EQ(Main().Config.DiscType, 1) << "Apply went on past the language";
    EXPECT_EQ(TextOf(Main().txtCapacity), L"650 MB");
}

}  // namespace
