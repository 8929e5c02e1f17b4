// KTROBOTS20.DLL under Wine, through its exported functions: codes and effects of every call on the lab.
#include "Devices.h"
#include "KTRobots20.h"
#include "Lab.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using testsupport::TempDir;

namespace {

class RobotTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str());
        WriteScenario("[InputBin]\nDiscs = 4:blank, 2*7:used\n");
    }
    void TearDown() override {
        KT_Robots_Close();
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }

    void WriteScenario(const std::string& text) { testsupport::WriteFileBytes(lab_.File(L"scenario.ini"), text); }

    // Init, connect and activate the first robot, as the robot thread does at start.
    void StartRobot() {
        ASSERT_EQ(KT_Robots_Init(0), 0);
        int count = 0, ids[KT_ROBOTS_MAX] = {}, words[KT_ROBOTS_MAX] = {};
        unsigned char usable[KT_ROBOTS_MAX] = {};
        ASSERT_EQ(KT_Robots_Connect(&count, ids, words, usable), 0);
        ASSERT_GE(count, 1);
        char a[KT_ROBOTS_TEXT_SIZE], b[KT_ROBOTS_TEXT_SIZE];
        ASSERT_EQ(KT_Robots_Active(ids[0], a, b, sizeof a), KT_ROBOTS_DONE);
    }

    std::string Message() {
        char text[KT_ROBOTS_TEXT_SIZE] = {};
        EXPECT_EQ(KT_Robots_GetMessage(1, text), 0);
        return text;
    }

    static lab::Devices Machine() {
        lab::StateLock lock;
        return lab::Devices::Load();
    }

    TempDir lab_;
};

TEST_F(RobotTest, StartUpFindsTheRobotAndItsWriter) {
    EXPECT_EQ(KT_Robots_Init(0), 0);
    EXPECT_EQ(KT_Robots_SetProperty(KT_ROBOTS_PROPERTY_WORKING_PATH, "C:\\Work"), 0);
    int count = -1, ids[KT_ROBOTS_MAX] = {}, words[KT_ROBOTS_MAX] = {};
    unsigned char usable[KT_ROBOTS_MAX] = {};
    ASSERT_EQ(KT_Robots_Connect(&count, ids, words, usable), 0);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(usable[0], 1);
    char name[256], info[256];
    ASSERT_EQ(KT_Robots_GetRobotInfo(ids[0], name, info, 256), 0);
    EXPECT_STREQ(name, "Lab Autoloader 1");
    EXPECT_NE(std::string(info), "");
    EXPECT_EQ(KT_Robots_Active(ids[0], name, info, 256), KT_ROBOTS_DONE);
    char letters[KT_ROBOTS_MAX_WRITERS] = {};
    int writers = 0;
    ASSERT_EQ(KT_Robots_EnumDrives(ids[0], &writers, letters), 0);
    ASSERT_EQ(writers, 1);
    EXPECT_EQ(letters[0], 'E');
    char drive[KT_ROBOTS_DRIVE_NAME_SIZE];
    ASSERT_EQ(KT_Robots_GetDriveName('E', drive), 0);
    EXPECT_STREQ(drive, "E: Lab DVD Writer");
    EXPECT_EQ(KT_Robots_Park(ids[0]), 0);
}

TEST_F(RobotTest, ScenarioGivesRobotsWritersAndUsability) {
    WriteScenario("[Robots]\nCount = 2\n[Robot1]\nId = 7\nUsable = no\nWriters = G\n"
                  "[Robot2]\nId = 9\nName = Second\nWriters = h, I\n[Writer.H]\nName = X: odd name\n"
                  "[Writer.I]\nName = I: Brenner \xC3\xBC\n");
    ASSERT_EQ(KT_Robots_Init(0), 0);
    int count = 0, ids[KT_ROBOTS_MAX] = {}, words[KT_ROBOTS_MAX] = {};
    unsigned char usable[KT_ROBOTS_MAX] = {};
    ASSERT_EQ(KT_Robots_Connect(&count, ids, words, usable), 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(ids[0], 7);
    EXPECT_EQ(usable[0], 0);
    EXPECT_EQ(ids[1], 9);
    EXPECT_EQ(usable[1], 1);
    char a[256], b[256];
    EXPECT_EQ(KT_Robots_Active(7, a, b, 256), KT_ROBOTS_FAILED);
    EXPECT_EQ(KT_Robots_Active(8, a, b, 256), KT_ROBOTS_INVALID_ID);
    EXPECT_EQ(KT_Robots_GetRobotInfo(8, a, b, 256), KT_ROBOTS_INVALID_ID);
    EXPECT_EQ(KT_Robots_Park(8), KT_ROBOTS_INVALID_ID);
    EXPECT_EQ(KT_Robots_Active(9, a, b, 256), KT_ROBOTS_DONE);
    char letters[KT_ROBOTS_MAX_WRITERS];
    int writers = 0;
    ASSERT_EQ(KT_Robots_EnumDrives(9, &writers, letters), 0);
    ASSERT_EQ(writers, 2);
    EXPECT_EQ(std::string(letters, 2), "HI");
    char drive[KT_ROBOTS_DRIVE_NAME_SIZE];
    ASSERT_EQ(KT_Robots_GetDriveName('H', drive), 0);
    EXPECT_STREQ(drive, "X: odd name");
    // Lab texts are UTF-8; the library's are ANSI (code page 1252 here).
    ASSERT_EQ(KT_Robots_GetDriveName('I', drive), 0);
    EXPECT_STREQ(drive, "I: Brenner \xFC");
    EXPECT_EQ(KT_Robots_GetDriveName('Q', drive), KT_ROBOTS_BAD_WRITER);
    EXPECT_STREQ(drive, "");
}

TEST_F(RobotTest, NoRobotConnectedGivesCountZero) {
    WriteScenario("[Robots]\nCount = 0\n");
    ASSERT_EQ(KT_Robots_Init(0), 0);
    int count = -1, ids[KT_ROBOTS_MAX], words[KT_ROBOTS_MAX];
    unsigned char usable[KT_ROBOTS_MAX];
    EXPECT_EQ(KT_Robots_Connect(&count, ids, words, usable), 0);
    EXPECT_EQ(count, 0);
}

TEST_F(RobotTest, CallsBeforeInitFail) {
    int count = 0, ids[KT_ROBOTS_MAX], words[KT_ROBOTS_MAX];
    unsigned char usable[KT_ROBOTS_MAX];
    EXPECT_EQ(KT_Robots_Connect(&count, ids, words, usable), KT_ROBOTS_FAILED);
    EXPECT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_ERROR);
    EXPECT_EQ(Message(), "Library not initialised");
}

TEST_F(RobotTest, DiscsMoveBetweenBinsAndWriter) {
    StartRobot();
    EXPECT_EQ(CDRWCTLs_LockDriver('E'), 0);
    ASSERT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_DONE);
    EXPECT_EQ(Machine().writers['E'].disc, 1);
    EXPECT_EQ(Machine().input, (std::deque<int>{2, 3}));
    EXPECT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_WRITER_FULL);

    // A locked tray keeps a written disc until it is unlocked.
    EXPECT_EQ(KT_Robots_UnloadDrive('E', 0, 2, 0), KT_ROBOTS_TRAY_LOCKED);
    EXPECT_EQ(CDRWCTLs_UnLockDriver('E'), 0);
    ASSERT_EQ(KT_Robots_UnloadDrive('E', 0, 2, 0), 0);
    EXPECT_EQ(Machine().output, (std::vector<int>{1}));
    EXPECT_EQ(Machine().writers['E'].disc, 0);
    EXPECT_EQ(KT_Robots_UnloadDrive('E', 0, 2, 0), KT_ROBOTS_NO_DISC);
    EXPECT_EQ(KT_Robots_UnloadDrive('E', 0, 4, 0), KT_ROBOTS_NO_DISC);

    // A reject takes the disc even from a locked tray.
    EXPECT_EQ(CDRWCTLs_LockDriver('E'), 0);
    ASSERT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_DONE);
    ASSERT_EQ(KT_Robots_UnloadDrive('E', 0, 4, 0), KT_ROBOTS_DONE);
    EXPECT_EQ(Machine().reject, (std::vector<int>{2}));
    EXPECT_FALSE(Machine().discs[2].blank);
    EXPECT_EQ(Machine().discs[2].medium, 7);

    ASSERT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_DONE);
    EXPECT_EQ(KT_Robots_UnloadDrive('E', 0, 4, 0), KT_ROBOTS_DONE);
    EXPECT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_INPUT_EMPTY);
    EXPECT_EQ(Message(), "The input bin is empty");
    EXPECT_EQ(Machine().reject, (std::vector<int>{2, 3}));
}

TEST_F(RobotTest, WrongWriterOrMovementIsRefused) {
    StartRobot();
    EXPECT_EQ(KT_Robots_LoadDrive('Q', 0, 1, 0), KT_ROBOTS_BAD_WRITER);
    EXPECT_EQ(KT_Robots_LoadDrive('E', 0, 2, 0), KT_ROBOTS_BAD_WRITER);
    EXPECT_EQ(KT_Robots_UnloadDrive('E', 0, 3, 0), KT_ROBOTS_BAD_WRITER);
    EXPECT_EQ(CDRWCTLs_EJECT('Q'), KT_ROBOTS_BAD_WRITER);
    EXPECT_EQ(Machine().input.size(), 3u);
    // A lower-case letter names the same writer.
    EXPECT_EQ(KT_Robots_LoadDrive('e', 0, 1, 0), KT_ROBOTS_DONE);
}

TEST_F(RobotTest, TrayCallsChangeTheWriter) {
    EXPECT_EQ(CDRWCTLs_EJECT('E'), 0);
    EXPECT_TRUE(Machine().writers['E'].trayOpen);
    EXPECT_EQ(CDRWCTLs_LOAD('E'), 0);
    EXPECT_FALSE(Machine().writers['E'].trayOpen);
    EXPECT_EQ(CDRWCTLs_LockDriver('E'), 0);
    EXPECT_TRUE(Machine().writers['E'].locked);
    EXPECT_EQ(CDRWCTLs_UnLockDriver('E'), 0);
    EXPECT_FALSE(Machine().writers['E'].locked);
}

TEST_F(RobotTest, OutputBuffersStayWithinTheirSizes) {
    const std::string longName(300, 'n');
    WriteScenario("[Robot1]\nName = " + longName + "\n[Writer.E]\nName = E" + longName + "\n");
    ASSERT_EQ(KT_Robots_Init(0), 0);
    char name[32], info[32];
    memset(name, '#', sizeof name);
    memset(info, '#', sizeof info);
    ASSERT_EQ(KT_Robots_GetRobotInfo(1, name, info, 8), 0);
    EXPECT_STREQ(name, "nnnnnnn");
    EXPECT_EQ(name[8], '#');
    EXPECT_EQ(info[8], '#');

    char drive[KT_ROBOTS_DRIVE_NAME_SIZE + 8];
    memset(drive, '#', sizeof drive);
    ASSERT_EQ(KT_Robots_GetDriveName('E', drive), 0);
    EXPECT_EQ(strlen(drive), size_t(KT_ROBOTS_DRIVE_NAME_SIZE - 1));
    EXPECT_EQ(drive[KT_ROBOTS_DRIVE_NAME_SIZE], '#');

    // The last message is now the long writer name; GetMessage cuts it to its buffer.
    char text[KT_ROBOTS_TEXT_SIZE + 8];
    memset(text, '#', sizeof text);
    ASSERT_EQ(KT_Robots_GetMessage(1, text), 0);
    EXPECT_EQ(strlen(text), size_t(KT_ROBOTS_TEXT_SIZE - 1));
    EXPECT_EQ(text[KT_ROBOTS_TEXT_SIZE], '#');
}

TEST_F(RobotTest, InjectedFailuresAnswerTheirCodeAndMessage) {
    WriteScenario("[InputBin]\nDiscs = 4\n[Failures]\nKTROBOTS20.LoadDrive = 2:499, 3:402\nKTROBOTS20.Init = 2:498\n");
    StartRobot();
    ASSERT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_DONE);
    ASSERT_EQ(KT_Robots_UnloadDrive('E', 0, 4, 0), KT_ROBOTS_DONE);
    EXPECT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_ERROR);
    EXPECT_EQ(Message(), "Robot error");
    EXPECT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_BAD_WRITER);
    // A failed movement moves nothing.
    EXPECT_EQ(KT_Robots_LoadDrive('E', 0, 1, 0), KT_ROBOTS_INPUT_EMPTY);
    EXPECT_EQ(KT_Robots_Init(0), KT_ROBOTS_FAILED);
    EXPECT_EQ(Message(), "Operation failed");
}

TEST_F(RobotTest, EveryCallIsTraced) {
    StartRobot();
    KT_Robots_LoadDrive('E', 0, 1, 0);
    const std::string trace = testsupport::ReadFileBytes(lab_.File(L"trace.log"));
    EXPECT_NE(trace.find("KTROBOTS20\tInit\treserved=0\t0\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("KTROBOTS20\tActive\trobot=1, size=256\t400\r\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("KTROBOTS20\tLoadDrive\tletter=E, 0, move=1, 0\t400\r\n"), std::string::npos) << trace;
}

TEST_F(RobotTest, ConcurrentMovementsKeepEveryDisc) {
    WriteScenario("[Robot1]\nWriters = E, F\n[InputBin]\nDiscs = 40*4\n");
    StartRobot();
    std::vector<std::thread> threads;
    for (char letter : {'E', 'F'})
        threads.emplace_back([letter] {
            for (int i = 0; i < 15; ++i) {
                if (KT_Robots_LoadDrive(letter, 0, 1, 0) != KT_ROBOTS_DONE) return;
                KT_Robots_UnloadDrive(letter, 0, i % 2 ? 2 : 4, 0);
            }
        });
    // A third thread works the trays meanwhile, as Test Tray would.
    threads.emplace_back([] {
        for (int i = 0; i < 30; ++i) CDRWCTLs_EJECT('E'), CDRWCTLs_LOAD('E');
    });
    for (auto& thread : threads) thread.join();
    const lab::Devices machine = Machine();
    EXPECT_EQ(machine.input.size(), 10u);
    EXPECT_EQ(machine.output.size() + machine.reject.size(), 30u);
}

}  // namespace
