// The file-name and file-system part of WydSysUtils: path routines over wide strings, and file, folder and
// search operations through the wide/ANSI wrappers.
#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "WydSysUtils.h"
#include "WydWindows.h"

namespace {

const wchar_t pathDelimiter = L'\\';

int Length(const WideString& s) { return static_cast<int>(s.size()); }

// 1-based character of s.
wchar_t At(const WideString& s, int index) { return s[static_cast<size_t>(index - 1)]; }

WideString Copy(const WideString& s, int index, int count) {
    if (index < 1) index = 1;
    if (index > Length(s) || count <= 0) return WideString();
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

// A result of a buffer-filling call, grown and retried until it fits; empty when the call fails.
WideString FetchGrowing(const std::function<DWORD(wchar_t*, DWORD)>& call) {
    DWORD size = MAX_PATH;
    for (int attempt = 0; attempt < 4; ++attempt) {
        WideString buffer(size, L'\0');
        const DWORD length = call(buffer.data(), size);
        if (length == 0) return WideString();
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        size = length + 1;
    }
    return WideString();
}

bool HasWildcards(const WideString& name) {
    // The long-path prefix \\?\ holds a question mark that is not a wildcard.
    const size_t start = name.compare(0, 4, L"\\\\?\\") == 0 ? 4 : 0;
    return name.find_first_of(L"*?", start) != WideString::npos;
}

// A name with nothing above it to create: a drive ("C:"), the root "", a share (\\server\share).
bool IsRootSpec(const WideString& dir) {
    if (dir.empty()) return true;
    if (dir.size() == 2 && dir[1] == L':') return true;
    return WideExtractFileDrive(dir) == dir;
}

int DosTimeOf(const FILETIME& fileTime) {
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&fileTime, &local) || !FileTimeToDosDateTime(&local, &date, &time)) return 0;
    return static_cast<int>((static_cast<DWORD>(date) << 16) | time);
}

bool FindMatchingEntry(TSearchRecW& rec) {
    while (rec.FindData.dwFileAttributes & static_cast<DWORD>(rec.ExcludeAttr))
        if (!Wyd_FindNextFileW(rec.FindHandle, &rec.FindData)) return false;
    rec.Time = DosTimeOf(rec.FindData.ftLastWriteTime);
    rec.Size = (static_cast<int64_t>(rec.FindData.nFileSizeHigh) << 32) | rec.FindData.nFileSizeLow;
    rec.Attr = static_cast<int>(rec.FindData.dwFileAttributes);
    rec.Name.assign(rec.FindData.cFileName, wcsnlen(rec.FindData.cFileName, MAX_PATH));
    return true;
}

bool FindFileData(const WideString& name, WIN32_FIND_DATAW& data) {
    const HANDLE find = Wyd_FindFirstFileW(name.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

} // namespace

WideString WideIncludeTrailingPathDelimiter(const WideString& s) {
    return !s.empty() && s.back() == pathDelimiter ? s : s + pathDelimiter;
}
WideString WideIncludeTrailingBackslash(const WideString& s) { return WideIncludeTrailingPathDelimiter(s); }

WideString WideExcludeTrailingPathDelimiter(const WideString& s) {
    return !s.empty() && s.back() == pathDelimiter ? s.substr(0, s.size() - 1) : s;
}
WideString WideExcludeTrailingBackslash(const WideString& s) { return WideExcludeTrailingPathDelimiter(s); }

bool WideIsDelimiter(const WideString& delimiters, const WideString& s, int index) {
    if (index < 1 || index > Length(s)) return false;
    return delimiters.find(At(s, index)) != WideString::npos;
}

bool WideIsPathDelimiter(const WideString& s, int index) { return WideIsDelimiter(L"\\", s, index); }

int WideLastDelimiter(const WideString& delimiters, const WideString& s) {
    const size_t position = s.find_last_of(delimiters);
    return position == WideString::npos ? 0 : static_cast<int>(position) + 1;
}

WideString WideChangeFileExt(const WideString& fileName, const WideString& extension) {
    int i = WideLastDelimiter(L".\\:", fileName);
    if (i == 0 || At(fileName, i) != L'.') i = Length(fileName) + 1;
    return Copy(fileName, 1, i - 1) + extension;
}

WideString WideExtractFilePath(const WideString& fileName) {
    return Copy(fileName, 1, WideLastDelimiter(L"\\:", fileName));
}

WideString WideExtractFileDir(const WideString& fileName) {
    int i = WideLastDelimiter(L"\\:", fileName);
    if (i > 1 && At(fileName, i) == pathDelimiter && At(fileName, i - 1) != L':') --i;
    return Copy(fileName, 1, i);
}

WideString WideExtractFileDrive(const WideString& fileName) {
    const int length = Length(fileName);
    if (length >= 2 && At(fileName, 2) == L':') return Copy(fileName, 1, 2);
    if (length >= 2 && At(fileName, 1) == pathDelimiter && At(fileName, 2) == pathDelimiter) {
        // \\server\share: up to the backslash after the share name (the whole name when it has none).
        int i = 3;
        while (i <= length && At(fileName, i) != pathDelimiter) ++i;
        ++i;
        while (i <= length && At(fileName, i) != pathDelimiter) ++i;
        return Copy(fileName, 1, i - 1);
    }
    return WideString();
}

WideString WideExtractFileName(const WideString& fileName) {
    return Copy(fileName, WideLastDelimiter(L"\\:", fileName) + 1, Length(fileName));
}

WideString WideExtractFileExt(const WideString& fileName) {
    const int i = WideLastDelimiter(L".\\:", fileName);
    if (i > 0 && At(fileName, i) == L'.') return Copy(fileName, i, Length(fileName));
    return WideString();
}

namespace {

std::vector<WideString> SplitFolders(const WideString& path) {
    std::vector<WideString> folders;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find(pathDelimiter, start);
        if (end == WideString::npos) end = path.size();
        if (end > start) folders.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

// What follows the drive in a folder path; empty when the path is not longer than its drive (a share named
// without a trailing backslash).
WideString AfterDrive(const WideString& path, const WideString& drive) {
    return path.size() > drive.size() ? path.substr(drive.size()) : WideString();
}

bool SameText(const WideString& a, const WideString& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), Length(a), b.data(), Length(b)) ==
           CSTR_EQUAL;
}

} // namespace

WideString WideExtractRelativePath(const WideString& baseName, const WideString& destName) {
    const WideString baseDrive = WideExtractFileDrive(baseName);
    const WideString destDrive = WideExtractFileDrive(destName);
    if (!SameText(baseDrive, destDrive)) return destName;
    const std::vector<WideString> base = SplitFolders(AfterDrive(WideExtractFilePath(baseName), baseDrive));
    const std::vector<WideString> dest = SplitFolders(AfterDrive(WideExtractFilePath(destName), destDrive));
    size_t common = 0;
    while (common < base.size() && common < dest.size() && SameText(base[common], dest[common])) ++common;
    WideString result;
    for (size_t i = common; i < base.size(); ++i) result += L"..\\";
    for (size_t i = common; i < dest.size(); ++i) result += dest[i] + pathDelimiter;
    return result + WideExtractFileName(destName);
}

WideString WideExpandFileName(const WideString& fileName) {
    return FetchGrowing(
        [&](wchar_t* b, DWORD n) { return Wyd_GetFullPathNameW(fileName.c_str(), n, b, nullptr); });
}

WideString WideExtractShortPathName(const WideString& fileName) {
    return FetchGrowing([&](wchar_t* b, DWORD n) { return Wyd_GetShortPathNameW(fileName.c_str(), b, n); });
}

WideString WideGetCurrentDir() {
    return FetchGrowing([](wchar_t* b, DWORD n) { return Wyd_GetCurrentDirectoryW(n, b); });
}

HANDLE WideFileCreate(const WideString& fileName) {
    return Wyd_CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE WideFileOpen(const WideString& fileName, DWORD mode) {
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static const DWORD sharing[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    const DWORD accessIndex = mode & 3;
    const DWORD sharingIndex = (mode & 0xF0) >> 4;
    if (accessIndex > 2 || sharingIndex > 4 || (mode & ~0xF3u) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return Wyd_CreateFileW(fileName.c_str(), access[accessIndex], sharing[sharingIndex], nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
}

int WideFileAge(const WideString& fileName) {
    WIN32_FIND_DATAW data;
    if (HasWildcards(fileName) || !FindFileData(fileName, data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    FILETIME local;
    WORD date = 0, time = 0;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToDosDateTime(&local, &date, &time))
        return -1;
    return static_cast<int>((static_cast<DWORD>(date) << 16) | time);
}

bool WideFileAge(const WideString& fileName, double& fileDateTime) {
    WIN32_FIND_DATAW data;
    if (HasWildcards(fileName) || !FindFileData(fileName, data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return false;
    return SystemTimeToVariantTime(&time, &fileDateTime) != 0;
}

bool WideFileExists(const WideString& fileName) {
    // A pattern is not a file, even when some file matches it.
    WIN32_FIND_DATAW data;
    return !fileName.empty() && !HasWildcards(fileName) && FindFileData(fileName, data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WideDirectoryExists(const WideString& name) {
    const DWORD attributes = Wyd_GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD WideFileGetAttr(const WideString& fileName) { return Wyd_GetFileAttributesW(fileName.c_str()); }

bool WideFileSetAttr(const WideString& fileName, DWORD attr) {
    return Wyd_SetFileAttributesW(fileName.c_str(), attr) != 0;
}

bool WideFileIsReadOnly(const WideString& fileName) {
    const DWORD attributes = WideFileGetAttr(fileName);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool WideFileSetReadOnly(const WideString& fileName, bool readOnly) {
    const DWORD attributes = WideFileGetAttr(fileName);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    const DWORD wanted =
        readOnly ? attributes | FILE_ATTRIBUTE_READONLY : attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    return WideFileSetAttr(fileName, wanted);
}

bool WideForceDirectories(WideString dir) {
    if (dir.empty()) throw EWydGeneralError("Unable to create directory");
    dir = WideExcludeTrailingBackslash(dir);
    // Up from the folder to the first that exists (or a root), noting the length of each one to make: a name
    // of 32,767 characters holds some 16,000 folders, too many for a call or a copy of the name each.
    std::vector<size_t> missing;
    for (WideString at = dir; !IsRootSpec(at) && !WideDirectoryExists(at);) {
        missing.push_back(at.size());
        const WideString parent = WideExtractFilePath(at);
        // A relative name of one part has nothing above it to make first.
        if (parent.empty()) break;
        if (parent == at) return false;
        at = WideExcludeTrailingBackslash(parent);
    }
    for (auto length = missing.rbegin(); length != missing.rend(); ++length) {
        const WideString folder = dir.substr(0, *length);
        if (!Wyd_CreateDirectoryW(folder.c_str(), nullptr) && !WideDirectoryExists(folder)) return false;
    }
    return true;
}

WideString WideFileSearch(const WideString& name, const WideString& dirList) {
    if (WideFileExists(name)) return name;
    size_t start = 0;
    while (start <= dirList.size()) {
        size_t end = dirList.find(L';', start);
        if (end == WideString::npos) end = dirList.size();
        WideString folder = dirList.substr(start, end - start);
        start = end + 1;
        if (folder.empty()) continue;
        if (folder.back() != L':' && folder.back() != pathDelimiter) folder += pathDelimiter;
        if (WideFileExists(folder + name)) return folder + name;
    }
    return WideString();
}

bool WideRenameFile(const WideString& oldName, const WideString& newName) {
    return Wyd_MoveFileW(oldName.c_str(), newName.c_str()) != 0;
}

bool WideDeleteFile(const WideString& fileName) { return Wyd_DeleteFileW(fileName.c_str()) != 0; }

bool WideCopyFile(const WideString& fromFile, const WideString& toFile, bool failIfExists) {
    return Wyd_CopyFileW(fromFile.c_str(), toFile.c_str(), failIfExists) != 0;
}

bool WideCreateDir(const WideString& dir) { return Wyd_CreateDirectoryW(dir.c_str(), nullptr) != 0; }
bool WideRemoveDir(const WideString& dir) { return Wyd_RemoveDirectoryW(dir.c_str()) != 0; }
bool WideSetCurrentDir(const WideString& dir) { return Wyd_SetCurrentDirectoryW(dir.c_str()) != 0; }

int WideFindFirst(const WideString& path, int attr, TSearchRecW& rec) {
    const int excludable = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 /* volume */ | FILE_ATTRIBUTE_DIRECTORY;
    rec.ExcludeAttr = ~attr & excludable;
    rec.FindHandle = Wyd_FindFirstFileW(path.c_str(), &rec.FindData);
    if (rec.FindHandle == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
    if (!FindMatchingEntry(rec)) {
        const int error = static_cast<int>(GetLastError());
        WideFindClose(rec);
        return error;
    }
    return 0;
}

int WideFindNext(TSearchRecW& rec) {
    if (!Wyd_FindNextFileW(rec.FindHandle, &rec.FindData) || !FindMatchingEntry(rec))
        return static_cast<int>(GetLastError());
    return 0;
}

void WideFindClose(TSearchRecW& rec) {
    if (rec.FindHandle != INVALID_HANDLE_VALUE) FindClose(rec.FindHandle);
    rec.FindHandle = INVALID_HANDLE_VALUE;
}
