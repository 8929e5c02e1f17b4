// The setup flow on its own targets (two XML files in a temporary folder and a registry key of the test):
// attached block, document checks, the up-to-date decision, installing, boxes and exit codes.
#include <gtest/gtest.h>

#include "AttachedData.h"
#include "DrvSetupTestUtil.h"
#include "Setup.h"

using namespace drvdb;
using namespace drvsetuptest;

namespace {

struct Box {
    std::string text;
    BoxIcon icon;
};

class SetupFlow : public ::testing::Test {
protected:
    SetupFlow() : key_("Flow") {
        targets_ = {FileUrl(dir_.File(L"common\\Corvell\\drivers\\driverdatabase.xml")),
                    FileUrl(dir_.File(L"local\\Corvell\\drivers\\driverdatabase.xml")), key_.Url()};
    }

    // Runs the flow on a program file holding these bytes.
    int RunBytes(const std::string& program, const std::string& commandLine = "") {
        testsupport::WriteFileBytes(dir_.File(L"Quenfold.exe"), program);
        boxes_.clear();
        return RunSetup(ParseCommandLine(commandLine), Utf8(dir_.File(L"Quenfold.exe")), targets_,
                        [this](const std::string& text, BoxIcon icon) { boxes_.push_back({text, icon}); });
    }
    int Run(const std::string& document, const std::string& commandLine = "") {
        return RunBytes(AttachedProgram(document), commandLine);
    }
    std::string Installed(int index) const {
        return testsupport::ReadFileBytes(dir_.File(index == 0 ? L"common\\Corvell\\drivers\\driverdatabase.xml"
                                                               : L"local\\Corvell\\drivers\\driverdatabase.xml"));
    }
    std::optional<DWORD> RegistryRevision() const {
        return testsupport::ReadRegDword(HKEY_CURRENT_USER, key_.Wide(), L"DriverVersion");
    }

    testsupport::TempDir dir_;
    TestRegKey key_;
    std::vector<std::string> targets_;
    std::vector<Box> boxes_;
};

const std::string kRevision5 = SetupXml(DatabaseXml(5, "2026-05-01 10:00"), "update-xml-database=\"true\"");

TEST_F(SetupFlow, InstallsOnceThenFindsItUpToDate) {
    EXPECT_EQ(Run(kRevision5), kInstalled);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Disc burning driver information successfully updated.");
    EXPECT_EQ(boxes_[0].icon, BoxIcon::Information);
    EXPECT_NE(Installed(0).find("revision=\"5\""), std::string::npos);
    EXPECT_EQ(Installed(0), Installed(1));
    EXPECT_EQ(RegistryRevision(), std::nullopt);  // the registry only when asked

    EXPECT_EQ(Run(kRevision5), kUpToDate);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Disc burning driver information is already up-to-date.");
}

TEST_F(SetupFlow, NewerRevisionOrDateInstallsAndOlderDoesNot) {
    ASSERT_EQ(Run(kRevision5), kInstalled);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(4, "2027-01-01 00:00")), "-ns"), kUpToDate);
    EXPECT_NE(Installed(0).find("revision=\"5\""), std::string::npos);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(5, "2026-05-01 10:01")), "-ns"), kInstalled);
    EXPECT_NE(Installed(1).find("10:01"), std::string::npos);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(6)), "-ns"), kInstalled);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(Run(SetupXml(DatabaseXml(6)), "-f -ns"), kInstalled);
}

// A database dated past 2038 must compare as later, or it would never be installed.
TEST_F(SetupFlow, DatesAcross2038AndBefore1970DecideTheSameRevision) {
    ASSERT_EQ(Run(SetupXml(DatabaseXml(7, "1969-07-20 20:17")), "-ns"), kInstalled);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(7, "1969-07-20 20:16")), "-ns"), kUpToDate);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(7, "2037-12-31 23:59")), "-ns"), kInstalled);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(7, "2040-01-01 00:00")), "-ns"), kInstalled);
    EXPECT_NE(Installed(1).find("2040-01-01 00:00"), std::string::npos);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(7, "2039-12-31 23:59")), "-ns"), kUpToDate);
}

TEST_F(SetupFlow, BrokenOrNewerFormatTargetIsRewritten) {
    ASSERT_EQ(Run(kRevision5), kInstalled);
    testsupport::WriteFileBytes(dir_.File(L"local\\Corvell\\drivers\\driverdatabase.xml"), "<not xml");
    EXPECT_EQ(Run(kRevision5), kInstalled);
    EXPECT_EQ(Installed(0), Installed(1));
    testsupport::WriteFileBytes(dir_.File(L"local\\Corvell\\drivers\\driverdatabase.xml"),
                                "<driver-database min-read-version=\"2\" revision=\"99\"/>");
    EXPECT_EQ(Run(kRevision5), kInstalled);
    EXPECT_EQ(Installed(0), Installed(1));
}

TEST_F(SetupFlow, RegistryTargetFollowsCommandLineOverRootAttribute) {
    EXPECT_EQ(Run(kRevision5, "-nxmlu"), kUpToDate);  // no target enabled: nothing needed
    EXPECT_EQ(GetFileAttributesW(dir_.File(L"common").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Run(kRevision5, "-nxmlu -regu"), kInstalled);
    EXPECT_EQ(RegistryRevision(), 5u);
    EXPECT_EQ(Run(kRevision5, "-nxmlu -regu"), kUpToDate);

    const std::string rootAsks = SetupXml(DatabaseXml(6), "update-registry=\"True\" update-xml-database=\"FALSE\"");
    EXPECT_EQ(Run(rootAsks, "-nregu"), kUpToDate);
    EXPECT_EQ(RegistryRevision(), 5u);
    EXPECT_EQ(Run(rootAsks), kInstalled);
    EXPECT_EQ(RegistryRevision(), 6u);
    EXPECT_EQ(GetFileAttributesW(dir_.File(L"common").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Run(rootAsks, "-xmlu"), kInstalled);
    EXPECT_NE(Installed(0).find("revision=\"6\""), std::string::npos);
}

TEST_F(SetupFlow, BlockedTargetFailsOnlyWithFailIfOneUpdateFails) {
    CreateDirectoryW(dir_.File(L"local").c_str(), nullptr);
    testsupport::WriteFileBytes(dir_.File(L"local\\Corvell"), "a file where a folder belongs");
    EXPECT_EQ(Run(kRevision5, "-fuf"), kInstallFailed);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Error installing disc burning driver data.");
    EXPECT_EQ(boxes_[0].icon, BoxIcon::Error);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(5), "fail-if-one-update-fails=\"true\"")), kInstallFailed);
    EXPECT_EQ(Run(SetupXml(DatabaseXml(5), "fail-if-one-update-fails=\"true\""), "-nfuf"), kInstalled);
    EXPECT_EQ(Run(kRevision5), kInstalled);  // the other target was written
    EXPECT_NE(Installed(0).find("revision=\"5\""), std::string::npos);
}

TEST_F(SetupFlow, ForcedRunWithNoTargetEnabledFails) {
    EXPECT_EQ(Run(kRevision5, "-f -nxmlu"), kInstallFailed);
}

TEST_F(SetupFlow, InvalidDocumentsEndWithDataNotValid) {
    const std::string cases[] = {
        "<driver-database-setup><driver-database",
        SetupXml(DatabaseXml(5)).replace(SetupXml(DatabaseXml(5)).find("driver-database-setup"), 21,
                                         "Driver-Database-Setup"),
        "<driver-database-setup/>",
        "<driver-database-setup><driver-database min-read-version=\"1\"/></driver-database-setup>",
        "<driver-database-setup><driver-database min-read-version=\"1\" revision=\"x5\"/></driver-database-setup>",
        "<driver-database-setup><driver-database min-read-version=\"2\" revision=\"5\"/></driver-database-setup>",
        "just text",
    };
    for (const std::string& document : cases) {
        EXPECT_EQ(Run(document), kDataNotValid) << document;
        ASSERT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(boxes_[0].text, "Error: the disc burning driver setup data is not valid.");
    }
    EXPECT_EQ(GetFileAttributesW(dir_.File(L"common").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SetupFlow, DeeplyNestedDocumentEndsWithDataNotValid) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<x>";
    EXPECT_EQ(Run(SetupXml(DatabaseXml(5, "", deep))), kDataNotValid);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Error: the disc burning driver setup data is not valid.");
}

TEST_F(SetupFlow, WrongLengthWordEndsWithFileCorrupted) {
    const std::string bare = BareProgram();
    const std::string document = kRevision5;
    const struct {
        std::string bytes;
        const char* why;
    } cases[] = {
        {bare, "nothing attached"},
        {bare + document + LengthWord(0), "length 0"},
        {bare + document + LengthWord(static_cast<uint32_t>(document.size() + bare.size() + 1)), "beyond the file"},
        {bare + document + LengthWord(0xFFFFFFFF), "largest length"},
        {bare + document + LengthWord(static_cast<uint32_t>(document.size() + 100)), "reaches into the program"},
        {(bare + document + LengthWord(static_cast<uint32_t>(document.size()))).substr(0, bare.size() + 3 + document.size()),
         "truncated"},
        {"abc", "shorter than the length word"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunBytes(c.bytes), kOwnFileCorrupted) << c.why;
        ASSERT_EQ(boxes_.size(), 1u) << c.why;
        EXPECT_EQ(boxes_[0].text, "Error: the disc burning driver setup file is corrupted.");
        EXPECT_EQ(boxes_[0].icon, BoxIcon::Error);
    }
    // A file that is no program carries its block after whatever precedes it.
    EXPECT_EQ(RunBytes("plain data" + document + LengthWord(static_cast<uint32_t>(document.size())), "-ns"),
              kInstalled);
}

TEST_F(SetupFlow, MissingOwnFileEndsWithFileCorrupted) {
    boxes_.clear();
    EXPECT_EQ(RunSetup(ParseCommandLine("-ne"), Utf8(dir_.File(L"gone.exe")), targets_,
                       [this](const std::string& text, BoxIcon icon) { boxes_.push_back({text, icon}); }),
              kOwnFileCorrupted);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(SetupFlow, VersionOptionShowsOnlyTheVersion) {
    const std::string document =
        SetupXml(DatabaseXml(12, "2026-11-20 14:30", "", "patch-id=\"Q\xC3\xA9\""));
    EXPECT_EQ(Run(document, "-v"), kInstalled);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Version: 12\nModified Date: 2026-11-20 14:30\nPatch ID: Q\xC3\xA9\n");
    EXPECT_EQ(boxes_[0].icon, BoxIcon::Information);
    EXPECT_EQ(GetFileAttributesW(dir_.File(L"common").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(Run(SetupXml(DatabaseXml(3)), "\"-v\""), kInstalled);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "Version: 3\n");

    EXPECT_EQ(RunBytes(BareProgram() + LengthWord(7), "-v"), kOwnFileCorrupted);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(SetupFlow, DumpWritesTheTextWithCrLf) {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir_.Path().c_str()));
    const std::string document = "<driver-database-setup>\n" + DatabaseXml(2) + "\n</driver-database-setup>";
    const int result = Run(document, "-d -ns");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(result, kInstalled);
    EXPECT_EQ(testsupport::ReadFileBytes(dir_.File(L"attached.xml")),
              "<driver-database-setup>\r\n" + DatabaseXml(2) + "\r\n</driver-database-setup>");
}

TEST(AttachedData, TextIsReadExactly) {
    testsupport::TempDir dir;
    const std::string text = "<x>\xE2\x82\xAC</x>";
    testsupport::WriteFileBytes(dir.File(L"p.exe"), AttachedProgram(text));
    std::string read;
    ASSERT_TRUE(ReadAttachedData(Utf8(dir.File(L"p.exe")), read));
    EXPECT_EQ(read, text);
}

TEST(AttachedData, OwnFileNameIsThisProgram) {
    const std::string name = OwnFileName();
    EXPECT_EQ(name.substr(name.size() - 4), ".exe");
    EXPECT_NE(GetFileAttributesW(testsupport::FromUtf8(name).c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
