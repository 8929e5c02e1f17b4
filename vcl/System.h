// The class library's root: its string types, the object model (TObject and its metaclass), published
// properties for streaming and access by name, and method-pointer events.
#pragma once

#include <windows.h>

#include <any>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace vcl {

// 8-bit text in the system code page (DefaultSystemCodePage) and UTF-16 text.
using AnsiString = std::string;
using WideString = std::wstring;
using Int64 = std::int64_t;
using TDateTime = double;  // days since 1899-12-30, fraction = time of day

// Code page of every ANSI <-> wide conversion of the library; 0 = the system's ANSI code page (CP_ACP).
extern unsigned DefaultSystemCodePage;

WideString AnsiToWide(const AnsiString& text);
AnsiString WideToAnsi(const WideString& text);
WideString CodePageToWide(const AnsiString& text, unsigned codePage);
AnsiString WideToCodePage(const WideString& text, unsigned codePage);
AnsiString UTF8Encode(const WideString& text);
WideString UTF8Decode(const AnsiString& text);

class TObject;
class TComponent;
class TMetaClass;
// The bytes of a member function pointer: what makes two events bound to the same method equal.
using TMethodCode = std::array<unsigned char, 2 * sizeof(void*)>;

// A set of enumeration values (up to 64), as the library's sets are: csLoading in ComponentState.
template <class E>
class TSet {
public:
    TSet() = default;
    TSet(std::initializer_list<E> values) {
        for (E v : values) *this << v;
    }
    static TSet FromInt(std::uint64_t bits) { TSet s; s.bits_ = bits; return s; }
    std::uint64_t ToInt() const { return bits_; }
    bool Contains(E v) const { return bits_ & Bit(v); }
    bool Empty() const { return bits_ == 0; }
    TSet& operator<<(E v) { bits_ |= Bit(v); return *this; }
    TSet& operator>>(E v) { bits_ &= ~Bit(v); return *this; }
    TSet operator+(TSet o) const { return FromInt(bits_ | o.bits_); }
    TSet operator-(TSet o) const { return FromInt(bits_ & ~o.bits_); }
    TSet operator*(TSet o) const { return FromInt(bits_ & o.bits_); }
    bool operator==(const TSet& o) const { return bits_ == o.bits_; }

private:
    static std::uint64_t Bit(E v) { return std::uint64_t(1) << static_cast<unsigned>(v); }
    std::uint64_t bits_ = 0;
};
using TClass = const TMetaClass*;

// ---------------------------------------------------------------------------------------------------------
// Events: a callable with the sender first, comparable for identity when bound to (object, member function).

template <class... Args>
class TEvent {
public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}
    template <class C, class M>
    TEvent(C* object, void (M::*method)(Args...))
        : fn_([object, method](Args... a) { (object->*method)(std::forward<Args>(a)...); }), object_(object) {
        static_assert(sizeof(method) <= sizeof(code_), "member pointer too large");
        std::memcpy(code_.data(), &method, sizeof(method));
    }
    // A free callable; `identity` lets a later Remove find it again (nullptr: equal only to a copy of itself).
    explicit TEvent(std::function<void(Args...)> fn, const void* identity = nullptr)
        : fn_(std::move(fn)), object_(identity), anonymous_(identity == nullptr) {}

    explicit operator bool() const { return static_cast<bool>(fn_); }
    // An unassigned event does nothing.
    void operator()(Args... a) const {
        if (fn_) fn_(std::forward<Args>(a)...);
    }
    bool operator==(const TEvent& other) const {
        if (!fn_ || !other.fn_) return !fn_ && !other.fn_;
        return object_ == other.object_ && code_ == other.code_ && !anonymous_ && !other.anonymous_;
    }
    const void* Object() const { return object_; }
    const TMethodCode& Code() const { return code_; }

private:
    std::function<void(Args...)> fn_;
    const void* object_ = nullptr;
    std::array<unsigned char, 2 * sizeof(void*)> code_{};  // the member function pointer's bytes
    bool anonymous_ = false;
};

using TNotifyEvent = TEvent<TObject*>;

// ---------------------------------------------------------------------------------------------------------
// Published properties: the table the form reader and writer and access by name work from.

enum class TTypeKind { Integer, Int64, Char, WChar, Enumeration, Set, Float, String, WString, Class, Method };

// A property value in transit. Ordinals (integers, chars, enums, sets as bit masks) travel as Int64.
struct TMethodName {
    TObject* Root = nullptr;        // whose method table the name refers to (set by the reader)
    AnsiString Name;                // empty = unassigned
    const void* Object = nullptr;   // what an event getter reports: the bound object and member
    TMethodCode Code{};
    bool operator==(const TMethodName&) const = default;
};
using TPropValue = std::variant<Int64, double, AnsiString, WideString, TObject*, TMethodName>;

struct TPropInfo {
    AnsiString Name;
    TTypeKind Kind = TTypeKind::Integer;
    std::function<TPropValue(TObject*)> Get;
    std::function<void(TObject*, const TPropValue&)> Set;  // empty for read-only (class properties: sub-objects)
    std::function<bool(TObject*)> StoredFn;                 // empty = always stored
    bool HasDefault = false;
    Int64 Default = 0;
    std::vector<AnsiString> Names;  // element names of enumerations and sets
    TClass (*ClassOf)() = nullptr;  // class of a class-kind property; asked late, classes may refer to their own
    // Integers that streams name by identifier (clBtnFace, crDefault ...).
    const std::vector<std::pair<AnsiString, Int64>>* Idents = nullptr;

    // Chained setters used where a class publishes the property.
    TPropInfo& WithDefault(Int64 value) { HasDefault = true; Default = value; return *this; }
    TPropInfo& NoDefault() { HasDefault = false; return *this; }
    TPropInfo& WithNames(std::vector<AnsiString> names);
    TPropInfo& WithIdents(const std::vector<std::pair<AnsiString, Int64>>* idents) { Idents = idents; return *this; }
    TPropInfo& AsSet(std::vector<AnsiString> names);
    template <class C>
    TPropInfo& Stored(bool (C::*pred)() const) {
        StoredFn = [pred](TObject* o) { return (static_cast<C*>(o)->*pred)(); };
        return *this;
    }
    TPropInfo& Stored(bool stored) {
        StoredFn = [stored](TObject*) { return stored; };
        return *this;
    }
    bool IsStored(TObject* instance) const { return !StoredFn || StoredFn(instance); }
    TClass PropClass() const { return ClassOf ? ClassOf() : nullptr; }
    // Name of an enumeration value; empty when out of range.
    AnsiString EnumName(Int64 value) const;
    int EnumValue(const AnsiString& name) const;  // -1 when unknown
};

// A published component field of a form class: the reader sets it to the component of that name.
struct TFieldInfo {
    AnsiString Name;
    TClass (*ClassOf)() = nullptr;
    std::function<void(TObject* root, TObject* value)> Assign;
};

// A published method: the reader binds event properties named in a form stream to it.
struct TMethodInfo {
    AnsiString Name;
    std::any MakeEvent;  // std::function<TEvent<Args...>(TObject*)>
    TMethodCode Code{};
};

// The class of a class: name, parent, virtual constructor and published members.
class TMetaClass {
public:
    using Factory = TObject* (*)(TComponent* owner);
    TMetaClass(const char* name, TClass parent, Factory factory) : name_(name), parent_(parent), factory_(factory) {}

    const AnsiString& ClassName() const { return name_; }
    TClass ClassParent() const { return parent_; }
    bool InheritsFrom(TClass ancestor) const;
    bool CanCreate() const { return factory_ != nullptr; }
    // The virtual constructor: Create(Owner). Raises EInvalidOperation for abstract classes.
    TObject* Create(TComponent* owner) const;

    // Looked up through the ancestors; nullptr when absent.
    const TPropInfo* FindProp(const AnsiString& name) const;
    const TFieldInfo* FindField(const AnsiString& name) const;
    TClass FindFieldClass(const AnsiString& className) const;
    const TMethodInfo* FindMethod(const AnsiString& name) const;
    const TMethodInfo* FindMethodByCode(const TMethodCode& code) const;
    // All published properties, ancestors' first, in declaration order.
    std::vector<const TPropInfo*> AllProps() const;

    // Declaration helpers, called from the class's registration function.
    template <class C, class G, class S>
    TPropInfo& Publish(const char* name, G (C::*getter)() const, void (C::*setter)(S));
    template <class C, class G>
    TPropInfo& PublishReadOnly(const char* name, G* (C::*getter)() const);
    template <class C, class T>
    void PublishField(const char* name, T* C::*field);
    template <class C, class... Args>
    void PublishMethod(const char* name, void (C::*method)(Args...));
    TPropInfo& AddProp(TPropInfo info);

private:
    AnsiString name_;
    TClass parent_;
    Factory factory_;
    std::vector<TPropInfo> props_;
    std::vector<TFieldInfo> fields_;
    std::vector<TMethodInfo> methods_;
};

class TObject {
public:
    virtual ~TObject() = default;
    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }
    AnsiString ClassName() const { return ClassType()->ClassName(); }
    TClass ClassParent() const { return ClassType()->ClassParent(); }
    bool InheritsFrom(TClass ancestor) const { return ClassType()->InheritsFrom(ancestor); }
    bool ClassNameIs(const AnsiString& name) const;
    // The interface `iid` of this object (AddRef'ed) when it implements it; objects without interfaces: false.
    virtual bool GetInterface(REFIID iid, void** object);
};

// The class registry used by form streaming: classes are found by name once registered.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
TClass GetClass(const AnsiString& name);   // nullptr when not registered
TClass FindClass(const AnsiString& name);  // raises EClassNotFound

// Gives a variable a value for the lifetime of a scope; its value from before comes back at the scope's end,
// also when an exception leaves it.
template <class T>
class TScopedValue {
public:
    TScopedValue(T& variable, T value) : variable_(variable), saved_(variable) { variable_ = value; }
    ~TScopedValue() { variable_ = saved_; }
    TScopedValue(const TScopedValue&) = delete;
    TScopedValue& operator=(const TScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};

// BeginUpdate of a list now, its EndUpdate when the scope ends (also through an exception).
template <class Items>
class TUpdateScope {
public:
    explicit TUpdateScope(Items* items) : items_(items) { items_->BeginUpdate(); }
    ~TUpdateScope() { items_->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    Items* items_;
};

namespace detail {
template <class T>
TObject* MakeInstance(TComponent* owner) {
    if constexpr (std::is_abstract_v<T>) {
        return nullptr;
    } else if constexpr (std::is_constructible_v<T, TComponent*>) {
        return new T(owner);
    } else if constexpr (std::is_default_constructible_v<T>) {
        return new T();
    } else {
        return nullptr;
    }
}
template <class T>
constexpr TMetaClass::Factory FactoryOf() {
    if constexpr (std::is_abstract_v<T> ||
                  !(std::is_constructible_v<T, TComponent*> || std::is_default_constructible_v<T>))
        return nullptr;
    else
        return &MakeInstance<T>;
}
}  // namespace detail

// Inside a class body: VCL_CLASS(TMyButton, TButton) makes ClassType/StaticClass and `inherited`.
#define VCL_CLASS(Self, Base)                                          \
public:                                                                \
    using inherited = Base;                                            \
    static ::vcl::TClass StaticClass();                                \
    ::vcl::TClass ClassType() const override { return StaticClass(); } \
                                                                       \
public:

// In the source: VCL_IMPLEMENT_CLASS(TMyButton, TButton, { m.Publish(...); }) with `m` the metaclass.
#define VCL_IMPLEMENT_CLASS(Self, Base, ...)                                                              \
    ::vcl::TClass Self::StaticClass() {                                                                   \
        static const ::vcl::TMetaClass* meta = [] {                                                       \
            auto* mc = new ::vcl::TMetaClass(#Self, Base::StaticClass(), ::vcl::detail::FactoryOf<Self>()); \
            [[maybe_unused]] ::vcl::TMetaClass& m = *mc;                                                  \
            __VA_ARGS__                                                                                   \
            return mc;                                                                                    \
        }();                                                                                              \
        return meta;                                                                                      \
    }

// An object reached through COM-style interfaces: reference counted, freed at the last Release.
// Descendants answer QueryInterface for their own interface ids and call this one for the rest.
class TInterfacedObject : public TObject, public IUnknown {
    VCL_CLASS(TInterfacedObject, TObject)
    TInterfacedObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    LONG GetRefCount() const { return refCount_; }
    bool GetInterface(REFIID iid, void** object) override { return SUCCEEDED(QueryInterface(iid, object)); }

private:
    LONG refCount_ = 0;
};

namespace detail {
template <class T>
struct IsEvent : std::false_type {};
template <class... A>
struct IsEvent<TEvent<A...>> : std::true_type {};

template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};

template <class T>
TTypeKind KindOf() {
    using U = std::decay_t<T>;
    if constexpr (std::is_same_v<U, bool>) return TTypeKind::Enumeration;
    else if constexpr (std::is_same_v<U, char>) return TTypeKind::Char;
    else if constexpr (std::is_same_v<U, wchar_t>) return TTypeKind::WChar;
    else if constexpr (std::is_enum_v<U>) return TTypeKind::Enumeration;
    else if constexpr (std::is_same_v<U, Int64>) return TTypeKind::Int64;
    else if constexpr (std::is_integral_v<U>) return TTypeKind::Integer;
    else if constexpr (std::is_floating_point_v<U>) return TTypeKind::Float;
    else if constexpr (std::is_same_v<U, AnsiString>) return TTypeKind::String;
    else if constexpr (std::is_same_v<U, WideString>) return TTypeKind::WString;
    else if constexpr (std::is_pointer_v<U>) return TTypeKind::Class;
    else if constexpr (IsEvent<U>::value) return TTypeKind::Method;
    else if constexpr (IsSet<U>::value) return TTypeKind::Set;
    else static_assert(sizeof(U) == 0, "unsupported property type");
}

Int64 OrdinalOf(const TPropValue& v);
double FloatOf(const TPropValue& v);
AnsiString AnsiOf(const TPropValue& v);
WideString WideOf(const TPropValue& v);
TObject* ObjectOf(const TPropValue& v);
const TMethodName& MethodOf(const TPropValue& v);
[[noreturn]] void RaiseMethodMismatch(const AnsiString& name);

template <class T>
TPropValue ToValue(const T& v) {
    using U = std::decay_t<T>;
    if constexpr (std::is_same_v<U, AnsiString> || std::is_same_v<U, WideString>) return v;
    else if constexpr (std::is_floating_point_v<U>) return static_cast<double>(v);
    else if constexpr (std::is_pointer_v<U>) return static_cast<TObject*>(v);
    else if constexpr (IsSet<U>::value) return static_cast<Int64>(v.ToInt());
    else return static_cast<Int64>(v);
}

template <class T>
T FromValue(const TPropValue& v) {
    using U = std::decay_t<T>;
    if constexpr (std::is_same_v<U, AnsiString>) return AnsiOf(v);
    else if constexpr (std::is_same_v<U, WideString>) return WideOf(v);
    else if constexpr (std::is_floating_point_v<U>) return static_cast<U>(FloatOf(v));
    else if constexpr (std::is_pointer_v<U>) {
        TObject* o = ObjectOf(v);
        return o ? dynamic_cast<U>(o) : nullptr;
    } else if constexpr (IsSet<U>::value) return U::FromInt(static_cast<std::uint64_t>(OrdinalOf(v)));
    else return static_cast<U>(OrdinalOf(v));
}
}  // namespace detail

template <class C, class G, class S>
TPropInfo& TMetaClass::Publish(const char* name, G (C::*getter)() const, void (C::*setter)(S)) {
    using T = std::decay_t<G>;
    TPropInfo info;
    info.Name = name;
    info.Kind = detail::KindOf<T>();
    if constexpr (std::is_same_v<T, bool>) info.Names = {"False", "True"};
    if constexpr (std::is_pointer_v<T>) info.ClassOf = &std::remove_pointer_t<T>::StaticClass;
    if constexpr (detail::IsEvent<T>::value) {
        // Events travel as method names of the stream's root: bound through its published methods.
        info.Get = [getter](TObject* o) -> TPropValue {
            const T ev = (static_cast<C*>(o)->*getter)();
            return TMethodName{nullptr, {}, ev ? ev.Object() : nullptr, ev.Code()};
        };
        info.Set = [setter](TObject* o, const TPropValue& v) {
            const TMethodName& m = detail::MethodOf(v);
            if (m.Name.empty() || !m.Root) {
                (static_cast<C*>(o)->*setter)(T());
                return;
            }
            const TMethodInfo* mi = m.Root->ClassType()->FindMethod(m.Name);
            auto* make = mi ? std::any_cast<std::function<T(TObject*)>>(&mi->MakeEvent) : nullptr;
            if (!make) detail::RaiseMethodMismatch(m.Name);
            (static_cast<C*>(o)->*setter)((*make)(m.Root));
        };
    } else {
        info.Get = [getter](TObject* o) { return detail::ToValue<T>((static_cast<C*>(o)->*getter)()); };
        info.Set = [setter](TObject* o, const TPropValue& v) {
            (static_cast<C*>(o)->*setter)(detail::FromValue<std::decay_t<S>>(v));
        };
    }
    return AddProp(std::move(info));
}

template <class C, class G>
TPropInfo& TMetaClass::PublishReadOnly(const char* name, G* (C::*getter)() const) {
    TPropInfo info;
    info.Name = name;
    info.Kind = TTypeKind::Class;
    info.ClassOf = &G::StaticClass;
    info.Get = [getter](TObject* o) -> TPropValue { return static_cast<TObject*>((static_cast<C*>(o)->*getter)()); };
    return AddProp(std::move(info));
}

template <class C, class T>
void TMetaClass::PublishField(const char* name, T* C::*field) {
    fields_.push_back({name, &T::StaticClass, [field](TObject* root, TObject* value) {
                           static_cast<C*>(root)->*field = value ? dynamic_cast<T*>(value) : nullptr;
                       }});
}

template <class C, class... Args>
void TMetaClass::PublishMethod(const char* name, void (C::*method)(Args...)) {
    TMethodInfo info;
    info.Name = name;
    info.MakeEvent = std::function<TEvent<Args...>(TObject*)>(
        [method](TObject* root) { return TEvent<Args...>(static_cast<C*>(root), method); });
    std::memcpy(info.Code.data(), &method, sizeof(method));
    methods_.push_back(std::move(info));
}

}  // namespace vcl
