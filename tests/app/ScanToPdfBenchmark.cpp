// Pages per second from the lab's virtual scanner through Pagorin's TWAIN session to JPEG page files, then through
// the PDF road (Fendrix's JPEG copies, the lab's PDF writer) into the transaction's PDF, as the program compiles
// it, beside the same pages scanned by the lab's own TWAIN client and put into a PDF by the writer's own calls,
// measured in the same run. Not a test.
//   scanpdf_benchmark [pages=50]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchFigure.h"
#include "PdfRoadSupport.h"
#include "TwainBenchmarkSupport.h"

using namespace twainbench;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The JPEG files of a folder in name order (the scanners number their pages).
std::vector<std::string> JpegsOf(const std::wstring& folder)
{
    std::vector<std::string> files;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*.jpg").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do files.push_back(ToUtf8(folder + L"\\" + found.cFileName));
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Seconds of the PDF road over the scanned pages of one closed transaction; 0 when no PDF was saved.
double ThroughPdfRoad(const std::vector<std::string>& pages, const std::string& pdfPath)
{
    pdfroadtest::TimerPlayer player;
    Clock::time_point start = Clock::now();
    std::vector<pagorin::PdfTransaction> transactions{pdfroadtest::StartTransaction(player, pdfPath, pages)};
    bool saved = player.RunToTheEnd(transactions, 600000) && player.Outcomes()[0] && player.Outcomes()[0]->Saved;
    return saved ? SecondsSince(start) : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    int pages = argc > 1 ? atoi(argv[1]) : 50;
    if (pages < 1)
        pages = 50;
    ScanBench bench(pages);
    if (!bench.Ready()) {
        fprintf(stderr, "scanpdf_benchmark: cannot install the virtual scanner\n");
        return 1;
    }
    const Run run{"grey JPEG pages at 200 dpi", "JPG", "Grayscale", "200", L"jpg", L"gray"};
    std::wstring queue = bench.Work.File(L"queue"), client = bench.Work.File(L"client");
    CreateDirectoryW(queue.c_str(), nullptr);
    CreateDirectoryW(client.c_str(), nullptr);

    int nodes = 0;
    double scanRate = ThroughPagorin(run, pages, queue, bench.Parent, bench.Tree, nodes);
    std::vector<std::string> scanned = JpegsOf(queue + L"\\T");
    double road = scanRate > 0 ? ThroughPdfRoad(scanned, ToUtf8(queue) + "\\T\\T.pdf") : 0;

    double clientRate = ThroughLabClient(run, pages, client, bench.Work.File(L"client.txt"));
    std::vector<std::string> clientPages = JpegsOf(client);
    Clock::time_point start = Clock::now();
    bool written = clientRate > 0 && int(clientPages.size()) == pages &&
                   pdfroadtest::WritePdfOfJpegs(clientPages, ToUtf8(client) + "\\Direct.pdf");
    double direct = SecondsSince(start);

    if (road == 0 || !written) {
        printf("%d %s: FAILED (Pagorin's scan %.2f pages/s, %zu page files, PDF road %s; lab client %.2f pages/s, "
               "%zu pages, PDF %s)\n",
               pages, run.Title, scanRate, scanned.size(), road > 0 ? "saved" : "not saved", clientRate,
               clientPages.size(), written ? "written" : "not written");
        return 1;
    }
    double pagorinSeconds = pages / scanRate + road, referenceSeconds = pages / clientRate + direct;
    printf("%d %s, scanned then compiled into one PDF:\n", pages, run.Title);
    printf("  Pagorin: scan %.2f s, PDF road %.2f s, %.2f pages/s\n", pages / scanRate, road, pages / pagorinSeconds);
    printf("  lab client and the PDF writer's own calls: scan %.2f s, PDF %.2f s, %.2f pages/s\n", pages / clientRate,
           direct, pages / referenceSeconds);
    bench::PrintFigure("pages a second through scan, page file, JPEG and PDF", pages / pagorinSeconds, "pages/s",
                       "lab client's scan and the PDF writer's own calls", pages / referenceSeconds,
                       "above 2.5 pages/s");
    return 0;
}
