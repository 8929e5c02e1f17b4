// The page path taken from Pagorin's command line.
#include <gtest/gtest.h>

#include "CommandLine.h"

using pagorin::GetCommandLineArgument;

namespace {

struct Case {
    const char* Context;
    const char* CommandLine;
    const char* Expected;
};

const char* const Module = "C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe";

TEST(CommandLine, ArgumentIsTakenWithoutProgramPathAndQuotes)
{
    const Case cases[] = {
        {"empty line", "", ""},
        {"program only, quoted", "\"C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe\"", ""},
        {"program and blanks only", "\"C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe\"   ", ""},
        {"quoted program, quoted page",
         "\"C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe\" \"C:\\My Scans\\p.tif\"", "C:\\My Scans\\p.tif"},
        {"unquoted program with blanks",
         "C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe C:\\Scans\\p.tif", "C:\\Scans\\p.tif"},
        {"module name in other case", "\"c:\\program files\\tessaro systems\\pagorin\\PAGORIN.EXE\" d.jpg", "d.jpg"},
        {"bare program name", "Pagorin.exe C:\\Scans\\p.tif", "C:\\Scans\\p.tif"},
        {"line feed ends the line", "Pagorin.exe a.tif\nsecond line", "a.tif"},
        {"quotes inside the argument dropped", "Pagorin.exe \"C:\\A B\\\"x.tif\"", "C:\\A B\\x.tif"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetCommandLineArgument(c.CommandLine, Module), c.Expected) << c.Context;
}

// A hot-key tool that saves into Pagorin's own folder must not lose its pages.
TEST(CommandLine, PagePathInsidePagorinFolderSurvives)
{
    EXPECT_EQ(GetCommandLineArgument(
                  "\"C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe\" C:\\Pagorin\\Scans\\Page001.jpg", Module),
              "C:\\Pagorin\\Scans\\Page001.jpg");
    EXPECT_EQ(GetCommandLineArgument(
                  "\"C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe\" \"C:\\Pagorin Scans\\p.tif\"", Module),
              "C:\\Pagorin Scans\\p.tif");
}

TEST(CommandLine, LongArgumentIsCutTo259Characters)
{
    std::string page = "C:\\" + std::string(400, 'x') + ".tif";
    std::string result = GetCommandLineArgument("Pagorin.exe " + page, Module);
    EXPECT_EQ(result.size(), 259u);
    EXPECT_EQ(result, page.substr(0, 259));
}

}  // namespace
