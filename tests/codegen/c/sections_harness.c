/* Drives a generated fixed-point sections file: reads whole-number samples from stdin, one per
 * line, and prints for each the output of the generated function (iir_q15 or iir_q7). With
 * CMSIS_REFERENCE (16 bits) each line also holds the output of the reference loop below, which
 * runs the generated table as arm_biquad_cascade_df1_q15 is documented to: in blocks, stage
 * after stage over the whole block, the state {x[n-1], x[n-2], y[n-1], y[n-2]} per stage kept
 * between blocks, the 2.30 products summed in a 64-bit accumulator, shifted right by
 * 15 - postShift discarding the low bits, the 32-bit value saturated to 1.15, and the state
 * holding the saturated outputs. */
#include <stdio.h>
#include <stdlib.h>

#include "filter.c"

#ifdef CMSIS_REFERENCE
typedef int16_t q15_t;
typedef int64_t q63_t;

/* The block sizes vary, so that the state carried between blocks is exercised. */
static const unsigned kBlocks[] = {1, 7, 64, 3, 32};
#define MAX_BLOCK 64

static int32_t Saturate16(int32_t value) {
  return value > 32767 ? 32767 : value < -32768 ? -32768 : value;
}

/* Floor division by 2^shift that never shifts a negative number. */
static q63_t ShiftDown(q63_t acc, int shift) { return acc < 0 ? ~(~acc >> shift) : acc >> shift; }

static void ReferenceBlock(const q15_t* coeffs, q15_t* state, int stages, int postShift,
                           const q15_t* src, q15_t* dst, unsigned blockSize) {
  const int shift = 15 - postShift;
  const q15_t* in = src;
  int stage;
  for (stage = 0; stage < stages; stage++) {
    const q15_t* c = coeffs + 6 * stage; /* b0, 0, b1, b2, a1, a2 */
    q15_t* s = state + 4 * stage;
    q15_t xn1 = s[0], xn2 = s[1], yn1 = s[2], yn2 = s[3];
    unsigned n;
    for (n = 0; n < blockSize; n++) {
      const q15_t xn = in[n];
      q63_t acc = (q63_t)((int32_t)c[0] * xn);
      acc += (int32_t)c[2] * xn1;
      acc += (int32_t)c[3] * xn2;
      acc += (int32_t)c[4] * yn1;
      acc += (int32_t)c[5] * yn2;
      {
        const q15_t out = (q15_t)Saturate16((int32_t)ShiftDown(acc, shift));
        xn2 = xn1;
        xn1 = xn;
        yn2 = yn1;
        yn1 = out;
        dst[n] = out;
      }
    }
    s[0] = xn1;
    s[1] = xn2;
    s[2] = yn1;
    s[3] = yn2;
    in = dst; /* later stages work in place on the output block */
  }
}
#endif

int main(void) {
  static long samples[1 << 16];
  unsigned count = 0, t;
  while (count < sizeof samples / sizeof samples[0] && scanf("%ld", &samples[count]) == 1) ++count;
#ifdef CMSIS_REFERENCE
  {
    static q15_t state[4 * IIR_Q15_STAGES];
    static q15_t reference[1 << 16];
    unsigned done = 0, b = 0;
    while (done < count) {
      q15_t src[MAX_BLOCK];
      unsigned size = kBlocks[b++ % (sizeof kBlocks / sizeof kBlocks[0])], n;
      if (size > count - done) size = count - done;
      for (n = 0; n < size; n++) src[n] = (q15_t)samples[done + n];
      ReferenceBlock(iir_q15_coeffs, state, IIR_Q15_STAGES, IIR_Q15_POST_SHIFT, src,
                     reference + done, size);
      done += size;
    }
    for (t = 0; t < count; t++)
      printf("%d %d\n", (int)iir_q15((q15_t)samples[t]), (int)reference[t]);
  }
#else
  for (t = 0; t < count; t++) printf("%d\n", (int)FUNCTION((SAMPLE)samples[t]));
#endif
  return 0;
}
