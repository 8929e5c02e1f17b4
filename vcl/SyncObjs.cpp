// Synchronisation objects: a critical section with the library's names.
#include "SyncObjs.h"

namespace vcl {

VCL_IMPLEMENT_CLASS(TCriticalSection, TObject)

}  // namespace vcl
