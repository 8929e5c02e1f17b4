// Test helper: writes a sample job (two folders, an ANSI name, an empty file, a file of several MB) onto the
// disc in writer E of the lab named by PAGORIN_LAB, as the disc worker does, and verifies it. Sources go to
// <lab>\src\<folder>\<name>. Exit code 0 when written and verified, else the engine's last error.
#include "Kavo.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string LabFolder() {
    char folder[MAX_PATH] = {};
    GetEnvironmentVariableA("PAGORIN_LAB", folder, MAX_PATH);
    return folder;
}

// Bytes of a given size that differ from file to file and from sector to sector.
void WriteSource(const std::string& path, size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = char(seed >> 16);
    }
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

}  // namespace

int main() {
    const std::string src = LabFolder() + "\\src";
    struct Sample {
        const char* folder;
        const char* name;
        size_t size;
    };
    const std::vector<Sample> samples = {
        {"Job A", "Page 1.jpg", 200000},   {"Job A", "Seite \xFC.txt", 2048},
        {"Job B", "empty.txt", 0},         {"Job B", "Page 10.tif", 3 * 1024 * 1024 + 7},
        {"Job B", "a-long-page-name-that-is-longer-than-thirty-one-characters.jpg", 1000},
    };
    CreateDirectoryA(src.c_str(), nullptr);

    KAVO_HANDLE engine = KAVO_Create(KAVO_VERSION);
    if (!engine || !KAVO_EnumerateDrives(engine)) return 100;
    KAVO_HANDLE drive = KAVO_OpenDrive(engine, 0);
    KAVO_HANDLE disc = KAVO_DriveOpenDisc(drive);
    KAVO_HANDLE project = KAVO_CreateDataProject(engine);
    if (!drive || !disc || !project || !KAVO_ProjectSetDestDisc(project, disc)) return 101;
    KAVO_HANDLE tree = KAVO_ProjectGetVirtualDisc(project);
    unsigned seed = 1;
    for (const auto& sample : samples) {
        const std::string folder = src + "\\" + sample.folder;
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string source = folder + "\\" + sample.name;
        WriteSource(source, sample.size, seed++);
        KAVO_DiscDataCreateFolderA(tree, sample.folder);
        if (!KAVO_DiscDataAddFileA(tree, source.c_str(), (std::string(sample.folder) + "/" + sample.name).c_str()))
            return 102;
    }
    KAVO_DiscDataSetTitleW(tree, L"Pr\u00fcfung M\u00e4rz 26");
    int ok = KAVO_ProjectWrite(project) && KAVO_ProjectVerifyWrite(project);
    const int error = KAVO_GetLastError();
    if (!ok) fprintf(stderr, "burn_sample: %s\n", KAVO_GetErrorMessageA(error));
    for (KAVO_HANDLE handle : {tree, project, disc, drive, engine}) KAVO_Release(handle);
    if (KAVO_LabOpenHandles() != 0) return 103;
    return ok ? 0 : error;
}
