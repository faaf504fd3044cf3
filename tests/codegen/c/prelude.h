/* The sized integer types of the generated code, for a compiler that does not provide them. */
#include <stdint.h>
typedef int8_t __int8;
typedef int16_t __int16;
typedef int32_t __int32;
typedef int64_t __int64;
