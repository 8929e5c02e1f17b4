// Reads the Joliet supplementary volume descriptor of an image and walks its directories, checking every
// record against the image's bounds, so a damaged image gives nothing rather than a wild read.
#include "IsoReader.h"

#include <cstring>
#include <set>
#include <string>

namespace iso {
namespace {

constexpr unsigned kSector = 2048;
constexpr int kMaxDepth = 16;

unsigned Le32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | unsigned(p[3]) << 24;
}

std::wstring FromUcs2(const unsigned char* p, size_t bytes) {
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes; i += 2) text += wchar_t(p[i] << 8 | p[i + 1]);
    return text;
}

class Image {
public:
    explicit Image(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {
        LARGE_INTEGER size{};
        if (file_ != INVALID_HANDLE_VALUE && GetFileSizeEx(file_, &size)) size_ = (unsigned long long)size.QuadPart;
    }
    ~Image() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    unsigned long long Size() const { return size_; }

    bool Read(unsigned long long offset, std::string& out, size_t bytes) const {
        if (file_ == INVALID_HANDLE_VALUE || offset + bytes > size_) return false;
        out.resize(bytes);
        LARGE_INTEGER at;
        at.QuadPart = LONGLONG(offset);
        DWORD got = 0;
        return SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) &&
               ReadFile(file_, out.data(), DWORD(bytes), &got, nullptr) && got == bytes;
    }

private:
    HANDLE file_;
    unsigned long long size_ = 0;
};

bool Walk(const Image& image, unsigned extent, unsigned size, const std::wstring& prefix, int depth,
          std::set<unsigned>& seen, JolietTree& tree) {
    if (depth > kMaxDepth || !seen.insert(extent).second) return false;
    std::string records;
    if (!image.Read((unsigned long long)extent * kSector, records, size)) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(records.data());
    for (size_t at = 0; at < records.size();) {
        const unsigned length = bytes[at];
        if (length == 0) {  // rest of this sector is padding
            at = (at / kSector + 1) * kSector;
            continue;
        }
        if (length < 34 || at + length > records.size()) return false;
        const unsigned char* record = bytes + at;
        const unsigned nameLength = record[32];
        if (33 + nameLength > length) return false;
        at += length;
        if (nameLength == 1 && (record[33] == 0 || record[33] == 1)) continue;  // "." and ".."
        std::wstring name = FromUcs2(record + 33, nameLength);
        const unsigned childExtent = Le32(record + 2), childSize = Le32(record + 10);
        if (record[25] & 2) {
            if (!Walk(image, childExtent, childSize, prefix + name + L"/", depth + 1, seen, tree)) return false;
            continue;
        }
        if (name.size() >= 2 && name.compare(name.size() - 2, 2, L";1") == 0) name.resize(name.size() - 2);
        const FileExtent file{(unsigned long long)childExtent * kSector, childSize};
        if (file.offset + file.size > image.Size()) return false;
        tree.files[prefix + name] = file;
    }
    return true;
}

}  // namespace

std::optional<JolietTree> ReadJolietTree(const std::wstring& imagePath) {
    const Image image(imagePath);
    std::string descriptor;
    for (unsigned sector = 16; image.Read((unsigned long long)sector * kSector, descriptor, kSector); ++sector) {
        const auto* d = reinterpret_cast<const unsigned char*>(descriptor.data());
        if (memcmp(d + 1, "CD001", 5) != 0 || d[0] == 255) break;
        const bool joliet = d[0] == 2 && d[88] == '%' && d[89] == '/' && (d[90] == '@' || d[90] == 'C' || d[90] == 'E');
        if (!joliet) continue;
        JolietTree tree;
        tree.label = FromUcs2(d + 40, 32);
        while (!tree.label.empty() && tree.label.back() == L' ') tree.label.pop_back();
        std::set<unsigned> seen;
        if (!Walk(image, Le32(d + 156 + 2), Le32(d + 156 + 10), L"", 0, seen, tree)) return std::nullopt;
        return tree;
    }
    return std::nullopt;
}

}  // namespace iso
