// Install targets and the special folders they lie in, looked up the way each Windows version offers.
#include "Targets.h"

#include <windows.h>
#include <shlobj.h>

#include "FileUrl.h"
#include "Platform.h"
#include "Utf8.h"

namespace drvdb {

const char kRegistryTarget[] = "reg:///HKEY_LOCAL_MACHINE/SOFTWARE/Corvell/DRIVER2";
const char kDatabaseFilePart[] = "Corvell\\drivers\\driverdatabase.xml";

namespace {

class CTargetListImpl : public CTargetList {
public:
    explicit CTargetListImpl(std::vector<std::string> urls) : urls_(std::move(urls)) {}
    void Release() override { delete this; }
    bool Next() override {
        if (next_ >= urls_.size()) return false;
        current_ = urls_[next_++];
        return true;
    }
    std::string Current() const override { return current_; }

private:
    std::vector<std::string> urls_;
    size_t next_ = 0;
    std::string current_;
};

using GetFolderPathW = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
using GetSpecialFolderPathA = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);

// Looks a function up in a library that stays loaded for the life of the process; null when it is missing.
template <class Function> Function SystemFunction(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

std::string WindowsFolderUtf8() {
    char buffer[1040] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return AnsiToUtf8(std::string(buffer, length));
}

}  // namespace

std::string GetSpecialFolderUtf8(int csidl) {
    if (IsNT4OrLater()) {
        auto getPath = SystemFunction<GetFolderPathW>("shell32.dll", "SHGetFolderPathW");
        if (!getPath) getPath = SystemFunction<GetFolderPathW>("SHFolder.dll", "SHGetFolderPathW");
        if (!getPath) return std::string();
        wchar_t path[MAX_PATH + 1] = {};
        if (FAILED(getPath(nullptr, csidl, nullptr, 0, path))) return std::string();
        return Utf16ToUtf8(path, wcslen(path));
    }
    auto getPath = SystemFunction<GetSpecialFolderPathA>("shell32.dll", "SHGetSpecialFolderPathA");
    char path[MAX_PATH + 1] = {};
    if (!getPath || !getPath(nullptr, path, csidl, FALSE)) return std::string();
    return AnsiToUtf8(path);
}

std::vector<std::string> TargetUrls(bool win2000OrLater, const std::function<std::string(int csidl)>& folder,
                                    const std::string& windowsFolder) {
    std::vector<std::string> folders;
    folders.push_back(folder(CSIDL_COMMON_APPDATA));
    if (win2000OrLater) {
        folders.push_back(folder(CSIDL_LOCAL_APPDATA));
    } else {
        folders.push_back(folder(CSIDL_APPDATA));
        folders.push_back(windowsFolder);
    }
    std::vector<std::string> urls;
    for (const std::string& path : folders) {
        if (path.empty()) continue;
        const bool separated = path.back() == '\\';
        urls.push_back(MakeFileUrl(path + (separated ? "" : "\\") + kDatabaseFilePart));
    }
    urls.push_back(kRegistryTarget);
    return urls;
}

CTargetList* EnumerateTargets() {
    const bool win2000OrLater = IsWin2000OrLater();
    return new CTargetListImpl(
        TargetUrls(win2000OrLater, GetSpecialFolderUtf8, win2000OrLater ? std::string() : WindowsFolderUtf8()));
}

}  // namespace drvdb
