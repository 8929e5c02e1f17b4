// Scans pages from the virtual scanner through Wine's TWAIN source manager into a folder, and prints the pages
// and pages per second. Used by the Linux-side image checks and as the scanner benchmark:
//   twainscan <folder> [pages=100] [tif|bmp|jpg|png=jpg] [bw|gray|rgb=gray] [dpi=200]
// Without PAGORIN_LAB it uses a lab of its own whose scenario holds the given number of sheets.
#include "TwainClient.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Format {
    const wchar_t* name;
    TW_UINT16 code;
};
const Format kFormats[] = {{L"tif", TWFF_TIFF}, {L"bmp", TWFF_BMP}, {L"jpg", TWFF_JFIF}, {L"png", TWFF_PNG}};
const Format kPixelTypes[] = {{L"bw", TWPT_BW}, {L"gray", TWPT_GRAY}, {L"rgb", TWPT_RGB}};

template <size_t N>
const Format* Lookup(const Format (&table)[N], const wchar_t* name) {
    for (const auto& entry : table)
        if (wcscmp(entry.name, name) == 0) return &entry;
    return nullptr;
}

// A lab folder with a scenario of `sheets` sheets, unless the caller named a lab.
void PrepareLab(int sheets) {
    if (GetEnvironmentVariableW(L"PAGORIN_LAB", nullptr, 0) != 0) return;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring lab = std::wstring(temp) + L"twainscan-lab-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(lab.c_str(), nullptr);
    DeleteFileW((lab + L"\\scanner-pages.txt").c_str());
    const std::string scenario = "[Scanner]\nSheets = " + std::to_string(sheets) + "\n";
    HANDLE file = CreateFileW((lab + L"\\scenario.ini").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, scenario.data(), DWORD(scenario.size()), &written, nullptr);
    CloseHandle(file);
    SetEnvironmentVariableW(L"PAGORIN_LAB", lab.c_str());
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: twainscan folder [pages] [tif|bmp|jpg|png] [bw|gray|rgb] [dpi]\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const int pages = argc > 2 ? _wtoi(argv[2]) : 100;
    const Format* format = Lookup(kFormats, argc > 3 ? argv[3] : L"jpg");
    const Format* pixelType = Lookup(kPixelTypes, argc > 4 ? argv[4] : L"gray");
    const int dpi = argc > 5 ? _wtoi(argv[5]) : 200;
    if (!format || !pixelType || pages < 1) {
        fprintf(stderr, "twainscan: unknown format or pixel type\n");
        return 2;
    }
    PrepareLab(pages);
    if (!twainclient::InstallVirtualScanner(ProgramFolder() + L"PagorinScanner.ds")) {
        fprintf(stderr, "twainscan: cannot install the virtual scanner\n");
        return 1;
    }
    twainclient::TwainClient client;
    if (client.OpenManager() != TWRC_SUCCESS || client.OpenSource("Pagorin Virtual Scanner") != TWRC_SUCCESS) {
        fprintf(stderr, "twainscan: no source\n");
        return 1;
    }
    TW_FIX32 fix{TW_INT16(dpi), 0};
    TW_UINT32 resolution;
    memcpy(&resolution, &fix, sizeof resolution);
    if (client.SetOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE) != TWRC_SUCCESS ||
        client.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, pixelType->code) != TWRC_SUCCESS ||
        client.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, resolution) != TWRC_SUCCESS ||
        client.SetOneValue(ICAP_YRESOLUTION, TWTY_FIX32, resolution) != TWRC_SUCCESS ||
        client.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, TRUE) != TWRC_SUCCESS) {
        fprintf(stderr, "twainscan: negotiation refused\n");
        return 1;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (client.Enable() != TWRC_SUCCESS || client.WaitForEvent(30000) != MSG_XFERREADY) {
        fprintf(stderr, "twainscan: the source did not get ready\n");
        return 1;
    }
    int done = 0;
    TW_UINT16 pending = 0;
    do {
        wchar_t name[32];
        swprintf(name, 32, L"\\Page%03d.%ls", done + 1, format->name);
        if (client.TransferFile(folder + name, format->code, pending) != TWRC_XFERDONE) {
            fprintf(stderr, "twainscan: transfer %d failed, condition %u\n", done + 1, client.TransferCondition());
            return 1;
        }
        ++done;
    } while (pending != 0);
    QueryPerformanceCounter(&end);
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    printf("pages %d seconds %.2f pages/s %.2f\n", done, seconds, done / seconds);
    return 0;
}
