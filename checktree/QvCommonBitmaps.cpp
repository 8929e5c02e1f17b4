// The layer's bitmap resources live in QvCommonBitmaps.rc; the unit itself only keeps its start count.
#include "QvCommonBitmaps.h"

namespace {
int unitUsers = 0;
}

QvCommonBitmapsUnit::QvCommonBitmapsUnit() { ++unitUsers; }
QvCommonBitmapsUnit::~QvCommonBitmapsUnit() { --unitUsers; }
