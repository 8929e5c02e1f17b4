// Companion properties that carry wide published properties and wide string lists through form streams.
#include "WydClasses.h"
#include "WydSysUtils.h"

using namespace vcl;

bool RuntimeUTFStreaming = false;

namespace {

// The UTF companions count when the stream is read for the designer or the program asked for them.
bool UTFStreamingApplies(TFiler* filer)
{
    TComponent* root = filer->GetRoot();
    return RuntimeUTFStreaming || (root && root->GetComponentState().Contains(csDesigning));
}

// A value that may be ANSI, UTF-8 bytes or wide: the bytes of 8-bit values, decoded by `decode`.
WideString ReadEncodedString(TReader* reader, WideString (*decode)(const AnsiString&))
{
    TValueType next = reader->NextValue();
    if (next == vaString || next == vaLString)
        return decode(reader->ReadString());
    return reader->ReadWideString();
}

// Whether the text needs a UTF companion: its UTF-8 bytes read in the system code page do not give it back.
bool NeedsUTFCompanion(const WideString& value)
{
    return AnsiToWide(WideStringToUTF8(value)) != value;
}

const TPropInfo* AncestorProp(TFiler* filer, const TPropInfo* info)
{
    TPersistent* ancestor = filer->GetAncestor();
    return ancestor ? ancestor->ClassType()->FindProp(info->Name) : nullptr;
}

void DefineWideStringCompanions(TFiler* filer, TPersistent* instance, const TPropInfo* info)
{
    auto set = [instance, info](const WideString& value) {
        if (info->Set)
            info->Set(instance, TPropValue(value));
    };
    filer->DefineProperty(
        info->Name + "W",
        [filer, set](TReader* reader) {
            WideString value = ReadEncodedString(reader, UTF8ToWideString);
            if (UTFStreamingApplies(filer))
                set(value);
        },
        nullptr, false);
    WideString value = std::get<WideString>(info->Get(instance));
    bool hasData = info->IsStored(instance) && !value.empty() && NeedsUTFCompanion(value);
    if (hasData) {
        if (const TPropInfo* ancestorInfo = AncestorProp(filer, info))
            hasData = std::get<WideString>(ancestorInfo->Get(filer->GetAncestor())) != value;
    }
    filer->DefineProperty(
        info->Name + "_UTF7",
        [filer, set](TReader* reader) {
            WideString value = ReadEncodedString(reader, UTF7ToWideString);
            if (UTFStreamingApplies(filer))
                set(value);
        },
        [value](TWriter* writer) { writer->WriteString(WideStringToUTF7(value)); }, hasData);
}

void DefineWideCharCompanions(TFiler* filer, TPersistent* instance, const TPropInfo* info)
{
    auto set = [instance, info](wchar_t c) {
        if (info->Set)
            info->Set(instance, TPropValue(Int64(c)));
    };
    auto value = wchar_t(std::get<Int64>(info->Get(instance)));
    bool hasData = info->IsStored(instance) && !(info->HasDefault && info->Default == Int64(value));
    if (hasData) {
        if (const TPropInfo* ancestorInfo = AncestorProp(filer, info))
            hasData = wchar_t(std::get<Int64>(ancestorInfo->Get(filer->GetAncestor()))) != value;
    }
    filer->DefineProperty(
        info->Name + "W",
        [set](TReader* reader) {
            TValueType next = reader->NextValue();
            if (next != vaString && next != vaLString && next != vaWString && next != vaUTF8String)
                reader->ReadError();
            WideString text = reader->ReadWideString();
            if (text.size() > 1)
                throw EReadError("Invalid property value");
            set(text.empty() ? L'\0' : text[0]);
        },
        [value](TWriter* writer) { writer->WriteWideString(WideString(1, value)); }, hasData);
    filer->DefineProperty(
        info->Name + "_UTF7",
        [set](TReader* reader) {
            WideString text = ReadEncodedString(reader, UTF7ToWideString);
            set(text.empty() ? L'\0' : text[0]);
        },
        nullptr, false);
}

// "Strings": a single ANSI or wide string sets the text; a list holds ANSI and wide items.
void ReadStringsItems(TReader* reader, TWideStrings* strings)
{
    TValueType next = reader->NextValue();
    if (next == vaString || next == vaLString) {
        strings->SetText(AnsiToWide(reader->ReadString()));
        return;
    }
    if (next == vaWString || next == vaUTF8String) {
        strings->SetText(reader->ReadWideString());
        return;
    }
    reader->ReadListBegin();
    vcl::TUpdateScope<TWideStrings> update(strings);
    strings->Clear();
    while (!reader->EndOfList())
        strings->Add(reader->ReadWideString());
    reader->ReadListEnd();
}

void ReadEncodedItems(TReader* reader, TWideStrings* strings, WideString (*decode)(const AnsiString&), bool apply)
{
    reader->ReadListBegin();
    if (!apply) {
        while (!reader->EndOfList())
            reader->SkipValue();
        reader->ReadListEnd();
        return;
    }
    vcl::TUpdateScope<TWideStrings> update(strings);
    strings->Clear();
    while (!reader->EndOfList())
        strings->Add(ReadEncodedString(reader, decode));
    reader->ReadListEnd();
}

bool StringsHaveData(TFiler* filer, TWideStrings* strings)
{
    TPersistent* ancestor = filer->GetAncestor();
    if (!ancestor)
        return strings->GetCount() > 0;
    if (auto* list = dynamic_cast<TWideStrings*>(ancestor))
        return !strings->Equals(list);
    return true;
}

}  // namespace

void WydPersistent_AfterInherited_DefineProperties(TFiler* filer, TPersistent* instance)
{
    for (const TPropInfo* info : instance->ClassType()->AllProps()) {
        if (info->Kind == TTypeKind::WString)
            DefineWideStringCompanions(filer, instance, info);
        else if (info->Kind == TTypeKind::WChar)
            DefineWideCharCompanions(filer, instance, info);
    }
}

void WideStrings_DefineProperties(TFiler* filer, TWideStrings* strings)
{
    filer->DefineProperty(
        "Strings", [strings](TReader* reader) { ReadStringsItems(reader, strings); },
        [strings](TWriter* writer) {
            writer->WriteListBegin();
            for (int i = 0; i < strings->GetCount(); ++i)
                writer->WriteWideString(strings->Get(i));
            writer->WriteListEnd();
        },
        StringsHaveData(filer, strings));
}

void WydStrings_DefineProperties(TFiler* filer, TWydStrings* strings)
{
    WideStrings_DefineProperties(filer, strings);
    filer->DefineProperty(
        "WideStrings", [strings](TReader* reader) { ReadStringsItems(reader, strings); }, nullptr, false);
    filer->DefineProperty(
        "WideStringsW",
        [filer, strings](TReader* reader) {
            // Items already present at run time win over the UTF-8 copy unless UTF streaming applies.
            bool apply = UTFStreamingApplies(filer) || strings->GetCount() == 0;
            ReadEncodedItems(reader, strings, UTF8ToWideString, apply);
        },
        nullptr, false);
    bool needsUTF7 = false;
    for (int i = 0; i < strings->GetCount() && !needsUTF7; ++i)
        needsUTF7 = !strings->Get(i).empty() && NeedsUTFCompanion(strings->Get(i));
    filer->DefineProperty(
        "WideStrings_UTF7",
        [filer, strings](TReader* reader) {
            ReadEncodedItems(reader, strings, UTF7ToWideString, UTFStreamingApplies(filer));
        },
        [strings](TWriter* writer) {
            writer->WriteListBegin();
            for (int i = 0; i < strings->GetCount(); ++i)
                writer->WriteString(WideStringToUTF7(strings->Get(i)));
            writer->WriteListEnd();
        },
        StringsHaveData(filer, strings) && needsUTF7);
}

void TWideStrings::DefineProperties(TFiler* filer) { WideStrings_DefineProperties(filer, this); }

void TWydStrings::DefineProperties(TFiler* filer) { WydStrings_DefineProperties(filer, this); }
