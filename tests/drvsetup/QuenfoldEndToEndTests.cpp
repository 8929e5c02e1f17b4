// Quenfold.exe itself, run as its callers run it, installing into this prefix's real targets. The cases share
// those targets, so ctest runs them one at a time. Exit codes are read whole (a shell sees them modulo 256).
#include <gtest/gtest.h>

#include <shlobj.h>

#include "DrvSetupTestUtil.h"

using namespace drvsetuptest;
using testsupport::BinDir;

namespace {

const wchar_t kCaption[] = L"Disc burning driver setup";
const wchar_t kRegistryKey[] = L"SOFTWARE\\Corvell\\DRIVER2";

std::wstring DatabaseFile(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, folder))) return L"";
    return std::wstring(folder) + L"\\Corvell\\drivers\\driverdatabase.xml";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class Quenfold : public ::testing::Test {
protected:
    Quenfold() : common_(DatabaseFile(CSIDL_COMMON_APPDATA)), local_(DatabaseFile(CSIDL_LOCAL_APPDATA)) {}

    void SetUp() override {
        ASSERT_FALSE(common_.empty());
        ASSERT_FALSE(local_.empty());
        DeleteFileW(common_.c_str());
        DeleteFileW(local_.c_str());
        testsupport::DeleteRegTree(HKEY_LOCAL_MACHINE, kRegistryKey);
    }

    // Runs a copy of the bare program with this document attached; gives the signed exit code. Every run
    // gets its own copy: the file of a program that has just ended may still be held open for a moment.
    int RunWith(const std::string& document, const std::wstring& arguments = L"-ns") {
        const std::wstring program = dir_.File(L"Quenfold-" + std::to_wstring(++runs_) + L".exe");
        testsupport::WriteFileBytes(program, AttachedProgram(document));
        return RunProgram(program, arguments);
    }
    int RunProgram(const std::wstring& program, const std::wstring& arguments) {
        const auto code = testsupport::RunProgram(L"\"" + program + L"\" " + arguments, 30000);
        EXPECT_TRUE(code.has_value()) << "Quenfold did not end";
        return code ? static_cast<int>(*code) : 1000;
    }

    testsupport::TempDir dir_;
    int runs_ = 0;
    const std::wstring common_;
    const std::wstring local_;
};

TEST_F(Quenfold, ShippedDatabaseInstallsOnceThenIntoTheRegistry) {
    EXPECT_EQ(RunProgram(BinDir() + L"Quenfold.exe", L"-ns"), 0);
    ASSERT_TRUE(Exists(common_));
    ASSERT_TRUE(Exists(local_));
    EXPECT_EQ(testsupport::ReadFileBytes(common_), testsupport::ReadFileBytes(local_));
    EXPECT_EQ(testsupport::ReadRegDword(HKEY_LOCAL_MACHINE, kRegistryKey, L"DriverVersion"), std::nullopt);

    EXPECT_EQ(RunProgram(BinDir() + L"Quenfold.exe", L"-ns"), 1);
    EXPECT_EQ(RunProgram(BinDir() + L"Quenfold.exe", L"-ns -regu"), 0);
    EXPECT_EQ(testsupport::ReadRegDword(HKEY_LOCAL_MACHINE, kRegistryKey, L"DriverVersion"), 12u);
    EXPECT_EQ(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, std::wstring(kRegistryKey) + L"\\MAPPINGS\\KESTREL DW-1620",
                                         L"load1"),
              L"dvd-writer-2005");
    EXPECT_EQ(testsupport::ReadRegString(HKEY_LOCAL_MACHINE, std::wstring(kRegistryKey) + L"\\SETS\\bd-writer",
                                         L"BD-Rmax-write-speed"),
              L"12");
    EXPECT_EQ(RunProgram(BinDir() + L"Quenfold.exe", L"\"-ns\" \"-regu\""), 1);
}

TEST_F(Quenfold, RevisionsDecideAndOptionsOverride) {
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(3))), 0);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(3))), 1);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(4))), 0);
    EXPECT_NE(testsupport::ReadFileBytes(local_).find("revision=\"4\""), std::string::npos);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(2))), 1);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(2)), L"-ns -f"), 0);
    EXPECT_NE(testsupport::ReadFileBytes(common_).find("revision=\"2\""), std::string::npos);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(9)), L"-ns -nxmlu"), 1);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(9), "update-registry=\"true\" update-xml-database=\"false\"")), 0);
    EXPECT_EQ(testsupport::ReadRegDword(HKEY_LOCAL_MACHINE, kRegistryKey, L"DriverVersion"), 9u);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(10), "update-registry=\"true\" update-xml-database=\"false\""),
                      L"-ns -nregu"),
              1);
}

TEST_F(Quenfold, BrokenProgramsAndDocumentsEndNegative) {
    EXPECT_EQ(RunProgram(BinDir() + L"Quenfold-bare.exe", L"-ne"), -1);
    const std::string document = SetupXml(DatabaseXml(3));
    testsupport::WriteFileBytes(dir_.File(L"Quenfold.exe"), BareProgram() + document + LengthWord(0x7fffffff));
    EXPECT_EQ(RunProgram(dir_.File(L"Quenfold.exe"), L"-ne"), -1);
    const std::string whole = AttachedProgram(document);
    testsupport::WriteFileBytes(dir_.File(L"Quenfold.exe"), whole.substr(0, whole.size() - 2));
    EXPECT_EQ(RunProgram(dir_.File(L"Quenfold.exe"), L"-ne"), -1);
    EXPECT_EQ(RunWith("<driver-database-setup><driver-database revision=", L"-ne"), -2);
    EXPECT_FALSE(Exists(common_));
}

TEST_F(Quenfold, BlockedTargetFailsWithFailIfOneUpdateFails) {
    // A file named like the local target's first folder blocks it; the common target is still written.
    const std::wstring blocker = local_.substr(0, local_.find(L"\\Corvell\\")) + L"\\Corvell";
    RemoveDirectoryW((blocker + L"\\drivers").c_str());
    RemoveDirectoryW(blocker.c_str());
    testsupport::WriteFileBytes(blocker, "blocker");
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(3)), L"-ns -ne -fuf"), -3);
    EXPECT_EQ(RunWith(SetupXml(DatabaseXml(3)), L"-ns -ne"), 0);
    EXPECT_TRUE(Exists(common_));
    DeleteFileW(blocker.c_str());
}

TEST_F(Quenfold, DumpWritesAttachedXmlInTheCurrentFolder) {
    const std::string document = "<driver-database-setup>\n" + DatabaseXml(3) + "\n</driver-database-setup>";
    testsupport::WriteFileBytes(dir_.File(L"Quenfold.exe"), AttachedProgram(document));
    auto child = testsupport::StartProgram(L"\"" + dir_.File(L"Quenfold.exe") + L"\" -ns -d", dir_.Path());
    ASSERT_TRUE(child.Started());
    EXPECT_EQ(child.Wait(30000), 0u);
    EXPECT_EQ(testsupport::ReadFileBytes(dir_.File(L"attached.xml")),
              "<driver-database-setup>\r\n" + DatabaseXml(3) + "\r\n</driver-database-setup>");
}

// Looks for the box as Pagorin does: every 10 ms, by caption, hidden or not.
HWND FindResultBox(DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        if (HWND box = FindWindowW(nullptr, kCaption)) return box;
        Sleep(10);
    }
    return nullptr;
}

// What Pagorin does: start Quenfold hidden and without arguments, and close its box with IDCANCEL.
int CloseResultBox(testsupport::ChildProcess& child, std::wstring& text) {
    HWND box = FindResultBox(20000);
    EXPECT_NE(box, nullptr) << "no result box";
    if (!box) {
        child.Kill();
        return 1000;
    }
    text = testsupport::WindowText(GetDlgItem(box, 0xFFFF));
    testsupport::SendWithTimeout(box, WM_COMMAND, IDCANCEL, 0);
    const auto code = child.Wait(20000);
    EXPECT_TRUE(code.has_value()) << "Quenfold did not end after its box closed";
    return code ? static_cast<int>(*code) : 1000;
}

TEST_F(Quenfold, ResultBoxClosesOnIdCancelAsPagorinSendsIt) {
    auto child = testsupport::StartProgram(L"\"" + BinDir() + L"Quenfold.exe\"", L"", SW_HIDE);
    ASSERT_TRUE(child.Started());
    std::wstring text;
    EXPECT_EQ(CloseResultBox(child, text), 0);
    EXPECT_EQ(text, L"Disc burning driver information successfully updated.");
    EXPECT_TRUE(Exists(common_));

    auto again = testsupport::StartProgram(L"\"" + BinDir() + L"Quenfold.exe\"", L"", SW_HIDE);
    EXPECT_EQ(CloseResultBox(again, text), 1);
    EXPECT_EQ(text, L"Disc burning driver information is already up-to-date.");

    auto bare = testsupport::StartProgram(L"\"" + BinDir() + L"Quenfold-bare.exe\"", L"", SW_HIDE);
    EXPECT_EQ(CloseResultBox(bare, text), -1);
    EXPECT_EQ(text, L"Error: the disc burning driver setup file is corrupted.");
}

}  // namespace
