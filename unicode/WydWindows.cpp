// Wide/ANSI wrappers of Windows functions: pass-through on the NT family, converted ANSI calls elsewhere.
#include "WydWindows.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "WydSysUtils.h"
#include "WydSystem.h"

using vcl::AnsiToWide;
using vcl::WideToAnsi;

namespace {

// A wide argument in ANSI for the duration of a call; a nil pointer stays nil.
class AnsiArg {
public:
    explicit AnsiArg(LPCWSTR s, bool emptyAsNil = false)
        : null_(!s || (emptyAsNil && !*s)), text_(null_ ? AnsiString() : WideToAnsi(s)) {}
    LPCSTR Get() const { return null_ ? nullptr : text_.c_str(); }
    LPSTR Writable() { return null_ ? nullptr : text_.data(); }

private:
    bool null_;
    AnsiString text_;
};

// An ANSI result fetched into a scratch buffer of `initial` bytes, grown while the function asks for more
// (it returns the needed size, or the buffer size when it truncates). Empty and false on failure.
bool FetchAnsi(DWORD initial, const std::function<DWORD(LPSTR, DWORD)>& call, AnsiString& text) {
    std::vector<char> buffer(initial);
    for (;;) {
        const DWORD got = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) return false;
        if (got < buffer.size()) {
            text.assign(buffer.data(), got);
            return true;
        }
        if (buffer.size() >= 0x20000) return false;
        buffer.assign(std::max<size_t>(got + 1, buffer.size() * 2), '\0');
    }
}

DWORD HandBackAnsiResult(DWORD initial, const std::function<DWORD(LPSTR, DWORD)>& call, LPWSTR buffer,
                         DWORD size, unsigned options) {
    AnsiString text;
    if (!FetchAnsi(initial, call, text)) return 0;
    return WydHandBackWideResult(AnsiToWide(text), buffer, size, options);
}

// Copies at most capacity - 1 characters and the terminator.
void CopyTerminated(const WideString& s, wchar_t* dest, size_t capacity) {
    if (!dest || capacity == 0) return;
    const size_t n = std::min(s.size(), capacity - 1);
    std::copy_n(s.data(), n, dest);
    dest[n] = 0;
}

void WidenFindData(const WIN32_FIND_DATAA& a, WIN32_FIND_DATAW& w) {
    w.dwFileAttributes = a.dwFileAttributes;
    w.ftCreationTime = a.ftCreationTime;
    w.ftLastAccessTime = a.ftLastAccessTime;
    w.ftLastWriteTime = a.ftLastWriteTime;
    w.nFileSizeHigh = a.nFileSizeHigh;
    w.nFileSizeLow = a.nFileSizeLow;
    w.dwReserved0 = a.dwReserved0;
    w.dwReserved1 = a.dwReserved1;
    CopyTerminated(AnsiToWide(a.cFileName), w.cFileName, MAX_PATH);
    CopyTerminated(AnsiToWide(a.cAlternateFileName), w.cAlternateFileName, 14);
}

// The four wide shell functions, bound together on first use on the NT family.
struct ShellBinding {
    using FileOperation = int(WINAPI*)(LPSHFILEOPSTRUCTW);
    using BrowseForFolder = PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOW);
    using GetPathFromIDList = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR);
    using GetFileInfo = DWORD_PTR(WINAPI*)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);

    HMODULE module = nullptr;
    FileOperation fileOperation = nullptr;
    BrowseForFolder browseForFolder = nullptr;
    GetPathFromIDList getPathFromIDList = nullptr;
    GetFileInfo getFileInfo = nullptr;
};

ShellBinding shell;

template <typename F> F BindShellFunction(const char* name) {
    return reinterpret_cast<F>(WinCheckP(reinterpret_cast<void*>(GetProcAddress(shell.module, name))));
}

const ShellBinding& BoundShell() {
    if (!shell.module) {
        HMODULE module = WinCheckH(Wyd_LoadLibraryW(L"shell32.dll"));
        shell.module = module;
        try {
            shell.fileOperation = BindShellFunction<ShellBinding::FileOperation>("SHFileOperationW");
            shell.browseForFolder = BindShellFunction<ShellBinding::BrowseForFolder>("SHBrowseForFolderW");
            shell.getPathFromIDList = BindShellFunction<ShellBinding::GetPathFromIDList>("SHGetPathFromIDListW");
            shell.getFileInfo = BindShellFunction<ShellBinding::GetFileInfo>("SHGetFileInfoW");
        } catch (...) {
            FreeLibrary(module);
            shell = ShellBinding();
            throw;
        }
    }
    return shell;
}

// The value of the last string query of Wyd_VerQueryValueW on the ANSI path.
WideString lastVersionString;

// Name mappings converted from an ANSI file operation; the layer owns them.
struct WideNameMappings {
    UINT count;
    SHNAMEMAPPINGW* mappings;
};

AnsiString AnsiNameList(LPCWSTR list) {
    AnsiString result;
    if (!list) return result;
    for (LPCWSTR p = list; *p; p += wcslen(p) + 1) {
        result += WideToAnsi(p);
        result += '\0';
    }
    result += '\0';
    return result;
}

bool IsStringMenuItem(const MENUITEMINFOW& info) {
    if (info.fMask & MIIM_STRING) return true;
    return (info.fMask & MIIM_TYPE) && !(info.fType & (MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR));
}

// The single-character case mapping of the ANSI path.
wchar_t MapCharThroughAnsi(wchar_t c, LPSTR(WINAPI* map)(LPSTR)) {
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, &c, 1, bytes, sizeof bytes, nullptr, &usedDefault);
    if (n != 1 || usedDefault) return c;
    const char mapped = static_cast<char>(reinterpret_cast<UINT_PTR>(
        map(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(bytes[0]))))));
    wchar_t back[4];
    if (MultiByteToWideChar(CP_ACP, 0, &mapped, 1, back, 4) != 1) return c;
    return back[0];
}

DWORD MapBufferThroughAnsi(LPWSTR s, DWORD length, LPSTR(WINAPI* map)(LPSTR)) {
    for (DWORD i = 0; i < length; ++i) s[i] = MapCharThroughAnsi(s[i], map);
    return length;
}

LPWSTR MapStringOrCharThroughAnsi(LPWSTR s, LPSTR(WINAPI* map)(LPSTR)) {
    if (Wyd_Is_IntResource(s))
        return reinterpret_cast<LPWSTR>(
            static_cast<UINT_PTR>(MapCharThroughAnsi(static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(s)), map)));
    for (LPWSTR p = s; *p; ++p) *p = MapCharThroughAnsi(*p, map);
    return s;
}

int OrdinalCompare(LPCWSTR a, int countA, LPCWSTR b, int countB) {
    const size_t lengthA = countA < 0 ? wcslen(a) : static_cast<size_t>(countA);
    const size_t lengthB = countB < 0 ? wcslen(b) : static_cast<size_t>(countB);
    const int order = std::wstring_view(a, lengthA).compare(std::wstring_view(b, lengthB));
    return order < 0 ? CSTR_LESS_THAN : order == 0 ? CSTR_EQUAL : CSTR_GREATER_THAN;
}

WideString Counted(LPCWSTR s, int count) {
    if (!s) return WideString();
    return count < 0 ? WideString(s) : WideString(s, static_cast<size_t>(count));
}

} // namespace

bool Wyd_Is_IntResource(const void* p) { return (reinterpret_cast<UINT_PTR>(p) >> 16) == 0; }

DWORD WydHandBackWideResult(const WideString& result, wchar_t* buffer, DWORD size, unsigned options) {
    const DWORD length = static_cast<DWORD>(result.size());
    if (size > length) {
        std::copy_n(result.data(), length, buffer);
        buffer[length] = 0;
        return length;
    }
    if ((options & broCopyWhatFits) && size > 0) {
        CopyTerminated(result, buffer, size);
        return size;
    }
    if ((options & broExactFitCounts) && length == size && size > 0) {
        CopyTerminated(result, buffer, size);
        return length + 1;
    }
    if (size != 0) {
        if (options & broClear) buffer[0] = 0;
        if (options & broWholeFolders) {
            buffer[0] = 0;
            if (size >= 4) {
                const size_t slash = result.find_last_of(L'\\', size - 2);
                if (slash != WideString::npos) CopyTerminated(result.substr(0, slash + 1), buffer, size);
            }
        }
    }
    return length + 1;
}

BOOL Wyd_SetWindowTextW(HWND window, LPCWSTR text) {
    if (Win32PlatformIsUnicode) return SetWindowTextW(window, text);
    return SetWindowTextA(window, AnsiArg(text).Get());
}

BOOL Wyd_RemoveDirectoryW(LPCWSTR pathName) {
    if (Win32PlatformIsUnicode) return RemoveDirectoryW(pathName);
    return RemoveDirectoryA(AnsiArg(pathName).Get());
}

BOOL Wyd_CreateDirectoryW(LPCWSTR pathName, LPSECURITY_ATTRIBUTES securityAttributes) {
    if (Win32PlatformIsUnicode) return CreateDirectoryW(pathName, securityAttributes);
    return CreateDirectoryA(AnsiArg(pathName).Get(), securityAttributes);
}

BOOL Wyd_SetCurrentDirectoryW(LPCWSTR pathName) {
    if (Win32PlatformIsUnicode) return SetCurrentDirectoryW(pathName);
    return SetCurrentDirectoryA(AnsiArg(pathName).Get());
}

BOOL Wyd_DeleteFileW(LPCWSTR fileName) {
    if (Win32PlatformIsUnicode) return DeleteFileW(fileName);
    return DeleteFileA(AnsiArg(fileName).Get());
}

DWORD Wyd_GetFileAttributesW(LPCWSTR fileName) {
    if (Win32PlatformIsUnicode) return GetFileAttributesW(fileName);
    return GetFileAttributesA(AnsiArg(fileName).Get());
}

BOOL Wyd_SetFileAttributesW(LPCWSTR fileName, DWORD attributes) {
    if (Win32PlatformIsUnicode) return SetFileAttributesW(fileName, attributes);
    return SetFileAttributesA(AnsiArg(fileName).Get(), attributes);
}

BOOL Wyd_MoveFileW(LPCWSTR existingFileName, LPCWSTR newFileName) {
    if (Win32PlatformIsUnicode) return MoveFileW(existingFileName, newFileName);
    return MoveFileA(AnsiArg(existingFileName).Get(), AnsiArg(newFileName).Get());
}

BOOL Wyd_CopyFileW(LPCWSTR existingFileName, LPCWSTR newFileName, BOOL failIfExists) {
    if (Win32PlatformIsUnicode) return CopyFileW(existingFileName, newFileName, failIfExists);
    return CopyFileA(AnsiArg(existingFileName).Get(), AnsiArg(newFileName).Get(), failIfExists);
}

HANDLE Wyd_CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                       DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile) {
    if (Win32PlatformIsUnicode)
        return CreateFileW(fileName, desiredAccess, shareMode, security, creationDisposition, flagsAndAttributes,
                           templateFile);
    return CreateFileA(AnsiArg(fileName).Get(), desiredAccess, shareMode, security, creationDisposition,
                       flagsAndAttributes, templateFile);
}

HMODULE Wyd_LoadLibraryW(LPCWSTR fileName) {
    if (Win32PlatformIsUnicode) return LoadLibraryW(fileName);
    return LoadLibraryA(AnsiArg(fileName).Get());
}

HMODULE Wyd_LoadLibraryExW(LPCWSTR fileName, HANDLE file, DWORD flags) {
    if (Win32PlatformIsUnicode) return LoadLibraryExW(fileName, file, flags);
    return LoadLibraryExA(AnsiArg(fileName).Get(), file, flags);
}

BOOL Wyd_GetDiskFreeSpaceW(LPCWSTR rootPathName, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector,
                           LPDWORD numberOfFreeClusters, LPDWORD totalNumberOfClusters) {
    if (Win32PlatformIsUnicode)
        return GetDiskFreeSpaceW(rootPathName, sectorsPerCluster, bytesPerSector, numberOfFreeClusters,
                                 totalNumberOfClusters);
    return GetDiskFreeSpaceA(AnsiArg(rootPathName).Get(), sectorsPerCluster, bytesPerSector, numberOfFreeClusters,
                             totalNumberOfClusters);
}

UINT Wyd_ExtractIconExW(LPCWSTR fileName, int iconIndex, HICON* largeIcons, HICON* smallIcons, UINT icons) {
    if (Win32PlatformIsUnicode) return ExtractIconExW(fileName, iconIndex, largeIcons, smallIcons, icons);
    return ExtractIconExA(AnsiArg(fileName).Get(), iconIndex, largeIcons, smallIcons, icons);
}

HICON Wyd_ExtractAssociatedIconW(HINSTANCE instance, LPWSTR iconPath, LPWORD iconIndex) {
    if (Win32PlatformIsUnicode) return ExtractAssociatedIconW(instance, iconPath, iconIndex);
    // The ANSI function may write a path back into its argument: give it room for one.
    char path[520] = {};
    lstrcpynA(path, AnsiArg(iconPath).Get(), sizeof path);
    return ExtractAssociatedIconA(instance, path, iconIndex);
}

DWORD Wyd_GetFileVersionInfoSizeW(LPCWSTR fileName, LPDWORD handle) {
    if (Win32PlatformIsUnicode) return GetFileVersionInfoSizeW(fileName, handle);
    return GetFileVersionInfoSizeA(AnsiArg(fileName).Get(), handle);
}

BOOL Wyd_GetFileVersionInfoW(LPCWSTR fileName, DWORD handle, DWORD length, LPVOID data) {
    if (Win32PlatformIsUnicode) return GetFileVersionInfoW(fileName, handle, length, data);
    return GetFileVersionInfoA(AnsiArg(fileName).Get(), handle, length, data);
}

DWORD Wyd_GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD size) {
    if (Win32PlatformIsUnicode) return GetShortPathNameW(longPath, shortPath, size);
    const AnsiArg name(longPath);
    return HandBackAnsiResult(
        520, [&](LPSTR b, DWORD n) { return GetShortPathNameA(name.Get(), b, n); }, shortPath, size,
        broWholeFolders);
}

DWORD Wyd_GetFullPathNameW(LPCWSTR fileName, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
    if (Win32PlatformIsUnicode) return GetFullPathNameW(fileName, size, buffer, filePart);
    const AnsiArg name(fileName);
    AnsiString text;
    size_t filePartOffset = AnsiString::npos;
    const bool ok = FetchAnsi(520, [&](LPSTR b, DWORD n) {
        LPSTR part = nullptr;
        const DWORD got = GetFullPathNameA(name.Get(), n, b, &part);
        filePartOffset = part ? static_cast<size_t>(part - b) : AnsiString::npos;
        return got;
    }, text);
    if (filePart) *filePart = nullptr;
    if (!ok) return 0;
    const DWORD result = WydHandBackWideResult(AnsiToWide(text), buffer, size, broClear);
    // The file part lies after the widened text before it (bytes and characters differ in DBCS code pages).
    if (filePart && result < size && filePartOffset != AnsiString::npos)
        *filePart = buffer + AnsiToWide(text.substr(0, filePartOffset)).size();
    return result;
}

DWORD Wyd_GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    if (Win32PlatformIsUnicode) return GetModuleFileNameW(module, fileName, size);
    return HandBackAnsiResult(
        520, [&](LPSTR b, DWORD n) { return GetModuleFileNameA(module, b, n); }, fileName, size, broCopyWhatFits);
}

DWORD Wyd_GetTempPathW(DWORD size, LPWSTR buffer) {
    if (Win32PlatformIsUnicode) return GetTempPathW(size, buffer);
    return HandBackAnsiResult(
        520, [](LPSTR b, DWORD n) { return GetTempPathA(n, b); }, buffer, size, broExactFitCounts | broClear);
}

DWORD Wyd_GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
    if (Win32PlatformIsUnicode) return GetCurrentDirectoryW(size, buffer);
    return HandBackAnsiResult(
        520, [](LPSTR b, DWORD n) { return GetCurrentDirectoryA(n, b); }, buffer, size,
        broExactFitCounts | broClear);
}

UINT Wyd_GetTempFileNameW(LPCWSTR pathName, LPCWSTR prefix, UINT unique, LPWSTR tempFileName) {
    if (Win32PlatformIsUnicode) return GetTempFileNameW(pathName, prefix, unique, tempFileName);
    char name[520] = {};
    const UINT result = GetTempFileNameA(AnsiArg(pathName).Get(), AnsiArg(prefix).Get(), unique, name);
    if (result != 0) WydHandBackWideResult(AnsiToWide(name), tempFileName, MAX_PATH, broClear);
    return result;
}

UINT Wyd_GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
    if (Win32PlatformIsUnicode) return GetWindowsDirectoryW(buffer, size);
    return HandBackAnsiResult(
        520, [](LPSTR b, DWORD n) { return GetWindowsDirectoryA(b, n); }, buffer, size, 0);
}

UINT Wyd_GetSystemDirectoryW(LPWSTR buffer, UINT size) {
    if (Win32PlatformIsUnicode) return GetSystemDirectoryW(buffer, size);
    return HandBackAnsiResult(
        520, [](LPSTR b, DWORD n) { return GetSystemDirectoryA(b, n); }, buffer, size, 0);
}

HANDLE Wyd_FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData) {
    if (Win32PlatformIsUnicode) return FindFirstFileW(fileName, findData);
    WIN32_FIND_DATAA ansi{};
    const HANDLE find = FindFirstFileA(AnsiArg(fileName).Get(), &ansi);
    if (find != INVALID_HANDLE_VALUE) WidenFindData(ansi, *findData);
    return find;
}

BOOL Wyd_FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW findData) {
    if (Win32PlatformIsUnicode) return FindNextFileW(find, findData);
    WIN32_FIND_DATAA ansi{};
    const BOOL found = FindNextFileA(find, &ansi);
    if (found) WidenFindData(ansi, *findData);
    return found;
}

int Wyd_DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    if (Win32PlatformIsUnicode) return DrawTextW(dc, text, count, rect, format);
    // The converted copy is the function's own: a string it modifies would never reach the caller.
    AnsiString ansi = WideToAnsi(Counted(text, count));
    return DrawTextA(dc, ansi.data(), -1, rect, format & ~static_cast<UINT>(DT_MODIFYSTRING));
}

BOOL Wyd_GetVolumeInformationW(LPCWSTR rootPathName, LPWSTR volumeName, DWORD volumeNameSize,
                               LPDWORD serialNumber, LPDWORD maximumComponentLength, LPDWORD fileSystemFlags,
                               LPWSTR fileSystemName, DWORD fileSystemNameSize) {
    if (Win32PlatformIsUnicode)
        return GetVolumeInformationW(rootPathName, volumeName, volumeNameSize, serialNumber,
                                     maximumComponentLength, fileSystemFlags, fileSystemName,
                                     fileSystemNameSize);
    char volume[520] = {};
    char fileSystem[520] = {};
    if (!GetVolumeInformationA(AnsiArg(rootPathName).Get(), volumeName ? volume : nullptr,
                               volumeName ? sizeof volume : 0, serialNumber, maximumComponentLength,
                               fileSystemFlags, fileSystemName ? fileSystem : nullptr,
                               fileSystemName ? sizeof fileSystem : 0))
        return FALSE;
    const WideString wideVolume = AnsiToWide(volume);
    const WideString wideFileSystem = AnsiToWide(fileSystem);
    if ((volumeName && wideVolume.size() >= volumeNameSize) ||
        (fileSystemName && wideFileSystem.size() >= fileSystemNameSize)) {
        SetLastError(ERROR_BAD_LENGTH);
        return FALSE;
    }
    CopyTerminated(wideVolume, volumeName, volumeNameSize);
    CopyTerminated(wideFileSystem, fileSystemName, fileSystemNameSize);
    return TRUE;
}

namespace {

BOOL HandBackName(const AnsiString& name, LPWSTR buffer, LPDWORD size, DWORD tooSmallError) {
    const WideString wide = AnsiToWide(name);
    if (*size > wide.size()) {
        CopyTerminated(wide, buffer, *size);
        *size = static_cast<DWORD>(wide.size());
        return TRUE;
    }
    *size = static_cast<DWORD>(wide.size() + 1);
    SetLastError(tooSmallError);
    return FALSE;
}

} // namespace

BOOL Wyd_GetComputerNameW(LPWSTR buffer, LPDWORD size) {
    if (Win32PlatformIsUnicode) return GetComputerNameW(buffer, size);
    char name[16] = {};
    DWORD length = sizeof name;
    if (!GetComputerNameA(name, &length)) return FALSE;
    return HandBackName(AnsiString(name, length), buffer, size, ERROR_BUFFER_OVERFLOW);
}

BOOL Wyd_GetUserNameW(LPWSTR buffer, LPDWORD size) {
    if (Win32PlatformIsUnicode) return GetUserNameW(buffer, size);
    char name[255] = {};
    DWORD length = sizeof name;
    if (!GetUserNameA(name, &length)) return FALSE;
    return HandBackName(AnsiString(name), buffer, size, ERROR_INSUFFICIENT_BUFFER);
}

HINSTANCE Wyd_ShellExecuteW(HWND window, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                            INT showCmd) {
    if (Win32PlatformIsUnicode)
        return ShellExecuteW(window, operation && *operation ? operation : nullptr, file, parameters, directory,
                             showCmd);
    return ShellExecuteA(window, AnsiArg(operation, true).Get(), AnsiArg(file, true).Get(),
                         AnsiArg(parameters, true).Get(), AnsiArg(directory, true).Get(), showCmd);
}

BOOL Wyd_CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                        LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                        LPVOID environment, LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                        LPPROCESS_INFORMATION processInformation) {
    if (Win32PlatformIsUnicode) {
        // The function may write into the command line: a caller's constant text must not be its buffer.
        WideString writable = commandLine ? WideString(commandLine) : WideString();
        return CreateProcessW(applicationName, commandLine ? writable.data() : nullptr, processAttributes,
                              threadAttributes, inheritHandles, creationFlags, environment, currentDirectory,
                              startupInfo, processInformation);
    }
    AnsiArg desktop(startupInfo->lpDesktop, true);
    AnsiArg title(startupInfo->lpTitle, true);
    AnsiArg reserved(startupInfo->lpReserved, true);
    STARTUPINFOA ansiStartup{};
    static_assert(sizeof(STARTUPINFOA) == sizeof(STARTUPINFOW));
    memcpy(&ansiStartup, startupInfo, sizeof ansiStartup);
    ansiStartup.cb = sizeof ansiStartup;
    ansiStartup.lpDesktop = desktop.Writable();
    ansiStartup.lpTitle = title.Writable();
    ansiStartup.lpReserved = reserved.Writable();
    AnsiArg command(commandLine, true);
    return CreateProcessA(AnsiArg(applicationName, true).Get(), command.Writable(), processAttributes,
                          threadAttributes, inheritHandles, creationFlags, environment,
                          AnsiArg(currentDirectory, true).Get(), &ansiStartup, processInformation);
}

int Wyd_GetCurrencyFormatW(LCID locale, DWORD flags, LPCWSTR value, const CURRENCYFMTW* format, LPWSTR buffer,
                           int size) {
    if (Win32PlatformIsUnicode) return GetCurrencyFormatW(locale, flags, value, format, buffer, size);
    CURRENCYFMTA ansiFormat{};
    AnsiString decimalSep, thousandSep, symbol;
    if (format) {
        decimalSep = WideToAnsi(format->lpDecimalSep ? format->lpDecimalSep : L"");
        thousandSep = WideToAnsi(format->lpThousandSep ? format->lpThousandSep : L"");
        symbol = WideToAnsi(format->lpCurrencySymbol ? format->lpCurrencySymbol : L"");
        ansiFormat.NumDigits = format->NumDigits;
        ansiFormat.LeadingZero = format->LeadingZero;
        ansiFormat.Grouping = format->Grouping;
        ansiFormat.lpDecimalSep = decimalSep.data();
        ansiFormat.lpThousandSep = thousandSep.data();
        ansiFormat.NegativeOrder = format->NegativeOrder;
        ansiFormat.PositiveOrder = format->PositiveOrder;
        ansiFormat.lpCurrencySymbol = symbol.data();
    }
    const AnsiArg ansiValue(value);
    AnsiString text;
    if (!FetchAnsi(64, [&](LPSTR b, DWORD n) {
            const int got = GetCurrencyFormatA(locale, flags, ansiValue.Get(), format ? &ansiFormat : nullptr, b,
                                               static_cast<int>(n));
            // Too small: ask for what the function says it needs.
            return got > 0 ? static_cast<DWORD>(got - 1)
                           : GetLastError() == ERROR_INSUFFICIENT_BUFFER ? n : 0;
        }, text))
        return 0;
    const WideString wide = AnsiToWide(text);
    const int needed = static_cast<int>(wide.size()) + 1;
    if (size == 0) return needed;
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    CopyTerminated(wide, buffer, static_cast<size_t>(size));
    return needed;
}

int Wyd_CompareStringW(LCID locale, DWORD flags, LPCWSTR string1, int count1, LPCWSTR string2, int count2) {
    if (Win32PlatformIsUnicode) return CompareStringW(locale, flags, string1, count1, string2, count2);
    if (flags == 0) return OrdinalCompare(string1, count1, string2, count2);
    return CompareStringA(locale, flags, WideToAnsi(Counted(string1, count1)).c_str(), -1,
                          WideToAnsi(Counted(string2, count2)).c_str(), -1);
}

LPWSTR Wyd_CharUpperW(LPWSTR s) {
    if (Win32PlatformIsUnicode) return CharUpperW(s);
    return MapStringOrCharThroughAnsi(s, CharUpperA);
}

LPWSTR Wyd_CharLowerW(LPWSTR s) {
    if (Win32PlatformIsUnicode) return CharLowerW(s);
    return MapStringOrCharThroughAnsi(s, CharLowerA);
}

DWORD Wyd_CharUpperBuffW(LPWSTR s, DWORD length) {
    if (Win32PlatformIsUnicode) return CharUpperBuffW(s, length);
    return MapBufferThroughAnsi(s, length, CharUpperA);
}

DWORD Wyd_CharLowerBuffW(LPWSTR s, DWORD length) {
    if (Win32PlatformIsUnicode) return CharLowerBuffW(s, length);
    return MapBufferThroughAnsi(s, length, CharLowerA);
}

BOOL Wyd_GetStringTypeExW(LCID locale, DWORD infoType, LPCWSTR s, int count, LPWORD charType) {
    if (Win32PlatformIsUnicode) return GetStringTypeExW(locale, infoType, s, count, charType);
    const AnsiString ansi = WideToAnsi(Counted(s, count));
    return GetStringTypeExA(locale, infoType, ansi.c_str(), -1, charType);
}

int Wyd_LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
    if (Win32PlatformIsUnicode) return LoadStringW(instance, id, buffer, size);
    // The string table is UTF-16 on every platform: read the block directly.
    const HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6));
    if (!resource) return 0;
    const HGLOBAL loaded = LoadResource(instance, resource);
    const auto* p = static_cast<const WORD*>(loaded ? LockResource(loaded) : nullptr);
    if (!p) return 0;
    const WORD* end = p + SizeofResource(instance, resource) / sizeof(WORD);
    for (UINT skip = id & 15; skip > 0 && p < end; --skip) p += 1 + *p;
    if (p >= end) return 0;
    const int length = std::min<int>(*p, static_cast<int>(end - p - 1));
    if (!buffer || size < 1) return length;
    const int n = std::min(size - 1, length);
    std::copy_n(reinterpret_cast<const wchar_t*>(p + 1), n, buffer);
    buffer[n] = 0;
    return n;
}

BOOL Wyd_InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOW info) {
    if (Win32PlatformIsUnicode) return InsertMenuItemW(menu, item, byPosition, info);
    MENUITEMINFOA ansiInfo{};
    static_assert(sizeof(MENUITEMINFOA) == sizeof(MENUITEMINFOW));
    memcpy(&ansiInfo, info, std::min<size_t>(info->cbSize, sizeof ansiInfo));
    AnsiString text;
    // Only a string item carries text; bitmaps, separators and owner-drawn items pass as they are.
    if (IsStringMenuItem(*info) && info->dwTypeData) {
        text = WideToAnsi(info->dwTypeData);
        ansiInfo.dwTypeData = text.data();
        ansiInfo.cch = static_cast<UINT>(text.size());
    }
    return InsertMenuItemA(menu, item, byPosition, &ansiInfo);
}

BOOL Wyd_VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* buffer, PUINT length) {
    if (Win32PlatformIsUnicode) return VerQueryValueW(block, subBlock, buffer, length);
    if (!VerQueryValueA(block, AnsiArg(subBlock).Get(), buffer, length)) return FALSE;
    const wchar_t prefix[] = L"\\StringFileInfo";
    const size_t prefixLength = wcslen(prefix);
    if (subBlock && wcslen(subBlock) >= prefixLength &&
        CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, subBlock, static_cast<int>(prefixLength), prefix,
                       static_cast<int>(prefixLength)) == CSTR_EQUAL) {
        lastVersionString = AnsiToWide(static_cast<const char*>(*buffer));
        *buffer = lastVersionString.data();
        *length = static_cast<UINT>(lastVersionString.size());
    }
    return TRUE;
}

int Wyd_SHFileOperationW(LPSHFILEOPSTRUCTW fileOp) {
    if (Win32PlatformIsUnicode) return BoundShell().fileOperation(fileOp);
    const AnsiString from = AnsiNameList(fileOp->pFrom);
    const AnsiString to = AnsiNameList(fileOp->pTo);
    const AnsiArg title(fileOp->lpszProgressTitle);
    SHFILEOPSTRUCTA ansiOp{};
    ansiOp.hwnd = fileOp->hwnd;
    ansiOp.wFunc = fileOp->wFunc;
    ansiOp.pFrom = fileOp->pFrom ? from.c_str() : nullptr;
    ansiOp.pTo = fileOp->pTo ? to.c_str() : nullptr;
    ansiOp.fFlags = fileOp->fFlags;
    ansiOp.lpszProgressTitle = title.Get();
    const int result = SHFileOperationA(&ansiOp);
    fileOp->fAnyOperationsAborted = ansiOp.fAnyOperationsAborted;
    fileOp->hNameMappings = nullptr;
    if (ansiOp.hNameMappings) {
        struct AnsiMappings {
            UINT count;
            SHNAMEMAPPINGA* mappings;
        };
        const auto* ansiMappings = static_cast<const AnsiMappings*>(ansiOp.hNameMappings);
        auto* wide = new WideNameMappings{ansiMappings->count, new SHNAMEMAPPINGW[ansiMappings->count]};
        for (UINT i = 0; i < ansiMappings->count; ++i) {
            const SHNAMEMAPPINGA& a = ansiMappings->mappings[i];
            const WideString oldPath = AnsiToWide(AnsiString(a.pszOldPath, std::max(a.cchOldPath, 0)));
            const WideString newPath = AnsiToWide(AnsiString(a.pszNewPath, std::max(a.cchNewPath, 0)));
            SHNAMEMAPPINGW& w = wide->mappings[i];
            w.pszOldPath = new wchar_t[oldPath.size() + 1];
            w.pszNewPath = new wchar_t[newPath.size() + 1];
            CopyTerminated(oldPath, w.pszOldPath, oldPath.size() + 1);
            CopyTerminated(newPath, w.pszNewPath, newPath.size() + 1);
            w.cchOldPath = static_cast<int>(oldPath.size());
            w.cchNewPath = static_cast<int>(newPath.size());
        }
        SHFreeNameMappings(ansiOp.hNameMappings);
        fileOp->hNameMappings = wide;
    }
    return result;
}

void Wyd_SHFreeNameMappings(HANDLE nameMappings) {
    if (Win32PlatformIsUnicode) {
        SHFreeNameMappings(nameMappings);
        return;
    }
    auto* wide = static_cast<WideNameMappings*>(nameMappings);
    if (!wide) return;
    for (UINT i = 0; i < wide->count; ++i) {
        delete[] wide->mappings[i].pszOldPath;
        delete[] wide->mappings[i].pszNewPath;
    }
    delete[] wide->mappings;
    delete wide;
}

PIDLIST_ABSOLUTE Wyd_SHBrowseForFolderW(LPBROWSEINFOW browseInfo) {
    if (Win32PlatformIsUnicode) return BoundShell().browseForFolder(browseInfo);
    const AnsiArg title(browseInfo->lpszTitle);
    char displayName[520] = {};
    BROWSEINFOA ansiInfo{};
    ansiInfo.hwndOwner = browseInfo->hwndOwner;
    ansiInfo.pidlRoot = browseInfo->pidlRoot;
    ansiInfo.pszDisplayName = browseInfo->pszDisplayName ? displayName : nullptr;
    ansiInfo.lpszTitle = title.Get();
    ansiInfo.ulFlags = browseInfo->ulFlags;
    ansiInfo.lpfn = browseInfo->lpfn;
    ansiInfo.lParam = browseInfo->lParam;
    ansiInfo.iImage = browseInfo->iImage;
    const PIDLIST_ABSOLUTE result = SHBrowseForFolderA(&ansiInfo);
    browseInfo->iImage = ansiInfo.iImage;
    if (browseInfo->pszDisplayName) CopyTerminated(AnsiToWide(displayName), browseInfo->pszDisplayName, MAX_PATH);
    return result;
}

BOOL Wyd_SHGetPathFromIDListW(PCIDLIST_ABSOLUTE idList, LPWSTR path) {
    if (Win32PlatformIsUnicode) return BoundShell().getPathFromIDList(idList, path);
    char ansi[520] = {};
    const BOOL result = SHGetPathFromIDListA(idList, ansi);
    CopyTerminated(result ? AnsiToWide(ansi) : WideString(), path, MAX_PATH);
    return result;
}

DWORD_PTR Wyd_SHGetFileInfoW(LPCWSTR path, DWORD fileAttributes, SHFILEINFOW* fileInfo, UINT fileInfoSize,
                             UINT flags) {
    if (Win32PlatformIsUnicode) return BoundShell().getFileInfo(path, fileAttributes, fileInfo, fileInfoSize, flags);
    // With SHGFI_PIDL the first argument is an item identifier list, not a name.
    const AnsiArg name((flags & SHGFI_PIDL) ? nullptr : path);
    const LPCSTR ansiPath = (flags & SHGFI_PIDL) ? reinterpret_cast<LPCSTR>(path) : name.Get();
    SHFILEINFOA ansiInfo{};
    const DWORD_PTR result =
        SHGetFileInfoA(ansiPath, fileAttributes, fileInfo ? &ansiInfo : nullptr, fileInfo ? sizeof ansiInfo : 0,
                       flags);
    if (fileInfo) {
        *fileInfo = SHFILEINFOW{};
        fileInfo->hIcon = ansiInfo.hIcon;
        fileInfo->iIcon = ansiInfo.iIcon;
        fileInfo->dwAttributes = ansiInfo.dwAttributes;
        CopyTerminated(AnsiToWide(ansiInfo.szDisplayName), fileInfo->szDisplayName, MAX_PATH);
        CopyTerminated(AnsiToWide(ansiInfo.szTypeName), fileInfo->szTypeName, 80);
    }
    return result;
}

void FinalizeWydWindows() {
    if (shell.module) FreeLibrary(shell.module);
    shell = ShellBinding();
    lastVersionString.clear();
    lastVersionString.shrink_to_fit();
}
