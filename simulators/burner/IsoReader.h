// Reads back the Joliet tree of a disc image: each file's path, place and size, and the volume label.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace iso {

struct FileExtent {
    unsigned long long offset = 0;  // bytes from the start of the image
    unsigned long long size = 0;
};

struct JolietTree {
    std::wstring label;
    std::map<std::wstring, FileExtent> files;  // "folder/name" without the ";1" version
};

// Nothing when the image cannot be read or holds no well-formed Joliet tree.
std::optional<JolietTree> ReadJolietTree(const std::wstring& imagePath);

}  // namespace iso
