// What the sources offer: containers of every kind read within their memory, the offered lists and
// resolutions, and the scanner subkeys written from the lab's virtual scanner through Wine's source manager.
#include "TwainTestSupport.h"

#include <cstring>

#include "ScannerCaps.h"

using namespace pagorin;
using namespace twaintest;

namespace {

// A container as a source lays it out: a header, then items of the item type.
class ContainerBytes {
public:
    template <class T>
    ContainerBytes& Add(T value)
    {
        const auto* raw = reinterpret_cast<const TW_UINT8*>(&value);
        bytes_.insert(bytes_.end(), raw, raw + sizeof(value));
        return *this;
    }
    const TW_UINT8* Data() const { return bytes_.data(); }
    size_t Size() const { return bytes_.size(); }

private:
    std::vector<TW_UINT8> bytes_;
};

TW_UINT32 Fix32Item(TW_INT16 whole, TW_UINT16 frac = 0)
{
    TW_FIX32 fix{whole, frac};
    TW_UINT32 item;
    memcpy(&item, &fix, sizeof(item));
    return item;
}

}  // namespace

TEST(ScannerCaps, ItemsFormatAsTheirTypes)
{
    const TW_UINT32 minusTwo = 0xFFFFFFFE;
    const TW_UINT32 fix = Fix32Item(300, 0x8000);
    const char name[34] = "Flatbed";
    struct Row {
        TW_UINT16 Type;
        const void* Item;
        size_t Available;
        const char* Text;
    } rows[] = {
        {TWTY_INT8, &minusTwo, 4, "-2"},          {TWTY_INT16, &minusTwo, 4, "-2"},
        {44, &minusTwo, 4, "-2"},                 {TWTY_INT32, &minusTwo, 4, "-2"},
        {TWTY_UINT8, &minusTwo, 4, "254"},        {TWTY_UINT16, &minusTwo, 4, "65534"},
        {TWTY_BOOL, &minusTwo, 4, "65534"},       {TWTY_UINT32, &minusTwo, 4, "4294967294"},
        {43, &minusTwo, 4, "4294967294"},         {TWTY_FIX32, &fix, 4, "300.500000"},
        {TWTY_STR32, name, sizeof(name), "Flatbed"}, {TWTY_STR255, name, 3, "Fla"},
        {TWTY_UINT32, &minusTwo, 2, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FormatTwainItem(row.Type, static_cast<const TW_UINT8*>(row.Item), row.Available), row.Text)
            << "type " << row.Type;
    EXPECT_DOUBLE_EQ(Fix32ToFloat({-1, 0x4000}), -0.75);
    EXPECT_DOUBLE_EQ(Fix32ToFloat({600, 0}), 600.0);
}

TEST(ScannerCaps, ContainersOfEveryKindAreReadWithinTheirMemory)
{
    ContainerBytes enumeration;
    enumeration.Add<TW_UINT16>(TWTY_UINT16).Add<TW_UINT32>(3).Add<TW_UINT32>(2).Add<TW_UINT32>(1);
    enumeration.Add<TW_UINT16>(0).Add<TW_UINT16>(1).Add<TW_UINT16>(2);
    std::optional<ContainerValues> values = ParseContainer(TWON_ENUMERATION, enumeration.Data(), enumeration.Size());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Items, (std::vector<long>{0, 1, 2}));
    EXPECT_EQ(values->Current, 2);
    EXPECT_EQ(values->Default, 1);

    // A count beyond the memory is read only as far as the memory goes.
    ContainerBytes cut;
    cut.Add<TW_UINT16>(TWTY_UINT16).Add<TW_UINT32>(100000).Add<TW_UINT32>(99).Add<TW_UINT32>(0).Add<TW_UINT16>(4);
    values = ParseContainer(TWON_ENUMERATION, cut.Data(), cut.Size());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Items, std::vector<long>{4});
    EXPECT_EQ(values->Current, 4);

    ContainerBytes array;
    array.Add<TW_UINT16>(TWTY_UINT32).Add<TW_UINT32>(2).Add<TW_UINT32>(7).Add<TW_UINT32>(0);
    values = ParseContainer(TWON_ARRAY, array.Data(), array.Size());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Items, (std::vector<long>{7, 0}));
    EXPECT_EQ(values->Min, 0);
    EXPECT_EQ(values->Max, 7);

    ContainerBytes one;
    one.Add<TW_UINT16>(TWTY_UINT16).Add<TW_UINT32>(1);
    values = ParseContainer(TWON_ONEVALUE, one.Data(), one.Size());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Items, std::vector<long>{1});
    EXPECT_EQ(values->Current, 1);

    ContainerBytes range;
    range.Add<TW_UINT16>(TWTY_FIX32).Add(Fix32Item(100)).Add(Fix32Item(400, 0x8000)).Add(Fix32Item(100));
    range.Add(Fix32Item(200)).Add(Fix32Item(300));
    values = ParseContainer(TWON_RANGE, range.Data(), range.Size());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Min, 100);
    EXPECT_EQ(values->Max, 400) << "a fraction does not count";
    EXPECT_EQ(values->Default, 200);
    EXPECT_EQ(values->Current, 300);
    EXPECT_EQ(values->Items, (std::vector<long>{100, 200, 300, 400}));

    EXPECT_FALSE(ParseContainer(TWON_RANGE, range.Data(), range.Size() - 1));
    EXPECT_FALSE(ParseContainer(TWON_ONEVALUE, one.Data(), 4));
    EXPECT_FALSE(ParseContainer(TWON_ENUMERATION, enumeration.Data(), 10));
    EXPECT_FALSE(ParseContainer(99, one.Data(), one.Size()));
    EXPECT_FALSE(ParseContainer(TWON_ONEVALUE, nullptr, 6));
}

TEST(ScannerCaps, RangeWithoutAStepIsCountedOutWithinABound)
{
    ContainerBytes range;
    range.Add<TW_UINT16>(TWTY_UINT32).Add<TW_UINT32>(0).Add<TW_UINT32>(0x7FFFFFFF).Add<TW_UINT32>(0);
    range.Add<TW_UINT32>(5).Add<TW_UINT32>(5);
    std::optional<ContainerValues> values = ParseContainer(TWON_RANGE, range.Data(), range.Size());
    ASSERT_TRUE(values);
    EXPECT_EQ(values->Items.size(), 1024u);
    EXPECT_EQ(values->Max, 0x7FFFFFFF);
}

TEST(ScannerCaps, OfferedCodesPickTheStoredOrPreferredOne)
{
    struct Row {
        const char* Context;
        CodeTable Table;
        std::vector<long> Offered;
        const char* Stored;
        const char* Expected;
        const char* Shown;
        size_t Names;
    } rows[] = {
        {"grey preferred", CodeTable::ColorModes, {0, 1, 2}, "", "1|0|1|2", "Grayscale", 3},
        {"last offered without grey", CodeTable::ColorModes, {0, 2}, "", "2|0|2", "24-bit Color", 2},
        {"stored wins", CodeTable::ColorModes, {0, 1, 2}, "2|0|1|2", "2|0|1|2", "24-bit Color", 3},
        {"nothing known", CodeTable::ColorModes, {5, 6}, "", "-999", "", 0},
        {"unknown codes left out", CodeTable::ColorModes, {9, 0}, "", "0|0", "Black and White", 1},
        {"JPG preferred", CodeTable::FileFormats, {0, 2, 4, 7}, "", "4|0|2|4|7", "JPG", 4},
        {"TIFF and BMP give BMP", CodeTable::FileFormats, {0, 2}, "", "2|0|2", "BMP", 2},
        {"first known size", CodeTable::PageSizes, {9, 3, 1}, "", "3|9|3|1", "Letter", 2},
        {"stored size", CodeTable::PageSizes, {0, 1, 2}, "1|0|1", "1|0|1|2", "A4", 3},
    };
    for (const Row& row : rows) {
        CodeOffer offer = OfferCodes(row.Table, row.Offered, row.Stored);
        EXPECT_EQ(offer.Stored, row.Expected) << row.Context;
        EXPECT_EQ(offer.List.Text, row.Shown) << row.Context;
        EXPECT_EQ(offer.List.Items.size(), row.Names) << row.Context;
    }
}

TEST(ScannerCaps, StoredListStaysReadableWithManyCodes)
{
    std::vector<long> many(500, 1234);
    CodeOffer offer = OfferCodes(CodeTable::PageSizes, many, "");
    EXPECT_LE(offer.Stored.size(), 255u);
    EXPECT_EQ(offer.Stored.substr(0, 10), "-999|1234|");
}

TEST(ScannerCaps, ResolutionListsDoubleUpToTheHighest)
{
    struct Row {
        long Lowest, Highest;
        std::vector<long> List;
    } rows[] = {
        {100, 1200, {100, 200, 300, 600, 1200}}, {75, 1200, {75, 200, 300, 600, 1200}}, {300, 600, {300, 600}},
        {300, 300, {300}}, {0, 150, {0}}, {-5, 100, {-5}}, {0, 600, {0, 200, 300, 600}},
        {1 << 29, 0x7FFFFFFF, {1 << 29, 1 << 30}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ResolutionList(row.Lowest, row.Highest), row.List) << row.Lowest << "-" << row.Highest;
}

TEST(ScannerCaps, ResolutionListBelowANegativeHighestDoesNotWrapAround)
{
    // A source's default of -2^31 makes the highest resolution negative: nothing is doubled past it.
    EXPECT_EQ(ResolutionList(100, -0x7FFFFFFF - 1), std::vector<long>{100});
    EXPECT_EQ(ResolutionList(1078673278, -1800072798), std::vector<long>{1078673278});
    ResolutionOffer offer = OfferResolutions({100, 50, -0x7FFFFFFF - 1}, {100, 50, -0x7FFFFFFF - 1}, "");
    EXPECT_EQ(offer.List.Items, std::vector<std::string>{"100"});
}

TEST(ScannerCaps, ResolutionsFromTheRanges)
{
    struct Row {
        const char* Context;
        ResolutionRange X, Y;
        const char* Stored;
        const char* Expected;
        std::vector<std::string> List;
    } rows[] = {
        {"low X minimum takes the default", {50, 600, 300}, {100, 1200, 100}, "", "300|300|600", {"300", "600"}},
        {"200 within the range", {75, 600, 200}, {75, 600, 200}, "", "200|75|600", {"75", "200", "300", "600"}},
        {"stored current", {75, 600, 200}, {75, 600, 200}, "300|1|2", "300|75|600", {"75", "200", "300", "600"}},
        {"Y maximum lowers the highest", {100, 1200, 300}, {100, 400, 300}, "", "200|100|400", {"100", "200", "300"}},
        {"zero Y maximum", {100, 600, 200}, {100, 0, 0}, "", "100|100|100", {"100"}},
        {"zero default", {0, 0, 0}, {0, 0, 0}, "", "0|0|0", {"0"}},
    };
    for (const Row& row : rows) {
        ResolutionOffer offer = OfferResolutions(row.X, row.Y, row.Stored);
        EXPECT_EQ(offer.Stored, row.Expected) << row.Context;
        EXPECT_EQ(offer.List.Items, row.List) << row.Context;
        EXPECT_EQ(offer.List.Text, offer.Stored.substr(0, offer.Stored.find('|'))) << row.Context;
    }
}

namespace {

class ScannerSubkey : public VirtualScannerTest {
protected:
    std::optional<std::string> Value(const char* name, const std::string& scanner = ScannerName) const
    {
        auto value = testsupport::ReadRegString(HKEY_CURRENT_USER, Wide(product_.Sub(scanner).Path), Wide(name));
        if (!value)
            return std::nullopt;
        return Narrow(*value);
    }
    std::optional<DWORD> Number(const char* name, const std::string& scanner = ScannerName) const
    {
        return testsupport::ReadRegDword(HKEY_CURRENT_USER, Wide(scanner.empty() ? product_.Path : product_.Sub(scanner).Path),
                                         Wide(name));
    }
    void Put(const char* name, const std::string& value) const
    {
        RegistryKey(product_.Sub(ScannerName), true).WriteString(name, value);
    }
    void Put(const char* name, DWORD value) const { RegistryKey(product_.Sub(ScannerName), true).WriteDword(name, value); }
};

}  // namespace

TEST_F(ScannerSubkey, QueryWritesTheSourcesOfferAndGivesTheLists)
{
    std::optional<ScannerCapabilities> found = QueryScannerCapabilities(twain_, product_, ScannerName);
    ASSERT_TRUE(found);
    EXPECT_EQ(Value("Color Modes"), "1|0|1|2");
    EXPECT_EQ(Value("File Formats"), "4|0|2|4|7");
    EXPECT_EQ(Value("Resolution"), "200|75|600");
    EXPECT_EQ(Value("Page Size"), "0|0|1|2|3|4|5|6|7");
    EXPECT_EQ(Number("Duplex Mode"), 0u);
    ASSERT_TRUE(found->ColorModes && found->FileFormats && found->Resolutions && found->PageSizes);
    EXPECT_EQ(found->ColorModes->Items, (std::vector<std::string>{"Black and White", "Grayscale", "24-bit Color"}));
    EXPECT_EQ(found->ColorModes->Text, "Grayscale");
    EXPECT_EQ(found->FileFormats->Text, "JPG");
    EXPECT_EQ(found->Resolutions->Items, (std::vector<std::string>{"75", "200", "300", "600"}));
    EXPECT_EQ(found->Resolutions->Text, "200");
    EXPECT_EQ(found->PageSizes->Items.size(), 8u);
    EXPECT_EQ(found->PageSizes->Text, "None");
    EXPECT_EQ(found->DuplexMode, 0);
    EXPECT_TRUE(twain_.SourceOpen());
}

TEST_F(ScannerSubkey, StoredChoicesStayCurrentAndADuplexFeederShowsItsChoice)
{
    Scenario("[Scanner]\nDuplex = yes\n");
    Put("Color Modes", "2|0|1|2");
    Put("Resolution", "300|75|600");
    Put("Page Size", "5|1|5");
    Put("Duplex Enable", 1);
    std::optional<ScannerCapabilities> found = QueryScannerCapabilities(twain_, product_, ScannerName);
    ASSERT_TRUE(found);
    EXPECT_EQ(Value("Color Modes"), "2|0|1|2");
    EXPECT_EQ(found->ColorModes->Text, "24-bit Color");
    EXPECT_EQ(Value("Resolution"), "300|75|600");
    EXPECT_EQ(found->Resolutions->Text, "300");
    EXPECT_EQ(Value("Page Size"), "5|0|1|2|3|4|5|6|7");
    EXPECT_EQ(found->PageSizes->Text, "A5");
    EXPECT_EQ(Number("Duplex Mode"), 1u);
    EXPECT_EQ(found->DuplexMode, 1);
    EXPECT_TRUE(found->DuplexChecked);
}

TEST_F(ScannerSubkey, QueryOpensOnlyTheSourceAskedForAndWritesUnderItsName)
{
    Scenario("[Scanner]\nProductName = Lab Scanner B\n");
    EXPECT_FALSE(QueryScannerCapabilities(twain_, product_, ScannerName));
    EXPECT_FALSE(Value("Color Modes"));
    EXPECT_FALSE(twain_.SourceOpen());
    ASSERT_TRUE(QueryScannerCapabilities(twain_, product_, "Lab Scanner B"));
    EXPECT_EQ(Value("Color Modes", "Lab Scanner B"), "1|0|1|2");
    EXPECT_EQ(std::string(twain_.SourceIdentity.ProductName), "Lab Scanner B");
}

TEST_F(ScannerSubkey, RefusedListIsLeftEmptyAndARefusedResolutionEndsTheQuery)
{
    Scenario("[Scanner]\nRefuseCapabilities = ICAP_PIXELTYPE, ICAP_YRESOLUTION\n");
    std::optional<ScannerCapabilities> found = QueryScannerCapabilities(twain_, product_, ScannerName);
    ASSERT_TRUE(found);
    ASSERT_TRUE(found->ColorModes);
    EXPECT_TRUE(found->ColorModes->Items.empty());
    EXPECT_FALSE(Value("Color Modes"));
    EXPECT_EQ(Value("File Formats"), "4|0|2|4|7");
    EXPECT_EQ(Number("Duplex Mode"), 0u);
    EXPECT_FALSE(found->Resolutions);
    EXPECT_FALSE(found->PageSizes);
    EXPECT_FALSE(Value("Resolution"));
    EXPECT_FALSE(Value("Page Size"));
}

TEST_F(ScannerSubkey, FirstUseMakesTheDefaultSourceTheScannerAndWritesTheFirstUseValues)
{
    ScannerList list = EnumerateScanners(twain_, product_, "", false);
    auto row = std::find(list.Names.begin(), list.Names.end(), ScannerName);
    ASSERT_NE(row, list.Names.end());
    ASSERT_FALSE(list.ChosenDefault.empty());
    EXPECT_EQ(list.Names[size_t(list.Selected)], list.ChosenDefault);
    auto product = [&](const char* name) {
        return testsupport::ReadRegString(HKEY_CURRENT_USER, Wide(product_.Path), Wide(name));
    };
    EXPECT_EQ(product("Default Scanner"), Wide(list.ChosenDefault));
    for (auto [name, value] : {std::pair{"Disc Type", 0u}, {"Compiled PDF", 0u}, {"Max PDF File Size", 100u},
                               {"RW Disc Policy", 0u}})
        EXPECT_EQ(Number(name, ""), value) << name;
    EXPECT_EQ(Number("Visible"), 1u);
    for (const char* name : {"Color Modes", "Resolution", "File Formats", "Page Size"})
        EXPECT_EQ(Value(name), "") << name;
}

TEST_F(ScannerSubkey, KnownScannerIsSelectedAndItsValuesKept)
{
    Put("Color Modes", "2|0|1|2");
    ScannerList list = EnumerateScanners(twain_, product_, ScannerName, false);
    ASSERT_GE(list.Selected, 0);
    EXPECT_EQ(list.Names[size_t(list.Selected)], ScannerName);
    EXPECT_TRUE(list.ChosenDefault.empty());
    EXPECT_EQ(Value("Color Modes"), "2|0|1|2");
    EXPECT_FALSE(testsupport::ReadRegString(HKEY_CURRENT_USER, Wide(product_.Path), L"Default Scanner"));
}

TEST_F(ScannerSubkey, RemovedSourceStaysOffTheListUntilAllAreShownAgain)
{
    Put("Visible", 0u);
    ScannerList list = EnumerateScanners(twain_, product_, ScannerName, false);
    EXPECT_EQ(std::count(list.Names.begin(), list.Names.end(), ScannerName), 0);
    EXPECT_EQ(list.Selected, -1);
    list = EnumerateScanners(twain_, product_, ScannerName, true);
    EXPECT_EQ(std::count(list.Names.begin(), list.Names.end(), ScannerName), 1);
    EXPECT_EQ(Number("Visible"), 1u);
}

TEST_F(ScannerSubkey, SourceListSelectsTheCurrentScannerAndMakesItsSubkey)
{
    RegistryKey(product_, true);
    SourceRows rows = ListTwainSources(twain_, product_, ScannerName);
    ASSERT_GE(rows.Selected, 0);
    EXPECT_EQ(rows.Names[size_t(rows.Selected)], ScannerName);
    EXPECT_EQ(std::string(twain_.SourceIdentity.ProductName), ScannerName);
    EXPECT_TRUE(RegistryKey(product_.Sub(ScannerName), false).Valid());
}

TEST_F(ScannerSubkey, SourceListWithoutTheProductKeyWritesNothing)
{
    SourceRows rows = ListTwainSources(twain_, product_, "");
    EXPECT_FALSE(rows.Names.empty());
    EXPECT_EQ(rows.Selected, -1);
    EXPECT_FALSE(RegistryKey(product_, false).Valid());
}
