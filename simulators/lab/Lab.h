// The simulated machine shared by every device stand-in: one lab folder (named by PAGORIN_LAB) holding the
// scenario, the devices' state files and the call trace, with failure injection, delays and a state lock.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lab {

// Raised when the lab itself cannot work (folder not writable, lock not obtained in time).
// The exported functions catch it and answer with their own failure code.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The lab folder: %PAGORIN_LAB% when set, else %TEMP%\PagorinLab. Created on first use; no trailing backslash.
// Read on every call, so a test may point one process at a fresh lab with SetEnvironmentVariable.
std::wstring Folder();
// A path inside the lab folder (subfolders in `name` are not created).
std::wstring PathIn(const std::wstring& name);

// The scenario file (scenario.ini in the lab folder), UTF-8 with or without a byte order mark.
// Sections and keys are case-insensitive; ';' and '#' start comment lines; a missing file is an empty scenario.
class Scenario {
public:
    static Scenario Load();
    static Scenario Parse(const std::string& utf8Text);

    std::optional<std::wstring> Find(const std::wstring& section, const std::wstring& key) const;
    std::wstring String(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) const;
    long long Int(const std::wstring& section, const std::wstring& key, long long fallback) const;
    double Real(const std::wstring& section, const std::wstring& key, double fallback) const;
    // yes/no, true/false, on/off, 1/0; anything else gives the fallback.
    bool Bool(const std::wstring& section, const std::wstring& key, bool fallback) const;
    // Comma-separated items, trimmed; empty items dropped.
    std::vector<std::wstring> List(const std::wstring& section, const std::wstring& key) const;
    // Keys of a section in file order.
    std::vector<std::wstring> Keys(const std::wstring& section) const;

private:
    // lower-case section -> entries in file order (key as written, value)
    std::map<std::wstring, std::vector<std::pair<std::wstring, std::wstring>>> sections_;
};

// Appends one line "component<TAB>function<TAB>arguments<TAB>result" to trace.log in the lab folder.
// Whole lines only, serialised across threads and processes. Never throws.
void Trace(const std::string& component, const std::string& function, const std::string& arguments,
           const std::string& result);

// Counts this call of component.function (across processes, in calls.ini of the lab folder) and gives the code
// the scenario's [Failures] section injects for it, if any:
//   [Failures]
//   KAVO.DiscWrite = 1:-1          ; the 1st call fails with -1
//   KTROBOTS20.LoadDisc = 2:430, 4:498
//   KAVO.Verify = *:-7             ; every call
std::optional<long long> InjectedFailure(const std::string& component, const std::string& function);

// Sleeps the milliseconds the scenario's [Delays] section gives for component.name (0 when absent).
void Delay(const std::string& component, const std::string& name);
// The configured delay itself, for callers that spread it (e.g. per megabyte).
DWORD DelayMs(const std::string& component, const std::string& name);

// Holds the lab-wide lock that guards the devices' state files, across threads and processes.
// Waits at most 30 s, then throws lab::Error rather than hang.
class StateLock {
public:
    StateLock();
    ~StateLock();
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

private:
    HANDLE mutex_;
};

// Whole-file helpers for state files. ReadFile gives nothing when the file is missing.
std::optional<std::string> ReadWholeFile(const std::wstring& path);
// Writes through a temporary file and a rename, so a reader never sees half a file. Throws lab::Error.
void WriteWholeFile(const std::wstring& path, const std::string& bytes);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);
// The libraries' ANSI texts (the process's code page) from and to the lab's UTF-8.
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);

}  // namespace lab
