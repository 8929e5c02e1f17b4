// Every fault the robot and the burning engine can answer, one row each, through the whole disc road on the
// lab: its two threads, the robot library and the engine, with the window's job timers played by the
// recording view. Each row states its scenario and how the road must end: what the operator is told, which
// discs were written or rejected, how many loads it took, and that the job's pages and lists are intact.
#include "DiscRoad.h"

#include <gtest/gtest.h>

#include "DiscTestSupport.h"
#include "IsoReader.h"
#include "KTRobots20.h"
#include "SharedState.h"

using namespace pagorin;
using namespace disctest;

namespace {

struct Fault {
    const char* name;      // the row's name
    const char* scenario;  // the lab: its fault, then the discs in the input bin
    const char* told;      // the line (its beginning) that tells the operator how the road ended
    int written;           // discs in the output bin, each holding the whole job
    int rejected;          // discs in the reject bin
    int loads;             // loads the road asked the robot for
    bool jobFailed = false;
    int rwPolicy = 0;      // 0 erase a used rewritable disc, 1 reject it
    bool robotThreadEnds = false;
};

void PrintTo(const Fault& f, std::ostream* os) { *os << f.name; }

const std::vector<JobFolder>& Job()
{
    static const std::vector<JobFolder> job = {
        JobFolder{"Job 1", {{"a.jpg", Pattern(3000, 1)}, {"b.jpg", Pattern(9000, 2)}}},
        JobFolder{"Job 2", {{"c.jpg", Pattern(100, 3)}}}};
    return job;
}

class DiscFault : public ::testing::TestWithParam<Fault> {
protected:
    void TearDown() override
    {
        if (road_) {
            EXPECT_TRUE(road_->Stop(10000));
        }
        KT_Robots_Close();
    }
    void Run(const Fault& f)
    {
        lab_.Scenario(f.scenario);
        SetDiscTitle(L"Fault Label");
        WriteJob(lab_, Job());
        session_ = testsupport::ReadFileBytes(lab_.File(L"Session.txt"));
        view_.PlayJob = true;
        view_.CurrentRules.RwDiscPolicy = f.rwPolicy;
        road_ = std::make_unique<DiscRoad>(view_, LabRoadConfig(lab_));
        road_->Start();
    }
    // Nothing moves any more: the robot and the worker idle and the lab's trace stays as it is for a run of
    // polls.
    bool Settled()
    {
        size_t last = std::string::npos;
        int quiet = 0;
        return WaitUntil([&] {
            size_t now = lab_.Trace().size();
            bool idle = RobotState == StateIdle && DiscCommand == CommandNone && !DiscBusy;
            quiet = idle && now == last ? quiet + 1 : 0;
            last = now;
            return quiet >= 15;
        });
    }
    // The pages, their lists and "Session.txt" are as the job left them.
    void ExpectJobIntact()
    {
        EXPECT_EQ(testsupport::ReadFileBytes(lab_.File(L"Session.txt")), session_);
        for (const JobFolder& folder : Job()) {
            std::wstring dir = lab_.File(L"Queue\\" + std::wstring(folder.name.begin(), folder.name.end()));
            std::string list = testsupport::ReadFileBytes(dir + L"\\FileList0.txt");
            for (const auto& file : folder.files) {
                std::wstring name(file.name.begin(), file.name.end());
                EXPECT_EQ(testsupport::ReadFileBytes(dir + L"\\" + name), file.bytes) << file.name;
                EXPECT_NE(list.find(file.name), std::string::npos) << file.name << " left its list";
            }
        }
    }
    // Every page of the job, byte for byte, in its transaction's folder on the disc.
    void ExpectWholeJobOn(int disc)
    {
        std::wstring image = lab::Devices::ImagePath(disc);
        auto tree = iso::ReadJolietTree(image);
        ASSERT_TRUE(tree) << "disc " << disc << " holds no readable image";
        std::string bytes = testsupport::ReadFileBytes(image);
        size_t pages = 0;
        for (const JobFolder& folder : Job())
            for (const auto& file : folder.files) {
                std::string path = folder.name + "/" + file.name;
                auto at = tree->files.find(std::wstring(path.begin(), path.end()));
                ASSERT_NE(at, tree->files.end()) << path << " missing on disc " << disc;
                EXPECT_EQ(bytes.substr(size_t(at->second.offset), size_t(at->second.size)), file.bytes) << path;
                ++pages;
            }
        EXPECT_EQ(tree->files.size(), pages) << "disc " << disc << " holds more than the job";
    }

    LabFixture lab_;
    RecordingView view_;
    std::unique_ptr<DiscRoad> road_;
    std::string session_;
};

TEST_P(DiscFault, RoadEndsTellsTheOperatorAndKeepsEveryPage)
{
    const Fault& f = GetParam();
    Run(f);
    ASSERT_TRUE(WaitUntil([&] { return view_.HasPrefix(f.told); })) << "never told \"" << f.told << "\"\n"
                                                                      << view_.Dump();
    ASSERT_TRUE(Settled()) << "the road did not come to rest\n" << view_.Dump();

    auto machine = LabFixture::Machine();
    EXPECT_EQ(int(machine.output.size()), f.written) << view_.Dump();
    EXPECT_EQ(int(machine.reject.size()), f.rejected) << view_.Dump();
    EXPECT_EQ(lab_.Calls("KTROBOTS20", "LoadDrive"), f.loads) << view_.Dump();
    EXPECT_EQ(view_.HasPrefix("job failed: "), f.jobFailed) << view_.Dump();
    EXPECT_LE(view_.Count("unloaded") + int(view_.HasPrefix("job failed: ")), 1) << "the job ended twice";
    EXPECT_EQ(road_->RobotExitCode().has_value(), f.robotThreadEnds);
    // A job waiting for the operator to refill the bin keeps its retry; an ended one does not.
    if (f.jobFailed || f.written > 0) {
        EXPECT_FALSE(BurnRetryPending) << "a retry is left pending after the job ended";
    }
    // Neither an empty writer nor the disc of a failed job is taken for one a job may be written on.
    if (!machine.DiscIn('E') || f.jobFailed) {
        EXPECT_EQ(DetectedDiscType, -1) << "the writer is taken to hold a usable disc";
    }
    ExpectJobIntact();
    for (int disc : machine.output)
        ExpectWholeJobOn(disc);
    // A written disc the robot could not take out holds the whole job too.
    const lab::Disc* inWriter = machine.DiscIn('E');
    if (inWriter && GetFileAttributesW(lab::Devices::ImagePath(inWriter->id).c_str()) != INVALID_FILE_ATTRIBUTES)
        ExpectWholeJobOn(inWriter->id);
}

// The robot's own codes. "Other" stands for any code the robot library does not document for the call.
INSTANTIATE_TEST_SUITE_P(
    Robot, DiscFault,
    ::testing::Values(
        Fault{"InitReady", "[Failures]\nKTROBOTS20.Init = 1:1\n",
              "box Error: STATE_INIT : Unexpected error return code 1", 0, 0, 0},
        Fault{"InitFailed", "[Failures]\nKTROBOTS20.Init = 1:498\n", "status Memory defect encountered.", 0, 0, 0,
              false, 0, true},
        Fault{"InitOther", "[Failures]\nKTROBOTS20.Init = 1:407\n",
              "box Error: STATE_INIT : Unexpected error return code 407", 0, 0, 0, false, 0, true},
        Fault{"ConnectFailed", "[Failures]\nKTROBOTS20.Connect = 1:498\n", "status Connecting robots failed", 0, 0,
              0},
        Fault{"RobotNotUsable", "[Robot1]\nUsable = no\n", "status Connecting robots failed", 0, 0, 0},
        Fault{"ConnectOther", "[Failures]\nKTROBOTS20.Connect = 1:407\n",
              "box Error: STATE_CONNECT : Unexpected error return code 407", 0, 0, 0},
        Fault{"ActiveInvalidId", "[Failures]\nKTROBOTS20.Active = 1:410\n", "status The robot ID is invalid.", 0, 0,
              0},
        Fault{"ActiveFailed", "[Failures]\nKTROBOTS20.Active = 1:498\n", "status Operation failed (498)", 0, 0, 0},
        Fault{"ActiveOther", "[Failures]\nKTROBOTS20.Active = 1:407\n",
              "box Error: STATE_ACTIVATE : Unexpected error return code 407", 0, 0, 0},
        Fault{"EnumDrivesFailed", "[Failures]\nKTROBOTS20.EnumDrives = 1:402\n", "status 0 writers ready", 0, 0, 0},
        Fault{"LoadBadWriter", "[Failures]\nKTROBOTS20.LoadDrive = 1:402\n",
              "job failed: Loading a disc failed (402)", 0, 0, 1, true},
        // A writer that refuses a load as full has its disc rejected, once per load; found empty, as good.
        Fault{"LoadWriterFull", "[Failures]\nKTROBOTS20.LoadDrive = 1:415\n", "unloaded", 1, 0, 2},
        Fault{"LoadIntoAWriterHoldingADisc", "[Writer.E]\nDisc = 4:used\n", "unloaded", 1, 1, 2},
        Fault{"WriterStillFullAfterItsDiscWasRejected", "[Failures]\nKTROBOTS20.LoadDrive = 1:415, 2:415\n",
              "job failed: Loading a disc failed (415)", 0, 0, 2, true},
        Fault{"LoadTrayLocked", "[Failures]\nKTROBOTS20.LoadDrive = 1:416\n",
              "job failed: Loading a disc failed (416)", 0, 0, 1, true},
        Fault{"LoadError", "[Failures]\nKTROBOTS20.LoadDrive = 1:499\n",
              "job failed: Loading a disc failed (499)", 0, 0, 1, true},
        Fault{"LoadOther", "[Failures]\nKTROBOTS20.LoadDrive = 1:407\n",
              "job failed: Loading a disc failed (407)", 0, 0, 1, true},
        Fault{"InputBinEmptyAtOnce", "[Failures]\nKTROBOTS20.LoadDrive = 1:430\n",
              "input bin empty", 0, 0, 1},
        Fault{"InputBinEmptyAfterAReject", "[InputBin]\nDiscs = 0:blank\n", "input bin empty", 0, 1, 2},
        Fault{"UnloadBadWriter", "[Failures]\nKTROBOTS20.UnloadDrive = 1:402\n",
              "job failed: Unloading the written disc failed (402)", 0, 0, 1, true},
        Fault{"UnloadNoDisc", "[Failures]\nKTROBOTS20.UnloadDrive = 1:413\n",
              "job failed: Unloading the written disc failed (413)", 0, 0, 1, true},
        Fault{"UnloadTrayLocked", "[Failures]\nKTROBOTS20.UnloadDrive = 1:416\n",
              "job failed: Unloading the written disc failed (416)", 0, 0, 1, true},
        Fault{"UnloadError", "[Failures]\nKTROBOTS20.UnloadDrive = 1:499\n",
              "job failed: Unloading the written disc failed (499)", 0, 0, 1, true},
        Fault{"UnloadOther", "[Failures]\nKTROBOTS20.UnloadDrive = 1:407\n",
              "job failed: Unloading the written disc failed (407)", 0, 0, 1, true},
        Fault{"RejectBadWriter", "[InputBin]\nDiscs = 0, 4\n[Failures]\nKTROBOTS20.UnloadDrive = 1:402\n",
              "job failed: Rejecting the disc failed (402)", 0, 0, 1, true},
        Fault{"RejectNoDisc", "[InputBin]\nDiscs = 0, 4\n[Failures]\nKTROBOTS20.UnloadDrive = 1:413\n",
              "job failed: Rejecting the disc failed (413)", 0, 0, 1, true},
        Fault{"RejectTrayLocked", "[InputBin]\nDiscs = 0, 4\n[Failures]\nKTROBOTS20.UnloadDrive = 1:416\n",
              "job failed: Rejecting the disc failed (416)", 0, 0, 1, true},
        Fault{"RejectError", "[InputBin]\nDiscs = 0, 4\n[Failures]\nKTROBOTS20.UnloadDrive = 1:499\n",
              "job failed: Rejecting the disc failed (499)", 0, 0, 1, true},
        Fault{"RejectOther", "[InputBin]\nDiscs = 0, 4\n[Failures]\nKTROBOTS20.UnloadDrive = 1:407\n",
              "job failed: Rejecting the disc failed (407)", 0, 0, 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Each medium type, blank and used, as the first disc of the bin; a blank DVD follows it. A disc the job
// cannot use is rejected and the job goes to the next one; a used rewritable disc is erased first unless the
// policy says reject.
INSTANTIATE_TEST_SUITE_P(
    Medium, DiscFault,
    ::testing::Values(
        Fault{"Type0Blank", "[InputBin]\nDiscs = 0:blank, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type0Used", "[InputBin]\nDiscs = 0:used, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type1Blank", "[InputBin]\nDiscs = 1:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type1Used", "[InputBin]\nDiscs = 1:used, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type2Blank", "[InputBin]\nDiscs = 2:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type2Used", "[InputBin]\nDiscs = 2:used, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type3Blank", "[InputBin]\nDiscs = 3:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type3UsedErased", "[InputBin]\nDiscs = 3:used, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type3UsedRejected", "[InputBin]\nDiscs = 3:used, 4\n", "unloaded", 1, 1, 2, false, 1},
        Fault{"Type4Blank", "[InputBin]\nDiscs = 4:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type4Used", "[InputBin]\nDiscs = 4:used, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type5Blank", "[InputBin]\nDiscs = 5:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type5Used", "[InputBin]\nDiscs = 5:used, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type6Blank", "[InputBin]\nDiscs = 6:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type6Used", "[InputBin]\nDiscs = 6:used, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type7Blank", "[InputBin]\nDiscs = 7:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type7UsedErased", "[InputBin]\nDiscs = 7:used, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type7UsedRejected", "[InputBin]\nDiscs = 7:used, 4\n", "unloaded", 1, 1, 2, false, 1},
        Fault{"Type8Blank", "[InputBin]\nDiscs = 8:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type8Used", "[InputBin]\nDiscs = 8:used, 4\n", "unloaded", 1, 1, 2},
        Fault{"Type9Blank", "[InputBin]\nDiscs = 9:blank, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type9UsedErased", "[InputBin]\nDiscs = 9:used, 4\n", "unloaded", 1, 0, 1},
        Fault{"Type9UsedRejected", "[InputBin]\nDiscs = 9:used, 4\n", "unloaded", 1, 1, 2, false, 1},
        Fault{"Type10Blank", "[InputBin]\nDiscs = 10:blank, 4\n", "unloaded", 1, 1, 2},
        Fault{"BinOfUnusableDiscsEndsAtTheEmptyBin", "[InputBin]\nDiscs = 3*1:used\n", "input bin empty", 0, 3, 4}),
    [](const auto& info) { return std::string(info.param.name); });

// The engine: disc checks beyond their retries, erase, write, verify and write speed failures, a burn that
// fails on every disc, and no engine at all.
INSTANTIATE_TEST_SUITE_P(
    Engine, DiscFault,
    ::testing::Values(
        Fault{"CheckErrorWithinItsRetries", "[InputBin]\nDiscs = 4:error=2, 4\n", "unloaded", 1, 0, 1},
        Fault{"CheckErrorBeyondItsRetries", "[InputBin]\nDiscs = 4:error=3, 4\n", "unloaded", 1, 1, 2},
        Fault{"CheckNotReadyWithinItsWaits", "[InputBin]\nDiscs = 4:notready=20, 4\n", "unloaded", 1, 0, 1},
        Fault{"CheckNotReadyBeyondItsWaits", "[InputBin]\nDiscs = 4:notready=21, 4\n", "unloaded", 1, 1, 2},
        Fault{"CheckUndocumentedAnswerOnEveryDisc", "[InputBin]\nDiscs = 2*4\n[Failures]\nKAVO.DriveCheckDisc = *:5\n",
              "input bin empty", 0, 2, 3},
        Fault{"EraseFails", "[InputBin]\nDiscs = 7:used, 4\n[Failures]\nKAVO.ProjectWrite = 1:12\n", "unloaded", 1,
              1, 2},
        Fault{"EraseLeavesTheDiscUsed", "[InputBin]\nDiscs = 7:used, 4\n[Failures]\nKAVO.DiscIsEmpty = *:0\n",
              "input bin empty", 0, 2, 3},
        Fault{"WriteFailsOnce", "[InputBin]\nDiscs = 3*4\n[Failures]\nKAVO.ProjectWrite = 1:12\n", "unloaded", 1, 1,
              2},
        Fault{"VerifyFailsOnce", "[InputBin]\nDiscs = 3*4\n[Failures]\nKAVO.ProjectVerifyWrite = 1:11\n", "unloaded",
              1, 1, 2},
        Fault{"WriteSpeedFails", "[Failures]\nKAVO.ProjectSetWriteSpeed = 1:12\n",
              "box Burn Thread: KAVO_ProjectSetWriteSpeed() failed", 1, 0, 1},
        Fault{"WriteFailsOnEveryDisc", "[InputBin]\nDiscs = 6*4\n[Failures]\nKAVO.ProjectWrite = *:12\n",
              "job failed: Writing failed on 3 discs in a row", 0, 3, 3, true},
        Fault{"VerifyFailsOnEveryDisc", "[InputBin]\nDiscs = 6*4\n[Failures]\nKAVO.ProjectVerifyWrite = *:11\n",
              "job failed: Writing failed on 3 discs in a row", 0, 3, 3, true},
        Fault{"WriteFailsThenTheNextLoadFails",
              "[InputBin]\nDiscs = 3*4\n[Failures]\nKAVO.ProjectWrite = 1:12\nKTROBOTS20.LoadDrive = 2:402\n",
              "job failed: Loading a disc failed (402)", 0, 1, 2, true},
        Fault{"WriteFailsThenItsRejectFails",
              "[InputBin]\nDiscs = 3*4\n[Failures]\nKAVO.ProjectWrite = 1:12\nKTROBOTS20.UnloadDrive = 1:416\n",
              "job failed: Rejecting the disc failed (416)", 0, 0, 1, true},
        Fault{"WriteFailsUntilTheBinIsEmpty", "[InputBin]\nDiscs = 2*4\n[Failures]\nKAVO.ProjectWrite = *:12\n",
              "input bin empty", 0, 2, 3},
        Fault{"EngineMissing", "[Failures]\nKAVO.Create = *:1\n",
              "job failed: The disc could not be checked", 0, 1, 1, true},
        Fault{"EngineLostBeforeTheBurn", "[Failures]\nKAVO.Create = 2:1\n", "job failed: The disc job could not be written",
              0, 1, 1, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
