// The pure pieces of the driver database model: numbers, dates, versions, disc types, mappings, fallbacks.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "DrvDb.h"

using namespace drvdb;

namespace {

struct NumberCase {
    const char* text;
    bool ok;
    double value;
};

TEST(DrvDbNumbers, StrictDoubleTakesOnlyPlainDecimals) {
    const NumberCase cases[] = {
        {"1", true, 1},      {"-1.5", true, -1.5}, {".5", true, 0.5},   {"16", true, 16},   {"1e5", false, 0},
        {"", false, 0},      {"-", false, 0},      {".", false, 0},     {"1.2.3", false, 0}, {"1-2", false, 0},
        {" 1", false, 0},    {"+1", false, 0},     {"0x10", false, 0},  {"inf", false, 0},
    };
    for (const NumberCase& c : cases) {
        double value = 0xdeadbeef;
        EXPECT_EQ(ParseStrictDouble(c.text, value), c.ok) << "\"" << c.text << "\"";
        EXPECT_DOUBLE_EQ(value, c.ok ? c.value : 0xdeadbeef) << c.text;
    }
}

TEST(DrvDbNumbers, StrictIntTakesOnlyWholeDecimals) {
    const NumberCase cases[] = {
        {"42", true, 42},   {"-7", true, -7},    {"0", true, 0},        {"4.2", false, 0},
        {"1-2", false, 0},  {"-", false, 0},     {"12abc", false, 0},   {"", false, 0},
        {"2147483647", true, 2147483647.0},      {"2147483648", false, 0}, {"99999999999999999999", false, 0},
    };
    for (const NumberCase& c : cases) {
        int value = 0x5a5a;
        EXPECT_EQ(ParseStrictInt(c.text, value), c.ok) << "\"" << c.text << "\"";
        EXPECT_EQ(value, c.ok ? static_cast<int>(c.value) : 0x5a5a) << c.text;
    }
}

TEST(DrvDbDates, ModifiedDateIsLocalTimeToTheMinute) {
    const int64_t base = ParseModifiedDate("2026-11-20 14:30");
    ASSERT_NE(base, 0);
    EXPECT_EQ(ParseModifiedDate("2026-11-20 14:31"), base + 60);
    EXPECT_EQ(ParseModifiedDate("2026-11-21 14:30"), base + 86400);
}

// Seconds since 1970 back to the local wall clock through the system's own time zone conversion.
SYSTEMTIME LocalWallClock(int64_t seconds) {
    const int64_t ticks = (seconds + 11644473600) * 10000000;
    const FILETIME file = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utc = {}, local = {};
    EXPECT_TRUE(FileTimeToSystemTime(&file, &utc));
    EXPECT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    return local;
}

// Every date read back through the system's time zone (with its daylight saving) is the wall-clock time it was.
TEST(DrvDbDates, DatesPast2038AndBefore1970StayWhole) {
    const struct {
        const char* text;
        WORD year, month, day, hour, minute;
    } cases[] = {
        {"2040-01-01 00:00", 2040, 1, 1, 0, 0},  {"2038-01-19 03:15", 2038, 1, 19, 3, 15},
        {"2106-02-07 06:29", 2106, 2, 7, 6, 29}, {"2999-12-31 23:59", 2999, 12, 31, 23, 59},
        {"1969-07-20 20:17", 1969, 7, 20, 20, 17}, {"1900-03-01 12:00", 1900, 3, 1, 12, 0},
        {"1601-01-02 00:00", 1601, 1, 2, 0, 0},  {"2026-11-20 14:30", 2026, 11, 20, 14, 30},
        {"2026-07-01 12:00", 2026, 7, 1, 12, 0},
    };
    for (const auto& c : cases) {
        const int64_t seconds = ParseModifiedDate(c.text);
        ASSERT_NE(seconds, 0) << c.text;
        const SYSTEMTIME back = LocalWallClock(seconds);
        EXPECT_EQ((std::vector<WORD>{back.wYear, back.wMonth, back.wDay, back.wHour, back.wMinute, back.wSecond}),
                  (std::vector<WORD>{c.year, c.month, c.day, c.hour, c.minute, 0}))
            << c.text;
    }
    EXPECT_GT(ParseModifiedDate("2040-01-01 00:00"), int64_t{0x7fffffff});
    EXPECT_GT(ParseModifiedDate("2106-02-08 00:00"), int64_t{0xffffffff});
    EXPECT_LT(ParseModifiedDate("1969-07-20 20:17"), 0);
    EXPECT_EQ(ParseModifiedDate("2040-01-02 00:00") - ParseModifiedDate("2040-01-01 00:00"), 86400);
    EXPECT_EQ(ParseModifiedDate("1969-12-31 00:00") - ParseModifiedDate("1969-12-30 00:00"), 86400);
    EXPECT_EQ(ParseModifiedDate("1600-12-31 00:00"), 0);  // before the system's calendar begins
}

// The C runtime's mktime lets fields run over into the next unit; stored dates may rely on it.
TEST(DrvDbDates, FieldsOutOfRangeCarryOver) {
    const struct {
        const char* text;
        const char* same;
    } cases[] = {
        {"2026-13-01 10:00", "2027-01-01 10:00"}, {"2026-02-30 10:00", "2026-03-02 10:00"},
        {"2024-02-30 10:00", "2024-03-01 10:00"}, {"2026-00-15 10:00", "2025-12-15 10:00"},
        {"2026-05-01 24:00", "2026-05-02 00:00"}, {"2026-05-01 10:60", "2026-05-01 11:00"},
        {"2040-12-32 00:00", "2041-01-01 00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseModifiedDate(c.text), ParseModifiedDate(c.same)) << c.text;
}

TEST(DrvDbDates, TextWithoutAllFiveNumbersIsZero) {
    for (const char* text : {"", "2026-11-20", "2026-11-20 14", "yesterday", "2026/11/20 14:30"}) {
        EXPECT_EQ(ParseModifiedDate(text), 0) << text;
    }
}

class FakeDatabase : public CDriverDatabase {
public:
    FakeDatabase(int revision, int64_t time) : revision_(revision), time_(time) {}
    ~FakeDatabase() override = default;
    void Release() override {}
    int Revision() const override { return revision_; }
    std::string PatchId() const override { return ""; }
    std::string ModifiedDate() const override { return ""; }
    int64_t ModifiedTime() const override { return time_; }
    CMapping* GetMapping(const std::string&, int) const override { throw CError(CError::MappingNotFound); }
    CFallbackList* GetFallbacks() const override { return NewFallbackList({}); }

private:
    int revision_;
    int64_t time_;
};

TEST(DrvDbVersions, NewerByRevisionThenModifiedTime) {
    struct {
        int revisionA;
        int64_t timeA;
        int revisionB;
        int64_t timeB;
        bool newer;
    } const cases[] = {
        {2, 0, 1, 0, true},         {1, 0, 2, 0, false},   {1, 0, 1, 0, false},
        {1, 100, 1, 40, true},      {1, 40, 1, 100, false}, {2, 0, 1, 5000, true},
        {1, 0x100000000LL, 1, 1, true},  // compared in 64 bits
        {1, -100, 1, -200, true},   {1, -200, 1, -100, false},  // before 1970
    };
    for (const auto& c : cases) {
        FakeDatabase a(c.revisionA, c.timeA), b(c.revisionB, c.timeB);
        EXPECT_EQ(IsNewerDatabase(a, b), c.newer) << c.revisionA << "/" << c.timeA << " vs " << c.revisionB << "/"
                                                  << c.timeB;
    }
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(DrvDbDiscTypes, SplitGivesEveryPrefixInTableOrder) {
    // "DVD-R" is a prefix too, and "DVD-RW" stands twice in the table.
    EXPECT_EQ(SplitDiscTypePrefix("DVD-RW (RO)max-write-speed"),
              (Pairs{{"DVD-R", "W (RO)max-write-speed"},
                     {"DVD-RW", " (RO)max-write-speed"},
                     {"DVD-RW", " (RO)max-write-speed"},
                     {"DVD-RW (RO)", "max-write-speed"}}));
    EXPECT_EQ(SplitDiscTypePrefix("CD-ROMspeed"), (Pairs{{"CD-ROM", "speed"}, {"CD-R", "OMspeed"}}));
    EXPECT_EQ(SplitDiscTypePrefix("BD-R (RR)x"), (Pairs{{"BD-R", " (RR)x"}, {"BD-R (RR)", "x"}}));
    EXPECT_EQ(SplitDiscTypePrefix("buffer-kb"), (Pairs{{"", "buffer-kb"}}));
    EXPECT_EQ(SplitDiscTypePrefix("cd-rspeed"), (Pairs{{"", "cd-rspeed"}}));  // byte compare
}

MappingData SampleMapping() {
    MappingData data;
    data.id = "KESTREL DW-1620";
    data.kind = DeviceMapping;
    data.includes = {"dvd-writer-2005", "quirks"};
    data.properties[{"", "buffer-kb"}] = "2048";
    data.properties[{"DVD+R", "max-write-speed"}] = "16";
    data.properties[{"", "ratio"}] = "0.75";
    data.properties[{"", "bad"}] = "1e3";
    return data;
}

TEST(DrvDbMapping, LooksPropertiesUpByDiscTypeAndParsesStrictly) {
    Ref<CMapping> mapping(NewMapping(SampleMapping()));
    std::string text;
    EXPECT_TRUE(mapping->GetString(nullptr, "buffer-kb", text));
    EXPECT_EQ(text, "2048");
    EXPECT_FALSE(mapping->GetString("DVD+R", "buffer-kb", text));
    int number = 0;
    EXPECT_TRUE(mapping->GetInt("DVD+R", "max-write-speed", number));
    EXPECT_EQ(number, 16);
    EXPECT_FALSE(mapping->GetInt(nullptr, "max-write-speed", number));
    double ratio = 0;
    EXPECT_TRUE(mapping->GetDouble(nullptr, "ratio", ratio));
    EXPECT_DOUBLE_EQ(ratio, 0.75);
    EXPECT_FALSE(mapping->GetInt(nullptr, "ratio", number));
    EXPECT_FALSE(mapping->GetDouble(nullptr, "bad", ratio));
    EXPECT_EQ(mapping->IncludeCount(), 2);
    EXPECT_EQ(mapping->Include(1), "quirks");
    EXPECT_EQ(mapping->Include(2), "");
    EXPECT_EQ(mapping->Include(-1), "");
}

TEST(DrvDbMapping, IteratorWalksByDiscTypeThenId) {
    Ref<CMapping> mapping(NewMapping(SampleMapping()));
    Ref<CPropertyIterator> iterator(mapping->NewPropertyIterator());
    std::vector<std::string> seen;
    while (iterator->Next()) seen.push_back(iterator->Dt() + "|" + iterator->Id() + "=" + iterator->Value());
    EXPECT_EQ(seen, (std::vector<std::string>{"|bad=1e3", "|buffer-kb=2048", "|ratio=0.75", "DVD+R|max-write-speed=16"}));
    EXPECT_FALSE(iterator->Next());
}

TEST(DrvDbFallbacks, FirstExactMatchWinsAndAbsentDiscTypeMatchesOnlyAll) {
    Ref<CFallbackList> list(NewFallbackList({{"", "speed", 52, 48}, {"CD-R", "speed", 52, 40}, {"", "speed", 52, 1}}));
    double fallback = 0;
    EXPECT_TRUE(list->Find(nullptr, "speed", 52, fallback));
    EXPECT_EQ(fallback, 48);
    EXPECT_TRUE(list->Find("CD-R", "speed", 52, fallback));
    EXPECT_EQ(fallback, 40);
    EXPECT_FALSE(list->Find("DVD-R", "speed", 52, fallback));
    EXPECT_FALSE(list->Find(nullptr, "speed", 52.0001, fallback));
}

TEST(DrvDbErrors, XmlErrorIsKindFiveWithParserDetails) {
    try {
        throw CXMLError(2, "Error reading Attributes.", 3, 7);
    } catch (const CError& error) {
        EXPECT_EQ(error.Kind(), CError::Xml);
        EXPECT_EQ(error.Code(), 2);
        const auto* xml = dynamic_cast<const CXMLError*>(&error);
        ASSERT_NE(xml, nullptr);
        EXPECT_EQ(xml->Row(), 3);
        EXPECT_EQ(xml->Column(), 7);
    }
    EXPECT_EQ(CError(CError::InvalidData).Code(), -1);
}

}  // namespace
