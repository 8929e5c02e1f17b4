// A PDF document of JPEG pages in titled sections. Each image is written into the file's body when its page is
// added (so a page survives its source file being changed or removed, and memory stays small); the body is a
// file beside the first image, which the save completes and renames into place. So every JPEG is read once
// and written once.
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

    // Gives the new section's number. Throws PdfError once the document is saved.
    size_t AddSection(std::wstring title);
    // Reads the JPEG file and appends it as a page of the section. Throws PdfError (the document stays as it
    // was).
    void AddJpegPage(size_t section, const std::wstring& path);
    // Completes the file and puts it at `path`, replacing what is there only when complete. The document is
    // then saved: it takes nothing more. Throws PdfError (the document stays as it was and may be saved again).
    void Save(const std::wstring& path);

    bool Saved() const { return saved_; }
    size_t SectionCount() const { return sections_.size(); }
    size_t PageCount() const;

private:
    struct Page {
        JpegInfo info;
        uint64_t imageObject;
    };
    struct Section {
        std::wstring title;
        std::vector<Page> pages;
    };
    class Writer;

    void CheckOpen() const;
    // Creates the body file beside `nearPath` (else in the temporary folder) on first use.
    void EnsureBody(const std::wstring& nearPath);
    // Cuts the body back to `size` bytes and `objects` objects after a failed addition or save.
    void RollBack(uint64_t size, size_t objects);

    std::wstring title_;
    std::wstring author_;
    std::vector<Section> sections_;
    std::wstring bodyPath_;
    HANDLE body_ = INVALID_HANDLE_VALUE;
    uint64_t bodySize_ = 0;
    std::vector<uint64_t> offsets_{0};  // by object number; object 0 is the free list head
    std::vector<char> page_;  // the last page's object as written, kept for the next page's
    bool saved_ = false;
};

// A PDF text string: UTF-16BE with a byte order mark, written in hex.
std::string PdfTextString(const std::wstring& text);

}  // namespace pdf
