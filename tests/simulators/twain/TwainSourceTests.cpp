// The virtual scanner driven through Wine's TWAIN source manager by a small application.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TwainClient.h"
#include "WicImage.h"

using namespace testsupport;
using twainclient::TwainClient;

namespace {

const char kProduct[] = "Pagorin Virtual Scanner";

class TwainSourceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(twainclient::InstallVirtualScanner(BinDir() + L"PagorinScanner.ds"));
    }
    void SetUp() override { SetEnvironmentVariableW(L"PAGORIN_LAB", lab_.Path().c_str()); }
    void TearDown() override { SetEnvironmentVariableW(L"PAGORIN_LAB", nullptr); }
    void Scenario(const std::string& text) { WriteFileBytes(lab_.File(L"scenario.ini"), text); }

    TempDir lab_, pages_;
};

}  // namespace

TEST_F(TwainSourceTest, ManagerListsAndOpensTheSource) {
    TwainClient client;
    ASSERT_TRUE(client.Loaded());
    ASSERT_EQ(client.OpenManager(), TWRC_SUCCESS);
    bool listed = false;
    for (const auto& identity : client.Sources()) listed |= std::string(identity.ProductName) == kProduct;
    EXPECT_TRUE(listed);
    ASSERT_EQ(client.OpenSource(kProduct), TWRC_SUCCESS);
    EXPECT_EQ(client.SetOneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_FILE), TWRC_SUCCESS);
    ASSERT_EQ(client.Enable(), TWRC_SUCCESS);
    EXPECT_EQ(client.WaitForEvent(5000), MSG_XFERREADY);
    int pages = 0;
    TW_UINT16 pending = 0;
    do {
        const std::wstring file = pages_.File(L"Page" + std::to_wstring(pages + 1) + L".bmp");
        ASSERT_EQ(client.TransferFile(file, TWFF_BMP, pending), TWRC_XFERDONE);
        ++pages;
    } while (pending != 0);
    EXPECT_EQ(pages, 3);
    printf("%s\n", ReadFileBytes(lab_.File(L"trace.log")).c_str());
}
