// The disc road with its two threads on the device lab: connecting, loading, checking, burning, unloading and
// rejecting, with the job timers of the window played by the recording view.
#include "DiscRoad.h"

#include <gtest/gtest.h>

#include "DiscTestSupport.h"
#include "KTRobots20.h"
#include "SharedState.h"

using namespace pagorin;
using disctest::JobFolder;
using disctest::LabFixture;
using disctest::Pattern;
using disctest::RecordingView;
using disctest::WaitUntil;

namespace {

class DiscRoadTest : public ::testing::Test {
protected:
    void StartRoad()
    {
        road_ = std::make_unique<DiscRoad>(view_, disctest::LabRoadConfig(lab_));
        road_->Start();
    }
    void TearDown() override
    {
        if (road_) {
            EXPECT_TRUE(road_->Stop(10000));
        }
        KT_Robots_Close();
    }
    bool Ready() { return WaitUntil([&] { return view_.HasPrefix("writers "); }); }
    void StandardJob()
    {
        SetDiscTitle(L"Road Label");
        disctest::WriteJob(lab_, {JobFolder{"Job 1", {{"a.jpg", Pattern(3000, 1)}, {"b.jpg", Pattern(9000, 2)}}},
                                  JobFolder{"Job 2", {{"c.jpg", Pattern(100, 3)}}}});
    }

    LabFixture lab_;
    RecordingView view_;
    std::unique_ptr<DiscRoad> road_;
};

struct ConnectCase {
    const char* scenario;
    const char* connected;  // the status line
    const char* writers;    // the view's writer line
    char letter;
};

void PrintTo(const ConnectCase& c, std::ostream* os) { *os << c.connected; }

class RobotConnect : public DiscRoadTest, public ::testing::WithParamInterface<ConnectCase> {};

TEST_P(RobotConnect, FindsTheFirstRobotsFirstWriter)
{
    const ConnectCase& c = GetParam();
    lab_.Scenario(c.scenario);
    StartRoad();
    ASSERT_TRUE(WaitUntil([&] { return view_.Has(c.connected); })) << view_.Dump();
    if (c.writers)
        ASSERT_TRUE(WaitUntil([&] { return view_.Has(c.writers); })) << view_.Dump();
    else
        EXPECT_EQ(lab_.Calls("KTROBOTS20", "Active"), 0);
    EXPECT_EQ(RobotDriveLetter, c.letter);
    EXPECT_EQ(RobotState, StateIdle);
}

INSTANTIATE_TEST_SUITE_P(
    Robots, RobotConnect,
    ::testing::Values(ConnectCase{"[Robots]\nCount = 0\n", "status 0 robot connected", nullptr, 0},
                      ConnectCase{"[Robots]\nCount = 1\n", "status 1 robot connected",
                                  "writers 1 E: Lab DVD Writer / Lab Autoloader 1", 'E'},
                      ConnectCase{"[Robots]\nCount = 2\n[Robot1]\nName = First\nWriters = G, H\n"
                                  "[Writer.G]\nName = G: first writer\n",
                                  "status 2 robots connected", "writers 2 G: first writer / First", 'G'}));

TEST_F(DiscRoadTest, EmptyInputBinReachesTheAlert)
{
    lab_.Scenario("[InputBin]\nDiscs = 4\n");
    view_.PlayJob = true;
    StandardJob();
    StartRoad();
    ASSERT_TRUE(WaitUntil([&] { return view_.Has("unloaded"); })) << view_.Dump();
    int idle = StateIdle;
    ASSERT_TRUE(RobotState.compare_exchange_strong(idle, StateLoadWriter));  // the next copy
    ASSERT_TRUE(WaitUntil([&] { return view_.Has("input bin empty"); })) << view_.Dump();
    EXPECT_FALSE(DiscBusy);
    EXPECT_EQ(DiscCommand, CommandNone);
}

TEST_F(DiscRoadTest, JobIsBurnedVerifiedAndUnloaded)
{
    lab_.Scenario("[InputBin]\nDiscs = 2*4\n");
    view_.PlayJob = true;
    StandardJob();
    StartRoad();
    ASSERT_TRUE(WaitUntil([&] { return view_.Has("unloaded"); })) << view_.Dump();
    auto machine = LabFixture::Machine();
    ASSERT_EQ(machine.output.size(), 1u);
    EXPECT_TRUE(machine.reject.empty());
    EXPECT_EQ(machine.input.size(), 1u);
    EXPECT_EQ(GetFileAttributesW(lab::Devices::ImagePath(machine.output[0]).c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_TRUE(view_.Has("accepted 2"));
    EXPECT_TRUE(view_.Has("caption verify"));
    EXPECT_TRUE(view_.Has("caption idle"));
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "UnLockDriver"), 1);
}

// Two failed burns, then the load of the third disc fails and the job is given up. The operator's next job
// has its own three tries: its first failed burn is retried on the next disc.
TEST_F(DiscRoadTest, NextJobAfterAFailedOneHasItsOwnBurnRetries)
{
    lab_.Scenario("[InputBin]\nDiscs = 6*4\n[Failures]\nKAVO.ProjectWrite = 1:12, 2:12, 3:12\n"
                  "KTROBOTS20.LoadDrive = 3:402\n");
    view_.PlayJob = true;
    StandardJob();
    StartRoad();
    ASSERT_TRUE(WaitUntil([&] { return view_.HasPrefix("job failed: Loading a disc failed (402)"); })) << view_.Dump();
    ASSERT_TRUE(WaitUntil([&] { return RobotState == StateIdle && !DiscBusy; }));
    int idle = StateIdle;
    ASSERT_TRUE(RobotState.compare_exchange_strong(idle, StateLoadWriter));  // the next job
    ASSERT_TRUE(WaitUntil([&] { return view_.Has("unloaded") || view_.HasPrefix("job failed: Writing"); }))
        << view_.Dump();
    EXPECT_TRUE(view_.Has("unloaded")) << view_.Dump();
    EXPECT_EQ(lab_.Calls("KAVO", "ProjectWrite"), 4);
}

TEST_F(DiscRoadTest, JobListThatCannotBeReadEndsTheJobWithTheDiscRejected)
{
    lab_.Scenario("[InputBin]\nDiscs = 3*4\n");
    view_.PlayJob = true;
    StandardJob();
    DeleteFileA(lab_.AnsiFile("Queue\\Job 2\\FileList0.txt").c_str());
    StartRoad();
    ASSERT_TRUE(WaitUntil([&] { return view_.HasPrefix("job failed: "); })) << view_.Dump();
    // The reject came before the failure was reported, and told the window not to load the next disc.
    EXPECT_TRUE(view_.Has("rejected, job stops")) << view_.Dump();
    auto machine = LabFixture::Machine();
    EXPECT_EQ(machine.reject.size(), 1u);
    EXPECT_EQ(machine.input.size(), 2u);
    EXPECT_EQ(lab_.Calls("KAVO", "ProjectWrite"), 0);
}

TEST_F(DiscRoadTest, CloseDuringASlowLoadEndsWithoutAHang)
{
    lab_.Scenario("[InputBin]\nDiscs = 2*4\n[Delays]\nKTROBOTS20.LoadDrive = 3000\n");
    view_.PlayJob = true;
    StandardJob();
    StartRoad();
    // The writer is locked right before the load, which the lab holds for 3 s.
    ASSERT_TRUE(WaitUntil([&] { return lab_.Calls("KTROBOTS20", "LockDriver") == 1; })) << view_.Dump();
    ASSERT_EQ(lab_.Calls("KTROBOTS20", "LoadDrive"), 0) << "the load is over already";
    EXPECT_TRUE(road_->Stop(10000));
    road_.reset();
    EXPECT_EQ(KT_Robots_Park(1), 0);
    EXPECT_FALSE(view_.Has("accepted 2")) << "no disc check after the stop";
}

}  // namespace
