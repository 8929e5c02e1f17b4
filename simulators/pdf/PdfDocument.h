// A PDF document of JPEG pages in titled sections. Added images are kept in a spool file until the document
// is saved, so a page survives its source file being changed or removed, and memory stays small.
#pragma once

#include "JpegInfo.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pdf {

class PdfDocument {
public:
    PdfDocument(std::wstring title, std::wstring author);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Gives the new section's number.
    size_t AddSection(std::wstring title);
    // Reads the JPEG file and appends it as a page of the section. Throws PdfError.
    void AddJpegPage(size_t section, const std::wstring& path);
    // Writes the PDF to a temporary file beside `path` and renames it over `path`. Throws PdfError.
    void Save(const std::wstring& path) const;

    size_t SectionCount() const { return sections_.size(); }
    size_t PageCount() const;

private:
    struct Page {
        JpegInfo info;
        uint64_t spoolOffset;
        uint64_t length;
    };
    struct Section {
        std::wstring title;
        std::vector<Page> pages;
    };
    class Writer;

    void Spool(const std::string& bytes);
    void WriteImageStream(Writer& out, const Page& page) const;

    std::wstring title_;
    std::wstring author_;
    std::vector<Section> sections_;
    HANDLE spool_ = INVALID_HANDLE_VALUE;
    uint64_t spoolSize_ = 0;
};

// A PDF text string: UTF-16BE with a byte order mark, written in hex.
std::string PdfTextString(const std::wstring& text);

}  // namespace pdf
