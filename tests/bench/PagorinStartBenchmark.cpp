// Pagorin.exe's start and its rest, each beside Wine's notepad measured in the same run: the time from the
// process start to its main window on the screen (aim: within 2x of notepad's), and the CPU it takes while
// it waits with nothing to do (aim: under 1%). Pagorin runs installed into folders of its own, on a lab
// without a robot; the prefix's product key is put back afterwards. Not a test.
//   pagorin_start_benchmark [starts=5] [idle seconds=10]
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

const wchar_t* const ProductKey = L"Software\\Tessaro Systems\\Pagorin";
const wchar_t* const SavedKey = L"Software\\Tessaro Systems\\Pagorin (saved by the benchmark)";

// Keeps the prefix's product key aside while the benchmark installs its own, and puts it back.
class ProductKeyAside {
public:
    ProductKeyAside() {
        HKEY key = nullptr;
        saved_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (!saved_) return;
        HKEY copy = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, SavedKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &copy, nullptr);
        RegCopyTreeW(key, nullptr, copy);
        RegCloseKey(copy);
        RegCloseKey(key);
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
    }
    ~ProductKeyAside() {
        DeleteRegTree(HKEY_LOCAL_MACHINE, ProductKey);
        if (!saved_) return;
        HKEY copy = nullptr, key = nullptr;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, SavedKey, 0, KEY_READ, &copy);
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegCopyTreeW(copy, nullptr, key);
        RegCloseKey(key);
        RegCloseKey(copy);
        DeleteRegTree(HKEY_LOCAL_MACHINE, SavedKey);
    }

private:
    bool saved_ = false;
};

void SetProductValue(const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD((value.size() + 1) * 2));
    RegCloseKey(key);
}

struct FirstWindow {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK TakeVisibleWindowOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<FirstWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->Pid || !IsWindowVisible(window)) return TRUE;
    search->Found = window;
    return FALSE;
}

// Starts a program and gives the seconds until a window of it shows (and the window); 0 s when none did.
std::pair<double, HWND> SecondsToWindow(const std::wstring& commandLine, ChildProcess& process) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    process = StartProgram(commandLine, BinDir());
    for (ULONGLONG deadline = GetTickCount64() + 60000; process.Started() && GetTickCount64() < deadline; Sleep(1)) {
        FirstWindow search{process.Pid(), nullptr};
        EnumWindows(TakeVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
        if (search.Found) {
            QueryPerformanceCounter(&now);
            return {double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart), search.Found};
        }
    }
    return {0, nullptr};
}

BOOL CALLBACK CloseOtherWindowOf(HWND window, LPARAM param) {
    auto* main = reinterpret_cast<FirstWindow*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == main->Pid && window != main->Found && IsWindowVisible(window)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Closes the program by its window. A close while Pagorin's robot is still being connected asks the
// operator to wait in a box of its own: that box is closed too, and the close asked for again.
void Close(HWND window, ChildProcess& process) {
    for (int attempt = 0; attempt < 3 && window; ++attempt) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (process.Wait(10000)) return;
        FirstWindow main{process.Pid(), window};
        EnumWindows(CloseOtherWindowOf, reinterpret_cast<LPARAM>(&main));
    }
    if (!process.Wait(10000)) process.Kill();
}

size_t Count(const std::string& text, const std::string& piece) {
    size_t n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Seconds(const FILETIME& kernel, const FILETIME& user) {
    auto ticks = [](const FILETIME& t) { return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime); };
    return (ticks(kernel) + ticks(user)) / 1e7;
}

// CPU seconds (kernel and user) the process has used so far. Wine answers GetProcessTimes for another process
// with almost nothing, but knows the times of each of its threads: there the threads alive are added up.
double CpuSeconds(DWORD pid) {
    FILETIME created, ended, kernel, user;
    double seconds = 0;
    if (!RunningUnderWine()) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (process && GetProcessTimes(process, &created, &ended, &kernel, &user)) seconds = Seconds(kernel, user);
        if (process) CloseHandle(process);
        return seconds;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != pid) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        if (thread && GetThreadTimes(thread, &created, &ended, &kernel, &user)) seconds += Seconds(kernel, user);
        if (thread) CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    ProductKeyAside aside;
    TempDir install, work, lab;
    CopyFileW(FromUtf8(PAGORIN_LANGUAGE_FILE).c_str(), install.File(L"Pagorin.ini").c_str(), FALSE);
    SetProductValue(L"InstallDir", install.Path());
    SetProductValue(L"Working Path", work.Path());
    SetEnvironmentVariableW(L"PAGORIN_LAB", lab.Path().c_str());
    WriteFileBytes(lab.File(L"scenario.ini"), "[Robots]\r\nCount = 0\r\n");
    const std::wstring pagorin = L"\"" + BinDir() + L"Pagorin.exe\"", notepad = L"notepad.exe";

    std::vector<double> pagorinStarts, notepadStarts;
    for (int i = 0; i < starts; ++i) {
        for (auto [line, times] : {std::pair{pagorin, &pagorinStarts}, std::pair{notepad, &notepadStarts}}) {
            ChildProcess process;
            auto [seconds, window] = SecondsToWindow(line, process);
            if (!window) {
                std::fprintf(stderr, "no window of %ls within 60 s\n", line.c_str());
                return 1;
            }
            times->push_back(seconds);
            Close(window, process);
        }
    }
    std::printf("Start to the main window, median of %d starts each: Pagorin %.3f s, notepad %.3f s\n", starts,
                Median(pagorinStarts), Median(notepadStarts));
    bench::PrintFigure("main window shown after the process start", Median(pagorinStarts), "s",
                       "Wine's notepad", Median(notepadStarts), "within 2x");

    // Both waiting side by side, once Pagorin's start-up work (looking for robots) is over.
    ChildProcess pagorinProcess, notepadProcess;
    const size_t connects = Count(ReadFileBytes(lab.File(L"trace.log")), "\tConnect\t");
    HWND pagorinWindow = SecondsToWindow(pagorin, pagorinProcess).second;
    HWND notepadWindow = SecondsToWindow(notepad, notepadProcess).second;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (Count(ReadFileBytes(lab.File(L"trace.log")), "\tConnect\t") == connects && GetTickCount64() < deadline)
        Sleep(50);
    const double pagorinBefore = CpuSeconds(pagorinProcess.Pid()), notepadBefore = CpuSeconds(notepadProcess.Pid());
    Sleep(DWORD(idleSeconds) * 1000);
    const double pagorinCpu = (CpuSeconds(pagorinProcess.Pid()) - pagorinBefore) * 100 / idleSeconds;
    const double notepadCpu = (CpuSeconds(notepadProcess.Pid()) - notepadBefore) * 100 / idleSeconds;
    Close(pagorinWindow, pagorinProcess);
    Close(notepadWindow, notepadProcess);
    std::printf("CPU while waiting %d s with nothing to do: Pagorin %.2f %%, notepad %.2f %%\n", idleSeconds, pagorinCpu,
                notepadCpu);
    bench::PrintFigure("CPU of a Pagorin waiting with nothing to do", pagorinCpu, "%", "Wine's notepad waiting",
                       notepadCpu, "under 1 %");
    SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr);
    return 0;
}
