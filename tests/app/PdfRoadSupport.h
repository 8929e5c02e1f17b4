// Shared by the PDF road's tests, its sample program and its benchmark: the main window's PDF timer played
// over a list of transactions, as the window does once its tree exists.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "PdfLibrary.h"
#include "PdfRoad.h"
#include "SharedState.h"

namespace pdfroadtest {

// The folder of the running program, where Fendrix.exe is built too.
inline std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

// A road whose threads wake the player, and the player of tmrRunPDF: it feeds the road when a thread moved
// a slot on, or after the timer's interval (100 ms after a hand-over, else 1000 ms), and applies the
// outcomes as the window does (PdfDone on, the PDF as one more page of the transaction when saved).
class TimerPlayer {
public:
    explicit TimerPlayer(pagorin::PdfTiming timing = {})
        : road_([this](int) { SetEvent(changed_.handle); }, timing)
    {
        pagorin::FendrixPath = ProgramFolder() + "\\Fendrix.exe";
    }
    TimerPlayer(const TimerPlayer&) = delete;
    TimerPlayer& operator=(const TimerPlayer&) = delete;

    pagorin::PdfRoad& Road() { return road_; }
    // Every outcome so far, by transaction.
    const std::vector<std::optional<pagorin::PdfOutcome>>& Outcomes() const { return outcomes_; }
    int FinishesStarted() const { return finishesStarted_; }
    int PagesHandedOver() const { return pagesHandedOver_; }

    // One tick.
    pagorin::PdfFeed Tick(std::vector<pagorin::PdfTransaction>& transactions)
    {
        outcomes_.resize(transactions.size());
        pagorin::PdfFeed feed = road_.Feed(transactions);
        finishesStarted_ += feed.FinishesStarted;
        pagesHandedOver_ += feed.PageHandedOver;
        for (const pagorin::PdfOutcome& outcome : feed.Outcomes) {
            pagorin::PdfTransaction& transaction = transactions[outcome.Transaction];
            transaction.PdfDone = true;
            transaction.Slot = -1;
            if (outcome.Saved)
                transaction.PagePaths.push_back(outcome.PdfPath);
            outcomes_[outcome.Transaction] = outcome;
        }
        lastHandedOver_ = feed.PageHandedOver;
        return feed;
    }
    // Ticks until `done` holds after a tick, at most `limitMs`; true when it held.
    template <class Done>
    bool RunUntil(std::vector<pagorin::PdfTransaction>& transactions, Done done, DWORD limitMs = 60000)
    {
        for (DWORD start = GetTickCount();;) {
            Tick(transactions);
            if (done())
                return true;
            DWORD elapsed = GetTickCount() - start;
            if (elapsed >= limitMs)
                return false;
            WaitForSingleObject(changed_.handle, std::min<DWORD>(lastHandedOver_ ? 100 : 1000, limitMs - elapsed));
        }
    }
    // Ticks until every transaction with a slot has its outcome.
    bool RunToTheEnd(std::vector<pagorin::PdfTransaction>& transactions, DWORD limitMs = 60000)
    {
        return RunUntil(
            transactions,
            [&] {
                for (const auto& transaction : transactions) {
                    if (!transaction.PdfDone && transaction.Slot >= 0)
                        return false;
                }
                return true;
            },
            limitMs);
    }

private:
    // Outlives the road, whose threads set it until they are stopped.
    struct Event {
        HANDLE handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        ~Event() { CloseHandle(handle); }
    } changed_;
    pagorin::PdfRoad road_;
    std::vector<std::optional<pagorin::PdfOutcome>> outcomes_;
    int finishesStarted_ = 0;
    int pagesHandedOver_ = 0;
    bool lastHandedOver_ = false;
};

// A transaction of these pages with a new slot for its PDF (-1 when none was free).
inline pagorin::PdfTransaction StartTransaction(TimerPlayer& player, const std::string& pdfPath,
                                                std::vector<std::string> pages, bool closed = true)
{
    pagorin::PdfTransaction transaction;
    transaction.Slot = player.Road().Start(-1, pdfPath);
    transaction.PdfDone = transaction.Slot < 0;
    transaction.Closed = closed;
    transaction.PagePaths = std::move(pages);
    return transaction;
}

// The PDF writer's own calls without the road: one section and page per JPEG file, in order, saved to `pdfPath`.
inline bool WritePdfOfJpegs(const std::vector<std::string>& jpegs, const std::string& pdfPath)
{
    RURARO_DOCUMENT document = RURARO_Create("", "");
    bool ok = document != nullptr;
    for (size_t n = 0; ok && n < jpegs.size(); ++n) {
        RURARO_SECTION section = RURARO_AddSection(document, ("Page " + std::to_string(n + 1)).c_str());
        ok = RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, jpegs[n].c_str());
    }
    ok = ok && RURARO_SaveToFileName(document, pdfPath.c_str());
    if (document)
        RURARO_Free(document);
    return ok;
}

}  // namespace pdfroadtest
