// Shared helpers of the code generator tests: scratch directories, file reading, generator
// inputs made by hand or by the Calculate command, and the masking of the identification lines.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "codegen/hdl_architecture.h"
#include "codegen/output_codes.h"
#include "engine/calculate.h"
#include "output/output_service.h"
#include "records/filter_spec.h"
#include "tests/support/scratch_directory.h"

namespace qv::test {

// A fresh directory under the test temporary directory, removed with everything in it when
// the object goes.

// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// The whitespace-separated numbers of a text file, in order, up to the first that is none.
std::vector<double> ReadNumbers(const std::string& path);

// The records a generator reads: a calculation, or one made by hand.
using GeneratorInput = Calculation;

// An FIR rectangle-window low pass at 1000 Hz holding exactly `taps` as its (whole-number)
// coefficients, quantised as given, with `shift`.
GeneratorInput HandMadeFir(std::initializer_list<double> taps, Quantization quantization,
                           int shift);

// `spec` run through the Calculate command; fails the current test when it is refused.
GeneratorInput Calculated(const FilterSpec& spec);

// The options of a hardware output: its architecture and signal width in bits.
OutputOptions HardwareOptions(HdlArchitecture architecture, int width = 16);

// Writes the testbench of `in` to `path` through the output service, in the language of the
// path's extension (VHDL for any other), its run line naming `hardwarePath`.
OutputCode WriteTestbenchFile(const GeneratorInput& in, HdlArchitecture architecture, int width,
                              const std::string& hardwarePath, const std::string& path);

// A design of `model` (one designed from a tolerance scheme) of manual `order` (taps for the FIR
// models), whose scheme has its pass-band edges at fcut1 (and fcut2 for band designs) and its
// stop-band edges a quarter of the way from them towards the next edge or band limit. Hz, dB.
FilterSpec SchemeSpec(BandType band, FilterModel model, int order, int fsample, int fcut1,
                      int fcut2, double rippleDb, double attenuationDb);

// `text` with the web-site and e-mail lines of the identification block replaced by
// "<web site>" and "<e-mail>" (after any "-- " prefix), so that a comparison does not depend
// on their contents.
std::string MaskIdentification(const std::string& text);

// Runs `command` through the shell; returns its exit status, or -1 when it could not run.
int RunShell(const std::string& command);
// True when `program` is found on PATH.
bool OnPath(const std::string& program);

}  // namespace qv::test
