// Benchmark (not a test): writes and verifies one large job with the burning engine stand-in into the lab named
// by PAGORIN_LAB (default: a lab of its own in the temporary folder) and prints MB/s for each phase, beside
// the same megabytes copied to a file and read back by the raw file calls in the same folder.
//   kavo_benchmark [megabytes, default 512]
#include "BenchFigure.h"
#include "Kavo.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr unsigned kFileMB = 64;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

std::string PrepareLab(unsigned long long megabytes) {
    char folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("PAGORIN_LAB", folder, MAX_PATH)) {
        GetTempPathA(MAX_PATH, folder);
        strcat(folder, "PagorinKavoBenchmark");
        SetEnvironmentVariableA("PAGORIN_LAB", folder);
    }
    CreateDirectoryA(folder, nullptr);
    const std::string lab = folder;
    DeleteFileA((lab + "\\devices.ini").c_str());
    DeleteFileA((lab + "\\calls.ini").c_str());
    const std::string scenario = "[Writer.E]\r\nDisc = 4:blank:" + std::to_string(megabytes + 64) + "\r\n";
    FILE* file = fopen((lab + "\\scenario.ini").c_str(), "wb");
    if (file) {
        fwrite(scenario.data(), 1, scenario.size(), file);
        fclose(file);
    }
    return lab;
}

// One source of kFileMB megabytes, added as many times as the job needs under different names.
std::string MakeSource(const std::string& lab) {
    const std::string path = lab + "\\bench-source.bin";
    std::string chunk(1 << 20, '\0');
    unsigned seed = 7;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return path;
    for (unsigned mb = 0; mb < kFileMB; ++mb) {
        for (auto& c : chunk) c = char((seed = seed * 1103515245u + 12345u) >> 16);
        fwrite(chunk.data(), 1, chunk.size(), file);
    }
    fclose(file);
    return path;
}

struct RawRates {
    double Write, Read;
};

// MB/s of the raw file calls over the job's megabytes: the source copied `files` times into one file, then
// that file read back in 1 MB pieces.
RawRates RawFileRates(const std::string& lab, const std::string& source, unsigned files) {
    const std::string target = lab + "\\bench-raw.bin";
    std::string chunk(1 << 20, '\0');
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    double bytes = 0;
    const LARGE_INTEGER start = Now();
    for (unsigned i = 0; i < files; ++i) {
        SetFilePointer(in, 0, nullptr, FILE_BEGIN);
        while (ReadFile(in, chunk.data(), DWORD(chunk.size()), &done, nullptr) && done > 0) {
            WriteFile(out, chunk.data(), done, &done, nullptr);
            bytes += done;
        }
    }
    FlushFileBuffers(out);
    CloseHandle(out);
    const LARGE_INTEGER written = Now();
    HANDLE back = CreateFileA(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    while (ReadFile(back, chunk.data(), DWORD(chunk.size()), &done, nullptr) && done > 0) {
    }
    const LARGE_INTEGER read = Now();
    CloseHandle(back);
    CloseHandle(in);
    DeleteFileA(target.c_str());
    const double megabytes = bytes / (1 << 20);
    return {megabytes / Seconds(start, written), megabytes / Seconds(written, read)};
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned long long megabytes = argc > 1 ? strtoull(argv[1], nullptr, 10) : 512;
    const unsigned files = unsigned((megabytes + kFileMB - 1) / kFileMB);
    const std::string lab = PrepareLab(files * kFileMB);
    const std::string source = MakeSource(lab);

    KAVO_HANDLE engine = KAVO_Create(KAVO_VERSION);
    KAVO_EnumerateDrives(engine);
    KAVO_HANDLE drive = KAVO_OpenDrive(engine, 0);
    KAVO_HANDLE disc = KAVO_DriveOpenDisc(drive);
    KAVO_HANDLE project = KAVO_CreateDataProject(engine);
    KAVO_ProjectSetDestDisc(project, disc);
    KAVO_HANDLE tree = KAVO_ProjectGetVirtualDisc(project);
    KAVO_DiscDataCreateFolderA(tree, "Benchmark");
    for (unsigned i = 0; i < files; ++i)
        KAVO_DiscDataAddFileA(tree, source.c_str(), ("Benchmark/part" + std::to_string(i) + ".bin").c_str());
    KAVO_DiscDataSetTitleW(tree, L"Benchmark");

    const double total = double(files) * kFileMB;
    const LARGE_INTEGER start = Now();
    const int written = KAVO_ProjectWrite(project);
    const LARGE_INTEGER afterWrite = Now();
    const int verified = written && KAVO_ProjectVerifyWrite(project);
    const LARGE_INTEGER afterVerify = Now();
    if (!verified) {
        fprintf(stderr, "kavo_benchmark: %s\n", KAVO_GetErrorMessageA(KAVO_GetLastError()));
        return 1;
    }
    const double writeSeconds = Seconds(start, afterWrite), verifySeconds = Seconds(afterWrite, afterVerify);
    printf("job %.0f MB in %u files\n", total, files);
    printf("write  %8.2f s  %8.1f MB/s\n", writeSeconds, total / writeSeconds);
    printf("verify %8.2f s  %8.1f MB/s\n", verifySeconds, total / verifySeconds);
    printf("both   %8.2f s  %8.1f MB/s (a 16x DVD writes 22 MB/s)\n", writeSeconds + verifySeconds,
           total / (writeSeconds + verifySeconds));
    const RawRates raw = RawFileRates(lab, source, files);
    printf("raw    write %8.1f MB/s, read %8.1f MB/s (the same megabytes by the file calls)\n", raw.Write, raw.Read);
    bench::PrintFigure("the burner's write", total / writeSeconds, "MB/s", "the raw file calls writing", raw.Write,
                       "above 22 MB/s (a 16x DVD)");
    bench::PrintFigure("the burner's verify", total / verifySeconds, "MB/s", "the raw file calls reading", raw.Read,
                       "above 22 MB/s (a 16x DVD)");
    for (KAVO_HANDLE handle : {tree, project, disc, drive, engine}) KAVO_Release(handle);
    // A job of gigabytes is not worth keeping: remove the source and the written image.
    DeleteFileA(source.c_str());
    WIN32_FIND_DATAA found;
    const HANDLE images = FindFirstFileA((lab + "\\discs\\disc-*.iso").c_str(), &found);
    if (images != INVALID_HANDLE_VALUE) {
        do DeleteFileA((lab + "\\discs\\" + found.cFileName).c_str());
        while (FindNextFileA(images, &found));
        FindClose(images);
    }
    return 0;
}
