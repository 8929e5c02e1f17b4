// Run-time access to published properties by name (the form designer's view of a component).
#include "TypInfo.h"

#include "SysUtils.h"

namespace vcl {

namespace {
const TPropInfo& Prop(TObject* instance, const AnsiString& name) {
    const TPropInfo* info = GetPropInfo(instance, name);
    if (!info) throw EPropertyError("Unknown property: %s", {name});
    return *info;
}

const TPropInfo& Writable(TObject* instance, const AnsiString& name) {
    const TPropInfo& info = Prop(instance, name);
    if (!info.Set) throw EPropertyError("Property %s is read-only", {name});
    return info;
}
}  // namespace

const TPropInfo* GetPropInfo(TObject* instance, const AnsiString& name) {
    return instance ? instance->ClassType()->FindProp(name) : nullptr;
}

bool IsPublishedProp(TObject* instance, const AnsiString& name) { return GetPropInfo(instance, name) != nullptr; }

TTypeKind PropType(TObject* instance, const AnsiString& name) { return Prop(instance, name).Kind; }

Int64 GetOrdProp(TObject* instance, const AnsiString& name) { return detail::OrdinalOf(Prop(instance, name).Get(instance)); }

void SetOrdProp(TObject* instance, const AnsiString& name, Int64 value) { Writable(instance, name).Set(instance, value); }

AnsiString GetEnumProp(TObject* instance, const AnsiString& name) {
    const TPropInfo& info = Prop(instance, name);
    return info.EnumName(detail::OrdinalOf(info.Get(instance)));
}

void SetEnumProp(TObject* instance, const AnsiString& name, const AnsiString& value) {
    const TPropInfo& info = Writable(instance, name);
    int v = info.EnumValue(value);
    if (v < 0) throw EPropertyError("Invalid property element: %s", {value});
    info.Set(instance, static_cast<Int64>(v));
}

AnsiString GetSetProp(TObject* instance, const AnsiString& name, bool brackets) {
    const TPropInfo& info = Prop(instance, name);
    Int64 bits = detail::OrdinalOf(info.Get(instance));
    AnsiString text;
    for (size_t i = 0; i < info.Names.size() && i < 64; ++i)
        if (bits & (Int64(1) << i)) text += (text.empty() ? "" : ",") + info.Names[i];
    return brackets ? "[" + text + "]" : text;
}

void SetSetProp(TObject* instance, const AnsiString& name, const AnsiString& value) {
    const TPropInfo& info = Writable(instance, name);
    AnsiString text = Trim(value);
    if (!text.empty() && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
    Int64 bits = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        AnsiString element = Trim(text.substr(start, comma == AnsiString::npos ? AnsiString::npos : comma - start));
        if (!element.empty()) {
            int v = info.EnumValue(element);
            if (v < 0 || v >= 64) throw EPropertyError("Invalid property element: %s", {element});
            bits |= Int64(1) << v;
        }
        if (comma == AnsiString::npos) break;
        start = comma + 1;
    }
    info.Set(instance, bits);
}

AnsiString GetStrProp(TObject* instance, const AnsiString& name) { return detail::AnsiOf(Prop(instance, name).Get(instance)); }

void SetStrProp(TObject* instance, const AnsiString& name, const AnsiString& value) {
    Writable(instance, name).Set(instance, value);
}

WideString GetWideStrProp(TObject* instance, const AnsiString& name) {
    return detail::WideOf(Prop(instance, name).Get(instance));
}

void SetWideStrProp(TObject* instance, const AnsiString& name, const WideString& value) {
    Writable(instance, name).Set(instance, value);
}

double GetFloatProp(TObject* instance, const AnsiString& name) { return detail::FloatOf(Prop(instance, name).Get(instance)); }

void SetFloatProp(TObject* instance, const AnsiString& name, double value) {
    Writable(instance, name).Set(instance, value);
}

TObject* GetObjectProp(TObject* instance, const AnsiString& name) {
    return detail::ObjectOf(Prop(instance, name).Get(instance));
}

void SetObjectProp(TObject* instance, const AnsiString& name, TObject* value) {
    Writable(instance, name).Set(instance, value);
}

}  // namespace vcl
