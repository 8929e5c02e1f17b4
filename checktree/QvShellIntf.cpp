// COM start of the main thread for the shell interfaces.
#include "QvShellIntf.h"

const IID IID_IShellFolder_NRC = {0x000214E6, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IShellLinkA_NRC = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {
int unitUsers = 0;
bool comStarted = false;
}

QvShellIntfUnit::QvShellIntfUnit()
{
    // A thread already in COM with another mode keeps it; only a start that counted is undone.
    if (unitUsers++ == 0) comStarted = SUCCEEDED(CoInitialize(nullptr));
}

QvShellIntfUnit::~QvShellIntfUnit()
{
    if (--unitUsers == 0 && comStarted) CoUninitialize();
}
