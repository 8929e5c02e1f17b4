// Transactions on disc: the queue folder's transaction folders, which of their files are pages, their
// removal, the size texts of what is checked and the page numbers an Append continues with. Plain code
// without windows; the transaction tree and the main window use it.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pagorin {

// Longest path the program hands to the system (a 260-byte buffer with its terminator).
constexpr size_t MaxTransactionPath = 259;

// What hangs on every node of the transaction tree. A root carries its transaction; a page record uses
// only WriteState, Path and FileSize.
struct TransactionRecord {
    bool Closed = false;   // the transaction's scan has ended
    bool PdfDone = false;  // its compiled PDF is finished, or none is wanted
    int Copies = 1;
    int SessionTag = 1;    // the operation mode at its start; 1 for restored transactions
    long long FileSize = 0;
    int WriteState = 1;    // 1 waiting, 2 put on a disc job list
    int PdfSlot = -1;      // its PDF job slot, -1 for none
    int CompiledPdf = 0;   // the Compiled PDF setting at its start
    std::string Path;      // root: its FileList.txt (new) or its folder (restored); page: the file
    std::wstring DiscLabel;
};

// "yyyymmdd-hhmmss" of a local time.
std::string TransactionFolderName(const SYSTEMTIME& time);

// Creates a new transaction folder in `queuePath` named by `now`; a name already taken (two starts in one
// second) moves on by a second until a name is free, so no two transactions share a folder. Returns the
// name, also when the folder cannot be made for another reason (no queue folder); empty only when a whole
// day of names is taken.
std::string CreateTransactionFolder(const std::string& queuePath, const SYSTEMTIME& now);

// "<queue>\<name>", or empty when `name` could leave the queue folder: empty, a separator, or a last dot or
// blank, which the system drops ("..." names the queue folder itself, "x." the folder "x").
std::string TransactionFolderPath(const std::string& queuePath, const std::string& name);

// A page file of a transaction: an image or PDF extension after the last dot, and no "~" before it
// (those are the PDF road's temporary copies).
bool IsPageFileName(const std::string& name);
// Files the program itself leaves in a transaction folder besides its pages.
bool IsLeftoverFileName(const std::string& name);
// The mark beside a page that is still being written, "<page>~.part": a scanner's transfer keeps it while the
// page grows. The queue's restore takes no page whose mark is still there: an abrupt end cut that page short.
std::string PartialPageName(const std::string& page);

struct FolderEntry {
    std::string Name;
    long long Size = 0;
};
struct TransactionFolderContents {
    std::vector<FolderEntry> Pages;       // in listing order
    std::vector<std::string> Subfolders;  // names
    bool HasForeignFiles = false;         // files that are neither pages nor leftovers
};
TransactionFolderContents ReadTransactionFolder(const std::string& folder);

// Reads a list of folders on a thread of its own, in order, ahead of the caller, who takes each folder once:
// listing thousands of folders then overlaps with what the caller does with each. A folder the caller
// needs before the reader has come to it is read on the caller's thread instead.
class FolderReadAhead {
public:
    explicit FolderReadAhead(std::vector<std::string> folders);
    // Stops the reader after the folder it is reading.
    ~FolderReadAhead();
    FolderReadAhead(const FolderReadAhead&) = delete;
    FolderReadAhead& operator=(const FolderReadAhead&) = delete;
    // The contents of folder `index`: as the reader read it, or read now when it has not yet.
    TransactionFolderContents Take(size_t index);
    // The contents of folder `index` once the reader has read it; false, and nothing taken, before.
    bool TakeIfRead(size_t index, TransactionFolderContents& contents);

private:
    enum class Stage : unsigned char { Waiting, Read, Taken };
    void ReadAll() noexcept;
    static TransactionFolderContents ReadOrMark(const std::string& folder) noexcept;

    std::vector<std::string> folders_;
    std::vector<TransactionFolderContents> contents_;
    std::vector<Stage> stages_;
    bool stop_ = false;
    std::mutex lock_;
    std::thread reader_;
};

// The subfolders of the queue folder, in listing order (names beginning with "." left out).
std::vector<std::string> QueueSubfolders(const std::string& queuePath);

// Deletes the files directly in `folder`, then the folder; subfolders are not entered, and a folder that
// still holds one stays. Refuses an empty path, a drive root and any path with a ".." part. True when
// the folder is gone afterwards.
bool DeleteFolder(const std::string& folder);

// Removes a folder that holds nothing but what the program leaves behind (the empty file list, "~"
// copies); anything else in it keeps it. True when it was removed.
bool RemoveLeftoverFolder(const std::string& folder);

// Copies a page that lives outside the queue into its transaction's folder, so that a run ended by a crash
// leaves the page where the queue's restore finds it. The copy is written under a leftover name and then
// renamed, so a copy cut short is never taken for a page; a name already in the folder gets " (2)", " (3)"
// ... before its extension. Gives the copy's path; empty when nothing was copied (the page already lies
// in that folder, it cannot be read, or the folder cannot take it).
std::string KeepPageCopy(const std::string& folder, const std::string& page);

// Size of a page file in bytes; 0 for a file that has vanished.
long long PageFileSize(const std::string& path);

// The size text and the gauge's megabytes for what is checked in the tree: "" (0 bytes), "<KB> K" below
// a megabyte, "<MB>.<thousandths> MB" below 10 MB, "<MB> MB" above.
struct SizeShown {
    std::string Text;
    long long GaugeMegabytes = 0;
};
SizeShown CheckedSizeText(long long bytes);
// The same for the byte count of the one transaction being scanned: "<KB> K" below 10,000 KB, else
// "<MB> MB"; below a megabyte the gauge shows 5 MB.
SizeShown TransactionBytesText(long long bytes);

// The number of the last page an Append continues after: past every page child (PDFs not counted) and
// past every file of `folder` already named "<prefix><number>.<ext>", so no new page meets an old one.
int AppendPageNumber(const std::vector<std::string>& childNames, const std::string& folder,
                     const std::string& prefix);
// Whether a child's name is a compiled PDF (compared without regard to case).
bool IsPdfName(const std::string& name);

}  // namespace pagorin
