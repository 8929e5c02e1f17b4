// Pagorin.exe ended abruptly at a random point of its two roads loses no page: every page it took is in
// the queue folder (restorable) or on a disc image the lab wrote, and the next interactive start restores
// the queue and writes it. The points are drawn from a seed printed at the start of each run:
//   PAGORIN_CRASH_SEED   the first run's seed (default: from the clock); run i uses seed + i
//   PAGORIN_CRASH_RUNS   runs of the random loop (default 3)
//   PAGORIN_CRASH_KILL_DIR  set by check-crash-sigkill.sh: the process is then killed from Linux (SIGKILL)
//                        by that script, which this driver asks through a request file in the folder.
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <set>

#include "LabReadBack.h"
#include "PagorinRunFixture.h"
#include "TestImages.h"

namespace {

using namespace pagorintest;

std::wstring EnvText(const wchar_t* name)
{
    wchar_t text[MAX_PATH] = {};
    return GetEnvironmentVariableW(name, text, MAX_PATH) ? text : L"";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// One step of a road: what the driver does, then the condition that ends the step, and what the program
// has taken once it holds (the pages the step handed over or scanned count from then on).
struct Step {
    const char* name;
    std::function<void()> act;
    std::function<bool()> done;
    std::function<void()> credit = [] {};
};

class PagorinCrash : public PagorinDiscRoad {
protected:
    // A run's own folders: the lab (devices, discs, trace), the working path (queue, day log) and the
    // folder the scanner's hot-key tool leaves its pages in.
    struct RunFolders {
        TempDir lab, work, scans;
    };

    void Prepare(RunFolders& run, Draw& draw)
    {
        SetEnvironmentVariableW(L"PAGORIN_LAB", run.lab.Path().c_str());
        WriteFileBytes(run.lab.File(L"scenario.ini"),
                       "[Robot1]\r\nName = Lab Autoloader 1\r\nWriters = E\r\n[Delays]\r\nKTROBOTS20.LoadDrive = 300\r\n"
                       "KAVO.ProjectWrite = 600\r\n");
        Install();
        CopyFileW((BinDir() + L"Fendrix.exe").c_str(), install_.File(L"Fendrix.exe").c_str(), FALSE);
        SetRegString(L"Working Path", run.work.Path());
        SetRegDword(L"Next Page Wait", 5);
        SetRegDword(L"Compiled PDF", draw.Below(2));
        SetRegDword(L"Copies", 1 + draw.Below(2));
        queue_ = run.work.File(L"Queue");
        lab_run_ = run.lab.Path();
        work_run_ = run.work.Path();
        pages_.clear();
        taken_.clear();
    }
    // A JPEG page of its own size, so no two pages of a run share their bytes.
    std::wstring MakePage(const std::wstring& folder, int number)
    {
        wchar_t name[32];
        swprintf(name, 32, L"Page%03d.jpg", number);
        std::wstring path = folder + L"\\" + name;
        testimages::Write(path, GUID_ContainerFormatJpeg, 240 + 8 * number, 320, 100);
        pages_.push_back({path, ReadFileBytes(path)});
        return path;
    }

    std::string RunLog() const
    {
        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t name[16];
        swprintf(name, 16, L"PGRN_%02d.log", now.wDay);
        return ReadFileBytes(work_run_ + L"\\" + name);
    }
    bool Logged(const std::string& text, int times = 1, size_t from = 0) const
    {
        std::string log = RunLog();
        int n = 0;
        for (size_t at = log.find(text, from); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n >= times;
    }
    bool Traced(const std::string& call) const
    {
        return ReadFileBytes(lab_run_ + L"\\trace.log").find(call) != std::string::npos;
    }
    HWND MainWindow() const { return WaitForTopWindow(MainCaption, 0, first_.Pid()); }
    HWND Alert() const { return WaitForTopWindow(L"Attention", 0, first_.Pid()); }
    bool Ended() const { return first_.Started() && first_.Wait(0).has_value(); }

    // The hot-key road: a page on the command line, further pages by further starts, the countdown ended by
    // Finish, the PDF when asked, the disc, and the program's own end.
    std::vector<Step> HotKeyRoad(RunFolders& run, int pages)
    {
        std::vector<Step> steps;
        std::wstring first = MakePage(run.scans.Path(), 1);
        // The countdown comes from the message loop, after the window's creation has taken the page.
        steps.push_back({"start with a page", [this, first] { first_ = Start(Quoted(first)); },
                         [this] { return Alert() != nullptr; }, [this] { taken_.insert(0); }});
        AddHandOvers(steps, run, 2, pages);
        AddDiscCycle(steps, pages);
        steps.push_back({"its own end", [] {}, [this] { return Ended(); }});
        return steps;
    }
    // The interactive road: a leftover transaction restored, a scan from the lab's scanner, pages handed to
    // the running program (its hot-key operation on a disc of its own), then Write for the restored queue
    // (the scanned transaction waits unchecked for the next start), and a close.
    std::vector<Step> InteractiveRoad(RunFolders& run, int pages)
    {
        std::wstring leftover = queue_ + L"\\20250102-030405";
        CreateDirectoryW(queue_.c_str(), nullptr);
        CreateDirectoryW(leftover.c_str(), nullptr);
        MakePage(leftover, 100);
        taken_.insert(0);
        UseVirtualScanner(2, run.lab.Path());
        std::vector<Step> steps;
        steps.push_back({"interactive start", [this] { first_ = Start(); },
                         [this] { return MainWindow() && Logged("Restored 1 transactions") && WriteButtonOn(); }});
        steps.push_back({"scan", [this] { ClickTool(MainWindow(), L"Start"); },
                         [this] { return Logged("pages scanned in current transaction.") && ToolEnabled(MainWindow(), L"Start"); },
                         [this, leftover] { TakeScannedPages(leftover); }});
        AddHandOvers(steps, run, 1, pages);
        steps.push_back({"countdown", [] {}, [this] { return Alert() != nullptr; }});
        AddDiscCycle(steps, pages);
        steps.push_back({"Write the restored queue",
                         [this] {
                             ASSERT_TRUE(WaitUntil([this] { return WriteButtonOn(); }, 30000))
                                 << "Write did not come back on:\n" << RunLog();
                             SendWithTimeout(WriteButton(), BM_CLICK, 0, 0, 10000);
                         },
                         [this] { return Logged("discs written in current session.", 2); }});
        steps.push_back({"close", [this] { CloseWhenRobotIdle(MainWindow()); }, [this] { return Ended(); }});
        return steps;
    }
    void AddHandOvers(std::vector<Step>& steps, RunFolders& run, int from, int to)
    {
        for (int number = from; number <= to; ++number) {
            std::wstring page = MakePage(run.scans.Path(), number);
            int index = int(pages_.size()) - 1;
            // The later start ends once the running program has taken the page (the send is synchronous).
            steps.push_back({"hand over a page", [this, page] { second_ = Start(Quoted(page)); },
                             [this] { return second_.Wait(0).has_value(); }, [this, index] { taken_.insert(index); }});
        }
    }
    void AddDiscCycle(std::vector<Step>& steps, int pages)
    {
        std::string scanned = "Total " + std::to_string(pages) + " pages scanned";
        steps.push_back({"Finish", [this] {
                             if (HWND countdown = Alert())  // else it has run out by itself
                                 ClickButton(countdown, L"Finish");
                         }, [this, scanned] { return Logged(scanned); }});
        steps.push_back({"disc job", [] {}, [this] { return Logged("Start the Disc Writing Session."); }});
        steps.push_back({"burn", [] {}, [this] { return Traced("KAVO\tProjectWrite"); }});
        steps.push_back({"disc written", [] {}, [this] { return Logged("discs written in current session."); }});
    }
    HWND WriteButton() { return FindChild(MainWindow(), UnicodeClass(L"TWydBitBtn").c_str(), L"Write"); }
    bool WriteButtonOn()
    {
        HWND write = WriteButton();
        return write && IsWindowEnabled(write) && IsWindowVisible(write);
    }

    // Runs the steps before `killAt` to their end, does that step's action, waits `delayMs` and ends the
    // program abruptly (unless it ended by itself). The pages of finished steps count as taken.
    void RunAndKill(const std::vector<Step>& steps, size_t killAt, DWORD delayMs)
    {
        for (size_t i = 0; i < steps.size(); ++i) {
            steps[i].act();
            if (HasFatalFailure())
                return;
            if (i == killAt) {
                Sleep(delayMs);  // the drawn point of the kill, not a wait for a result
                bool done = steps[i].done();
                Kill();
                if (done)
                    steps[i].credit();
                return;
            }
            ASSERT_TRUE(WaitUntil(steps[i].done, 90000)) << "the road stopped at \"" << steps[i].name << "\":\n" << RunLog();
            steps[i].credit();
        }
    }
    // The scanned pages are what the scan left in the queue besides the leftover transaction.
    void TakeScannedPages(const std::wstring& leftover)
    {
        for (const std::wstring& folder : Listing(queue_, L"*", true))
            if (queue_ + L"\\" + folder != leftover)
                for (const std::wstring& file : Listing(queue_ + L"\\" + folder, L"*.jpg", false)) {
                    if (file.find(L'~') != std::wstring::npos)
                        continue;
                    taken_.insert(int(pages_.size()));
                    std::wstring path = queue_ + L"\\" + folder + L"\\" + file;
                    pages_.push_back({path, ReadFileBytes(path)});
                }
    }

    void Kill()
    {
        std::wstring killDir = EnvText(L"PAGORIN_CRASH_KILL_DIR");
        if (Ended())
            return;
        if (killDir.empty()) {
            first_.Kill();
        } else {
            // The script finds this run's Wine process by its lab and kills it with SIGKILL.
            std::wstring request = killDir + L"\\kill.request";
            WriteFileBytes(request + L".new", ToUtf8(lab_run_));
            MoveFileExW((request + L".new").c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING);
            EXPECT_TRUE(WaitUntil([&] { return !Exists(request); }, 30000)) << "the killing script did not answer";
        }
        ASSERT_TRUE(first_.Wait(30000).has_value()) << "Pagorin did not end when killed";
        // A later start still running found no window to hand its page to: it goes down with the run.
        if (second_.Started() && !second_.Wait(0))
            second_.Kill();
    }

    // Where each taken page is: in a transaction folder of the queue, or on a readable disc image.
    std::vector<std::string> QueuedPages() const
    {
        std::vector<std::string> found;
        for (const std::wstring& folder : Listing(queue_, L"*", true))
            for (const std::wstring& file : Listing(queue_ + L"\\" + folder, L"*", false)) {
                std::wstring lower = file;
                CharLowerW(&lower[0]);
                bool page = lower.size() > 4 && lower.compare(lower.size() - 4, 4, L".jpg") == 0 &&
                            lower.find(L'~') == std::wstring::npos;
                if (page)
                    found.push_back(ReadFileBytes(queue_ + L"\\" + folder + L"\\" + file));
            }
        return found;
    }
    std::vector<std::string> PagesOnDiscs() const
    {
        std::vector<std::string> found;
        std::wstring discs = lab_run_ + L"\\discs";
        for (const std::wstring& name : Listing(discs, L"*.iso", false))
            if (std::optional<DiscRead> disc = ReadDisc(discs + L"\\" + name))
                for (const auto& file : disc->files)
                    found.push_back(file.second);
        return found;
    }
    void ExpectTakenPagesKept(bool queueCounts)
    {
        std::vector<std::string> queued = queueCounts ? QueuedPages() : std::vector<std::string>();
        std::vector<std::string> written = PagesOnDiscs();
        for (int index : taken_) {
            const std::string& bytes = pages_[index].second;
            bool kept = std::find(queued.begin(), queued.end(), bytes) != queued.end() ||
                        std::find(written.begin(), written.end(), bytes) != written.end();
            EXPECT_TRUE(kept) << ToUtf8(pages_[index].first) << (queueCounts ? " is neither in the queue nor on a disc"
                                                                             : " is on no disc")
                              << "\n" << RunLog();
        }
    }

    // The next interactive start restores what is queued and writes it on Write.
    void RestoreAndWrite()
    {
        ClearWriters();
        size_t logFrom = RunLog().size();
        bool queued = !QueuedPages().empty();
        first_ = Start();
        ASSERT_TRUE(WaitUntil([&] { return MainWindow() && Logged("Restored ", 1, logFrom); }, 60000))
            << "the next start did not restore the queue:\n" << RunLog();
        if (queued) {
            ASSERT_TRUE(WaitUntil([&] { return WriteButtonOn(); }, 30000)) << "Write never came on:\n" << RunLog();
            SendWithTimeout(WriteButton(), BM_CLICK, 0, 0, 10000);
            ASSERT_TRUE(WaitUntil([&] { return Logged("discs written in current session.", 1, logFrom) && QueuedPages().empty(); },
                                  120000))
                << "the restored queue was not written:\n" << RunLog();
        }
        CloseWhenRobotIdle(MainWindow());
        EXPECT_EQ(first_.Wait(30000), 0u) << "Pagorin did not end cleanly";
    }

    // What a run does: its road, its pages, the step it is killed in and how long into it.
    struct Plan {
        bool hotKey = true;
        int pages = 1;
        std::string killStep;  // empty: drawn
        DWORD delayMs = 0;
    };

    void CrashRun(Draw& draw, Plan plan)
    {
        RunFolders run;
        Prepare(run, draw);
        std::vector<Step> steps = plan.hotKey ? HotKeyRoad(run, plan.pages) : InteractiveRoad(run, plan.pages);
        size_t killAt = draw.Below(DWORD(steps.size()));
        for (size_t i = 0; i < steps.size(); ++i)
            if (steps[i].name == plan.killStep)
                killAt = i;
        printf("  %s road, %d page(s), killed in \"%s\" after %lu ms\n", plan.hotKey ? "hot-key" : "interactive",
               plan.pages, steps[killAt].name, static_cast<unsigned long>(plan.delayMs));
        fflush(stdout);
        RunAndKill(steps, killAt, plan.delayMs);
        if (HasFatalFailure())
            return;
        ExpectTakenPagesKept(true);
        RestoreAndWrite();
        ExpectTakenPagesKept(false);
        for (ChildProcess* p : {&first_, &second_})
            if (p->Started())
                p->Wait(30000);
        first_ = ChildProcess();
        second_ = ChildProcess();
    }

    std::wstring queue_, lab_run_, work_run_;
    std::vector<std::pair<std::wstring, std::string>> pages_;  // path, bytes
    std::set<int> taken_;                                      // indexes of pages the program took
};

TEST_F(PagorinCrash, KilledAtRandomPointsOfBothRoadsLosesNoPage)
{
    DWORD seed = EnvNumber(L"PAGORIN_CRASH_SEED", GetTickCount());
    DWORD runs = EnvNumber(L"PAGORIN_CRASH_RUNS", 3);
    for (DWORD i = 0; i < runs && !HasFailure(); ++i) {
        printf("seed=%lu\n", static_cast<unsigned long>(seed + i));
        Draw draw(seed + i);
        Plan plan;
        plan.hotKey = draw.Below(2) == 0;
        plan.pages = 1 + int(draw.Below(3));
        plan.delayMs = draw.Below(1500);
        CrashRun(draw, plan);
    }
}

// The hot-key pages stay where the scanner's tool left them; killed while the countdown waits for more, the
// run must still leave them in the queue for the next start.
TEST_F(PagorinCrash, HotKeyPagesKilledDuringTheCountdownAreRestoredAndWritten)
{
    Draw draw(7);
    Plan plan;
    plan.pages = 2;
    plan.killStep = "hand over a page";
    plan.delayMs = 1000;
    CrashRun(draw, plan);
}

// Pages handed to an interactive run after a scan there stay in one transaction, which Finish closes and a
// disc takes; killed during the following Write, the next start writes the rest.
TEST_F(PagorinCrash, PagesHandedAfterAScanAreWrittenTogetherAndSurviveAKilledWrite)
{
    Draw draw(20);
    Plan plan;
    plan.hotKey = false;
    plan.pages = 2;
    plan.killStep = "Write the restored queue";
    plan.delayMs = 800;
    CrashRun(draw, plan);
}

}  // namespace
