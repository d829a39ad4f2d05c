#include "platform_faults.h"

namespace {

FaultPlan g_plan;
long g_count;
unsigned g_failed;

}  // namespace

void fault_plan(const FaultPlan& plan) {
  g_plan = plan;
  g_count = 0;
  g_failed = 0;
}

void fault_clear() {
  fault_plan(FaultPlan{0, 0, 0, false});
}

long fault_count() {
  return g_count;
}

unsigned fault_failed() {
  return g_failed;
}

int fault_hit(PlatCall call) {
  if ((g_plan.calls & call) == 0) return 0;
  if (++g_count != g_plan.fail_at) return 0;
  g_failed = call;
  return g_plan.error;
}

size_t fault_read_cap(size_t cap) {
  return g_plan.one_byte_reads && cap > 1 ? 1 : cap;
}
