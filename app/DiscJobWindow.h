// The main window's side of disc job preparation.
#pragma once

namespace pagorin {

class TfrmMain;

// After a page arrived by hot key: starts the disc cycle at once when nothing is to be waited for.
void TryBurnAfterHotKey(TfrmMain& form);

}  // namespace pagorin
