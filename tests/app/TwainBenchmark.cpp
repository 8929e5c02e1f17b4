// Pages per second from the lab's virtual scanner through Pagorin's TWAIN session to page files and tree nodes,
// beside the lab's own TWAIN client (twainscan.exe) on the same source in the same run, as a ratio. Not a test.
//   twain_benchmark [pages=100]
// Pagorin's time runs from the scan start (source opened, capabilities set) to the scan's end; the lab client
// counts from its enable to its last page.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchFigure.h"
#include "TestSupport.h"
#include "TwainClient.h"
#include "TwainPump.h"

using namespace testsupport;

namespace {

struct Run {
    const char* Title;
    const char* FileFormat;
    const char* ColorMode;
    const char* Resolution;
    const wchar_t* ClientFormat;
    const wchar_t* ClientPixelType;
};

// The main window's side as far as the benchmark needs it: every page becomes a node of a real tree view.
class TreeEvents : public pagorin::ScanEvents {
public:
    TreeEvents(HWND tree, pagorin::ScanSettings settings) : tree_(tree), settings_(std::move(settings)) {}

    pagorin::ScanSettings Settings() override { return settings_; }
    void TransferStarting() override { root_ = Insert(TVI_ROOT, settings_.Transaction); }
    void PageWritten(const std::string& fileName) override
    {
        if (Insert(root_, fileName))
            ++Nodes;
    }
    void ScanEnded(const pagorin::ScanResult& result) override
    {
        Result = result;
        Ended = true;
    }
    void Message(const std::string& text) override { fprintf(stderr, "twain_benchmark: %s\n", text.c_str()); }

    bool Ended = false;
    int Nodes = 0;
    pagorin::ScanResult Result;

private:
    HTREEITEM Insert(HTREEITEM parent, const std::string& text)
    {
        TVINSERTSTRUCTA item{};
        item.hParent = parent;
        item.hInsertAfter = TVI_LAST;
        item.item.mask = TVIF_TEXT;
        item.item.pszText = const_cast<char*>(text.c_str());
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }

    HWND tree_;
    pagorin::ScanSettings settings_;
    HTREEITEM root_ = nullptr;
};

double Seconds(LARGE_INTEGER from)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Pages per second through Pagorin's session into `queue`\T; 0 when the scan did not deliver every page.
double ThroughPagorin(const Run& run, int pages, const std::wstring& queue, HWND parent, HWND tree, int& nodes)
{
    pagorin::ScanSettings settings;
    settings.Scanner = "Pagorin Virtual Scanner";
    settings.ColorMode = run.ColorMode;
    settings.Resolution = run.Resolution;
    settings.FileFormat = run.FileFormat;
    settings.FileNaming = "Page";
    settings.QueuePath = ToUtf8(queue);
    settings.Transaction = "T";
    CreateDirectoryW((queue + L"\\T").c_str(), nullptr);
    TreeEvents events(tree, settings);
    pagorin::TwainSession twain(events);
    twain.LoadManager();
    twain.OpenTwainManager(parent);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    twain.StartScan();
    twaintest::PumpThroughEventCheck(twain, [&] { return events.Ended; }, 600000);
    double seconds = Seconds(start);
    nodes = events.Nodes;
    return events.Result.Pages == pages ? pages / seconds : 0;
}

// Pages per second of the lab's client on the same source, as it prints them; 0 when it failed.
double ThroughLabClient(const Run& run, int pages, const std::wstring& folder, const std::wstring& output)
{
    std::wstring command = L"\"" + BinDir() + L"twainscan.exe\" \"" + folder + L"\" " + std::to_wstring(pages) + L" " +
                           run.ClientFormat + L" " + run.ClientPixelType + L" " + FromUtf8(run.Resolution);
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    PROCESS_INFORMATION process{};
    bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(file);
    if (!started)
        return 0;
    WaitForSingleObject(process.hProcess, 600000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    int done = 0;
    double seconds = 0, rate = 0;
    std::string printed = ReadFileBytes(output);
    size_t at = printed.find("pages ");
    if (at == std::string::npos ||
        sscanf(printed.c_str() + at, "pages %d seconds %lf pages/s %lf", &done, &seconds, &rate) != 3 || done != pages)
        return 0;
    return rate;
}

}  // namespace

int main(int argc, char** argv)
{
    int pages = argc > 1 ? atoi(argv[1]) : 100;
    if (pages < 1)
        pages = 100;
    TempDir lab, work;
    WriteFileBytes(lab.File(L"scenario.ini"), "[Scanner]\nSheets = " + std::to_string(pages) + "\n");
    SetEnvironmentVariableW(L"PAGORIN_LAB", lab.Path().c_str());
    if (!twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds")) {
        fprintf(stderr, "twain_benchmark: cannot install the virtual scanner\n");
        return 1;
    }
    InitCommonControls();
    HWND parent = CreateWindowExA(0, "STATIC", "TWAIN benchmark", WS_OVERLAPPED, 0, 0, 300, 300, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | TVS_HASLINES, 0, 0, 300, 300, parent, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    const Run runs[] = {{"grey JPEG pages at 200 dpi", "JPG", "Grayscale", "200", L"jpg", L"gray"},
                        {"colour TIFF pages at 300 dpi", "TIFF", "24-bit Color", "300", L"tif", L"rgb"}};
    int failures = 0;
    for (size_t i = 0; i < std::size(runs); ++i) {
        const Run& run = runs[i];
        std::wstring queue = work.File(L"pagorin-" + std::to_wstring(i)), client = work.File(L"client-" + std::to_wstring(i));
        CreateDirectoryW(queue.c_str(), nullptr);
        CreateDirectoryW(client.c_str(), nullptr);
        int nodes = 0;
        double pagorin = ThroughPagorin(run, pages, queue, parent, tree, nodes);
        double lab = ThroughLabClient(run, pages, client, work.File(L"client-" + std::to_wstring(i) + L".txt"));
        if (pagorin == 0 || lab == 0) {
            ++failures;
            printf("%d %s: FAILED (Pagorin %.2f pages/s, lab client %.2f pages/s)\n", pages, run.Title, pagorin, lab);
            continue;
        }
        printf("%d %s: Pagorin %.2f pages/s (%d tree nodes), lab client %.2f pages/s, Pagorin at %.2fx the lab "
               "client's time\n",
               pages, run.Title, pagorin, nodes, lab, lab / pagorin);
        bench::PrintFigure((std::string("TWAIN session to page files: ") + run.Title).c_str(), pagorin, "pages/s",
                           "lab client", lab, "none of its own (the scan of the 2.5 pages/s road)");
    }
    DestroyWindow(parent);
    SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    return failures == 0 ? 0 : 1;
}
