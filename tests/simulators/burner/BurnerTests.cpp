// KAVO.DLL under Wine, through its exported functions: drives, disc checks, write, verify, erase, failures and
// handle counting, on a lab of the test's own.
#include "Devices.h"
#include "IsoReader.h"
#include "Kavo.h"
#include "Lab.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using testsupport::TempDir;

namespace {

std::vector<double> g_fractions;
double g_stopAt = 2.0;

int WINAPI RecordProgress(UINT_PTR context, UINT phase, UINT, double fraction) {
    EXPECT_EQ(context, 77u);
    EXPECT_TRUE(phase == KAVO_PHASE_WRITE || phase == KAVO_PHASE_ERASE);
    g_fractions.push_back(fraction);
    return fraction >= g_stopAt ? 0 : 1;
}

class BurnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str());
        WriteScenario("[Writer.E]\nDisc = 4:blank\n");
        g_fractions.clear();
        g_stopAt = 2.0;
        KAVO_ClearLastError();
    }
    void TearDown() override {
        for (auto it = held_.rbegin(); it != held_.rend(); ++it) KAVO_Release(*it);
        EXPECT_EQ(KAVO_LabOpenHandles(), 0);
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }

    void WriteScenario(const std::string& text) { testsupport::WriteFileBytes(lab_.File(L"scenario.ini"), text); }

    // Keeps a handle to release at the end of the test.
    KAVO_HANDLE Hold(KAVO_HANDLE handle) {
        if (handle) held_.push_back(handle);
        return handle;
    }

    KAVO_HANDLE OpenDrive() {
        engine_ = Hold(KAVO_Create(KAVO_VERSION));
        EXPECT_TRUE(engine_);
        EXPECT_TRUE(KAVO_EnumerateDrives(engine_));
        return Hold(KAVO_OpenDrive(engine_, 0));
    }

    // A data project on the disc in E: with a folder of files (name, bytes).
    KAVO_HANDLE DataProject(const std::vector<std::pair<std::string, std::string>>& files) {
        KAVO_HANDLE drive = OpenDrive();
        KAVO_HANDLE disc = Hold(KAVO_DriveOpenDisc(drive));
        KAVO_HANDLE project = Hold(KAVO_CreateDataProject(engine_));
        EXPECT_TRUE(KAVO_ProjectSetDestDisc(project, disc));
        tree_ = Hold(KAVO_ProjectGetVirtualDisc(project));
        EXPECT_TRUE(KAVO_DiscDataCreateFolderA(tree_, "Job 1"));
        CreateDirectoryW(lab_.File(L"src").c_str(), nullptr);
        for (const auto& [name, bytes] : files) {
            const std::string source = testsupport::ToUtf8(lab_.Path()) + "\\src\\" + name;
            testsupport::WriteFileBytes(testsupport::FromUtf8(source), bytes);
            EXPECT_TRUE(KAVO_DiscDataAddFileA(tree_, source.c_str(), ("Job 1/" + name).c_str()));
        }
        EXPECT_TRUE(KAVO_DiscDataSetTitleW(tree_, L"Scan 2026"));
        EXPECT_TRUE(KAVO_ProjectSetProgressCallback(project, RecordProgress, 77));
        EXPECT_TRUE(KAVO_ProjectSetWriteSpeed(project, 60.0, 1));
        EXPECT_TRUE(KAVO_ProjectSetWriteOpenTray(project, 0));
        return project;
    }

    static lab::Devices Machine() {
        lab::StateLock lock;
        return lab::Devices::Load();
    }

    std::string LastErrorText() { return KAVO_GetErrorMessageA(KAVO_GetLastError()); }

    TempDir lab_;
    KAVO_HANDLE engine_ = nullptr;
    KAVO_HANDLE tree_ = nullptr;
    std::vector<KAVO_HANDLE> held_;
};

TEST_F(BurnerTest, DrivesAreTheLabsWriters) {
    WriteScenario("[Robot1]\nWriters = E, G\n");
    KAVO_HANDLE engine = Hold(KAVO_Create(KAVO_VERSION));
    ASSERT_TRUE(engine);
    EXPECT_EQ(KAVO_GetDriveCount(engine), 0);
    ASSERT_TRUE(KAVO_EnumerateDrives(engine));
    ASSERT_EQ(KAVO_GetDriveCount(engine), 2);
    KAVO_HANDLE second = Hold(KAVO_OpenDrive(engine, 1));
    ASSERT_TRUE(second);
    EXPECT_STREQ(KAVO_DriveGetPathA(second), "G:\\");
    EXPECT_FALSE(KAVO_OpenDrive(engine, 2));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_NO_DRIVE);
    EXPECT_NE(std::string(KAVO_GetSystemInfoTextA(engine)).find("G: Lab DVD Writer"), std::string::npos);
    EXPECT_EQ(KAVO_LabOpenHandles(), 2);
    EXPECT_FALSE(KAVO_Create(8));
}

TEST_F(BurnerTest, DiscCheckFollowsTheDiscInTheWriter) {
    struct Case {
        const char* writer;
        std::vector<int> answers;
        int medium, blank;
    } cases[] = {
        {"", {0, 0}, -1, -1},
        {"Disc = 3:used", {1}, 3, 0},
        {"Disc = 9:blank:notready=2", {2, 2, 1, 1}, 9, 1},
        {"Disc = 1:error=1", {15, 1}, 1, 1},
        {"Disc = 0", {1}, 0, 1},
        {"Disc = 12:used", {1}, 12, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.writer);
        DeleteFileW(lab_.File(L"devices.ini").c_str());
        WriteScenario(std::string("[Writer.E]\n") + c.writer + "\n");
        KAVO_HANDLE drive = OpenDrive();
        std::vector<int> answers;
        for (size_t i = 0; i < c.answers.size(); ++i) answers.push_back(KAVO_DriveCheckDisc(drive, 1000, 0));
        EXPECT_EQ(answers, c.answers);
        KAVO_HANDLE disc = Hold(KAVO_DriveOpenDisc(drive));
        EXPECT_EQ(disc != nullptr, c.medium >= 0);
        if (disc) {
            EXPECT_EQ(KAVO_DiscGetMediumType(disc), c.medium);
            EXPECT_EQ(KAVO_DiscIsEmpty(disc), c.blank);
        }
    }
}

TEST_F(BurnerTest, CheckErrorSetsLastErrorAndOpenTrayMeansNoDisc) {
    WriteScenario("[Writer.E]\nDisc = 5:error=1\n");
    KAVO_HANDLE drive = OpenDrive();
    EXPECT_EQ(KAVO_DriveCheckDisc(drive, 1000, 0), KAVO_DISC_ERROR);
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_MEDIUM);
    EXPECT_EQ(LastErrorText(), "Medium error");
    KAVO_ClearLastError();
    EXPECT_EQ(KAVO_GetLastError(), 0);
    {
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        devices.writers['E'].trayOpen = true;
        devices.Save();
    }
    EXPECT_EQ(KAVO_DriveCheckDisc(drive, 1000, 0), KAVO_DISC_NONE);
    EXPECT_FALSE(KAVO_DriveOpenDisc(drive));
}

TEST_F(BurnerTest, WriteMakesAJolietImageAndVerifyPasses) {
    KAVO_HANDLE project = DataProject({{"Page 1.jpg", std::string(5000, 'a')}, {"Page 2.jpg", "second"}});
    ASSERT_TRUE(KAVO_ProjectWrite(project)) << LastErrorText();
    ASSERT_TRUE(KAVO_ProjectVerifyWrite(project)) << LastErrorText();

    ASSERT_GE(g_fractions.size(), 2u);
    EXPECT_EQ(g_fractions.front(), 0.0);
    EXPECT_EQ(g_fractions.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(g_fractions.begin(), g_fractions.end()));

    const lab::Devices machine = Machine();
    EXPECT_FALSE(machine.discs.at(machine.writers.at('E').disc).blank);
    EXPECT_FALSE(machine.writers.at('E').trayOpen);
    const auto tree = iso::ReadJolietTree(lab::Devices::ImagePath(machine.writers.at('E').disc));
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->label, L"Scan 2026");
    ASSERT_EQ(tree->files.size(), 2u);
    EXPECT_EQ(tree->files.at(L"Job 1/Page 1.jpg").size, 5000u);
    EXPECT_EQ(tree->files.at(L"Job 1/Page 2.jpg").size, 6u);
}

TEST_F(BurnerTest, VerifyCatchesAChangedByte) {
    KAVO_HANDLE project = DataProject({{"a.bin", std::string(100000, 'x')}});
    ASSERT_TRUE(KAVO_ProjectWrite(project));
    // Change one byte of the written image, inside the file's data.
    const std::wstring image = lab::Devices::ImagePath(Machine().writers.at('E').disc);
    std::string bytes = testsupport::ReadFileBytes(image);
    const auto at = bytes.find(std::string(1000, 'x'));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 4242] = 'y';
    testsupport::WriteFileBytes(image, bytes);
    EXPECT_FALSE(KAVO_ProjectVerifyWrite(project));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_VERIFY_MISMATCH);
    EXPECT_EQ(LastErrorText(), "Verify failed: Job 1/a.bin differs at byte 4242");
}

TEST_F(BurnerTest, CallbackAnsweringOtherThanOneStopsTheWrite) {
    g_stopAt = 0.5;
    KAVO_HANDLE project = DataProject({{"big.bin", std::string(3 << 20, 'z')}});
    EXPECT_FALSE(KAVO_ProjectWrite(project));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_CANCELLED);
    EXPECT_LT(g_fractions.back(), 1.0);
    EXPECT_FALSE(KAVO_ProjectVerifyWrite(project));
    // The disc was written into: it is no longer blank.
    const lab::Devices machine = Machine();
    EXPECT_FALSE(machine.discs.at(machine.writers.at('E').disc).blank);
}

TEST_F(BurnerTest, WriteRefusesFullUsedOrMissingDiscs) {
    WriteScenario("[Writer.E]\nDisc = 4:blank:1\n");
    KAVO_HANDLE project = DataProject({{"big.bin", std::string(2 << 20, 'z')}});
    EXPECT_FALSE(KAVO_ProjectWrite(project));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_DISC_FULL);
    EXPECT_TRUE(Machine().discs.at(1).blank);

    WriteScenario("[Writer.E]\nDisc = 7:used\n");
    DeleteFileW(lab_.File(L"devices.ini").c_str());
    EXPECT_FALSE(KAVO_ProjectWrite(project));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_DISC_NOT_BLANK);

    KAVO_HANDLE unbound = Hold(KAVO_CreateDataProject(engine_));
    EXPECT_FALSE(KAVO_ProjectWrite(unbound));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_NO_DESTINATION);
}

TEST_F(BurnerTest, TrayOpensAfterWritingWhenAsked) {
    KAVO_HANDLE project = DataProject({{"a.txt", "a"}});
    ASSERT_TRUE(KAVO_ProjectSetWriteOpenTray(project, 1));
    ASSERT_TRUE(KAVO_ProjectWrite(project));
    EXPECT_TRUE(Machine().writers.at('E').trayOpen);
}

TEST_F(BurnerTest, AddFileChecksSourceNameAndDuplicates) {
    KAVO_HANDLE project = DataProject({{"a.txt", "a"}});
    const std::string source = testsupport::ToUtf8(lab_.File(L"src\\a.txt"));
    EXPECT_FALSE(KAVO_DiscDataAddFileA(tree_, (source + ".missing").c_str(), "Job 1/m.txt"));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_SOURCE_UNREADABLE);
    EXPECT_FALSE(KAVO_DiscDataAddFileA(tree_, source.c_str(), "job 1/A.TXT"));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_ALREADY_ON_DISC);
    EXPECT_FALSE(KAVO_DiscDataAddFileA(tree_, source.c_str(), ("Job 1/" + std::string(65, 'n')).c_str()));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_NAME_TOO_LONG);
    EXPECT_FALSE(KAVO_DiscDataAddFileA(tree_, source.c_str(), "Job 1/a?.txt"));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_INVALID_ARGUMENT);
    EXPECT_FALSE(KAVO_DiscDataCreateFolderA(tree_, ""));
    // A second folder may be made implicitly by the file's path.
    EXPECT_TRUE(KAVO_DiscDataAddFileA(tree_, source.c_str(), "Job 2/a.txt"));
    ASSERT_TRUE(KAVO_ProjectWrite(project)) << LastErrorText();
    EXPECT_TRUE(KAVO_ProjectVerifyWrite(project)) << LastErrorText();
}

TEST_F(BurnerTest, EraseBlanksAUsedRewritableDiscOnly) {
    WriteScenario("[Writer.E]\nDisc = 7:used\n");
    KAVO_HANDLE drive = OpenDrive();
    KAVO_HANDLE disc = Hold(KAVO_DriveOpenDisc(drive));
    KAVO_HANDLE erase = Hold(KAVO_CreateEraseProject(engine_));
    EXPECT_FALSE(KAVO_ProjectGetVirtualDisc(erase));
    ASSERT_TRUE(KAVO_ProjectSetDestDisc(erase, disc));
    ASSERT_TRUE(KAVO_ProjectSetProgressCallback(erase, RecordProgress, 77));
    ASSERT_TRUE(KAVO_ProjectWrite(erase)) << LastErrorText();
    EXPECT_EQ(KAVO_DiscIsEmpty(disc), 1);
    EXPECT_EQ(g_fractions.back(), 1.0);

    WriteScenario("[Writer.E]\nDisc = 4:used\n");
    DeleteFileW(lab_.File(L"devices.ini").c_str());
    EXPECT_FALSE(KAVO_ProjectWrite(erase));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_NOT_REWRITABLE);
}

TEST_F(BurnerTest, InjectedFailuresGiveTheirCodeAndText) {
    WriteScenario("[Writer.E]\nDisc = 4\n[Failures]\nKAVO.ProjectWrite = 1:12\nKAVO.ProjectVerifyWrite = *:11\n"
                  "KAVO.DriveCheckDisc = 2:15\nKAVO.Create = 3:3\n[KAVO.Errors]\n12 = Laser overheated\n");
    KAVO_HANDLE project = DataProject({{"a.txt", "a"}});
    EXPECT_FALSE(KAVO_ProjectWrite(project));
    EXPECT_EQ(KAVO_GetLastError(), 12);
    EXPECT_EQ(LastErrorText(), "Laser overheated");
    ASSERT_TRUE(KAVO_ProjectWrite(project));
    EXPECT_FALSE(KAVO_ProjectVerifyWrite(project));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_VERIFY_MISMATCH);

    KAVO_HANDLE drive = OpenDrive();
    EXPECT_EQ(KAVO_DriveCheckDisc(drive, 1000, 0), KAVO_DISC_READY);
    EXPECT_EQ(KAVO_DriveCheckDisc(drive, 1000, 0), KAVO_DISC_ERROR);
    EXPECT_FALSE(KAVO_Create(KAVO_VERSION));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_NO_DRIVE);
    EXPECT_STREQ(KAVO_GetErrorMessageA(9999), "Unknown error 9999");
}

TEST_F(BurnerTest, HandlesAreCountedUntilReleased) {
    KAVO_HANDLE engine = KAVO_Create(KAVO_VERSION);
    KAVO_EnumerateDrives(engine);
    KAVO_HANDLE drive = KAVO_OpenDrive(engine, 0);
    KAVO_HANDLE project = KAVO_CreateDataProject(engine);
    KAVO_HANDLE tree = KAVO_ProjectGetVirtualDisc(project);
    EXPECT_EQ(KAVO_LabOpenHandles(), 4);
    // The tree keeps its project usable after the project's handle is gone.
    EXPECT_TRUE(KAVO_Release(project));
    EXPECT_TRUE(KAVO_DiscDataCreateFolderA(tree, "x"));
    EXPECT_FALSE(KAVO_Release(project));
    EXPECT_EQ(KAVO_GetLastError(), KAVO_ERROR_INVALID_HANDLE);
    EXPECT_FALSE(KAVO_DriveCheckDisc(project, 1000, 0));
    for (KAVO_HANDLE handle : {tree, drive, engine}) EXPECT_TRUE(KAVO_Release(handle));
    EXPECT_EQ(KAVO_LabOpenHandles(), 0);
    const std::string trace = testsupport::ReadFileBytes(lab_.File(L"trace.log"));
    EXPECT_NE(trace.find("open handles 0\r\n"), std::string::npos);
}

}  // namespace
