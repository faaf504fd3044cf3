// Shared helpers of the HDL simulation tests (GHDL and Icarus Verilog): the designs of the case
// tables, the input sequence, the exact integer filter the hardware must equal, and the
// simulator output files.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "codegen/vhdl_generator.h"
#include "codegen_test_support.h"

namespace qv::test {

inline constexpr auto kSize = HdlArchitecture::Size;
inline constexpr auto kSpeed = HdlArchitecture::Speed;
inline constexpr const char* kGhdlFlags = " --std=93c -fsynopsys -fexplicit";

enum class Taps { Designed, Extreme };

struct HdlCase {
  const char* name;
  HdlArchitecture architecture;
  Quantization quantization;
  int taps;
  int width;  // X_IN and Y_OUT bits
  FilterModel model;
  Taps source;
};

void PrintTo(const HdlCase& c, std::ostream* os);
// "Size8bitN31W8Designed" and so on, for test names.
std::string HdlCaseName(const HdlCase& c);

int CoefficientWidth(Quantization q);

// The design of the case: a calculated FIR low pass, or taps alternating between the most
// negative and the most positive coefficient (symmetric for an odd count) that drive every
// width of the datapath to its limit.
GeneratorInput MakeHdlInput(const HdlCase& c);

// Writes the Verilog file of `c`'s design, with its estimate in the header, to `path`; returns
// the generator's result code.
OutputCode WriteVerilogOf(const HdlCase& c, const std::string& path);

// Full-scale impulses and steps of both signs, each followed by silence, then a
// pseudo-random sequence over the whole signal range.
std::vector<std::int64_t> Stimulus(int taps, int width, int randomCount);
void WriteStimulus(const std::vector<std::int64_t>& x, const std::string& path);

struct Sample {
  std::int64_t y = 0;
  int saturated = 0;
  friend bool operator==(const Sample&, const Sample&) = default;
};

// The output the hardware must give at sample t: the exact sum, floored by 2^shift, clamped to
// the signal width, with the flag set when it was clamped.
Sample Expected(const std::vector<std::int64_t>& h, int shift, int width,
                const std::vector<std::int64_t>& x, long t);

// The taps of `in` as integers.
std::vector<std::int64_t> IntegerTaps(const GeneratorInput& in);

// Lines of "y saturated" pairs.
std::vector<Sample> ReadResponse(const std::string& path);

}  // namespace qv::test
