// The queue folder left by an earlier run, under damage: transaction folders and files of any name the file
// system takes, read back and restored as the main window restores its queue. No page may be lost: every
// page file stays on disc and hangs in the tree, and only folders holding nothing but the program's own
// leftovers go.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "FuzzSupport.h"
#include "QvThemeSrv.h"
#include "TestSupport.h"
#include "TransactionTree.h"

using namespace pagorin;
using fuzz::Bytes;
using fuzz::Check;
using fuzz::Outcome;

namespace {

// A name the file system takes, made of the input's bytes: characters a name may not hold become letters.
std::string FileName(const Bytes& bytes) {
    std::string name;
    for (unsigned char c : bytes.substr(0, 60))
        name += c < ' ' || c >= 0x7F || std::strchr("<>:\"/\\|?*", c) ? char('a' + c % 26) : char(c);
    return name;
}

std::string FullPath(const std::string& path) {
    char full[4096];
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length && length < sizeof full ? std::string(full, length) : std::string();
}

// The names a folder holds, each marked as a folder or not, read with the wide calls. Names beginning with
// "." are none of the program's: it leaves them out.
std::map<std::string, bool> Listing(const std::string& folder) {
    std::map<std::string, bool> entries;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(testsupport::FromUtf8(folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        const std::string name = testsupport::ToUtf8(data.cFileName);
        if (name[0] != '.') entries[name] = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return entries;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The name rules on every input: a page is never a leftover, and a transaction's folder path names a folder
// right inside the queue folder, as the file system resolves it (or a device such as "con.x", which no
// folder can be named and no delete reaches).
void CheckNameRules(const std::string& queue, const std::string& name) {
    Check(!(IsPageFileName(name) && IsLeftoverFileName(name)), "a page is never a leftover");
    const std::string path = TransactionFolderPath(queue, name);
    if (path.empty()) return;
    const std::string full = FullPath(path);
    Check(full == FullPath(queue) + "\\" + name || full.rfind("\\\\.\\", 0) == 0,
          "a transaction folder lies right inside the queue: " + name);
}

// A file of `size` bytes, when the name is one the system takes.
void MakeFile(const std::string& path, DWORD size) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, "pagepage", size, &written, nullptr);
    CloseHandle(file);
}

// Makes the queue the input describes: folders, each with files and subfolders (a subfolder holds one file).
// The file system may take a name other than the one asked for (no trailing dots or blanks).
void MakeQueue(const std::string& queue, fuzz::InputReader& parts) {
    CreateDirectoryA(queue.c_str(), nullptr);
    for (int folders = 1 + parts.Byte() % 4; folders > 0; --folders) {
        const std::string folder = queue + "\\" + FileName(parts.Take(parts.Byte() % 24));
        if (!CreateDirectoryA(folder.c_str(), nullptr)) continue;
        for (int entries = parts.Byte() % 6; entries > 0; --entries) {
            const uint8_t kind = parts.Byte();
            std::string file = folder + "\\" + FileName(parts.Take(parts.Byte() % 24));
            if (kind % 4 == 0 && CreateDirectoryA(file.c_str(), nullptr))
                file += "\\" + FileName(parts.Take(parts.Byte() % 24));
            MakeFile(file, kind % 8);
        }
    }
}

// The files below a folder (one level of subfolders deep) that are not the program's leftovers.
std::vector<std::string> KeptFiles(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& [name, isFolder] : Listing(folder)) {
        if (!isFolder) {
            if (!IsLeftoverFileName(name)) files.push_back(folder + "\\" + name);
            continue;
        }
        for (const auto& [inner, innerIsFolder] : Listing(folder + "\\" + name))
            if (!innerIsFolder && !IsLeftoverFileName(inner)) files.push_back(folder + "\\" + name + "\\" + inner);
    }
    return files;
}

// Restores the queue as the main window does and checks that no page is lost.
void RestoreQueue(const std::string& queue) {
    std::vector<std::string> made;
    for (const auto& [name, isFolder] : Listing(queue))
        if (isFolder) made.push_back(queue + "\\" + name);
    std::map<std::string, std::vector<std::string>> keep, pages;
    for (const std::string& folder : made) {
        keep[folder] = KeptFiles(folder);
        for (const auto& [name, isFolder] : Listing(folder))
            if (!isFolder && IsPageFileName(name)) pages[folder].push_back(name);
    }
    TQvCheckTree view(nullptr);
    TransactionTree tree(&view);
    std::vector<std::string> folders;
    for (const std::string& name : QueueSubfolders(queue)) folders.push_back(queue + "\\" + name);
    {
        FolderReadAhead reader(folders);
        for (size_t i = 0; i < folders.size(); ++i) tree.Restore(folders[i], reader.Take(i), L"Scanned Doc");
    }
    for (const std::string& folder : made) {
        for (const std::string& file : keep[folder]) Check(Exists(file), "no file but leftovers is removed: " + file);
        std::vector<std::string> want = pages[folder];
        if (want.empty()) continue;
        vcl::TTreeNode* root = tree.Find(folder.substr(queue.size() + 1));
        Check(root != nullptr, "a folder with pages is restored: " + folder);
        std::vector<std::string> restored;
        for (int i = 0; i < root->GetCount(); ++i) {
            const TransactionRecord* page = TransactionTree::RecordOf(root->GetItem(i));
            Check(page->Path == folder + "\\" + root->GetItem(i)->GetText(), "a page's path is its file's");
            restored.push_back(root->GetItem(i)->GetText());
        }
        std::sort(restored.begin(), restored.end());
        Check(restored == want, "every page file of a folder hangs under its transaction: " + folder);
        const auto images = std::count_if(restored.begin(), restored.end(), [](const std::string& name) { return !IsPdfName(name); });
        Check(AppendPageNumber(restored, folder, "Page") >= images, "an Append goes past every page");
    }
}

// Every input's names go through the name rules; one in 128 makes its queue on disc and restores it (some
// 50 ms under Wine).
Outcome RestoreMutatedQueue(const Bytes& input) {
    static const std::string names = "C:\\Pagorin\\Queue";
    for (size_t at = 0; at < input.size(); at += 24) CheckNameRules(names, FileName(input.substr(at, 24)));
    if (!fuzz::Sampled(input, 128)) return Outcome::Accepted;

    const testsupport::TempDir base;
    const std::string queue = testsupport::ToUtf8(base.Path()) + "\\Queue";
    fuzz::InputReader parts(input);
    MakeQueue(queue, parts);
    RestoreQueue(queue);
    FreeThemeServices();
    return Outcome::Accepted;
}

std::vector<Bytes> QueueCorpus() {
    auto piece = [](const std::string& text) { return std::string(1, char(text.size())) + text; };
    auto file = [&](char kind, const std::string& name) { return std::string(1, kind) + piece(name); };
    return {
        std::string(1, '\1') + piece("20260531-130559") + '\3' + file('\4', "Page001.jpg") + file('\5', "Page002.JPG") +
            file('\0', "FileList.txt") + piece("20260601-080000") + '\2' + file('\6', "Scan.pdf") +
            file('\1', "Page001~.jpg"),
        std::string(1, '\0') + piece("20260531-130600") + '\2' + file('\4', "nested") + piece("Page009.tif") +
            file('\2', "notes.doc"),
        std::string(1, '\2') + piece("x.") + '\1' + file('\3', "a.b.png") + piece("...") + '\1' +
            file('\0', "FileList.txt") + piece("20260101-000000 ") + '\1' + file('\7', ".bmp"),
    };
}

}  // namespace

TEST(QueueFuzz, RestoreOfAMutatedQueueLosesNoPage) {
    std::vector<Bytes> tokens = {".jpg", ".JPG", ".pdf", ".tif", "~", ".", " ", "FileList.txt", "Page"};
    fuzz::Run("QueueRestore", fuzz::Mutator(QueueCorpus(), tokens), RestoreMutatedQueue);
}
