// The disc worker and the disc events without threads: a disc sits in the lab's writer E, the test sets
// DiscCommand as the robot thread or the job timers would and runs one step of the worker.
#include "DiscWorker.h"

#include <gtest/gtest.h>

#include <thread>

#include "DiscTestSupport.h"
#include "Kavo.h"
#include "SharedState.h"

using namespace pagorin;
using disctest::LabFixture;
using disctest::RecordingView;

namespace {

class DiscWorkerTest : public ::testing::Test {
protected:
    void WriterHolds(const std::string& disc, const std::string& more = "")
    {
        lab_.Scenario("[Writer.E]\nDisc = " + disc + "\n" + more);
    }
    // The step the worker takes after the robot loaded a disc into E.
    void CheckLoadedDisc()
    {
        BurnDriveLetter = 'E';
        DiscCommand = CommandCheckDisc;
        worker_.RunOnce();
    }
    void TearDown() override { EXPECT_EQ(KAVO_LabOpenHandles(), 0) << "engine handles left open"; }

    LabFixture lab_;
    RecordingView view_;
    DiscTiming timing_ = disctest::FastTiming();
    StopSignal stop_;
    PendingJobFailure failure_;
    DiscWorker worker_{view_, timing_, stop_, failure_, lab_.AnsiFile("engine.log")};
};

struct CheckCase {
    const char* scenario;  // the writer's disc, or a whole scenario when it starts with '['
    int expectedClass;
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.scenario; }

class DiscCheckTable : public DiscWorkerTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(DiscCheckTable, ClassifiesTheDiscInTheWriter)
{
    const CheckCase& c = GetParam();
    if (c.scenario[0] == '[')
        lab_.Scenario(c.scenario);
    else
        WriterHolds(c.scenario);
    EXPECT_EQ(worker_.CheckDisc('E'), c.expectedClass) << c.scenario;
}

INSTANTIATE_TEST_SUITE_P(
    DiscClasses, DiscCheckTable,
    ::testing::Values(CheckCase{"1:blank", 1}, CheckCase{"2:blank", 1}, CheckCase{"2:used", 7},
                      CheckCase{"3:blank", 2}, CheckCase{"3:used", 3}, CheckCase{"4:blank", 4},
                      CheckCase{"5:blank", 4}, CheckCase{"6:blank", 4}, CheckCase{"8:blank", 4},
                      CheckCase{"8:used", 7}, CheckCase{"7:blank", 5}, CheckCase{"9:blank", 5},
                      CheckCase{"7:used", 6}, CheckCase{"9:used", 6}, CheckCase{"0", 7}, CheckCase{"10", 7},
                      // not ready for a while, then ready; never ready within 21 waits
                      CheckCase{"4:notready=5", 4}, CheckCase{"4:notready=25", 7},
                      // three error answers, and no disc at all
                      CheckCase{"4:error=3", 0}, CheckCase{"[Writer.E]\n", 0},
                      // answers the engine does not document are asked again a bounded number of times
                      CheckCase{"[Writer.E]\nDisc = 4\n[Failures]\nKAVO.DriveCheckDisc = *:5\n", 0},
                      // no engine at all
                      CheckCase{"[Writer.E]\nDisc = 4\n[Failures]\nKAVO.Create = *:3\n", 999}));

TEST_F(DiscWorkerTest, WriterTheEngineDoesNotKnowIsUnavailable)
{
    WriterHolds("4");
    EXPECT_EQ(worker_.CheckDisc('Q'), DiscClassUnavailable);
}

TEST_F(DiscWorkerTest, LowerCaseLetterFindsTheDrive)
{
    WriterHolds("4");
    EXPECT_EQ(worker_.CheckDisc('e'), 4);
}

TEST_F(DiscWorkerTest, RepeatedErrorWritesTheEngineDiagnostics)
{
    WriterHolds("4:error=5");
    EXPECT_EQ(worker_.CheckDisc('E'), 0);
    std::string log = testsupport::ReadFileBytes(lab_.File(L"engine.log"));
    EXPECT_NE(log.find("ERROR: "), std::string::npos) << log;
    EXPECT_TRUE(view_.HasPrefix("log Disc check failed: ERROR: ")) << view_.Dump();
}

TEST_F(DiscWorkerTest, BlankDiscIsAcceptedWithItsCapacity)
{
    WriterHolds("1:blank");
    CheckLoadedDisc();
    EXPECT_EQ(DiscClass, 1);
    EXPECT_TRUE(view_.Has("capacity 650 MB"));
    EXPECT_TRUE(view_.Has("accepted 1"));
    EXPECT_TRUE(DiscReady);
    EXPECT_EQ(DetectedDiscType, 1);
    EXPECT_FALSE(DiscBusy);
}

TEST_F(DiscWorkerTest, UsedRewritableIsErasedReloadedAndCheckedAgainUnderPolicyErase)
{
    WriterHolds("7:used");
    view_.CurrentRules.RwDiscPolicy = 0;
    CheckLoadedDisc();
    EXPECT_TRUE(view_.Has("capacity 0 / 4200 MB"));
    EXPECT_TRUE(view_.Has("caption erase"));
    ASSERT_EQ(DiscCommand, CommandErase);
    worker_.RunOnce();  // erase, close the tray, order a new check
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "LOAD"), 1);
    ASSERT_EQ(DiscCommand, CommandCheckDisc);
    worker_.RunOnce();
    EXPECT_EQ(DiscClass, 5);
    EXPECT_TRUE(view_.Has("accepted 2")) << view_.Dump();
    EXPECT_EQ(RobotState, StateIdle);
}

TEST_F(DiscWorkerTest, UsedRewritableIsEjectedAndRejectedUnderPolicyReject)
{
    WriterHolds("3:used");
    view_.CurrentRules.RwDiscPolicy = 1;
    CheckLoadedDisc();
    EXPECT_TRUE(view_.Has("capacity 0 / 650 MB"));
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "EJECT"), 1);
    EXPECT_EQ(RobotState, StateRejectWriter);
    EXPECT_TRUE(view_.Has("notice unload"));
    EXPECT_FALSE(view_.Has("caption erase"));
    EXPECT_EQ(lab_.Calls("KAVO", "CreateEraseProject"), 0);
}

TEST_F(DiscWorkerTest, WrongFamilyIsRejectedWithoutEjectingInAnInteractiveRun)
{
    WriterHolds("4:blank");
    view_.CurrentRules = {true, 1, 0};  // Disc Type CD
    CheckLoadedDisc();
    EXPECT_EQ(RobotState, StateRejectWriter);
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "EJECT"), 0);
    EXPECT_FALSE(view_.HasPrefix("capacity")) << view_.Dump();
    EXPECT_FALSE(DiscReady);
}

TEST_F(DiscWorkerTest, HotKeyRunIgnoresTheDiscTypeSetting)
{
    WriterHolds("4:blank");
    view_.CurrentRules = {false, 1, 0};
    CheckLoadedDisc();
    EXPECT_TRUE(view_.Has("accepted 2"));
}

TEST_F(DiscWorkerTest, UnusableDiscIsEjectedAndRejected)
{
    WriterHolds("2:used");
    CheckLoadedDisc();
    EXPECT_TRUE(view_.Has("capacity 0"));
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "EJECT"), 1);
    EXPECT_EQ(RobotState, StateRejectWriter);
}

TEST_F(DiscWorkerTest, UnavailableEngineRejectsTheDiscAndEndsTheJob)
{
    lab_.Scenario("[Writer.E]\nDisc = 4\n[Failures]\nKAVO.Create = *:3\n");
    CheckLoadedDisc();
    EXPECT_EQ(DiscClass, 999);
    EXPECT_EQ(RobotState, StateRejectWriter);
    auto reason = failure_.Take();
    ASSERT_TRUE(reason.has_value());
    EXPECT_TRUE(view_.Has("log " + *reason));
}

TEST_F(DiscWorkerTest, RejectWaitsForABusyRobotThenGivesUp)
{
    WriterHolds("2:used");
    timing_.RobotWait = 200;
    RobotState = StateConnect;  // e.g. a reconnect after a volume arrival
    CheckLoadedDisc();
    EXPECT_EQ(RobotState, StateConnect) << "the reconnect must not be overwritten";
    EXPECT_TRUE(view_.HasPrefix("job failed: ")) << view_.Dump();
}

}  // namespace

namespace {

using disctest::JobFolder;
using disctest::Pattern;

class BurnTest : public DiscWorkerTest {
protected:
    void SetUp() override
    {
        SetDiscTitle(L"Test Label");
        WriterHolds("4:blank");
    }
    void StandardJob()
    {
        disctest::WriteJob(lab_, {JobFolder{"Job A", {{"Page 1.jpg", Pattern(5000, 1)}, {"Page 2.jpg", Pattern(70000, 2)}}},
                                  JobFolder{"Job B", {{"Page 1.tif", Pattern(123, 3)}}}});
    }
    bool DiscStillBlank()
    {
        auto machine = LabFixture::Machine();
        return machine.DiscIn('E') && machine.DiscIn('E')->blank;
    }
};

TEST_F(BurnTest, WritesVerifiesAndOpensTheTray)
{
    StandardJob();
    BurnOutcome outcome = worker_.BurnSession('E');
    EXPECT_EQ(outcome.Result, BurnWritten) << outcome.Detail;
    EXPECT_TRUE(view_.Has("caption verify"));
    EXPECT_EQ(view_.lastProgress, 100);
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "EJECT"), 1);
    EXPECT_EQ(lab_.Calls("KAVO", "ProjectVerifyWrite"), 1);
    EXPECT_NE(lab_.Trace().find("Test Label"), std::string::npos);
}

TEST_F(BurnTest, WrittenJobUnloadsTheDisc)
{
    StandardJob();
    DiscCommand = CommandBurn;
    BurnDriveLetter = 'E';
    worker_.RunOnce();
    EXPECT_EQ(DiscCommand, CommandNone);
    EXPECT_EQ(RobotState, StateUnloadWriter);
    EXPECT_TRUE(view_.Has("caption idle"));
    EXPECT_FALSE(BurnRetryPending);
}

// The job is taken once when the burn starts: a job prepared meanwhile (a new title, another "Session.txt")
// reaches the next burn, not this one.
TEST_F(BurnTest, JobChangedWhileBurningDoesNotReachTheRunningBurn)
{
    StandardJob();
    lab_.Scenario("[Writer.E]\nDisc = 4:blank\n[Delays]\nKAVO.DiscDataCreateFolderA = 300\n");
    BurnOutcome outcome;
    std::thread burn([&] { outcome = worker_.BurnSession('E'); });
    bool started = disctest::WaitUntil([&] { return lab_.Calls("KAVO", "ProjectGetVirtualDisc") > 0; });
    SetDiscTitle(L"Next Label");
    SetSessionFilePath(lab_.AnsiFile("none\\Session.txt"));
    burn.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(outcome.Result, BurnWritten) << outcome.Detail;
    EXPECT_NE(lab_.Trace().find("Test Label"), std::string::npos);
    EXPECT_EQ(lab_.Trace().find("Next Label"), std::string::npos);
}

TEST_F(BurnTest, MissingSessionFileIs900)
{
    SetSessionFilePath(lab_.AnsiFile("none\\Session.txt"));
    EXPECT_EQ(worker_.BurnSession('E').Result, BurnNoSessionFile);
}

TEST_F(BurnTest, MissingFileListFailsTheBurnBeforeWriting)
{
    StandardJob();
    DeleteFileA(lab_.AnsiFile("Queue\\Job B\\FileList0.txt").c_str());
    BurnOutcome outcome = worker_.BurnSession('E');
    EXPECT_EQ(outcome.Result, BurnEngineFailed);
    EXPECT_NE(outcome.Detail.find("Job B"), std::string::npos) << outcome.Detail;
    EXPECT_EQ(lab_.Calls("KAVO", "ProjectWrite"), 0);
    EXPECT_TRUE(DiscStillBlank());
}

TEST_F(BurnTest, PageThatCannotBeAddedFailsTheBurn)
{
    StandardJob();
    DeleteFileA(lab_.AnsiFile("Queue\\Job A\\Page 2.jpg").c_str());
    BurnOutcome outcome = worker_.BurnSession('E');
    EXPECT_EQ(outcome.Result, BurnEngineFailed);
    EXPECT_NE(outcome.Detail.find("Page 2.jpg"), std::string::npos) << outcome.Detail;
    EXPECT_TRUE(DiscStillBlank());
}

TEST_F(BurnTest, LinesLeftAfterAnEmptyLineFailTheBurn)
{
    StandardJob();
    std::string session = testsupport::ReadFileBytes(lab_.File(L"Session.txt"));
    size_t second = session.find('\n') + 1;
    testsupport::WriteFileBytes(lab_.File(L"Session.txt"), session.substr(0, second) + "\n" + session.substr(second));
    EXPECT_EQ(worker_.BurnSession('E').Result, BurnEngineFailed);
    EXPECT_TRUE(DiscStillBlank());
}

TEST_F(BurnTest, TrailingEmptyLinesAreFine)
{
    StandardJob();
    std::string session = testsupport::ReadFileBytes(lab_.File(L"Session.txt"));
    testsupport::WriteFileBytes(lab_.File(L"Session.txt"), session + "\n\n");
    EXPECT_EQ(worker_.BurnSession('E').Result, BurnWritten);
}

TEST_F(BurnTest, VerifyFailureIs901AndStillOpensTheTray)
{
    lab_.Scenario("[Writer.E]\nDisc = 4:blank\n[Failures]\nKAVO.ProjectVerifyWrite = *:11\n");
    StandardJob();
    BurnOutcome outcome = worker_.BurnSession('E');
    EXPECT_EQ(outcome.Result, BurnWriteFailed);
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "EJECT"), 1);
}

TEST_F(BurnTest, WriteFailureIs901WithoutOpeningTheTray)
{
    lab_.Scenario("[Writer.E]\nDisc = 4:blank\n[Failures]\nKAVO.ProjectWrite = *:12\n");
    StandardJob();
    EXPECT_EQ(worker_.BurnSession('E').Result, BurnWriteFailed);
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "EJECT"), 0);
}

TEST_F(BurnTest, WriteSpeedFailureIsReportedAndTheBurnGoesOn)
{
    lab_.Scenario("[Writer.E]\nDisc = 4:blank\n[Failures]\nKAVO.ProjectSetWriteSpeed = *:2\n");
    StandardJob();
    EXPECT_EQ(worker_.BurnSession('E').Result, BurnWritten);
    EXPECT_TRUE(view_.Has("box Burn Thread: KAVO_ProjectSetWriteSpeed() failed"));
}

// The same job failing again and again: the disc is rejected and the job retried on the next disc, until
// the cap ends the job instead of emptying the input bin.
TEST_F(BurnTest, RepeatedBurnFailuresStopAtTheCap)
{
    DiscEvents events(view_, timing_, stop_, failure_);
    for (int attempt = 1; attempt <= DiscEvents::MaxBurnAttempts; ++attempt) {
        RobotState = StateIdle;
        events.Handle(EventBurned, BurnWriteFailed, "Verify failed");
        EXPECT_EQ(RobotState, StateRejectWriter) << attempt;
        EXPECT_EQ(BurnRetryPending.load(), attempt < DiscEvents::MaxBurnAttempts) << attempt;
        EXPECT_EQ(failure_.Pending(), attempt == DiscEvents::MaxBurnAttempts) << attempt;
    }
}

TEST_F(BurnTest, SuccessResetsTheRetryCount)
{
    DiscEvents events(view_, timing_, stop_, failure_);
    for (int result : {901, 901, 1, 901, 901}) {
        RobotState = StateIdle;
        events.Handle(EventBurned, result, "");
    }
    EXPECT_TRUE(BurnRetryPending);
    EXPECT_FALSE(failure_.Pending());
}

TEST_F(BurnTest, ResultsWithoutAWayOnRejectAndEndTheJob)
{
    DiscEvents events(view_, timing_, stop_, failure_);
    for (int result : {int(BurnNoSessionFile), int(BurnEngineFailed)}) {
        RobotState = StateIdle;
        events.Handle(EventBurned, result, "detail");
        EXPECT_EQ(RobotState, StateRejectWriter) << result;
        EXPECT_TRUE(failure_.Take().has_value()) << result;
        EXPECT_FALSE(BurnRetryPending);
    }
}

TEST_F(BurnTest, ProgressIsClampedToWholePercent)
{
    DiscEvents events(view_, timing_, stop_, failure_);
    events.Handle(EventProgress, 130);
    EXPECT_EQ(view_.lastProgress, 100);
    events.Handle(EventProgress, -5);
    EXPECT_EQ(view_.lastProgress, 0);
}

}  // namespace
