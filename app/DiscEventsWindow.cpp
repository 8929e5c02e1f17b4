// The disc events on the main window. The threads call the view on their own thread; everything that
// touches a control or a timer is posted to the main thread, and the settings a disc check needs are read
// there too.
#include "DiscEventsWindow.h"

#include <atomic>
#include <memory>
#include <utility>

#include "Alert.h"
#include "Autoloader.h"
#include "DayLog.h"
#include "DiscRoad.h"
#include "Main.h"
#include "SharedState.h"
#include "WideText.h"

namespace pagorin {

namespace {

// The form carries a stand-in without a position until its progress bar exists.
template <class Bar>
void SetBarPosition(Bar* bar, int percent)
{
    if constexpr (requires { bar->SetPosition(percent); })
        bar->SetPosition(percent);
}

class MainWindowDiscView : public DiscRoadView {
public:
    explicit MainWindowDiscView(TfrmMain& form) : form_(form) {}

    void Log(const std::string& line) override { WriteLogLine(line); }
    void RobotStatus(const std::string& text) override { WriteLogLine(text); }
    void ErrorBox(const std::string& text, const std::string& caption) override
    {
        Post([text, caption](TfrmMain&) { vcl::Application->MessageBox(text, caption, MB_OK); });
    }
    void ShowNotice(Notice notice) override
    {
        Post([notice](TfrmMain& f) {
            f.StartNotice(notice == Notice::ConnectingRobot ? f.StatusConnectintRobot : f.StatusUnloadDisc);
        });
    }
    void StopNotice() override
    {
        Post([](TfrmMain& f) { f.NoticeActive = false; });
    }
    void WritersListed(const std::vector<std::string>& names, const std::string& robotName) override
    {
        Post([names, robotName](TfrmMain& f) {
            f.cbRobots->GetItems()->Clear();
            for (const auto& name : names)
                f.cbRobots->GetItems()->Add(name);
            if (names.empty())
                return;
            SetWideCaption(f.txtCapacity, L"");
            f.NoticeActive = false;
            f.cbRobots->SetItemIndex(0);
            SetAnsiCaption(f.txtAutoloader, robotName);
            for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{
                     f.gbxDiscWriteStatus, f.txtAutoloader, f.lbl0, f.lbl100, f.lblAutoloader, f.lblCurrentDisc})
                control->SetEnabled(true);
            f.UpdateWriteButton();
            f.menuTestTray->SetEnabled(true);
            if (f.OperationMode != 1 || f.ckxWritePerTransaction->GetChecked())
                GoBurning(f);
        });
    }
    void InputBinEmpty() override
    {
        Post([](TfrmMain& f) {
            f.ShowAlertLater(akInputBinEmpty);
            f.tmrNoticeMsg->SetEnabled(false);
        });
    }
    void DiscUnloaded(bool ok) override
    {
        Post([ok](TfrmMain& f) {
            DiscOutReportDue = false;
            f.menuTestTray->SetEnabled(true);
            f.NoticeActive = false;
            SetWideCaption(f.txtCapacity, L"");
            if (ok)
                f.tmrBurnJobDone->SetEnabled(true);
        });
    }
    void DiscRejected(bool goOn) override
    {
        Post([goOn](TfrmMain& f) {
            DiscOutReportDue = false;
            f.NoticeActive = false;
            SetWideCaption(f.txtCapacity, L"");
            if (std::exchange(f.EndAfterReject, false))
                f.EndWriting();
            else if (goOn)
                GoBurning(f);
            // A writer cleared for a load counts for the load asked for again now, and for no later one.
            if (RobotState != StateLoadWriter)
                WriterClearedForLoad = false;
        });
    }
    void RobotStepDone() override
    {
        Post([](TfrmMain&) { vcl::Screen->SetCursor(vcl::crDefault); });
    }
    // Called on the main thread by the device-change handling.
    void WriterRemoved() override
    {
        TfrmMain& f = form_;
        SetWideCaption(f.txtAutoloader, L"None");
        for (vcl::TControl* control : std::initializer_list<vcl::TControl*>{
                 f.txtAutoloader, f.lbl0, f.lbl100, f.lblAutoloader, f.lblCurrentDisc})
            control->SetEnabled(false);
        f.UpdateWriteButton();
        f.menuTestTray->SetEnabled(false);
        if (f.tvSessions->GetItems()->GetCount() == 0)
            f.AutoWriteArmed = false;
    }
    void ShowCapacity(const std::string& text) override
    {
        Post([text](TfrmMain& f) { SetAnsiCaption(f.txtCapacity, text); });
    }
    void ShowDiscStatus(DiscStatus status) override
    {
        Post([status](TfrmMain& f) {
            const std::wstring& text = status == DiscStatus::Erase ? f.StatusErase
                                       : status == DiscStatus::Idle ? f.StatusIdle : f.StatusVerify;
            f.ShowDiscWritingStatus(text);
        });
    }
    void DiscAccepted() override
    {
        Post([](TfrmMain& f) { f.tmrDiscReady->SetEnabled(true); });
    }
    // A fast burn reports faster than the window draws: one report waits at a time, showing the latest figure.
    void WriteProgress(int percent) override
    {
        latestPercent_ = percent;
        if (progressPosted_.exchange(true))
            return;
        Post([this](TfrmMain& f) {
            progressPosted_ = false;
            SetBarPosition(f.pgbWrite, latestPercent_.load());
        });
    }
    // The job ends as a finished one would, without its disc: an unattended hot-key run closes the program
    // (the reason is in the day log), an operator is told. Its pages wait to be written again, and the next
    // job is prepared anew rather than repeating the copies of this one.
    void JobFailed(const std::string& reason) override
    {
        WriteLogLine("The disc job failed: " + reason);
        Post([reason](TfrmMain& f) {
            bool unattended = f.OperationMode == 0;
            f.EndJobWithoutDisc();
            if (!unattended && !f.Closing)
                vcl::Application->MessageBox("The disc job failed: " + reason, "Pagorin", MB_OK | MB_ICONERROR);
        });
    }
    DiscRules Rules() override
    {
        DiscRules rules;
        vcl::Application->Synchronize([&] {
            rules.Interactive = form_.OperationMode == 1;
            rules.DiscType = form_.Config.DiscType;
            rules.RwDiscPolicy = form_.Config.RwDiscPolicy;
        });
        return rules;
    }

private:
    template <class Work>
    void Post(Work work)
    {
        TfrmMain* form = &form_;
        vcl::Application->Queue([form, work] { work(*form); });
    }

    TfrmMain& form_;
    std::atomic<int> latestPercent_{0};
    std::atomic<bool> progressPosted_{false};
};

struct WindowRoad {
    explicit WindowRoad(TfrmMain& form, DiscRoadConfig config) : view(form), road(view, std::move(config)) {}
    MainWindowDiscView view;
    DiscRoad road;
};

std::unique_ptr<WindowRoad> TheRoad;

}  // namespace

std::unique_ptr<DiscRoadView> MakeMainWindowDiscView(TfrmMain& form)
{
    return std::make_unique<MainWindowDiscView>(form);
}

void StartDiscRoad(TfrmMain& form)
{
    DiscRoadConfig config;
    config.WorkingPath = form.Config.WorkingPath;
    config.EngineLogPath = form.Config.WorkingPath + "\\log.txt";
    TheRoad = std::make_unique<WindowRoad>(form, config);
    TheRoad->road.Start();
    form.RobotThread = TheRoad->road.DuplicateRobotThread();
    form.DiscThread = TheRoad->road.DuplicateDiscThread();
}

void StopDiscRoad()
{
    if (TheRoad)
        TheRoad->road.Stop(0);
}

void DiscRoadDeviceChange(TfrmMain& form, WPARAM event, LPARAM data)
{
    if (TheRoad)
        HandleDeviceChange(event, data, TheRoad->view);
    else {
        MainWindowDiscView view(form);
        HandleDeviceChange(event, data, view);
    }
}

}  // namespace pagorin
