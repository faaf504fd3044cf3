// The C file of a fixed-point section cascade: the coefficient table in the layout of
// CMSIS-DSP's arm_biquad_cascade_df1_q15 and a plain C99 function that computes the cascade's
// integer arithmetic bit for bit, with or without CMSIS-DSP.
#pragma once

#include <ostream>

#include "codegen/output_codes.h"
#include "records/filter_spec.h"

namespace qv {

// True when `design.cascade` is a cascade the writer can express: a spec that
// UsesFixedPointSections, a word of 8 or 16 bits matching its quantisation, (effectiveOrder +
// 1) / 2 sections, a postShift of 0..bits / 2 and every coefficient within the word.
bool FixedPointSectionsWritable(const FilterSpec& spec, const FilterDesign& design);

// Writes the C99 source of design.cascade to `out`:
//   16 bits: IIR_Q15_STAGES, IIR_Q15_POST_SHIFT, the table iir_q15_coeffs of {b0, 0, b1, b2,
//            a1, a2} per section, the CMSIS-DSP init call in the header comment, and
//            int16_t iir_q15(int16_t x);
//   8 bits:  the same as iir_q7_* with int8_t iir_q7(int8_t x) (CMSIS-DSP has no 8-bit
//            biquad).
// The function keeps its state in static arrays ({x[-1], x[-2], y[-1], y[-2]} per section, as
// CMSIS-DSP keeps it) and returns what RunCascadeSample returns for the same inputs.
// Returns OutputCode::Ok, or OutputCode::DesignMismatch (-19), writing nothing, when
// FixedPointSectionsWritable is false. Stream failures are left to the caller.
[[nodiscard]] OutputCode WriteFixedPointSectionsCode(std::ostream& out, const FilterSpec& spec,
                                                     const DisplayScale& scale,
                                                     const FilterDesign& design);

}  // namespace qv
