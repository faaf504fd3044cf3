#include "codegen_test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "codegen/testbench_generator.h"
#include "engine/calculate.h"
#include "records/identification.h"

namespace qv::test {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<double> ReadNumbers(const std::string& path) {
  std::vector<double> values;
  std::ifstream file(path);
  double v = 0.0;
  while (file >> v) {
    values.push_back(v);
  }
  return values;
}

GeneratorInput HandMadeFir(std::initializer_list<double> taps, Quantization quantization,
                           int shift) {
  GeneratorInput input;
  input.spec.filterClass = FilterClass::Fir;
  input.spec.model = FilterModel::Rectangle;
  input.spec.taps = static_cast<std::int32_t>(taps.size());
  input.spec.quantization = quantization;
  input.spec.fcut2 = input.spec.fcut1;
  std::size_t k = 0;
  for (const double h : taps) {
    input.design.firTaps[k++] = h;
  }
  input.design.shift = shift;
  return input;
}

GeneratorInput Calculated(const FilterSpec& spec) {
  Calculation calculation = Calculate(spec);
  EXPECT_TRUE(calculation.Succeeded())
      << "Calculate refused the design: " << calculation.outcome.message;
  return calculation;
}

OutputOptions HardwareOptions(HdlArchitecture architecture, int width) {
  OutputOptions options;
  options.architecture = architecture;
  options.resolution = width;
  return options;
}

OutputCode WriteTestbenchFile(const GeneratorInput& in, HdlArchitecture architecture, int width,
                              const std::string& hardwarePath, const std::string& path) {
  OutputOptions options = HardwareOptions(architecture, width);
  options.language = TestbenchLanguage(path).value_or(HdlLanguage::Vhdl);
  options.hardwarePath = hardwarePath;
  return Write(OutputFormat::Testbench, in, options, path);
}

FilterSpec SchemeSpec(BandType band, FilterModel model, int order, int fsample, int fcut1,
                      int fcut2, double rippleDb, double attenuationDb) {
  FilterSpec spec;
  spec.bandType = band;
  spec.model = model;
  spec.filterClass = IsIirModel(model) ? FilterClass::Iir : FilterClass::Fir;
  spec.order = order;
  spec.taps = order;
  spec.fsample = fsample;
  spec.ripple = rippleDb;
  const double nyquist = fsample / 2.0;
  const double low = fcut1;
  const double high = IsBandType(band) ? fcut2 : fcut1;
  ToleranceScheme& s = spec.scheme;
  s.active = true;
  s.attenuation = attenuationDb;
  switch (band) {
    case BandType::LowPass:
      s.pass1 = low;
      s.stop1 = low + (nyquist - low) / 4.0;
      break;
    case BandType::HighPass:
      s.stop1 = low * 0.75;
      s.pass1 = low;
      break;
    case BandType::BandPass:
      s.stop1 = low * 0.75;
      s.pass1 = low;
      s.pass2 = high;
      s.stop2 = high + (nyquist - high) / 4.0;
      break;
    case BandType::BandStop:
      s.pass1 = low;
      s.stop1 = low + (high - low) / 4.0;
      s.stop2 = high - (high - low) / 4.0;
      s.pass2 = high;
      break;
  }
  return spec;
}

std::string MaskIdentification(const std::string& text) {
  std::string masked = text;
  auto replaceLine = [&masked](std::string_view value, std::string_view marker) {
    std::size_t at = masked.find(value);
    while (at != std::string::npos) {
      const bool startsLine = at == 0 || masked[at - 1] == '\n' || masked[at - 1] == ' ';
      const bool endsLine = at + value.size() < masked.size() && masked[at + value.size()] == '\n';
      std::size_t next = at + 1;
      if (startsLine && endsLine) {
        masked.replace(at, value.size(), marker);
        next = at + marker.size();
      }
      at = masked.find(value, next);
    }
  };
  replaceLine(kWebSite, "<web site>");
  replaceLine(kContactEmail, "<e-mail>");
  return masked;
}

int RunShell(const std::string& command) {
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) {
    return -1;
  }
  return WEXITSTATUS(status);
}

bool OnPath(const std::string& program) {
  return RunShell("command -v '" + program + "' > /dev/null 2>&1") == 0;
}

}  // namespace qv::test
