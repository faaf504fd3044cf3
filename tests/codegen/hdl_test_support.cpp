#include "hdl_test_support.h"

#include <fstream>

#include "codegen/resource_estimate.h"
#include "codegen/verilog_generator.h"

namespace qv::test {

void PrintTo(const HdlCase& c, std::ostream* os) {
  *os << (c.architecture == kSpeed ? "speed" : "size") << " N=" << c.taps << " W=" << c.width;
}

std::string HdlCaseName(const HdlCase& c) {
  return std::string(c.architecture == kSpeed ? "Speed" : "Size") +
         (c.quantization == Quantization::Signed8 ? "8bit" : "16bit") + "N" +
         std::to_string(c.taps) + "W" + std::to_string(c.width) +
         (c.source == Taps::Extreme ? "Extreme" : "Designed");
}

int CoefficientWidth(Quantization q) { return q == Quantization::Signed8 ? 8 : 16; }

GeneratorInput MakeHdlInput(const HdlCase& c) {
  if (c.source == Taps::Extreme) {
    const int bits = CoefficientWidth(c.quantization);
    GeneratorInput in = HandMadeFir({}, c.quantization, bits - 1);
    in.spec.taps = c.taps;
    for (int i = 0; i < c.taps; ++i) {
      in.design.firTaps[i] = (i % 2 == 0) ? -(1 << (bits - 1)) : (1 << (bits - 1)) - 1;
    }
    return in;
  }
  FilterSpec spec;
  spec.filterClass = FilterClass::Fir;
  spec.model = c.model;
  spec.taps = c.taps;
  spec.quantization = c.quantization;
  return Calculated(spec);
}

std::vector<std::int64_t> Stimulus(int taps, int width, int randomCount) {
  const std::int64_t high = (std::int64_t{1} << (width - 1)) - 1;
  const std::int64_t low = -(std::int64_t{1} << (width - 1));
  const int quiet = taps + 2;
  std::vector<std::int64_t> x;
  auto hold = [&x](std::int64_t v, int count) {
    x.insert(x.end(), static_cast<std::size_t>(count), v);
  };
  hold(high, 1);
  hold(0, quiet);
  hold(low, 1);
  hold(0, quiet);
  hold(high, quiet);
  hold(low, quiet);
  hold(0, quiet);
  std::uint32_t state = 12345u;
  const auto span = static_cast<std::uint64_t>(high - low + 1);
  for (int i = 0; i < randomCount; ++i) {
    state = state * 1664525u + 1013904223u;
    x.push_back(low + static_cast<std::int64_t>((state >> 8) % span));
  }
  return x;
}

void WriteStimulus(const std::vector<std::int64_t>& x, const std::string& path) {
  std::ofstream stimulus(path);
  for (const std::int64_t v : x) {
    stimulus << v << '\n';
  }
}

Sample Expected(const std::vector<std::int64_t>& h, int shift, int width,
                const std::vector<std::int64_t>& x, long t) {
  std::int64_t acc = 0;
  for (std::size_t k = 0; k < h.size(); ++k) {
    const long i = t - static_cast<long>(k);
    if (i >= 0 && i < static_cast<long>(x.size())) {
      acc += h[k] * x[static_cast<std::size_t>(i)];
    }
  }
  const std::int64_t high = (std::int64_t{1} << (width - 1)) - 1;
  const std::int64_t low = -(std::int64_t{1} << (width - 1));
  const std::int64_t y = acc >> shift;
  if (y > high) return {high, 1};
  if (y < low) return {low, 1};
  return {y, 0};
}

std::vector<std::int64_t> IntegerTaps(const GeneratorInput& in) {
  std::vector<std::int64_t> h;
  for (int k = 0; k < in.spec.taps; ++k) {
    h.push_back(static_cast<std::int64_t>(in.design.firTaps[static_cast<std::size_t>(k)]));
  }
  return h;
}

std::vector<Sample> ReadResponse(const std::string& path) {
  std::vector<Sample> samples;
  std::ifstream file(path);
  Sample s;
  while (file >> s.y >> s.saturated) {
    samples.push_back(s);
  }
  return samples;
}

OutputCode WriteVerilogOf(const HdlCase& c, const std::string& path) {
  const GeneratorInput in = MakeHdlInput(c);
  return Write(OutputFormat::Verilog, in, test::HardwareOptions(c.architecture, c.width), path);
}

}  // namespace qv::test
