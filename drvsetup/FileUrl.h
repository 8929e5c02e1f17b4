// "file:" URLs of the install targets: made from Windows paths, folders created along them, files opened.
#pragma once

#include <windows.h>

#include <string>

namespace drvdb {

// "C:\x" gives "file:///C:/x", a network path "\\host\share\x" gives "file://host/share/x"; a path of fewer
// than two characters comes back unchanged.
std::string MakeFileUrl(const std::string& path);

// The Windows path of a "file:" URL (scheme in any case, "///" skipped, '/' made '\'); false for another URL.
bool FileUrlToPath(const std::string& url, std::string& path);

// Creates every missing folder of a "file:/" URL's path (the last part is the file). False when one cannot be
// created or exists as a file. The host and share of a network path are not created.
bool CreateUrlFolders(const std::string& url);

// Opens a "file:" URL: for reading (shared for reading, must exist) or for writing (not shared, made anew).
// Throws CError 4 for another URL, CError 0 with the system error when the open fails. Caller closes.
HANDLE OpenFileUrl(const std::string& url, bool forReading);

// The same for a UTF-8 Windows path.
HANDLE OpenLocalFile(const std::string& path, bool forReading, DWORD share);

// Closes a file handle when it goes out of scope.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    HANDLE Detach() {
        HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }
    void Close() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

}  // namespace drvdb
