// Disc job preparation over real page files (sparse ones for the large sizes): what goes on the lists at
// the capacity edges, the job files as the burn reads them, and the jobs that must wait with nothing changed.
#include "DiscJob.h"

#include <gtest/gtest.h>

#include "DiscTestSupport.h"
#include "DiscWorker.h"
#include "Kavo.h"
#include "SharedState.h"
#include "TestSupport.h"

using namespace pagorin;
using testsupport::ReadFileBytes;

namespace {

constexpr long long MiB = 1 << 20;

class DiscJobTest : public ::testing::Test {
protected:
    DiscJobTest()
    {
        disctest::ResetSharedState();
        queue_ = Ansi(dir_.Path()) + "\\Queue";
        CreateDirectoryA(queue_.c_str(), nullptr);
        SetSessionFilePath(SessionPath());
        SetDiscTitle(L"Before");
    }

    static std::string Ansi(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    std::string SessionPath() const { return Ansi(dir_.File(L"Session.txt")); }
    std::string ListPath(const std::string& folder) const { return queue_ + "\\" + folder + "\\FileList0.txt"; }
    std::string Read(const std::string& path) const { return ReadFileBytes(std::wstring(path.begin(), path.end())); }
    bool Exists(const std::string& path) const { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // A transaction folder with page files "p1.tif", "p2.tif", ... of these sizes (sparse, so gigabytes
    // cost nothing).
    JobTransaction Transaction(const std::string& folder, const std::vector<long long>& sizes)
    {
        std::string path = queue_ + "\\" + folder;
        CreateDirectoryA(path.c_str(), nullptr);
        JobTransaction transaction;
        transaction.FolderName = folder;
        transaction.DiscLabel = L"Label " + std::wstring(folder.begin(), folder.end());
        for (size_t n = 0; n < sizes.size(); ++n) {
            std::string page = path + "\\p" + std::to_string(n + 1) + ".tif";
            HANDLE file = CreateFileA(page.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            LARGE_INTEGER size;
            size.QuadPart = sizes[n];
            SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
            SetEndOfFile(file);
            CloseHandle(file);
            transaction.Pages.push_back({CheckChecked, WriteWaiting, page});
        }
        return transaction;
    }

    DiscJobInputs Inputs(int discType = 2, int mode = 1, bool perTransaction = false) const
    {
        DiscJobInputs inputs;
        inputs.WritingSessionTag = mode;
        inputs.OperationMode = mode;
        inputs.WritePerTransaction = perTransaction;
        inputs.DetectedDiscType = discType;
        inputs.QueuePath = queue_;
        return inputs;
    }

    // What the job holds, e.g. "A:1,2 B:1" (transaction folder, listed page numbers), from the lists the
    // burn reads; "" when no job is ready.
    std::string Listed(const DiscJob& job, const std::vector<JobTransaction>& transactions)
    {
        if (!job.Ready)
            return "";
        std::string described;
        for (const auto& transaction : transactions) {
            std::string list = Exists(ListPath(transaction.FolderName)) ? Read(ListPath(transaction.FolderName)) : "";
            if (Read(SessionPath()).find(ListPath(transaction.FolderName) + "\r\n") == std::string::npos)
                continue;
            described += (described.empty() ? "" : " ") + transaction.FolderName + ":";
            for (size_t n = 0; n < transaction.Pages.size(); ++n) {
                if (list.find(transaction.Pages[n].Path + "\r\n") != std::string::npos)
                    described += (described.back() == ':' ? "" : ",") + std::to_string(n + 1);
            }
        }
        return described;
    }

    testsupport::TempDir dir_;
    std::string queue_;
};

struct CapacityCase {
    const char* context;
    int discType;  // 1 CD, 2 DVD
    int mode;
    bool perTransaction;
    std::vector<std::vector<long long>> sizes;  // per transaction A, B, C...: its pages
    const char* listed;
};

void PrintTo(const CapacityCase& c, std::ostream* os) { *os << c.context; }

class DiscJobCapacity : public DiscJobTest, public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(DiscJobCapacity, ListsWhatFitsAndLeavesTheRestWaiting)
{
    const CapacityCase& c = GetParam();
    std::vector<JobTransaction> transactions;
    for (size_t t = 0; t < c.sizes.size(); ++t) {
        transactions.push_back(Transaction(std::string(1, char('A' + t)), c.sizes[t]));
        transactions.back().SessionTag = c.mode;
    }
    DiscJob job = PrepareDiscJob(transactions, Inputs(c.discType, c.mode, c.perTransaction));
    EXPECT_EQ(Listed(job, transactions), c.listed) << c.context;
    for (const auto& transaction : transactions) {
        for (const auto& page : transaction.Pages) {
            bool listed = Exists(ListPath(transaction.FolderName)) &&
                          Read(ListPath(transaction.FolderName)).find(page.Path) != std::string::npos && job.Ready;
            EXPECT_EQ(page.WriteState, listed ? WriteListed : WriteWaiting) << c.context << ": " << page.Path;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DiscJobCapacity,
    ::testing::Values(
        CapacityCase{"CD filled to the last MB", 1, 1, false, {{300 * MiB, 350 * MiB}}, "A:1,2"},
        CapacityCase{"CD: part of a MB over the limit is not a MB", 1, 1, false, {{650 * MiB + MiB - 1}}, "A:1"},
        CapacityCase{"CD: the page that passes the limit waits", 1, 1, false, {{600 * MiB}, {51 * MiB}}, "A:1"},
        CapacityCase{"CD: a page larger than the disc is left out, the rest written", 1, 1, false,
                     {{651 * MiB, 10 * MiB}}, "A:2"},
        CapacityCase{"CD: a transaction cut entirely ends the job", 1, 1, false,
                     {{640 * MiB}, {20 * MiB}, {MiB}}, "A:1"},
        CapacityCase{"DVD filled past 4 GiB", 2, 1, false, {{2100 * MiB, 2100 * MiB}}, "A:1,2"},
        CapacityCase{"DVD one MB over", 2, 1, false, {{2100 * MiB, 2100 * MiB, MiB}}, "A:1,2"},
        CapacityCase{"DVD: sizes that wrap 32 bits", 2, 1, false, {{4096 * MiB, 104 * MiB}}, "A:1,2"},
        CapacityCase{"DVD: 4096 MB and 105 MB do not fit", 2, 1, false, {{4096 * MiB, 105 * MiB}}, "A:1"},
        CapacityCase{"interactive run shares the disc", 2, 1, false, {{MiB}, {2 * MiB}, {3 * MiB}}, "A:1 B:1 C:1"},
        CapacityCase{"interactive run writing per transaction", 2, 1, true, {{MiB}, {2 * MiB}}, "A:1"},
        CapacityCase{"hot-key run: one transaction per disc", 2, 0, false, {{MiB, MiB}, {MiB}}, "A:1,2"},
        CapacityCase{"hot-key operation inside an interactive run", 1, 2, false, {{MiB}, {MiB}}, "A:1"},
        CapacityCase{"no disc type known", -1, 1, false, {{MiB}}, ""},
        CapacityCase{"only pages larger than the disc: no job", 1, 1, false, {{700 * MiB}}, ""}));

TEST_F(DiscJobTest, WritesOneListPerTransactionAndHandsOverTheLastTransactionsCopiesAndLabel)
{
    std::vector<JobTransaction> transactions{Transaction("20240102-030405", {100, 200, 300}),
                                             Transaction("20240102-030406", {400})};
    transactions[0].Pages[1].CheckState = CheckUnchecked;
    transactions[0].Pages[2].WriteState = WriteListed;  // on an earlier disc
    transactions[1].Copies = 3;

    DiscJob job = PrepareDiscJob(transactions, Inputs());

    ASSERT_TRUE(job.Ready);
    EXPECT_TRUE(job.NewJob);
    EXPECT_EQ(DiscCommand, CommandBurn);
    EXPECT_EQ(Read(SessionPath()), ListPath("20240102-030405") + "\r\n" + ListPath("20240102-030406") + "\r\n");
    EXPECT_EQ(Read(ListPath("20240102-030405")), transactions[0].Pages[0].Path + "\r\n");
    EXPECT_EQ(Read(ListPath("20240102-030406")), transactions[1].Pages[0].Path + "\r\n");
    EXPECT_EQ(transactions[0].WriteState, WriteListed);
    EXPECT_EQ(transactions[1].WriteState, WriteListed);
    EXPECT_EQ(transactions[0].Pages[1].WriteState, WriteWaiting);
    EXPECT_EQ(job.JobCopies, 3);
    EXPECT_EQ(job.CopiesWritten, 0);
    EXPECT_EQ(job.CurrentDiscText, "1");
    EXPECT_EQ(CurrentBurnJob().DiscTitle, L"Label 20240102-030406");
}

TEST_F(DiscJobTest, InteractiveRunTakesCheckedAndPartlyCheckedTransactionsOfItsSession)
{
    std::vector<JobTransaction> transactions{Transaction("A", {10}), Transaction("B", {10}), Transaction("C", {10}),
                                             Transaction("D", {10}), Transaction("E", {10})};
    transactions[0].CheckState = CheckUnchecked;
    transactions[1].CheckState = CheckUnknown;
    transactions[2].CheckState = CheckPartial;
    transactions[3].SessionTag = 2;  // a hot-key transaction
    DiscJob job = PrepareDiscJob(transactions, Inputs());
    EXPECT_EQ(Listed(job, transactions), "C:1 E:1");

    // Outside the interactive run the roots' check states do not count.
    disctest::ResetSharedState();
    DiscJobInputs hotKey = Inputs(2, 0);
    hotKey.WritingSessionTag = 1;
    std::vector<JobTransaction> unchecked{Transaction("F", {10})};
    unchecked[0].CheckState = CheckUnchecked;
    EXPECT_EQ(Listed(PrepareDiscJob(unchecked, hotKey), unchecked), "F:1");
}

TEST_F(DiscJobTest, JobWithAnOpenTransactionWaitsAndChangesNothing)
{
    for (bool pdfPending : {false, true}) {
        std::vector<JobTransaction> transactions{Transaction("A", {10}), Transaction("B", {10})};
        (pdfPending ? transactions[1].PdfDone : transactions[1].Closed) = false;
        DiscJob job = PrepareDiscJob(transactions, Inputs());
        EXPECT_FALSE(job.Ready) << pdfPending;
        EXPECT_EQ(DiscCommand, CommandNone);
        EXPECT_FALSE(Exists(SessionPath()));
        EXPECT_FALSE(Exists(ListPath("A")));
        EXPECT_EQ(transactions[0].Pages[0].WriteState, WriteWaiting);
        EXPECT_EQ(transactions[0].WriteState, WriteWaiting);
        EXPECT_EQ(CurrentBurnJob().DiscTitle, L"Before");
    }
}

TEST_F(DiscJobTest, OpenTransactionBehindAFullDiscDoesNotHoldTheJob)
{
    std::vector<JobTransaction> transactions{Transaction("A", {600 * MiB}), Transaction("B", {60 * MiB})};
    transactions[1].Closed = false;
    DiscJob job = PrepareDiscJob(transactions, Inputs(1));
    EXPECT_EQ(Listed(job, transactions), "A:1");
}

TEST_F(DiscJobTest, MissingPageIsLeftOutAndLogged)
{
    std::vector<JobTransaction> transactions{Transaction("A", {10, 20})};
    DeleteFileA(transactions[0].Pages[0].Path.c_str());
    DiscJob job = PrepareDiscJob(transactions, Inputs());
    EXPECT_EQ(Listed(job, transactions), "A:2");
    EXPECT_EQ(transactions[0].Pages[0].WriteState, WriteWaiting);
    ASSERT_EQ(job.LogLines.size(), 1u);
    EXPECT_NE(job.LogLines[0].find(transactions[0].Pages[0].Path), std::string::npos);
}

TEST_F(DiscJobTest, NothingLeftToWriteGivesNoJobAndNoFiles)
{
    std::vector<JobTransaction> transactions{Transaction("A", {10, 20})};
    transactions[0].Pages[0].WriteState = WriteListed;
    transactions[0].Pages[1].CheckState = CheckUnchecked;
    EXPECT_FALSE(PrepareDiscJob(transactions, Inputs()).Ready);
    EXPECT_FALSE(Exists(SessionPath()));
    EXPECT_EQ(transactions[0].WriteState, WriteWaiting);
}

TEST_F(DiscJobTest, ListThatCannotBeWrittenMarksNothing)
{
    std::vector<JobTransaction> transactions{Transaction("A", {10})};
    transactions[0].FolderName = "gone";  // its list would go to a folder that does not exist
    DiscJob job = PrepareDiscJob(transactions, Inputs());
    EXPECT_FALSE(job.Ready);
    EXPECT_EQ(DiscCommand, CommandNone);
    EXPECT_EQ(transactions[0].Pages[0].WriteState, WriteWaiting);
    ASSERT_EQ(job.LogLines.size(), 1u);
    EXPECT_NE(job.LogLines[0].find("gone"), std::string::npos);
}

TEST_F(DiscJobTest, NextCopyBurnsTheSameJobFilesAgain)
{
    std::vector<JobTransaction> transactions{Transaction("A", {10})};
    ASSERT_TRUE(PrepareDiscJob(transactions, Inputs()).Ready);
    std::string session = Read(SessionPath());
    DiscCommand = CommandNone;  // the first copy was burned

    std::vector<JobTransaction> later{Transaction("B", {10})};
    SetDiscTitle(L"Label A");
    DiscJobInputs inputs = Inputs();
    inputs.CopiesWritten = 1;
    DiscJob job = PrepareDiscJob(later, inputs);
    EXPECT_TRUE(job.Ready);
    EXPECT_FALSE(job.NewJob);
    EXPECT_EQ(job.CopiesWritten, 1);
    EXPECT_EQ(DiscCommand, CommandBurn);
    EXPECT_EQ(Read(SessionPath()), session);
    EXPECT_EQ(later[0].Pages[0].WriteState, WriteWaiting);
    EXPECT_EQ(CurrentBurnJob().DiscTitle, L"Label A");
}

TEST_F(DiscJobTest, DiscOperationUnderWayLeavesItsFilesAlone)
{
    for (int command : {CommandCheckDisc, CommandErase, CommandBurn}) {
        std::vector<JobTransaction> transactions{Transaction("A", {10})};
        DiscCommand = command;
        EXPECT_FALSE(PrepareDiscJob(transactions, Inputs()).Ready) << command;
        EXPECT_EQ(DiscCommand, command);
        EXPECT_FALSE(Exists(SessionPath())) << command;
        EXPECT_EQ(transactions[0].Pages[0].WriteState, WriteWaiting);
    }
}

// The job files as the disc worker reads them: every listed page reaches the disc in its transaction's folder.
TEST_F(DiscJobTest, PreparedJobBurnsEveryListedPage)
{
    disctest::LabFixture lab;
    lab.Scenario("[Writer.E]\nDisc = 4:blank\n");
    std::vector<JobTransaction> transactions{Transaction("20240102-030405", {1000, 2000}),
                                             Transaction("20240102-030406", {3000})};
    ASSERT_TRUE(PrepareDiscJob(transactions, Inputs()).Ready);

    disctest::RecordingView view;
    DiscTiming timing = disctest::FastTiming();
    StopSignal stop;
    PendingJobFailure failure;
    DiscWorker worker(view, timing, stop, failure, lab.AnsiFile("engine.log"));
    BurnOutcome outcome = worker.BurnSession('E');
    EXPECT_EQ(outcome.Result, BurnWritten) << outcome.Detail;
    EXPECT_EQ(lab.Calls("KAVO", "DiscDataAddFileA"), 3);
    std::string trace = lab.Trace();
    for (const char* disc : {"20240102-030405/p1.tif", "20240102-030405/p2.tif", "20240102-030406/p1.tif"})
        EXPECT_NE(trace.find(disc), std::string::npos) << disc;
    EXPECT_NE(trace.find("Label 20240102-030406"), std::string::npos);
    EXPECT_EQ(KAVO_LabOpenHandles(), 0);
}

struct HotKeyCase {
    const char* context;
    HotKeyBurnInputs inputs;
    bool burns;
};

TEST(HotKeyBurn, StartsAtOnceOnlyWhenNothingIsToWaitFor)
{
    auto in = [](bool alert, int mode, int pdf, bool armed, bool perTransaction, bool scan) {
        return HotKeyBurnInputs{alert, mode, pdf, armed, perTransaction, scan};
    };
    const HotKeyCase cases[] = {
        {"hot-key run without a PDF", in(false, 0, 0, false, false, false), true},
        {"hot-key run waiting for its PDF", in(false, 0, 1, true, true, true), false},
        {"hot-key operation, PDF only", in(false, 2, 2, true, true, true), false},
        {"hot-key operation without a PDF", in(false, 2, 0, false, false, false), true},
        {"interactive, per transaction, armed, scanner free", in(false, 1, 1, true, true, true), true},
        {"interactive, write not armed", in(false, 1, 0, false, true, true), false},
        {"interactive, not per transaction", in(false, 1, 0, true, false, true), false},
        {"interactive, scan under way", in(false, 1, 0, true, true, false), false},
        {"alert showing", in(true, 0, 0, true, true, true), false},
    };
    for (const HotKeyCase& c : cases)
        EXPECT_EQ(ShouldBurnAfterHotKey(c.inputs), c.burns) << c.context;
}

}  // namespace
