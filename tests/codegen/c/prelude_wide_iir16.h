/* As prelude.h, with the output samples of a 16-bit IIR function (__int32) as wide as its
 * saturation warning asks: input width + coefficient width + order bits fit in 64. */
#include <stdint.h>
typedef int16_t __int16;
typedef int64_t __int32;
