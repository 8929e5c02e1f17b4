// The disc worker. Every operation opens and releases its own engine; every handle is owned, so each path
// out of an operation gives all of them back.
#include "DiscWorker.h"

#include <cstdio>
#include <fstream>
#include <vector>

#include "KTRobots20.h"
#include "SharedState.h"

namespace pagorin {

int ClassifyMedium(int mediumType, bool blank)
{
    switch (mediumType) {
    case 1:
    case 2: return blank ? 1 : 7;
    case 3: return blank ? 2 : 3;
    case 4:
    case 5:
    case 6:
    case 8: return blank ? 4 : 7;
    case 7:
    case 9: return blank ? 5 : 6;
    default: return 7;
    }
}

long long GetFileSizeByPath(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size);
    CloseHandle(file);
    return ok ? size.QuadPart : -1;
}

DiscWorker::DiscWorker(DiscRoadView& view, const DiscTiming& timing, const StopSignal& stop,
                       PendingJobFailure& failure, std::string engineLogPath)
    : view_(view), timing_(timing), stop_(stop), events_(view, timing, stop, failure),
      engineLogPath_(std::move(engineLogPath))
{
}

int DiscWorker::CheckDisc(char letter)
{
    EngineSession session;
    if (!OpenEngineDrive(letter, ProjectKind::None, session))
        return DiscClassUnavailable;
    int answers = 0, unknown = 0, waits = 0;
    for (;;) {
        if (stop_.Raised())
            return 0;
        int answer = KAVO_DriveCheckDisc(session.Drive.Get(), 1000, 0);
        if (answer == KAVO_DISC_READY)
            break;
        if (answer == KAVO_DISC_NOT_READY) {
            stop_.Pause(timing_.NotReadyWait);
            if (++waits > MaxNotReadyWaits)
                return 7;
        } else if (answer == KAVO_DISC_NONE || answer == KAVO_DISC_ERROR) {
            if (++answers >= MaxCheckAnswers) {
                if (answer == KAVO_DISC_ERROR)
                    DumpEngineError(session.Engine.Get());
                return 0;
            }
        } else if (++unknown >= MaxCheckAnswers) {
            DumpEngineError(session.Engine.Get());
            return 0;
        }
    }
    session.Disc.Reset(KAVO_DriveOpenDisc(session.Drive.Get()));
    if (!session.Disc)
        return 7;
    int medium = KAVO_DiscGetMediumType(session.Disc.Get());
    bool blank = KAVO_DiscIsEmpty(session.Disc.Get()) != 0;
    return ClassifyMedium(medium, blank);
}

bool DiscWorker::EraseDisc(char letter)
{
    EngineSession session;
    if (!OpenEngineDrive(letter, ProjectKind::Erase, session))
        return false;
    session.Disc.Reset(KAVO_DriveOpenDisc(session.Drive.Get()));
    if (!session.Disc || !KAVO_ProjectSetDestDisc(session.Project.Get(), session.Disc.Get()))
        return false;
    KAVO_ProjectSetProgressCallback(session.Project.Get(), WriteProgressCallback, UINT_PTR(this));
    return KAVO_ProjectWrite(session.Project.Get()) != 0;
}

namespace {

BurnOutcome Failed(int result, const std::string& detail)
{
    return {result, detail};
}

std::vector<std::string> SplitAtBackslashes(const std::string& line)
{
    std::vector<std::string> pieces(1);
    for (char c : line) {
        if (c == '\\')
            pieces.emplace_back();
        else
            pieces.back() += c;
    }
    return pieces;
}

// Lines of a text file without their line ends, whatever their length.
bool ReadLine(std::ifstream& file, std::string& line)
{
    if (!std::getline(file, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

}  // namespace

// Each line of "Session.txt" is the path of a transaction's file list; its folder's name becomes the disc
// folder of that transaction's pages. Anything that would leave a listed page off the disc fails the burn.
BurnOutcome DiscWorker::AddJobFiles(KAVO_HANDLE tree, const std::string& sessionFilePath)
{
    std::ifstream session(sessionFilePath);
    if (!session)
        return Failed(BurnNoSessionFile, "cannot open " + sessionFilePath);
    std::string listPath;
    while (ReadLine(session, listPath)) {
        auto pieces = SplitAtBackslashes(listPath);
        std::string folder = pieces.size() >= 2 ? pieces[pieces.size() - 2] : std::string();
        if (folder.empty()) {
            // An empty line ends the list; a later transaction would be left unwritten.
            std::string rest;
            while (ReadLine(session, rest)) {
                if (!rest.empty())
                    return Failed(BurnEngineFailed, "\"Session.txt\" names no folder in \"" + listPath + "\"");
            }
            break;
        }
        if (!KAVO_DiscDataCreateFolderA(tree, folder.c_str()))
            return Failed(BurnEngineFailed, "folder \"" + folder + "\": " + LastEngineError());
        std::ifstream list(listPath);
        if (!list)
            return Failed(BurnEngineFailed, "cannot open the file list " + listPath);
        std::string source;
        while (ReadLine(list, source)) {
            if (source.empty())
                continue;
            std::string discPath = folder + "/" + SplitAtBackslashes(source).back();
            if (!KAVO_DiscDataAddFileA(tree, source.c_str(), discPath.c_str()))
                return Failed(BurnEngineFailed, "cannot add " + source + ": " + LastEngineError());
        }
    }
    return {BurnWritten, {}};
}

BurnOutcome DiscWorker::BurnSession(char letter)
{
    // The job as it stands now: a later preparation changes nothing this burn reads.
    BurnJob job = CurrentBurnJob();
    if (!std::ifstream(job.SessionFilePath))
        return Failed(BurnNoSessionFile, "cannot open " + job.SessionFilePath);
    EngineSession session;
    if (!OpenEngineDrive(letter, ProjectKind::Data, session))
        return Failed(BurnEngineFailed, std::string("no engine drive for writer ") + letter + ": " +
                                            LastEngineError());
    session.Disc.Reset(KAVO_DriveOpenDisc(session.Drive.Get()));
    if (!session.Disc || !KAVO_ProjectSetDestDisc(session.Project.Get(), session.Disc.Get()))
        return Failed(BurnEngineFailed, "no usable disc: " + LastEngineError());
    session.Tree.Reset(KAVO_ProjectGetVirtualDisc(session.Project.Get()));
    if (!session.Tree)
        return Failed(BurnEngineFailed, "no disc tree: " + LastEngineError());

    BurnOutcome added = AddJobFiles(session.Tree.Get(), job.SessionFilePath);
    if (added.Result != BurnWritten)
        return added;

    KAVO_HANDLE project = session.Project.Get();
    if (!KAVO_ProjectSetProgressCallback(project, WriteProgressCallback, UINT_PTR(this)))
        return Failed(BurnEngineFailed, "no progress callback: " + LastEngineError());
    if (!KAVO_ProjectSetWriteSpeed(project, 60.0, 1)) {
        view_.Log("KAVO_ProjectSetWriteSpeed() failed");
        view_.ErrorBox("KAVO_ProjectSetWriteSpeed() failed", "Burn Thread");
    }
    KAVO_ProjectSetWriteOpenTray(project, 0);
    KAVO_DiscDataSetTitleW(session.Tree.Get(), job.DiscTitle.c_str());
    if (!KAVO_ProjectWrite(project))
        return Failed(BurnWriteFailed, LastEngineError());

    BurnOutcome outcome{BurnWritten, {}};
    events_.Handle(EventVerifying, 0);
    if (!KAVO_ProjectVerifyWrite(project))
        outcome = Failed(BurnWriteFailed, LastEngineError());
    CDRWCTLs_EJECT(letter);
    session = EngineSession{};
    stop_.Pause(timing_.AfterBurnPause);
    return outcome;
}

// Runs on the disc worker, inside the engine's write. Answering 0 ends the write when the program closes.
int WINAPI DiscWorker::WriteProgressCallback(UINT_PTR context, UINT, UINT, double fraction)
{
    auto* worker = reinterpret_cast<DiscWorker*>(context);
    try {
        worker->events_.Handle(EventProgress, int(fraction * 100));
    } catch (...) {
    }
    return worker->stop_.Raised() ? 0 : 1;
}

void DiscWorker::DumpEngineError(KAVO_HANDLE engine)
{
    std::string text = EngineDiagnostics(engine);
    view_.Log("Disc check failed: " + text.substr(text.find("ERROR: ")));
    if (FILE* file = std::fopen(engineLogPath_.c_str(), "w")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

void DiscWorker::RunOnce()
{
    int command = DiscCommand;
    char letter = BurnDriveLetter;
    switch (command) {
    case CommandCheckDisc: {
        if (!DiscCommand.compare_exchange_strong(command, CommandNone))
            return;
        DiscBusy = true;
        int discClass = CheckDisc(letter);
        DiscClass = discClass;
        if (!stop_.Raised())
            events_.Handle(EventClassified, discClass);
        DiscBusy = false;
        return;
    }
    // An erase or a burn holds its command until its outcome has been acted on (the robot asked to take the
    // disc, or a new check ordered): until then the disc in the writer is at work, and nothing loads over it
    // or starts another job on it.
    case CommandErase: {
        bool erased = EraseDisc(letter);
        if (!stop_.Raised())
            events_.Handle(EventErased, erased ? 1 : 0);
        DiscCommand.compare_exchange_strong(command, CommandNone);
        return;
    }
    case CommandBurn: {
        BurnOutcome outcome = BurnSession(letter);
        if (!stop_.Raised())
            events_.Handle(EventBurned, outcome.Result, outcome.Detail);
        DiscCommand.compare_exchange_strong(command, CommandNone);
        return;
    }
    default: return;
    }
}

void DiscWorker::Run()
{
    do
        RunOnce();
    while (stop_.Pause(timing_.Poll));
}

}  // namespace pagorin
