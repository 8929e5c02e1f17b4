// Disc job preparation: the checked transactions become "Session.txt" and one "FileList0.txt" per
// transaction, within the capacity of the disc in the writer, and the burn command is given. Plain code over
// a description of the transaction tree; the main window builds the description and applies the changes.
#pragma once

#include <string>
#include <vector>

namespace pagorin {

// The check states (TQvCheckState) of the transaction tree's nodes, as job preparation reads them.
constexpr int CheckUnknown = 0, CheckUnchecked = 1, CheckChecked = 2, CheckPartial = 3;

// Write state of a transaction record: 1 waiting, 2 put on a disc job list.
enum WriteStateValue { WriteWaiting = 1, WriteListed = 2 };

// Capacity of a disc family in MB (DetectedDiscType 1 CD, 2 DVD); 0 for any other value.
int DiscCapacityMB(int detectedDiscType);

// A page node: its check state and its record's write state and path.
struct JobPage {
    int CheckState = CheckChecked;
    int WriteState = WriteWaiting;
    std::string Path;
};

// A transaction's root node, its record and its page nodes in tree order.
struct JobTransaction {
    std::string FolderName;  // the node's text
    int CheckState = CheckChecked;
    int SessionTag = 1;
    bool Closed = true;
    bool PdfDone = true;  // its PDF is finished, or none is wanted
    int Copies = 1;
    std::wstring DiscLabel;
    int WriteState = WriteWaiting;
    std::vector<JobPage> Pages;
};

// The main window's state the preparation reads.
struct DiscJobInputs {
    int WritingSessionTag = 1;
    int OperationMode = 1;
    bool WritePerTransaction = false;  // ckxWritePerTransaction
    int DetectedDiscType = -1;
    int CopiesWritten = 0;  // copies of the current job already written
    std::string QueuePath;
};

// What the main window applies when a job is ready: `JobCopies`, `DiscsWritten` (= CopiesWritten), the
// txtCurrentDisc caption and, for a new job, the status caption "<DiscWritingStatus> <Writing>".
struct DiscJob {
    bool Ready = false;     // DiscCommand is 3
    // Not ready, and no page will come for it: every transaction it takes is done, and none of them holds a
    // checked page waiting to be written (all unchecked, written, missing or larger than the disc).
    bool NothingToWrite = false;
    bool NewJob = false;    // the job files were written anew (else the next copy of the same job)
    int JobCopies = 0;      // of a new job: the copies of its last transaction
    int CopiesWritten = 0;
    std::string CurrentDiscText;
    std::vector<std::string> LogLines;  // pages left out, files that could not be written
};

// Prepares the next disc job. Returns a ready job only when every listed page is on the lists and the
// title and "Session.txt" (CurrentBurnJob) are in place; then the write states of what was listed (pages
// and their roots) are 2 in `transactions` and DiscCommand is 3. When it returns no job, nothing changed.
// Pages that can never be written (missing, or larger than the disc) are left out and named in LogLines.
DiscJob PrepareDiscJob(std::vector<JobTransaction>& transactions, const DiscJobInputs& inputs);
// Whether a disc loaded now would get a job, as far as the tree tells before its disc type is known: a copy
// of the current job is due, a transaction the job takes is still open, or one holds a page to list on the
// largest disc. Writes nothing.
bool DiscJobHasWork(const std::vector<JobTransaction>& transactions, const DiscJobInputs& inputs);

// TryBurnAfterHotKey's decision: whether a page that arrived by hot key starts the disc cycle at once.
struct HotKeyBurnInputs {
    bool AlertShowing = false;
    int OperationMode = 1;
    int CompiledPdf = 0;          // the Compiled PDF setting
    bool AutoWriteArmed = false;  // a write waits for the autoloader
    bool WritePerTransaction = false;
    bool ScanEnabled = false;  // btnScan
};
bool ShouldBurnAfterHotKey(const HotKeyBurnInputs& inputs);

}  // namespace pagorin
