#include "extended.h"

#include <cmath>

#include "runerror.h"

double ext_store(Ext x, uint32_t place) {
  double d = ext_to_double(x);
  if (std::isinf(d)) run_error(kErrOverflow, place);
  return d;
}
