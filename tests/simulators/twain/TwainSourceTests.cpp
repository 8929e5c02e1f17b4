// The virtual scanner driven through Wine's TWAIN source manager by a small application: identity,
// capabilities, states, file transfers of every format and pixel type, and the faults a scenario injects.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TwainClient.h"
#include "WicImage.h"

#include <cstring>

using namespace testsupport;
using twainclient::TwainClient;

namespace {

const char kProduct[] = "Pagorin Virtual Scanner";

struct Decoded {
    UINT width = 0, height = 0;
    double dpiX = 0;
    GUID container{};
    WICPixelFormatGUID format{};
};

Decoded DecodeFile(const std::wstring& path) {
    wic::ComApartment com;
    const wic::DecodedImage image = wic::Decode(path);
    Decoded result;
    result.container = image.container;
    image.frame->GetSize(&result.width, &result.height);
    double dpiY = 0;
    image.frame->GetResolution(&result.dpiX, &dpiY);
    image.frame->GetPixelFormat(&result.format);
    return result;
}

template <typename T>
T At(const std::string& container, size_t offset) {
    T value{};
    memcpy(&value, container.data() + offset, sizeof value);
    return value;
}

// Points this process at a lab of its own for as long as it lives.
class LabFolder {
public:
    explicit LabFolder(const std::wstring& path) { SetEnvironmentVariableW(L"PAGORIN_LAB", path.c_str()); }
    ~LabFolder() { SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr); }
};

class TwainSourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds")); }
    void Scenario(const std::string& text) { WriteFileBytes(lab_.File(L"scenario.ini"), text); }

    // Manager and source open, file transfer chosen.
    void Open(bool fileTransfer = true) {
        ASSERT_TRUE(client_.Loaded());
        ASSERT_EQ(client_.OpenManager(), TWRC_SUCCESS);
        ASSERT_EQ(client_.OpenSource(kProduct), TWRC_SUCCESS);
        if (fileTransfer) {
            ASSERT_EQ(client_.SetOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE), TWRC_SUCCESS);
        }
    }
    // Enables the source, waits for its signal and transfers until nothing is pending; gives the page files.
    std::vector<std::wstring> ScanAll(TW_UINT16 format = TWFF_BMP, const wchar_t* extension = L"bmp") {
        std::vector<std::wstring> files;
        EXPECT_EQ(client_.Enable(), TWRC_SUCCESS);
        EXPECT_EQ(client_.WaitForEvent(10000), MSG_XFERREADY);
        TW_UINT16 pending = 0;
        do {
            const std::wstring file = pages_.File(L"Page" + std::to_wstring(files.size() + 1) + L"." + extension);
            const TW_UINT16 result = client_.TransferFile(file, format, pending);
            if (result != TWRC_XFERDONE) {
                last_ = result;
                break;
            }
            files.push_back(file);
        } while (pending != 0 && files.size() < 100);
        return files;
    }

    TempDir lab_, pages_;
    LabFolder labFolder_{lab_.Path()};
    TwainClient client_;  // closed first, still tracing into the lab
    TW_UINT16 last_ = TWRC_XFERDONE;
};

}  // namespace

TEST_F(TwainSourceTest, ManagerListsTheSourceWithItsIdentity) {
    ASSERT_EQ(client_.OpenManager(), TWRC_SUCCESS);
    const auto sources = client_.Sources();
    const auto found = std::find_if(sources.begin(), sources.end(), [](const TW_IDENTITY& identity) {
        return std::string(identity.ProductName) == kProduct;
    });
    ASSERT_NE(found, sources.end());
    EXPECT_STREQ(found->Manufacturer, "Pagorin Lab");
    EXPECT_EQ(found->ProtocolMajor, 1);
    EXPECT_EQ(found->SupportedGroups & (DG_CONTROL | DG_IMAGE), DG_CONTROL | DG_IMAGE);
}

TEST_F(TwainSourceTest, ScenarioNamesTheProduct) {
    Scenario("[Scanner]\nProductName = Lab Flatbed 9000\n");
    ASSERT_EQ(client_.OpenManager(), TWRC_SUCCESS);
    EXPECT_EQ(client_.OpenSource("Lab Flatbed 9000"), TWRC_SUCCESS);
}

TEST_F(TwainSourceTest, CapabilitiesAnswerInTheirContainers) {
    Open();
    TW_UINT16 type = 0;
    std::string c;
    // Enumerations: item type, count, current index, default index, items.
    struct EnumRow {
        TW_UINT16 cap;
        std::vector<TW_UINT16> items;
        TW_UINT32 current, byDefault;
    } enums[] = {
        {ICAP_XFERMECH, {TWSX_FILE}, 0, 0},
        {ICAP_PIXELTYPE, {TWPT_BW, TWPT_GRAY, TWPT_RGB}, 2, 2},
        {ICAP_IMAGEFILEFORMAT, {TWFF_TIFF, TWFF_BMP, TWFF_JFIF, TWFF_PNG}, 1, 1},
        {ICAP_SUPPORTEDSIZES, {0, 1, 2, 3, 4, 5, 6, 7}, 1, 1},
        {CAP_FEEDERENABLED, {FALSE, TRUE}, 1, 1},
    };
    for (const auto& row : enums) {
        ASSERT_EQ(client_.Query(MSG_GET, row.cap, type, c), TWRC_SUCCESS) << row.cap;
        ASSERT_EQ(type, TWON_ENUMERATION) << row.cap;
        EXPECT_EQ(At<TW_UINT32>(c, 2), row.items.size()) << row.cap;
        EXPECT_EQ(At<TW_UINT32>(c, 6), row.current) << row.cap;
        EXPECT_EQ(At<TW_UINT32>(c, 10), row.byDefault) << row.cap;
        for (size_t i = 0; i < row.items.size(); ++i) EXPECT_EQ(At<TW_UINT16>(c, 14 + 2 * i), row.items[i]) << row.cap;
    }
    for (TW_UINT16 cap : {ICAP_XRESOLUTION, ICAP_YRESOLUTION}) {
        ASSERT_EQ(client_.Query(MSG_GET, cap, type, c), TWRC_SUCCESS);
        ASSERT_EQ(type, TWON_RANGE);
        ASSERT_EQ(c.size(), sizeof(TW_RANGE));
        const auto range = At<TW_RANGE>(c, 0);
        EXPECT_EQ(range.ItemType, TWTY_FIX32);
        EXPECT_EQ(range.MinValue & 0xFFFF, 75u);
        EXPECT_EQ(range.MaxValue & 0xFFFF, 600u);
        EXPECT_EQ(range.DefaultValue & 0xFFFF, 200u);
        EXPECT_EQ(range.CurrentValue & 0xFFFF, 200u);
    }
    ASSERT_EQ(client_.Query(MSG_GET, CAP_DUPLEX, type, c), TWRC_SUCCESS);
    EXPECT_EQ(type, TWON_ONEVALUE);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item, TWDX_NONE);
    ASSERT_EQ(client_.Query(MSG_GET, CAP_SUPPORTEDCAPS, type, c), TWRC_SUCCESS);
    EXPECT_EQ(type, TWON_ARRAY);
    std::vector<TW_UINT16> supported;
    for (TW_UINT32 i = 0; i < At<TW_UINT32>(c, 2); ++i) supported.push_back(At<TW_UINT16>(c, 6 + 2 * i));
    for (TW_UINT16 cap : {CAP_XFERCOUNT, ICAP_XFERMECH, ICAP_PIXELTYPE, ICAP_XRESOLUTION, ICAP_YRESOLUTION,
                          ICAP_IMAGEFILEFORMAT, ICAP_SUPPORTEDSIZES, CAP_FEEDERENABLED, CAP_DUPLEX})
        EXPECT_NE(std::find(supported.begin(), supported.end(), cap), supported.end()) << cap;
    EXPECT_EQ(std::find(supported.begin(), supported.end(), CAP_DUPLEXENABLED), supported.end());
}

TEST_F(TwainSourceTest, SetGetCurrentDefaultResetAndQuerySupport) {
    Open();
    TW_UINT16 type = 0;
    std::string c;
    ASSERT_EQ(client_.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    ASSERT_EQ(client_.Query(MSG_GETCURRENT, ICAP_PIXELTYPE, type, c), TWRC_SUCCESS);
    EXPECT_EQ(type, TWON_ONEVALUE);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item, TWPT_GRAY);
    ASSERT_EQ(client_.Query(MSG_GETDEFAULT, ICAP_PIXELTYPE, type, c), TWRC_SUCCESS);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item, TWPT_RGB);
    ASSERT_EQ(client_.Query(MSG_RESET, ICAP_PIXELTYPE, type, c), TWRC_SUCCESS);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item, TWPT_RGB);

    TW_FIX32 dpi{300, 0};
    TW_UINT32 item;
    memcpy(&item, &dpi, sizeof item);
    ASSERT_EQ(client_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, item), TWRC_SUCCESS);
    ASSERT_EQ(client_.Query(MSG_GET, ICAP_XRESOLUTION, type, c), TWRC_SUCCESS);
    EXPECT_EQ(At<TW_RANGE>(c, 0).CurrentValue & 0xFFFF, 300u);

    ASSERT_EQ(client_.Query(MSG_QUERYSUPPORT, ICAP_PIXELTYPE, type, c), TWRC_SUCCESS);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item,
              TW_UINT32(TWQC_GET | TWQC_SET | TWQC_GETDEFAULT | TWQC_GETCURRENT | TWQC_RESET));
    ASSERT_EQ(client_.Query(MSG_QUERYSUPPORT, CAP_DUPLEX, type, c), TWRC_SUCCESS);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item, TW_UINT32(TWQC_GET | TWQC_GETDEFAULT | TWQC_GETCURRENT));

    struct Refused {
        const char* context;
        TW_UINT16 cap, itemType;
        TW_UINT32 item;
        TW_UINT16 condition;
    } refused[] = {
        {"pixel type not offered", ICAP_PIXELTYPE, TWTY_UINT16, 0xFFFF, TWCC_BADVALUE},
        {"wrong item type", ICAP_PIXELTYPE, TWTY_UINT32, TWPT_GRAY, TWCC_BADVALUE},
        {"resolution below range", ICAP_XRESOLUTION, TWTY_FIX32, 10, TWCC_BADVALUE},
        {"native transfer not offered", ICAP_XFERMECH, TWTY_UINT16, TWSX_NATIVE, TWCC_BADVALUE},
        {"duplex read-only", CAP_DUPLEX, TWTY_UINT16, 1, TWCC_CAPBADOPERATION},
        {"no duplex feeder", CAP_DUPLEXENABLED, TWTY_BOOL, TRUE, TWCC_CAPUNSUPPORTED},
        {"unknown capability", 0x8123, TWTY_UINT16, 1, TWCC_CAPUNSUPPORTED},
    };
    for (const auto& row : refused) {
        EXPECT_EQ(client_.SetOneValue(row.cap, row.itemType, row.item), TWRC_FAILURE) << row.context;
        EXPECT_EQ(client_.Condition(), row.condition) << row.context;
    }
    EXPECT_EQ(client_.Query(MSG_GETCURRENT, ICAP_PIXELTYPE, type, c), TWRC_SUCCESS);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item, TWPT_RGB);
}

TEST_F(TwainSourceTest, EveryFormatAndPixelTypeGivesARealImage) {
    Scenario("[Scanner]\nSheets = 1\n");
    struct Row {
        TW_UINT16 format;
        const wchar_t* extension;
        GUID container;
    } formats[] = {{TWFF_TIFF, L"tif", GUID_ContainerFormatTiff},
                   {TWFF_BMP, L"bmp", GUID_ContainerFormatBmp},
                   {TWFF_JFIF, L"jpg", GUID_ContainerFormatJpeg},
                   {TWFF_PNG, L"png", GUID_ContainerFormatPng}};
    Open();
    ASSERT_EQ(client_.SetOneValue(ICAP_SUPPORTEDSIZES, TWTY_UINT16, TWSS_A5), TWRC_SUCCESS);
    TW_FIX32 dpi{100, 0};
    TW_UINT32 item;
    memcpy(&item, &dpi, sizeof item);
    ASSERT_EQ(client_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, item), TWRC_SUCCESS);
    ASSERT_EQ(client_.SetOneValue(ICAP_YRESOLUTION, TWTY_FIX32, item), TWRC_SUCCESS);
    for (TW_UINT16 pixelType : {TWPT_BW, TWPT_GRAY, TWPT_RGB}) {
        for (const auto& row : formats) {
            const std::string context = ToUtf8(row.extension) + " pixel type " + std::to_string(pixelType);
            ASSERT_EQ(client_.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, pixelType), TWRC_SUCCESS);
            const auto files = ScanAll(row.format, row.extension);
            ASSERT_EQ(files.size(), 1u) << context;
            const Decoded image = DecodeFile(files[0]);
            EXPECT_EQ(image.container, row.container) << context;
            EXPECT_EQ(image.width, 583u) << context;  // A5 at 100 dpi
            EXPECT_EQ(image.height, 827u) << context;
            EXPECT_NEAR(image.dpiX, 100, 0.5) << context;
            const bool colour =
                image.format == GUID_WICPixelFormat24bppBGR || image.format == GUID_WICPixelFormat24bppRGB ||
                image.format == GUID_WICPixelFormat32bppBGR || image.format == GUID_WICPixelFormat32bppBGRA;
            EXPECT_EQ(colour, pixelType == TWPT_RGB) << context;
            if (pixelType == TWPT_BW && row.format != TWFF_JFIF) {
                EXPECT_TRUE(image.format == GUID_WICPixelFormatBlackWhite ||
                            image.format == GUID_WICPixelFormat1bppIndexed)
                    << context;
            }
            ASSERT_EQ(client_.Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
            DeleteFileW(files[0].c_str());
        }
    }
}

TEST_F(TwainSourceTest, DuplexFeederGivesTwoPagesPerSheet) {
    Scenario("[Scanner]\nSheets = 2\nDuplex = yes\n");
    Open();
    TW_UINT16 type = 0;
    std::string c;
    ASSERT_EQ(client_.Query(MSG_GET, CAP_DUPLEX, type, c), TWRC_SUCCESS);
    EXPECT_EQ(At<TW_ONEVALUE>(c, 0).Item, TWDX_1PASSDUPLEX);
    ASSERT_EQ(client_.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, TRUE), TWRC_SUCCESS);
    ASSERT_EQ(client_.SetOneValue(CAP_DUPLEXENABLED, TWTY_BOOL, TRUE), TWRC_SUCCESS);
    EXPECT_EQ(ScanAll().size(), 4u);
}

TEST_F(TwainSourceTest, TransferCountLimitsThePages) {
    Scenario("[Scanner]\nSheets = 5\n");
    Open();
    ASSERT_EQ(client_.SetOneValue(CAP_XFERCOUNT, TWTY_INT16, 2), TWRC_SUCCESS);
    EXPECT_EQ(ScanAll().size(), 2u);
}

TEST_F(TwainSourceTest, PaperJamFailsTheTransferOfItsSheet) {
    Scenario("[Scanner]\nSheets = 5\nPaperJam = 3\n");
    Open();
    EXPECT_EQ(ScanAll().size(), 2u);
    EXPECT_EQ(last_, TWRC_FAILURE);
    EXPECT_EQ(client_.TransferCondition(), TWCC_PAPERJAM);
    EXPECT_EQ(GetFileAttributesW(pages_.File(L"Page3.bmp").c_str()), INVALID_FILE_ATTRIBUTES);
    TW_PENDINGXFERS pending{0xbeef, 0};
    EXPECT_EQ(client_.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
}

TEST_F(TwainSourceTest, SilentSourceNeverSignalsAndCanBeClosed) {
    Scenario("[Scanner]\nNeverSignals = yes\n");
    Open();
    ASSERT_EQ(client_.Enable(), TWRC_SUCCESS);
    EXPECT_EQ(client_.WaitForEvent(1500), MSG_NULL);
    EXPECT_EQ(client_.Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(client_.Condition(), TWCC_SEQERROR);
    EXPECT_EQ(client_.CloseSource(), TWRC_SUCCESS);  // without disabling first
}

TEST_F(TwainSourceTest, EmptyFeederAsksToBeClosed) {
    Scenario("[Scanner]\nSheets = 0\n");
    Open();
    ASSERT_EQ(client_.Enable(), TWRC_SUCCESS);
    EXPECT_EQ(client_.WaitForEvent(5000), MSG_CLOSEDSREQ);
}

TEST_F(TwainSourceTest, RefusedCapabilityAnswersAsUnsupported) {
    Scenario("[Scanner]\nRefuseCapabilities = ICAP_PIXELTYPE, 0x1002\n");
    Open();
    EXPECT_EQ(client_.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_FAILURE);
    EXPECT_EQ(client_.Condition(), TWCC_CAPUNSUPPORTED);
    EXPECT_EQ(client_.SetOneValue(CAP_FEEDERENABLED, TWTY_BOOL, TRUE), TWRC_FAILURE);
    TW_UINT16 type = 0;
    std::string c;
    EXPECT_EQ(client_.Query(MSG_GET, ICAP_PIXELTYPE, type, c), TWRC_FAILURE);
    EXPECT_EQ(ScanAll().size(), 3u);  // the rest still works
}

TEST_F(TwainSourceTest, NoFileTransferRefusesFileMechanismAndSetUp) {
    Scenario("[Scanner]\nNoFileTransfer = yes\n");
    Open(false);
    EXPECT_EQ(client_.SetOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE), TWRC_FAILURE);
    EXPECT_EQ(client_.Condition(), TWCC_BADVALUE);
    TW_SETUPFILEXFER setup{};
    strcpy(setup.FileName, "C:\\x.bmp");
    setup.Format = TWFF_BMP;
    EXPECT_EQ(client_.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_FAILURE);
}

TEST_F(TwainSourceTest, PagesComeFromTheScenarioFolder) {
    TempDir folder;
    {
        wic::ComApartment com;
        for (UINT width : {120u, 240u}) {
            std::vector<BYTE> pixels(width * 3 * 80, 0x80);
            wic::ComPtr<IWICBitmap> bitmap;
            ASSERT_HRESULT_SUCCEEDED(wic::Factory()->CreateBitmapFromMemory(
                width, 80, GUID_WICPixelFormat24bppBGR, width * 3, UINT(pixels.size()), pixels.data(), &bitmap));
            wic::Encode(bitmap.Get(), GUID_ContainerFormatPng, 72, 72,
                        folder.File(L"in" + std::to_wstring(width) + L".png"));
        }
    }
    Scenario("[Scanner]\nPageFolder = " + ToUtf8(folder.Path()) + "\n");
    Open();
    ASSERT_EQ(client_.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    const auto files = ScanAll(TWFF_TIFF, L"tif");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(DecodeFile(files[0]).width, 120u);
    EXPECT_EQ(DecodeFile(files[1]).width, 240u);
    EXPECT_EQ(DecodeFile(files[1]).format, GUID_WICPixelFormat8bppGray);
}

TEST_F(TwainSourceTest, InjectedTransferFailureAndTrace) {
    Scenario("[Failures]\nScanner.IMAGEFILEXFER.GET = 2:1\n");
    Open();
    EXPECT_EQ(ScanAll().size(), 1u);
    EXPECT_EQ(last_, TWRC_FAILURE);
    EXPECT_EQ(client_.TransferCondition(), TWCC_OPERATIONERROR);
    const std::string trace = ReadFileBytes(lab_.File(L"trace.log"));
    const char* order[] = {"IDENTITY.OPENDS",
                           "CAPABILITY.SET\t0x0103=1\t0",
                           "USERINTERFACE.ENABLEDS",
                           "SETUPFILEXFER.SET",
                           "IMAGEFILEXFER.GET\t\t6 state=7",
                           "PENDINGXFERS.ENDXFER",
                           "IMAGEFILEXFER.GET\t\t1 cc=5"};
    size_t at = 0;
    for (const char* entry : order) {
        at = trace.find(entry, at);
        ASSERT_NE(at, std::string::npos) << entry << "\n" << trace;
    }
}

TEST_F(TwainSourceTest, TripletsOutOfSequenceAreRefused) {
    Open();
    EXPECT_EQ(client_.Call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(client_.Condition(), TWCC_SEQERROR);
    ASSERT_EQ(client_.Enable(), TWRC_SUCCESS);
    EXPECT_EQ(client_.Enable(), TWRC_FAILURE);
    EXPECT_EQ(client_.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_FAILURE);
    EXPECT_EQ(client_.Condition(), TWCC_SEQERROR);
    ASSERT_EQ(client_.WaitForEvent(5000), MSG_XFERREADY);
    TW_UINT16 pending = 0;
    // An over-long file name is refused rather than cut.
    TW_SETUPFILEXFER setup{};
    memset(setup.FileName, 'x', sizeof setup.FileName);
    setup.Format = TWFF_BMP;
    EXPECT_EQ(client_.Call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_FAILURE);
    EXPECT_EQ(client_.Condition(), TWCC_BADVALUE);
    EXPECT_EQ(client_.TransferFile(pages_.File(L"a.bmp"), TWFF_BMP, pending), TWRC_XFERDONE);
    EXPECT_EQ(pending, 2);
    TW_PENDINGXFERS reset{0xbeef, 0};
    EXPECT_EQ(client_.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &reset), TWRC_SUCCESS);
    EXPECT_EQ(reset.Count, 0);
    EXPECT_EQ(client_.Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(client_.SetOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
}
