// ISO 9660 image with a Joliet tree. Layout: 16 empty sectors, the primary and Joliet volume descriptors and the
// terminator, the four path tables (primary L and M, Joliet L and M), the primary directories, the Joliet
// directories, then each file's bytes once, shared by both trees.
#include "IsoWriter.h"

#include "Kavo.h"
#include "Lab.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace iso {
namespace {

constexpr unsigned kSector = 2048;
constexpr unsigned kFirstFreeSector = 19;
constexpr size_t kCopyChunk = 4 << 20;

using Bytes = std::string;

unsigned long long SectorsFor(unsigned long long bytes) {
    return (bytes + kSector - 1) / kSector;
}

void Put16Both(Bytes& out, size_t at, unsigned value) {
    out[at] = char(value & 0xff);
    out[at + 1] = char(value >> 8);
    out[at + 2] = char(value >> 8);
    out[at + 3] = char(value & 0xff);
}

void Put32Le(Bytes& out, size_t at, unsigned value) {
    for (int i = 0; i < 4; ++i) out[at + i] = char(value >> (8 * i));
}

void Put32Be(Bytes& out, size_t at, unsigned value) {
    for (int i = 0; i < 4; ++i) out[at + i] = char(value >> (8 * (3 - i)));
}

void Put32Both(Bytes& out, size_t at, unsigned value) {
    Put32Le(out, at, value);
    Put32Be(out, at + 4, value);
}

void Put16Le(Bytes& out, size_t at, unsigned value) {
    out[at] = char(value & 0xff);
    out[at + 1] = char(value >> 8);
}

void Put16Be(Bytes& out, size_t at, unsigned value) {
    out[at] = char(value >> 8);
    out[at + 1] = char(value & 0xff);
}

// UCS-2 big-endian, as Joliet stores names.
Bytes Ucs2(const std::wstring& text) {
    Bytes bytes;
    for (wchar_t c : text) {
        bytes += char((c >> 8) & 0xff);
        bytes += char(c & 0xff);
    }
    return bytes;
}

// A text field padded with spaces (single bytes, or UCS-2 spaces for Joliet).
void PutText(Bytes& out, size_t at, size_t size, const Bytes& text, bool ucs2) {
    for (size_t i = 0; i < size; ++i) out[at + i] = ucs2 ? (i % 2 ? ' ' : '\0') : ' ';
    memcpy(&out[at], text.data(), std::min(size, text.size()));
}

// ISO 9660 d-characters: upper-case letters, digits and underscore.
std::string DCharacters(const std::wstring& text, size_t limit) {
    std::string result;
    for (wchar_t c : text) {
        if (result.size() == limit) break;
        const wchar_t upper = c < 128 ? wchar_t(toupper(int(c))) : L'_';
        result += (upper >= L'A' && upper <= L'Z') || (upper >= L'0' && upper <= L'9') ? char(upper) : '_';
    }
    return result.empty() ? "_" : result;
}

// The primary tree's name for a file or folder, unique within its folder (`taken` holds the names used).
std::string PrimaryName(const std::wstring& name, bool isFile, std::set<std::string>& taken) {
    std::wstring base = name, extension;
    const auto dot = name.rfind(L'.');
    if (isFile && dot != std::wstring::npos) {
        base = name.substr(0, dot);
        extension = name.substr(dot + 1);
    }
    const std::string ext = isFile ? (extension.empty() ? "" : DCharacters(extension, 4)) : "";
    const size_t baseLimit = isFile ? 24 : 31;
    std::string stem = DCharacters(base, baseLimit);
    for (int n = 1;; ++n) {
        const std::string full = isFile ? stem + "." + ext + ";1" : stem;
        if (taken.insert(full).second) return full;
        const std::string suffix = "~" + std::to_string(n);
        stem = DCharacters(base, baseLimit - suffix.size()) + suffix;
    }
}

struct SystemTime {
    SYSTEMTIME utc;
    SystemTime() { GetSystemTime(&utc); }
};

void PutRecordDate(Bytes& out, size_t at, const SYSTEMTIME& t) {
    out[at] = char(t.wYear - 1900);
    out[at + 1] = char(t.wMonth);
    out[at + 2] = char(t.wDay);
    out[at + 3] = char(t.wHour);
    out[at + 4] = char(t.wMinute);
    out[at + 5] = char(t.wSecond);
    out[at + 6] = 0;  // UTC
}

void PutVolumeDate(Bytes& out, size_t at, const SYSTEMTIME* t) {
    char text[18] = "0000000000000000";
    if (t)
        snprintf(text, sizeof text, "%04u%02u%02u%02u%02u%02u%02u", t->wYear, t->wMonth, t->wDay, t->wHour, t->wMinute,
                 t->wSecond, t->wMilliseconds / 10);
    memcpy(&out[at], text, 16);
    out[at + 16] = 0;
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

HANDLE OpenSource(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

struct ImageWriter::Layout {
    struct File {
        std::wstring source;
        Bytes primaryName, jolietName;
        unsigned long long size = 0;
        unsigned extent = 0;
    };
    struct Directory {
        Bytes primaryName, jolietName;       // empty for the root
        Directory* parent = nullptr;
        std::vector<std::unique_ptr<Directory>> folders;
        std::vector<File> files;
        // Per tree (0 primary, 1 Joliet): path table number, extent and size of the records.
        unsigned number[2] = {1, 1};
        unsigned extent[2] = {0, 0};
        unsigned size[2] = {0, 0};
    };

    Directory root;
    Bytes primaryLabel, jolietLabel;
    std::vector<Directory*> order[2];        // path table order per tree
    std::vector<File*> files;                // data order
    unsigned pathTableSize[2] = {0, 0};
    unsigned pathTableExtent[2][2] = {};     // [tree][L=0, M=1]
    unsigned long long totalSectors = 0;
    SystemTime now;

    static const Bytes& NameOf(const Directory& d, int tree) { return tree ? d.jolietName : d.primaryName; }
    static const Bytes& NameOf(const File& f, int tree) { return tree ? f.jolietName : f.primaryName; }

    void Build(Directory& into, const FolderEntry& from) {
        std::set<std::string> taken;
        for (const auto& folder : from.folders) {
            auto directory = std::make_unique<Directory>();
            directory->parent = &into;
            directory->primaryName = PrimaryName(folder.name, false, taken);
            directory->jolietName = Ucs2(folder.name);
            Build(*directory, folder);
            into.folders.push_back(std::move(directory));
        }
        for (const auto& entry : from.files) {
            File file;
            file.source = entry.source;
            file.primaryName = PrimaryName(entry.name, true, taken);
            file.jolietName = Ucs2(entry.name + L";1");
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (!GetFileAttributesExW(entry.source.c_str(), GetFileExInfoStandard, &data) ||
                (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                throw WriteError(KAVO_ERROR_SOURCE_UNREADABLE, "Cannot read " + lab::ToUtf8(entry.source));
            file.size = (unsigned long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
            if (file.size >= 0xFFFFFFFFull)
                throw WriteError(KAVO_ERROR_SOURCE_UNREADABLE, "File too large for the disc: " + lab::ToUtf8(entry.source));
            into.files.push_back(file);
        }
    }

    template <typename T>
    static std::vector<T*> Sorted(std::vector<T>& items, int tree) {
        std::vector<T*> sorted;
        for (auto& item : items) sorted.push_back(&item);
        std::sort(sorted.begin(), sorted.end(), [tree](T* a, T* b) { return NameOf(*a, tree) < NameOf(*b, tree); });
        return sorted;
    }

    static std::vector<Directory*> SortedFolders(Directory& d, int tree) {
        std::vector<Directory*> sorted;
        for (auto& folder : d.folders) sorted.push_back(folder.get());
        std::sort(sorted.begin(), sorted.end(),
                  [tree](Directory* a, Directory* b) { return NameOf(*a, tree) < NameOf(*b, tree); });
        return sorted;
    }

    // Breadth first, children by name: the order path tables require (level, parent number, name).
    void NumberDirectories(int tree) {
        order[tree] = {&root};
        for (size_t i = 0; i < order[tree].size(); ++i) {
            order[tree][i]->number[tree] = unsigned(i + 1);
            for (Directory* child : SortedFolders(*order[tree][i], tree)) order[tree].push_back(child);
        }
        unsigned size = 0;
        for (Directory* d : order[tree]) {
            const size_t length = d == &root ? 1 : NameOf(*d, tree).size();
            size += unsigned(8 + length + (length % 2));
        }
        pathTableSize[tree] = size;
    }

    static unsigned RecordLength(size_t nameLength) {
        return unsigned(33 + nameLength + (nameLength % 2 == 0 ? 1 : 0));
    }

    // Entries of a directory in record order, as (name, is folder, pointer) for sizing and writing alike.
    struct Entry {
        Bytes name;
        Directory* folder;
        File* file;
    };
    std::vector<Entry> Entries(Directory& d, int tree) {
        std::vector<Entry> entries;
        for (Directory* folder : SortedFolders(d, tree)) entries.push_back({NameOf(*folder, tree), folder, nullptr});
        for (File* file : Sorted(d.files, tree)) entries.push_back({NameOf(*file, tree), nullptr, file});
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
        return entries;
    }

    // Records never cross a sector: a record that does not fit starts the next one.
    unsigned DirectoryBytes(Directory& d, int tree) {
        unsigned used = 2 * RecordLength(1);
        for (const auto& entry : Entries(d, tree)) {
            const unsigned length = RecordLength(entry.name.size());
            if (used % kSector + length > kSector) used = (used / kSector + 1) * kSector;
            used += length;
        }
        return unsigned(SectorsFor(used) * kSector);
    }

    void CollectFiles(Directory& d) {
        for (Directory* folder : SortedFolders(d, 1)) CollectFiles(*folder);
        for (File* file : Sorted(d.files, 1)) files.push_back(file);
    }

    void Allocate() {
        unsigned long long next = kFirstFreeSector;
        for (int tree = 0; tree < 2; ++tree) {
            NumberDirectories(tree);
            for (int kind = 0; kind < 2; ++kind) {
                pathTableExtent[tree][kind] = unsigned(next);
                next += SectorsFor(pathTableSize[tree]);
            }
        }
        for (int tree = 0; tree < 2; ++tree)
            for (Directory* d : order[tree]) {
                d->extent[tree] = unsigned(next);
                d->size[tree] = DirectoryBytes(*d, tree);
                next += d->size[tree] / kSector;
            }
        CollectFiles(root);
        for (File* file : files) {
            file->extent = unsigned(next);
            next += SectorsFor(file->size);
        }
        if (next > 0xFFFFFFFFull) throw WriteError(KAVO_ERROR_DISC_FULL, "Image too large");
        totalSectors = next;
    }

    void PutRecord(Bytes& out, size_t at, const Bytes& name, unsigned extent, unsigned size, bool folder) const {
        const unsigned length = RecordLength(name.size());
        out[at] = char(length);
        Put32Both(out, at + 2, extent);
        Put32Both(out, at + 10, size);
        PutRecordDate(out, at + 18, now.utc);
        out[at + 25] = folder ? 2 : 0;
        Put16Both(out, at + 28, 1);
        out[at + 32] = char(name.size());
        memcpy(&out[at + 33], name.data(), name.size());
    }

    Bytes DirectoryRecords(Directory& d, int tree) {
        Bytes out(d.size[tree], '\0');
        const Directory& parent = d.parent ? *d.parent : d;
        PutRecord(out, 0, Bytes(1, '\0'), d.extent[tree], d.size[tree], true);
        PutRecord(out, RecordLength(1), Bytes(1, '\1'), parent.extent[tree], parent.size[tree], true);
        size_t at = 2 * RecordLength(1);
        for (const auto& entry : Entries(d, tree)) {
            const unsigned length = RecordLength(entry.name.size());
            if (at % kSector + length > kSector) at = (at / kSector + 1) * kSector;
            if (entry.folder)
                PutRecord(out, at, entry.name, entry.folder->extent[tree], entry.folder->size[tree], true);
            else
                PutRecord(out, at, entry.name, entry.file->extent, unsigned(entry.file->size), false);
            at += length;
        }
        return out;
    }

    Bytes PathTable(int tree, bool bigEndian) const {
        Bytes out(SectorsFor(pathTableSize[tree]) * kSector, '\0');
        size_t at = 0;
        for (Directory* d : order[tree]) {
            const Bytes name = d == &root ? Bytes(1, '\0') : NameOf(*d, tree);
            out[at] = char(name.size());
            const unsigned parent = d->parent ? d->parent->number[tree] : 1;
            if (bigEndian) {
                Put32Be(out, at + 2, d->extent[tree]);
                Put16Be(out, at + 6, parent);
            } else {
                Put32Le(out, at + 2, d->extent[tree]);
                Put16Le(out, at + 6, parent);
            }
            memcpy(&out[at + 8], name.data(), name.size());
            at += 8 + name.size() + (name.size() % 2);
        }
        return out;
    }

    Bytes VolumeDescriptor(int tree) const {
        Bytes out(kSector, '\0');
        const bool joliet = tree == 1;
        out[0] = joliet ? 2 : 1;
        memcpy(&out[1], "CD001", 5);
        out[6] = 1;
        PutText(out, 8, 32, joliet ? Ucs2(L"WIN32") : "WIN32", joliet);
        PutText(out, 40, 32, joliet ? jolietLabel : primaryLabel, joliet);
        Put32Both(out, 80, unsigned(totalSectors));
        if (joliet) memcpy(&out[88], "%/E", 3);  // UCS-2 level 3
        Put16Both(out, 120, 1);
        Put16Both(out, 124, 1);
        Put16Both(out, 128, kSector);
        Put32Both(out, 132, pathTableSize[tree]);
        Put32Le(out, 140, pathTableExtent[tree][0]);
        Put32Be(out, 148, pathTableExtent[tree][1]);
        PutRecord(out, 156, Bytes(1, '\0'), root.extent[tree], root.size[tree], true);
        PutText(out, 190, 128, joliet ? jolietLabel : primaryLabel, joliet);
        for (size_t field : {318, 446, 702, 739, 776}) PutText(out, field, field >= 702 ? 37 : 128, "", joliet);
        PutText(out, 574, 128, joliet ? Ucs2(L"PAGORIN LAB BURNER") : "PAGORIN LAB BURNER", joliet);
        PutVolumeDate(out, 813, &now.utc);
        PutVolumeDate(out, 830, &now.utc);
        PutVolumeDate(out, 847, nullptr);
        PutVolumeDate(out, 864, &now.utc);
        out[881] = 1;
        return out;
    }

    // Everything before the files' bytes, in order.
    Bytes Head() {
        Bytes out(16 * kSector, '\0');
        out += VolumeDescriptor(0);
        out += VolumeDescriptor(1);
        Bytes terminator(kSector, '\0');
        terminator[0] = char(255);
        memcpy(&terminator[1], "CD001", 5);
        terminator[6] = 1;
        out += terminator;
        for (int tree = 0; tree < 2; ++tree) out += PathTable(tree, false) + PathTable(tree, true);
        for (int tree = 0; tree < 2; ++tree)
            for (Directory* d : order[tree]) out += DirectoryRecords(*d, tree);
        return out;
    }
};

ImageWriter::ImageWriter(const FolderEntry& root, const std::wstring& label) : layout_(new Layout) {
    try {
        std::string primary;
        for (wchar_t c : label) primary += c >= 0x20 && c < 0x7f ? char(c) : '_';
        layout_->primaryLabel = primary.substr(0, 32);
        layout_->jolietLabel = Ucs2(label.substr(0, 16));
        layout_->Build(layout_->root, root);
        layout_->Allocate();
    } catch (...) {
        delete layout_;
        throw;
    }
}

ImageWriter::~ImageWriter() {
    delete layout_;
}

unsigned long long ImageWriter::ImageBytes() const {
    return layout_->totalSectors * kSector;
}

void ImageWriter::Write(const std::wstring& path, const Progress& progress) const {
    FileHandle out(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!out.Valid()) throw WriteError(KAVO_ERROR_WRITE_FAILED, "Cannot write the disc image");
    const unsigned long long total = ImageBytes();
    unsigned long long done = 0, reported = 0;
    const unsigned long long step = std::max<unsigned long long>(total / 100, 1);

    auto emit = [&](const char* data, size_t size) {
        DWORD written = 0;
        if (!WriteFile(out.Get(), data, DWORD(size), &written, nullptr) || written != size)
            throw WriteError(KAVO_ERROR_WRITE_FAILED, "Writing the disc image failed");
        done += size;
        if (done - reported >= step || done == total) {
            reported = done;
            if (!progress(done, total)) throw WriteError(KAVO_ERROR_CANCELLED, "Writing cancelled");
        }
    };

    if (!progress(0, total)) throw WriteError(KAVO_ERROR_CANCELLED, "Writing cancelled");
    const Bytes head = layout_->Head();
    emit(head.data(), head.size());

    // Copy in pieces of about one progress step, so the caller hears of every percent and can stop in time.
    const size_t chunk = size_t(std::clamp<unsigned long long>((step + kSector - 1) / kSector * kSector, 64 << 10,
                                                               kCopyChunk));
    std::unique_ptr<char[]> buffer(new char[chunk]);
    for (const auto* file : layout_->files) {
        FileHandle source(OpenSource(file->source));
        if (!source.Valid()) throw WriteError(KAVO_ERROR_SOURCE_UNREADABLE, "Cannot read " + lab::ToUtf8(file->source));
        unsigned long long left = file->size;
        while (left > 0) {
            const DWORD want = DWORD(std::min<unsigned long long>(left, chunk));
            DWORD got = 0;
            if (!ReadFile(source.Get(), buffer.get(), want, &got, nullptr) || got != want)
                throw WriteError(KAVO_ERROR_SOURCE_UNREADABLE, "Source changed while writing: " + lab::ToUtf8(file->source));
            // The last piece of a file is padded to a whole sector.
            size_t size = got;
            if (left == got && size % kSector) {
                memset(buffer.get() + size, 0, kSector - size % kSector);
                size += kSector - size % kSector;
            }
            emit(buffer.get(), size);
            left -= got;
        }
    }
}

}  // namespace iso
