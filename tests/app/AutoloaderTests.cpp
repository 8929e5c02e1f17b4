// The robot state machine without its thread: library results of each step and what follows them, and the
// window's device-change handling.
#include "Autoloader.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include "DiscTestSupport.h"
#include "KTRobots20.h"
#include "SharedState.h"

using namespace pagorin;
using disctest::LabFixture;
using disctest::RecordingView;

namespace {

struct ResultCase {
    int state, rc;
    int nextState;
    std::vector<std::string> lines;  // each must be among the view's lines
    const char* context;
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.context; }

class RobotResultTable : public ::testing::TestWithParam<ResultCase> {
protected:
    LabFixture lab_;
    RecordingView view_;
    DiscTiming timing_ = disctest::FastTiming();
    StopSignal stop_;
    PendingJobFailure failure_;
};

TEST_P(RobotResultTable, LeadsToTheNextStateAndTheWindowsChanges)
{
    const ResultCase& c = GetParam();
    Autoloader robot(view_, timing_, stop_, failure_, "C:\\Work");
    RobotDriveLetter = 'E';
    RobotState = c.state;
    robot.HandleRobotResult(c.state, c.rc);
    EXPECT_EQ(RobotState, c.nextState) << c.context;
    for (const auto& line : c.lines)
        EXPECT_TRUE(view_.Has(line)) << c.context << ": no \"" << line << "\" in\n" << view_.Dump();
    KT_Robots_Close();
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RobotResultTable,
    ::testing::Values(
        ResultCase{StateInit, 0, StateConnect, {}, "init ready"},
        ResultCase{StateInit, 1, StateIdle, {"box Error: STATE_INIT : Unexpected error return code 1"}, "init 1"},
        ResultCase{StateInit, 498, StateIdle, {"status Memory defect encountered."}, "init failed"},
        ResultCase{StateActivate, 400, StateEnumWriters, {}, "active"},
        ResultCase{StateActivate, 410, StateIdle, {"status The robot ID is invalid."}, "invalid id"},
        ResultCase{StateActivate, 7, StateIdle, {"box Error: STATE_ACTIVATE : Unexpected error return code 7"}, "odd"},
        ResultCase{StateLoadWriter, 400, StateIdle, {"notice off"}, "loaded"},
        ResultCase{StateLoadWriter, 430, StateIdle, {"input bin empty"}, "bin empty"},
        ResultCase{StateLoadWriter, 415, StateRejectWriter,
                   {"status The writer holds a disc that no job writes on: it goes to the reject bin first.",
                    "notice unload"},
                   "writer full"},
        ResultCase{StateUnloadWriter, 0, StateIdle, {"status Disc unloaded", "unloaded"}, "unloaded"},
        ResultCase{StateUnloadWriter, 400, StateIdle,
                   {"box Error: STATE_UNLOADWRITER : Unexpected error return code 400", "unload failed"}, "400"},
        ResultCase{StateRejectWriter, 400, StateIdle, {"status Disc rejected", "rejected"}, "rejected"},
        ResultCase{StateRejectWriter, 413, StateIdle,
                   {"rejected, job stops", "job failed: Rejecting the disc failed (413): "}, "no disc"}));

TEST_F(RobotResultTable, LoadOrdersADiscCheckOnTheRobotsWriter)
{
    Autoloader robot(view_, timing_, stop_, failure_, "C:\\Work");
    RobotDriveLetter = 'E';
    RobotState = StateLoadWriter;
    robot.HandleRobotResult(StateLoadWriter, 400);
    EXPECT_TRUE(DiscBusy);
    EXPECT_EQ(BurnDriveLetter, 'E');
    EXPECT_EQ(DiscCommand, CommandCheckDisc);
}

TEST_F(RobotResultTable, InputBinEmptyLeavesTheWriterFree)
{
    Autoloader robot(view_, timing_, stop_, failure_, "C:\\Work");
    DiscBusy = true;
    RobotState = StateLoadWriter;
    robot.HandleRobotResult(StateLoadWriter, 430);
    EXPECT_FALSE(DiscBusy);
    EXPECT_EQ(DiscCommand, CommandNone);
}

TEST_F(RobotResultTable, RejectEndingAFailedJobDoesNotLoadTheNextDisc)
{
    Autoloader robot(view_, timing_, stop_, failure_, "C:\\Work");
    failure_.Set("Writing failed on 3 discs in a row");
    RobotState = StateRejectWriter;
    robot.HandleRobotResult(StateRejectWriter, 400);
    EXPECT_TRUE(view_.Has("rejected, job stops"));
    EXPECT_TRUE(view_.Has("job failed: Writing failed on 3 discs in a row"));
    EXPECT_FALSE(view_.Has("rejected"));
}

// The thread hands over the state it acted on: a reconnect requested meanwhile survives the load's result.
TEST_F(RobotResultTable, ResultOfAStepKeepsAStateSetMeanwhile)
{
    Autoloader robot(view_, timing_, stop_, failure_, "C:\\Work");
    RobotState = StateConnect;
    robot.HandleRobotResult(StateLoadWriter, 430);
    EXPECT_EQ(RobotState, StateConnect);
    EXPECT_TRUE(view_.Has("input bin empty"));
}

// Device changes as the window receives them.
class DeviceChangeTest : public ::testing::Test {
protected:
    void SetUp() override { disctest::ResetSharedState(); }
    void Send(WPARAM event, DWORD deviceType, DWORD mask)
    {
        DEV_BROADCAST_VOLUME volume{};
        volume.dbcv_size = sizeof volume;
        volume.dbcv_devicetype = deviceType;
        volume.dbcv_unitmask = mask;
        HandleDeviceChange(event, LPARAM(&volume), view_, driveType_);
    }
    static UINT WINAPI Gone(LPCSTR) { return DRIVE_NO_ROOT_DIR; }
    static UINT WINAPI StillCdRom(LPCSTR) { return DRIVE_CDROM; }

    RecordingView view_;
    DriveTypeFunction driveType_ = Gone;
};

TEST_F(DeviceChangeTest, ArrivalReconnectsWhenNoWriterIsKnown)
{
    Send(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, (1 << 5) | (1 << 7));
    EXPECT_EQ(RobotState, StateConnect);
    EXPECT_TRUE(view_.Has("status Drive F: is online now"));
}

TEST_F(DeviceChangeTest, ArrivalLeavesAKnownWriterAndABusyRobotAlone)
{
    RobotDriveLetter = 'E';
    Send(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, 1 << 5);
    EXPECT_EQ(RobotState, StateIdle);
    RobotDriveLetter = 0;
    RobotState = StateLoadWriter;
    Send(DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, 1 << 5);
    EXPECT_EQ(RobotState, StateLoadWriter);
}

TEST_F(DeviceChangeTest, RemovalOfTheRobotsWriterForgetsIt)
{
    RobotDriveLetter = 'E';
    Send(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, 1 << 4);
    EXPECT_EQ(RobotDriveLetter, 0);
    EXPECT_TRUE(view_.Has("writer removed"));
}

TEST_F(DeviceChangeTest, RemovalsThatChangeNothing)
{
    RobotDriveLetter = 'E';
    Send(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, 1 << 6);  // another volume
    driveType_ = StillCdRom;
    Send(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, 1 << 4);  // still a CD drive
    EXPECT_EQ(RobotDriveLetter, 'E');
    EXPECT_FALSE(view_.Has("writer removed"));
    Send(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT, 1 << 4);
    EXPECT_TRUE(view_.Has("status pDeviceInfo->dbch_devicetype = ?"));
    EXPECT_EQ(RobotDriveLetter, 'E');
}

}  // namespace
