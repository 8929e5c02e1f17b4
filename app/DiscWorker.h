// The disc worker: all work with the burning engine. It classifies the disc the robot loaded, erases a used
// rewritable disc and writes the prepared disc job ("Session.txt" and its file lists), taking its orders
// from DiscCommand and reporting each outcome to the disc events.
#pragma once

#include <string>

#include "DiscEvents.h"
#include "DiscRoadView.h"
#include "Engine.h"

namespace pagorin {

struct BurnOutcome {
    int Result = BurnEngineFailed;
    std::string Detail;  // why a burn failed
};

// DiscClass of a medium type and its blank flag.
int ClassifyMedium(int mediumType, bool blank);

// Size in bytes of a file; -1 when it cannot be opened.
long long GetFileSizeByPath(const std::string& path);

class DiscWorker {
public:
    // Disc-check answers of one kind (no disc, error, or one the engine does not document) before giving up.
    static constexpr int MaxCheckAnswers = 3;
    static constexpr int MaxNotReadyWaits = 20;

    // `engineLogPath`: the file the engine's diagnostics go to when a disc check fails.
    DiscWorker(DiscRoadView& view, const DiscTiming& timing, const StopSignal& stop, PendingJobFailure& failure,
               std::string engineLogPath);

    int CheckDisc(char letter);
    bool EraseDisc(char letter);
    BurnOutcome BurnSession(char letter);

    // One look at DiscCommand: the work it names, then its event.
    void RunOnce();
    // The thread: RunOnce every poll period until the stop.
    void Run();

private:
    static int WINAPI WriteProgressCallback(UINT_PTR context, UINT phase, UINT reserved, double fraction);
    void DumpEngineError(KAVO_HANDLE engine);
    BurnOutcome AddJobFiles(KAVO_HANDLE tree, const std::string& sessionFilePath);

    DiscRoadView& view_;
    const DiscTiming& timing_;
    const StopSignal& stop_;
    DiscEvents events_;
    std::string engineLogPath_;
};

}  // namespace pagorin
