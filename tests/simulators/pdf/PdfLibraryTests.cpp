// PDFLIBRARY.DLL through its exports under Wine: the JPEG reader, the written file, handle checks, injected
// failures and the trace. The Linux-side judges (qpdf, poppler) check the PDFs in check-pdf.sh.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "JpegInfo.h"
#include "PdfDocument.h"
#include "PdfLibrary.h"
#include "TestImages.h"
#include "TestSupport.h"

using namespace testsupport;

namespace {

// A minimal JPEG head: SOI, optional APP0/APP14, SOF0 and SOS segments.
std::string JpegHead(int units, int xDensity, int yDensity, int components, int precision = 8,
                     bool adobe = false) {
    auto be16 = [](int value) { return std::string{char(value >> 8), char(value & 0xFF)}; };
    std::string bytes = "\xFF\xD8";
    if (units >= 0)
        bytes += "\xFF\xE0" + be16(16) + std::string("JFIF\0\x01\x02", 7) + char(units) + be16(xDensity) +
                 be16(yDensity) + std::string(2, '\0');
    if (adobe) bytes += "\xFF\xEE" + be16(14) + "Adobe" + std::string(7, '\0');
    bytes += "\xFF\xC0" + be16(8 + 3 * components) + char(precision) + be16(480) + be16(640) + char(components);
    for (int c = 0; c < components; ++c) bytes += std::string{char(c + 1), '\x11', '\0'};
    bytes += "\xFF\xDA" + be16(2);
    return bytes;
}

// Every test gets a lab of its own, so failure counters and traces start empty.
class PdfLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str()); }
    void TearDown() override { SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr); }
    void Scenario(const std::string& text) { WriteFileBytes(lab_.File(L"scenario.ini"), text); }
    std::string Trace() { return ReadFileBytes(lab_.File(L"trace.log")); }
    std::string Jpeg(const std::wstring& name, UINT width, UINT height, double dpi, bool colour = true) {
        const std::wstring path = files_.File(name);
        testimages::Write(path, GUID_ContainerFormatJpeg, width, height, dpi, colour);
        return ToUtf8(path);
    }

    TempDir lab_, files_;
};

}  // namespace

TEST(JpegInfo, ReadsSizeComponentsAndDensity) {
    struct Row {
        const char* context;
        std::string bytes;
        unsigned components;
        double dpiX, dpiY;
        bool inverted;
    } rows[] = {
        {"dots per inch", JpegHead(1, 300, 150, 3), 3, 300, 150, false},
        {"dots per centimetre", JpegHead(2, 100, 100, 1), 1, 254, 254, false},
        {"aspect ratio only", JpegHead(0, 1, 1, 3), 3, 72, 72, false},
        {"no JFIF segment", JpegHead(-1, 0, 0, 1), 1, 72, 72, false},
        {"Adobe CMYK", JpegHead(-1, 0, 0, 4, 8, true), 4, 72, 72, true},
    };
    for (const auto& row : rows) {
        const pdf::JpegInfo info = pdf::ParseJpeg(row.bytes);
        EXPECT_EQ(info.width, 640u) << row.context;
        EXPECT_EQ(info.height, 480u) << row.context;
        EXPECT_EQ(info.components, row.components) << row.context;
        EXPECT_DOUBLE_EQ(info.dpiX, row.dpiX) << row.context;
        EXPECT_DOUBLE_EQ(info.dpiY, row.dpiY) << row.context;
        EXPECT_EQ(info.adobeInverted, row.inverted) << row.context;
    }
}

TEST(JpegInfo, RefusesWhatDctDecodeCannotShow) {
    const std::string good = JpegHead(1, 300, 300, 3);
    struct Row {
        const char* context;
        std::string bytes;
    } rows[] = {
        {"empty", ""},
        {"PNG signature", "\x89PNG\r\n\x1a\n"},
        {"cut inside the frame header", good.substr(0, good.size() - 12)},
        {"cut before the scan", good.substr(0, good.size() - 4)},
        {"12-bit samples", JpegHead(1, 300, 300, 3, 12)},
        {"two components", JpegHead(1, 300, 300, 2)},
    };
    for (const auto& row : rows) EXPECT_THROW(pdf::ParseJpeg(row.bytes), pdf::PdfError) << row.context;
}

TEST(PdfText, TitlesAreUtf16BigEndianWithByteOrderMark) {
    EXPECT_EQ(pdf::PdfTextString(L"Page 1"), "<FEFF005000610067006500200031>");
    EXPECT_EQ(pdf::PdfTextString(L"\u20ac\U0001F4BF"), "<FEFF20ACD83DDCBF>");
    EXPECT_EQ(pdf::PdfTextString(L""), "<FEFF>");
}

TEST_F(PdfLibraryTest, SavedFileEmbedsEveryJpegUnchangedAndSizesPagesByDensity) {
    const std::string first = Jpeg(L"a.jpg", 200, 100, 100), second = Jpeg(L"b.jpg", 300, 150, 150, false);
    RURARO_DOCUMENT document = RURARO_Create("", "");
    ASSERT_NE(document, nullptr);
    RURARO_SECTION one = RURARO_AddSection(document, "Page 1");
    RURARO_SECTION two = RURARO_AddSection(document, "Page 2");
    ASSERT_TRUE(one && two);
    EXPECT_TRUE(RURARO_AddImageFilePage(one, RURARO_IMAGE_JPEG, first.c_str()));
    EXPECT_TRUE(RURARO_AddImageFilePage(two, RURARO_IMAGE_JPEG, second.c_str()));
    const std::wstring out = files_.File(L"out.pdf");
    EXPECT_TRUE(RURARO_SaveToFileName(document, ToUtf8(out).c_str()));
    RURARO_Free(document);

    const std::string pdf = ReadFileBytes(out);
    EXPECT_EQ(pdf.substr(0, 8), "%PDF-1.4");
    EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
    EXPECT_NE(pdf.find(ReadFileBytes(FromUtf8(first))), std::string::npos);
    EXPECT_NE(pdf.find(ReadFileBytes(FromUtf8(second))), std::string::npos);
    EXPECT_NE(pdf.find("/MediaBox [0 0 144 72]"), std::string::npos);  // 200 x 100 px at 100 dpi
    EXPECT_NE(pdf.find("/ColorSpace /DeviceGray"), std::string::npos);
    EXPECT_NE(pdf.find("/Type /Pages /Count 2"), std::string::npos);
    EXPECT_NE(pdf.find(pdf::PdfTextString(L"Page 2")), std::string::npos);
    EXPECT_EQ(GetFileAttributesW((out + L".partial").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PdfLibraryTest, PageSurvivesItsFileBeingRemovedBeforeSaving) {
    const std::string page = Jpeg(L"gone.jpg", 64, 64, 72);
    const std::string bytes = ReadFileBytes(FromUtf8(page));
    RURARO_DOCUMENT document = RURARO_Create("", "");
    ASSERT_TRUE(RURARO_AddImageFilePage(RURARO_AddSection(document, "Page 1"), RURARO_IMAGE_JPEG, page.c_str()));
    ASSERT_TRUE(DeleteFileW(FromUtf8(page).c_str()));
    const std::wstring out = files_.File(L"out.pdf");
    EXPECT_TRUE(RURARO_SaveToFileName(document, ToUtf8(out).c_str()));
    RURARO_Free(document);
    EXPECT_NE(ReadFileBytes(out).find(bytes), std::string::npos);
}

// The images go into the document's file as they are added; the save completes that file and moves it into
// place, so nothing is left beside the pages, whether the document is saved or only freed.
TEST_F(PdfLibraryTest, WorkingFileBecomesThePdfOrGoesAway) {
    const std::string page = Jpeg(L"p.jpg", 40, 30, 72);
    auto workingFiles = [&] {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(files_.File(L"*.tmp").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        int count = 0;
        do ++count;
        while (FindNextFileW(search, &found));
        FindClose(search);
        return count;
    };
    RURARO_DOCUMENT unsaved = RURARO_Create("", "");
    ASSERT_TRUE(RURARO_AddImageFilePage(RURARO_AddSection(unsaved, "Page 1"), RURARO_IMAGE_JPEG, page.c_str()));
    EXPECT_EQ(workingFiles(), 1);
    RURARO_Free(unsaved);
    EXPECT_EQ(workingFiles(), 0);

    RURARO_DOCUMENT document = RURARO_Create("", "");
    RURARO_SECTION section = RURARO_AddSection(document, "Page 1");
    ASSERT_TRUE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, page.c_str()));
    const std::wstring out = files_.File(L"out.pdf");
    ASSERT_TRUE(RURARO_SaveToFileName(document, ToUtf8(out).c_str()));
    EXPECT_EQ(workingFiles(), 0);
    // Saved means complete: nothing more is taken, and the file stays as saved.
    const std::string saved = ReadFileBytes(out);
    EXPECT_EQ(RURARO_AddSection(document, "Page 2"), nullptr);
    EXPECT_FALSE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, page.c_str()));
    EXPECT_FALSE(RURARO_SaveToFileName(document, ToUtf8(files_.File(L"again.pdf")).c_str()));
    RURARO_Free(document);
    EXPECT_EQ(ReadFileBytes(out), saved);
    EXPECT_EQ(GetFileAttributesW(files_.File(L"again.pdf").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PdfLibraryTest, FailedSaveKeepsEveryPageForTheNextSave) {
    const std::string first = Jpeg(L"a.jpg", 64, 48, 72), second = Jpeg(L"b.jpg", 32, 32, 72);
    RURARO_DOCUMENT document = RURARO_Create("", "");
    ASSERT_TRUE(RURARO_AddImageFilePage(RURARO_AddSection(document, "Page 1"), RURARO_IMAGE_JPEG, first.c_str()));
    EXPECT_FALSE(RURARO_SaveToFileName(document, ToUtf8(files_.File(L"missing\\out.pdf")).c_str()));
    ASSERT_TRUE(RURARO_AddImageFilePage(RURARO_AddSection(document, "Page 2"), RURARO_IMAGE_JPEG, second.c_str()));
    const std::wstring out = files_.File(L"out.pdf");
    EXPECT_TRUE(RURARO_SaveToFileName(document, ToUtf8(out).c_str()));
    RURARO_Free(document);
    const std::string pdf = ReadFileBytes(out);
    EXPECT_NE(pdf.find(ReadFileBytes(FromUtf8(first))), std::string::npos);
    EXPECT_NE(pdf.find(ReadFileBytes(FromUtf8(second))), std::string::npos);
    EXPECT_NE(pdf.find("/Type /Pages /Count 2"), std::string::npos);
    EXPECT_EQ(pdf.find("trailer"), pdf.rfind("trailer")) << "the failed save's end must be gone";
}

TEST_F(PdfLibraryTest, BadArgumentsFailWithoutHarm) {
    const std::string page = Jpeg(L"p.jpg", 32, 32, 72);
    const std::wstring notJpeg = files_.File(L"p.bmp");
    testimages::Write(notJpeg, GUID_ContainerFormatBmp, 32, 32, 72);
    RURARO_DOCUMENT document = RURARO_Create(nullptr, nullptr);
    ASSERT_NE(document, nullptr);
    RURARO_SECTION section = RURARO_AddSection(document, nullptr);
    ASSERT_NE(section, nullptr);
    auto stranger = reinterpret_cast<RURARO_SECTION>(static_cast<INT_PTR>(0x1234));
    EXPECT_FALSE(RURARO_AddImageFilePage(stranger, RURARO_IMAGE_JPEG, page.c_str()));
    EXPECT_FALSE(RURARO_AddImageFilePage(section, 1, page.c_str()));
    EXPECT_FALSE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, ToUtf8(notJpeg).c_str()));
    EXPECT_FALSE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, ToUtf8(files_.File(L"none.jpg")).c_str()));
    EXPECT_FALSE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, nullptr));
    EXPECT_EQ(RURARO_AddSection(reinterpret_cast<RURARO_DOCUMENT>(stranger), "x"), nullptr);
    const std::wstring unreachable = files_.File(L"missing\\out.pdf");
    EXPECT_FALSE(RURARO_SaveToFileName(document, ToUtf8(unreachable).c_str()));
    EXPECT_FALSE(RURARO_SaveToFileName(document, nullptr));
    RURARO_Free(document);
    RURARO_Free(nullptr);
    // Handles of a freed document are refused, not used.
    EXPECT_FALSE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, page.c_str()));
    EXPECT_FALSE(RURARO_SaveToFileName(document, ToUtf8(files_.File(L"late.pdf")).c_str()));
    EXPECT_EQ(GetFileAttributesW(files_.File(L"late.pdf").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PdfLibraryTest, InjectedFailuresHitTheNamedCalls) {
    Scenario("[Failures]\nPDFLIBRARY.RURARO_Create = 1:1\nPDFLIBRARY.RURARO_AddImageFilePage = 2:1\n"
             "PDFLIBRARY.RURARO_SaveToFileName = 1:1\n");
    const std::string page = Jpeg(L"p.jpg", 32, 32, 72);
    EXPECT_EQ(RURARO_Create("", ""), nullptr);
    RURARO_DOCUMENT document = RURARO_Create("", "");
    ASSERT_NE(document, nullptr);
    RURARO_SECTION section = RURARO_AddSection(document, "Page 1");
    EXPECT_TRUE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, page.c_str()));
    EXPECT_FALSE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, page.c_str()));
    const std::wstring out = files_.File(L"out.pdf");
    EXPECT_FALSE(RURARO_SaveToFileName(document, ToUtf8(out).c_str()));
    EXPECT_EQ(GetFileAttributesW(out.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(RURARO_SaveToFileName(document, ToUtf8(out).c_str()));
    RURARO_Free(document);
    EXPECT_NE(ReadFileBytes(out).find("/Type /Pages /Count 1"), std::string::npos);

    const std::string trace = Trace();
    EXPECT_NE(trace.find("PDFLIBRARY\tRURARO_AddSection\t"), std::string::npos);
    EXPECT_NE(trace.find("|Page 1\t"), std::string::npos);
    EXPECT_NE(trace.find("PDFLIBRARY\tRURARO_Free\t"), std::string::npos);
}

// As for every device of the lab, a call waits what the scenario's [Delays] give it.
TEST_F(PdfLibraryTest, ScenarioDelaysHoldTheNamedCalls) {
    Scenario("[Delays]\nPDFLIBRARY.RURARO_AddImageFilePage = 400\n");
    const std::string page = Jpeg(L"p.jpg", 32, 32, 72);
    RURARO_DOCUMENT document = RURARO_Create("", "");
    ASSERT_NE(document, nullptr);
    RURARO_SECTION section = RURARO_AddSection(document, "Page 1");
    const DWORD start = GetTickCount();
    EXPECT_TRUE(RURARO_AddImageFilePage(section, RURARO_IMAGE_JPEG, page.c_str()));
    EXPECT_GE(GetTickCount() - start, 350u);
    RURARO_Free(document);
}

TEST_F(PdfLibraryTest, DocumentsOnSeveralThreadsStayApart) {
    const std::string page = Jpeg(L"p.jpg", 48, 48, 72);
    std::vector<std::thread> threads;
    std::vector<int> saved(8, 0);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            RURARO_DOCUMENT document = RURARO_Create("", "");
            for (int n = 0; n <= t; ++n)
                RURARO_AddImageFilePage(RURARO_AddSection(document, ("Page " + std::to_string(n + 1)).c_str()),
                                        RURARO_IMAGE_JPEG, page.c_str());
            saved[t] = RURARO_SaveToFileName(document, ToUtf8(files_.File(std::to_wstring(t) + L".pdf")).c_str());
            RURARO_Free(document);
        });
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < 8; ++t) {
        EXPECT_TRUE(saved[t]) << t;
        EXPECT_NE(ReadFileBytes(files_.File(std::to_wstring(t) + L".pdf")).find("/Count " + std::to_string(t + 1)),
                  std::string::npos)
            << t;
    }
}
