// Transaction folders and page files on disc, and the size texts.
#include "Transactions.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <unordered_set>

namespace pagorin {

namespace {

// Owns a directory search handle.
class FindHandle {
public:
    FindHandle(const std::string& folder, WIN32_FIND_DATAA& data)
        : handle_(FindFirstFileExA((folder + "\\*.*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH))
    {
    }
    ~FindHandle()
    {
        if (Valid())
            FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) { return FindNextFileA(handle_, &data) != FALSE; }

private:
    HANDLE handle_;
};

// Calls `visit(data)` for every entry of `folder` except those whose name begins with ".".
template <class Visit>
void ForEachEntry(const std::string& folder, Visit visit)
{
    WIN32_FIND_DATAA data;
    FindHandle find(folder, data);
    if (!find.Valid())
        return;
    do {
        if (data.cFileName[0] != '.')
            visit(data);
    } while (find.Next(data));
}

bool IsFolder(const WIN32_FIND_DATAA& data) { return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

long long SizeOf(const WIN32_FIND_DATAA& data)
{
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// Base and extension split at the last dot (no dot: the whole name is the base).
std::pair<std::string, std::string> SplitExtension(const std::string& name)
{
    size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {name, ""};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

bool HasDotDotPart(const std::string& path)
{
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = path.size();
        if (path.compare(start, end - start, "..") == 0 && end - start == 2)
            return true;
        start = end + 1;
    }
    return false;
}

SYSTEMTIME OneSecondLater(const SYSTEMTIME& time)
{
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart += 10000000ULL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME later;
    FileTimeToSystemTime(&file, &later);
    return later;
}

}  // namespace

std::string TransactionFolderName(const SYSTEMTIME& time)
{
    char name[32];
    snprintf(name, sizeof(name), "%d%02d%02d-%02d%02d%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
             time.wMinute, time.wSecond);
    return name;
}

std::string CreateTransactionFolder(const std::string& queuePath, const SYSTEMTIME& now)
{
    // A day of names is more than any queue holds; the bound only keeps a broken folder from looping.
    constexpr int MaxTries = 86400;
    SYSTEMTIME time = now;
    for (int attempt = 0; attempt < MaxTries; ++attempt, time = OneSecondLater(time)) {
        std::string name = TransactionFolderName(time);
        if (CreateDirectoryA((queuePath + "\\" + name).c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS)
            return name;
    }
    return "";
}

std::string TransactionFolderPath(const std::string& queuePath, const std::string& name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ' || name.find_first_of("\\/:") != std::string::npos)
        return "";
    return queuePath + "\\" + name;
}

bool IsPageFileName(const std::string& name)
{
    auto [base, extension] = SplitExtension(name);
    if (base.empty() || base.back() == '~')
        return false;
    std::string upper = Upper(extension);
    return upper == "JPG" || upper == "BMP" || upper == "TIF" || upper == "PDF" || upper == "PNG";
}

bool IsLeftoverFileName(const std::string& name)
{
    if (Upper(name) == "FILELIST.TXT")
        return true;
    auto [base, extension] = SplitExtension(name);
    return !base.empty() && base.back() == '~';
}

std::string PartialPageName(const std::string& page) { return page + "~.part"; }

TransactionFolderContents ReadTransactionFolder(const std::string& folder)
{
    TransactionFolderContents contents;
    std::unordered_set<std::string> partial;
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& data) {
        std::string name = data.cFileName;
        if (IsFolder(data))
            contents.Subfolders.push_back(name);
        else if (IsPageFileName(name))
            contents.Pages.push_back({name, SizeOf(data)});
        else if (IsLeftoverFileName(name))
            partial.insert(Upper(name));
        else
            contents.HasForeignFiles = true;
    });
    std::erase_if(contents.Pages, [&](const auto& page) { return partial.count(Upper(PartialPageName(page.Name))) > 0; });
    return contents;
}

FolderReadAhead::FolderReadAhead(std::vector<std::string> folders)
    : folders_(std::move(folders)), contents_(folders_.size()), stages_(folders_.size(), Stage::Waiting),
      reader_([this] { ReadAll(); })
{
}

FolderReadAhead::~FolderReadAhead()
{
    {
        std::lock_guard<std::mutex> guard(lock_);
        stop_ = true;
    }
    reader_.join();
}

TransactionFolderContents FolderReadAhead::ReadOrMark(const std::string& folder) noexcept
{
    try {
        return ReadTransactionFolder(folder);
    } catch (...) {
        // Out of memory: the folder reads as empty of pages and stays as it is.
        TransactionFolderContents contents;
        contents.HasForeignFiles = true;
        return contents;
    }
}

void FolderReadAhead::ReadAll() noexcept
{
    for (size_t i = 0; i < folders_.size(); ++i) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (stop_)
                return;
            if (stages_[i] != Stage::Waiting)
                continue;
        }
        TransactionFolderContents contents = ReadOrMark(folders_[i]);
        std::lock_guard<std::mutex> guard(lock_);
        // Taken meanwhile: the caller read it itself.
        if (stages_[i] == Stage::Waiting) {
            contents_[i] = std::move(contents);
            stages_[i] = Stage::Read;
        }
    }
}

TransactionFolderContents FolderReadAhead::Take(size_t index)
{
    TransactionFolderContents contents;
    if (TakeIfRead(index, contents))
        return contents;
    {
        std::lock_guard<std::mutex> guard(lock_);
        stages_[index] = Stage::Taken;
    }
    return ReadOrMark(folders_[index]);
}

bool FolderReadAhead::TakeIfRead(size_t index, TransactionFolderContents& contents)
{
    std::lock_guard<std::mutex> guard(lock_);
    if (stages_[index] != Stage::Read)
        return false;
    contents = std::move(contents_[index]);
    stages_[index] = Stage::Taken;
    return true;
}

std::vector<std::string> QueueSubfolders(const std::string& queuePath)
{
    std::vector<std::string> names;
    ForEachEntry(queuePath, [&](const WIN32_FIND_DATAA& data) {
        if (IsFolder(data))
            names.push_back(data.cFileName);
    });
    return names;
}

bool DeleteFolder(const std::string& folder)
{
    bool driveRoot = folder.size() <= 3 && folder.find(':') != std::string::npos;
    if (folder.empty() || driveRoot || folder.back() == '\\' || folder.back() == '/' || HasDotDotPart(folder))
        return false;
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& data) {
        if (!IsFolder(data))
            DeleteFileA((folder + "\\" + data.cFileName).c_str());
    });
    RemoveDirectoryA(folder.c_str());
    return GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool RemoveLeftoverFolder(const std::string& folder)
{
    TransactionFolderContents contents = ReadTransactionFolder(folder);
    if (!contents.Pages.empty() || !contents.Subfolders.empty() || contents.HasForeignFiles)
        return false;
    return DeleteFolder(folder);
}

std::string KeepPageCopy(const std::string& folder, const std::string& page)
{
    constexpr int MaxNumberedNames = 100;
    size_t separator = page.find_last_of("\\/");
    std::string name = separator == std::string::npos ? page : page.substr(separator + 1);
    std::string pageFolder = separator == std::string::npos ? "" : page.substr(0, separator);
    if (folder.empty() || !IsPageFileName(name) || Upper(pageFolder) == Upper(folder))
        return "";
    // Not the page's mark (PartialPageName): a page of that name already in the folder is whole.
    std::string partial = folder + "\\" + name + "~.copy";
    if (partial.size() > MaxTransactionPath || !CopyFileA(page.c_str(), partial.c_str(), FALSE))
        return "";
    auto [base, extension] = SplitExtension(name);
    for (int n = 1; n <= MaxNumberedNames; ++n) {
        std::string target = folder + "\\" + (n == 1 ? name : base + " (" + std::to_string(n) + ")." + extension);
        if (target.size() > MaxTransactionPath)
            break;
        if (MoveFileExA(partial.c_str(), target.c_str(), 0))
            return target;
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    DeleteFileA(partial.c_str());
    return "";
}

long long PageFileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

SizeShown CheckedSizeText(long long bytes)
{
    long long kilobytes = bytes / 1024, megabytes = kilobytes / 1024;
    char text[48];
    if (bytes <= 0)
        return {"", 0};
    if (kilobytes < 1024) {
        snprintf(text, sizeof(text), "%lld K", kilobytes);
        return {text, 0};
    }
    if (megabytes < 10)
        snprintf(text, sizeof(text), "%lld.%03lld MB", megabytes, (kilobytes % 1024) * 1000 / 1024);
    else
        snprintf(text, sizeof(text), "%lld MB", megabytes);
    return {text, megabytes};
}

SizeShown TransactionBytesText(long long bytes)
{
    long long kilobytes = std::max(bytes, 0LL) / 1024;
    char text[48];
    if (kilobytes < 10000) {
        snprintf(text, sizeof(text), "%lld K", kilobytes);
        return {text, kilobytes < 1024 ? 5 : kilobytes / 1024};
    }
    snprintf(text, sizeof(text), "%lld MB", kilobytes / 1024);
    return {text, kilobytes / 1024};
}

bool IsPdfName(const std::string& name) { return Upper(name).find(".PDF") != std::string::npos; }

int AppendPageNumber(const std::vector<std::string>& childNames, const std::string& folder,
                     const std::string& prefix)
{
    int last = int(std::count_if(childNames.begin(), childNames.end(), [](const std::string& name) { return !IsPdfName(name); }));
    std::string upperPrefix = Upper(prefix);
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& data) {
        std::string base = SplitExtension(data.cFileName).first;
        if (IsFolder(data) || base.size() <= prefix.size() || Upper(base.substr(0, prefix.size())) != upperPrefix)
            return;
        std::string digits = base.substr(prefix.size());
        if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
            return;
        last = std::max(last, std::stoi(digits));
    });
    return last;
}

}  // namespace pagorin
