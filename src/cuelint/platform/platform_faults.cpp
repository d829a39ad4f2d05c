#include "platform_faults.h"

#include <atomic>

namespace cuelint {

namespace {

// The workers read files on their own threads: the plan is set before they start.
FaultPlan g_plan;
std::atomic<long> g_count{0};

}  // namespace

void fault_plan(const FaultPlan& plan) {
  g_plan = plan;
  g_count = 0;
}

void fault_clear() {
  fault_plan(FaultPlan{});
}

long fault_count() {
  return g_count;
}

int fault_hit(FaultCall call) {
  if ((g_plan.calls & call) == 0 || g_plan.fail_at == 0) return 0;
  long n = ++g_count;
  bool hit = g_plan.after ? n >= g_plan.fail_at : n == g_plan.fail_at;
  return hit ? g_plan.error : 0;
}

}  // namespace cuelint
