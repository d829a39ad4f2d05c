// Fault injection for the tests: with CUELINT_FAULT_INJECTION defined (the tests' build of
// the platform layer only), each system call of the layer counts itself here, and the calls
// a plan names fail with the error it gives, before the system is asked.
#pragma once

namespace cuelint {

enum FaultCall : unsigned {
  kCallOpen = 1,
  kCallTemp = 2,
  kCallRead = 4,
  kCallWrite = 8,  // to a file
  kCallSeek = 16,
  kCallKind = 32,
  kCallFolderOpen = 64,
  kCallFolderNext = 128,
  kCallStream = 256,  // standard output or error
  kCallFileKind = 512,
  kCallThread = 1024,
  kCallAny = 2047,
};

struct FaultPlan {
  long fail_at = 0;    // the counted call that fails, 1 for the first; 0: none
  unsigned calls = 0;  // which calls count: a set of FaultCall
  int error = 0;       // the system's error number to fail with
  bool after = false;  // every counted call from fail_at on fails too (a full disk)
};

#if defined(CUELINT_FAULT_INJECTION)
void fault_plan(const FaultPlan& plan);  // also resets the count
void fault_clear();
long fault_count();             // calls counted since the plan was set
int fault_hit(FaultCall call);  // the error to fail with, or 0
#else
inline int fault_hit(FaultCall) {
  return 0;
}
#endif

}  // namespace cuelint
