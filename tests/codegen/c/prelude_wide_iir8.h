/* As prelude.h, with the output samples of an 8-bit IIR function (__int16) as wide as its
 * saturation warning asks: input width + coefficient width + order bits fit in 64. */
#include <stdint.h>
typedef int8_t __int8;
typedef int64_t __int16;
