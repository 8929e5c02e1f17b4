// The settings store against a product key of the test's own in the prefix's registry.
#include <gtest/gtest.h>

#include "SettingsStore.h"
#include "TestSupport.h"

using namespace pagorin;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        location_ = {HKEY_CURRENT_USER, "Software\\PagorinTests\\" + name};
        testsupport::DeleteRegTree(HKEY_CURRENT_USER, Wide(location_.Path));
    }
    void TearDown() override { testsupport::DeleteRegTree(HKEY_CURRENT_USER, Wide(location_.Path)); }

    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
    std::optional<DWORD> Dword(const char* name) const
    {
        return testsupport::ReadRegDword(HKEY_CURRENT_USER, Wide(location_.Path), Wide(name));
    }
    std::optional<std::string> String(const char* name, const std::string& sub = "") const
    {
        auto value = testsupport::ReadRegString(HKEY_CURRENT_USER, Wide(location_.Path + sub), Wide(name));
        if (!value)
            return std::nullopt;
        return std::string(value->begin(), value->end());
    }
    void Put(const char* name, DWORD value, const std::string& sub = "") const
    {
        RegistryKey(sub.empty() ? location_ : location_.Sub(sub), true).WriteDword(name, value);
    }
    void Put(const char* name, const std::string& value, const std::string& sub = "") const
    {
        RegistryKey(sub.empty() ? location_ : location_.Sub(sub), true).WriteString(name, value);
    }
    // The start's two loads, as the main window runs them.
    void LoadAtStart(Settings& settings, SettingsView& view)
    {
        settings.InstallFolder = "C:\\Install";
        LoadDefaultSettings(location_, settings, view);
        LoadMainSettings(location_, settings, view, log_);
    }

    KeyLocation location_;
    DayLog log_{[] { SYSTEMTIME t{}; t.wYear = 2026; t.wMonth = 3; t.wDay = 5; return t; }};
};

TEST_F(SettingsStoreTest, FirstStartOnEmptyKeyWritesTheDefaults)
{
    Settings settings;
    SettingsView view;
    LoadAtStart(settings, view);
    const std::pair<const char*, DWORD> dwords[] = {
        {"Language", 1033}, {"Compiled PDF", 0}, {"Copies", 1}, {"Disc Type", 0}, {"Max PDF File Size", 100},
        {"RW Disc Policy", 0}, {"Writing Speed CD", 0}, {"Writing Speed DVD", 0}, {"Next Page Wait", 30},
        {"Delete Hotkey Files", 0}, {"Today", 5}};
    for (auto [name, value] : dwords)
        EXPECT_EQ(Dword(name), value) << name;
    EXPECT_EQ(String("Working Path"), "C:\\Install");
    EXPECT_EQ(String("Disc Label 0"), "Scanned Doc");
    EXPECT_EQ(String("File Naming 0"), "Page");
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(String(("Disc Label " + std::to_string(i)).c_str()), "");
        EXPECT_EQ(String(("File Naming " + std::to_string(i)).c_str()), "");
    }
    EXPECT_EQ(settings.WorkingPath, "C:\\Install");
    EXPECT_EQ(view.DiscLabels, std::vector<std::string>{"Scanned Doc"});
    EXPECT_EQ(view.FileNamings, std::vector<std::string>{"Page"});
    EXPECT_EQ(view.Scanner, "");
}

TEST_F(SettingsStoreTest, StoredValuesAreLoadedAndMissingOnesKeepTheirNeighbours)
{
    Put("Compiled PDF", 2);
    Put("Copies", 7);
    Put("Language", 1049);
    Put("Working Path", "D:\\Work");
    Put("Delete Hotkey Files", 1);
    Put("Next Page Wait", 45);
    Put("Disc Label 0", "Scanned Doc");
    Put("Disc Label 1", std::string(200, 'L'));
    Settings settings;
    SettingsView view;
    LoadAtStart(settings, view);
    EXPECT_EQ(settings.CompiledPdf, 2);
    EXPECT_EQ(settings.Copies, 7);
    EXPECT_EQ(settings.LanguageId, 1049);
    EXPECT_EQ(settings.WorkingPath, "D:\\Work");
    EXPECT_TRUE(settings.DeleteHotkeyFiles);
    EXPECT_EQ(settings.NextPageWait, 45);
    EXPECT_EQ(Dword("Compiled PDF"), 2u) << "kept when only Disc Type was missing";
    EXPECT_EQ(Dword("Disc Type"), 0u);
    ASSERT_TRUE(view.DiscLabels);
    EXPECT_EQ(view.DiscLabels->at(1), std::string(200, 'L')) << "a 200-character label survives";
}

TEST_F(SettingsStoreTest, WrongTypeOrOutOfRangeCountsAsMissing)
{
    Put("Copies", std::string("three"));
    Put("Disc Type", 7);
    Put("Working Path", std::string());
    Settings settings;
    SettingsView view;
    LoadAtStart(settings, view);
    EXPECT_EQ(settings.Copies, 1);
    EXPECT_EQ(Dword("Copies"), 1u) << "rewritten as a number";
    EXPECT_EQ(settings.DiscType, 0);
    EXPECT_EQ(settings.WorkingPath, "C:\\Install") << "an empty working path is no path";
}

TEST_F(SettingsStoreTest, UnopenableKeyKeepsDefaultsAndUsesInstallFolder)
{
    location_ = {HKEY_CURRENT_USER, std::string(300, 'k')};  // longer than any key name may be
    Settings settings;
    settings.Copies = 1;
    SettingsView view;
    settings.InstallFolder = "C:\\Install";
    EXPECT_FALSE(LoadDefaultSettings(location_, settings, view));
    LoadMainSettings(location_, settings, view, log_);
    EXPECT_EQ(settings.WorkingPath, "C:\\Install");
    EXPECT_EQ(settings.LanguageId, 1033);
    EXPECT_FALSE(view.DiscLabels);
}

TEST_F(SettingsStoreTest, ScannerSubkeySetsLabelsAndDuplex)
{
    Put("Default Scanner", std::string("Lab Scanner"));
    Put("Color Modes", std::string("2|0|1|2"), "Lab Scanner");
    Put("File Formats", std::string("9|0|2"), "Lab Scanner");
    Put("Resolution", std::string("200|75|1200"), "Lab Scanner");
    Put("Page Size", std::string(""), "Lab Scanner");
    Put("Duplex Mode", 1, "Lab Scanner");
    Put("Duplex Enable", 1, "Lab Scanner");
    Settings settings;
    SettingsView view;
    LoadAtStart(settings, view);
    EXPECT_EQ(settings.CurrentScannerName, "Lab Scanner");
    EXPECT_EQ(view.Scanner, "Lab Scanner");
    EXPECT_EQ(view.ColorMode, "24-bit Color");
    EXPECT_FALSE(view.FileFormat) << "a code in no table leaves the label";
    EXPECT_EQ(view.Resolution, "200");
    EXPECT_EQ(view.PageSize, "") << "an empty value empties the label";
    EXPECT_EQ(view.DuplexVisible, true);
    EXPECT_EQ(view.DuplexChecked, true);
}

TEST_F(SettingsStoreTest, SavesWriteTheirGroups)
{
    Settings settings;
    settings.LanguageId = 1031;
    settings.CompiledPdf = 1;
    settings.Copies = 3;
    settings.SpeedDvd = 4;
    RegistryKey key(location_, true);
    SaveLanguageSetting(key, settings);
    SaveWriteSettings(key, settings, {"250", -1, true});
    EXPECT_EQ(Dword("Language"), 1031u);
    EXPECT_EQ(Dword("Compiled PDF"), 1u);
    EXPECT_EQ(Dword("Copies"), 3u);
    EXPECT_EQ(Dword("Max PDF File Size"), 250u);
    EXPECT_EQ(Dword("RW Disc Policy"), 0u) << "nothing selected: the first item";
    EXPECT_EQ(Dword("Writing Speed DVD"), 4u);
    EXPECT_EQ(Dword("Delete Hotkey Files"), 1u);
    EXPECT_TRUE(settings.DeleteHotkeyFiles);

    SaveWriteSettings(key, settings, {"not a number", 1, false});
    EXPECT_EQ(Dword("Max PDF File Size"), 250u) << "a bad size keeps the current one";
    EXPECT_EQ(Dword("RW Disc Policy"), 1u);
}

TEST_F(SettingsStoreTest, SaveScanSettingsRewritesTheScannerSubkey)
{
    Put("Color Modes", std::string("2"), "S1");
    Put("File Formats", std::string("4|0|2|4"), "S1");
    Put("Resolution", std::string("200|75|1200"), "S1");
    Put("Page Size", std::string("1|1|3|4"), "S1");
    Settings settings;
    RegistryKey key(location_, true);
    ScanSettingsInput input;
    input.SelectedScanner = "S1";
    input.PageWaitText = "400";
    input.ColorModeText = "Grayscale";
    input.FileFormatText = "BMP";
    input.ResolutionCaption = "300";
    input.PageSizeCaption = "Letter";
    input.DuplexVisible = true;
    SaveScanSettings(key, location_, settings, input);
    EXPECT_EQ(String("Default Scanner"), "S1");
    EXPECT_EQ(Dword("Next Page Wait"), 300u);
    EXPECT_EQ(String("Color Modes", "\\S1"), "1");
    EXPECT_EQ(String("File Formats", "\\S1"), "2|0|2|4");
    EXPECT_EQ(String("Resolution", "\\S1"), "300|75|1200");
    EXPECT_EQ(String("Page Size", "\\S1"), "3|1|3|4");
    EXPECT_EQ(Dword("Duplex Enable") , std::nullopt);
    EXPECT_EQ(testsupport::ReadRegDword(HKEY_CURRENT_USER, Wide(location_.Path + "\\S1"), L"Duplex Enable"), 0u);
}

TEST(SettingsCodeLists, RewritesFollowTheChoice)
{
    EXPECT_EQ(RewriteResolution("200|75|1200", ""), "200|75|1200");
    EXPECT_EQ(RewritePageSize("1|1|3|4", "Folio"), "1|1|3|4");
    EXPECT_EQ(RewritePageSize("1", "A5"), "5|");
    EXPECT_EQ(RewriteCodeList("2|0|1|2", CodeTable::ColorModes, "Sepia"), "2|0|1|2");
    EXPECT_EQ(NameOfCode(CodeTable::PageSizes, 2), "B5");
    EXPECT_EQ(CodeOfName(CodeTable::FileFormats, "PNG"), 7);
    EXPECT_EQ(CompiledPdfLabels(2), std::make_pair(std::string("No"), std::string("Yes")));
    EXPECT_EQ(CapacityText(2), "4,200 MB");
}

TEST(SettingsChoices, StoredCodeListsOfferTheKnownCodesInTheirOrder)
{
    struct Row {
        const char* Stored;
        std::vector<std::string> Items;
        const char* Text;
    };
    const Row rows[] = {
        {"1|0|1|2", {"Black and White", "Grayscale", "24-bit Color"}, "Grayscale"},
        {"2|1|0", {"Grayscale", "Black and White"}, ""},
        {"0|9|x|0|", {"Black and White"}, "Black and White"},
        {"2", {}, ""},
        {"", {}, ""},
    };
    for (const Row& row : rows) {
        ChoiceList list = StoredCodeChoices(CodeTable::ColorModes, row.Stored);
        EXPECT_EQ(list.Items, row.Items) << row.Stored;
        EXPECT_EQ(list.Text, row.Text) << row.Stored;
    }
    EXPECT_EQ(StoredCodeChoices(CodeTable::PageSizes, "3|1|3|4").Items, (std::vector<std::string>{"A4", "Letter", "Legal"}));
}

TEST(SettingsChoices, StoredResolutionRangesEndWhateverTheyHold)
{
    struct Row {
        const char* Stored;
        std::vector<std::string> Items;
    };
    const Row rows[] = {
        {"200|75|1200", {"75", "200", "300", "600", "1200"}},
        {"300|300|300", {"300"}},
        {"0|0|1200", {"0", "200", "300", "600", "1200"}},
        {"-4|-4|100", {"-4"}},
        {"150|75|600", {"75", "150", "200", "300", "600"}},
        {"2147483647|1073741824|2147483647", {"1073741824", "2147483647"}},
        {"200|75", {}},
        {"abc|75|600", {}},
        {"", {}},
    };
    for (const Row& row : rows) {
        ChoiceList list = StoredResolutionChoices(row.Stored);
        EXPECT_EQ(list.Items, row.Items) << row.Stored;
        EXPECT_EQ(list.Text, std::string(row.Stored).substr(0, std::string(row.Stored).find('|'))) << row.Stored;
    }
}

TEST(SettingsChoices, TypedPageWaitIsHeldToItsRangeWithoutOverflow)
{
    const std::pair<std::string, std::optional<int>> rows[] = {
        {"", std::nullopt}, {"1", 5}, {"30", 30}, {"309", 300}, {"0005", 5}, {"000300", 300},
        {std::string(40, '9'), 300}, {"12a", std::nullopt}, {"-5", std::nullopt}, {" 30", std::nullopt},
    };
    for (const auto& [text, wait] : rows)
        EXPECT_EQ(PageWaitOf(text), wait) << "\"" << text << "\"";
}

TEST(RecentList, NewestBecomesSecondAndOldestFallsOff)
{
    struct Row {
        const char* Context;
        std::vector<std::string> Before;
        const char* Text;
        std::vector<std::string> After;
    };
    const Row rows[] = {
        {"new text", {"Scanned Doc", "A", "B", "C", "D"}, "E", {"Scanned Doc", "E", "A", "B", "C"}},
        {"earlier copy moves up", {"Scanned Doc", "A", "B", "C", "D"}, "C", {"Scanned Doc", "C", "A", "B", "D"}},
        {"first entry changes nothing", {"Scanned Doc", "A"}, "Scanned Doc", {"Scanned Doc", "A"}},
        {"one entry", {"Scanned Doc"}, "X", {"Scanned Doc", "X"}},
        {"grows to five", {"Scanned Doc", "A", "B"}, "X", {"Scanned Doc", "X", "A", "B"}},
        {"empty list stays empty", {}, "X", {}},
    };
    for (const Row& row : rows) {
        std::vector<std::string> items = row.Before;
        UpdateRecentList(items, row.Text);
        EXPECT_EQ(items, row.After) << row.Context;
    }
}

TEST_F(SettingsStoreTest, RecentListIsStoredAndOverlongEntriesAreCut)
{
    RegistryKey(location_, true);
    SaveRecentList(location_, "Disc Label", {"Scanned Doc", std::string(300, 'x')});
    EXPECT_EQ(String("Disc Label 0"), "Scanned Doc");
    EXPECT_EQ(String("Disc Label 1"), std::string(255, 'x'));
    Settings settings;
    SettingsView view;
    LoadAtStart(settings, view);
    ASSERT_TRUE(view.DiscLabels);
    EXPECT_EQ(view.DiscLabels->size(), 2u) << "the cut entry reads back";
}

}  // namespace
