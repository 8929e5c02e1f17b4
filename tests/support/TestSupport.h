// Helpers for tests that drive real programs, windows and the registry of the Wine prefix.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace testsupport {

// The folder holding the test programs, the programs under test and the libraries, with a trailing backslash.
std::wstring BinDir();

// Whether the tests run under Wine rather than Windows: the one check behind every Wine difference.
bool RunningUnderWine();

// A started process; the handle is closed on destruction, the process is left running.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(HANDLE process, DWORD pid) : process_(process), pid_(pid) {}
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    bool Started() const { return process_ != nullptr; }
    DWORD Pid() const { return pid_; }
    // The exit code once the process has ended within the time, else nothing.
    std::optional<DWORD> Wait(DWORD timeoutMs) const;
    void Kill() const;

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// Starts `commandLine` (program path first, quoted as needed) in `workDir` (empty: the current folder).
ChildProcess StartProgram(const std::wstring& commandLine, const std::wstring& workDir = L"",
                          WORD showWindow = SW_SHOWNORMAL);

// Runs a program to its end and gives its exit code; nothing if it did not end in time (it is then killed).
std::optional<DWORD> RunProgram(const std::wstring& commandLine, DWORD timeoutMs = 30000);

// Waits for a visible top-level window with exactly this caption (of process `pid`, when not 0); a timeout of
// 0 looks once.
HWND WaitForTopWindow(const std::wstring& caption, DWORD timeoutMs, DWORD pid = 0);

// Finds a descendant window by class (nullptr: any) and text (nullptr: any).
HWND FindChild(HWND parent, const wchar_t* className, const wchar_t* text);

// The window's text, read with WM_GETTEXT.
std::wstring WindowText(HWND window);

// Sends a message and waits for its answer, at most `timeoutMs`; nothing when the receiver did not answer.
std::optional<LRESULT> SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       DWORD timeoutMs = 5000);

// Registry values; nothing when the key or value is missing or of another type.
std::optional<std::wstring> ReadRegString(HKEY root, const std::wstring& key, const std::wstring& name);
std::optional<DWORD> ReadRegDword(HKEY root, const std::wstring& key, const std::wstring& name);
// Removes a key with all its subkeys; missing is fine.
void DeleteRegTree(HKEY root, const std::wstring& key);

// A new empty folder under the temporary folder, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

// Whole-file helpers for test data.
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace testsupport
