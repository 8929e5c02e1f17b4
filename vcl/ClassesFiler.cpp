// Form streaming: TReader and TWriter over the binary form format ("TPF0", component headers, typed values).
#include <algorithm>

#include "Classes.h"
#include "FormText.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TFiler, TObject)
VCL_IMPLEMENT_CLASS(TReader, TFiler)
VCL_IMPLEMENT_CLASS(TWriter, TFiler)

namespace {
constexpr char Signature[4] = {'T', 'P', 'F', '0'};
constexpr int MaxDepth = 200;

// Nesting guard: corrupt streams must not recurse without bound.
struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d, TReader* reader) : depth(d) {
        if (++depth > MaxDepth) {
            --depth;
            reader->ReadError("Invalid stream format");
        }
    }
    ~DepthGuard() { --depth; }
};

// Whether `object` goes away when `component` is freed: it is the component, or belongs to it as an owned
// component or sub-object, or as a child control (a windowed control frees its children).
bool GoesWith(TPersistent* object, TComponent* component, int depth = 0) {
    if (!object || depth > 2 * MaxDepth) return false;
    if (object == component) return true;
    auto* child = dynamic_cast<TComponent*>(object);
    TComponent* parent = child && child->HasParent() ? child->GetParentComponent() : nullptr;
    return GoesWith(object->GetOwner(), component, depth + 1) || (parent && GoesWith(parent, component, depth + 1));
}
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// TReader: primitives

TReader::~TReader() = default;

void TReader::ReadError(const char* message) { throw EReadError(message); }

void TReader::PropertyError(const AnsiString& name) { throw EReadError("Property %s does not exist", {name}); }

void TReader::Read(void* buffer, int count) {
    if (count > 0 && stream_->Read(buffer, count) != count) throw EReadError("Stream read error");
}

// A length field, checked against what is left of the stream before anything is allocated for it.
size_t TReader::ReadLength(size_t unit) {
    int32_t length = 0;
    Read(&length, 4);
    Int64 left = stream_->GetSize() - stream_->GetPosition();
    if (length < 0 || static_cast<Int64>(length) * static_cast<Int64>(unit) > left) ReadError("Stream read error");
    return static_cast<size_t>(length);
}

void TReader::ReadSignature() {
    char signature[4] = {};
    Read(signature, 4);
    if (std::memcmp(signature, Signature, 4) != 0) ReadError("Invalid stream format");
}

TValueType TReader::ReadValue() {
    unsigned char v = 0;
    Read(&v, 1);
    if (v > vaDouble) ReadError("Invalid stream format");
    return static_cast<TValueType>(v);
}

TValueType TReader::NextValue() {
    TValueType v = ReadValue();
    stream_->Seek(-1, soCurrent);
    return v;
}

bool TReader::EndOfList() {
    // Peeks at the raw byte: a list of components continues with a flags prefix, no value type.
    unsigned char v = 0;
    Read(&v, 1);
    stream_->Seek(-1, soCurrent);
    return v == vaNull;
}

void TReader::CheckValue(TValueType value) {
    if (ReadValue() != value) {
        stream_->Seek(-1, soCurrent);
        SkipValue();
        PropertyError(propName_);
    }
}

AnsiString TReader::ReadStr() {
    unsigned char n = 0;
    Read(&n, 1);
    AnsiString s(n, '\0');
    Read(s.data(), n);
    return s;
}

AnsiString TReader::ReadString() {
    TValueType v = ReadValue();
    switch (v) {
    case vaString: return ReadStr();
    case vaLString: {
        AnsiString s(ReadLength(1), '\0');
        Read(s.data(), static_cast<int>(s.size()));
        return s;
    }
    case vaWString:
    case vaUTF8String:
        stream_->Seek(-1, soCurrent);
        return WideToAnsi(ReadWideString());
    default: ReadError();
    }
}

WideString TReader::ReadWideString() {
    TValueType v = ReadValue();
    switch (v) {
    case vaWString: {
        WideString w(ReadLength(2), L'\0');
        std::vector<uint16_t> units(w.size());
        Read(units.data(), static_cast<int>(units.size() * 2));
        for (size_t i = 0; i < units.size(); ++i) w[i] = static_cast<wchar_t>(units[i]);
        return w;
    }
    case vaUTF8String: {
        AnsiString s(ReadLength(1), '\0');
        Read(s.data(), static_cast<int>(s.size()));
        return UTF8Decode(s);
    }
    case vaString:
    case vaLString:
        stream_->Seek(-1, soCurrent);
        return AnsiToWide(ReadString());
    default: ReadError();
    }
}

AnsiString TReader::ReadIdent() {
    switch (ReadValue()) {
    case vaIdent: return ReadStr();
    case vaFalse: return "False";
    case vaTrue: return "True";
    case vaNil: return "nil";
    case vaNull: return "Null";
    default: ReadError();
    }
}

Int64 TReader::ReadInt64() {
    switch (ReadValue()) {
    case vaInt8: {
        int8_t v;
        Read(&v, 1);
        return v;
    }
    case vaInt16: {
        int16_t v;
        Read(&v, 2);
        return v;
    }
    case vaInt32: {
        int32_t v;
        Read(&v, 4);
        return v;
    }
    case vaInt64: {
        int64_t v;
        Read(&v, 8);
        return v;
    }
    default: ReadError();
    }
}

int TReader::ReadInteger() {
    if (NextValue() == vaInt64) ReadError();
    return static_cast<int>(ReadInt64());
}

bool TReader::ReadBoolean() {
    TValueType v = ReadValue();
    if (v != vaTrue && v != vaFalse) ReadError();
    return v == vaTrue;
}

char TReader::ReadChar() {
    AnsiString s = ReadString();
    if (s.size() != 1) ReadError();
    return s[0];
}

wchar_t TReader::ReadWideChar() {
    TValueType v = NextValue();
    if (v == vaInt8 || v == vaInt16 || v == vaInt32) return static_cast<wchar_t>(ReadInteger());
    WideString s = ReadWideString();
    if (s.size() != 1) ReadError();
    return s[0];
}

long double TReader::ReadFloat() {
    switch (NextValue()) {
    case vaExtended: {
        ReadValue();
        long double v = 0;
        unsigned char bytes[sizeof(long double)] = {};
        Read(bytes, 10);
        std::memcpy(&v, bytes, sizeof v);  // the 80-bit extended format is long double's own here
        return v;
    }
    case vaSingle: return ReadSingle();
    case vaDouble:
    case vaDate: return ReadDate();
    case vaCurrency: return ReadCurrency().ToDouble();
    default: return static_cast<long double>(ReadInt64());
    }
}

float TReader::ReadSingle() {
    if (ReadValue() != vaSingle) ReadError();
    float v;
    Read(&v, 4);
    return v;
}

double TReader::ReadDate() {
    TValueType t = ReadValue();
    if (t != vaDate && t != vaDouble) ReadError();
    double v;
    Read(&v, 8);
    return v;
}

Currency TReader::ReadCurrency() {
    if (ReadValue() != vaCurrency) ReadError();
    Currency c;
    Read(&c.Value, 8);
    return c;
}

Int64 TReader::ReadSet(const TPropInfo& info) {
    if (ReadValue() != vaSet) ReadError();
    Int64 bits = 0;
    for (AnsiString name = ReadStr(); !name.empty(); name = ReadStr()) {
        int v = info.EnumValue(name);
        if (v < 0 || v >= 64) ReadError();
        bits |= Int64(1) << v;
    }
    return bits;
}

void TReader::SkipProperty() {
    ReadStr();
    SkipValue();
}

void TReader::SkipCollection() {
    while (!EndOfList()) {
        TValueType v = NextValue();
        if (v == vaInt8 || v == vaInt16 || v == vaInt32) SkipValue();
        CheckValue(vaList);
        while (!EndOfList()) SkipProperty();
        ReadListEnd();
    }
    ReadListEnd();
}

void TReader::SkipValue() {
    DepthGuard guard(depth_, this);
    auto skip = [this](Int64 n) {
        if (n > stream_->GetSize() - stream_->GetPosition()) ReadError("Stream read error");
        stream_->Seek(n, soCurrent);
    };
    switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil: break;
    case vaList:
        while (!EndOfList()) SkipValue();
        ReadListEnd();
        break;
    case vaInt8: skip(1); break;
    case vaInt16: skip(2); break;
    case vaInt32:
    case vaSingle: skip(4); break;
    case vaInt64:
    case vaDouble:
    case vaDate:
    case vaCurrency: skip(8); break;
    case vaExtended: skip(10); break;
    case vaString:
    case vaIdent: ReadStr(); break;
    case vaLString:
    case vaUTF8String:
    case vaBinary: skip(static_cast<Int64>(ReadLength(1))); break;
    case vaWString: skip(static_cast<Int64>(ReadLength(2)) * 2); break;
    case vaSet:
        while (!ReadStr().empty()) {}
        break;
    case vaCollection: SkipCollection(); break;
    }
}

// ---------------------------------------------------------------------------------------------------------
// TReader: components and properties

void TReader::DefineProperty(const AnsiString& name, const TReaderProc& readData, const TWriterProc&, bool) {
    if (propertyHandled_ || !SameText(name, propName_)) return;
    // A property defined without a reader is still consumed completely.
    if (readData) readData(this);
    else SkipValue();
    propertyHandled_ = true;
}

void TReader::DefineBinaryProperty(const AnsiString& name, const TStreamProc& readData, const TStreamProc&, bool) {
    if (propertyHandled_ || !SameText(name, propName_)) return;
    if (ReadValue() != vaBinary) ReadError();
    TMemoryStream data;
    size_t n = ReadLength(1);
    data.SetSize(static_cast<Int64>(n));
    Read(data.GetMemory(), static_cast<int>(n));
    data.SetPosition(0);
    if (readData) readData(&data);
    propertyHandled_ = true;
}

void TReader::ReadPrefix(int& flags, int& childPos) {
    flags = 0;
    childPos = -1;
    unsigned char b = 0;
    Read(&b, 1);
    if ((b & 0xF0) == 0xF0) {
        flags = b & 0x0F;
        if (flags & ffChildPos) childPos = ReadInteger();
    } else {
        stream_->Seek(-1, soCurrent);
    }
}

TClass TReader::FindComponentClass(const AnsiString& className) {
    TClass cls = root_ ? root_->ClassType()->FindFieldClass(className) : nullptr;
    if (!cls) cls = GetClass(className);
    if (!cls) throw EClassNotFound("Class %s not found", {className});
    if (!cls->InheritsFrom(TComponent::StaticClass())) ReadError("Invalid stream format");
    return cls;
}

TComponent* TReader::ReadRootComponent(TComponent* root) {
    // Whatever a damaged stream makes fail (a bad name, a refused value) is reported as a read error.
    try {
        return ReadRoot(root);
    } catch (EReadError&) {
        throw;
    } catch (Exception& e) {
        throw EReadError(e.Message);
    }
}

TComponent* TReader::ReadRoot(TComponent* root) {
    ReadSignature();
    int flags, childPos;
    ReadPrefix(flags, childPos);
    AnsiString className = ReadStr();
    AnsiString name = ReadStr();
    bool created = false;
    if (!root) {
        root = dynamic_cast<TComponent*>(FindClass(className)->Create(nullptr));
        if (!root) ReadError("Invalid stream format");
        created = true;
    }
    try {
        root_ = lookupRoot_ = owner_ = root;
        root->SetState(csLoading, true);
        root->SetState(csReading, true);
        if (!root->GetComponentState().Contains(csDesigning)) root->SetName(name);
        loaded_.push_back(root);
        root->ReadState(this);
        for (TComponent* c : loaded_) c->SetState(csReading, false);
        ResolveFixups();
        std::vector<TComponent*> loaded;
        loaded.swap(loaded_);
        for (TComponent* c : loaded) c->Loaded();
    } catch (...) {
        for (TComponent* c : loaded_) {
            c->SetState(csReading, false);
            c->SetState(csLoading, false);
        }
        loaded_.clear();
        fixups_.clear();
        if (created) delete root;
        throw;
    }
    return root;
}

TComponent* TReader::ReadComponent(TComponent* component) {
    DepthGuard guard(depth_, this);
    int flags, childPos;
    ReadPrefix(flags, childPos);
    AnsiString className = ReadStr();
    AnsiString name = ReadStr();
    bool created = false;
    TComponent* result = component;
    if (!result && (flags & (ffInherited | ffInline))) {
        // An inherited child already exists in the owner: the stream only changes its properties.
        result = owner_ ? owner_->FindComponent(name) : nullptr;
        if (!result) throw EReadError("Ancestor for '%s' not found", {name});
    }
    if (!result) {
        TClass cls = FindComponentClass(className);
        result = dynamic_cast<TComponent*>(cls->Create(owner_));
        if (!result) ReadError("Invalid stream format");
        created = true;
    }
    try {
        result->SetState(csLoading, true);
        result->SetState(csReading, true);
        if (created) {
            result->SetName(name);
            if (TComponent* owner = result->Owner())
                if (const TFieldInfo* field = owner->ClassType()->FindField(name)) field->Assign(owner, result);
        }
        if (result->HasParent() && parent_) result->SetParentComponent(parent_);
        if (childPos >= 0 && parent_) parent_->SetChildOrder(result, childPos);
        if (std::find(loaded_.begin(), loaded_.end(), result) == loaded_.end()) loaded_.push_back(result);
        result->ReadState(this);
    } catch (...) {
        if (created) {
            // What was read into the component before it failed goes with it: nothing of it may stay listed.
            loaded_.erase(std::remove_if(loaded_.begin(), loaded_.end(), [result](TComponent* c) { return GoesWith(c, result); }),
                          loaded_.end());
            fixups_.erase(std::remove_if(fixups_.begin(), fixups_.end(), [result](const Fixup& f) { return GoesWith(f.Instance, result); }),
                          fixups_.end());
            delete result;
        }
        throw;
    }
    return result;
}

void TReader::ReadComponents(TComponent* owner, TComponent* parent, const std::function<void(TComponent*)>& proc) {
    TComponent* oldOwner = owner_;
    TComponent* oldParent = parent_;
    owner_ = owner;
    parent_ = parent;
    try {
        while (!EndOfList()) {
            TComponent* c = ReadComponent(nullptr);
            if (proc) proc(c);
        }
        ReadListEnd();
    } catch (...) {
        owner_ = oldOwner;
        parent_ = oldParent;
        throw;
    }
    owner_ = oldOwner;
    parent_ = oldParent;
}

void TReader::ReadData(TComponent* instance) {
    while (!EndOfList()) ReadProperty(instance);
    ReadListEnd();
    TComponent* owner = instance->GetChildOwner();
    ReadComponents(owner ? owner : root_, instance->GetChildParent(), nullptr);
}

void TReader::ReadProperty(TPersistent* instance) {
    AnsiString path = ReadStr();
    AnsiString name = path;
    propName_ = path;
    try {
        // "Font.Name": walk the sub-objects of the dotted path.
        for (size_t dot; (dot = name.find('.')) != AnsiString::npos;) {
            AnsiString part = name.substr(0, dot);
            const TPropInfo* info = instance->ClassType()->FindProp(part);
            TObject* sub = info && info->Kind == TTypeKind::Class ? detail::ObjectOf(info->Get(instance)) : nullptr;
            auto* persistent = dynamic_cast<TPersistent*>(sub);
            if (!persistent) PropertyError(part);
            instance = persistent;
            name = name.substr(dot + 1);
        }
        propertyOwner_ = instance;
        propName_ = name;
        const TPropInfo* info = instance->ClassType()->FindProp(name);
        if (info && (info->Set || info->Kind == TTypeKind::Class)) {
            ReadPropValue(instance, *info);
            return;
        }
        propertyHandled_ = false;
        instance->DefineProperties(this);
        if (!propertyHandled_) PropertyError(name);
    } catch (Exception& e) {
        // Read errors name the property; other faults (a setter refusing a value) become read errors.
        AnsiString owner = instance ? instance->GetNamePath() : AnsiString();
        AnsiString where = owner.empty() ? path : owner + "." + path;
        if (dynamic_cast<EReadError*>(&e)) {
            if (e.Message.rfind("Error reading ", 0) != 0) e.Message = "Error reading " + where + ": " + e.Message;
            throw;
        }
        throw EReadError("Error reading %s: %s", {where, e.Message});
    }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo& info) {
    switch (info.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Int64: {
        if (NextValue() == vaIdent && info.Idents) {
            AnsiString ident = ReadIdent();
            for (auto& [text, value] : *info.Idents)
                if (SameText(text, ident)) return info.Set(instance, value);
            ReadError();
        }
        Int64 v = info.Kind == TTypeKind::Int64 ? ReadInt64() : ReadInteger();
        return info.Set(instance, v);
    }
    case TTypeKind::Char: return info.Set(instance, static_cast<Int64>(static_cast<unsigned char>(ReadChar())));
    case TTypeKind::WChar: return info.Set(instance, static_cast<Int64>(ReadWideChar()));
    case TTypeKind::Enumeration: {
        AnsiString ident = ReadIdent();
        int v = info.EnumValue(ident);
        if (v < 0) ReadError();
        return info.Set(instance, static_cast<Int64>(v));
    }
    case TTypeKind::Set: return info.Set(instance, ReadSet(info));
    case TTypeKind::Float: return info.Set(instance, static_cast<double>(ReadFloat()));
    case TTypeKind::String: return info.Set(instance, ReadString());
    case TTypeKind::WString: return info.Set(instance, ReadWideString());
    case TTypeKind::Method: {
        TValueType v = NextValue();
        if (v == vaNil) {
            ReadValue();
            return info.Set(instance, TMethodName{});
        }
        if (v != vaIdent) ReadError();
        return info.Set(instance, TMethodName{root_, ReadIdent()});
    }
    case TTypeKind::Class: {
        TValueType v = NextValue();
        if (v == vaCollection) {
            auto* collection = dynamic_cast<TCollection*>(detail::ObjectOf(info.Get(instance)));
            if (!collection) ReadError();
            ReadValue();
            return ReadCollection(collection);
        }
        if (!info.Set) ReadError();
        if (v == vaNil) {
            ReadValue();
            return info.Set(instance, static_cast<TObject*>(nullptr));
        }
        if (v != vaIdent) ReadError();
        // Component references are resolved once every component of the stream exists.
        fixups_.push_back({instance, &info, ReadIdent()});
        return;
    }
    }
}

void TReader::ReadCollection(TCollection* collection) {
    DepthGuard guard(depth_, this);
    collection->BeginUpdate();
    try {
        if (!EndOfList()) collection->Clear();
        while (!EndOfList()) {
            TValueType v = NextValue();
            if (v == vaInt8 || v == vaInt16 || v == vaInt32) ReadInteger();
            TCollectionItem* item = collection->Add();
            CheckValue(vaList);
            while (!EndOfList()) ReadProperty(item);
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        collection->EndUpdate();
        throw;
    }
    collection->EndUpdate();
}

TComponent* TReader::FindReference(const AnsiString& path) const {
    size_t dot = path.find('.');
    AnsiString first = path.substr(0, dot);
    TComponent* c = SameText(first, root_->GetName()) ? root_ : root_->FindComponent(first);
    // "owner.sub": a component owned by another one of the form (tvSessions.CheckImages).
    while (c && dot != AnsiString::npos) {
        size_t next = path.find('.', dot + 1);
        c = c->FindComponent(path.substr(dot + 1, next == AnsiString::npos ? AnsiString::npos : next - dot - 1));
        dot = next;
    }
    return c;
}

void TReader::ResolveFixups() {
    std::vector<Fixup> fixups;
    fixups.swap(fixups_);
    for (const Fixup& f : fixups) {
        // A name nothing in the form answers to stays unassigned, as a reference to another form would.
        if (TComponent* target = FindReference(f.Path)) f.Prop->Set(f.Instance, static_cast<TObject*>(target));
    }
}

// ---------------------------------------------------------------------------------------------------------
// TWriter

TWriter::~TWriter() = default;

void TWriter::Write(const void* buffer, int count) { stream_->WriteBuffer(buffer, count); }

void TWriter::WriteValue(TValueType value) {
    unsigned char v = value;
    Write(&v, 1);
}

void TWriter::WriteSignature() { Write(Signature, 4); }

void TWriter::WriteStr(const AnsiString& s) {
    unsigned char n = static_cast<unsigned char>(std::min<size_t>(s.size(), 255));
    Write(&n, 1);
    Write(s.data(), n);
}

void TWriter::WriteString(const AnsiString& s) {
    if (s.size() <= 255) {
        WriteValue(vaString);
        WriteStr(s);
        return;
    }
    WriteValue(vaLString);
    int32_t n = static_cast<int32_t>(s.size());
    Write(&n, 4);
    Write(s.data(), n);
}

void TWriter::WriteWideString(const WideString& s) {
    WriteValue(vaWString);
    int32_t n = static_cast<int32_t>(s.size());
    Write(&n, 4);
    std::vector<uint16_t> units(s.begin(), s.end());
    Write(units.data(), n * 2);
}

void TWriter::WriteUTF8Str(const AnsiString& utf8) {
    WriteValue(vaUTF8String);
    int32_t n = static_cast<int32_t>(utf8.size());
    Write(&n, 4);
    Write(utf8.data(), n);
}

void TWriter::WriteIdent(const AnsiString& ident) {
    if (SameText(ident, "False")) WriteValue(vaFalse);
    else if (SameText(ident, "True")) WriteValue(vaTrue);
    else if (SameText(ident, "Null")) WriteValue(vaNull);
    else if (SameText(ident, "nil")) WriteValue(vaNil);
    else {
        WriteValue(vaIdent);
        WriteStr(ident);
    }
}

void TWriter::WriteInteger(Int64 value) {
    if (value >= -128 && value <= 127) {
        WriteValue(vaInt8);
        int8_t v = static_cast<int8_t>(value);
        Write(&v, 1);
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(vaInt16);
        int16_t v = static_cast<int16_t>(value);
        Write(&v, 2);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        WriteValue(vaInt32);
        int32_t v = static_cast<int32_t>(value);
        Write(&v, 4);
    } else {
        WriteValue(vaInt64);
        Write(&value, 8);
    }
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? vaTrue : vaFalse); }

void TWriter::WriteChar(char c) { WriteString(AnsiString(1, c)); }

void TWriter::WriteWideChar(wchar_t c) { WriteWideString(WideString(1, c)); }

void TWriter::WriteFloat(long double value) {
    WriteValue(vaExtended);
    unsigned char bytes[sizeof(long double)] = {};
    std::memcpy(bytes, &value, sizeof value);
    Write(bytes, 10);
}

void TWriter::WriteSingle(float value) {
    WriteValue(vaSingle);
    Write(&value, 4);
}

void TWriter::WriteDate(double value) {
    WriteValue(vaDate);
    Write(&value, 8);
}

void TWriter::WriteCurrency(Currency value) {
    WriteValue(vaCurrency);
    Write(&value.Value, 8);
}

void TWriter::WriteSet(Int64 bits, const std::vector<AnsiString>& names) {
    WriteValue(vaSet);
    for (size_t i = 0; i < names.size() && i < 64; ++i)
        if (bits & (Int64(1) << i)) WriteStr(names[i]);
    WriteStr(AnsiString());
}

void TWriter::WriteCollection(TCollection* collection) {
    WriteValue(vaCollection);
    AnsiString saved = propPath_;
    propPath_.clear();
    for (int i = 0; collection && i < collection->GetCount(); ++i) {
        WriteListBegin();
        WriteProperties(collection->GetItems(i));
        WriteListEnd();
    }
    propPath_ = saved;
    WriteListEnd();
}

void TWriter::WritePropName(const AnsiString& name) { WriteStr(propPath_ + name); }

void TWriter::DefineProperty(const AnsiString& name, const TReaderProc&, const TWriterProc& writeData, bool hasData) {
    if (!hasData || !writeData) return;
    WritePropName(name);
    writeData(this);
}

void TWriter::DefineBinaryProperty(const AnsiString& name, const TStreamProc&, const TStreamProc& writeData, bool hasData) {
    if (!hasData || !writeData) return;
    WritePropName(name);
    TMemoryStream data;
    writeData(&data);
    WriteValue(vaBinary);
    int32_t n = static_cast<int32_t>(data.GetSize());
    Write(&n, 4);
    Write(data.GetMemory(), n);
}

AnsiString TWriter::ComponentPath(TComponent* component) const {
    if (component == root_) return component->GetName();
    if (component->Owner() == root_ || !component->Owner()) return component->GetName();
    // Owned by another component of the form: "owner.sub".
    return ComponentPath(component->Owner()) + "." + component->GetName();
}

void TWriter::WriteProperty(TPersistent* instance, const TPropInfo& info) {
    if (!info.IsStored(instance)) return;
    TPropValue value = info.Get(instance);
    // A value the ancestor has as well is inherited, not written.
    bool inAncestor = ancestor_ && ancestor_->ClassType()->FindProp(info.Name) == &info;
    if (inAncestor && info.Kind != TTypeKind::Class && info.Kind != TTypeKind::Method && info.Get(ancestor_) == value)
        return;
    switch (info.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Int64:
    case TTypeKind::Char:
    case TTypeKind::WChar:
    case TTypeKind::Enumeration:
    case TTypeKind::Set: {
        Int64 v = detail::OrdinalOf(value);
        // 32-bit integers compare as such: a colour constant may be declared unsigned and read back signed.
        auto same = [&info](Int64 a, Int64 b) {
            return info.Kind == TTypeKind::Integer ? static_cast<int32_t>(a) == static_cast<int32_t>(b) : a == b;
        };
        if (info.HasDefault && same(v, info.Default)) return;
        WritePropName(info.Name);
        if (info.Kind == TTypeKind::Char) return WriteChar(static_cast<char>(v));
        if (info.Kind == TTypeKind::WChar) return WriteWideChar(static_cast<wchar_t>(v));
        if (info.Kind == TTypeKind::Set) return WriteSet(v, info.Names);
        if (info.Kind == TTypeKind::Enumeration) {
            AnsiString name = info.EnumName(v);
            if (name.empty()) throw EWriteError("Invalid property value");
            return WriteIdent(name);
        }
        if (info.Idents)
            for (auto& [text, identValue] : *info.Idents)
                if (same(identValue, v)) return WriteIdent(text);
        return WriteInteger(v);
    }
    case TTypeKind::Float: {
        double v = detail::FloatOf(value);
        if (v == static_cast<double>(info.HasDefault ? info.Default : 0)) return;
        WritePropName(info.Name);
        return WriteFloat(v);
    }
    case TTypeKind::String: {
        AnsiString v = detail::AnsiOf(value);
        if (v.empty()) return;
        WritePropName(info.Name);
        return WriteString(v);
    }
    case TTypeKind::WString: {
        WideString v = detail::WideOf(value);
        if (v.empty()) return;
        WritePropName(info.Name);
        return WriteWideString(v);
    }
    case TTypeKind::Method: {
        const TMethodName& m = detail::MethodOf(value);
        if (!m.Object || m.Object != static_cast<const void*>(root_)) return;
        const TMethodInfo* method = root_->ClassType()->FindMethodByCode(m.Code);
        if (!method) return;
        WritePropName(info.Name);
        return WriteIdent(method->Name);
    }
    case TTypeKind::Class: {
        TObject* object = detail::ObjectOf(value);
        if (!object) return;
        if (info.PropClass() && info.PropClass()->InheritsFrom(TComponent::StaticClass())) {
            WritePropName(info.Name);
            return WriteIdent(ComponentPath(static_cast<TComponent*>(object)));
        }
        if (auto* collection = dynamic_cast<TCollection*>(object)) {
            if (collection->GetCount() == 0) return;
            WritePropName(info.Name);
            return WriteCollection(collection);
        }
        if (auto* persistent = dynamic_cast<TPersistent*>(object)) {
            AnsiString savedPath = propPath_;
            TPersistent* savedAncestor = ancestor_;
            ancestor_ = inAncestor ? dynamic_cast<TPersistent*>(detail::ObjectOf(info.Get(ancestor_))) : nullptr;
            propPath_ += info.Name + ".";
            WriteProperties(persistent);
            propPath_ = savedPath;
            ancestor_ = savedAncestor;
        }
        return;
    }
    }
}

void TWriter::WriteProperties(TPersistent* instance) {
    for (const TPropInfo* info : instance->ClassType()->AllProps()) WriteProperty(instance, *info);
    instance->DefineProperties(this);
}

void TWriter::WriteData(TComponent* instance) {
    instance->SetState(csWriting, true);
    if (ancestor_) {
        // The ancestor form has this component already: the stream only holds what differs.
        unsigned char prefix = 0xF0 | ffInherited;
        Write(&prefix, 1);
    }
    WriteStr(instance->ClassName());
    WriteStr(instance->GetName());
    WriteProperties(instance);
    WriteListEnd();
    instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
    WriteListEnd();
    instance->SetState(csWriting, false);
}

void TWriter::WriteComponent(TComponent* component) {
    TPersistent* saved = ancestor_;
    if (rootAncestor_) ancestor_ = component == root_ ? rootAncestor_ : rootAncestor_->FindComponent(component->GetName());
    try {
        component->WriteState(this);
    } catch (...) {
        ancestor_ = saved;
        throw;
    }
    ancestor_ = saved;
}

void TWriter::WriteRootComponent(TComponent* root) { WriteDescendent(root, nullptr); }

void TWriter::WriteDescendent(TComponent* root, TComponent* ancestor) {
    root_ = lookupRoot_ = root;
    rootAncestor_ = ancestor;
    WriteSignature();
    WriteComponent(root);
}

// ---------------------------------------------------------------------------------------------------------
// Form resources

TComponent* ReadComponentRes(const AnsiString& resName, TComponent* instance) {
    TResourceStream stream(FindResourceHInstance(HInstance), resName, MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    return stream.ReadComponent(instance);
}

bool InitInheritedComponent(TComponent* instance, TClass rootAncestor) {
    std::vector<TClass> chain;
    for (TClass c = instance->ClassType(); c && c != rootAncestor; c = c->ClassParent()) chain.insert(chain.begin(), c);
    bool loaded = false;
    HINSTANCE module = FindResourceHInstance(HInstance);
    for (TClass c : chain) {
        AnsiString name = UpperCase(c->ClassName());
        if (!FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10))) continue;
        ReadComponentRes(name, instance);
        loaded = true;
    }
    return loaded;
}

void ObjectTextToBinary(TStream* input, TStream* output) {
    Int64 size = input->GetSize() - input->GetPosition();
    std::string text(static_cast<size_t>(std::max<Int64>(size, 0)), '\0');
    if (!text.empty()) input->ReadBuffer(text.data(), static_cast<int>(text.size()));
    std::string binary;
    try {
        binary = formtext::TextToBinary(text, [](const std::string& ansi) { return AnsiToWide(ansi); });
    } catch (const formtext::Error& e) {
        throw EParserError("%s on line %d", {AnsiString(e.what()), e.Line});
    }
    output->WriteBuffer(binary.data(), static_cast<int>(binary.size()));
}

}  // namespace vcl
