// The scanner chooser: the settings dialog's rows and selection mirrored both ways, the chosen scanner's stored
// values on the main window, and nothing written to the registry.
#include "DialogTestSupport.h"

using namespace dialogtest;
using namespace pagorin;

namespace {

class ScannerChooser : public DialogTest {
protected:
    TfrmSelectScanner& Chooser() { return *frmSelectScanner; }
    TfrmMain& Main() { return *frmMain; }
    static int Selected(vcl::TListView* list) { return list->GetSelected() ? list->GetSelected()->GetIndex() : -1; }
};

TEST_F(ScannerChooser, MirrorsTheSettingsRowsAndShowsTheChosenScannersStoredValues)
{
    Put("Default Scanner", "Lab Scanner A");
    for (auto [name, value] : {std::pair{"Color Modes", "2|0|1|2"}, {"Resolution", "300|75|600"}, {"Page Size", ""},
                               {"File Formats", "9|0|9"}})
        Put(name, value, "Lab Scanner B");
    CreateForms();
    ListScanners({"Lab Scanner A", "Lab Scanner B", "Lab Scanner C"});
    SetWideCaption(Main().txtPageSize, L"A4");
    SetWideCaption(Main().txtFileFormat, L"TIFF");
    ShowDialog(&Chooser());

    vcl::TListView* rows = Chooser().lvDataSources;
    ASSERT_EQ(rows->GetItems()->GetCount(), 3);
    EXPECT_EQ(rows->GetItems()->GetItem(2)->GetCaption(), "Lab Scanner C");
    EXPECT_EQ(Selected(rows), 0) << "the settings dialog's selection";
    EXPECT_NE(FindByCaption(&Chooser(), L"OK"), nullptr);
    EXPECT_NE(FindByCaption(&Chooser(), L"Cancel"), nullptr);

    LeftClickAt(rows, RowPoint(rows, 1));
    ASSERT_TRUE(vcltest::PumpUntil([&] { return Selected(frmSettings->lvDataSources) == 1; }))
        << "a click in the chooser selects the same row in the settings dialog";
    Click(FindByCaption(&Chooser(), L"OK"));
    EXPECT_FALSE(Chooser().GetVisible());
    EXPECT_EQ(Main().Config.CurrentScannerName, "Lab Scanner B");
    EXPECT_EQ(TextOf(Main().txtScanner), L"Lab Scanner B");
    EXPECT_EQ(TextOf(Main().txtColorMode), L"24-bit Color");
    EXPECT_EQ(TextOf(Main().txtResolution), L"300");
    EXPECT_EQ(TextOf(Main().txtPageSize), L"") << "an empty value empties its label";
    EXPECT_EQ(TextOf(Main().txtFileFormat), L"TIFF") << "an unknown code leaves its label";
    EXPECT_EQ(StoredString(L"Default Scanner"), L"Lab Scanner A") << "the chooser stores no scanner";

    ShowDialog(&Chooser());
    EXPECT_EQ(Selected(Chooser().lvDataSources), 1) << "the choice stays with the settings dialog's list";
}

TEST_F(ScannerChooser, OkWithoutAnyScannerJustCloses)
{
    CreateForms();
    SetWideCaption(Main().txtColorMode, L"Grayscale");
    ShowDialog(&Chooser());
    EXPECT_EQ(Chooser().lvDataSources->GetItems()->GetCount(), 0);
    Click(FindByCaption(&Chooser(), L"OK"));
    EXPECT_FALSE(Chooser().GetVisible());
    EXPECT_EQ(Main().Config.CurrentScannerName, "");
    EXPECT_EQ(TextOf(Main().txtColorMode), L"Grayscale");
}

TEST_F(ScannerChooser, ButtonsSpeakTheRunningLanguage)
{
    Put("Language", 1049);
    CreateForms();
    ShowDialog(&Chooser());
    EXPECT_NE(FindByCaption(&Chooser(), L"\x041E\x041A"), nullptr);
    HWND cancel = FindByCaption(&Chooser(), L"\x041E\x0442\x043C\x0435\x043D\x0430");
    ASSERT_NE(cancel, nullptr);
    Click(cancel);
    EXPECT_FALSE(Chooser().GetVisible());
}

}  // namespace
