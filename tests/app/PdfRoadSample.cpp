// Compiles page files into one PDF through the PDF road, as the main window's timer would, for the Linux-side
// judges: pdfroad_sample output.pdf page ... Exit code 0 when the PDF was saved.
#include <cstdio>

#include "PdfRoadSupport.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: pdfroad_sample output.pdf page ...\n");
        return 2;
    }
    pdfroadtest::TimerPlayer player;
    std::vector<pagorin::PdfTransaction> transactions{
        pdfroadtest::StartTransaction(player, argv[1], std::vector<std::string>(argv + 2, argv + argc))};
    if (!player.RunToTheEnd(transactions, 120000) || !player.Outcomes()[0]) {
        std::fprintf(stderr, "pdfroad_sample: no outcome in time\n");
        return 1;
    }
    if (!player.Outcomes()[0]->Saved) {
        std::fprintf(stderr, "pdfroad_sample: %s\n", player.Outcomes()[0]->Reason.c_str());
        return 1;
    }
    return 0;
}
