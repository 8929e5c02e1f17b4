// Builds one PDF through PDFLIBRARY.DLL from the command line, for the Linux-side checks and the benchmark:
//   pdfcompile output.pdf [-s "section title"] page.jpg|folder ... [-s "title"] page.jpg ...
// A folder stands for its *.jpg files in name order. A page after no -s gets a section of its own titled
// "Page n". Prints the pages and the milliseconds taken.
#include "PdfLibrary.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Ansi(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(length > 0 ? length : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), length, nullptr, nullptr);
    result.resize(strlen(result.c_str()));
    return result;
}

// The argument itself, or the JPEG files of the folder it names.
std::vector<std::wstring> PagesOf(const std::wstring& argument) {
    const DWORD attributes = GetFileAttributesW(argument.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return {argument};
    std::vector<std::wstring> pages;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((argument + L"\\*.jpg").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return pages;
    do pages.push_back(argument + L"\\" + found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(pages.begin(), pages.end());
    return pages;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: pdfcompile output.pdf [-s title] page.jpg ...\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    RURARO_DOCUMENT document = RURARO_Create("", "");
    if (!document) {
        fprintf(stderr, "pdfcompile: no document\n");
        return 1;
    }
    RURARO_SECTION named = nullptr;  // the section of the last -s, which takes the pages after it
    int pages = 0, status = 0;
    for (int arg = 2; arg < argc && status == 0; ++arg) {
        if (wcscmp(argv[arg], L"-s") == 0 && arg + 1 < argc) {
            named = RURARO_AddSection(document, Ansi(argv[++arg]).c_str());
            continue;
        }
        for (const std::wstring& page : PagesOf(argv[arg])) {
            ++pages;
            RURARO_SECTION section =
                named ? named : RURARO_AddSection(document, ("Page " + std::to_string(pages)).c_str());
            if (!RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, Ansi(page.c_str()).c_str())) {
                fprintf(stderr, "pdfcompile: page refused: %ls\n", page.c_str());
                status = 1;
                break;
            }
        }
    }
    if (status == 0 && !RURARO_SaveToFileName(document, Ansi(argv[1]).c_str())) {
        fprintf(stderr, "pdfcompile: not saved\n");
        status = 1;
    }
    RURARO_Free(document);
    QueryPerformanceCounter(&end);
    printf("pages %d ms %.1f\n", pages, (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
    return status;
}
