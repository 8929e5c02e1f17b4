// Settings in the INI form: the common interface, TIniFile over the profile functions, TMemIniFile in memory.
#pragma once

#include "Classes.h"

namespace vcl {

VCL_EXCEPTION(EIniFileException, Exception)

class TCustomIniFile : public TObject {
    VCL_CLASS(TCustomIniFile, TObject)
    explicit TCustomIniFile(const AnsiString& fileName) : fileName_(fileName) {}
    ~TCustomIniFile() override = default;

    const AnsiString& GetFileName() const { return fileName_; }

    virtual bool SectionExists(const AnsiString& section);
    virtual bool ValueExists(const AnsiString& section, const AnsiString& ident);
    virtual AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) = 0;
    virtual void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) = 0;
    // Decimal or "0x" hexadecimal; the fallback for anything else.
    virtual int ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback);
    virtual void WriteInteger(const AnsiString& section, const AnsiString& ident, int value);
    virtual bool ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback);
    virtual void WriteBool(const AnsiString& section, const AnsiString& ident, bool value);
    virtual double ReadFloat(const AnsiString& section, const AnsiString& ident, double fallback);
    virtual void WriteFloat(const AnsiString& section, const AnsiString& ident, double value);
    virtual TDateTime ReadDate(const AnsiString& section, const AnsiString& ident, TDateTime fallback);
    virtual TDateTime ReadDateTime(const AnsiString& section, const AnsiString& ident, TDateTime fallback);
    virtual TDateTime ReadTime(const AnsiString& section, const AnsiString& ident, TDateTime fallback);
    virtual void WriteDate(const AnsiString& section, const AnsiString& ident, TDateTime value);
    virtual void WriteDateTime(const AnsiString& section, const AnsiString& ident, TDateTime value);
    virtual void WriteTime(const AnsiString& section, const AnsiString& ident, TDateTime value);
    // Binary values are stored as hexadecimal text; ReadBinaryStream gives the bytes written to `value`.
    virtual int ReadBinaryStream(const AnsiString& section, const AnsiString& ident, TStream* value);
    virtual void WriteBinaryStream(const AnsiString& section, const AnsiString& ident, TStream* value);
    virtual void ReadSection(const AnsiString& section, TStrings* strings) = 0;
    virtual void ReadSections(TStrings* strings) = 0;
    virtual void ReadSectionValues(const AnsiString& section, TStrings* strings) = 0;
    virtual void EraseSection(const AnsiString& section) = 0;
    virtual void DeleteKey(const AnsiString& section, const AnsiString& ident) = 0;
    virtual void UpdateFile() = 0;

protected:
    void SetFileName(const AnsiString& fileName) { fileName_ = fileName; }

private:
    AnsiString fileName_;
};

// Over GetPrivateProfileStringA and friends: every write goes to the file at once.
class TIniFile : public TCustomIniFile {
    VCL_CLASS(TIniFile, TCustomIniFile)
    explicit TIniFile(const AnsiString& fileName) : TCustomIniFile(fileName) {}
    ~TIniFile() override;

    AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) override;
    void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
    void ReadSection(const AnsiString& section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(const AnsiString& section, TStrings* strings) override;
    void EraseSection(const AnsiString& section) override;
    void DeleteKey(const AnsiString& section, const AnsiString& ident) override;
    void UpdateFile() override;
};

// The whole file in memory; UpdateFile writes it back.
class TMemIniFile : public TCustomIniFile {
    VCL_CLASS(TMemIniFile, TCustomIniFile)
    explicit TMemIniFile(const AnsiString& fileName);
    ~TMemIniFile() override;

    AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) override;
    void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
    void ReadSection(const AnsiString& section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(const AnsiString& section, TStrings* strings) override;
    void EraseSection(const AnsiString& section) override;
    void DeleteKey(const AnsiString& section, const AnsiString& ident) override;
    void UpdateFile() override;
    void Clear();
    void GetStrings(TStrings* list);
    void SetStrings(TStrings* list);
    void Rename(const AnsiString& fileName, bool reload);

private:
    TStringList* Section(const AnsiString& section, bool create);
    void LoadValues();
    TStringList sections_;  // objects: the section's name=value lines (a TStringList each)
};

}  // namespace vcl
