// The object model's plumbing: metaclasses, the class registry, property values and string conversions.
#include "System.h"

#include <map>

#include "SysUtils.h"

namespace vcl {

unsigned DefaultSystemCodePage = 0;

WideString CodePageToWide(const AnsiString& text, unsigned codePage) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    WideString out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

AnsiString WideToCodePage(const WideString& text, unsigned codePage) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    AnsiString out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

WideString AnsiToWide(const AnsiString& text) { return CodePageToWide(text, DefaultSystemCodePage); }
AnsiString WideToAnsi(const WideString& text) { return WideToCodePage(text, DefaultSystemCodePage); }
AnsiString UTF8Encode(const WideString& text) { return WideToCodePage(text, CP_UTF8); }
WideString UTF8Decode(const AnsiString& text) { return CodePageToWide(text, CP_UTF8); }

// ---------------------------------------------------------------------------------------------------------

TPropInfo& TPropInfo::WithNames(std::vector<AnsiString> names) {
    Names = std::move(names);
    return *this;
}

TPropInfo& TPropInfo::AsSet(std::vector<AnsiString> names) {
    Kind = TTypeKind::Set;
    Names = std::move(names);
    return *this;
}

AnsiString TPropInfo::EnumName(Int64 value) const {
    if (value < 0 || value >= static_cast<Int64>(Names.size())) return {};
    return Names[static_cast<size_t>(value)];
}

int TPropInfo::EnumValue(const AnsiString& name) const {
    for (size_t i = 0; i < Names.size(); ++i)
        if (SameText(Names[i], name)) return static_cast<int>(i);
    return -1;
}

bool TMetaClass::InheritsFrom(TClass ancestor) const {
    for (TClass c = this; c; c = c->parent_)
        if (c == ancestor) return true;
    return false;
}

TObject* TMetaClass::Create(TComponent* owner) const {
    if (!factory_) throw EInvalidOperation("Cannot create an instance of the abstract class " + name_);
    return factory_(owner);
}

const TPropInfo* TMetaClass::FindProp(const AnsiString& name) const {
    for (TClass c = this; c; c = c->parent_)
        for (const TPropInfo& p : c->props_)
            if (SameText(p.Name, name)) return &p;
    return nullptr;
}

const TFieldInfo* TMetaClass::FindField(const AnsiString& name) const {
    for (TClass c = this; c; c = c->parent_)
        for (const TFieldInfo& f : c->fields_)
            if (SameText(f.Name, name)) return &f;
    return nullptr;
}

TClass TMetaClass::FindFieldClass(const AnsiString& className) const {
    for (TClass c = this; c; c = c->parent_)
        for (const TFieldInfo& f : c->fields_)
            if (f.ClassOf && SameText(f.ClassOf()->ClassName(), className)) return f.ClassOf();
    return nullptr;
}

const TMethodInfo* TMetaClass::FindMethod(const AnsiString& name) const {
    for (TClass c = this; c; c = c->parent_)
        for (const TMethodInfo& m : c->methods_)
            if (SameText(m.Name, name)) return &m;
    return nullptr;
}

const TMethodInfo* TMetaClass::FindMethodByCode(const TMethodCode& code) const {
    for (TClass c = this; c; c = c->parent_)
        for (const TMethodInfo& m : c->methods_)
            if (m.Code == code) return &m;
    return nullptr;
}

std::vector<const TPropInfo*> TMetaClass::AllProps() const {
    std::vector<TClass> chain;
    for (TClass c = this; c; c = c->parent_) chain.insert(chain.begin(), c);
    std::vector<const TPropInfo*> out;
    for (TClass c : chain)
        for (const TPropInfo& p : c->props_) {
            // A descendant that republishes a name (to change its default) replaces the ancestor's entry.
            bool replaced = false;
            for (auto& e : out)
                if (SameText(e->Name, p.Name)) e = &p, replaced = true;
            if (!replaced) out.push_back(&p);
        }
    return out;
}

// A name the class publishes again (after a shared list of its ancestors' properties) replaces the entry.
TPropInfo& TMetaClass::AddProp(TPropInfo info) {
    for (TPropInfo& p : props_)
        if (SameText(p.Name, info.Name)) return p = std::move(info);
    props_.push_back(std::move(info));
    return props_.back();
}

TClass TObject::StaticClass() {
    static const TMetaClass meta("TObject", nullptr, nullptr);
    return &meta;
}

bool TObject::ClassNameIs(const AnsiString& name) const { return SameText(ClassName(), name); }

bool TObject::GetInterface(REFIID, void** object) {
    if (object) *object = nullptr;
    return false;
}

VCL_IMPLEMENT_CLASS(TInterfacedObject, TObject)

HRESULT STDMETHODCALLTYPE TInterfacedObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TInterfacedObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

ULONG STDMETHODCALLTYPE TInterfacedObject::Release() {
    LONG count = InterlockedDecrement(&refCount_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

// ---------------------------------------------------------------------------------------------------------

namespace {
std::map<AnsiString, TClass>& Registry() {
    static std::map<AnsiString, TClass> classes;  // key: upper-case name
    return classes;
}
}  // namespace

void RegisterClass(TClass cls) { Registry()[UpperCase(cls->ClassName())] = cls; }

void RegisterClasses(std::initializer_list<TClass> classes) {
    for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass cls) {
    auto it = Registry().find(UpperCase(cls->ClassName()));
    if (it != Registry().end() && it->second == cls) Registry().erase(it);
}

TClass GetClass(const AnsiString& name) {
    auto it = Registry().find(UpperCase(name));
    return it == Registry().end() ? nullptr : it->second;
}

TClass FindClass(const AnsiString& name) {
    TClass c = GetClass(name);
    if (!c) throw EClassNotFound(Format("Class %s not found", {name}));
    return c;
}

// ---------------------------------------------------------------------------------------------------------

namespace detail {

[[noreturn]] static void RaiseKind() { throw EPropertyError("Invalid property value"); }

Int64 OrdinalOf(const TPropValue& v) {
    if (auto p = std::get_if<Int64>(&v)) return *p;
    if (auto d = std::get_if<double>(&v)) return static_cast<Int64>(*d);
    RaiseKind();
}

double FloatOf(const TPropValue& v) {
    if (auto d = std::get_if<double>(&v)) return *d;
    if (auto p = std::get_if<Int64>(&v)) return static_cast<double>(*p);
    RaiseKind();
}

AnsiString AnsiOf(const TPropValue& v) {
    if (auto s = std::get_if<AnsiString>(&v)) return *s;
    if (auto w = std::get_if<WideString>(&v)) return WideToAnsi(*w);
    RaiseKind();
}

WideString WideOf(const TPropValue& v) {
    if (auto w = std::get_if<WideString>(&v)) return *w;
    if (auto s = std::get_if<AnsiString>(&v)) return AnsiToWide(*s);
    RaiseKind();
}

TObject* ObjectOf(const TPropValue& v) {
    if (auto o = std::get_if<TObject*>(&v)) return *o;
    RaiseKind();
}

const TMethodName& MethodOf(const TPropValue& v) {
    if (auto m = std::get_if<TMethodName>(&v)) return *m;
    RaiseKind();
}

void RaiseMethodMismatch(const AnsiString& name) {
    throw EMethodNotFound("Method '%s' not found", {name});
}

}  // namespace detail

}  // namespace vcl
