// The Unicode layer's file and path routines on any text and on paths far beyond 260 characters: the path
// arithmetic on raw input, and folders, files and searches on paths kept inside the test's own folder.
#include <windows.h>

#include <gtest/gtest.h>

#include "FuzzSupport.h"
#include "TestSupport.h"
#include "WydSysUtils.h"

using fuzz::Bytes;
using fuzz::Check;
using fuzz::Outcome;

namespace {

bool StartsWith(const WideString& text, const WideString& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

// The path arithmetic: pure functions of the text.
void CheckPathParts(const WideString& path, const WideString& other) {
    Check(WideExtractFilePath(path) + WideExtractFileName(path) == path, "folder and name make the path");
    Check(StartsWith(path, WideExtractFileDir(path)) && StartsWith(path, WideExtractFileDrive(path)),
          "the folder and the drive begin the path");
    Check(WideExtractFileExt(WideChangeFileExt(path, L".pgx")) == L".pgx", "a changed extension is the extension");
    const WideString with = WideIncludeTrailingPathDelimiter(path);
    Check(!with.empty() && with.back() == L'\\', "a trailing delimiter is there when included");
    Check(WideExcludeTrailingPathDelimiter(with) == WideExcludeTrailingPathDelimiter(path) || path.empty(),
          "excluding the delimiter undoes including it");
    for (int index : {0, 1, int(path.size()), int(path.size()) + 1}) WideIsPathDelimiter(path, index);
    WideExtractRelativePath(path, other);
    WideExtractRelativePath(other, path);
}

// A tail made from the input that cannot leave the folder it is put under: no drive, no "..", none of the
// characters a name may not hold. Up to 2,000 characters in at most 8 folders: far beyond 260, but few
// folders, as Wine looks up every folder of a name anew in each call.
WideString InsideTail(const WideString& text) {
    WideString tail;
    int folders = 0;
    for (wchar_t c : text.substr(0, 2000)) {
        if (c < L' ' || wcschr(L"<>:\"/|?*", c) || (c == L'\\' && ++folders > 8)) continue;
        if (c == L'.' && !tail.empty() && tail.back() == L'.') c = L'_';
        tail += c;
    }
    return tail;
}

// Creates the folders and a file, looks at them in every way the layer offers, and removes them again.
void UseTheFileSystem(const WideString& base, const WideString& tail) {
    const WideString folder = base + L"\\" + tail;
    const bool made = WideForceDirectories(folder);
    if (made) Check(WideDirectoryExists(WideExcludeTrailingPathDelimiter(folder)), "a folder that was made exists");
    const WideString file = WideIncludeTrailingPathDelimiter(folder) + L"page.jpg";
    const HANDLE handle = WideFileCreate(file);
    if (handle != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(handle, "\xFF\xD8\xFF\xD9", 4, &written, nullptr);
        CloseHandle(handle);
        Check(WideFileExists(file) && WideFileAge(file) != -1, "a file that was made exists and has a time");
        WideFileSetReadOnly(file, true);
        Check(WideFileIsReadOnly(file), "a file made read-only is read-only");
        WideFileSetReadOnly(file, false);
        WideExtractShortPathName(file);
        if (folder.find(L';') == WideString::npos)  // the separator of the folder list
            Check(!WideFileSearch(L"page.jpg", L";" + folder + L";").empty(), "a search of the folder finds the file");
        const WideString copy = file + L".copy", moved = file + L".moved";
        if (WideCopyFile(file, copy, true) && WideRenameFile(copy, moved)) WideDeleteFile(moved);
        TSearchRecW found;
        if (WideFindFirst(WideIncludeTrailingPathDelimiter(folder) + L"*", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, found) == 0) {
            for (int i = 0; i < 8 && WideFindNext(found) == 0; ++i) {
            }
            WideFindClose(found);
        }
        Check(WideDeleteFile(file), "the file can be deleted");
    }
    WideExpandFileName(file);
    // Every folder below the base goes, the deepest first.
    for (WideString at = WideExcludeTrailingPathDelimiter(folder); at.size() > base.size() + 1;
         at = WideExcludeTrailingPathDelimiter(WideExtractFilePath(at))) {
        WideRemoveDir(at);
    }
}

Outcome UsePath(const Bytes& input) {
    fuzz::InputReader choices(input);
    const uint8_t how = choices.Byte();
    const WideString text = fuzz::FromUtf16Bytes(choices.Rest());
    CheckPathParts(text, text.substr(text.size() / 2));
    // One input in 64 goes to the file system (the costly part under Wine), half of those through the
    // long-path prefix.
    if (fuzz::Sampled(input, 64)) {
        static testsupport::TempDir folder;
        UseTheFileSystem((how & 1 ? L"\\\\?\\" : L"") + folder.Path(), InsideTail(text));
    }
    return Outcome::Accepted;
}

std::vector<Bytes> PathCorpus() {
    WideString deep;
    for (int i = 0; i < 40; ++i) deep += L"Transaction folder " + std::to_wstring(i) + L"\\";
    auto member = [](uint8_t how, const WideString& path) { return std::string(1, char(how)) + fuzz::Utf16Bytes(path); };
    return {member(0, L"Queue\\20260531-130559\\Page 001.jpg"), member(1, deep + L"Page 002.tif"),
            member(0, L"\x041F\x0430\x043F\x043A\x0430\\\x65E5\x672C\\ma\x0308rz.bmp"),
            member(1, L"C:\\Program Files\\Pagorin\\..\\Pagorin.ini"), member(3, L"\\\\server\\share\\dir\\x.y.z"),
            member(5, L"\\\\?\\C:\\" + deep), member(0, L"a:b\\c.")};
}

}  // namespace

TEST(WidePathFuzz, PathRoutinesTakeAnyTextAndPathsBeyond260Characters) {
    std::vector<Bytes> tokens = fuzz::Utf16Tokens({L"\\", L"..", L":", L"\\\\?\\", L"*", L"a\\", L"."});
    tokens.push_back(std::string(2, '\0'));
    fuzz::Run("WidePath", fuzz::Mutator(PathCorpus(), tokens), UsePath);
}
