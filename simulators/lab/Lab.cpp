// The simulated machine shared by every device stand-in: folder, scenario, trace, failures, delays, lock.
#include "Lab.h"

#include <algorithm>
#include <cwctype>
#include <sstream>

namespace lab {
namespace {

constexpr DWORD kLockTimeoutMs = 30000;

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return wchar_t(std::towlower(c)); });
    return text;
}

std::wstring Trim(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) return {};
    const auto last = text.find_last_not_of(L" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(name, buffer, ARRAYSIZE(buffer));
    if (length == 0 || length >= ARRAYSIZE(buffer)) return {};
    return buffer;
}

// Creates every missing folder of an absolute path.
void MakeFolders(const std::wstring& path) {
    for (size_t at = path.find_first_of(L"\\/", 3); ; at = path.find_first_of(L"\\/", at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        if (at == std::wstring::npos) break;
    }
}

// Named mutexes are per lab folder, so tests with labs of their own never wait for each other.
std::wstring MutexName(const wchar_t* purpose) {
    unsigned long long hash = 1469598103934665603ull;
    for (wchar_t c : Lower(Folder())) hash = (hash ^ unsigned(c)) * 1099511628211ull;
    wchar_t name[96];
    swprintf(name, ARRAYSIZE(name), L"Local\\PagorinLab-%s-%016llx", purpose, hash);
    return name;
}

// Obtains a named mutex; one left by a crashed holder counts as obtained. Bounded, never hangs.
HANDLE AcquireMutex(const wchar_t* purpose) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(purpose).c_str());
    if (!mutex) throw Error("lab: cannot create the lab mutex");
    const DWORD result = WaitForSingleObject(mutex, kLockTimeoutMs);
    if (result != WAIT_OBJECT_0 && result != WAIT_ABANDONED) {
        CloseHandle(mutex);
        throw Error("lab: the lab lock was not released in time");
    }
    return mutex;
}

void ReleaseMutexHandle(HANDLE mutex) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

std::string Narrow(const std::string& component, const std::string& function) {
    return component + "." + function;
}

// Parses "n:code, n:code, *:code" and gives the code for call number `call`.
std::optional<long long> FailureFor(const std::vector<std::wstring>& rules, long long call) {
    for (const auto& rule : rules) {
        const auto colon = rule.find(L':');
        if (colon == std::wstring::npos) continue;
        const std::wstring when = Trim(rule.substr(0, colon));
        const long long code = _wtoi64(Trim(rule.substr(colon + 1)).c_str());
        if (when == L"*" || _wtoi64(when.c_str()) == call) return code;
    }
    return std::nullopt;
}

}  // namespace

std::wstring Folder() {
    std::wstring folder = EnvironmentValue(L"PAGORIN_LAB");
    if (folder.empty()) folder = EnvironmentValue(L"TEMP") + L"\\PagorinLab";
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    // Every call of every device asks for the folder: one look when it exists, the whole path only when not.
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) MakeFolders(folder);
    return folder;
}

std::wstring PathIn(const std::wstring& name) {
    return Folder() + L"\\" + name;
}

Scenario Scenario::Load() {
    return Parse(ReadWholeFile(PathIn(L"scenario.ini")).value_or(std::string()));
}

Scenario Scenario::Parse(const std::string& utf8Text) {
    Scenario scenario;
    std::string text = utf8Text;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::wistringstream lines(FromUtf8(text));
    std::wstring line, section;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == L';' || line[0] == L'#') continue;
        if (line.front() == L'[' && line.back() == L']') {
            section = Lower(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const auto equals = line.find(L'=');
        if (equals == std::wstring::npos) continue;
        std::wstring value = Trim(line.substr(equals + 1));
        // A value may carry a trailing "; comment" after whitespace.
        const auto comment = value.find(L" ;");
        if (comment != std::wstring::npos) value = Trim(value.substr(0, comment));
        scenario.sections_[section].emplace_back(Trim(line.substr(0, equals)), value);
    }
    return scenario;
}

std::optional<std::wstring> Scenario::Find(const std::wstring& section, const std::wstring& key) const {
    const auto found = sections_.find(Lower(section));
    if (found == sections_.end()) return std::nullopt;
    const std::wstring wanted = Lower(key);
    for (const auto& [name, value] : found->second)
        if (Lower(name) == wanted) return value;
    return std::nullopt;
}

std::wstring Scenario::String(const std::wstring& section, const std::wstring& key,
                              const std::wstring& fallback) const {
    return Find(section, key).value_or(fallback);
}

long long Scenario::Int(const std::wstring& section, const std::wstring& key, long long fallback) const {
    const auto value = Find(section, key);
    if (!value || value->empty()) return fallback;
    wchar_t* end = nullptr;
    const long long number = wcstoll(value->c_str(), &end, 0);
    return *end == 0 ? number : fallback;
}

double Scenario::Real(const std::wstring& section, const std::wstring& key, double fallback) const {
    const auto value = Find(section, key);
    if (!value || value->empty()) return fallback;
    wchar_t* end = nullptr;
    const double number = wcstod(value->c_str(), &end);
    return *end == 0 ? number : fallback;
}

bool Scenario::Bool(const std::wstring& section, const std::wstring& key, bool fallback) const {
    const std::wstring value = Lower(Find(section, key).value_or(L""));
    if (value == L"1" || value == L"yes" || value == L"true" || value == L"on") return true;
    if (value == L"0" || value == L"no" || value == L"false" || value == L"off") return false;
    return fallback;
}

std::vector<std::wstring> Scenario::List(const std::wstring& section, const std::wstring& key) const {
    std::vector<std::wstring> items;
    std::wistringstream parts(Find(section, key).value_or(L""));
    std::wstring item;
    while (std::getline(parts, item, L',')) {
        item = Trim(item);
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

std::vector<std::wstring> Scenario::Keys(const std::wstring& section) const {
    std::vector<std::wstring> keys;
    const auto found = sections_.find(Lower(section));
    if (found != sections_.end())
        for (const auto& entry : found->second) keys.push_back(entry.first);
    return keys;
}

void Trace(const std::string& component, const std::string& function, const std::string& arguments,
           const std::string& result) {
    try {
        const std::string line = component + "\t" + function + "\t" + arguments + "\t" + result + "\r\n";
        HANDLE mutex = AcquireMutex(L"trace");
        HANDLE file = CreateFileW(PathIn(L"trace.log").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
            CloseHandle(file);
        }
        ReleaseMutexHandle(mutex);
    } catch (...) {
        // The trace is a witness, never a cause of failure.
    }
}

std::optional<long long> InjectedFailure(const std::string& component, const std::string& function) {
    const std::wstring key = FromUtf8(Narrow(component, function));
    const std::wstring path = PathIn(L"calls.ini");
    long long call = 0;
    {
        StateLock lock;
        std::string counts = ReadWholeFile(path).value_or(std::string());
        Scenario recorded = Scenario::Parse(counts);
        call = recorded.Int(L"calls", key, 0) + 1;
        // Rewrite the count list with this entry replaced or added.
        std::string updated = "[Calls]\r\n";
        bool replaced = false;
        for (const auto& name : recorded.Keys(L"calls")) {
            const bool same = Lower(name) == Lower(key);
            replaced = replaced || same;
            updated += ToUtf8(name) + "=" + std::to_string(same ? call : recorded.Int(L"calls", name, 0)) + "\r\n";
        }
        if (!replaced) updated += ToUtf8(key) + "=" + std::to_string(call) + "\r\n";
        WriteWholeFile(path, updated);
    }
    return FailureFor(Scenario::Load().List(L"Failures", key), call);
}

DWORD DelayMs(const std::string& component, const std::string& name) {
    const long long ms = Scenario::Load().Int(L"Delays", FromUtf8(Narrow(component, name)), 0);
    return ms > 0 ? DWORD(std::min<long long>(ms, 600000)) : 0;
}

void Delay(const std::string& component, const std::string& name) {
    if (const DWORD ms = DelayMs(component, name)) Sleep(ms);
}

StateLock::StateLock() : mutex_(AcquireMutex(L"state")) {}

StateLock::~StateLock() {
    ReleaseMutexHandle(mutex_);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

void WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring temporary = path + L".new";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Error("lab: cannot write " + ToUtf8(temporary));
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (!ok || !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        throw Error("lab: cannot write " + ToUtf8(path));
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size, nullptr, nullptr);
    return result;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring result(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), result.data(), size);
    return result;
}

std::string Utf8ToAnsi(const std::string& utf8) {
    const std::wstring wide = FromUtf8(utf8);
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), result.data(), size, nullptr, nullptr);
    return result;
}

std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
    std::wstring wide(size, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(), size);
    return ToUtf8(wide);
}

}  // namespace lab
