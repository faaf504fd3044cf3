// The four coefficient exports behind one entry: the FPGA core files (.coe, .mif), the
// comma-separated values (.csv) and the second-order sections in C (.c). The command line and
// the desktop's export command both choose a format and call these.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "codegen/output_codes.h"
#include "records/filter_spec.h"

namespace qv {

enum class CoefficientFormat : int { Coe = 0, Mif = 1, Csv = 2, Sos = 3 };

// How a format is offered in a save dialog: its description and its file extension.
struct CoefficientFormatName {
  CoefficientFormat format;
  std::string_view description;  // "FIR compiler coefficients"
  std::string_view extension;    // ".coe"
};

inline constexpr std::array<CoefficientFormatName, 4> kCoefficientFormats{{
    {CoefficientFormat::Coe, "FIR compiler coefficients", ".coe"},
    {CoefficientFormat::Mif, "Memory initialisation", ".mif"},
    {CoefficientFormat::Csv, "Comma-separated values", ".csv"},
    {CoefficientFormat::Sos, "Second-order sections in C", ".c"},
}};

// The checks of `format` made before anything is written (CheckFpgaTapsDesign,
// CheckSectionsDesign, or for CSV only OutputCode::NotCalculated (-15)); OutputCode::Ok when the
// design can be exported in that format.
[[nodiscard]] OutputCode CheckCoefficientExport(CoefficientFormat format, const FilterSpec& spec,
                                                bool calculated);

// Writes the calculated design in `format` to `path` (GenerateCoeFile, GenerateMifFile,
// GenerateCoefficientCsv or GenerateSosCode) and returns that writer's code.
[[nodiscard]] OutputCode ExportCoefficients(CoefficientFormat format, const FilterSpec& spec,
                                            const DisplayScale& scale, const FilterDesign& design,
                                            const std::string& path);

}  // namespace qv
