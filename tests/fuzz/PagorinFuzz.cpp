// Pagorin's own input under damage: the language file, the command line, registry values of any type and
// size in the product key, and day-log paths far beyond 260 characters.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <optional>

#include "CommandLine.h"
#include "DayLog.h"
#include "DiscJob.h"
#include "FuzzSupport.h"
#include "LanguageTexts.h"
#include "SettingsStore.h"
#include "SharedState.h"
#include "TestSupport.h"

using namespace pagorin;
using fuzz::Bytes;
using fuzz::Check;
using fuzz::Outcome;

namespace {

std::string AnsiPath(const std::wstring& path) { return std::string(path.begin(), path.end()); }

// A temporary folder of plain ASCII characters, so that its ANSI and wide names agree.
testsupport::TempDir& Folder() {
    static testsupport::TempDir folder;
    return folder;
}

// A folder name made of the input's bytes: letters, digits, blanks and backslashes only, so that a path
// made with it stays inside the test's folder.
std::string SafeTail(const Bytes& bytes) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789 _\\\\\\";
    std::string tail;
    for (unsigned char c : bytes) tail += letters[c % (sizeof letters - 1)];
    return tail;
}

// ---- Language file

const int LanguageIds[] = {1033, 1031, 1049, 1036, 0, -1, 65536 + 1033, INT_MAX};
const size_t Capacities[] = {15, 255, 1023, ControlTextCapacity};

// Every input's sections are read from its bytes; one in eight also goes through a file and the profile
// functions (the costly part under Wine).
Outcome ReadLanguageFile(const Bytes& input) {
    fuzz::InputReader choices(input);
    const int languageId = LanguageIds[choices.Byte() % std::size(LanguageIds)];
    const uint8_t keyChoice = choices.Byte();
    const Bytes file = choices.Rest();
    const std::vector<std::wstring> sections = LanguageSectionsOfText(file);
    for (const std::wstring& section : sections)
        Check(section != L"System" && section.find(L']') == std::wstring::npos, "a listed section is a language's");
    if (!fuzz::Sampled(input, 32)) return Outcome::Accepted;

    const std::wstring path = Folder().File(L"Pagorin.ini");
    testsupport::WriteFileBytes(path, file);
    Check(LanguageSections(path) == sections, "the file lists the sections its bytes hold");
    LanguageFile texts;
    texts.Select(path, languageId);
    Check(!texts.Section().empty() && texts.Section().size() <= 255, "a language section name of 1 to 255 characters");
    const std::vector<const char*> keys = AllTextKeys();
    for (size_t i = 0; i < 4; ++i) {
        const char* key = keys[(keyChoice + i * 23) % keys.size()];
        const size_t capacity = Capacities[(keyChoice + i) % std::size(Capacities)];
        Check(texts.Text(key, capacity).size() <= capacity, "a text is cut to its field");
    }
    return Outcome::Accepted;
}

std::vector<Bytes> LanguageCorpus() {
    const Bytes shipped = testsupport::ReadFileBytes(testsupport::FromUtf8(FUZZ_SOURCE_DIR "/resources/lang/Pagorin.ini"));
    const std::wstring small = L"\xFEFF[System]\r\n1033=English\r\n1049=Russian\r\n[English]\r\nLocalLanguage=English\r\n"
                               L"LCID=1033\r\nMain.ScanTransactions.Write=\r\n[Russian]\r\nLocalLanguage=\x0420\x0443\x0441"
                               L"\x0441\x043A\x0438\x0439\r\nLCID=1049\r\nMain.Menu.File=\x0424\x0430\x0439\x043B\r\n";
    return {std::string(1, '\0') + '\0' + shipped, std::string(1, '\2') + '\7' + fuzz::Utf16Bytes(small),
            std::string(1, '\1') + '\3' + fuzz::Utf16Bytes(L"\xFEFF[System]\r\n1031=Deutsch\r\n[Deutsch\r\nLCID=x\r\n")};
}

// ---- Command line

Outcome ParseCommandLine(const Bytes& input) {
    const size_t split = input.find('\0');
    const std::string line = input.substr(0, split);
    const std::string module = split == Bytes::npos ? std::string() : input.substr(split + 1);
    const std::string argument = GetCommandLineArgument(line, module);
    Check(argument.size() <= MaxArgumentLength, "the argument fits its 260-byte field");
    Check(argument.find('"') == std::string::npos, "quotes are taken out");
    Check(argument.empty() || argument.front() != ' ', "no blank before the argument");
    return Outcome::Accepted;
}

std::vector<Bytes> CommandLineCorpus() {
    const std::string module = "C:\\Program Files\\Tessaro Systems\\Pagorin\\Pagorin.exe";
    return {"\"" + module + "\" \"D:\\Scans\\Page 001.jpg\"" + '\0' + module,
            module + " D:\\Scans\\Page001.jpg" + '\0' + module,
            "Pagorin.exe" + std::string(1, '\0') + module,
            "\"C:\\Pagorin\\Pagorin.exe\" C:\\Pagorin\\Queue\\x.jpg\n-more" + std::string(1, '\0') + "C:\\Pagorin\\Pagorin.exe",
            "pagorin \"\"\"" + std::string(1, '\0')};
}

// ---- The hand-over from a later start

// The bytes of a WM_COPYDATA as any process may send them. Pages of the corpus exist in the case's folder, so
// that mutations keep reaching the taken path as well as the ignored one.
Outcome ReadHandOver(const Bytes& input) {
    const std::string text = HandedOverText(input.data(), input.size());
    Check(text.size() <= MaxHandedOverLength, "at most 1023 bytes are taken");
    Check(text.find('\0') == std::string::npos, "the text ends at an embedded zero");
    const std::string logged = AsLogged(text);
    Check(std::none_of(logged.begin(), logged.end(), [](unsigned char c) { return c < ' ' || c == 0x7F; }),
          "the day log's line holds no control character");
    if (IsAcceptablePage(text)) {
        const DWORD attributes = GetFileAttributesA(text.c_str());
        Check(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY), "a taken page is a file");
    }
    return Outcome::Accepted;
}

std::vector<Bytes> HandOverCorpus() {
    const std::string folder = AnsiPath(Folder().Path());
    for (const char* page : {"Page 001.jpg", "Scan 7.TIF", "p.png", "b.Bmp"})
        testsupport::WriteFileBytes(Folder().File(testsupport::FromUtf8(page)), "page");
    CreateDirectoryA((folder + "\\Folder.jpg").c_str(), nullptr);
    return {folder + "\\Page 001.jpg", folder + "\\Scan 7.TIF", "\"" + folder + "\\p.png\"", folder + "\\b.Bmp",
            folder + "\\Folder.jpg", "C:\\nowhere\\x.jpg", "CON.JPG", "\\\\.\\pipe\\scan.tif",
            folder + "\\Page 001.jpg" + std::string(1, '\0') + "tail", std::string(1100, 'a') + ".jpg"};
}

// ---- Registry values of the product key

// The input is a list of values: a name (by number), a type, a length and the data; the first byte picks
// which load runs on them.
const char* const ValueNames[] = {"Working Path", "Delete Hotkey Files", "Today", "Language", "Default Scanner",
                                  "Compiled PDF", "Copies", "Disc Type", "Max PDF File Size", "RW Disc Policy",
                                  "Writing Speed CD", "Writing Speed DVD", "Next Page Wait", "Disc Label 0",
                                  "Disc Label 1", "Disc Label 4", "File Naming 0", "File Naming 2", "InstallDir",
                                  // the scanner's subkey
                                  "Visible", "Color Modes", "File Formats", "Page Size", "Resolution", "Duplex Mode",
                                  "Duplex Enable"};
constexpr size_t FirstScannerValue = 19;
const char* const ScannerName = "Fuzz Scanner";

class ProductKey {
public:
    ProductKey() : location_{HKEY_CURRENT_USER, "Software\\PagorinFuzz\\" + std::to_string(GetCurrentProcessId())} {}
    ~ProductKey() { Clear(); }
    const KeyLocation& Location() const { return location_; }
    void Clear() const { testsupport::DeleteRegTree(HKEY_CURRENT_USER, testsupport::FromUtf8(location_.Path)); }

private:
    KeyLocation location_;
};

// Writes the input's values; gives the numbers of the names written.
std::vector<size_t> WriteValues(const ProductKey& product, fuzz::InputReader& records) {
    RegistryKey key(product.Location(), true), scanner(product.Location().Sub(ScannerName), true);
    std::vector<size_t> written;
    while (!records.AtEnd()) {
        const size_t nameIndex = records.Byte() % std::size(ValueNames);
        const DWORD type = records.Byte() % 12;
        size_t length = records.Byte();
        if (length == 255) length = records.Byte() | records.Byte() << 8;
        Bytes data = records.Take(length);
        // The working path is where the day log goes: it stays inside the test's folder.
        if (nameIndex == 0 && (type == REG_SZ || type == REG_EXPAND_SZ))
            data = AnsiPath(Folder().Path()) + "\\" + SafeTail(data.substr(0, data.find('\0'))) + '\0';
        const RegistryKey& target = nameIndex >= FirstScannerValue ? scanner : key;
        RegSetValueExA(target.Handle(), ValueNames[nameIndex], 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       DWORD(data.size()));
        written.push_back(nameIndex);
    }
    return written;
}

void CheckLoadedSettings(const Settings& settings, const SettingsView& view) {
    Check(settings.CompiledPdf >= 0 && settings.CompiledPdf <= 2, "Compiled PDF in 0..2");
    Check(settings.Copies >= 1 && settings.Copies <= 999, "copies in 1..999");
    Check(settings.DiscType >= 0 && settings.DiscType <= 2, "disc type in 0..2");
    Check(settings.RwDiscPolicy >= 0 && settings.RwDiscPolicy <= 1, "RW disc policy 0 or 1");
    Check(settings.SpeedCd >= 0 && settings.SpeedCd <= 8 && settings.SpeedDvd >= 0 && settings.SpeedDvd <= 7,
          "speed indexes within their lists");
    Check(settings.NextPageWait >= 5 && settings.NextPageWait <= 300, "next-page wait in 5..300 s");
    Check(settings.MaxPdfSize >= 1, "a positive PDF size");
    Check(!settings.WorkingPath.empty() && settings.WorkingPath.size() <= MaxPathText, "a working path of 1..259");
    Check(settings.CurrentScannerName.size() <= MaxSettingText, "a scanner name of at most 255 characters");
    for (const auto& list : {view.DiscLabels, view.FileNamings}) {
        Check(list && list->size() <= 5, "at most five recently used entries");
        for (const std::string& entry : *list) Check(entry.size() <= MaxSettingText, "entries of at most 255");
    }
}

// Takes away what the last input left: only its own values after a plain read, the whole key after a load or a
// save (they write values of their own). Registry calls are the costly part under Wine, so they are kept few.
void ClearLastInput(const ProductKey& product, const std::vector<size_t>& written, bool wholeKey) {
    if (wholeKey) {
        product.Clear();
        return;
    }
    RegistryKey key(product.Location(), false), scanner(product.Location().Sub(ScannerName), false);
    for (size_t name : written)
        RegDeleteValueA((name >= FirstScannerValue ? scanner : key).Handle(), ValueNames[name]);
}

Outcome LoadSettings(const Bytes& input) {
    // Each registry call is a round trip to the Wine server (milliseconds under load): one input in 32
    // reaches the registry, so the fixed-seed run stays within the suite's time.
    if (!fuzz::Sampled(input, 32))
        return Outcome::Accepted;
    static ProductKey product;
    static std::vector<size_t> written;
    static bool loaded = true;
    ClearLastInput(product, written, loaded);
    fuzz::InputReader records(input);
    const uint8_t what = records.Byte();
    written = WriteValues(product, records);
    // The full load (scanner list and all) runs for one sampled input in 16; the extra byte draws that choice
    // apart from the one above, which every input here has already passed.
    loaded = fuzz::Sampled(input + 'L', 16);

    Settings settings;
    SettingsView view;
    settings.InstallFolder = AnsiPath(Folder().Path());
    // Every sampled input's values are read as the loaders read theirs; one in sixteen of them also goes through
    // a load.
    if (!loaded) {
        RegistryKey key(product.Location(), false), scanner(product.Location().Sub(ScannerName), false);
        for (size_t name : written) {
            const RegistryKey& target = name >= FirstScannerValue ? scanner : key;
            target.ReadDword(ValueNames[name]);
            const size_t limit = name == 0 ? MaxPathText : MaxSettingText;
            if (std::optional<std::string> text = target.ReadString(ValueNames[name], limit))
                Check(text->size() <= limit, "a text value within its buffer");
        }
        return Outcome::Accepted;
    }
    switch (what % 3) {
    case 0: {  // the start
        DayLog log;
        LoadDefaultSettings(product.Location(), settings, view);
        LoadMainSettings(product.Location(), settings, view, log);
        CheckLoadedSettings(settings, view);
        break;
    }
    case 1: {  // the scanner's labels, then a save of the scan settings over what is stored
        ReadScannerLabels(product.Location(), ScannerName, view);
        ScanSettingsInput scan;
        scan.SelectedScanner = ScannerName;
        scan.PageWaitText = view.Resolution.value_or("");
        scan.ColorModeText = view.ColorMode.value_or("Grayscale");
        scan.FileFormatText = view.FileFormat.value_or("JPG");
        scan.ResolutionCaption = view.Resolution.value_or("");
        scan.PageSizeCaption = view.PageSize.value_or("");
        scan.DuplexVisible = scan.DuplexChecked = true;
        RegistryKey key(product.Location(), true);
        SaveScanSettings(key, product.Location(), settings, scan);
        Check(settings.NextPageWait >= 5 && settings.NextPageWait <= 300, "a saved wait stays in 5..300 s");
        break;
    }
    default: {  // the recently used disc labels, updated with a text and saved
        DayLog log;
        LoadMainSettings(product.Location(), settings, view, log);
        std::vector<std::string> labels = view.DiscLabels.value_or(std::vector<std::string>{"Scanned Doc"});
        UpdateRecentList(labels, settings.CurrentScannerName + "|" + settings.WorkingPath);
        Check(labels.size() <= 5, "at most five recently used entries");
        SaveRecentList(product.Location(), "Disc Label", labels);
        break;
    }
    }
    return Outcome::Accepted;
}

Bytes Record(size_t name, DWORD type, const Bytes& data) {
    return std::string(1, char(name)) + char(type) + char(data.size()) + data;
}
Bytes DwordRecord(size_t name, DWORD value) { return Record(name, REG_DWORD, Bytes(reinterpret_cast<char*>(&value), 4)); }
Bytes StringRecord(size_t name, const std::string& text) { return Record(name, REG_SZ, text + '\0'); }

// Few values each: every value costs registry calls, the slow part under Wine.
std::vector<Bytes> SettingsCorpus() {
    const Bytes main = StringRecord(0, "Work") + DwordRecord(3, 1049) + StringRecord(4, ScannerName) +
                       DwordRecord(6, 3) + DwordRecord(12, 45);
    const Bytes lists = StringRecord(13, "Scanned Doc") + StringRecord(14, "Invoices 2026") + StringRecord(16, "Page");
    const Bytes scanner = StringRecord(4, ScannerName) + DwordRecord(24, 1) + DwordRecord(25, 1) +
                          StringRecord(20, "2|0|1|2") + StringRecord(21, "4|0|2|4|7") + StringRecord(22, "1|1|3|4") +
                          StringRecord(23, "200|75|1200");
    const Bytes wrong = Record(3, REG_SZ, "1033") + Record(6, REG_BINARY, "\x03\x00\x00\x00\x00") +
                        Record(0, REG_DWORD, "\x01\x02\x03\x04") + Record(13, REG_MULTI_SZ, std::string("a\0b\0\0", 5)) +
                        Record(20, REG_QWORD, std::string(8, '\xFF')) + Record(4, REG_EXPAND_SZ, "%TEMP%");
    return {std::string(1, '\0') + main, std::string(1, '\2') + lists, std::string(1, '\1') + scanner,
            std::string(1, '\0') + wrong, std::string(1, '\0'), std::string(1, '\1') + wrong};
}

// ---- Day log paths and lines

Outcome FormatDayLog(const Bytes& input) {
    static ProductKey product;
    fuzz::InputReader fields(input);
    SYSTEMTIME time{};
    for (WORD* field : {&time.wYear, &time.wMonth, &time.wDay, &time.wHour, &time.wMinute, &time.wSecond})
        *field = WORD(fields.Byte() | fields.Byte() << 8);
    const uint8_t tailChoice = fields.Byte();
    const std::string workingPath = AnsiPath(Folder().Path()) + "\\" + SafeTail(fields.Take(tailChoice * 4u));
    const std::string text = fields.Rest();

    const std::string line = DayLog::FormatLine(time, text);
    Check(line.size() <= 1023 && !line.empty() && line.back() == '\n', "a log line of at most 1023 bytes, ended");
    if (!fuzz::Sampled(input, 32)) return Outcome::Accepted;  // one in eight writes the file

    DayLog log([time] { return time; });
    RegistryKey key(product.Location(), true);
    log.Prepare(workingPath, key);
    Check(log.Path().rfind(workingPath + "\\PGRN_", 0) == 0, "the day log lies in the working path");
    log.WriteLine(text);
    DeleteFileA(log.Path().c_str());
    return Outcome::Accepted;
}

std::vector<Bytes> DayLogCorpus() {
    auto member = [](WORD year, WORD month, WORD day, const std::string& tail, const std::string& text) {
        Bytes bytes;
        for (WORD field : {year, month, day, WORD(13), WORD(5), WORD(59)}) bytes += {char(field & 0xFF), char(field >> 8)};
        return bytes + char(tail.size() / 4) + tail + text;
    };
    return {member(2026, 5, 31, "", "Application started."), member(2026, 12, 1, "logs", "Page handed over: C:\\x.jpg"),
            member(65535, 65535, 65535, std::string(240, 'a'), std::string(2000, 'x')),
            member(30827, 2, 29, std::string(60, '\\'), "line\r\nforged 2026-01-01 00:00:00 line\n")};
}

// ---- Queue folder paths of a disc job

void MakePage(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;  // beyond what the ANSI calls reach
    DWORD written = 0;
    WriteFile(file, "\xFF\xD8\xFF\xD9", 4, &written, nullptr);
    CloseHandle(file);
}

// The input names the queue folder and up to three transactions (folder names and pages) below it, often
// beyond 260 characters. One input in sixteen makes the folders and pages (in a folder of its own), so that a
// job is written; the others find none of them.
Outcome PrepareJob(const Bytes& input) {
    fuzz::InputReader parts(input);
    std::optional<testsupport::TempDir> made;
    if (fuzz::Sampled(input, 16)) made.emplace();
    const std::string queue = AnsiPath(made ? made->Path() : Folder().Path()) + "\\Queue" + SafeTail(parts.Take(parts.Byte()));
    std::vector<JobTransaction> transactions(1 + parts.Byte() % 3);
    for (JobTransaction& transaction : transactions) {
        // Each transaction has a folder of its own (the program never gives two one name): its number leads.
        transaction.FolderName = std::to_string(&transaction - transactions.data()) + SafeTail(parts.Take(parts.Byte()));
        const std::string folder = queue + "\\" + transaction.FolderName;
        if (made) SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
        for (int page = parts.Byte() % 4; page > 0; --page) {
            transaction.Pages.push_back({CheckChecked, WriteWaiting, folder + "\\" + SafeTail(parts.Take(parts.Byte() % 32)) + ".jpg"});
            if (made) MakePage(transaction.Pages.back().Path);
        }
    }
    DiscJobInputs inputs;
    inputs.DetectedDiscType = 1 + parts.Byte() % 2;
    inputs.OperationMode = parts.Byte() % 3;
    inputs.WritingSessionTag = inputs.OperationMode == 1 ? 1 : 0;
    for (JobTransaction& transaction : transactions) transaction.SessionTag = inputs.WritingSessionTag;
    inputs.QueuePath = queue;
    DiscCommand = 0;
    SetSessionFilePath(AnsiPath(Folder().File(L"Session.txt")));

    const DiscJob job = PrepareDiscJob(transactions, inputs);
    for (const JobTransaction& transaction : transactions) {
        for (const JobPage& page : transaction.Pages) {
            Check(job.Ready || page.WriteState == WriteWaiting, "no page is listed unless the job is ready");
            if (page.WriteState != WriteListed) continue;
            const std::string list = testsupport::ReadFileBytes(
                testsupport::FromUtf8(queue + "\\" + transaction.FolderName + "\\FileList0.txt"));
            Check(list.find(page.Path + "\r\n") != std::string::npos, "a listed page is on its transaction's list");
        }
    }
    return Outcome::Accepted;
}

std::vector<Bytes> JobCorpus() {
    auto piece = [](const std::string& text) { return std::string(1, char(text.size())) + text; };
    return {piece("") + '\2' + piece("20260531-130559") + '\2' + piece("page001") + piece("page002") + piece("x") + '\3' +
                '\1' + '\1',
            piece(std::string(200, 'q')) + '\1' + piece(std::string(120, 't')) + '\1' + piece("p") + '\1' + '\0',
            piece("\\deep\\er") + '\0' + piece("a\\b") + '\3' + piece("1") + piece("2") + piece("3") + '\2' + '\2'};
}

}  // namespace

TEST(PagorinFuzz, LanguageFileReaderSurvivesMutatedFiles) {
    std::vector<Bytes> tokens = fuzz::Utf16Tokens({L"[", L"]", L"=", L"\r\n", L"[System]", L"1033"});
    for (const char* mark : {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"}) tokens.push_back(mark);
    tokens.push_back(std::string(2, '\0'));
    fuzz::Run("LanguageFile", fuzz::Mutator(LanguageCorpus(), tokens), ReadLanguageFile);
}

TEST(PagorinFuzz, CommandLineArgumentSurvivesAnyLine) {
    fuzz::Run("CommandLine", fuzz::Mutator(CommandLineCorpus(), {"\"", " ", "\t", "\n", "Pagorin", "\\", ".exe"}),
              ParseCommandLine);
}

TEST(PagorinFuzz, HandedOverTextIsReadAndJudgedSafely) {
    fuzz::Run("HandOver", fuzz::Mutator(HandOverCorpus(), {"\\", ".jpg", ".JPG", "\"", "\r\n", std::string(1, '\0'), "%s%n"}),
              ReadHandOver);
}

TEST(PagorinFuzz, SettingsLoadFromValuesOfAnyTypeAndSize) {
    fuzz::Run("Settings", fuzz::Mutator(SettingsCorpus(), {std::string(4, '\xFF'), std::string(4, '\0'), "|", "||"}),
              LoadSettings);
}

TEST(PagorinFuzz, DiscJobTakesLongQueueAndFolderPaths) {
    fuzz::Run("QueuePaths", fuzz::Mutator(JobCorpus(), {"\\", std::string(1, '\0'), std::string(1, '\xFF')}), PrepareJob);
}

TEST(PagorinFuzz, DayLogTakesLongPathsAndAnyText) {
    fuzz::Run("DayLog", fuzz::Mutator(DayLogCorpus(), {"\\", "\r\n", "%s", "%n"}), FormatDayLog);
}
