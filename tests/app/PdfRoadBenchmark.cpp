// Pages per second through the PDF road (page files -> Fendrix's JPEG copies -> PDF), against the aim of
// 2.5 pages a second (the fastest production scanner) and against the same work done one page after
// another without the road, measured in the same run. Not a test.
// Usage: pdfroad_benchmark [pages=100] [jpg|tif|png|bmp]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchFigure.h"
#include "PdfRoadSupport.h"
#include "TestImages.h"

using Clock = std::chrono::steady_clock;

namespace {

constexpr double AimPagesPerSecond = 2.5;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

GUID ContainerOf(const std::string& format)
{
    if (format == "tif")
        return GUID_ContainerFormatTiff;
    if (format == "png")
        return GUID_ContainerFormatPng;
    if (format == "bmp")
        return GUID_ContainerFormatBmp;
    return GUID_ContainerFormatJpeg;
}

// `count` A4 pages at 200 dpi in a new folder, five different pictures in turn.
std::vector<std::string> ScannedPages(const std::string& folder, int count, const std::string& format)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    std::vector<std::string> pages;
    for (int n = 1; n <= count; ++n) {
        char name[32];
        snprintf(name, sizeof name, "\\Page%03d.%s", n, format.c_str());
        pages.push_back(folder + name);
        if (n <= 5) {
            std::wstring path(pages.back().begin(), pages.back().end());
            testimages::Write(path, ContainerOf(format), 1654 + n, 2339, 200);
        } else {
            CopyFileA(pages[(n - 1) % 5].c_str(), pages.back().c_str(), FALSE);
        }
    }
    return pages;
}

// The same work without the road: each page copied to JPEG by Fendrix, one after another, then the copies put
// into a PDF by the writer's own calls.
bool OnePageAfterAnother(const std::vector<std::string>& pages, const std::string& pdfPath)
{
    std::vector<std::string> jpegs;
    bool ok = true;
    for (size_t n = 0; ok && n < pages.size(); ++n) {
        std::string command = "\"" + pagorin::FendrixPath + "\" \"" + pages[n] + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ok = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
        if (!ok)
            break;
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        jpegs.push_back(pages[n].substr(0, pages[n].find('.')) + "~.jpg");
    }
    ok = ok && pdfroadtest::WritePdfOfJpegs(jpegs, pdfPath);
    for (const std::string& jpeg : jpegs)
        DeleteFileA(jpeg.c_str());
    return ok;
}

// Removes the files of a folder and the folder.
void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do DeleteFileA((folder + "\\" + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 100;
    std::string format = argc > 2 ? argv[2] : "jpg";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "pdfroad-benchmark-" + std::to_string(GetCurrentProcessId());
    SetEnvironmentVariableA("PAGORIN_LAB", (folder + "-lab").c_str());
    std::vector<std::string> pages = ScannedPages(folder, count, format);

    pdfroadtest::TimerPlayer player;
    auto start = Clock::now();
    std::vector<pagorin::PdfTransaction> transactions{
        pdfroadtest::StartTransaction(player, folder + "\\Road.pdf", pages)};
    bool roadDone = player.RunToTheEnd(transactions, 600000) && player.Outcomes()[0] && player.Outcomes()[0]->Saved;
    double road = Seconds(start);

    start = Clock::now();
    bool directDone = OnePageAfterAnother(pages, folder + "\\Direct.pdf");
    double direct = Seconds(start);

    double roadRate = count / road, directRate = count / direct;
    std::printf("PDF road benchmark: %d %s pages (A4, 200 dpi)\n", count, format.c_str());
    std::printf("  through the road       %6.2f s  %5.2f pages/s%s\n", road, roadRate, roadDone ? "" : " (FAILED)");
    std::printf("  one page after another %6.2f s  %5.2f pages/s%s\n", direct, directRate,
                directDone ? "" : " (FAILED)");
    std::printf("  ratio road / aim of %.1f pages/s = %.2f (above 1: faster than the fastest scanner)\n",
                AimPagesPerSecond, roadRate / AimPagesPerSecond);
    std::printf("  ratio road / one page after another = %.2f\n", roadRate / directRate);
    bench::PrintFigure("pages a second through the PDF road (page files, JPEG copies, PDF)", roadRate, "pages/s",
                       "the same pages one after another", directRate, "above 2.5 pages/s");
    RemoveFolder(folder);
    RemoveFolder(folder + "-lab");
    return roadDone && directDone ? 0 : 1;
}
