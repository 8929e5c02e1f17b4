// Shared by the disc road tests: a lab of their own, a view that records what the window would be told, and
// a stand-in for the job timers of the main window that answers the road as the window does.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "DiscRoad.h"
#include "DiscRoadView.h"
#include "Lab.h"
#include "Devices.h"
#include "SharedState.h"
#include "TestSupport.h"

namespace disctest {

inline pagorin::DiscTiming FastTiming()
{
    pagorin::DiscTiming timing;
    timing.Poll = timing.NotReadyWait = timing.EjectPause = timing.ReloadPause = timing.AfterBurnPause = 10;
    timing.RobotWait = 5000;
    return timing;
}

inline void ResetSharedState()
{
    using namespace pagorin;
    RobotState = 0;
    DiscCommand = 0;
    DiscBusy = false;
    DiscClass = 0;
    RobotDriveLetter = 0;
    BurnDriveLetter = 0;
    BurnRetryPending = false;
    StopWorkers = false;
    DiscReady = false;
    DetectedDiscType = -1;
    WriterClearedForLoad = false;
    DiscOutReportDue = false;
    FirstRobotId = 0;
}

// Records every report as one line; optionally plays the window's job timers: a listed writer or a
// rejected disc loads the next disc (GoBurning), an accepted disc is burned (tmrDiscReady).
class RecordingView : public pagorin::DiscRoadView {
public:
    bool PlayJob = false;
    pagorin::DiscRules CurrentRules;

    std::vector<std::string> Lines()
    {
        std::lock_guard<std::mutex> guard(lock_);
        return lines_;
    }
    bool Has(const std::string& line)
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (auto& l : lines_)
            if (l == line)
                return true;
        return false;
    }
    int Count(const std::string& line)
    {
        std::lock_guard<std::mutex> guard(lock_);
        int n = 0;
        for (auto& l : lines_)
            n += l == line;
        return n;
    }
    bool HasPrefix(const std::string& prefix)
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (auto& l : lines_)
            if (l.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    std::string Dump()
    {
        std::string all;
        for (auto& l : Lines())
            all += l + "\n";
        return all;
    }

    void Log(const std::string& line) override { Add("log " + line); }
    void RobotStatus(const std::string& text) override { Add("status " + text); }
    void ErrorBox(const std::string& text, const std::string& caption) override { Add("box " + caption + ": " + text); }
    void ShowNotice(pagorin::Notice notice) override
    {
        Add(notice == pagorin::Notice::ConnectingRobot ? "notice connecting" : "notice unload");
    }
    void StopNotice() override { Add("notice off"); }
    void WritersListed(const std::vector<std::string>& names, const std::string& robotName) override
    {
        std::string line = "writers " + std::to_string(names.size());
        if (!names.empty())
            line += " " + names[0] + " / " + robotName;
        Add(line);
        if (PlayJob && !names.empty())
            GoBurning();
    }
    void InputBinEmpty() override { Add("input bin empty"); }
    void DiscUnloaded(bool ok) override { Add(ok ? "unloaded" : "unload failed"); }
    void DiscRejected(bool ok) override
    {
        Add(ok ? "rejected" : "rejected, job stops");
        if (PlayJob && ok)
            GoBurning();
    }
    void RobotStepDone() override {}
    void WriterRemoved() override { Add("writer removed"); }
    void ShowCapacity(const std::string& text) override { Add("capacity " + text); }
    void ShowDiscStatus(pagorin::DiscStatus status) override
    {
        Add(status == pagorin::DiscStatus::Erase ? "caption erase"
            : status == pagorin::DiscStatus::Idle ? "caption idle" : "caption verify");
    }
    void DiscAccepted() override
    {
        Add("accepted " + std::to_string(pagorin::DetectedDiscType.load()));
        if (PlayJob) {
            pagorin::BurnRetryPending = false;
            pagorin::DiscCommand = pagorin::CommandBurn;
        }
    }
    void WriteProgress(int percent) override
    {
        if (percent < 0 || percent > 100)
            Add("progress out of range " + std::to_string(percent));
        lastProgress = percent;
    }
    void JobFailed(const std::string& reason) override { Add("job failed: " + reason); }
    pagorin::DiscRules Rules() override { return CurrentRules; }

    std::atomic<int> lastProgress{-1};

private:
    static void GoBurning()
    {
        int idle = pagorin::StateIdle;
        pagorin::RobotState.compare_exchange_strong(idle, pagorin::StateLoadWriter);
    }
    void Add(const std::string& line)
    {
        std::lock_guard<std::mutex> guard(lock_);
        lines_.push_back(line);
    }
    std::mutex lock_;
    std::vector<std::string> lines_;
};

// Polls until `done` or the time is up; true when done.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (done())
            return true;
        Sleep(20);
    }
    return done();
}

// A fresh lab for one test (or the one named by PAGORIN_LAB when a script keeps it for later checks).
class LabFixture {
public:
    LabFixture()
    {
        wchar_t given[MAX_PATH] = {};
        if (GetEnvironmentVariableW(L"PAGORIN_DISC_TEST_LAB", given, MAX_PATH))
            path_ = given;
        else
            path_ = own_.Path();
        SetEnvironmentVariableW(L"PAGORIN_LAB", path_.c_str());
        ResetSharedState();
    }
    ~LabFixture() { SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr); }

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    std::string AnsiFile(const std::string& name) const
    {
        return std::string(path_.begin(), path_.end()) + "\\" + name;
    }
    void Scenario(const std::string& text) { testsupport::WriteFileBytes(File(L"scenario.ini"), text); }
    std::string Trace() { return testsupport::ReadFileBytes(File(L"trace.log")); }
    // Trace lines of one function, in order.
    int Calls(const std::string& component, const std::string& function)
    {
        std::string trace = Trace(), key = component + "\t" + function + "\t";
        int n = 0;
        for (size_t at = trace.find(key); at != std::string::npos; at = trace.find(key, at + 1))
            n += at == 0 || trace[at - 1] == '\n';
        return n;
    }
    static lab::Devices Machine()
    {
        lab::StateLock lock;
        return lab::Devices::Load();
    }

private:
    testsupport::TempDir own_;
    std::wstring path_;
};

// A road on this lab with the short pauses of the tests.
inline pagorin::DiscRoadConfig LabRoadConfig(const LabFixture& lab)
{
    pagorin::DiscRoadConfig config;
    config.WorkingPath = lab.AnsiFile("");
    config.EngineLogPath = lab.AnsiFile("engine.log");
    config.Timing = FastTiming();
    return config;
}

struct JobFile {
    std::string name;
    std::string bytes;
};
struct JobFolder {
    std::string name;
    std::vector<JobFile> files;
};

// Writes the job files as job preparation does: the pages in "Queue\<folder>", one "FileList0.txt" per
// folder listing them, and "Session.txt" listing the file lists; SessionFilePath names it.
inline void WriteJob(const LabFixture& lab, const std::vector<JobFolder>& folders)
{
    std::string queue = lab.AnsiFile("Queue");
    CreateDirectoryA(queue.c_str(), nullptr);
    std::string session;
    for (const auto& folder : folders) {
        std::string dir = queue + "\\" + folder.name;
        CreateDirectoryA(dir.c_str(), nullptr);
        std::string list;
        for (const auto& file : folder.files) {
            std::string path = dir + "\\" + file.name;
            testsupport::WriteFileBytes(std::wstring(path.begin(), path.end()), file.bytes);
            list += path + "\n";
        }
        std::string listPath = dir + "\\FileList0.txt";
        testsupport::WriteFileBytes(std::wstring(listPath.begin(), listPath.end()), list);
        session += listPath + "\n";
    }
    pagorin::SetSessionFilePath(lab.AnsiFile("Session.txt"));
    testsupport::WriteFileBytes(lab.File(L"Session.txt"), session);
}

// Bytes that differ from file to file.
inline std::string Pattern(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 31 + seed * 7 + (i >> 8)) & 0xFF);
    return bytes;
}

}  // namespace disctest
