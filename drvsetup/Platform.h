// Which Windows functions Quenfold calls: the wide ones on NT 4 and later, the ANSI ones before.
#pragma once

namespace drvdb {

bool IsWinNT();             // platform id 2
bool IsNT4OrLater();        // platform 2, major version above 3
bool IsWin2000OrLater();    // platform 2, major version above 4

}  // namespace drvdb
