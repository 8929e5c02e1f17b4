// The disc road's threads. Each thread holds the shared state it works on, so a thread that outlives a
// bounded stop never touches freed memory; the view gate makes sure it reports nothing after the stop.
#include "DiscRoad.h"

#include <mutex>
#include <optional>

#include "Autoloader.h"
#include "DiscWorker.h"
#include "SharedState.h"

namespace pagorin {

namespace {

// Forwards to the window's view until it is closed; afterwards every report is dropped.
class ViewGate : public DiscRoadView {
public:
    explicit ViewGate(DiscRoadView& view) : view_(&view) {}
    void Close()
    {
        std::lock_guard<std::mutex> guard(lock_);
        view_ = nullptr;
    }

    void Log(const std::string& line) override { Forward(&DiscRoadView::Log, line); }
    void RobotStatus(const std::string& text) override { Forward(&DiscRoadView::RobotStatus, text); }
    void ErrorBox(const std::string& text, const std::string& caption) override
    {
        Forward(&DiscRoadView::ErrorBox, text, caption);
    }
    void ShowNotice(Notice notice) override { Forward(&DiscRoadView::ShowNotice, notice); }
    void StopNotice() override { Forward(&DiscRoadView::StopNotice); }
    void WritersListed(const std::vector<std::string>& names, const std::string& robotName) override
    {
        Forward(&DiscRoadView::WritersListed, names, robotName);
    }
    void InputBinEmpty() override { Forward(&DiscRoadView::InputBinEmpty); }
    void DiscUnloaded(bool ok) override { Forward(&DiscRoadView::DiscUnloaded, ok); }
    void DiscRejected(bool ok) override { Forward(&DiscRoadView::DiscRejected, ok); }
    void RobotStepDone() override { Forward(&DiscRoadView::RobotStepDone); }
    void WriterRemoved() override { Forward(&DiscRoadView::WriterRemoved); }
    void ShowCapacity(const std::string& text) override { Forward(&DiscRoadView::ShowCapacity, text); }
    void ShowDiscStatus(DiscStatus status) override { Forward(&DiscRoadView::ShowDiscStatus, status); }
    void DiscAccepted() override { Forward(&DiscRoadView::DiscAccepted); }
    void WriteProgress(int percent) override { Forward(&DiscRoadView::WriteProgress, percent); }
    // A failed job leaves no retry behind for the next job's disc.
    void JobFailed(const std::string& reason) override
    {
        BurnRetryPending = false;
        Forward(&DiscRoadView::JobFailed, reason);
    }
    // The window answers on its own thread, which may be closing the gate meanwhile: the answer is awaited
    // outside the lock.
    DiscRules Rules() override
    {
        DiscRoadView* view;
        {
            std::lock_guard<std::mutex> guard(lock_);
            view = view_;
        }
        return view ? view->Rules() : DiscRules{};
    }

private:
    template <class Method, class... Args>
    void Forward(Method method, const Args&... args)
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (view_)
            (view_->*method)(args...);
    }

    std::mutex lock_;
    DiscRoadView* view_;
};

}  // namespace

struct DiscRoad::Shared {
    Shared(DiscRoadView& view, DiscRoadConfig config)
        : config(std::move(config)), gate(view),
          autoloader(gate, this->config.Timing, stop, failure, this->config.WorkingPath),
          worker(gate, this->config.Timing, stop, failure, this->config.EngineLogPath)
    {
    }
    DiscRoadConfig config;
    ViewGate gate;
    StopSignal stop;
    PendingJobFailure failure;
    Autoloader autoloader;
    DiscWorker worker;
};

namespace {

struct ThreadStart {
    std::shared_ptr<void> keep;  // the road's shared state, alive while the thread runs
    void* shared;
};

}  // namespace

DiscRoad::DiscRoad(DiscRoadView& view, DiscRoadConfig config)
    : shared_(std::make_shared<Shared>(view, std::move(config)))
{
}

DiscRoad::~DiscRoad()
{
    if (Running())
        Stop(10000);
}

void DiscRoad::Start()
{
    DiscCommand = CommandNone;
    BurnDriveLetter = 0;
    RobotState = StateInit;
    discThread_ = StartThread(DiscThreadProc);
    robotThread_ = StartThread(RobotThreadProc);
}

HANDLE DiscRoad::StartThread(LPTHREAD_START_ROUTINE proc)
{
    auto* start = new ThreadStart{shared_, shared_.get()};
    HANDLE thread = CreateThread(nullptr, 0, proc, start, 0, nullptr);
    if (!thread)
        delete start;
    return thread;
}

DWORD WINAPI DiscRoad::RobotThreadProc(LPVOID parameter)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    auto* shared = static_cast<Shared*>(start->shared);
    try {
        return DWORD(shared->autoloader.Run());
    } catch (...) {
        shared->gate.Log("The robot thread ended on an unexpected error.");
        return DWORD(-1);
    }
}

DWORD WINAPI DiscRoad::DiscThreadProc(LPVOID parameter)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    auto* shared = static_cast<Shared*>(start->shared);
    try {
        shared->worker.Run();
        return 0;
    } catch (...) {
        shared->gate.Log("The disc worker ended on an unexpected error.");
        return DWORD(-1);
    }
}

std::optional<DWORD> DiscRoad::RobotExitCode() const
{
    DWORD code = 0;
    if (robotThread_ && GetExitCodeThread(robotThread_, &code) && code != STILL_ACTIVE)
        return code;
    return std::nullopt;
}

bool DiscRoad::Stop(DWORD timeoutMs)
{
    shared_->stop.Raise();
    HANDLE threads[2];
    DWORD count = 0;
    for (HANDLE thread : {robotThread_, discThread_}) {
        if (thread)
            threads[count++] = thread;
    }
    bool ended = count == 0 || WaitForMultipleObjects(count, threads, TRUE, timeoutMs) == WAIT_OBJECT_0;
    if (!ended)
        shared_->gate.Log("A disc thread did not end in time.");
    shared_->gate.Close();
    for (DWORD i = 0; i < count; ++i)
        CloseHandle(threads[i]);
    robotThread_ = discThread_ = nullptr;
    return ended;
}

namespace {

HANDLE Duplicate(HANDLE thread)
{
    HANDLE copy = nullptr;
    if (thread)
        DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
    return copy;
}

}  // namespace

HANDLE DiscRoad::DuplicateRobotThread() const { return Duplicate(robotThread_); }
HANDLE DiscRoad::DuplicateDiscThread() const { return Duplicate(discThread_); }

}  // namespace pagorin
