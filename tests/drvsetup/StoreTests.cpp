// The XML and registry stores: reading, checking, writing to exact bytes and to the prefix's registry.
#include <gtest/gtest.h>

#include "DrvDb.h"
#include "DrvSetupTestUtil.h"
#include "RegDriverDatabase.h"
#include "XmlDriverDatabase.h"

using namespace drvdb;
using namespace drvsetuptest;
using testsupport::ReadRegDword;
using testsupport::ReadRegString;

namespace {

const char kBody[] =
    "<mappings type=\"DeviceClass\">"
    "<mapping id=\"bd-writer\"><p id=\"buffer-kb\" value=\"4096\"/><p id=\"max-write-speed\" dt=\"BD-R\" value=\"12\"/>"
    "</mapping></mappings>"
    "<mappings type=\"device\">"
    "<mapping id=\"KESTREL BW-1212\"><include-mapping srcid=\"bd-writer\"/><p id=\"tray\" value=\"1\"/>"
    "<include-mapping srcid=\"quirks\"/></mapping>"
    "</mappings>"
    "<mappings type=\"device\"><mapping id=\"kestrel bw-1212\"><p id=\"second\" value=\"yes\"/></mapping>"
    "<mapping id=\"ORVIN RX-500A\"><p id=\"speed2\" value=\"8\"/></mapping></mappings>"
    "<fallbacks><fallback p-id=\"max-write-speed\" p-value=\"52\" fallback=\"48\"/>"
    "<fallback p-id=\"max-write-speed\" p-dt=\"BD-R\" p-value=\"16\" fallback=\"12\"/>"
    "<fallback p-id=\"speed\" p-value=\"1e3\" fallback=\"1\"/></fallbacks>"
    "<fallbacks><fallback p-id=\"second-list\" p-value=\"1\" fallback=\"2\"/></fallbacks>";

// What only the XML store reads past: incomplete entries (the registry writer refuses them).
const char kIncomplete[] =
    "<mappings type=\"device\"><mapping id=\"INCOMPLETE\"><include-mapping/><p id=\"no-value\"/>"
    "<p value=\"no-id\"/><include-mapping srcid=\"kept\"/></mapping></mappings>";
const char kIncompleteFallbacks[] =
    "<fallbacks><fallback p-id=\"speed\" fallback=\"1\"/><fallback p-id=\"speed\" p-value=\"2\" fallback=\"x\"/>"
    "<fallback p-id=\"speed\" p-value=\"3\" fallback=\"4\"/></fallbacks>";

int ErrorKindOf(const std::string& database) {
    ParsedXml xml(database);
    if (!xml.Ok()) return -100;
    try {
        CXmlDriverDatabase* opened = new CXmlDriverDatabase(xml.Root());
        opened->Release();
        return -1;
    } catch (const CError& error) {
        return error.Kind();
    }
}

TEST(DrvXmlStore, LoadChecksTheRootInOrder) {
    const struct {
        const char* xml;
        int kind;  // -1: opens
    } cases[] = {
        {"<driver-database min-read-version=\"1\" revision=\"3\"/>", -1},
        {"<Driver-Database min-read-version=\"1\" revision=\"3\"/>", -1},
        {"<driver-db min-read-version=\"1\" revision=\"3\"/>", CError::InvalidData},
        {"<driver-database revision=\"3\"/>", CError::InvalidData},
        {"<driver-database min-read-version=\"2\" revision=\"3\"/>", CError::NeedsNewerReader},
        {"<driver-database min-read-version=\"2\"/>", CError::NeedsNewerReader},
        {"<driver-database min-read-version=\"1\"/>", CError::InvalidData},
        {"<driver-database min-read-version=\"1\" revision=\"three\"/>", CError::InvalidData},
        {"<driver-database min-read-version=\"1\" revision=\"3x\"/>", CError::InvalidData},
        {"<driver-database min-read-version=\"one\" revision=\"3\"/>", CError::InvalidData},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorKindOf(c.xml), c.kind) << c.xml;
}

TEST(DrvXmlStore, VersionAttributes) {
    ParsedXml xml(DatabaseXml(7, "2026-01-02 03:04", "", "patch-id=\"P7\""));
    Ref<CDriverDatabase> db(new CXmlDriverDatabase(xml.Root()));
    EXPECT_EQ(db->Revision(), 7);
    EXPECT_EQ(db->PatchId(), "P7");
    EXPECT_EQ(db->ModifiedDate(), "2026-01-02 03:04");
    EXPECT_EQ(db->ModifiedTime(), ParseModifiedDate("2026-01-02 03:04"));

    ParsedXml badDate(DatabaseXml(7, "soon"));
    Ref<CDriverDatabase> undated(new CXmlDriverDatabase(badDate.Root()));
    EXPECT_EQ(undated->ModifiedDate(), "");
    EXPECT_EQ(undated->ModifiedTime(), 0);
    EXPECT_EQ(undated->PatchId(), "");
}

TEST(DrvXmlStore, MappingsAreFoundByTypeAndIdInAnyCase) {
    ParsedXml xml(DatabaseXml(1, "", kBody));
    Ref<CDriverDatabase> db(new CXmlDriverDatabase(xml.Root()));

    Ref<CMapping> device(db->GetMapping("Kestrel BW-1212", DeviceMapping));
    EXPECT_EQ(device->Kind(), DeviceMapping);
    std::string text;
    EXPECT_TRUE(device->GetString(nullptr, "tray", text));
    EXPECT_FALSE(device->GetString(nullptr, "second", text));  // the first matching mapping wins
    EXPECT_FALSE(device->GetString(nullptr, "no-value", text));
    ASSERT_EQ(device->IncludeCount(), 2);
    EXPECT_EQ(device->Include(0), "bd-writer");
    EXPECT_EQ(device->Include(1), "quirks");

    // A second mappings element of the same type is searched too.
    Ref<CMapping> other(db->GetMapping("ORVIN RX-500A", DeviceMapping));
    EXPECT_TRUE(other->GetString(nullptr, "speed2", text));

    Ref<CMapping> deviceClass(db->GetMapping("BD-WRITER", DeviceClassMapping));
    EXPECT_EQ(deviceClass->Kind(), DeviceClassMapping);
    EXPECT_TRUE(deviceClass->GetString("BD-R", "max-write-speed", text));
    EXPECT_EQ(text, "12");
    EXPECT_TRUE(deviceClass->GetString(nullptr, "buffer-kb", text));

    for (const auto& [id, kind] : {std::pair<const char*, int>{"bd-writer", DeviceMapping}, {"nobody", DeviceClassMapping}}) {
        try {
            db->GetMapping(id, kind)->Release();
            ADD_FAILURE() << id << " found";
        } catch (const CError& error) {
            EXPECT_EQ(error.Kind(), CError::MappingNotFound);
        }
    }
}

TEST(DrvXmlStore, FallbacksComeFromTheFirstListAndSkipIncompleteEntries) {
    ParsedXml xml(DatabaseXml(1, "", kBody));
    Ref<CDriverDatabase> db(new CXmlDriverDatabase(xml.Root()));
    Ref<CFallbackList> fallbacks(db->GetFallbacks());
    double value = 0;
    EXPECT_TRUE(fallbacks->Find(nullptr, "max-write-speed", 52, value));
    EXPECT_EQ(value, 48);
    EXPECT_TRUE(fallbacks->Find("BD-R", "max-write-speed", 16, value));
    EXPECT_EQ(value, 12);
    EXPECT_FALSE(fallbacks->Find(nullptr, "speed", 1000, value));
    EXPECT_FALSE(fallbacks->Find(nullptr, "second-list", 1, value));
}

TEST(DrvXmlStore, IncompleteEntriesAreSkipped) {
    ParsedXml xml(DatabaseXml(1, "", std::string(kIncompleteFallbacks) + kIncomplete));
    Ref<CDriverDatabase> db(new CXmlDriverDatabase(xml.Root()));
    Ref<CMapping> mapping(db->GetMapping("incomplete", DeviceMapping));
    ASSERT_EQ(mapping->IncludeCount(), 1);
    EXPECT_EQ(mapping->Include(0), "kept");
    Ref<CPropertyIterator> properties(mapping->NewPropertyIterator());
    EXPECT_FALSE(properties->Next());
    Ref<CFallbackList> fallbacks(db->GetFallbacks());
    double value = 0;
    EXPECT_TRUE(fallbacks->Find(nullptr, "speed", 3, value));
    EXPECT_EQ(value, 4);
    EXPECT_FALSE(fallbacks->Find(nullptr, "speed", 2, value));
}

TEST(DrvXmlStore, WrittenFileHasTheLayoutToTheByte) {
    testsupport::TempDir dir;
    ParsedXml xml("<driver-database min-read-version=\"1\" revision=\"4\"><mappings type=\"device\">"
                  "<mapping id=\"A\"><p id=\"x\" value=\"1\" /><include-mapping srcid=\"B\" /></mapping>"
                  "</mappings><fallbacks /></driver-database>");
    const std::string url = FileUrl(dir.File(L"new\\folders\\driverdatabase.xml"));
    ASSERT_TRUE(WriteXmlDatabaseFile(url, xml.Root()));
    EXPECT_EQ(testsupport::ReadFileBytes(dir.File(L"new\\folders\\driverdatabase.xml")),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
              "<driver-database min-read-version=\"1\" revision=\"4\">\n"
              "<mappings type=\"device\">\n"
              "<mapping id=\"A\">\n"
              "    <p id=\"x\" value=\"1\" />\n"
              "    <include-mapping srcid=\"B\" />\n"
              "</mapping>\n"
              "</mappings>\n"
              "<fallbacks />\n"
              "</driver-database>");
    Ref<CDriverDatabase> reread(OpenDriverDatabase(url));
    EXPECT_EQ(reread->Revision(), 4);
    Ref<CMapping> mapping(reread->GetMapping("a", DeviceMapping));
    EXPECT_EQ(mapping->Include(0), "B");
}

TEST(DrvXmlStore, WriterFailsWithoutTouchingWhatItCannotReach) {
    testsupport::TempDir dir;
    ParsedXml xml(DatabaseXml(1));
    testsupport::WriteFileBytes(dir.File(L"Corvell"), "in the way");
    EXPECT_FALSE(WriteXmlDatabaseFile(FileUrl(dir.File(L"Corvell\\drivers\\driverdatabase.xml")), xml.Root()));
    EXPECT_EQ(testsupport::ReadFileBytes(dir.File(L"Corvell")), "in the way");
    EXPECT_FALSE(WriteXmlDatabaseFile("http://host/db.xml", xml.Root()));
    EXPECT_TRUE(WriteXmlDatabaseFile("FILE:///" + Utf8(dir.File(L"upper\\db.xml")), xml.Root()));
}

TEST(DrvXmlStore, FileParseErrorCarriesRowAndColumn) {
    testsupport::TempDir dir;
    testsupport::WriteFileBytes(dir.File(L"bad.xml"), "<?xml version=\"1.0\"?>\n<driver-database>\n  <a b=\"1\" c></a>\n</driver-database>");
    try {
        OpenDriverDatabase(FileUrl(dir.File(L"bad.xml")))->Release();
        FAIL() << "a broken file opened";
    } catch (const CXMLError& error) {
        EXPECT_EQ(error.Kind(), CError::Xml);
        EXPECT_GT(error.Code(), 0);
        EXPECT_FALSE(error.Message().empty());
        EXPECT_EQ(error.Row(), 3);
        EXPECT_EQ(error.Column(), 13);
    }
}

TEST(DrvXmlStore, FilesUpTo16MiBAreRead) {
    testsupport::TempDir dir;
    const std::string head = DatabaseXml(9).substr(0, DatabaseXml(9).size() - std::string("</driver-database>").size());
    const std::string tail = "</driver-database>";
    std::string text = head + "<!--" + std::string(0x1000000 - head.size() - tail.size() - 7, 'x') + "-->" + tail;
    ASSERT_EQ(text.size(), 0x1000000u);
    testsupport::WriteFileBytes(dir.File(L"big.xml"), text);
    Ref<CDriverDatabase> big(OpenDriverDatabase(FileUrl(dir.File(L"big.xml"))));
    EXPECT_EQ(big->Revision(), 9);

    testsupport::WriteFileBytes(dir.File(L"big.xml"), text + " ");
    try {
        OpenDriverDatabase(FileUrl(dir.File(L"big.xml")))->Release();
        FAIL() << "a file above 16 MiB opened";
    } catch (const CError& error) {
        EXPECT_EQ(error.Kind(), CError::InputOutput);
    }
}

// The parser recurses once per level: a file nested deeper than any database is refused before it is parsed.
TEST(DrvXmlStore, DeeplyNestedFileIsRefusedWithoutExhaustingTheStack) {
    testsupport::TempDir dir;
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<x>";
    testsupport::WriteFileBytes(dir.File(L"deep.xml"), "<?xml version=\"1.0\"?>\n" + DatabaseXml(3, "", deep));
    try {
        OpenDriverDatabase(FileUrl(dir.File(L"deep.xml")))->Release();
        FAIL() << "a file nested 100,000 levels deep opened";
    } catch (const CXMLError& error) {
        EXPECT_EQ(error.Row(), 2);
        EXPECT_EQ(error.Column(), 1 + int(DatabaseXml(3).find('>')) + 1 + 3 * (kMaxElementNesting - 1));
    }

    std::string nested;
    for (int i = 1; i < kMaxElementNesting; ++i) nested += "<x a='/>'>";
    for (int i = 1; i < kMaxElementNesting; ++i) nested += "</x>";
    testsupport::WriteFileBytes(dir.File(L"nested.xml"), DatabaseXml(4, "", "<!-- <x> -->" + nested + "<y/><![CDATA[<x>]]>"));
    Ref<CDriverDatabase> database(OpenDriverDatabase(FileUrl(dir.File(L"nested.xml"))));
    EXPECT_EQ(database->Revision(), 4) << "the deepest nesting allowed, comments and CDATA aside";
}

// Registry store, in a key of this process under HKEY_CURRENT_USER.

TEST(DrvRegStore, WritesTheKeyLayout) {
    TestRegKey key("Layout");
    ParsedXml xml(DatabaseXml(5, "2026-03-04 05:06", kBody, "patch-id=\"P5\""));
    ASSERT_TRUE(WriteRegistryDatabase(key.Url(), xml.Root()));
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key.Wide(), L"DriverVersion"), 5u);
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide(), L"PatchId"), L"P5");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide(), L"ModifiedDate"), L"2026-03-04 05:06");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide("FALLBACKS"), L"max-write-speed52"), L"48");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide("FALLBACKS"), L"BD-Rmax-write-speed16"), L"12");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide("FALLBACKS"), L"second-list1"), L"2");  // every list
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide("SETS\\bd-writer"), L"BD-Rmax-write-speed"), L"12");
    const std::wstring device = key.Wide("MAPPINGS\\KESTREL BW-1212");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, device, L"load1"), L"bd-writer");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, device, L"tray"), L"1");
    EXPECT_FALSE(key.Exists("MAPPINGS\\bd-writer"));
}

TEST(DrvRegStore, SourceTheKeyCannotHoldLeavesTheInstalledKey) {
    TestRegKey key("Validate");
    ParsedXml good(DatabaseXml(5, "", kBody));
    ASSERT_TRUE(WriteRegistryDatabase(key.Url(), good.Root()));
    const char* const broken[] = {
        "<mapping id=\"x\"><include-mapping/></mapping>", "<mapping id=\"x\"><p id=\"a\"/></mapping>",
        "<mapping id=\"x\"><p value=\"1\"/></mapping>", "<mapping><p id=\"a\" value=\"1\"/></mapping>",
    };
    for (const char* mapping : broken) {
        ParsedXml bad(DatabaseXml(6, "", std::string("<mappings type=\"device\">") + mapping + "</mappings>"));
        EXPECT_FALSE(WriteRegistryDatabase(key.Url(), bad.Root())) << mapping;
        EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key.Wide(), L"DriverVersion"), 5u) << mapping;
    }
    ParsedXml noType("<driver-database revision=\"6\"><mappings/></driver-database>");
    ParsedXml noRevision("<driver-database><mappings type=\"device\"/></driver-database>");
    ParsedXml badRevision("<driver-database revision=\"6b\"/>");
    ParsedXml badFallback("<driver-database revision=\"6\"><fallbacks><fallback p-id=\"a\" p-value=\"1\"/></fallbacks>"
                          "</driver-database>");
    for (const ParsedXml* bad : {&noType, &noRevision, &badRevision, &badFallback}) {
        EXPECT_FALSE(WriteRegistryDatabase(key.Url(), bad->Root()));
    }
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key.Wide(), L"DriverVersion"), 5u);
    EXPECT_TRUE(key.Exists("MAPPINGS\\KESTREL BW-1212"));
}

TEST(DrvRegStore, OldTreeIsReplacedWhole) {
    TestRegKey key("Replace");
    HKEY stale = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.Wide("MAPPINGS\\OLD DRIVE\\deeper").c_str(), 0, nullptr, 0,
                              KEY_WRITE, nullptr, &stale, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(stale);
    ParsedXml xml(DatabaseXml(2));
    ASSERT_TRUE(WriteRegistryDatabase(key.Url(), xml.Root()));
    EXPECT_FALSE(key.Exists("MAPPINGS\\OLD DRIVE"));
    EXPECT_TRUE(key.Exists("FALLBACKS"));  // made even without fallbacks
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key.Wide(), L"DriverVersion"), 2u);
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide(), L"PatchId"), std::nullopt);
}

TEST(DrvRegStore, UnknownRootsAndEmptyPathsAreRefused) {
    ParsedXml xml(DatabaseXml(2));
    for (const char* url : {"reg:///HKEY_USERS/Software/Corvell/X", "reg:///hkey_current_user/Software/Corvell/X",
                            "reg:///HKEY_CURRENT_USER", "reg:///HKEY_CURRENT_USER/", "reg:///HKEY_CURRENT_USER//"}) {
        EXPECT_FALSE(WriteRegistryDatabase(url, xml.Root())) << url;
    }
    EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, L"", L"DriverVersion"), std::nullopt);
}

TEST(DrvRegStore, ReaderGivesBackTheModel) {
    TestRegKey key("Reader");
    ParsedXml xml(DatabaseXml(5, "2026-03-04 05:06", kBody, "patch-id=\"P5\""));
    ASSERT_TRUE(WriteRegistryDatabase(key.Url(), xml.Root()));
    Ref<CDriverDatabase> db(OpenDriverDatabase(key.Url()));
    EXPECT_EQ(db->Revision(), 5);
    EXPECT_EQ(db->PatchId(), "P5");
    EXPECT_EQ(db->ModifiedTime(), ParseModifiedDate("2026-03-04 05:06"));

    Ref<CMapping> device(db->GetMapping("KESTREL BW-1212", DeviceMapping));
    ASSERT_EQ(device->IncludeCount(), 2);
    EXPECT_EQ(device->Include(0), "bd-writer");
    EXPECT_EQ(device->Include(1), "quirks");
    Ref<CMapping> set(db->GetMapping("bd-writer", DeviceClassMapping));
    std::string text;
    EXPECT_TRUE(set->GetString("BD-R", "max-write-speed", text));
    EXPECT_EQ(text, "12");

    Ref<CFallbackList> fallbacks(db->GetFallbacks());
    double value = 0;
    EXPECT_TRUE(fallbacks->Find("BD-R", "max-write-speed", 16, value));
    EXPECT_EQ(value, 12);
    try {
        db->GetMapping("nobody", DeviceMapping)->Release();
        FAIL() << "found a missing mapping";
    } catch (const CError& error) {
        EXPECT_EQ(error.Kind(), CError::System);
        EXPECT_EQ(error.Code(), ERROR_FILE_NOT_FOUND);
    }
}

TEST(DrvRegStore, TrailingDigitsOfAPropertyIdRunIntoTheValue) {
    TestRegKey key("Digits");
    ParsedXml xml(DatabaseXml(1, "", "<fallbacks><fallback p-id=\"speed2\" p-value=\"8\" fallback=\"4\"/></fallbacks>"));
    ASSERT_TRUE(WriteRegistryDatabase(key.Url(), xml.Root()));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key.Wide("FALLBACKS"), L"speed28"), L"4");
    Ref<CDriverDatabase> db(OpenDriverDatabase(key.Url()));
    Ref<CFallbackList> fallbacks(db->GetFallbacks());
    double value = 0;
    EXPECT_TRUE(fallbacks->Find(nullptr, "speed", 28, value));
    EXPECT_FALSE(fallbacks->Find(nullptr, "speed2", 8, value));
}

void SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& data) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

TEST(DrvRegStore, TamperedIncludeNumbersDoNotGrowTheList) {
    TestRegKey key("Tampered");
    ParsedXml xml(DatabaseXml(1, "", "<mappings type=\"device\"><mapping id=\"M\"><include-mapping srcid=\"a\"/>"
                                     "</mapping></mappings>"));
    ASSERT_TRUE(WriteRegistryDatabase(key.Url(), xml.Root()));
    SetValue(key.Wide("MAPPINGS\\M"), L"load2000000000", L"huge");
    SetValue(key.Wide("MAPPINGS\\M"), L"load0", L"zero");
    SetValue(key.Wide("MAPPINGS\\M"), L"load-3", L"negative");
    SetValue(key.Wide("MAPPINGS\\M"), L"load3", L"gap");
    Ref<CDriverDatabase> db(OpenDriverDatabase(key.Url()));
    Ref<CMapping> mapping(db->GetMapping("M", DeviceMapping));
    ASSERT_EQ(mapping->IncludeCount(), 3);
    EXPECT_EQ(mapping->Include(0), "a");
    EXPECT_EQ(mapping->Include(1), "");
    EXPECT_EQ(mapping->Include(2), "gap");
}

TEST(DrvRegStore, ReaderRefusesMissingOrMistypedVersion) {
    TestRegKey key("Version");
    try {
        OpenDriverDatabase(key.Url())->Release();
        FAIL() << "opened a missing key";
    } catch (const CError& error) {
        EXPECT_EQ(error.Kind(), CError::System);
        EXPECT_EQ(error.Code(), ERROR_FILE_NOT_FOUND);
    }
    SetValue(key.Wide(), L"DriverVersion", L"12");
    try {
        OpenDriverDatabase(key.Url())->Release();
        FAIL() << "opened a text version";
    } catch (const CError& error) {
        EXPECT_EQ(error.Kind(), CError::InputOutput);
    }
}

}  // namespace
