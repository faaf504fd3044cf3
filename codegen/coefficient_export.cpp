#include "codegen/coefficient_export.h"

#include "codegen/coefficient_csv.h"
#include "codegen/fpga_coefficient_files.h"
#include "codegen/output_codes.h"
#include "codegen/sos_code_generator.h"

namespace qv {

OutputCode CheckCoefficientExport(CoefficientFormat format, const FilterSpec& spec,
                                  bool calculated) {
  switch (format) {
    case CoefficientFormat::Coe:
    case CoefficientFormat::Mif:
      return CheckFpgaTapsDesign(spec, calculated);
    case CoefficientFormat::Sos:
      return CheckSectionsDesign(spec, calculated);
    case CoefficientFormat::Csv:
      break;
  }
  return calculated ? OutputCode::Ok : OutputCode::NotCalculated;
}

OutputCode ExportCoefficients(CoefficientFormat format, const FilterSpec& spec,
                              const DisplayScale& scale, const FilterDesign& design,
                              const std::string& path) {
  switch (format) {
    case CoefficientFormat::Coe:
      return GenerateCoeFile(spec, scale, design, path);
    case CoefficientFormat::Mif:
      return GenerateMifFile(spec, scale, design, path);
    case CoefficientFormat::Sos:
      return GenerateSosCode(spec, scale, design, path);
    case CoefficientFormat::Csv:
      break;
  }
  return GenerateCoefficientCsv(spec, design, path);
}

}  // namespace qv
