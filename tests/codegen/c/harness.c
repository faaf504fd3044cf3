/* Drives one generated filter function: argv[1] "impulse" or "step", argv[2] the input
 * amplitude, argv[3] the number of samples. Prints one output per line. FILTER names the
 * function (iir or fir), SAMPLE its sample type, and FLOAT_SAMPLES is set for float designs. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "filter.c"

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: harness impulse|step AMPLITUDE COUNT\n");
    return 2;
  }
  const int step = strcmp(argv[1], "step") == 0;
  const long amplitude = strtol(argv[2], NULL, 10);
  const int count = atoi(argv[3]);
  for (int t = 0; t < count; ++t) {
    const SAMPLE in = (SAMPLE)((step || t == 0) ? amplitude : 0);
#ifdef FLOAT_SAMPLES
    printf("%.9g\n", (double)FILTER(in));
#else
    printf("%lld\n", (long long)FILTER(in));
#endif
  }
  return 0;
}
