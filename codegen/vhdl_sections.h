// The architecture-specific sections of the VHDL file, written by GenerateVhdlCode at their
// places in the file. Internal to the generator.
#pragma once

#include <ostream>
#include <span>

#include "codegen/speed_levels.h"
#include "records/filter_spec.h"

namespace qv {

// The coefficient ROM rows, two's complement in hexadecimal of the coefficient width. Size:
// row i holds h[N-1-i] for i = 0..N-1 (the serial datapath meets the taps in reverse order),
// then the zero dummy row N. Speed: rows 0..n_0-1 hold h[0..n_0-1], the first half of the
// symmetric taps with the centre tap. `taps` holds whole numbers within 32-bit range.
void WriteSizeRomRows(std::ostream& out, Quantization quantization, std::span<const double> taps);
void WriteSpeedRomRows(std::ostream& out, Quantization quantization, std::span<const double> taps,
                       int rows);

// Size: the ROM, product, accumulator and counter declarations; the TAP_Counter process; the
// multiplier, sign extension and accumulator up to "end size;".
void WriteSizeDeclarations(std::ostream& out);
void WriteSizeTapCounter(std::ostream& out);
void WriteSizeDatapath(std::ostream& out);

// Speed: the level-size constants; the folded-sample, ROM and level-sum declarations; the
// folding adders, multipliers, adder levels and final adder up to "end speed;".
void WriteSpeedConstants(std::ostream& out, const SpeedLevels& levels);
void WriteSpeedDeclarations(std::ostream& out, const SpeedLevels& levels);
void WriteSpeedDatapath(std::ostream& out, const SpeedLevels& levels);

}  // namespace qv
