// Run-time access to published properties by name (the form designer's view of a component).
#pragma once

#include "System.h"

namespace vcl {

// nullptr when the object's class publishes no property of that name.
const TPropInfo* GetPropInfo(TObject* instance, const AnsiString& name);
bool IsPublishedProp(TObject* instance, const AnsiString& name);
TTypeKind PropType(TObject* instance, const AnsiString& name);

// Each raises EPropertyError "Unknown property: %s" for a name the class does not publish.
Int64 GetOrdProp(TObject* instance, const AnsiString& name);
void SetOrdProp(TObject* instance, const AnsiString& name, Int64 value);
AnsiString GetEnumProp(TObject* instance, const AnsiString& name);
void SetEnumProp(TObject* instance, const AnsiString& name, const AnsiString& value);
// Sets as text: "akLeft,akTop", with brackets when asked ("[akLeft,akTop]").
AnsiString GetSetProp(TObject* instance, const AnsiString& name, bool brackets = false);
void SetSetProp(TObject* instance, const AnsiString& name, const AnsiString& value);
AnsiString GetStrProp(TObject* instance, const AnsiString& name);
void SetStrProp(TObject* instance, const AnsiString& name, const AnsiString& value);
WideString GetWideStrProp(TObject* instance, const AnsiString& name);
void SetWideStrProp(TObject* instance, const AnsiString& name, const WideString& value);
double GetFloatProp(TObject* instance, const AnsiString& name);
void SetFloatProp(TObject* instance, const AnsiString& name, double value);
TObject* GetObjectProp(TObject* instance, const AnsiString& name);
void SetObjectProp(TObject* instance, const AnsiString& name, TObject* value);

}  // namespace vcl
