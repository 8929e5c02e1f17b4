// Fendrix.exe started as Pagorin starts it: one page path as its only parameter. Checks the JPEG copy's name,
// that it decodes with the page's size and density, and the injected delay, missing and partial outputs.
#include <gtest/gtest.h>

#include "JpegInfo.h"
#include "TestImages.h"
#include "TestSupport.h"
#include "WicImage.h"

using namespace testsupport;

namespace {

class FendrixTest : public ::testing::Test {
protected:
    void SetUp() override { SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str()); }
    void TearDown() override { SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr); }
    void Scenario(const std::string& text) { WriteFileBytes(lab_.File(L"scenario.ini"), text); }
    // Runs Fendrix on the page, quoted or bare, and gives its exit code (0xdeadbeef when it hung).
    DWORD Convert(const std::wstring& page, bool quoted = true) {
        const std::wstring argument = quoted ? L"\"" + page + L"\"" : page;
        return RunProgram(L"\"" + BinDir() + L"Fendrix.exe\" " + argument, 60000).value_or(0xdeadbeef);
    }
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    TempDir lab_, files_;
};

}  // namespace

TEST_F(FendrixTest, EveryPageFormatBecomesADecodableJpegOfTheSameSizeAndDensity) {
    struct Row {
        const wchar_t* name;
        GUID container;
        bool colour;
        unsigned components;
    } rows[] = {
        {L"Page001.bmp", GUID_ContainerFormatBmp, true, 3},   {L"Page002.tif", GUID_ContainerFormatTiff, true, 3},
        {L"Page003.tif", GUID_ContainerFormatTiff, false, 1}, {L"Page004.png", GUID_ContainerFormatPng, true, 3},
        {L"Page005.png", GUID_ContainerFormatPng, false, 1},  {L"Page006.jpg", GUID_ContainerFormatJpeg, true, 3},
    };
    for (const auto& row : rows) {
        const std::wstring page = files_.File(row.name);
        testimages::Write(page, row.container, 321, 123, 150, row.colour);
        EXPECT_EQ(Convert(page), 0u) << ToUtf8(row.name);
        const std::wstring jpeg = page.substr(0, page.find(L'.')) + L"~.jpg";
        ASSERT_TRUE(Exists(jpeg)) << ToUtf8(row.name);
        const pdf::JpegInfo info = pdf::ParseJpeg(ReadFileBytes(jpeg));
        EXPECT_EQ(info.width, 321u) << ToUtf8(row.name);
        EXPECT_EQ(info.height, 123u) << ToUtf8(row.name);
        EXPECT_EQ(info.components, row.components) << ToUtf8(row.name);
        EXPECT_NEAR(info.dpiX, 150, 1) << ToUtf8(row.name);
        wic::ComApartment com;
        EXPECT_NO_THROW(wic::Decode(jpeg)) << ToUtf8(row.name);
        EXPECT_FALSE(Exists(jpeg + L".partial"));
    }
}

TEST_F(FendrixTest, NameIsCutAtTheFirstDotOfTheWholePath) {
    const std::wstring folder = files_.File(L"scan v1.2 x");
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring page = folder + L"\\Page001.png";
    testimages::Write(page, GUID_ContainerFormatPng, 40, 30, 72);
    EXPECT_EQ(Convert(page, false), 0u);  // bare, with spaces in the path
    EXPECT_TRUE(Exists(files_.File(L"scan v1~.jpg")));
    EXPECT_FALSE(Exists(folder + L"\\Page001~.jpg"));
}

TEST_F(FendrixTest, MissingOrUnreadablePageWritesNothing) {
    EXPECT_NE(Convert(files_.File(L"absent.bmp")), 0u);
    EXPECT_FALSE(Exists(files_.File(L"absent~.jpg")));
    const std::wstring text = files_.File(L"notes.bmp");
    WriteFileBytes(text, "not a picture");
    EXPECT_NE(Convert(text), 0u);
    EXPECT_FALSE(Exists(files_.File(L"notes~.jpg")));
    EXPECT_EQ(RunProgram(L"\"" + BinDir() + L"Fendrix.exe\"").value_or(0xdeadbeef), 1u);
}

TEST_F(FendrixTest, InjectedDelayMissingAndPartialOutputs) {
    Scenario("[Delays]\nFendrix.convert = 800\n[Failures]\nFendrix.convert = 2:1, 3:2\n");
    const std::wstring page = files_.File(L"Page001.bmp");
    testimages::Write(page, GUID_ContainerFormatBmp, 200, 100, 96);
    const std::wstring jpeg = files_.File(L"Page001~.jpg");

    const DWORD start = GetTickCount();
    EXPECT_EQ(Convert(page), 0u);
    EXPECT_GE(GetTickCount() - start, 750u);
    const std::string whole = ReadFileBytes(jpeg);
    DeleteFileW(jpeg.c_str());

    EXPECT_EQ(Convert(page), 4u);  // missing output
    EXPECT_FALSE(Exists(jpeg));

    EXPECT_EQ(Convert(page), 4u);  // partial output
    const std::string part = ReadFileBytes(jpeg);
    EXPECT_EQ(part.size(), whole.size() / 2);
    EXPECT_EQ(part, whole.substr(0, part.size()));

    const std::string trace = ReadFileBytes(lab_.File(L"trace.log"));
    EXPECT_NE(trace.find("Fendrix\tconvert\t"), std::string::npos);
    EXPECT_NE(trace.find("no output (injected)"), std::string::npos);
}
