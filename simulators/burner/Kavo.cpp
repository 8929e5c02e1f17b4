// KAVO.DLL stand-in: the lab's writers as drives, the disc in each writer classified from the lab's state, data
// projects written as ISO 9660 + Joliet images into the disc's file in the lab, verified byte for byte, and
// rewritable discs erased. Every handle is counted; every call is traced and can be made to fail.
#include "Devices.h"
#include "IsoReader.h"
#include "IsoWriter.h"
#include "Kavo.h"
#include "Lab.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <type_traits>

namespace {

constexpr const char* kComponent = "KAVO";
constexpr size_t kMaxDepth = 7;

// ---- objects behind the handles ----

struct Object {
    virtual ~Object() = default;
};

struct Engine : Object {
    bool enumerated = false;
    std::vector<char> letters;
    std::string systemInfo;
};

struct Drive : Object {
    char letter = 0;
    std::string path;
};

struct Disc : Object {
    char letter = 0;
    int id = 0;
};

struct Project : Object {
    bool erase = false;
    char letter = 0;
    int discId = 0;
    KAVO_PROGRESS_CALLBACK callback = nullptr;
    UINT_PTR context = 0;
    double speed = 0;
    bool openTray = false;
    iso::FolderEntry root;
    std::wstring title;
    bool written = false;
};

struct Tree : Object {
    std::shared_ptr<Project> project;
};

// A failure of one call: the code GetLastError gives and its text.
struct Failure {
    int code;
    std::string text;
};

// Process-wide state; never destroyed, so calls at process exit find it.
struct Library {
    std::mutex mutex;
    std::map<void*, std::shared_ptr<Object>> handles;
    int lastError = KAVO_ERROR_NONE;
    std::string lastText;
    std::map<int, std::string> messages;  // storage for the texts handed out
};

Library& TheLibrary() {
    static Library* library = new Library;
    return *library;
}

std::string StandardText(int code) {
    switch (code) {
        case KAVO_ERROR_NONE: return "No error";
        case KAVO_ERROR_INVALID_HANDLE: return "Invalid handle";
        case KAVO_ERROR_INVALID_ARGUMENT: return "Invalid argument";
        case KAVO_ERROR_NO_DRIVE: return "No such drive";
        case KAVO_ERROR_NO_DISC: return "No disc in the drive";
        case KAVO_ERROR_DISC_NOT_BLANK: return "The disc is not blank";
        case KAVO_ERROR_NOT_REWRITABLE: return "The disc is not rewritable";
        case KAVO_ERROR_DISC_FULL: return "Not enough space on the disc";
        case KAVO_ERROR_SOURCE_UNREADABLE: return "A source file cannot be read";
        case KAVO_ERROR_ALREADY_ON_DISC: return "The name is already on the disc";
        case KAVO_ERROR_CANCELLED: return "Writing was cancelled";
        case KAVO_ERROR_VERIFY_MISMATCH: return "The disc differs from its sources";
        case KAVO_ERROR_WRITE_FAILED: return "Writing the disc failed";
        case KAVO_ERROR_NO_DESTINATION: return "No destination disc";
        case KAVO_ERROR_NAME_TOO_LONG: return "The name is too long for the disc";
        case KAVO_ERROR_MEDIUM: return "Medium error";
        case KAVO_ERROR_UNUSABLE_MEDIUM: return "The disc cannot be used";
        default: return "Unknown error " + std::to_string(code);
    }
}

// The text for a code: the scenario's [KAVO.Errors] entry, else the engine's own.
std::string TextFor(int code) {
    const auto configured = lab::Scenario::Load().Find(L"KAVO.Errors", std::to_wstring(code));
    return configured ? lab::ToUtf8(*configured) : StandardText(code);
}

Failure Fail(int code, const std::string& detail = "") {
    return {code, detail.empty() ? TextFor(code) : detail};
}

void RecordError(const Failure& failure) {
    std::lock_guard<std::mutex> hold(TheLibrary().mutex);
    TheLibrary().lastError = failure.code;
    TheLibrary().lastText = failure.text;
}

// ---- handles ----

KAVO_HANDLE Register(std::shared_ptr<Object> object) {
    std::lock_guard<std::mutex> hold(TheLibrary().mutex);
    void* handle = object.get();
    TheLibrary().handles[handle] = std::move(object);
    return handle;
}

template <typename T>
std::shared_ptr<T> Get(KAVO_HANDLE handle) {
    std::lock_guard<std::mutex> hold(TheLibrary().mutex);
    const auto found = TheLibrary().handles.find(handle);
    auto object = found == TheLibrary().handles.end() ? nullptr : std::dynamic_pointer_cast<T>(found->second);
    if (!object) throw Fail(KAVO_ERROR_INVALID_HANDLE);
    return object;
}

int OpenHandles() {
    std::lock_guard<std::mutex> hold(TheLibrary().mutex);
    return int(TheLibrary().handles.size());
}

// ---- running one call ----

std::string Describe(int value) {
    return std::to_string(value);
}

std::string Describe(KAVO_HANDLE handle) {
    if (!handle) return "null";
    char text[32];
    snprintf(text, sizeof text, "%p", handle);
    return text;
}

std::string Describe(const char* text) {
    return text ? "\"" + lab::AnsiToUtf8(text) + "\"" : "null";
}

// How an injected code acts: the function's answer itself, or a failure whose code GetLastError gives.
enum class Injected { AsResult, AsError };

// Runs one exported call: injected failure or delay, then the body. A Failure thrown anywhere becomes the
// last error and the failed result (0 / null). Traced; no exception leaves.
template <typename R, typename Body>
R Run(const char* function, const std::string& arguments, Injected injected, Body body) {
    R result{};
    try {
        const auto code = lab::InjectedFailure(kComponent, function);
        if (code && injected == Injected::AsResult) {
            if constexpr (std::is_same_v<R, int>) result = int(*code);
            RecordError(Fail(int(*code)));
        } else if (code) {
            RecordError(Fail(int(*code)));
        } else {
            lab::Delay(kComponent, function);
            result = body();
        }
    } catch (const Failure& failure) {
        RecordError(failure);
    } catch (const iso::WriteError& error) {
        RecordError({error.code, error.what()});
    } catch (const std::exception& error) {
        RecordError({KAVO_ERROR_WRITE_FAILED, error.what()});
    } catch (...) {
        RecordError(Fail(KAVO_ERROR_WRITE_FAILED));
    }
    lab::Trace(kComponent, function, arguments, Describe(result));
    return result;
}

std::string Arg(KAVO_HANDLE handle) {
    return Describe(handle);
}

std::wstring FromAnsi(const char* text) {
    if (!text) throw Fail(KAVO_ERROR_INVALID_ARGUMENT);
    const int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring result(size > 0 ? size - 1 : 0, L'\0');
    if (size > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, result.data(), size);
    return result;
}

// ---- the project's file tree ----

// A name the Joliet tree can hold: not empty, no separator or reserved character, short enough.
void CheckName(const std::wstring& name) {
    if (name.empty() || name == L"." || name == L"..") throw Fail(KAVO_ERROR_INVALID_ARGUMENT, "Empty name");
    if (name.find_first_of(L"\\/:*?\";<>|") != std::wstring::npos)
        throw Fail(KAVO_ERROR_INVALID_ARGUMENT, "Invalid character in " + lab::ToUtf8(name));
    for (wchar_t c : name)
        if (c < 0x20) throw Fail(KAVO_ERROR_INVALID_ARGUMENT, "Invalid character in a name");
    if (name.size() > iso::kMaxJolietName) throw Fail(KAVO_ERROR_NAME_TOO_LONG, lab::ToUtf8(name) + ": name too long");
}

iso::FolderEntry& FolderIn(iso::FolderEntry& parent, const std::wstring& name) {
    for (auto& folder : parent.folders)
        if (_wcsicmp(folder.name.c_str(), name.c_str()) == 0) return folder;
    for (const auto& file : parent.files)
        if (_wcsicmp(file.name.c_str(), name.c_str()) == 0) throw Fail(KAVO_ERROR_ALREADY_ON_DISC);
    parent.folders.push_back({name, {}, {}});
    return parent.folders.back();
}

std::vector<std::wstring> SplitDiscPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring part;
    for (wchar_t c : path + L"/") {
        if (c != L'/' && c != L'\\') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
    }
    return parts;
}

// Every file of the tree as ("folder/name", source).
void ListFiles(const iso::FolderEntry& folder, const std::wstring& prefix,
               std::vector<std::pair<std::wstring, std::wstring>>& out) {
    for (const auto& file : folder.files) out.emplace_back(prefix + file.name, file.source);
    for (const auto& child : folder.folders) ListFiles(child, prefix + child.name + L"/", out);
}

// ---- the disc in the writer ----

// The project's disc as it is now in the lab, checked to be still in its writer. Caller holds the StateLock.
lab::Disc& DestinationDisc(lab::Devices& devices, const Project& project) {
    if (project.discId == 0) throw Fail(KAVO_ERROR_NO_DESTINATION);
    lab::Writer* writer = devices.FindWriter(project.letter);
    if (!writer || writer->disc != project.discId) throw Fail(KAVO_ERROR_NO_DISC);
    return devices.discs[project.discId];
}

lab::Disc CurrentDisc(const Disc& disc) {
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    lab::Writer* writer = devices.FindWriter(disc.letter);
    if (!writer || writer->disc != disc.id) throw Fail(KAVO_ERROR_NO_DISC);
    return devices.discs[disc.id];
}

// Paces a write to the scenario's KAVO.WritePerMB milliseconds, then asks the caller's callback.
class Pacer {
public:
    Pacer(const Project& project, UINT phase)
        : project_(project), phase_(phase), msPerMB_(lab::DelayMs(kComponent, "WritePerMB")), start_(GetTickCount()) {}

    bool Report(unsigned long long done, unsigned long long total) {
        if (msPerMB_) {
            const unsigned long long due = done / (1 << 20) * msPerMB_;
            const unsigned long long spent = GetTickCount() - start_;
            if (due > spent) Sleep(DWORD(due - spent));
        }
        const double fraction = total ? double(done) / double(total) : 1.0;
        return !project_.callback || project_.callback(project_.context, phase_, 0, fraction) == 1;
    }

private:
    const Project& project_;
    UINT phase_;
    DWORD msPerMB_;
    DWORD start_;
};

void WriteData(Project& project) {
    const std::wstring image = lab::Devices::ImagePath(project.discId);
    std::unique_ptr<iso::ImageWriter> writer;
    {
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        lab::Disc& disc = DestinationDisc(devices, project);
        if (devices.FindWriter(project.letter)->trayOpen) throw Fail(KAVO_ERROR_NO_DISC, "The tray is open");
        if (disc.medium < 1 || disc.medium > 9) throw Fail(KAVO_ERROR_UNUSABLE_MEDIUM);
        if (!disc.blank) throw Fail(KAVO_ERROR_DISC_NOT_BLANK);
        writer = std::make_unique<iso::ImageWriter>(project.root, project.title);
        if (writer->ImageBytes() > (unsigned long long)disc.capacityMB << 20)
            throw Fail(KAVO_ERROR_DISC_FULL, "Not enough space on the disc: " +
                                                 std::to_string(writer->ImageBytes() >> 20) + " MB needed, " +
                                                 std::to_string(disc.capacityMB) + " MB free");
        // From here on the disc is used, whether the write ends well or not.
        disc.blank = false;
        devices.Save();
    }
    Pacer pacer(project, KAVO_PHASE_WRITE);
    writer->Write(image, [&](unsigned long long done, unsigned long long total) { return pacer.Report(done, total); });
    project.written = true;
}

void Erase(Project& project) {
    {
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        const lab::Disc& disc = DestinationDisc(devices, project);
        if (!lab::IsRewritable(disc.medium)) throw Fail(KAVO_ERROR_NOT_REWRITABLE);
    }
    const DWORD pause = lab::DelayMs(kComponent, "Erase") / 10;
    for (int step = 0; step <= 10; ++step) {
        if (step) Sleep(pause);
        if (project.callback && project.callback(project.context, KAVO_PHASE_ERASE, 0, step / 10.0) != 1)
            throw Fail(KAVO_ERROR_CANCELLED);
    }
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    DestinationDisc(devices, project).blank = true;
    DeleteFileW(lab::Devices::ImagePath(project.discId).c_str());
    devices.Save();
}

void OpenTrayAfterWrite(const Project& project) {
    if (!project.openTray) return;
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    if (lab::Writer* writer = devices.FindWriter(project.letter)) writer->trayOpen = true;
    devices.Save();
}

// Compares one file on the image with its source; throws the first difference.
void CompareFile(HANDLE image, const iso::FileExtent& extent, const std::wstring& discPath, const std::wstring& source) {
    const HANDLE file = CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Fail(KAVO_ERROR_SOURCE_UNREADABLE, "Cannot read " + lab::ToUtf8(source));
    std::unique_ptr<void, decltype(&CloseHandle)> closer(file, &CloseHandle);
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    const std::string name = lab::ToUtf8(discPath);
    if ((unsigned long long)size.QuadPart != extent.size)
        throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Verify failed: " + name + " has another size on the disc");
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(extent.offset);
    if (!SetFilePointerEx(image, at, nullptr, FILE_BEGIN)) throw Fail(KAVO_ERROR_VERIFY_MISMATCH);
    constexpr DWORD kChunk = 4 << 20;
    std::unique_ptr<char[]> a(new char[kChunk]), b(new char[kChunk]);
    for (unsigned long long done = 0; done < extent.size;) {
        const DWORD want = DWORD(std::min<unsigned long long>(kChunk, extent.size - done));
        DWORD gotA = 0, gotB = 0;
        if (!ReadFile(image, a.get(), want, &gotA, nullptr) || !ReadFile(file, b.get(), want, &gotB, nullptr) ||
            gotA != want || gotB != want)
            throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Verify failed: " + name + " cannot be read back");
        if (memcmp(a.get(), b.get(), want) != 0) {
            size_t first = 0;
            while (a[first] == b[first]) ++first;
            throw Fail(KAVO_ERROR_VERIFY_MISMATCH,
                       "Verify failed: " + name + " differs at byte " + std::to_string(done + first));
        }
        done += want;
    }
}

void Verify(const Project& project) {
    if (project.erase) {
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        if (!DestinationDisc(devices, project).blank) throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "The disc is not blank");
        return;
    }
    if (!project.written) throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Nothing was written");
    Disc disc;
    disc.letter = project.letter;
    disc.id = project.discId;
    CurrentDisc(disc);  // still in its writer
    const std::wstring imagePath = lab::Devices::ImagePath(project.discId);
    const auto tree = iso::ReadJolietTree(imagePath);
    if (!tree) throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Verify failed: the disc cannot be read");
    if (tree->label != project.title.substr(0, 16))
        throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Verify failed: the volume label differs");
    std::vector<std::pair<std::wstring, std::wstring>> files;
    ListFiles(project.root, L"", files);
    if (files.size() != tree->files.size())
        throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Verify failed: the disc holds " + std::to_string(tree->files.size()) +
                                                   " files, not " + std::to_string(files.size()));
    const HANDLE image = CreateFileW(imagePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (image == INVALID_HANDLE_VALUE) throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Verify failed: no disc image");
    std::unique_ptr<void, decltype(&CloseHandle)> closer(image, &CloseHandle);
    for (const auto& [discPath, source] : files) {
        const auto found = tree->files.find(discPath);
        if (found == tree->files.end())
            throw Fail(KAVO_ERROR_VERIFY_MISMATCH, "Verify failed: " + lab::ToUtf8(discPath) + " is missing");
        CompareFile(image, found->second, discPath, source);
    }
}

std::string SystemInfo(const Engine& engine) {
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    std::string text = "KAVO lab burning engine 9.0 (simulated); lab " + lab::ToUtf8(lab::Folder()) + "; drives:";
    for (char letter : engine.letters) text += std::string(" ") + devices.FindWriter(letter)->name + ";";
    return text;
}

}  // namespace

extern "C" {

KAVO_HANDLE WINAPI KAVO_Create(int version) {
    return Run<KAVO_HANDLE>("Create", "version=" + std::to_string(version), Injected::AsError, [&] {
        if (version != KAVO_VERSION) throw Fail(KAVO_ERROR_INVALID_ARGUMENT, "Unsupported version");
        return Register(std::make_shared<Engine>());
    });
}

int WINAPI KAVO_EnumerateDrives(KAVO_HANDLE engine) {
    return Run<int>("EnumerateDrives", Arg(engine), Injected::AsError, [&] {
        auto object = Get<Engine>(engine);
        std::vector<char> letters;
        {
            lab::StateLock lock;
            for (const auto& [letter, writer] : lab::Devices::Load().writers) letters.push_back(letter);
        }
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        object->letters = letters;
        object->enumerated = true;
        return 1;
    });
}

int WINAPI KAVO_GetDriveCount(KAVO_HANDLE engine) {
    return Run<int>("GetDriveCount", Arg(engine), Injected::AsResult, [&] {
        auto object = Get<Engine>(engine);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        return object->enumerated ? int(object->letters.size()) : 0;
    });
}

KAVO_HANDLE WINAPI KAVO_OpenDrive(KAVO_HANDLE engine, int index) {
    return Run<KAVO_HANDLE>("OpenDrive", Arg(engine) + ", index=" + std::to_string(index), Injected::AsError, [&] {
        auto object = Get<Engine>(engine);
        auto drive = std::make_shared<Drive>();
        {
            std::lock_guard<std::mutex> hold(TheLibrary().mutex);
            if (!object->enumerated || index < 0 || size_t(index) >= object->letters.size())
                throw Fail(KAVO_ERROR_NO_DRIVE);
            drive->letter = object->letters[index];
        }
        drive->path = std::string(1, drive->letter) + ":\\";
        return Register(drive);
    });
}

const char* WINAPI KAVO_DriveGetPathA(KAVO_HANDLE drive) {
    return Run<const char*>("DriveGetPathA", Arg(drive), Injected::AsError,
                            [&] { return Get<Drive>(drive)->path.c_str(); });
}

int WINAPI KAVO_DriveCheckDisc(KAVO_HANDLE drive, int timeoutMs, int flags) {
    const std::string arguments = Arg(drive) + ", " + std::to_string(timeoutMs) + ", " + std::to_string(flags);
    return Run<int>("DriveCheckDisc", arguments, Injected::AsResult, [&] {
        const char letter = Get<Drive>(drive)->letter;
        lab::StateLock lock;
        lab::Devices devices = lab::Devices::Load();
        lab::Writer* writer = devices.FindWriter(letter);
        if (!writer) throw Fail(KAVO_ERROR_NO_DRIVE);
        const lab::Disc* disc = devices.DiscIn(letter);
        if (!disc || writer->trayOpen) return KAVO_DISC_NONE;
        const int poll = writer->polls++;
        devices.Save();
        if (poll < disc->errorPolls) {
            RecordError(Fail(KAVO_ERROR_MEDIUM));
            return KAVO_DISC_ERROR;
        }
        return poll < disc->errorPolls + disc->notReadyPolls ? KAVO_DISC_NOT_READY : KAVO_DISC_READY;
    });
}

KAVO_HANDLE WINAPI KAVO_DriveOpenDisc(KAVO_HANDLE drive) {
    return Run<KAVO_HANDLE>("DriveOpenDisc", Arg(drive), Injected::AsError, [&] {
        const char letter = Get<Drive>(drive)->letter;
        auto disc = std::make_shared<Disc>();
        {
            lab::StateLock lock;
            lab::Devices devices = lab::Devices::Load();
            lab::Writer* writer = devices.FindWriter(letter);
            if (!writer || !writer->disc || writer->trayOpen) throw Fail(KAVO_ERROR_NO_DISC);
            disc->letter = letter;
            disc->id = writer->disc;
        }
        return Register(disc);
    });
}

int WINAPI KAVO_DiscGetMediumType(KAVO_HANDLE disc) {
    return Run<int>("DiscGetMediumType", Arg(disc), Injected::AsResult,
                    [&] { return CurrentDisc(*Get<Disc>(disc)).medium; });
}

int WINAPI KAVO_DiscIsEmpty(KAVO_HANDLE disc) {
    return Run<int>("DiscIsEmpty", Arg(disc), Injected::AsResult,
                    [&] { return CurrentDisc(*Get<Disc>(disc)).blank ? 1 : 0; });
}

KAVO_HANDLE WINAPI KAVO_CreateDataProject(KAVO_HANDLE engine) {
    return Run<KAVO_HANDLE>("CreateDataProject", Arg(engine), Injected::AsError, [&] {
        Get<Engine>(engine);
        return Register(std::make_shared<Project>());
    });
}

KAVO_HANDLE WINAPI KAVO_CreateEraseProject(KAVO_HANDLE engine) {
    return Run<KAVO_HANDLE>("CreateEraseProject", Arg(engine), Injected::AsError, [&] {
        Get<Engine>(engine);
        auto project = std::make_shared<Project>();
        project->erase = true;
        return Register(project);
    });
}

int WINAPI KAVO_ProjectSetDestDisc(KAVO_HANDLE project, KAVO_HANDLE disc) {
    return Run<int>("ProjectSetDestDisc", Arg(project) + ", " + Arg(disc), Injected::AsError, [&] {
        auto target = Get<Project>(project);
        auto destination = Get<Disc>(disc);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        target->letter = destination->letter;
        target->discId = destination->id;
        return 1;
    });
}

KAVO_HANDLE WINAPI KAVO_ProjectGetVirtualDisc(KAVO_HANDLE project) {
    return Run<KAVO_HANDLE>("ProjectGetVirtualDisc", Arg(project), Injected::AsError, [&] {
        auto tree = std::make_shared<Tree>();
        tree->project = Get<Project>(project);
        if (tree->project->erase) throw Fail(KAVO_ERROR_INVALID_ARGUMENT, "An erase project has no file tree");
        return Register(tree);
    });
}

int WINAPI KAVO_DiscDataCreateFolderA(KAVO_HANDLE tree, const char* name) {
    return Run<int>("DiscDataCreateFolderA", Arg(tree) + ", " + Describe(name), Injected::AsError, [&] {
        auto project = Get<Tree>(tree)->project;
        const std::wstring folder = FromAnsi(name);
        CheckName(folder);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        FolderIn(project->root, folder);
        return 1;
    });
}

int WINAPI KAVO_DiscDataAddFileA(KAVO_HANDLE tree, const char* sourcePath, const char* discPath) {
    return Run<int>("DiscDataAddFileA", Arg(tree) + ", " + Describe(sourcePath) + ", " + Describe(discPath),
                    Injected::AsError, [&] {
        auto project = Get<Tree>(tree)->project;
        const std::wstring source = FromAnsi(sourcePath);
        const auto parts = SplitDiscPath(FromAnsi(discPath));
        if (parts.empty() || parts.size() > kMaxDepth) throw Fail(KAVO_ERROR_INVALID_ARGUMENT, "Invalid disc path");
        for (const auto& part : parts) CheckName(part);
        const DWORD attributes = GetFileAttributesW(source.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw Fail(KAVO_ERROR_SOURCE_UNREADABLE, "Cannot read " + lab::ToUtf8(source));
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        iso::FolderEntry* folder = &project->root;
        for (size_t i = 0; i + 1 < parts.size(); ++i) folder = &FolderIn(*folder, parts[i]);
        for (const auto& file : folder->files)
            if (_wcsicmp(file.name.c_str(), parts.back().c_str()) == 0) throw Fail(KAVO_ERROR_ALREADY_ON_DISC);
        for (const auto& child : folder->folders)
            if (_wcsicmp(child.name.c_str(), parts.back().c_str()) == 0) throw Fail(KAVO_ERROR_ALREADY_ON_DISC);
        folder->files.push_back({parts.back(), source});
        return 1;
    });
}

int WINAPI KAVO_DiscDataSetTitleW(KAVO_HANDLE tree, const wchar_t* title) {
    return Run<int>("DiscDataSetTitleW", Arg(tree) + ", " + (title ? "\"" + lab::ToUtf8(title) + "\"" : "null"),
                    Injected::AsError, [&] {
        auto project = Get<Tree>(tree)->project;
        if (!title) throw Fail(KAVO_ERROR_INVALID_ARGUMENT);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        project->title = title;
        return 1;
    });
}

int WINAPI KAVO_ProjectSetProgressCallback(KAVO_HANDLE project, KAVO_PROGRESS_CALLBACK callback, UINT_PTR context) {
    return Run<int>("ProjectSetProgressCallback", Arg(project) + ", " + Describe((KAVO_HANDLE)callback) + ", " +
                                                      std::to_string(context),
                    Injected::AsError, [&] {
        auto target = Get<Project>(project);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        target->callback = callback;
        target->context = context;
        return 1;
    });
}

int WINAPI KAVO_ProjectSetWriteSpeed(KAVO_HANDLE project, double speed, int unit) {
    std::ostringstream arguments;
    arguments << Arg(project) << ", " << speed << ", " << unit;
    return Run<int>("ProjectSetWriteSpeed", arguments.str(), Injected::AsError, [&] {
        auto target = Get<Project>(project);
        if (!(speed > 0)) throw Fail(KAVO_ERROR_INVALID_ARGUMENT, "Invalid write speed");
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        target->speed = speed;
        return 1;
    });
}

int WINAPI KAVO_ProjectSetWriteOpenTray(KAVO_HANDLE project, int open) {
    return Run<int>("ProjectSetWriteOpenTray", Arg(project) + ", " + std::to_string(open), Injected::AsError, [&] {
        auto target = Get<Project>(project);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        target->openTray = open != 0;
        return 1;
    });
}

int WINAPI KAVO_ProjectWrite(KAVO_HANDLE project) {
    return Run<int>("ProjectWrite", Arg(project), Injected::AsError, [&] {
        auto target = Get<Project>(project);
        if (target->erase)
            Erase(*target);
        else
            WriteData(*target);
        OpenTrayAfterWrite(*target);
        return 1;
    });
}

int WINAPI KAVO_ProjectVerifyWrite(KAVO_HANDLE project) {
    return Run<int>("ProjectVerifyWrite", Arg(project), Injected::AsError, [&] {
        Verify(*Get<Project>(project));
        return 1;
    });
}

const char* WINAPI KAVO_GetSystemInfoTextA(KAVO_HANDLE engine) {
    return Run<const char*>("GetSystemInfoTextA", Arg(engine), Injected::AsError, [&] {
        auto object = Get<Engine>(engine);
        std::string text = SystemInfo(*object);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        object->systemInfo = lab::Utf8ToAnsi(text);
        return object->systemInfo.c_str();
    });
}

int WINAPI KAVO_GetLastError(void) {
    std::lock_guard<std::mutex> hold(TheLibrary().mutex);
    return TheLibrary().lastError;
}

const char* WINAPI KAVO_GetErrorMessageA(int code) {
    try {
        // The last error's own text says more (which file, which byte) than the code's general one.
        std::string text;
        {
            std::lock_guard<std::mutex> hold(TheLibrary().mutex);
            if (code == TheLibrary().lastError) text = TheLibrary().lastText;
        }
        if (text.empty()) text = TextFor(code);
        std::lock_guard<std::mutex> hold(TheLibrary().mutex);
        std::string& slot = TheLibrary().messages[code];
        slot = lab::Utf8ToAnsi(text);
        lab::Trace(kComponent, "GetErrorMessageA", std::to_string(code), Describe(slot.c_str()));
        return slot.c_str();
    } catch (...) {
        return "Unknown error";
    }
}

void WINAPI KAVO_ClearLastError(void) {
    RecordError({KAVO_ERROR_NONE, ""});
    lab::Trace(kComponent, "ClearLastError", "", "");
}

int WINAPI KAVO_Release(KAVO_HANDLE handle) {
    int result = 0;
    int open = 0;
    try {
        std::shared_ptr<Object> released;
        {
            std::lock_guard<std::mutex> hold(TheLibrary().mutex);
            const auto found = TheLibrary().handles.find(handle);
            if (found != TheLibrary().handles.end()) {
                released = std::move(found->second);
                TheLibrary().handles.erase(found);
                result = 1;
            }
            open = int(TheLibrary().handles.size());
        }
        if (!result) RecordError(Fail(KAVO_ERROR_INVALID_HANDLE));
    } catch (...) {
        result = 0;
    }
    lab::Trace(kComponent, "Release", Arg(handle), std::to_string(result) + ", open handles " + std::to_string(open));
    return result;
}

int WINAPI KAVO_LabOpenHandles(void) {
    return OpenHandles();
}

}  // extern "C"
