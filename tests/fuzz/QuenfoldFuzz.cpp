// Quenfold's input under damage: the attached block of its program file, the setup document and installed
// XML, the driver database in the registry, and the small parsers (numbers, dates, disc-type names, UTF-8,
// file URLs, the command line).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "AttachedData.h"
#include "CommandLine.h"
#include "DrvDb.h"
#include "DrvSetupTestUtil.h"
#include "FileUrl.h"
#include "FuzzSupport.h"
#include "RegDriverDatabase.h"
#include "Setup.h"
#include "Utf8.h"
#include "XmlDriverDatabase.h"

using namespace drvdb;
using fuzz::Bytes;
using fuzz::Check;
using fuzz::Outcome;

namespace {

testsupport::TempDir& Folder() {
    static testsupport::TempDir folder;
    return folder;
}

// The registry key of this process for the stores.
drvsetuptest::TestRegKey& FuzzKey() {
    static drvsetuptest::TestRegKey key("Fuzz");
    return key;
}

std::string DatabaseFileUrl() { return drvsetuptest::FileUrl(Folder().File(L"Corvell\\drivers\\driverdatabase.xml")); }

const std::string& ShippedDocument() {
    static const std::string text =
        testsupport::ReadFileBytes(testsupport::FromUtf8(FUZZ_SOURCE_DIR "/resources/drvdb/driverdatabase-setup.xml"));
    return text;
}

const char SmallBody[] =
    "<mappings type=\"DeviceClass\"><mapping id=\"bd-writer\"><p id=\"buffer-kb\" value=\"4096\"/>"
    "<p id=\"max-write-speed\" dt=\"DVD-RW\" value=\"12.5\"/></mapping></mappings>"
    "<mappings type=\"device\"><mapping id=\"KESTREL BW-1212\"><include-mapping srcid=\"bd-writer\"/>"
    "<p id=\"tray\" value=\"-1\"/><include-mapping srcid=\"quirks\"/></mapping></mappings>"
    "<fallbacks><fallback p-id=\"max-write-speed\" p-value=\"52\" fallback=\"48\"/>"
    "<fallback p-id=\"speed\" p-dt=\"BD-R\" p-value=\"16\" fallback=\"12\"/></fallbacks>";

// ---- The setup document and the XML store

// Everything a caller asks of an opened database.
void AskEverything(const CDriverDatabase& database, const TiXmlElement& element) {
    database.PatchId();
    if (database.ModifiedTime() == 0) Check(database.ModifiedDate().empty(), "a date that gives no time is not kept");
    int asked = 0;
    for (const TiXmlElement* list = element.FirstChildElement("mappings"); list && asked < 4;
         list = list->NextSiblingElement("mappings")) {
        for (const TiXmlElement* mapping = list->FirstChildElement("mapping"); mapping && asked < 4;
             mapping = mapping->NextSiblingElement("mapping"), ++asked) {
            const char* id = mapping->Attribute("id");
            if (!id) continue;
            for (int kind : {DeviceMapping, DeviceClassMapping}) {
                try {
                    Ref<CMapping> found(database.GetMapping(id, kind));
                    Ref<CPropertyIterator> properties(found->NewPropertyIterator());
                    while (properties->Next()) {
                        const std::string dt = properties->Dt(), name = properties->Id();
                        std::string text;
                        double number = 0;
                        int whole = 0;
                        Check(found->GetString(dt.empty() ? nullptr : dt.c_str(), name, text) &&
                                  text == properties->Value(),
                              "a listed property is found by its disc type and id");
                        found->GetDouble(dt.c_str(), name, number);
                        found->GetInt(dt.c_str(), name, whole);
                    }
                    for (int i = -1; i <= found->IncludeCount(); ++i) found->Include(i);
                } catch (const CError& error) {
                    Check(error.Kind() == CError::MappingNotFound, "a mapping is there or not found");
                }
            }
        }
    }
    Ref<CFallbackList> fallbacks(database.GetFallbacks());
    double fallback = 0;
    fallbacks->Find(nullptr, "max-write-speed", 52, fallback);
    fallbacks->Find("BD-R", "speed", 16, fallback);
}

// An accepted database written to its file and read back has the same version.
void CheckFileRoundTrip(const CDriverDatabase& database, const TiXmlElement& element) {
    if (!WriteXmlDatabaseFile(DatabaseFileUrl(), element)) return;
    Ref<CDriverDatabase> reread(OpenDriverDatabase(DatabaseFileUrl()));
    // The texts may change where they are no valid UTF-8; what decides an update may not.
    Check(reread->Revision() == database.Revision() && reread->ModifiedTime() == database.ModifiedTime(),
          "the written file reads back with the same version");
    Check(!IsNewerDatabase(database, *reread) && !IsNewerDatabase(*reread, database), "neither copy is newer");
}

// An accepted database written to the registry reads back with the same revision and finds its first mapping.
void CheckRegistryRoundTrip(const CDriverDatabase& database, const TiXmlElement& element) {
    const std::string url = FuzzKey().Url();
    if (!WriteRegistryDatabase(url, element)) return;
    Ref<CDriverDatabase> reread(OpenDriverDatabase(url));
    Check(reread->Revision() == database.Revision(), "the registry copy has the same revision");
    const TiXmlElement* list = element.FirstChildElement("mappings");
    const TiXmlElement* mapping = list ? list->FirstChildElement("mapping") : nullptr;
    if (!mapping) return;
    const char* type = list->Attribute("type");
    const int kind = type && EqualsNoCase(type, "deviceclass") ? DeviceClassMapping : DeviceMapping;
    Ref<CMapping>(reread->GetMapping(mapping->Attribute("id"), kind));
    Ref<CFallbackList>(reread->GetFallbacks());
}

Outcome ReadSetupDocument(const Bytes& input) {
    TiXmlDocument document;
    try {
        ParseXml(document, input);
    } catch (const CError&) {
        return Outcome::Rejected;
    }
    const TiXmlElement* root = document.RootElement();
    if (!root) return Outcome::Rejected;
    SetupOptions options = ParseCommandLine("-ns");
    ApplyRootAttributes(*root, options);
    const TiXmlElement* element =
        std::string(root->Value()) == "driver-database-setup" ? root->FirstChildElement("driver-database") : root;
    if (!element) return Outcome::Rejected;
    try {
        Ref<CDriverDatabase> database(new CXmlDriverDatabase(*element));
        AskEverything(*database, *element);
        // The stores' files and keys are the slow part: one input in sixteen goes through them.
        if (fuzz::Sampled(input, 16)) {
            CheckFileRoundTrip(*database, *element);
            CheckRegistryRoundTrip(*database, *element);
        }
    } catch (const CError&) {
        return Outcome::Rejected;
    }
    return Outcome::Accepted;
}

std::vector<Bytes> DocumentCorpus() {
    using drvsetuptest::DatabaseXml;
    using drvsetuptest::SetupXml;
    return {ShippedDocument(),
            SetupXml(DatabaseXml(7, "2026-02-29 23:59", SmallBody, "patch-id=\"P1\""), "update-registry=\"TRUE\""),
            DatabaseXml(-3, "1969-12-31 23:59", SmallBody),
            "<?xml version=\"1.0\"?><driver-database min-read-version=\"1\" revision=\"2147483647\" "
            "modified-date=\"2038-01-19 03:14\"><!-- note --><mappings type=\"device\"><mapping id=\"&amp;&#x41;\">"
            "<p id=\"x\" value=\"&lt;&gt;\"/></mapping></mappings><fallbacks/></driver-database>"};
}

// ---- The attached block of a program file

// A program file of a few hundred bytes: headers, two sections and a certificate table, nothing else.
Bytes SmallProgram() {
    Bytes file(0x400, '\0');
    IMAGE_DOS_HEADER dos{};
    dos.e_magic = IMAGE_DOS_SIGNATURE;
    dos.e_lfanew = 0x80;
    std::memcpy(&file[0], &dos, sizeof dos);
    const DWORD signature = IMAGE_NT_SIGNATURE;
    std::memcpy(&file[0x80], &signature, sizeof signature);
    IMAGE_FILE_HEADER header{};
    header.Machine = IMAGE_FILE_MACHINE_I386;
    header.NumberOfSections = 2;
    header.SizeOfOptionalHeader = sizeof(IMAGE_OPTIONAL_HEADER32);
    std::memcpy(&file[0x84], &header, sizeof header);
    IMAGE_OPTIONAL_HEADER32 optional{};
    optional.Magic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
    optional.NumberOfRvaAndSizes = IMAGE_NUMBEROF_DIRECTORY_ENTRIES;
    optional.DataDirectory[IMAGE_DIRECTORY_ENTRY_SECURITY] = {0x600, 0x40};
    std::memcpy(&file[0x84 + sizeof header], &optional, sizeof optional);
    IMAGE_SECTION_HEADER sections[2] = {};
    std::memcpy(sections[0].Name, ".text", 5);
    sections[0].PointerToRawData = 0x400;
    sections[0].SizeOfRawData = 0x100;
    std::memcpy(sections[1].Name, ".data", 5);
    sections[1].PointerToRawData = 0x500;
    sections[1].SizeOfRawData = 0x100;
    std::memcpy(&file[0x84 + sizeof header + sizeof optional], sections, sizeof sections);
    file.resize(0x640, 'C');
    return file;
}

// The program file of the run, rewritten in place for each input.
class ProgramFile {
public:
    ProgramFile() : path_(Folder().File(L"Quenfold.exe")) {
        handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, 0, nullptr);
    }
    ~ProgramFile() { CloseHandle(handle_); }
    void Put(const Bytes& bytes) const {
        DWORD written = 0;
        SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
        WriteFile(handle_, bytes.data(), DWORD(bytes.size()), &written, nullptr);
        SetEndOfFile(handle_);
    }
    std::string Utf8Path() const { return testsupport::ToUtf8(path_); }

private:
    std::wstring path_;
    HANDLE handle_;
};

Outcome ReadAttachedBlock(const Bytes& input) {
    static ProgramFile program;
    program.Put(input);
    std::string text;
    if (!ReadAttachedData(program.Utf8Path(), text)) return Outcome::Rejected;
    Check(!text.empty() && text.size() + 4 <= input.size() && input.compare(input.size() - 4 - text.size(), text.size(), text) == 0,
          "the block is the text in front of the length word");
    // One input in eight runs the whole setup on it, into the test's own targets.
    if (fuzz::Sampled(input, 8)) {
        const int result = RunSetup(ParseCommandLine("-ns -ne"), program.Utf8Path(), {DatabaseFileUrl(), FuzzKey().Url()},
                                    [](const std::string&, BoxIcon) {});
        Check(result >= kInstallFailed && result <= kUpToDate, "an exit code of the setup");
    }
    return Outcome::Accepted;
}

std::vector<Bytes> AttachedCorpus() {
    using drvsetuptest::LengthWord;
    const std::string document =
        drvsetuptest::SetupXml(drvsetuptest::DatabaseXml(9, "2026-01-01 00:00", SmallBody), "update-registry=\"true\"");
    return {SmallProgram() + document + LengthWord(uint32_t(document.size())),
            SmallProgram() + ShippedDocument() + LengthWord(uint32_t(ShippedDocument().size())),
            document + LengthWord(uint32_t(document.size())), SmallProgram() + "x" + LengthWord(1)};
}

// ---- The registry store

// Records of values: where (the key, FALLBACKS, a mapping or a set), the value's name, type and data.
Outcome ReadRegistryDatabase(const Bytes& input) {
    // Each registry call is a round trip to the Wine server: one input in 16 reaches the registry, so the
    // fixed-seed run stays within the suite's time on every build.
    if (!fuzz::Sampled(input, 16))
        return Outcome::Accepted;
    drvsetuptest::TestRegKey& key = FuzzKey();
    testsupport::DeleteRegTree(HKEY_CURRENT_USER, key.Wide());
    fuzz::InputReader records(input);
    const std::string askedId = records.Take(records.Byte() % 16);
    const std::string places[] = {key.Path(), key.Path() + "\\FALLBACKS", key.Path() + "\\MAPPINGS\\" + askedId,
                                  key.Path() + "\\SETS\\" + askedId};
    HKEY handles[std::size(places)] = {};
    while (!records.AtEnd()) {
        const size_t place = records.Byte() % std::size(places);
        const std::string name = records.Take(records.Byte() % 32);
        const DWORD type = records.Byte() % 12;
        const Bytes data = records.Take(records.Byte());
        if (!handles[place] && RegCreateKeyExA(HKEY_CURRENT_USER, places[place].c_str(), 0, nullptr, 0, KEY_WRITE,
                                               nullptr, &handles[place], nullptr) != ERROR_SUCCESS) {
            continue;
        }
        RegSetValueExA(handles[place], name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       DWORD(data.size()));
    }
    for (HKEY handle : handles)
        if (handle) RegCloseKey(handle);
    try {
        Ref<CDriverDatabase> database(OpenDriverDatabase(key.Url()));
        if (database->ModifiedTime() == 0) Check(database->ModifiedDate().empty(), "a date that gives no time is not kept");
        for (int kind : {DeviceMapping, DeviceClassMapping}) {
            try {
                Ref<CMapping> mapping(database->GetMapping(askedId, kind));
                Ref<CPropertyIterator> properties(mapping->NewPropertyIterator());
                while (properties->Next()) properties->Value();
            } catch (const CError& error) {
                Check(error.Kind() == CError::System, "a missing mapping key is a system error");
            }
        }
        Ref<CFallbackList> fallbacks(database->GetFallbacks());
        double fallback = 0;
        fallbacks->Find(nullptr, "max-write-speed", 52, fallback);
    } catch (const CError&) {
        return Outcome::Rejected;
    }
    return Outcome::Accepted;
}

Bytes Value(int place, const std::string& name, DWORD type, const Bytes& data) {
    return std::string(1, char(place)) + char(name.size()) + name + char(type) + char(data.size()) + data;
}
Bytes DwordValue(int place, const std::string& name, DWORD value) {
    return Value(place, name, REG_DWORD, Bytes(reinterpret_cast<const char*>(&value), sizeof value));
}

std::vector<Bytes> RegistryCorpus() {
    const std::string id = "KESTREL BW-1212";
    const Bytes head = std::string(1, char(id.size())) + id;
    const Bytes version = DwordValue(0, "DriverVersion", 12) + Value(0, "PatchId", REG_SZ, std::string("Q12\0", 4)) +
                          Value(0, "ModifiedDate", REG_SZ, std::string("2026-11-20 14:30\0", 17));
    const Bytes mapping = Value(2, "load1", REG_SZ, std::string("bd-writer\0", 10)) +
                          Value(2, "load2", REG_SZ, std::string("quirks\0", 7)) +
                          Value(2, "DVD-RWmax-write-speed", REG_SZ, std::string("8\0", 2)) +
                          Value(2, "tray", REG_SZ, std::string("1\0", 2)) +
                          Value(1, "max-write-speed52", REG_SZ, std::string("48\0", 3)) +
                          Value(1, "BD-Rspeed16.5", REG_SZ, std::string("12\0", 3));
    return {head + version + mapping,
            head + version + Value(3, "load9", REG_SZ, std::string("x\0", 2)) + Value(1, "x1", REG_SZ, std::string("2\0", 2)),
            head + Value(0, "DriverVersion", REG_SZ, std::string("12\0", 3)),
            head + Value(0, "DriverVersion", REG_BINARY, std::string(8, '\1')) + mapping};
}

// ---- Numbers, dates, names, UTF-8, file URLs and the command line

Outcome ParseSmallTexts(const Bytes& input) {
    double number = 0;
    int whole = 0;
    if (ParseStrictInt(input, whole)) {
        int again = 0;
        Check(ParseStrictInt(std::to_string(whole), again) && again == whole, "a strict integer reads back");
    }
    ParseStrictDouble(input, number);
    ParseModifiedDate(input);
    for (const auto& [type, rest] : SplitDiscTypePrefix(input))
        Check(type + rest == input, "a disc type prefix and the rest make the name");
    const SetupOptions options = ParseCommandLine(input);
    Check(!options.versionBox || !options.update, "the version option only shows the version");

    const std::wstring wide = Utf8ToUtf16(input);
    const std::string utf8 = Utf16ToUtf8(wide);
    Check(Utf16ToUtf8(Utf8ToUtf16(utf8)) == utf8, "UTF-8 made from any text converts back and forth unchanged");
    std::string ansi;
    Utf8ToAnsi(utf8, ansi);

    // A drive path or a network path (a third backslash would name no host).
    const bool drivePath = input.size() >= 2 && input[1] == ':';
    const bool networkPath = input.compare(0, 2, "\\\\") == 0 && input.size() > 2 && input[2] != '\\';
    if ((drivePath || networkPath) && input.find('/') == std::string::npos) {
        std::string path;
        Check(FileUrlToPath(MakeFileUrl(input), path) && path == input, "a path made a file URL comes back");
    }
    return Outcome::Accepted;
}

std::vector<Bytes> SmallTextCorpus() {
    return {"2026-11-20 14:30", "1.04", "-17", "DVD-RW (RO)max-write-speed", "-v -ns \"-regu\"\t-d\r\n-nxmlu",
            "C:\\Documents and Settings\\All Users\\Application Data\\Corvell\\drivers\\driverdatabase.xml",
            "\\\\host\\share\\x.xml", "Gr\xC3\xBC\xC3\x9F \xE6\x97\xA5\xED\xA0\x80\xF0\x9F\x98\x80", "2147483648",
            "0000-00-00 00:00", "30827-12-31 23:59"};
}

}  // namespace

TEST(QuenfoldFuzz, SetupDocumentAndDatabaseXmlReadWithoutFault) {
    fuzz::Run("DriverXml",
              fuzz::Mutator(DocumentCorpus(), {"<", ">", "/>", "</", "\"", "'", "=", "<!--", "-->", "<![CDATA[", "]]>",
                                               "&amp;", "&#x10FFFF;", "&#0;", "<mapping id=\"x\">", "<p id=\"y\" value=\"1\"/>",
                                               "revision=\"", "min-read-version=\"1\"", "modified-date=\"", "dt=\"DVD-RW\""}),
              ReadSetupDocument);
}

TEST(QuenfoldFuzz, AttachedBlockOfTheProgramFileReadsWithoutFault) {
    fuzz::Run("AttachedData", fuzz::Mutator(AttachedCorpus(), {"MZ", "PE", std::string(4, '\0'), std::string(4, '\xFF')}),
              ReadAttachedBlock);
}

TEST(QuenfoldFuzz, RegistryDatabaseOfAnyValuesReadsWithoutFault) {
    fuzz::Run("DriverRegistry", fuzz::Mutator(RegistryCorpus(), {"load", "load0", "load-1", "DVD-RW", "FALLBACKS", "\\"}),
              ReadRegistryDatabase);
}

TEST(QuenfoldFuzz, NumbersDatesNamesAndUrlsParseWithoutFault) {
    fuzz::Run("DriverTexts", fuzz::Mutator(SmallTextCorpus(), {"-", ".", ":", " ", "\"", "\xC0\x80", "\xED\xBF\xBF", "file:///"}),
              ParseSmallTexts);
}
