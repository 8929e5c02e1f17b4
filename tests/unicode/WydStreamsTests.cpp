// Streams by wide names, resource streams, growing buffers and the buffered reader.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WydClasses.h"
#include "WydSysUtils.h"

namespace {

// A source that delivers fewer bytes than asked, as pipes and some devices do.
class ShortReadStream : public vcl::TMemoryStream {
public:
    int Read(void* buffer, int count) override { return vcl::TMemoryStream::Read(buffer, std::min(count, 3)); }
};

AnsiString Bytes(int count) {
    AnsiString bytes;
    for (int i = 0; i < count; ++i) bytes += static_cast<char>('A' + i % 26);
    return bytes;
}

} // namespace

TEST(WydStreams, FileStreamsByWideNames) {
    testsupport::TempDir dir;
    const WideString name = dir.File(L"\u0416\u0435\u043d\u0430.bin");
    {
        TWydFileStream stream(name, vcl::fmCreate);
        stream.WriteBuffer("abc", 3);
    }
    TWydMemoryStream memory;
    memory.LoadFromFile(name);
    EXPECT_EQ(memory.GetSize(), 3);
    memory.SaveToFile(dir.File(L"copy.bin"));
    EXPECT_EQ(testsupport::ReadFileBytes(dir.File(L"copy.bin")), "abc");
    try {
        TWydFileStream missing(dir.File(L"missing.bin"), vcl::fmOpenRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const vcl::EFOpenError& e) {
        EXPECT_EQ(e.Message, "Cannot open file " + vcl::WideToAnsi(dir.File(L"missing.bin")));
    }
    EXPECT_THROW(TWydFileStream(dir.File(L"no\\such\\folder.bin"), vcl::fmCreate), vcl::EFCreateError);
}

TEST(WydStreams, ResourceStreams) {
    TWydResourceStream stream(GetModuleHandleW(nullptr), L"WYDDATA", MAKEINTRESOURCEW(10));
    char text[15] = {};
    stream.ReadBuffer(text, 14);
    EXPECT_STREQ(text, "resource bytes");
    EXPECT_THROW(stream.Write("x", 1), vcl::EStreamError);
    try {
        TWydResourceStream missing(GetModuleHandleW(nullptr), 77, MAKEINTRESOURCEW(10));
    } catch (const vcl::EResNotFound& e) {
        EXPECT_EQ(e.Message, "Resource 77 not found");
    }
}

TEST(WydStreams, BufferedStringsGrowAndStopAtNul) {
    TBufferedWideString buffer;
    for (int i = 0; i < 1000; ++i) buffer.AddChar(L'x');
    buffer.AddString(L"\u0416");
    EXPECT_EQ(buffer.Value(), WideString(1000, L'x') + L"\u0416");
    buffer.Clear();
    buffer.AddBuffer(L"ab\0cd", 5);
    buffer.AddBuffer(L"efgh", 2);
    EXPECT_EQ(buffer.Value(), L"abef");
    EXPECT_STREQ(buffer.BuffPtr(), L"abef");
    TBufferedAnsiString ansi;
    ansi.AddString("xy");
    EXPECT_EQ(ansi.Value(), "xy");
}

TEST(WydStreams, BufferedReaderServesWhatTheSourceHolds) {
    vcl::TMemoryStream source;
    const AnsiString data = Bytes(100);
    source.WriteBuffer(data.data(), 100);
    TBufferedStreamReader reader(&source, 16);
    char out[100] = {};
    EXPECT_EQ(reader.Read(out, 5), 5);
    EXPECT_EQ(AnsiString(out, 5), data.substr(0, 5));
    EXPECT_EQ(reader.Read(out, 40), 40);
    EXPECT_EQ(AnsiString(out, 40), data.substr(5, 40));
    reader.Seek(-10, vcl::soEnd);
    EXPECT_EQ(reader.Read(out, 50), 10);
    EXPECT_EQ(AnsiString(out, 10), data.substr(90));
    EXPECT_EQ(reader.Read(out, 1), 0);
    reader.Seek(-1, vcl::soBeginning);
    EXPECT_EQ(reader.Read(out, 1), 0);
    reader.Seek(0, vcl::soBeginning);
    EXPECT_EQ(reader.Read(out, -1), 0);
    EXPECT_THROW(reader.Write("x", 1), EWydInternalError);
}

TEST(WydStreams, BufferedReaderNeverServesStaleBytes) {
    ShortReadStream source;
    const AnsiString data = Bytes(40);
    source.WriteBuffer(data.data(), 40);
    TBufferedStreamReader reader(&source, 8);
    char out[40] = {};
    int total = 0;
    while (total < 40) {
        const int got = reader.Read(out + total, 40 - total);
        if (got <= 0) break;
        total += got;
    }
    EXPECT_EQ(total, 40);
    EXPECT_EQ(AnsiString(out, 40), data);
}

TEST(WydStreams, SortedListSearchByTarget) {
    vcl::TList list;
    int values[] = {10, 20, 30};
    for (int& v : values) list.Add(&v);
    auto compare = [](void* item, void* target) { return *static_cast<int*>(item) - *static_cast<int*>(target); };
    int target = 20, index = -1;
    EXPECT_TRUE(FindSortedListByTarget(&list, compare, &target, index));
    EXPECT_EQ(index, 1);
    target = 25;
    EXPECT_FALSE(FindSortedListByTarget(&list, compare, &target, index));
    EXPECT_EQ(index, 2);
}

TEST(WydStreams, RegisteredComClasses) {
    // A class of our own in the prefix's registry, its server named through an environment variable and quoted.
    const CLSID clsid = {0x5a1d0c3e, 0x77aa, 0x4f1b, {0x9a, 0x31, 0x20, 0x24, 0x12, 0x09, 0x05, 0x14}};
    const WideString key = L"Software\\Classes\\CLSID\\{5A1D0C3E-77AA-4F1B-9A31-202412090514}";
    EXPECT_FALSE(ClassIsRegistered(clsid));
    HKEY progId = nullptr, server = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (key + L"\\ProgID").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &progId, nullptr),
              ERROR_SUCCESS);
    const wchar_t progIdText[] = L"Pagorin.WydTest.1";
    RegSetValueExW(progId, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(progIdText), sizeof progIdText);
    RegCloseKey(progId);
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (key + L"\\InProcServer32").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &server, nullptr),
              ERROR_SUCCESS);
    const wchar_t missing[] = L"%SystemRoot%\\system32\\no-such-server.dll";
    RegSetValueExW(server, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(missing), sizeof missing);
    EXPECT_FALSE(ClassIsRegistered(clsid));
    const wchar_t present[] = L"\"%SystemRoot%\\system32\\version.dll\"";
    RegSetValueExW(server, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(present), sizeof present);
    RegCloseKey(server);
    EXPECT_TRUE(ClassIsRegistered(clsid));
    testsupport::DeleteRegTree(HKEY_LOCAL_MACHINE, key);
    EXPECT_FALSE(ClassIsRegistered(clsid));
}
