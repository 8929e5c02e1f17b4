// Finds the attached block behind the program image: the image's sections, certificate table and symbols
// come first, the text and its length word last.
#include "AttachedData.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "DrvDb.h"
#include "FileUrl.h"
#include "Platform.h"
#include "Utf8.h"

namespace drvdb {

namespace {

bool ReadAt(HANDLE file, int64_t offset, DWORD moveMethod, void* buffer, DWORD size) {
    LARGE_INTEGER position;
    position.QuadPart = offset;
    DWORD read = 0;
    return SetFilePointerEx(file, position, nullptr, moveMethod) && ReadFile(file, buffer, size, &read, nullptr) &&
           read == size;
}

// Where the program image ends in the file; 0 when the file is no program (its headers do not read).
int64_t ProgramImageEnd(HANDLE file, int64_t fileSize) {
    IMAGE_DOS_HEADER dos;
    if (!ReadAt(file, 0, FILE_BEGIN, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return 0;
    DWORD signature = 0;
    IMAGE_FILE_HEADER header;
    const int64_t headerAt = static_cast<int64_t>(dos.e_lfanew) + sizeof signature;
    if (dos.e_lfanew <= 0 || !ReadAt(file, dos.e_lfanew, FILE_BEGIN, &signature, sizeof signature) ||
        signature != IMAGE_NT_SIGNATURE || !ReadAt(file, headerAt, FILE_BEGIN, &header, sizeof header)) {
        return 0;
    }
    const int64_t optionalAt = headerAt + sizeof header;
    int64_t end = optionalAt + header.SizeOfOptionalHeader;

    // The certificate table's entry holds a file offset, in either form of the optional header.
    WORD magic = 0;
    IMAGE_DATA_DIRECTORY security = {};
    if (ReadAt(file, optionalAt, FILE_BEGIN, &magic, sizeof magic)) {
        const int64_t directories = magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
                                        ? offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                        : offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
        const int64_t entry = directories + IMAGE_DIRECTORY_ENTRY_SECURITY * sizeof(IMAGE_DATA_DIRECTORY);
        if (entry + static_cast<int64_t>(sizeof security) <= header.SizeOfOptionalHeader &&
            ReadAt(file, optionalAt + entry, FILE_BEGIN, &security, sizeof security)) {
            end = std::max<int64_t>(end, static_cast<int64_t>(security.VirtualAddress) + security.Size);
        }
    }
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(file, optionalAt + header.SizeOfOptionalHeader + i * int64_t{sizeof section}, FILE_BEGIN, &section,
                    sizeof section)) {
            return fileSize;  // a program whose section table is cut off has no room for a block
        }
        end = std::max<int64_t>(end, static_cast<int64_t>(section.PointerToRawData) + section.SizeOfRawData);
    }
    if (header.PointerToSymbolTable) {
        const int64_t strings = static_cast<int64_t>(header.PointerToSymbolTable) + 18 * int64_t{header.NumberOfSymbols};
        DWORD stringsSize = 0;
        ReadAt(file, strings, FILE_BEGIN, &stringsSize, sizeof stringsSize);
        end = std::max<int64_t>(end, strings + stringsSize);
    }
    return end;
}

}  // namespace

bool ReadAttachedData(const std::string& file, std::string& text) {
    try {
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | (IsWinNT() ? FILE_SHARE_DELETE : 0);
        FileHandle handle(OpenLocalFile(file, true, share));
        LARGE_INTEGER size = {};
        if (!GetFileSizeEx(handle.Get(), &size) || size.QuadPart < 4) return false;
        unsigned char word[4];
        if (!ReadAt(handle.Get(), -4, FILE_END, word, sizeof word)) return false;
        // In 64 bits, and checked against the file before anything is allocated.
        const int64_t length = static_cast<int64_t>(word[0]) | (static_cast<int64_t>(word[1]) << 8) |
                               (static_cast<int64_t>(word[2]) << 16) | (static_cast<int64_t>(word[3]) << 24);
        const int64_t start = size.QuadPart - 4 - length;
        if (length == 0 || start < ProgramImageEnd(handle.Get(), size.QuadPart)) return false;
        std::string data(static_cast<size_t>(length), '\0');
        if (!ReadAt(handle.Get(), start, FILE_BEGIN, data.data(), static_cast<DWORD>(length))) return false;
        text = std::move(data);
        return true;
    } catch (const CError&) {
        return false;
    }
}

std::string OwnFileName() {
    // Wide paths reach 32767 characters; the buffer doubles until the name fits.
    for (DWORD capacity = 2000; capacity <= 0x10000; capacity *= 2) {
        if (IsWinNT()) {
            std::wstring name(capacity, L'\0');
            const DWORD length = GetModuleFileNameW(nullptr, name.data(), capacity);
            if (length == 0) return std::string();
            if (length < capacity - 1) return Utf16ToUtf8(name.data(), length);
        } else {
            std::string name(capacity, '\0');
            const DWORD length = GetModuleFileNameA(nullptr, name.data(), capacity);
            if (length == 0) return std::string();
            if (length < capacity - 1) return AnsiToUtf8(name.substr(0, length));
        }
    }
    return std::string();
}

}  // namespace drvdb
