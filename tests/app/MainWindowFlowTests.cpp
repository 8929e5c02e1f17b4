// The main window's job flow in the test's own process, on real windows: the forms made as the program makes
// them but without their start-up work (no TWAIN, no threads), so the test plays the robot's part through the
// shared state and presses the operator's buttons through their handlers. Each case pins a way the window
// once got stuck.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>

#include "Autoloader.h"
#include "DayLog.h"
#include "DialogTestSupport.h"
#include "DiscEventsWindow.h"
#include "DiscJob.h"
#include "DiscRoadView.h"
#include "KTRobots20.h"
#include "SharedState.h"

namespace {

using namespace dialogtest;
using pagorin::TfrmMain;

class MainWindowFlow : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str());  // the robot library the close calls
        Put("Disc Type", 2);                                             // DVD: Load shows "4,200 MB"
        CreateForms();
        Main().QueuePath = Main().Config.WorkingPath + "\\Queue";
        CreateDirectoryA(Main().QueuePath.c_str(), nullptr);
        // An autoloader with its writer, idle and empty, as the robot thread leaves it once it is ready.
        pagorin::RobotDriveLetter = 'E';
        pagorin::RobotState = pagorin::StateIdle;
        pagorin::DiscCommand = pagorin::CommandNone;
        pagorin::DiscBusy = false;
        pagorin::DiscReady = false;
        pagorin::DetectedDiscType = -1;
        pagorin::DiscOutReportDue = false;
    }
    void TearDown() override
    {
        pagorin::RobotDriveLetter = 0;
        pagorin::RobotState = pagorin::StateIdle;
        pagorin::DiscBusy = false;
        pagorin::StopWorkers = false;
        DialogTest::TearDown();
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }
    static TfrmMain& Main() { return *pagorin::frmMain; }

    // A transaction an earlier run left in the queue, with one page; restored as the start restores it.
    vcl::TTreeNode* QueuedTransaction()
    {
        std::string folder = Main().QueuePath + "\\20250102-030405";
        CreateDirectoryA(folder.c_str(), nullptr);
        testsupport::WriteFileBytes(Widen(folder) + L"\\p001.jpg", "\xFF\xD8 page \xFF\xD9");
        vcl::TTreeNode* restored = Main().Transactions.Restore(folder, TextOf(Main().cbxDiscLabel));
        EXPECT_NE(restored, nullptr);
        return restored;
    }
    // A queue of more folders than the restore opens at once, each with a page of 1 KB, and one folder of
    // leftovers only.
    void LongQueue(int folders)
    {
        for (int i = 0; i < folders; ++i) {
            std::wstring folder = Widen(Main().QueuePath) + L"\\20250101-" + std::to_wstring(100000 + i);
            CreateDirectoryW(folder.c_str(), nullptr);
            testsupport::WriteFileBytes(folder + L"\\p001.jpg", std::string(1024, 'x'));
        }
        std::wstring leftovers = Widen(Main().QueuePath) + L"\\20250102-000000";
        CreateDirectoryW(leftovers.c_str(), nullptr);
        testsupport::WriteFileBytes(leftovers + L"\\FileList.txt", "");
    }
    bool PagesIn(size_t transactions, int pages)
    {
        const auto& roots = Main().Transactions.Transactions();
        return roots.size() == transactions &&
               std::all_of(roots.begin(), roots.end(), [&](vcl::TTreeNode* root) { return root->GetCount() == pages; });
    }
    std::string DayLog() const { return testsupport::ReadFileBytes(Widen(pagorin::TheDayLog().Path())); }
    void StartDayLog() { pagorin::TheDayLog().Prepare(Main().Config.WorkingPath, pagorin::RegistryKey(pagorin::KeyLocation(), true)); }

    testsupport::TempDir lab_;
};

// Load Default Settings shows the disc type's capacity in its caption; that caption once passed for a disc
// classified in the writer, so Write loaded nothing and waited for ever.
TEST_F(MainWindowFlow, WriteAfterLoadDefaultSettingsLoadsADisc)
{
    QueuedTransaction();
    Main().btnLoadSettingsClick(Main().btnLoadSettings);
    ASSERT_EQ(TextOf(Main().txtCapacity), L"4,200 MB");
    Main().bbtnWriteClick(Main().bbtnWrite);
    EXPECT_EQ(pagorin::RobotState, pagorin::StateLoadWriter) << "no disc was asked for";
    EXPECT_TRUE(pagorin::DiscBusy);
}

// A written disc still counted as classified while the robot took it out: a transaction that closed then was
// listed for it, the burn ran on the empty writer and failed, and the written disc's end took its pages for
// written, so a hot-key run ended with 0 and those pages on no disc.
TEST_F(MainWindowFlow, NoJobIsListedForTheDiscTheRobotIsTakingOut)
{
    StartDayLog();
    pagorin::SetSessionFilePath(Main().Config.WorkingPath + "\\Session.txt");
    // A hand-over's transaction, open, as the run's second one.
    vcl::TTreeNode* transaction = QueuedTransaction();
    pagorin::TransactionRecord* record = pagorin::TransactionTree::RecordOf(transaction);
    record->Closed = false;
    record->SessionTag = Main().OperationMode = Main().WritingSessionTag = 2;
    Main().CurrentTransaction = transaction;
    pagorin::DiscReady = true;
    pagorin::DetectedDiscType = 2;  // as the burn of the disc just written left it
    pagorin::RobotState = pagorin::StateUnloadWriter;
    Main().tmrAllPagesDoneTimer(Main().tmrAllPagesDone);
    ASSERT_TRUE(record->Closed);
    if (Main().tmrDiscReady->GetEnabled())
        Main().tmrDiscReadyTimer(Main().tmrDiscReady);
    EXPECT_EQ(pagorin::DiscCommand, pagorin::CommandNone) << "a burn was ordered on the disc leaving the writer\n" << DayLog();
    EXPECT_EQ(pagorin::TransactionTree::RecordOf(transaction->GetItem(0))->WriteState, pagorin::WriteWaiting);
}

// Write with nothing checked has no job for a disc: none is loaded, and the operator gets the controls back.
TEST_F(MainWindowFlow, WriteWithNothingCheckedLoadsNoDiscAndGivesTheControlsBack)
{
    StartDayLog();
    vcl::TTreeNode* transaction = QueuedTransaction();
    Main().tvSessions->ChangeNodeCheckState(transaction, csUnchecked);
    Main().bbtnWriteClick(Main().bbtnWrite);
    EXPECT_EQ(pagorin::RobotState, pagorin::StateIdle) << "a disc was loaded for nothing";
    EXPECT_TRUE(Main().btnStartTransaction->GetEnabled()) << "the controls stay off";
    EXPECT_FALSE(Main().WriteRequested);
    EXPECT_NE(DayLog().find("Nothing to write"), std::string::npos) << DayLog();
}

// The disc label went through the system code page when it was kept as a recent one, so from the second
// transaction on a label in another script was written as "????".
TEST_F(MainWindowFlow, DiscLabelOutsideTheCodePageStaysWholeForTheNextTransaction)
{
    const std::wstring label = L"Архив Ω 東京";
    ASSERT_NE(Widen(Narrow(label)), label) << "the system code page holds the label: nothing to prove here";
    pagorin::SetAnsiItems(Main().cbxDiscLabel, {"Scanned Doc"});  // the list as the start loads it
    pagorin::SetWideCaption(Main().cbxDiscLabel, label);
    Main().StartTransaction();
    Main().StartTransaction();
    const auto& roots = Main().Transactions.Transactions();
    ASSERT_EQ(roots.size(), 2u);
    for (vcl::TTreeNode* root : roots)
        EXPECT_EQ(pagorin::TransactionTree::RecordOf(root)->DiscLabel, label) << root->GetText();
    EXPECT_EQ(TextOf(Main().cbxDiscLabel), label);
}

// A long queue shows its transactions before their pages are in; the size and the restore's line wait for
// the last page, so neither shows a part of the queue, whatever the operator ticks meanwhile.
TEST_F(MainWindowFlow, LongQueueShowsItsSizeAndCountOnlyWithEveryPage)
{
    StartDayLog();
    LongQueue(110);
    Main().ScanQueueFolder();
    ASSERT_EQ(Main().Transactions.Transactions().size(), 111u);
    ASSERT_TRUE(Main().RestoringQueue);
    Main().tvSessions->ToggleCheckState(Main().Transactions.Transactions()[0]);
    EXPECT_EQ(TextOf(Main().txtTransactionSize), L"") << "a size shown before every page is in";
    EXPECT_EQ(DayLog().find("Restored"), std::string::npos) << DayLog();

    DWORD start = GetTickCount();
    for (; Main().RestoringQueue && GetTickCount() - start < 20000; Sleep(1))
        Main().tmrCheckDirTimer(Main().tmrCheckDir);
    ASSERT_FALSE(Main().RestoringQueue);
    EXPECT_TRUE(PagesIn(110, 1)) << "the folder of leftovers keeps its transaction";
    EXPECT_EQ(TextOf(Main().txtTransactionSize), L"109 K") << "one transaction of 1 KB unticked";
    EXPECT_NE(DayLog().find("Restored 110 transactions from the queue folder."), std::string::npos) << DayLog();
}

// A transaction opened, or a Write, before the reader has come to its folder finds every page.
TEST_F(MainWindowFlow, OpeningOrWritingALongQueueBeforeItsPagesAreReadFindsEveryPage)
{
    StartDayLog();
    LongQueue(110);
    Main().ScanQueueFolder();
    vcl::TTreeNode* last = Main().Transactions.Transactions()[109];
    // As the expand button does it: the window asks the tree before it opens the node.
    HWND tree = Main().tvSessions->GetHandle();
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(last->GetItemId()));
    EXPECT_EQ(last->GetCount(), 1);
    EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMSTATE, WPARAM(last->GetItemId()), TVIS_EXPANDED) & TVIS_EXPANDED);
    Main().bbtnWriteClick(Main().bbtnWrite);
    EXPECT_EQ(pagorin::RobotState, pagorin::StateLoadWriter) << "no disc was asked for";
    EXPECT_TRUE(PagesIn(110, 1));
    EXPECT_FALSE(Main().Transactions.Restoring());
}

// A page handed over to the operator's run starts a transaction that only its next-page countdown closes. When
// the job for it was given up before that countdown came (Cancel at the empty input bin), a Start pressed in
// between once began a transaction of its own and left the handed-over one open for good.
TEST_F(MainWindowFlow, StartBeforeTheCountdownClosesTheHandedOverTransactionFirst)
{
    StartDayLog();
    Main().Config.CompiledPdf = 0;
    const std::string page = Main().Config.WorkingPath + "\\Page001.jpg";
    testsupport::WriteFileBytes(Widen(page), "\xFF\xD8 page \xFF\xD9");
    COPYDATASTRUCT data{0, DWORD(page.size()), const_cast<char*>(page.c_str())};
    vcl::TMessage handOver{};
    handOver.Msg = WM_COPYDATA;
    handOver.LParam = LPARAM(&data);
    Main().Dispatch(handOver);
    ASSERT_EQ(Main().Transactions.Transactions().size(), 1u) << DayLog();
    const pagorin::TransactionRecord* handedOver = pagorin::TransactionTree::RecordOf(Main().Transactions.Transactions().front());
    // The robot finds the input bin empty, and the operator gives the wait for a disc up.
    pagorin::RobotState = pagorin::StateIdle;
    pagorin::DiscBusy = false;
    Main().EndJobWithoutDisc();
    ASSERT_EQ(Main().OperationMode, 1);

    Main().btnStartTransactionClick(Main().btnStartTransaction);
    EXPECT_TRUE(handedOver->Closed) << "the handed-over transaction stays open beside the new one\n" << DayLog();
    EXPECT_EQ(handedOver->SessionTag, 1) << "Write would not take the handed-over transaction";
    EXPECT_EQ(Main().Transactions.Transactions().size(), 2u) << "Start was not carried out\n" << DayLog();
}

// The queue's restore showed Write beside the restored transactions but left it off, and a robot already online
// had nothing left to turn it on.
TEST_F(MainWindowFlow, AQueueRestoredWithTheRobotOnlineCanBeWrittenAtOnce)
{
    std::string folder = Main().QueuePath + "\\20250102-030405";
    CreateDirectoryA(folder.c_str(), nullptr);
    testsupport::WriteFileBytes(Widen(folder) + L"\\p001.jpg", "\xFF\xD8 page \xFF\xD9");
    Main().ScanQueueFolder();
    ASSERT_EQ(Main().Transactions.Transactions().size(), 1u);
    EXPECT_TRUE(Main().bbtnWrite->GetVisible());
    EXPECT_TRUE(Main().bbtnWrite->GetEnabled()) << "Write stays off beside the restored queue";
}

// The robot's reports as the window takes them: the road's threads call the window's view, which posts to this
// thread.
class RobotReports : public MainWindowFlow {
protected:
    void SetUp() override
    {
        MainWindowFlow::SetUp();
        view_ = pagorin::MakeMainWindowDiscView(Main());
        robot_ = std::make_unique<pagorin::Autoloader>(*view_, timing_, stop_, failure_, "C:\\Work");
    }
    // The reports still posted reach the window before it goes; a failed case's may wait on a message box.
    void TearDown() override
    {
        if (!HasFailure())
            Settle();
        MainWindowFlow::TearDown();
    }
    // Lets every report posted so far reach the window.
    void Settle() { ASSERT_TRUE(vcltest::PumpPastPosted(Main().GetHandle())); }
    bool LoadRefusedByAFullWriterClearsIt()
    {
        pagorin::RobotState = pagorin::StateLoadWriter;
        robot_->HandleRobotResult(pagorin::StateLoadWriter, KT_ROBOTS_WRITER_FULL);
        return pagorin::RobotState == pagorin::StateRejectWriter;
    }

    std::unique_ptr<pagorin::DiscRoadView> view_;
    pagorin::DiscTiming timing_;
    pagorin::StopSignal stop_;
    pagorin::PendingJobFailure failure_;
    std::unique_ptr<pagorin::Autoloader> robot_;
};

// A load refused because the writer holds a disc takes that disc out and is asked for again, once per load. When
// the window asked for no load after it (nothing was left to write), the writer counted as cleared for good,
// and a much later refused load failed its job instead of clearing the writer.
TEST_F(RobotReports, ALoadRefusedLongAfterAClearedWriterClearsItAgain)
{
    ASSERT_TRUE(LoadRefusedByAFullWriterClearsIt());
    robot_->HandleRobotResult(pagorin::StateRejectWriter, KT_ROBOTS_DONE);
    Settle();
    ASSERT_EQ(pagorin::RobotState, pagorin::StateIdle) << "a load was asked for with nothing to write";
    EXPECT_TRUE(LoadRefusedByAFullWriterClearsIt()) << "the later load failed its job";
}

// The robot came online during a scan, which keeps the controls off until its end, and Write came on alone.
TEST_F(RobotReports, WriteStaysOffWhenTheRobotComesOnlineWhileTheControlsAreOff)
{
    QueuedTransaction();
    pagorin::RobotDriveLetter = 0;
    Main().EnableMainControls(false);
    pagorin::RobotDriveLetter = 'E';
    view_->WritersListed({"E: Lab DVD Writer"}, "Lab Autoloader 1");
    Settle();
    EXPECT_FALSE(Main().bbtnWrite->GetEnabled()) << "Write is on while the controls are off";
    Main().EnableMainControls(true);
    EXPECT_TRUE(Main().bbtnWrite->GetEnabled()) << "Write did not come back with the controls";
}

// The robot is idle once it has taken the written disc out, a moment before the window hears of it. A hand-over
// run that decided then (the close question's Cancel) found no page left to write, for the disc's pages were
// still listed for it, and ended as if nothing had been written; a hot-key run ended with 1.
TEST_F(RobotReports, NothingIsDecidedBetweenTheWrittenDiscsUnloadAndItsReport)
{
    StartDayLog();
    vcl::TTreeNode* transaction = QueuedTransaction();
    pagorin::TransactionRecord* record = pagorin::TransactionTree::RecordOf(transaction);
    record->SessionTag = Main().OperationMode = Main().WritingSessionTag = 2;
    record->WriteState = pagorin::TransactionTree::RecordOf(transaction->GetItem(0))->WriteState = pagorin::WriteListed;
    Main().JobCopies = 1;
    Main().EnableMainControls(false);
    pagorin::RobotState = pagorin::StateUnloadWriter;
    robot_->HandleRobotResult(pagorin::StateUnloadWriter, KT_ROBOTS_OK);
    Main().GoBurning();
    EXPECT_EQ(DayLog().find("Nothing to write"), std::string::npos) << DayLog();
    Settle();
    Main().tmrBurnJobDoneTimer(Main().tmrBurnJobDone);
    EXPECT_NE(DayLog().find("Total 1 discs written in current session."), std::string::npos) << DayLog();
    EXPECT_TRUE(Main().Transactions.Empty()) << "the written pages stay";
}

// Ends the process with a failure when the case's close does not return in time: a close that waits on a lock
// for ever would otherwise hold the case until the test driver's own limit.
class Watchdog {
public:
    explicit Watchdog(DWORD limitMs) : done_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), limitMs_(limitMs)
    {
        thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
    }
    ~Watchdog()
    {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(done_);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static DWORD WINAPI Watch(LPVOID self)
    {
        auto* watchdog = static_cast<Watchdog*>(self);
        if (WaitForSingleObject(watchdog->done_, watchdog->limitMs_) == WAIT_TIMEOUT) {
            std::fputs("The close did not return: it waits on a lock held by a killed worker.\n", stderr);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }
    HANDLE done_;
    HANDLE thread_ = nullptr;
    DWORD limitMs_;
};

// A worker caught inside the day log (its lock held) for longer than the close waits for the workers.
struct SlowLogWriter {
    static DWORD WINAPI Run(LPVOID)
    {
        pagorin::WriteLogLine("A worker's line written slowly.");
        return 0;
    }
};

// The close once ended a worker that did not stop in time with TerminateThread; one holding the day log's
// lock (or the disc road's report gate) then left the close waiting on it for ever.
TEST_F(MainWindowFlow, CloseLeavesAWorkerThatDoesNotStopInTimeAlive)
{
    StartDayLog();
    constexpr DWORD HeldMs = 13000;  // longer than the close waits for its workers
    std::atomic<DWORD> slowThread{0};
    HANDLE inside = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    pagorin::TheDayLog().SetClock([&] {
        if (GetCurrentThreadId() == slowThread) {
            SetEvent(inside);
            Sleep(HeldMs);
        }
        return pagorin::SystemLocalTime();
    });
    DWORD id = 0;
    HANDLE worker = CreateThread(nullptr, 0, SlowLogWriter::Run, nullptr, CREATE_SUSPENDED, &id);
    ASSERT_NE(worker, nullptr);
    slowThread = id;
    ResumeThread(worker);
    ASSERT_EQ(WaitForSingleObject(inside, 10000), WAIT_OBJECT_0);
    DuplicateHandle(GetCurrentProcess(), worker, GetCurrentProcess(), &Main().RobotThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);

    DWORD start = GetTickCount();
    {
        Watchdog watchdog(HeldMs + 30000);
        vcl::TCloseAction action = vcl::TCloseAction::caHide;
        Main().FormClose(Main().btnExit, action);
    }
    EXPECT_LT(GetTickCount() - start, HeldMs + 20000);
    EXPECT_EQ(WaitForSingleObject(worker, 10000), WAIT_OBJECT_0) << "the worker did not end by itself";
    pagorin::TheDayLog().SetClock(pagorin::SystemLocalTime);
    CloseHandle(worker);
    CloseHandle(inside);
    std::string log = DayLog();
    EXPECT_NE(log.find("A worker's line written slowly."), std::string::npos) << log;
    EXPECT_NE(log.find("Application closed"), std::string::npos) << log;
}

}  // namespace
