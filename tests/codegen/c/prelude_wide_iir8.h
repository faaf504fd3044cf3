/* The sized types of an 8-bit IIR function as the compiler that has them built in would give
 * them, with the output samples (__int16) as wide as the saturation warning asks: input width +
 * coefficient width + order bits fit in 64. */
#include <stdint.h>
typedef int8_t __int8;
typedef int64_t __int16;
