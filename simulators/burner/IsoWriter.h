// Writes a disc image in ISO 9660 with Joliet names: primary and Joliet volume descriptors, their path tables and
// directories, and the files' bytes shared by both trees.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace iso {

// A failure while writing; `code` is one of the engine's KAVO_ERROR_* codes.
class WriteError : public std::runtime_error {
public:
    WriteError(int code, const std::string& text) : std::runtime_error(text), code(code) {}
    int code;
};

struct FileEntry {
    std::wstring name;           // as on the disc (Joliet)
    std::wstring source;         // file whose bytes are written
};

struct FolderEntry {
    std::wstring name;
    std::vector<FolderEntry> folders;
    std::vector<FileEntry> files;
};

// The longest name a Joliet tree holds, in UTF-16 units.
constexpr size_t kMaxJolietName = 64;

// Progress as bytes of the image written so far and in all; answer false to stop.
using Progress = std::function<bool(unsigned long long done, unsigned long long total)>;

// Lays the tree out when made (reading each source's size) and writes the image to `path`.
// Throws WriteError: KAVO_ERROR_SOURCE_UNREADABLE, KAVO_ERROR_WRITE_FAILED, KAVO_ERROR_CANCELLED.
class ImageWriter {
public:
    ImageWriter(const FolderEntry& root, const std::wstring& label);
    ~ImageWriter();
    ImageWriter(const ImageWriter&) = delete;
    ImageWriter& operator=(const ImageWriter&) = delete;

    unsigned long long ImageBytes() const;
    void Write(const std::wstring& path, const Progress& progress) const;

private:
    struct Layout;
    Layout* layout_;
};

}  // namespace iso
