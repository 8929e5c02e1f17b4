// What a run left on the device lab and in its folders, read back as an operator and a disc reader would:
// the files of a folder, the discs the lab wrote (their label and every file's bytes), and the writers,
// emptied as an operator takes a disc out by hand.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Devices.h"
#include "IsoReader.h"
#include "TestSupport.h"

namespace pagorintest {

// The names in a folder matching `pattern` ("*.iso", "*"): its folders or its files, without "." names.
inline std::vector<std::wstring> Listing(const std::wstring& folder, const wchar_t* pattern, bool folders)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (data.cFileName[0] != L'.' && isFolder == folders)
            names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// Bytes of an image file at a place; nothing when the image is shorter (a disc cut short).
inline std::optional<std::string> ReadAt(const std::wstring& image, const iso::FileExtent& extent)
{
    HANDLE file = CreateFileW(image.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes(size_t(extent.size), '\0');
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(extent.offset);
    DWORD read = 0;
    bool whole = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                 (bytes.empty() || ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr)) && read == bytes.size();
    CloseHandle(file);
    return whole ? std::optional<std::string>(bytes) : std::nullopt;
}

// A disc as a reader finds it: its label and its files ("folder/name") with their bytes. Files the image
// does not hold whole are left out.
struct DiscRead {
    std::wstring label;
    std::map<std::wstring, std::string> files;
};

inline std::optional<DiscRead> ReadDisc(const std::wstring& image)
{
    std::optional<iso::JolietTree> tree = iso::ReadJolietTree(image);
    if (!tree)
        return std::nullopt;
    DiscRead disc;
    disc.label = tree->label;
    for (const auto& [name, extent] : tree->files)
        if (std::optional<std::string> bytes = ReadAt(image, extent))
            disc.files[name] = *bytes;
    return disc;
}

// The operator takes out a disc a run left in a writer (a robot cannot load over it), to the reject bin.
inline void ClearWriters()
{
    lab::StateLock lock;
    lab::Devices devices = lab::Devices::Load();
    for (auto& entry : devices.writers) {
        lab::Writer& writer = entry.second;
        if (writer.disc)
            devices.reject.push_back(writer.disc);
        writer.disc = 0;
        writer.trayOpen = false;
        writer.locked = false;
    }
    devices.Save();
}

}  // namespace pagorintest
