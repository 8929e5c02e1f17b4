// Settings stores against the prefix's real registry and real files, and the owning object lists.
#include <gtest/gtest.h>

#include "Contnrs.h"
#include "IniFiles.h"
#include "Registry.h"
#include "TestSupport.h"

using namespace vcl;

namespace {

// A key of its own under Software for each test, removed afterwards.
class RegistryKey : public ::testing::Test {
protected:
    void SetUp() override {
        path = Format("Software\\PagorinTests\\Vcl%u_%s", {static_cast<unsigned>(GetCurrentProcessId()),
                                                              ::testing::UnitTest::GetInstance()->current_test_info()->name()});
    }
    void TearDown() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) testsupport::DeleteRegTree(root, AnsiToWide(path));
    }
    AnsiString path;
};

TEST_F(RegistryKey, ValuesRoundTripUnderBothRoots) {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        {
            TRegistry reg;
            reg.SetRootKey(root);
            ASSERT_FALSE(reg.OpenKey(path, false));
            ASSERT_TRUE(reg.OpenKey(path, true));
            reg.WriteString("Text", "caf\xe9");
            reg.WriteExpandString("Expand", "%WINDIR%\\x");
            reg.WriteInteger("Number", -5);
            reg.WriteBool("Flag", true);
            reg.WriteFloat("Float", 2.25);
            const unsigned char data[] = {1, 2, 3, 0, 255};
            reg.WriteBinaryData("Blob", data, sizeof data);
            ASSERT_TRUE(reg.OpenKey("Sub", true));  // relative to the open key
            EXPECT_EQ(reg.GetCurrentPath(), path + "\\Sub");
        }
        TRegistry reg(KEY_READ);
        reg.SetRootKey(root);
        ASSERT_TRUE(reg.OpenKey("\\" + path, false));  // absolute with a leading backslash
        EXPECT_EQ(reg.ReadString("Text"), "caf\xe9");
        EXPECT_EQ(reg.GetDataType("Expand"), rdExpandString);
        EXPECT_EQ(reg.ReadString("Expand"), "%WINDIR%\\x");
        EXPECT_EQ(reg.ReadInteger("Number"), -5);
        EXPECT_TRUE(reg.ReadBool("Flag"));
        EXPECT_EQ(reg.ReadFloat("Float"), 2.25);
        EXPECT_EQ(reg.GetDataSize("Blob"), 5);
        EXPECT_EQ(reg.GetDataSize("Missing"), -1);
        EXPECT_EQ(reg.ReadString("Missing"), "");
        unsigned char buffer[8] = {};
        EXPECT_EQ(reg.ReadBinaryData("Blob", buffer, sizeof buffer), 5);
        EXPECT_EQ(buffer[4], 255);
        EXPECT_THROW(reg.ReadBinaryData("Blob", buffer, 2), ERegistryException);
        EXPECT_THROW(reg.ReadInteger("Text"), ERegistryException);
        EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryException);
        TStringList names;
        reg.GetValueNames(&names);
        names.SetSorted(true);
        EXPECT_EQ(names.GetCommaText(), "Blob,Expand,Flag,Float,Number,Text");
        EXPECT_TRUE(reg.KeyExists("Sub"));
        EXPECT_TRUE(reg.HasSubKeys());
        // What a raw reader of the registry sees.
        EXPECT_EQ(testsupport::ReadRegDword(root, AnsiToWide(path), L"Number"), static_cast<DWORD>(-5));
    }
    TRegistry reg;
    EXPECT_TRUE(reg.DeleteKey("\\" + path));
    EXPECT_FALSE(reg.KeyExists(path));
}

TEST_F(RegistryKey, RegistryIniFileMapsSectionsToSubkeys) {
    {
        TRegistryIniFile ini(path);
        ini.WriteString("General", "Name", "value");
        ini.WriteInteger("General", "Count", 3);
        ini.WriteBool("Other", "On", true);
        EXPECT_EQ(ini.GetRegIniFile()->GetCurrentPath(), path);
    }
    TRegistryIniFile ini(path);
    EXPECT_EQ(ini.ReadString("General", "Name", "x"), "value");
    EXPECT_EQ(ini.ReadInteger("General", "Count", 0), 3);
    EXPECT_TRUE(ini.ReadBool("Other", "On", false));
    EXPECT_EQ(ini.ReadString("General", "Missing", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("NoSection", "Name", "fallback"), "fallback");
    TStringList sections;
    ini.ReadSections(&sections);
    sections.SetSorted(true);
    EXPECT_EQ(sections.GetCommaText(), "General,Other");
    TStringList values;
    ini.ReadSectionValues("General", &values);
    EXPECT_EQ(values.GetValues("Name"), "value");
    ini.EraseSection("Other");
    EXPECT_FALSE(ini.SectionExists("Other"));
    ini.DeleteKey("General", "Name");
    EXPECT_FALSE(ini.ValueExists("General", "Name"));
}

// Each INI class against the same expectations.
template <class T>
void RoundTrip(const AnsiString& fileName) {
    SCOPED_TRACE(T::StaticClass()->ClassName());
    TMemoryStream blob;
    blob.WriteBuffer("\x00\x01\xfe", 3);
    {
        T ini(fileName);
        ini.WriteString("Main", "Text", "  spaced  ");
        ini.WriteInteger("Main", "Int", -42);
        ini.WriteString("Main", "Hex", "0x1F");
        ini.WriteBool("Main", "Bool", true);
        ini.WriteFloat("Main", "Float", 0.5);
        ini.WriteDate("Dates", "Day", EncodeDate(2024, 12, 31));
        ini.WriteDateTime("Dates", "Moment", EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 0));
        blob.SetPosition(0);
        ini.WriteBinaryStream("Data", "Blob", &blob);
        ini.WriteString("Gone", "x", "y");
        ini.EraseSection("Gone");
        ini.UpdateFile();
    }
    T ini(fileName);
    EXPECT_EQ(ini.ReadInteger("Main", "Int", 0), -42);
    EXPECT_EQ(ini.ReadInteger("Main", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Main", "Text", 9), 9);
    EXPECT_TRUE(ini.ReadBool("Main", "Bool", false));
    EXPECT_EQ(ini.ReadFloat("Main", "Float", 0), 0.5);
    EXPECT_EQ(ini.ReadDate("Dates", "Day", 0), EncodeDate(2024, 12, 31));
    EXPECT_NEAR(ini.ReadDateTime("Dates", "Moment", 0), EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 0), 1e-8);
    EXPECT_EQ(ini.ReadDate("Main", "Text", 7), 7);
    TMemoryStream read;
    EXPECT_EQ(ini.ReadBinaryStream("Data", "Blob", &read), 3);
    EXPECT_EQ(std::string(static_cast<const char*>(read.GetMemory()), 3), std::string("\x00\x01\xfe", 3));
    EXPECT_TRUE(ini.SectionExists("Main"));
    EXPECT_FALSE(ini.SectionExists("Gone"));
    EXPECT_TRUE(ini.ValueExists("Main", "Float"));
    TStringList sections;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.GetCommaText(), "Main,Dates,Data");
    TStringList keys;
    ini.ReadSection("Main", &keys);
    EXPECT_EQ(keys.GetCommaText(), "Text,Int,Hex,Bool,Float");
    ini.DeleteKey("Main", "Int");
    EXPECT_EQ(ini.ReadInteger("Main", "Int", 1), 1);
}

TEST(IniFile, ProfileFileRoundTrips) {
    testsupport::TempDir dir;
    RoundTrip<TIniFile>(WideToAnsi(dir.File(L"settings.ini")));
}

TEST(IniFile, MemIniFileRoundTripsAndReadsWhatProfileFunctionsWrote) {
    testsupport::TempDir dir;
    AnsiString name = WideToAnsi(dir.File(L"mem.ini"));
    RoundTrip<TMemIniFile>(name);
    WritePrivateProfileStringA("Extra", "Key", "from the system", name.c_str());
    TMemIniFile ini(name);
    EXPECT_EQ(ini.ReadString("Extra", "Key", ""), "from the system");
    EXPECT_EQ(ini.ReadString("main", "text", ""), "spaced");  // names without case, values trimmed
}

TEST(ComponentList, DropsFreedComponentsAndOwnsWhenAsked) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    {
        TComponentList watching(false);
        watching.Add(a);
        watching.Add(b);
        delete a;
        ASSERT_EQ(watching.GetCount(), 1);
        EXPECT_EQ(watching.GetItems(0), b);
    }
    EXPECT_EQ(owner.GetComponentCount(), 1);  // a non-owning list freed nothing
    auto* owning = new TComponentList(true);
    owning->Add(b);
    delete owning;
    EXPECT_EQ(owner.GetComponentCount(), 0);  // the owning list freed b, which left its owner
    TObjectList objects;
    objects.Add(new TStringList);
    objects.Add(new TComponent(nullptr));
    EXPECT_EQ(objects.FindInstanceOf(TPersistent::StaticClass(), false), 0);
    EXPECT_EQ(objects.FindInstanceOf(TComponent::StaticClass()), 1);
}

}  // namespace
