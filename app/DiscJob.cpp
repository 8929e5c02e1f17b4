// Disc job preparation. The job is planned first and written only when it can go to the disc, so a job
// that cannot start leaves every page waiting for the next one: no page is marked written unless it is on
// the lists that the burn reads.
#include "DiscJob.h"

#include <cstdio>

#include "DiscRoadView.h"
#include "DiscWorker.h"
#include "SharedState.h"

namespace pagorin {

int DiscCapacityMB(int detectedDiscType)
{
    switch (detectedDiscType) {
    case 1: return 650;
    case 2: return 4200;
    default: return 0;
    }
}

namespace {

// Every transaction has one list, numbered 0, in its own folder.
constexpr int ListNumber = 0;

long long WholeMB(long long bytes) { return bytes >> 20; }

std::string ListPathOf(const std::string& queuePath, const std::string& folderName)
{
    return queuePath + "\\" + folderName + "\\FileList" + std::to_string(ListNumber) + ".txt";
}

// A job file, created anew, one line per entry (text mode: each line ends in CR LF). False when any of it
// could not be written.
bool WriteJobFile(const std::string& path, const std::vector<std::string>& lines)
{
    FILE* file = std::fopen(path.c_str(), "wt");
    if (!file)
        return false;
    bool written = true;
    for (const std::string& line : lines)
        written = written && std::fputs(line.c_str(), file) >= 0 && std::fputc('\n', file) != EOF;
    return std::fclose(file) == 0 && written;
}

struct ListedTransaction {
    size_t Index;              // in the transactions
    std::vector<size_t> Pages;  // its listed pages
};

struct JobPlan {
    std::vector<ListedTransaction> Listed;
    bool Open = false;  // a transaction of the job still takes pages or compiles its PDF
    std::vector<std::string> LogLines;
};

bool Taken(const JobTransaction& transaction, const DiscJobInputs& inputs)
{
    if (transaction.SessionTag != inputs.WritingSessionTag)
        return false;
    // An interactive run writes the checked and partly checked transactions only.
    return inputs.OperationMode != 1 ||
           (transaction.CheckState != CheckUnknown && transaction.CheckState != CheckUnchecked);
}

// The transactions in tree order, their checked pages not yet listed, until the disc is full. The size
// counts across the whole job, so once a page does not fit the job ends there: that page and everything
// after it wait for the next disc.
JobPlan PlanJob(const std::vector<JobTransaction>& transactions, const DiscJobInputs& inputs, long long limitMB)
{
    JobPlan plan;
    long long total = 0;
    bool oneTransactionPerDisc = inputs.OperationMode != 1 || inputs.WritePerTransaction;
    for (size_t t = 0; t < transactions.size(); ++t) {
        const JobTransaction& transaction = transactions[t];
        if (!Taken(transaction, inputs))
            continue;
        if (!transaction.Closed || !transaction.PdfDone)
            plan.Open = true;
        ListedTransaction listed{t, {}};
        bool full = false;
        for (size_t p = 0; p < transaction.Pages.size() && !full; ++p) {
            const JobPage& page = transaction.Pages[p];
            if (page.CheckState != CheckChecked || page.WriteState == WriteListed)
                continue;
            long long size = GetFileSizeByPath(page.Path);
            if (size < 0)
                plan.LogLines.push_back("Page file missing, left out of the disc job: " + page.Path);
            else if (WholeMB(size) > limitMB)
                plan.LogLines.push_back("Page file larger than the disc, left out of the disc job: " + page.Path);
            else if (WholeMB(total + size) > limitMB)
                full = true;
            else {
                total += size;
                listed.Pages.push_back(p);
            }
        }
        if (!listed.Pages.empty())
            plan.Listed.push_back(listed);
        if (full) {
            plan.Open = false;  // what is listed goes now; the rest follows on the next disc
            break;
        }
        if (!listed.Pages.empty() && oneTransactionPerDisc)
            break;
    }
    return plan;
}

// Writes each transaction's list and then "Session.txt" listing them. False when a file could not be
// written (the reason is logged).
bool WriteJobFiles(const std::vector<JobTransaction>& transactions, const JobPlan& plan,
                   const DiscJobInputs& inputs, std::vector<std::string>& log)
{
    std::vector<std::string> listPaths;
    for (const ListedTransaction& listed : plan.Listed) {
        const JobTransaction& transaction = transactions[listed.Index];
        std::vector<std::string> pages;
        for (size_t p : listed.Pages)
            pages.push_back(transaction.Pages[p].Path);
        std::string listPath = ListPathOf(inputs.QueuePath, transaction.FolderName);
        if (!WriteJobFile(listPath, pages)) {
            log.push_back("The disc job list cannot be written: " + listPath);
            return false;
        }
        listPaths.push_back(listPath);
    }
    std::string sessionPath = CurrentBurnJob().SessionFilePath;
    if (!WriteJobFile(sessionPath, listPaths)) {
        log.push_back("The disc job list cannot be written: " + sessionPath);
        return false;
    }
    return true;
}

}  // namespace

DiscJob PrepareDiscJob(std::vector<JobTransaction>& transactions, const DiscJobInputs& inputs)
{
    DiscJob job;
    // A disc check, an erase or a burn is under way: the files it may read stay as they are.
    if (DiscCommand != CommandNone)
        return job;
    int idle = CommandNone;
    if (inputs.CopiesWritten >= 1) {
        // The next copy: the same job files are written again.
        job.Ready = DiscCommand.compare_exchange_strong(idle, CommandBurn);
        job.CopiesWritten = inputs.CopiesWritten;
        return job;
    }
    long long limitMB = DiscCapacityMB(inputs.DetectedDiscType);
    if (limitMB == 0)
        return job;
    JobPlan plan = PlanJob(transactions, inputs, limitMB);
    job.LogLines = plan.LogLines;
    job.NothingToWrite = !plan.Open && plan.Listed.empty();
    if (plan.Open || plan.Listed.empty() || !WriteJobFiles(transactions, plan, inputs, job.LogLines))
        return job;

    const JobTransaction& last = transactions[plan.Listed.back().Index];
    SetDiscTitle(last.DiscLabel);
    if (!DiscCommand.compare_exchange_strong(idle, CommandBurn))
        return job;
    for (const ListedTransaction& listed : plan.Listed) {
        JobTransaction& transaction = transactions[listed.Index];
        transaction.WriteState = WriteListed;
        for (size_t p : listed.Pages)
            transaction.Pages[p].WriteState = WriteListed;
    }
    job.Ready = job.NewJob = true;
    job.JobCopies = last.Copies;
    job.CopiesWritten = 0;
    job.CurrentDiscText = "1";
    return job;
}

bool DiscJobHasWork(const std::vector<JobTransaction>& transactions, const DiscJobInputs& inputs)
{
    if (inputs.CopiesWritten >= 1)
        return true;
    int limitMB = DiscCapacityMB(inputs.DetectedDiscType);
    JobPlan plan = PlanJob(transactions, inputs, limitMB > 0 ? limitMB : DiscCapacityMB(2));
    return plan.Open || !plan.Listed.empty();
}

bool ShouldBurnAfterHotKey(const HotKeyBurnInputs& inputs)
{
    if (inputs.AlertShowing)
        return false;
    // A hot-key operation starts at once unless a PDF is still to be compiled.
    if (inputs.OperationMode != 1)
        return inputs.CompiledPdf == 0;
    return inputs.AutoWriteArmed && inputs.WritePerTransaction && inputs.ScanEnabled;
}

}  // namespace pagorin
