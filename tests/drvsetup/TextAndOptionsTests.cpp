// UTF-8 conversion, file URLs, install targets and the command line.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <tinyxml.h>

#include "CommandLine.h"
#include "DrvDb.h"
#include "DrvSetupTestUtil.h"
#include "FileUrl.h"
#include "Targets.h"
#include "Utf8.h"

using namespace drvdb;
using namespace drvsetuptest;

namespace {

TEST(DrvUtf8, AstralCharacterRoundTrips) {
    const std::wstring wide = L"\xD83D\xDE00";
    EXPECT_EQ(Utf16ToUtf8(wide), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16(std::string("\xF0\x9F\x98\x80")), wide);
    EXPECT_EQ(Utf16ToUtf8(L"a\x00E9\x0416\x65E5"), "a\xC3\xA9\xD0\x96\xE6\x97\xA5");
}

TEST(DrvUtf8, LoneSurrogatesAreSkipped) {
    EXPECT_EQ(Utf16ToUtf8(std::wstring(L"a\xD83D" L"b")), "ab");
    EXPECT_EQ(Utf16ToUtf8(std::wstring(L"a\xDE00" L"b")), "ab");
    EXPECT_EQ(Utf16ToUtf8(std::wstring(L"a\xD83D")), "a");
}

TEST(DrvUtf8, InvalidSequencesAreDroppedAndDecodingGoesOn) {
    const struct {
        const char* bytes;
        const wchar_t* expected;
        const char* why;
    } cases[] = {
        {"\xE2\x82" "A", L"A", "truncated three-byte sequence keeps the next character"},
        {"\xC0\xAF" "b", L"b", "overlong slash"},
        {"\xE0\x80\xAF" "c", L"c", "overlong three-byte form"},
        {"\xF8\x88\x80\x80\x80" "d", L"d", "five-byte form"},
        {"\xFC\x84\x80\x80\x80\x80" "e", L"e", "six-byte form"},
        {"\xED\xA0\x80" "f", L"f", "encoded surrogate"},
        {"\xF4\x90\x80\x80" "g", L"g", "above U+10FFFF"},
        {"\x80\xBF" "h", L"h", "stray continuation bytes"},
        {"\xFE\xFF" "i", L"i", "bytes that start nothing"},
        {"x\xC3", L"x", "truncated at the end"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(std::string(c.bytes)), c.expected) << c.why;
}

TEST(DrvUtf8, AnsiGoesThroughTheSystemCodePage) {
    // The tests run with code page 1252, where 0xE9 is e-acute.
    EXPECT_EQ(AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
    std::string ansi;
    EXPECT_TRUE(Utf8ToAnsi("caf\xC3\xA9", ansi));
    EXPECT_EQ(ansi, "caf\xE9");
    EXPECT_FALSE(Utf8ToAnsi("\xE6\x97\xA5", ansi));  // no form in code page 1252
}

TEST(DrvFileUrl, PathsBecomeUrls) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\x", "file:///C:/x"},
        {"C:\\ProgramData\\Corvell\\drivers\\driverdatabase.xml", "file:///C:/ProgramData/Corvell/drivers/driverdatabase.xml"},
        {"\\\\host\\share\\dir\\f.xml", "file://host/share/dir/f.xml"},
        {"C", "C"},
        {"", ""},
    };
    for (const auto& [path, url] : cases) EXPECT_EQ(MakeFileUrl(path), url) << path;
}

TEST(DrvFileUrl, UrlsBecomePaths) {
    std::string path;
    EXPECT_TRUE(FileUrlToPath("file:///C:/a/b.xml", path));
    EXPECT_EQ(path, "C:\\a\\b.xml");
    EXPECT_TRUE(FileUrlToPath("file://host/share/x", path));
    EXPECT_EQ(path, "\\\\host\\share\\x");
    EXPECT_FALSE(FileUrlToPath("reg:///HKEY_CURRENT_USER/x", path));
}

TEST(DrvFileUrl, CreatesMissingFoldersAndRefusesAFileInTheWay) {
    testsupport::TempDir dir;
    const std::string url = FileUrl(dir.File(L"one\\two\\three\\db.xml"));
    EXPECT_TRUE(CreateUrlFolders(url));
    EXPECT_NE(GetFileAttributesW(dir.File(L"one\\two\\three").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(GetFileAttributesW(dir.File(L"one\\two\\three\\db.xml").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(CreateUrlFolders(url));  // all there already

    testsupport::WriteFileBytes(dir.File(L"blocker"), "x");
    EXPECT_FALSE(CreateUrlFolders(FileUrl(dir.File(L"blocker\\below\\db.xml"))));
    EXPECT_EQ(GetFileAttributesW(dir.File(L"blocker\\below").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(CreateUrlFolders("reg:///HKEY_CURRENT_USER/x"));
}

TEST(DrvFileUrl, NetworkPathsCreateNoHostOrShare) {
    // Nothing lies between the share and the file, so there is nothing to create (and no empty folder name).
    EXPECT_TRUE(CreateUrlFolders("file://host/share/driverdatabase.xml"));
    EXPECT_TRUE(CreateUrlFolders("file://host"));
}

TEST(DrvFileUrl, OpenReportsKindAndSystemError) {
    testsupport::TempDir dir;
    try {
        OpenFileUrl(FileUrl(dir.File(L"missing.xml")), true);
        FAIL() << "opened a missing file";
    } catch (const CError& error) {
        EXPECT_EQ(error.Kind(), CError::System);
        EXPECT_EQ(error.Code(), ERROR_FILE_NOT_FOUND);
    }
    try {
        OpenFileUrl("http://host/db.xml", true);
        FAIL() << "opened a web URL";
    } catch (const CError& error) {
        EXPECT_EQ(error.Kind(), CError::InputOutput);
    }
}

TEST(DrvTargets, ListFollowsTheSystemVersion) {
    auto folders = [](int csidl) -> std::string {
        switch (csidl) {
        case CSIDL_COMMON_APPDATA: return "C:\\ProgramData";
        case CSIDL_LOCAL_APPDATA: return "C:\\Users\\op\\AppData\\Local";
        case CSIDL_APPDATA: return "C:\\Users\\op\\AppData\\Roaming\\";
        default: return "";
        }
    };
    EXPECT_EQ(TargetUrls(true, folders, ""),
              (std::vector<std::string>{"file:///C:/ProgramData/Corvell/drivers/driverdatabase.xml",
                                        "file:///C:/Users/op/AppData/Local/Corvell/drivers/driverdatabase.xml",
                                        kRegistryTarget}));
    EXPECT_EQ(TargetUrls(false, folders, "C:\\WINDOWS"),
              (std::vector<std::string>{"file:///C:/ProgramData/Corvell/drivers/driverdatabase.xml",
                                        "file:///C:/Users/op/AppData/Roaming/Corvell/drivers/driverdatabase.xml",
                                        "file:///C:/WINDOWS/Corvell/drivers/driverdatabase.xml", kRegistryTarget}));
    auto noLocal = [&](int csidl) { return csidl == CSIDL_LOCAL_APPDATA ? std::string() : folders(csidl); };
    EXPECT_EQ(TargetUrls(true, noLocal, "").size(), 2u);
}

TEST(DrvTargets, ThisSystemHasBothApplicationDataFilesAndTheKey) {
    Ref<CTargetList> targets(EnumerateTargets());
    std::vector<std::string> urls;
    while (targets->Next()) urls.push_back(targets->Current());
    ASSERT_EQ(urls.size(), 3u);
    wchar_t common[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common)));
    EXPECT_EQ(urls[0], FileUrl(std::wstring(common) + L"\\Corvell\\drivers\\driverdatabase.xml"));
    EXPECT_EQ(urls[2], "reg:///HKEY_LOCAL_MACHINE/SOFTWARE/Corvell/DRIVER2");
    EXPECT_FALSE(targets->Next());
}

struct OptionsCase {
    const char* commandLine;
    bool update, errorBox, successBox, versionBox, force, failIfOne, registry, xml, dump;
};

TEST(DrvCommandLine, TokensSetTheirSettings) {
    const OptionsCase cases[] = {
        {"", true, true, true, false, false, false, false, true, false},
        {"-ns -ne", true, false, false, false, false, false, false, true, false},
        {"-v", false, false, false, true, false, false, false, true, false},
        {"\"-v\"", false, false, false, true, false, false, false, true, false},
        {"-V -NS", true, true, true, false, false, false, false, true, false},
        {"-f\t-fuf -regu -nxmlu -d", true, true, true, false, true, true, true, false, true},
        {"-regu -nregu -nxmlu -xmlu", true, true, true, false, false, false, false, true, false},
        {"-fuf -nfuf", true, true, true, false, false, false, false, true, false},
        {"-ns\r\n-f", true, true, false, false, true, false, false, true, false},
        {"-nsx x-ns \"-ns -ns\"", true, true, true, false, false, false, false, true, false},
        {"C:\\prog.exe -regu", true, true, true, false, false, false, true, true, false},
    };
    for (const OptionsCase& c : cases) {
        const SetupOptions o = ParseCommandLine(c.commandLine);
        const std::vector<bool> got = {o.update, o.errorBox, o.successBox, o.versionBox, o.force,
                                       o.failIfOneUpdateFails.value, o.updateRegistry.value,
                                       o.updateXmlDatabase.value, o.dump};
        const std::vector<bool> want = {c.update, c.errorBox, c.successBox, c.versionBox, c.force,
                                        c.failIfOne, c.registry, c.xml, c.dump};
        EXPECT_EQ(got, want) << "command line: " << c.commandLine;
    }
}

TEST(DrvCommandLine, CommandLineBeatsRootAttributes) {
    ParsedXml root("<driver-database-setup update-registry=\"TRUE\" update-xml-database=\"false\" "
                   "fail-if-one-update-fails=\"yes\"/>");
    SetupOptions plain = ParseCommandLine("");
    ApplyRootAttributes(root.Root(), plain);
    EXPECT_TRUE(plain.updateRegistry.value);
    EXPECT_FALSE(plain.updateXmlDatabase.value);
    EXPECT_FALSE(plain.failIfOneUpdateFails.value);  // "yes" leaves it

    SetupOptions given = ParseCommandLine("-nregu -xmlu");
    ApplyRootAttributes(root.Root(), given);
    EXPECT_FALSE(given.updateRegistry.value);
    EXPECT_TRUE(given.updateXmlDatabase.value);
}

}  // namespace
