// Whatever the operator presses, in whatever order and at whatever speed, and whatever the devices answer,
// Pagorin comes back: seeded sequences of operator actions on both roads (OperatorDriver.h), each checked
// from real state once it has come to rest. Each sequence prints its seed and its actions:
//   PAGORIN_OPERATOR_SEED  the first sequence's seed (default: a fixed one, so that the test command's result
//                          is repeatable); sequence i uses seed + i
//   PAGORIN_OPERATOR_RUNS  how many sequences (default 4)
#include "OperatorDriver.h"

namespace {

using namespace pagorintest;

class PagorinOperator : public OperatorDriver {};

TEST_F(PagorinOperator, RandomSequencesEndUsable)
{
    DWORD seed = EnvNumber(L"PAGORIN_OPERATOR_SEED", 50501);
    DWORD runs = EnvNumber(L"PAGORIN_OPERATOR_RUNS", 4);
    for (DWORD i = 0; i < runs && !HasFailure(); ++i)
        RunSequence(seed + i);
}

}  // namespace
