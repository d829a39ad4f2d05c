// Fault injection for the tests: with CUECHECK_FAULT_INJECTION defined (the test build
// only), the platform's file calls count themselves here, and the call a plan names fails
// with the system error the plan gives, before the system is asked. Reads may also be cut
// to one byte each, so that lines and line ends arrive in pieces.
#pragma once

#include <cstddef>

enum PlatCall : unsigned {
  kCallOpen = 1,    // open for reading
  kCallCreate = 2,  // create for writing
  kCallRead = 4,
  kCallWrite = 8,
  kCallClose = 16,
  kCallAny = 31,
};

struct FaultPlan {
  long fail_at;    // the number of the counted call that fails, 1 for the first; 0: none
  unsigned calls;  // which calls count: a set of PlatCall
  int error;       // the system's error number for the failing call
  bool one_byte_reads;
};

#if defined(CUECHECK_FAULT_INJECTION)
void fault_plan(const FaultPlan& plan);  // also resets the count
void fault_clear();
long fault_count();            // calls counted since the plan was set
unsigned fault_failed();       // the call that failed, or 0
int fault_hit(PlatCall call);  // the error number to fail with, or 0
size_t fault_read_cap(size_t cap);
#else
inline int fault_hit(PlatCall) {
  return 0;
}
inline size_t fault_read_cap(size_t cap) {
  return cap;
}
#endif
