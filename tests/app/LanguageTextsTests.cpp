// Language file lookups: defaults for what the file lacks, the file's values for what it has.
#include <gtest/gtest.h>

#include "LanguageTexts.h"
#include "TestSupport.h"

using namespace pagorin;

namespace {

// Writes `text` as a UTF-16LE file with its byte-order mark, CR LF line ends.
void WriteUtf16(const std::wstring& path, const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        if (c == L'\n') {
            bytes += std::string("\r\0", 2);
        }
        bytes.push_back(char(c & 0xFF));
        bytes.push_back(char(c >> 8));
    }
    testsupport::WriteFileBytes(path, bytes);
}

const wchar_t* const SampleFile =
    L"[System]\n1033=English\n1031=Deutsch\n1049=Russian\n\n"
    L"[English]\nLocalLanguage=English\nLCID=1033\n\n"
    L"[Deutsch]\nLocalLanguage=Deutsch\nLCID=1031\nMain.Menu.File=Datei\nMain.ScanTransactions.Write=\n"
    L"Main.Status.LoadDisc=Disc wird geladen ...\n\n"
    L"[Russian]\nLocalLanguage=\x0420\x0443\x0441\x0441\x043A\x0438\x0439\nLCID=1049\n"
    L"Main.Menu.File=\x0424\x0430\x0439\x043B\n";

TEST(LanguageTexts, KnownLanguageGivesFileTextsAndDefaultsForMissingKeys)
{
    testsupport::TempDir dir;
    WriteUtf16(dir.File(L"Pagorin.ini"), SampleFile);
    LanguageFile texts;
    texts.Select(dir.File(L"Pagorin.ini"), 1031);
    EXPECT_EQ(texts.Section(), L"Deutsch");
    EXPECT_EQ(texts.Text("Main.Menu.File"), L"Datei");
    EXPECT_EQ(texts.Text("Main.Menu.Exit"), L"Exit") << "missing key: built-in English";
    EXPECT_EQ(texts.Text("Main.ScanTransactions.Write"), L"") << "empty value stays empty";
    EXPECT_EQ(texts.Text("Main.Status.LoadDisc", 15), L"Disc wird gelad") << "cut to the field";

    texts.Select(dir.File(L"Pagorin.ini"), 1049);
    EXPECT_EQ(texts.Text("Main.Menu.File"), L"\x0424\x0430\x0439\x043B");
    EXPECT_EQ(texts.TextIn(texts.Section(), "LocalLanguage", L" "), L"\x0420\x0443\x0441\x0441\x043A\x0438\x0439");
}

TEST(LanguageTexts, UnknownLanguageOrMissingFileGivesEnglish)
{
    testsupport::TempDir dir;
    WriteUtf16(dir.File(L"Pagorin.ini"), SampleFile);
    LanguageFile texts;
    texts.Select(dir.File(L"Pagorin.ini"), 1036);
    EXPECT_EQ(texts.Section(), L" ");
    EXPECT_EQ(texts.Text("Main.Menu.File"), L"File");

    texts.Select(dir.File(L"absent.ini"), 1031);
    EXPECT_EQ(texts.Text("Main.TargetDisc.TransactionSize"), L"Transaction SSSS :");
    texts.Select(L"", 1031);
    EXPECT_EQ(texts.Text("Attention.Seconds"), L"Seconds");
}

TEST(LanguageTexts, SectionWithoutItsSystemEntryIsNotUsed)
{
    testsupport::TempDir dir;
    WriteUtf16(dir.File(L"Pagorin.ini"), L"[System]\n1033=English\n[Deutsch]\nMain.Menu.File=Datei\n");
    LanguageFile texts;
    texts.Select(dir.File(L"Pagorin.ini"), 1031);
    EXPECT_EQ(texts.Text("Main.Menu.File"), L"File");
}

TEST(LanguageTexts, SectionsAreListedInFileOrderWithoutSystem)
{
    testsupport::TempDir dir;
    WriteUtf16(dir.File(L"a.ini"), SampleFile);
    EXPECT_EQ(LanguageSections(dir.File(L"a.ini")), (std::vector<std::wstring>{L"English", L"Deutsch", L"Russian"}));
    WriteUtf16(dir.File(L"b.ini"), L"[English]\nLCID=1033\nbroken [line\n[Odd\n[System]\n[Deutsch]\n");
    EXPECT_EQ(LanguageSections(dir.File(L"b.ini")), (std::vector<std::wstring>{L"English", L"Deutsch"}))
        << "a section on the first line counts despite the byte-order mark";
    EXPECT_TRUE(LanguageSections(dir.File(L"none.ini")).empty());
}

TEST(LanguageTexts, LanguageRowsNameEachSectionsLanguageAndIdentifier)
{
    testsupport::TempDir dir;
    WriteUtf16(dir.File(L"a.ini"), L"[System]\n1033=English\n\n[English]\nLocalLanguage=English\nLCID=1033\n\n"
                                   L"[Deutsch]\nLCID=x1031\n");
    LanguageFile file;
    file.Select(dir.File(L"a.ini"), 1033);
    std::optional<std::vector<LanguageRow>> rows = LanguageRows(file);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].LocalLanguage, L"English");
    EXPECT_EQ((*rows)[0].Lcid, L"1033");
    EXPECT_EQ((*rows)[1].Section, L"Deutsch");
    EXPECT_EQ(LcidValue((*rows)[1].Lcid), 0);
    file.Select(dir.File(L"none.ini"), 1033);
    EXPECT_FALSE(LanguageRows(file).has_value()) << "no file: the list keeps what it shows";
}

TEST(LanguageTexts, AnIdentifierThatIsNoNumberCountsAsZero)
{
    const std::pair<const wchar_t*, int> rows[] = {{L"1033", 1033}, {L"0000", 0}, {L"abc", 0}, {L"", 0},
                                                   {L"10a3", 0}, {L"-1033", 0}, {L"99999999999", 0}};
    for (auto [text, value] : rows)
        EXPECT_EQ(LcidValue(text), value) << testsupport::ToUtf8(text);
}

TEST(LanguageTexts, EveryKeyHasABuiltInText)
{
    for (const char* key : AllTextKeys())
        EXPECT_NE(std::wstring(DefaultText(key)), L"" ) << key;
    EXPECT_EQ(std::wstring(DefaultText("Main.Status.ConnectintRobot")), L"Connecting Autoloader ...");
}

}  // namespace
