// Masking the floating-point exceptions: one call on each system.

#include "platform/floating_point.h"

#include <fenv.h>  // fedisableexcept: a glibc extension
#ifdef _WIN32
#include <float.h>  // _control87: the x87 and SSE masks of the Windows runtime
#endif

void MaskFloatingPointTraps() {
#ifdef _WIN32
  _control87(_MCW_EM, _MCW_EM);
#else
  fedisableexcept(FE_ALL_EXCEPT);
#endif
}
