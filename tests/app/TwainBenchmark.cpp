// Pages per second from the lab's virtual scanner through Pagorin's TWAIN session to page files and tree nodes,
// beside the lab's own TWAIN client (twainscan.exe) on the same source in the same run, as a ratio. Not a test.
//   twain_benchmark [pages=100]
// Pagorin's time runs from the scan start (source opened, capabilities set) to the scan's end; the lab client
// counts from its enable to its last page.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchFigure.h"
#include "TwainBenchmarkSupport.h"

using namespace twainbench;

int main(int argc, char** argv)
{
    int pages = argc > 1 ? atoi(argv[1]) : 100;
    if (pages < 1)
        pages = 100;
    ScanBench bench(pages);
    if (!bench.Ready()) {
        fprintf(stderr, "twain_benchmark: cannot install the virtual scanner\n");
        return 1;
    }
    const TempDir& work = bench.Work;
    const Run runs[] = {{"grey JPEG pages at 200 dpi", "JPG", "Grayscale", "200", L"jpg", L"gray"},
                        {"colour TIFF pages at 300 dpi", "TIFF", "24-bit Color", "300", L"tif", L"rgb"}};
    int failures = 0;
    for (size_t i = 0; i < std::size(runs); ++i) {
        const Run& run = runs[i];
        std::wstring queue = work.File(L"pagorin-" + std::to_wstring(i)), client = work.File(L"client-" + std::to_wstring(i));
        CreateDirectoryW(queue.c_str(), nullptr);
        CreateDirectoryW(client.c_str(), nullptr);
        int nodes = 0;
        double pagorin = ThroughPagorin(run, pages, queue, bench.Parent, bench.Tree, nodes);
        double lab = ThroughLabClient(run, pages, client, work.File(L"client-" + std::to_wstring(i) + L".txt"));
        if (pagorin == 0 || lab == 0) {
            ++failures;
            printf("%d %s: FAILED (Pagorin %.2f pages/s, lab client %.2f pages/s)\n", pages, run.Title, pagorin, lab);
            continue;
        }
        printf("%d %s: Pagorin %.2f pages/s (%d tree nodes), lab client %.2f pages/s, Pagorin at %.2fx the lab "
               "client's time\n",
               pages, run.Title, pagorin, nodes, lab, lab / pagorin);
        bench::PrintFigure((std::string("TWAIN session to page files: ") + run.Title).c_str(), pagorin, "pages/s",
                           "lab client", lab, "none of its own (the scan of the 2.5 pages/s road)");
    }
    return failures == 0 ? 0 : 1;
}
