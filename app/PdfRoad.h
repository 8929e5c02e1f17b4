// The PDF road: ten job slots, one PDF thread for each busy slot, and the feeding step of the main window's
// PDF timer. A thread has each page copied to JPEG by Fendrix.exe, adds the copy to its document through the
// PDF writer and, once the transaction is closed and every page is in, saves the PDF and checks the file.
// Plain code: the main window describes its transactions to `Feed` and applies the outcomes to its tree.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pagorin {

// States of a slot. The main thread moves 3 -> 4 (a page handed over) and 3 -> 5 (finish); the slot's
// thread moves 1 -> 3, 4 -> 3, 5 -> 6 and any state to 2 when the PDF cannot be made.
enum PdfSlotState {
    SlotFree = 0,
    SlotStarted = 1,
    SlotFailed = 2,
    SlotWaitingForPage = 3,
    SlotPageHandedOver = 4,
    SlotFinish = 5,
    SlotDone = 6,
};

struct PdfTiming {
    DWORD LongestWait = 1000;    // a thread is woken on every change of its slot, and looks at least this often
    DWORD FendrixLimit = 60000;  // for one page's JPEG copy
    DWORD StopLimit = 10000;     // for a stopped thread to end
    size_t PagesInFlight = 3;    // pages of one slot being copied to JPEG at the same time
};

// What a slot's thread shares with the main thread (PdfRoad.cpp).
struct PdfJob;

// One of the ten slots, owned by the main thread. A thread works on its job only, so a thread that outlives
// its stop never touches a slot that was given to another transaction.
struct PdfJobSlot {
    int Index = 0;
    std::shared_ptr<PdfJob> Job;  // none while free
    HANDLE Thread = nullptr;
    int PagesHandedOver = 0;
};

// A transaction as the PDF timer sees it: its record's slot (-1 none) and flags, its page files in tree order.
struct PdfTransaction {
    int Slot = -1;
    bool PdfDone = false;
    bool Closed = false;
    std::vector<std::string> PagePaths;
};

// A slot that ended: its PDF is saved (and checked) at PdfPath, or it failed for Reason. The slot is free again;
// the transaction goes on with its PDF, or without one.
struct PdfOutcome {
    size_t Transaction = 0;  // its index in the transactions given to Feed
    int Slot = -1;
    bool Saved = false;
    std::string PdfPath;
    std::string Reason;
};

// What one tick of the PDF timer did.
struct PdfFeed {
    bool PageHandedOver = false;  // the next tick comes after 100 ms, else after 1000 ms
    bool Compiling = false;       // a closed transaction has all its pages handed over: the notice blinks
    int FinishesStarted = 0;      // each is logged as "PDF writing started."
    std::vector<PdfOutcome> Outcomes;
};

class PdfRoad {
public:
    static constexpr int SlotCount = 10;

    // `slotChanged` is called on a PDF thread whenever it moved its slot on, so that the window's timer may
    // look at once; it must not block.
    explicit PdfRoad(std::function<void(int slot)> slotChanged, PdfTiming timing = {});
    ~PdfRoad();
    PdfRoad(const PdfRoad&) = delete;
    PdfRoad& operator=(const PdfRoad&) = delete;

    // The slot of StartPdfForAppend: stops the transaction's `currentSlot` when it is busy (the PDF is made
    // again from the first page), takes the lowest free slot for a PDF at `pdfPath` and starts its thread,
    // which uses Fendrix.exe at FendrixPath. -1 when all ten are busy: the transaction goes without a PDF.
    int Start(int currentSlot, const std::string& pdfPath);
    // StopPdfJobSlot: stops the slot's thread (never terminating it), waits for it a bounded time and frees
    // the slot.
    void Stop(int slot);
    // Asks the thread of every busy slot to stop, without waiting: a caller that must stay responsive waits
    // for ThreadsRunning to end, then stops each slot.
    void RequestStopAll();
    bool ThreadsRunning() const;
    // One tick of tmrRunPDF over the transactions in tree order: a page is handed over only to a thread that
    // waits for one, and at most one per tick.
    PdfFeed Feed(const std::vector<PdfTransaction>& transactions);

    // PdfRunning: some slot is busy.
    bool Running() const;
    int State(int slot) const;

private:
    PdfJobSlot slots_[SlotCount];
    std::function<void(int)> slotChanged_;
    PdfTiming timing_;
};

// The child whose text names the transaction's compiled PDF (".pdf" at its end, in any case), searched from
// the last child backwards; -1 when there is none.
int FindPdfChild(const std::vector<std::string>& childTexts);

}  // namespace pagorin
