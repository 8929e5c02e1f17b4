// The two ways of scanning that the benchmarks time: Pagorin's TWAIN session from the lab's virtual scanner to
// page files and tree nodes, and the lab's own TWAIN client (twainscan.exe) on the same source. Not a test.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "TestSupport.h"
#include "TwainClient.h"
#include "TwainPump.h"

namespace twainbench {

using namespace testsupport;

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

inline double Seconds(LARGE_INTEGER from)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// Pages per second through Pagorin's session into `queue`\T; 0 when the scan did not deliver every page.
inline double ThroughPagorin(const Run& run, int pages, const std::wstring& queue, HWND parent, HWND tree, int& nodes)
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
inline double ThroughLabClient(const Run& run, int pages, const std::wstring& folder, const std::wstring& output)
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

// A lab whose scanner holds `pages` sheets, the virtual scanner installed, and a hidden window with a tree view
// for Pagorin's session.
class ScanBench {
public:
    explicit ScanBench(int pages)
    {
        WriteFileBytes(Lab.File(L"scenario.ini"), "[Scanner]\nSheets = " + std::to_string(pages) + "\n");
        SetEnvironmentVariableW(L"PAGORIN_LAB", Lab.Path().c_str());
        ready_ = twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds");
        InitCommonControls();
        Parent = CreateWindowExA(0, "STATIC", "TWAIN benchmark", WS_OVERLAPPED, 0, 0, 300, 300, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        Tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | TVS_HASLINES, 0, 0, 300, 300, Parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    ~ScanBench()
    {
        DestroyWindow(Parent);
        SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    }
    ScanBench(const ScanBench&) = delete;
    ScanBench& operator=(const ScanBench&) = delete;
    bool Ready() const { return ready_; }

    TempDir Lab, Work;
    HWND Parent = nullptr, Tree = nullptr;

private:
    bool ready_ = false;
};

}  // namespace twainbench
