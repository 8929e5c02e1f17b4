// Writes a PDF 1.4 file: catalog, page tree, outline (one entry per section), and per page a page object,
// its content stream and its image, the JPEG bytes embedded unchanged with DCTDecode.
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

UniqueFile OpenForReading(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw PdfError("cannot open the image file");
    return UniqueFile(file);
}

std::string ReadWhole(const std::wstring& path) {
    UniqueFile file = OpenForReading(path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw PdfError("cannot read the image file");
    if (size.QuadPart > 0x7FFFFFFF) throw PdfError("image file too large");
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size()))
        throw PdfError("cannot read the image file");
    return bytes;
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

}  // namespace

// Buffered output that knows its offset, for the cross-reference table.
class PdfDocument::Writer {
public:
    explicit Writer(HANDLE file) : file_(file) { buffer_.reserve(kFlushSize * 2); }

    uint64_t Offset() const { return flushed_ + buffer_.size(); }
    Writer& operator<<(const std::string& text) { return Append(text.data(), text.size()); }
    Writer& operator<<(const char* text) { return Append(text, strlen(text)); }
    Writer& operator<<(uint64_t number) { return *this << std::to_string(number); }
    Writer& Append(const char* data, size_t size) {
        buffer_.append(data, size);
        if (buffer_.size() >= kFlushSize) Flush();
        return *this;
    }
    void Flush() {
        DWORD written = 0;
        if (!buffer_.empty() &&
            (!WriteFile(file_, buffer_.data(), static_cast<DWORD>(buffer_.size()), &written, nullptr) ||
             written != buffer_.size()))
            throw PdfError("cannot write the PDF file");
        flushed_ += buffer_.size();
        buffer_.clear();
    }

private:
    static constexpr size_t kFlushSize = 1 << 20;
    HANDLE file_;
    std::string buffer_;
    uint64_t flushed_ = 0;
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
    : title_(std::move(title)), author_(std::move(author)) {
    wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
    if (!GetTempPathW(ARRAYSIZE(folder), folder) || !GetTempFileNameW(folder, L"pdf", 0, name))
        throw PdfError("no temporary file for the page images");
    spool_ = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (spool_ == INVALID_HANDLE_VALUE) {
        DeleteFileW(name);
        throw PdfError("no temporary file for the page images");
    }
}

PdfDocument::~PdfDocument() { CloseHandle(spool_); }

size_t PdfDocument::AddSection(std::wstring title) {
    sections_.push_back({std::move(title), {}});
    return sections_.size() - 1;
}

size_t PdfDocument::PageCount() const {
    size_t count = 0;
    for (const auto& section : sections_) count += section.pages.size();
    return count;
}

void PdfDocument::AddJpegPage(size_t section, const std::wstring& path) {
    if (section >= sections_.size()) throw PdfError("no such section");
    const std::string bytes = ReadWhole(path);
    const JpegInfo info = ParseJpeg(bytes);
    const uint64_t offset = spoolSize_;
    Spool(bytes);
    sections_[section].pages.push_back({info, offset, bytes.size()});
}

void PdfDocument::Spool(const std::string& bytes) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(spoolSize_);
    DWORD written = 0;
    if (!SetFilePointerEx(spool_, at, nullptr, FILE_BEGIN) ||
        !WriteFile(spool_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw PdfError("cannot keep the page image");
    spoolSize_ += bytes.size();
}

void PdfDocument::WriteImageStream(Writer& out, const Page& page) const {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(page.spoolOffset);
    if (!SetFilePointerEx(spool_, at, nullptr, FILE_BEGIN)) throw PdfError("cannot read the page image");
    std::string chunk(256 * 1024, '\0');
    for (uint64_t left = page.length; left > 0;) {
        const DWORD want = static_cast<DWORD>(left < chunk.size() ? left : chunk.size());
        DWORD got = 0;
        if (!ReadFile(spool_, chunk.data(), want, &got, nullptr) || got != want)
            throw PdfError("cannot read the page image");
        out.Append(chunk.data(), got);
        left -= got;
    }
}

void PdfDocument::Save(const std::wstring& path) const {
    const std::wstring partial = path + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) throw PdfError("cannot create the PDF file");
    try {
        // Object numbers: 1 catalog, 2 page tree, 3 outline, 4 information, then one per section's outline
        // entry, then three per page (page, content, image).
        const uint64_t firstEntry = 5, firstPage = firstEntry + sections_.size();
        const uint64_t objectCount = firstPage + 3 * PageCount();
        std::vector<uint64_t> offsets(objectCount, 0);
        Writer out(file);
        auto begin = [&](uint64_t object) {
            offsets[object] = out.Offset();
            out << object << " 0 obj\n";
        };

        out << "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        begin(1);
        out << "<< /Type /Catalog /Pages 2 0 R /Outlines 3 0 R"
            << (sections_.empty() ? "" : " /PageMode /UseOutlines") << " >>\nendobj\n";

        begin(2);
        out << "<< /Type /Pages /Count " << uint64_t(PageCount()) << " /Kids [";
        for (uint64_t page = 0; page < PageCount(); ++page) out << " " << firstPage + 3 * page << " 0 R";
        out << " ] >>\nendobj\n";

        begin(3);
        out << "<< /Type /Outlines";
        if (!sections_.empty())
            out << " /First " << firstEntry << " 0 R /Last " << firstEntry + sections_.size() - 1 << " 0 R /Count "
                << uint64_t(sections_.size());
        out << " >>\nendobj\n";

        begin(4);
        out << "<< /Producer " << PdfTextString(L"PDFLIBRARY.DLL");
        if (!title_.empty()) out << " /Title " << PdfTextString(title_);
        if (!author_.empty()) out << " /Author " << PdfTextString(author_);
        out << " >>\nendobj\n";

        uint64_t pageIndex = 0;
        for (size_t index = 0; index < sections_.size(); ++index) {
            const Section& section = sections_[index];
            begin(firstEntry + index);
            out << "<< /Title " << PdfTextString(section.title) << " /Parent 3 0 R";
            if (index > 0) out << " /Prev " << firstEntry + index - 1 << " 0 R";
            if (index + 1 < sections_.size()) out << " /Next " << firstEntry + index + 1 << " 0 R";
            // A section without pages leads to the page that follows it, if there is one.
            if (pageIndex < PageCount()) out << " /Dest [" << firstPage + 3 * pageIndex << " 0 R /Fit]";
            out << " >>\nendobj\n";
            pageIndex += section.pages.size();
        }

        pageIndex = 0;
        for (const Section& section : sections_) {
            for (const Page& page : section.pages) {
                const uint64_t pageObject = firstPage + 3 * pageIndex++;
                const std::string width = Number(page.info.width * 72.0 / page.info.dpiX);
                const std::string height = Number(page.info.height * 72.0 / page.info.dpiY);
                begin(pageObject);
                out << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " << width << " " << height
                    << "] /Resources << /XObject << /Im0 " << pageObject + 2 << " 0 R >> >> /Contents "
                    << pageObject + 1 << " 0 R >>\nendobj\n";

                const std::string content = "q " + width + " 0 0 " + height + " 0 0 cm /Im0 Do Q\n";
                begin(pageObject + 1);
                out << "<< /Length " << uint64_t(content.size()) << " >>\nstream\n"
                    << content << "endstream\nendobj\n";

                begin(pageObject + 2);
                out << "<< /Type /XObject /Subtype /Image /Width " << uint64_t(page.info.width) << " /Height "
                    << uint64_t(page.info.height) << " /ColorSpace " << ColourSpace(page.info.components)
                    << " /BitsPerComponent 8 /Filter /DCTDecode";
                if (page.info.components == 4 && page.info.adobeInverted) out << " /Decode [1 0 1 0 1 0 1 0]";
                out << " /Length " << page.length << " >>\nstream\n";
                WriteImageStream(out, page);
                out << "\nendstream\nendobj\n";
            }
        }

        const uint64_t xref = out.Offset();
        out << "xref\n0 " << objectCount << "\n0000000000 65535 f \n";
        for (uint64_t object = 1; object < objectCount; ++object) {
            char entry[24];
            snprintf(entry, sizeof entry, "%010llu 00000 n \n", static_cast<unsigned long long>(offsets[object]));
            out << entry;
        }
        out << "trailer\n<< /Size " << objectCount << " /Root 1 0 R /Info 4 0 R >>\nstartxref\n"
            << xref << "\n%%EOF\n";
        out.Flush();
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        if (!MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            throw PdfError("cannot put the PDF file in place");
    } catch (...) {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        DeleteFileW(partial.c_str());
        throw;
    }
}

}  // namespace pdf
