// The about box, a picture of each dialog in two languages (taken of the window itself), and the settings
// dialog's scanner commands against the lab's virtual scanner through Wine's TWAIN manager.
#include "DialogTestSupport.h"
#include "TwainClient.h"
#include "TwainWindow.h"
#include "WindowPicture.h"

using namespace dialogtest;
using namespace pagorin;

namespace {

class AboutDialog : public DialogTest {};

TEST_F(AboutDialog, ShowsBannerAndVersionAndClosesWithItsButton)
{
    CreateForms();
    ShowDialog(frmAbout);
    EXPECT_EQ(frmAbout->Label2->GetCaption(), "Version : 1.2.0.2");
    EXPECT_EQ(frmAbout->Image1->GetPicture()->GetWidth(), 320);
    EXPECT_EQ(frmAbout->Image1->GetPicture()->GetHeight(), 70);
    Click(FindByCaption(frmAbout, L"Close"));
    EXPECT_FALSE(frmAbout->GetVisible());
}

class DialogPictures : public DialogTest {
protected:
    // The dialog's own picture, as people see it, saved beside the other screenshots of the build.
    void Photograph(vcl::TCustomForm* form, const std::wstring& name)
    {
        Settle(form);
        HBITMAP bitmap = vcltest::PrintWindowBitmap(form->WindowHandle);
        EXPECT_GT(vcltest::ColourCount(bitmap), 8u) << testsupport::ToUtf8(name) << ": the controls are in the picture";
        std::wstring path = std::wstring(L"" PAGORIN_SCREENSHOT_DIR) + L"\\" + name + L".png";
        EXPECT_TRUE(vcltest::SaveBitmapPng(bitmap, path)) << testsupport::ToUtf8(path);
        DeleteObject(bitmap);
    }
};

TEST_F(DialogPictures, EachDialogInEnglishAndRussian)
{
    for (DWORD language : {1033u, 1049u}) {
        SCOPED_TRACE(language);
        Put("Language", language);
        Put("Default Scanner", "Lab Scanner A");
        for (auto [name, value] : {std::pair{"Color Modes", "1|0|1|2"}, {"Resolution", "300|75|1200"},
                                   {"File Formats", "4|0|2|4|7"}, {"Page Size", "1|1|3|4"}})
            Put(name, value, "Lab Scanner A");
        CreateForms();
        ListScanners({"Lab Scanner A", "Lab Scanner B"});
        std::wstring suffix = L"-" + std::to_wstring(language);
        ShowDialog(frmSettings);
        const wchar_t* pages[] = {L"scan", L"write", L"language", L"path"};
        for (int page = 0; page < 4; ++page) {
            ChooseTab(frmSettings->WydPageControl1, page);
            Photograph(frmSettings, std::wstring(L"settings-") + pages[page] + suffix);
        }
        frmSettings->Hide();
        ShowDialog(frmSelectScanner);
        Photograph(frmSelectScanner, L"select-scanner" + suffix);
        frmSelectScanner->Hide();
        ShowDialog(frmAbout);
        Photograph(frmAbout, L"about" + suffix);
        TearDown();
        SetUp();
    }
}

// The lab's virtual scanner behind Wine's TWAIN manager, opened with the main window as the program does.
class SettingsDialogScanner : public DialogTest {
protected:
    static void SetUpTestSuite()
    {
        DialogTest::SetUpTestSuite();
        ASSERT_TRUE(twainclient::InstallVirtualScanner(testsupport::BinDir() + L"PagorinScanner.ds"));
    }
    void SetUp() override
    {
        DialogTest::SetUp();
        SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str());
        Put("Default Scanner", ScannerName);
        CreateForms();
        frmMain->MainWindowHandle = frmMain->GetHandle();
        OpenTwainManager(*frmMain);
        EnumerateScanners(*frmMain);
        ShowDialog(frmSettings);
    }
    void TearDown() override
    {
        CloseTwainSource(*frmMain);
        CloseTwainManager(*frmMain);
        DialogTest::TearDown();
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }
    int ScannerRow() const
    {
        vcl::TListItems* rows = frmSettings->lvDataSources->GetItems();
        for (int i = 0; i < rows->GetCount(); ++i)
            if (rows->GetItem(i)->GetCaption() == ScannerName)
                return i;
        return -1;
    }
    static constexpr const char* ScannerName = "Pagorin Virtual Scanner";
    testsupport::TempDir lab_;
};

TEST_F(SettingsDialogScanner, GetPropertiesFillsTheListsFromTheScannerAndStoresItsOffer)
{
    int row = ScannerRow();
    ASSERT_GE(row, 0) << "the lab's scanner is listed";
    frmSettings->lblNotice->SetVisible(true);
    frmSettings->PopupItem = frmSettings->lvDataSources->GetItems()->GetItem(row);
    frmSettings->popGetProperties->Click();
    EXPECT_GT(frmSettings->cbxColorMode->GetItems()->GetCount(), 0);
    EXPECT_GT(frmSettings->cbxResolution->GetItems()->GetCount(), 0);
    EXPECT_FALSE(TextOf(frmSettings->cbxResolution).empty());
    EXPECT_FALSE(frmSettings->lblNotice->GetVisible());
    std::optional<std::wstring> colorModes = StoredString(L"Color Modes", Widen(ScannerName));
    ASSERT_TRUE(colorModes.has_value());
    EXPECT_NE(colorModes->find(L'|'), std::wstring::npos) << testsupport::ToUtf8(*colorModes);
    EXPECT_EQ(frmSettings->ckxDuplex->GetVisible(), frmMain->ckxDuplex->GetVisible());
}

TEST_F(SettingsDialogScanner, ShowAllListsARemovedScannerAgainAtOnce)
{
    int row = ScannerRow();
    ASSERT_GE(row, 0);
    frmSettings->PopupItem = frmSettings->lvDataSources->GetItems()->GetItem(row);
    frmSettings->popRemovefromList->Click();
    EnumerateScanners(*frmMain);
    EXPECT_LT(ScannerRow(), 0) << "a removed scanner stays off the list at the next listing";
    EXPECT_EQ(StoredDword(L"Visible", Widen(ScannerName)), 0u);

    frmSettings->popShowAll->Click();
    EXPECT_GE(ScannerRow(), 0);
    EXPECT_EQ(StoredDword(L"Visible", Widen(ScannerName)), 1u);
    EXPECT_FALSE(frmMain->ShowAllSources) << "the listing took the request";
}

}  // namespace
