// Writes a PDF 1.4 file: the images first, one object per page added (the JPEG bytes embedded unchanged with
// DCTDecode), then at the save the page tree, catalog, outline (one entry per section), information, and
// per page a page object and its content stream, followed by the cross-reference table.
#include "PdfDocument.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace pdf {
namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFile = std::unique_ptr<void, HandleCloser>;

// A page's image object is written with one call: its dictionary in the room kept before the JPEG's bytes,
// which are read into place, and its end after them.
constexpr size_t kHeadRoom = 512;  // far more than any image dictionary takes
constexpr char kImageEnd[] = "\nendstream\nendobj\n";
constexpr size_t kImageEndSize = sizeof kImageEnd - 1;

// Reads the whole file into `buffer` behind kHeadRoom bytes, leaving kImageEndSize bytes after it; gives
// the file's size.
size_t ReadPageInto(const std::wstring& path, std::vector<char>& buffer) {
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) throw PdfError("cannot open the image file");
    UniqueFile file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw PdfError("cannot read the image file");
    if (size.QuadPart > 0x7FFFFFFF) throw PdfError("image file too large");
    const DWORD length = static_cast<DWORD>(size.QuadPart);
    if (buffer.size() < kHeadRoom + length + kImageEndSize) buffer.resize(kHeadRoom + length + kImageEndSize);
    DWORD got = 0;
    if (length > 0 && (!ReadFile(file.get(), buffer.data() + kHeadRoom, length, &got, nullptr) || got != length))
        throw PdfError("cannot read the image file");
    return length;
}

void WriteOut(HANDLE file, const char* data, size_t size) {
    DWORD written = 0;
    if (size > 0 && (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) || written != size))
        throw PdfError("cannot write the PDF file");
}

std::string Number(double value) {
    char text[32];
    snprintf(text, sizeof text, "%.4f", value);
    std::string result = text;
    while (result.back() == '0') result.pop_back();
    if (result.back() == '.') result.pop_back();
    return result;
}

const char* ColourSpace(unsigned components) {
    return components == 1 ? "/DeviceGray" : components == 3 ? "/DeviceRGB" : "/DeviceCMYK";
}

std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

// A new empty file in `folder`, open for writing; nothing when the folder does not take one.
HANDLE CreateBodyIn(const std::wstring& folder, std::wstring& path) {
    wchar_t name[MAX_PATH + 1];
    if (folder.empty() || folder.size() > MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"pdf", 0, name))
        return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileW(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        DeleteFileW(name);
    else
        path = name;
    return file;
}

bool MoveTo(HANDLE file, uint64_t offset) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

// Buffered output that knows its offset in the file, for the cross-reference table.
class PdfDocument::Writer {
public:
    Writer(HANDLE file, uint64_t offset) : file_(file), flushed_(offset) { buffer_.reserve(kFlushSize * 2); }

    uint64_t Offset() const { return flushed_ + buffer_.size(); }
    Writer& operator<<(const std::string& text) { return Append(text.data(), text.size()); }
    Writer& operator<<(const char* text) { return Append(text, strlen(text)); }
    Writer& operator<<(uint64_t number) { return *this << std::to_string(number); }
    Writer& Append(const char* data, size_t size) {
        if (size >= kFlushSize) {  // large data goes straight to the file
            Flush();
            Write(data, size);
            return *this;
        }
        buffer_.append(data, size);
        if (buffer_.size() >= kFlushSize) Flush();
        return *this;
    }
    void Flush() {
        Write(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

private:
    void Write(const char* data, size_t size) {
        WriteOut(file_, data, size);
        flushed_ += size;
    }

    static constexpr size_t kFlushSize = 1 << 16;
    HANDLE file_;
    std::string buffer_;
    uint64_t flushed_;
};

std::string PdfTextString(const std::wstring& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex = "<FEFF";
    for (wchar_t unit : text) {
        const unsigned value = static_cast<unsigned short>(unit);
        for (int shift = 12; shift >= 0; shift -= 4) hex += digits[(value >> shift) & 0xF];
    }
    return hex + ">";
}

PdfDocument::PdfDocument(std::wstring title, std::wstring author)
    : title_(std::move(title)), author_(std::move(author)) {}

PdfDocument::~PdfDocument() {
    if (body_ != INVALID_HANDLE_VALUE) CloseHandle(body_);
    if (!saved_ && !bodyPath_.empty()) DeleteFileW(bodyPath_.c_str());
}

void PdfDocument::CheckOpen() const {
    if (saved_) throw PdfError("the document is saved");
    if (!bodyPath_.empty() && body_ == INVALID_HANDLE_VALUE) throw PdfError("the document lost its file");
}

size_t PdfDocument::AddSection(std::wstring title) {
    CheckOpen();
    sections_.push_back({std::move(title), {}});
    return sections_.size() - 1;
}

size_t PdfDocument::PageCount() const {
    size_t count = 0;
    for (const auto& section : sections_) count += section.pages.size();
    return count;
}

void PdfDocument::EnsureBody(const std::wstring& nearPath) {
    if (body_ != INVALID_HANDLE_VALUE) return;
    body_ = CreateBodyIn(FolderOf(nearPath), bodyPath_);
    if (body_ == INVALID_HANDLE_VALUE) {
        wchar_t temporary[MAX_PATH + 1];
        const DWORD length = GetTempPathW(ARRAYSIZE(temporary), temporary);
        if (length > 0 && length <= MAX_PATH) body_ = CreateBodyIn(FolderOf(temporary), bodyPath_);
    }
    if (body_ == INVALID_HANDLE_VALUE) throw PdfError("no file for the document");
    Writer out(body_, 0);
    out << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    out.Flush();
    bodySize_ = out.Offset();
}

void PdfDocument::RollBack(uint64_t size, size_t objects) {
    offsets_.resize(objects);
    bodySize_ = size;
    if (body_ == INVALID_HANDLE_VALUE)
        body_ = CreateFileW(bodyPath_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (body_ != INVALID_HANDLE_VALUE && MoveTo(body_, size) && SetEndOfFile(body_)) return;
    // A body that cannot be cut back cannot take more: the document refuses everything from here on.
    if (body_ != INVALID_HANDLE_VALUE) CloseHandle(body_);
    body_ = INVALID_HANDLE_VALUE;
}

void PdfDocument::AddJpegPage(size_t section, const std::wstring& path) {
    CheckOpen();
    if (section >= sections_.size()) throw PdfError("no such section");
    const size_t size = ReadPageInto(path, page_);
    const JpegInfo info = ParseJpeg(std::string_view(page_.data() + kHeadRoom, size));
    EnsureBody(path);
    const uint64_t sizeBefore = bodySize_, object = offsets_.size();
    std::string head = std::to_string(object) + " 0 obj\n<< /Type /XObject /Subtype /Image /Width " +
                       std::to_string(info.width) + " /Height " + std::to_string(info.height) + " /ColorSpace " +
                       ColourSpace(info.components) + " /BitsPerComponent 8 /Filter /DCTDecode";
    if (info.components == 4 && info.adobeInverted) head += " /Decode [1 0 1 0 1 0 1 0]";
    head += " /Length " + std::to_string(size) + " >>\nstream\n";
    char* start = page_.data() + kHeadRoom - head.size();
    memcpy(start, head.data(), head.size());
    memcpy(page_.data() + kHeadRoom + size, kImageEnd, kImageEndSize);
    try {
        offsets_.push_back(bodySize_);
        WriteOut(body_, start, head.size() + size + kImageEndSize);
        bodySize_ += head.size() + size + kImageEndSize;
    } catch (...) {
        RollBack(sizeBefore, object);
        throw;
    }
    sections_[section].pages.push_back({info, object});
}

void PdfDocument::Save(const std::wstring& path) {
    CheckOpen();
    EnsureBody(path);
    const uint64_t bodySize = bodySize_;
    const size_t bodyObjects = offsets_.size();
    try {
        // Object numbers after the images: page tree, catalog, outline, information, one outline entry per
        // section, then two per page (page, content).
        const uint64_t pages = offsets_.size(), catalog = pages + 1, outline = pages + 2, information = pages + 3;
        const uint64_t firstEntry = pages + 4, firstPage = firstEntry + sections_.size();
        offsets_.resize(firstPage + 2 * PageCount(), 0);
        Writer out(body_, bodySize_);
        auto begin = [&](uint64_t object) {
            offsets_[object] = out.Offset();
            out << object << " 0 obj\n";
        };

        begin(pages);
        out << "<< /Type /Pages /Count " << uint64_t(PageCount()) << " /Kids [";
        for (uint64_t page = 0; page < PageCount(); ++page) out << " " << firstPage + 2 * page << " 0 R";
        out << " ] >>\nendobj\n";

        begin(catalog);
        out << "<< /Type /Catalog /Pages " << pages << " 0 R /Outlines " << outline << " 0 R"
            << (sections_.empty() ? "" : " /PageMode /UseOutlines") << " >>\nendobj\n";

        begin(outline);
        out << "<< /Type /Outlines";
        if (!sections_.empty())
            out << " /First " << firstEntry << " 0 R /Last " << firstEntry + sections_.size() - 1 << " 0 R /Count "
                << uint64_t(sections_.size());
        out << " >>\nendobj\n";

        begin(information);
        out << "<< /Producer " << PdfTextString(L"PDFLIBRARY.DLL");
        if (!title_.empty()) out << " /Title " << PdfTextString(title_);
        if (!author_.empty()) out << " /Author " << PdfTextString(author_);
        out << " >>\nendobj\n";

        uint64_t pageIndex = 0;
        for (size_t index = 0; index < sections_.size(); ++index) {
            const Section& section = sections_[index];
            begin(firstEntry + index);
            out << "<< /Title " << PdfTextString(section.title) << " /Parent " << outline << " 0 R";
            if (index > 0) out << " /Prev " << firstEntry + index - 1 << " 0 R";
            if (index + 1 < sections_.size()) out << " /Next " << firstEntry + index + 1 << " 0 R";
            // A section without pages leads to the page that follows it, if there is one.
            if (pageIndex < PageCount()) out << " /Dest [" << firstPage + 2 * pageIndex << " 0 R /Fit]";
            out << " >>\nendobj\n";
            pageIndex += section.pages.size();
        }

        pageIndex = 0;
        for (const Section& section : sections_) {
            for (const Page& page : section.pages) {
                const uint64_t pageObject = firstPage + 2 * pageIndex++;
                const std::string width = Number(page.info.width * 72.0 / page.info.dpiX);
                const std::string height = Number(page.info.height * 72.0 / page.info.dpiY);
                begin(pageObject);
                out << "<< /Type /Page /Parent " << pages << " 0 R /MediaBox [0 0 " << width << " " << height
                    << "] /Resources << /XObject << /Im0 " << page.imageObject << " 0 R >> >> /Contents "
                    << pageObject + 1 << " 0 R >>\nendobj\n";

                const std::string content = "q " + width + " 0 0 " + height + " 0 0 cm /Im0 Do Q\n";
                begin(pageObject + 1);
                out << "<< /Length " << uint64_t(content.size()) << " >>\nstream\n"
                    << content << "endstream\nendobj\n";
            }
        }

        const uint64_t xref = out.Offset();
        out << "xref\n0 " << uint64_t(offsets_.size()) << "\n0000000000 65535 f \n";
        for (uint64_t object = 1; object < offsets_.size(); ++object) {
            char entry[24];
            snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offsets_[object]));
            out << entry;
        }
        out << "trailer\n<< /Size " << uint64_t(offsets_.size()) << " /Root " << catalog << " 0 R /Info "
            << information << " 0 R >>\nstartxref\n" << xref << "\n%%EOF\n";
        out.Flush();
        CloseHandle(body_);
        body_ = INVALID_HANDLE_VALUE;
        if (!MoveFileExW(bodyPath_.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            throw PdfError("cannot put the PDF file in place");
    } catch (...) {
        RollBack(bodySize, bodyObjects);
        throw;
    }
    saved_ = true;
}

}  // namespace pdf
