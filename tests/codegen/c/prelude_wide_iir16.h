/* As prelude_wide_iir8.h, for a 16-bit IIR function: its output samples (__int32) as wide as
 * the saturation warning asks. */
#include <stdint.h>
typedef int16_t __int16;
typedef int64_t __int32;
