// Settings in the INI form: the common interface, TIniFile over the profile functions, TMemIniFile in memory.
#include "IniFiles.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TCustomIniFile, TObject)
VCL_IMPLEMENT_CLASS(TIniFile, TCustomIniFile)
VCL_IMPLEMENT_CLASS(TMemIniFile, TCustomIniFile)

// ---------------------------------------------------------------------------------------------------------
// TCustomIniFile

bool TCustomIniFile::SectionExists(const AnsiString& section) {
    TStringList names;
    ReadSection(section, &names);
    return names.GetCount() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
    TStringList names;
    ReadSection(section, &names);
    return names.IndexOf(ident) >= 0;
}

int TCustomIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) {
    AnsiString text = Trim(ReadString(section, ident, AnsiString()));
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = "$" + text.substr(2);
    return StrToIntDef(text, fallback);
}

void TCustomIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback) {
    return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& section, const AnsiString& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const AnsiString& section, const AnsiString& ident, double fallback) {
    double v = fallback;
    AnsiString text = ReadString(section, ident, AnsiString());
    return !text.empty() && TryStrToFloat(text, v) ? v : fallback;
}

void TCustomIniFile::WriteFloat(const AnsiString& section, const AnsiString& ident, double value) {
    WriteString(section, ident, FloatToStr(value));
}

TDateTime TCustomIniFile::ReadDate(const AnsiString& section, const AnsiString& ident, TDateTime fallback) {
    TDateTime v = fallback;
    AnsiString text = ReadString(section, ident, AnsiString());
    return !text.empty() && TryStrToDate(text, v) ? v : fallback;
}

TDateTime TCustomIniFile::ReadDateTime(const AnsiString& section, const AnsiString& ident, TDateTime fallback) {
    TDateTime v = fallback;
    AnsiString text = ReadString(section, ident, AnsiString());
    return !text.empty() && TryStrToDateTime(text, v) ? v : fallback;
}

TDateTime TCustomIniFile::ReadTime(const AnsiString& section, const AnsiString& ident, TDateTime fallback) {
    TDateTime v = fallback;
    AnsiString text = ReadString(section, ident, AnsiString());
    return !text.empty() && TryStrToTime(text, v) ? v : fallback;
}

void TCustomIniFile::WriteDate(const AnsiString& section, const AnsiString& ident, TDateTime value) {
    WriteString(section, ident, DateToStr(value));
}

void TCustomIniFile::WriteDateTime(const AnsiString& section, const AnsiString& ident, TDateTime value) {
    WriteString(section, ident, DateTimeToStr(value));
}

void TCustomIniFile::WriteTime(const AnsiString& section, const AnsiString& ident, TDateTime value) {
    WriteString(section, ident, TimeToStr(value));
}

int TCustomIniFile::ReadBinaryStream(const AnsiString& section, const AnsiString& ident, TStream* value) {
    AnsiString text = ReadString(section, ident, AnsiString());
    AnsiString bytes;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        int hi = nibble(text[i]), lo = nibble(text[i + 1]);
        if (hi < 0 || lo < 0) break;  // the valid prefix, as a damaged value should not fail the program
        bytes += static_cast<char>(hi * 16 + lo);
    }
    if (!bytes.empty()) {
        Int64 start = value->GetPosition();
        value->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
        value->SetPosition(start);
    }
    return static_cast<int>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const AnsiString& section, const AnsiString& ident, TStream* value) {
    AnsiString text;
    unsigned char buffer[4096];
    for (int n; (n = value->Read(buffer, sizeof buffer)) > 0;)
        for (int i = 0; i < n; ++i) text += IntToHex(buffer[i], 2);
    WriteString(section, ident, text);
}

// ---------------------------------------------------------------------------------------------------------
// TIniFile

namespace {
const char* Nullable(const AnsiString& s) { return s.c_str(); }

// The profile functions return double-NUL-terminated lists when asked for names.
void SplitNames(const std::vector<char>& buffer, DWORD length, TStrings* strings) {
    for (DWORD i = 0; i < length;) {
        const char* p = buffer.data() + i;
        size_t n = std::strlen(p);
        if (n == 0) break;
        strings->Add(AnsiString(p, n));
        i += static_cast<DWORD>(n) + 1;
    }
}

DWORD ProfileString(const char* section, const char* ident, const char* fallback, const AnsiString& file,
                    std::vector<char>& buffer) {
    for (DWORD size = 2048;; size *= 4) {
        buffer.assign(size, '\0');
        DWORD n = GetPrivateProfileStringA(section, ident, fallback, buffer.data(), size, file.c_str());
        // A full buffer means the text may have been cut: ask again with more room.
        if (n + 2 < size || size >= (1u << 24)) return n;
    }
}
}  // namespace

TIniFile::~TIniFile() { UpdateFile(); }

AnsiString TIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
    std::vector<char> buffer;
    DWORD n = ProfileString(section.c_str(), ident.c_str(), fallback.c_str(), GetFileName(), buffer);
    return AnsiString(buffer.data(), n);
}

void TIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
    if (!WritePrivateProfileStringA(section.c_str(), ident.c_str(), value.c_str(), GetFileName().c_str()))
        throw EIniFileException("Unable to write to %s", {GetFileName()});
}

void TIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
    std::vector<char> buffer;
    DWORD n = ProfileString(section.c_str(), nullptr, nullptr, GetFileName(), buffer);
    strings->BeginUpdate();
    strings->Clear();
    SplitNames(buffer, n, strings);
    strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* strings) {
    std::vector<char> buffer;
    DWORD n = ProfileString(nullptr, nullptr, nullptr, GetFileName(), buffer);
    strings->BeginUpdate();
    strings->Clear();
    SplitNames(buffer, n, strings);
    strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const AnsiString& section, TStrings* strings) {
    TStringList names;
    ReadSection(section, &names);
    strings->BeginUpdate();
    strings->Clear();
    for (int i = 0; i < names.GetCount(); ++i)
        strings->Add(names.GetStrings(i) + "=" + ReadString(section, names.GetStrings(i), AnsiString()));
    strings->EndUpdate();
}

void TIniFile::EraseSection(const AnsiString& section) {
    if (!WritePrivateProfileStringA(Nullable(section), nullptr, nullptr, GetFileName().c_str()))
        throw EIniFileException("Unable to write to %s", {GetFileName()});
}

void TIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
    WritePrivateProfileStringA(section.c_str(), ident.c_str(), nullptr, GetFileName().c_str());
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, GetFileName().c_str()); }

// ---------------------------------------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const AnsiString& fileName) : TCustomIniFile(fileName) { LoadValues(); }

TMemIniFile::~TMemIniFile() { Clear(); }

void TMemIniFile::Clear() {
    for (int i = 0; i < sections_.GetCount(); ++i) delete sections_.GetObjects(i);
    sections_.Clear();
}

void TMemIniFile::LoadValues() {
    Clear();
    if (GetFileName().empty() || !FileExists(GetFileName())) return;
    TStringList lines;
    lines.LoadFromFile(GetFileName());
    SetStrings(&lines);
}

TStringList* TMemIniFile::Section(const AnsiString& section, bool create) {
    int i = sections_.IndexOf(section);
    if (i >= 0) return static_cast<TStringList*>(sections_.GetObjects(i));
    if (!create) return nullptr;
    auto* values = new TStringList;
    sections_.AddObject(section, values);
    return values;
}

void TMemIniFile::SetStrings(TStrings* list) {
    Clear();
    TStringList* current = nullptr;
    for (int i = 0; i < list->GetCount(); ++i) {
        AnsiString line = Trim(list->GetStrings(i));
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = Section(Trim(line.substr(1, line.size() - 2)), true);
        } else if (current) {
            size_t eq = line.find('=');
            current->Add(eq == AnsiString::npos ? line : TrimRight(line.substr(0, eq)) + "=" + TrimLeft(line.substr(eq + 1)));
        }
    }
}

void TMemIniFile::GetStrings(TStrings* list) {
    list->BeginUpdate();
    list->Clear();
    for (int i = 0; i < sections_.GetCount(); ++i) {
        list->Add("[" + sections_.GetStrings(i) + "]");
        list->AddStrings(static_cast<TStringList*>(sections_.GetObjects(i)));
        list->Add(AnsiString());
    }
    list->EndUpdate();
}

void TMemIniFile::Rename(const AnsiString& fileName, bool reload) {
    SetFileName(fileName);
    if (reload) LoadValues();
}

AnsiString TMemIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
    TStringList* values = Section(section, false);
    if (!values) return fallback;
    int i = values->IndexOfName(ident);
    return i < 0 ? fallback : values->GetValueFromIndex(i);
}

void TMemIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
    TStringList* values = Section(section, true);
    AnsiString line = ident + "=" + value;
    int i = values->IndexOfName(ident);
    if (i < 0) values->Add(line);
    else values->SetStrings(i, line);
}

void TMemIniFile::ReadSection(const AnsiString& section, TStrings* strings) {
    strings->BeginUpdate();
    strings->Clear();
    if (TStringList* values = Section(section, false))
        for (int i = 0; i < values->GetCount(); ++i) {
            AnsiString name = values->GetNames(i);
            if (!name.empty()) strings->Add(name);
        }
    strings->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* strings) {
    strings->BeginUpdate();
    strings->Clear();
    for (int i = 0; i < sections_.GetCount(); ++i) strings->Add(sections_.GetStrings(i));
    strings->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const AnsiString& section, TStrings* strings) {
    strings->BeginUpdate();
    strings->Clear();
    if (TStringList* values = Section(section, false)) strings->AddStrings(values);
    strings->EndUpdate();
}

void TMemIniFile::EraseSection(const AnsiString& section) {
    int i = sections_.IndexOf(section);
    if (i < 0) return;
    delete sections_.GetObjects(i);
    sections_.Delete(i);
}

void TMemIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
    TStringList* values = Section(section, false);
    int i = values ? values->IndexOfName(ident) : -1;
    if (i >= 0) values->Delete(i);
}

void TMemIniFile::UpdateFile() {
    TStringList lines;
    GetStrings(&lines);
    lines.SaveToFile(GetFileName());
}

}  // namespace vcl
