// File URLs and the files and folders behind them, through the wide functions on NT 4 and later.
#include "FileUrl.h"

#include "DrvDb.h"
#include "Platform.h"
#include "Utf8.h"

namespace drvdb {

namespace {

DWORD FolderAttributes(const std::string& folder) {
    if (IsNT4OrLater()) return GetFileAttributesW(Utf8ToUtf16(folder).c_str());
    std::string ansi;
    if (!Utf8ToAnsi(folder, ansi)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesA(ansi.c_str());
}

bool MakeFolder(const std::string& folder) {
    if (IsNT4OrLater()) return CreateDirectoryW(Utf8ToUtf16(folder).c_str(), nullptr) != FALSE;
    std::string ansi;
    return Utf8ToAnsi(folder, ansi) && CreateDirectoryA(ansi.c_str(), nullptr) != FALSE;
}

bool EnsureFolder(const std::string& folder) {
    DWORD attributes = FolderAttributes(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (MakeFolder(folder)) return true;
        attributes = FolderAttributes(folder);  // another process may have made it meanwhile
        if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the folders to create begin: after "\\host\share\" of a network path, else at the start.
size_t FirstCreatableFolder(const std::string& path) {
    if (path.compare(0, 2, "\\\\") != 0) return 0;
    const size_t host = path.find('\\', 2);
    if (host == std::string::npos) return path.size();
    const size_t share = path.find('\\', host + 1);
    return share == std::string::npos ? path.size() : share + 1;
}

}  // namespace

std::string MakeFileUrl(const std::string& path) {
    if (path.size() < 2) return path;
    std::string url = (path.compare(0, 2, "\\\\") == 0 ? "file:" : "file:///") + path;
    for (char& c : url) {
        if (c == '\\') c = '/';
    }
    return url;
}

bool FileUrlToPath(const std::string& url, std::string& path) {
    if (!StartsWithNoCase(url, "file:")) return false;
    std::string rest = url.substr(5);
    if (rest.compare(0, 3, "///") == 0) {
        rest.erase(0, 3);
    } else if (rest.compare(0, 2, "//") != 0 && rest.compare(0, 1, "/") == 0) {
        rest.erase(0, 1);
    }
    for (char& c : rest) {
        if (c == '/') c = '\\';
    }
    path = rest;
    return true;
}

bool CreateUrlFolders(const std::string& url) {
    std::string path;
    if (!StartsWithNoCase(url, "file:/") || !FileUrlToPath(url, path)) return false;
    for (size_t slash = path.find('\\', FirstCreatableFolder(path)); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) continue;  // root of a drive
        if (!EnsureFolder(folder)) return false;
    }
    return true;
}

HANDLE OpenLocalFile(const std::string& path, bool forReading, DWORD share) {
    const DWORD access = forReading ? GENERIC_READ : GENERIC_WRITE;
    const DWORD creation = forReading ? OPEN_EXISTING : CREATE_ALWAYS;
    HANDLE file;
    if (IsNT4OrLater()) {
        file = CreateFileW(Utf8ToUtf16(path).c_str(), access, share, nullptr, creation, FILE_FLAG_SEQUENTIAL_SCAN,
                           nullptr);
    } else {
        std::string ansi;
        if (!Utf8ToAnsi(path, ansi)) throw CError(CError::System, static_cast<int>(ERROR_NO_UNICODE_TRANSLATION));
        file = CreateFileA(ansi.c_str(), access, share, nullptr, creation, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) throw CError(CError::System, static_cast<int>(GetLastError()));
    return file;
}

HANDLE OpenFileUrl(const std::string& url, bool forReading) {
    std::string path;
    if (!FileUrlToPath(url, path)) throw CError(CError::InputOutput);
    return OpenLocalFile(path, forReading, forReading ? FILE_SHARE_READ : 0);
}

}  // namespace drvdb
