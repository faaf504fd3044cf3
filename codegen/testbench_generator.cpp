// The testbench file in either language. The stimulus: a full-scale positive and negative
// impulse (every tap appears at the output), positive and negative full-scale steps long enough
// to reach the steady state (and saturation, where the taps allow it), pseudo-random samples over
// the full and over half the range from a fixed seed, the probe windows that show a coefficient
// one step off, each part followed by zeros that flush the delay line and the pipeline. The
// expected outputs come from HdlModelOutput.
#include "codegen/testbench_generator.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <ostream>
#include <string>

#include "codegen/design_summary.h"
#include "codegen/formatted_output.h"
#include "codegen/hdl_model.h"
#include "codegen/output_codes.h"
#include "codegen/testbench_probes.h"
#include "codegen/verilog_generator.h"
#include "codegen/vhdl_generator.h"
#include "records/word_format.h"

namespace qv {
namespace {

constexpr int kRandomSamples = 64;      // of each of the two pseudo-random parts
constexpr int kSteadyExtraSamples = 4;  // a step lasts the taps plus these
constexpr int kValuesPerLine = 8;       // VHDL aggregates
constexpr std::uint64_t kSeed = 0x5eed2026u;

// The zeros after each part: the whole delay line and the pipeline drain.
constexpr int GapSamples(int taps, int latency) { return taps + latency; }
constexpr int StepSamples(int taps) { return taps + kSteadyExtraSamples; }
constexpr int SampleCount(int taps, int latency) {
  return 2 + 2 * StepSamples(taps) + 2 * kRandomSamples + kMaxProbeWindows * taps +
         5 * GapSamples(taps, latency);
}
constexpr int kMaxSamples = SampleCount(kMaxTaps, kMaxHdlSampleLatency);

struct Stimulus {
  int count = 0;
  std::array<std::int32_t, kMaxSamples> x{};

  void Hold(std::int32_t value, int samples) {
    for (int i = 0; i < samples; ++i) {
      x[static_cast<std::size_t>(count++)] = value;
    }
  }
  std::span<const std::int32_t> Samples() const {
    return std::span<const std::int32_t>(x).first(static_cast<std::size_t>(count));
  }
};

void MakeStimulus(Stimulus& s, std::span<const std::int32_t> rom, HdlArchitecture architecture,
                  int shift, int latency, int width) {
  const int taps = static_cast<int>(rom.size());
  const auto high = static_cast<std::int32_t>((std::int64_t{1} << (width - 1)) - 1);
  const std::int32_t low = -high - 1;
  const int gap = GapSamples(taps, latency);
  s.Hold(high, 1);
  s.Hold(0, gap);
  s.Hold(low, 1);
  s.Hold(0, gap);
  s.Hold(high, StepSamples(taps));
  s.Hold(0, gap);
  s.Hold(low, StepSamples(taps));
  s.Hold(0, gap);
  TestbenchRandom random(kSeed);
  for (int i = 0; i < kRandomSamples; ++i) {
    s.Hold(random.NextSigned(width), 1);
  }
  for (int i = 0; i < kRandomSamples; ++i) {
    s.Hold(random.NextSigned(width - 1), 1);
  }
  s.count +=
      MakeProbeWindows(rom, architecture, shift, width,
                       std::span<std::int32_t>(s.x).subspan(static_cast<std::size_t>(s.count)));
  s.Hold(0, gap);
}

// The files as the run line names them: by their names alone when both lie in one folder (the
// line then runs there), else by the paths as given; quoted for the shell where needed.
struct RunFiles {
  std::string hardware;
  std::string testbench;
  std::string program;  // Icarus Verilog's compiled simulation, beside the testbench
};

std::string_view FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

// A control character (a line feed in a file name) would end the comment line and break the
// file; it shows as '?' in the line instead.
std::string ShellWord(std::string_view text) {
  const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char ch) {
    return std::isalnum(static_cast<unsigned char>(ch)) != 0 ||
           std::string_view("_./+-,=:@%").find(ch) != std::string_view::npos;
  });
  if (plain) {
    return std::string(text);
  }
  std::string word = "'";
  for (const char ch : text) {
    const bool control = static_cast<unsigned char>(ch) < ' ' || ch == '\x7f';
    word += ch == '\'' ? std::string("'\\''") : std::string(1, control ? '?' : ch);
  }
  return word + "'";
}

// `hardwarePath` empty: the filter's file was not written in the testbench's language, and the
// line names it fir.vhd or fir.v, beside the testbench.
RunFiles NamesForRun(std::string_view hardwarePath, std::string_view testbenchPath, bool verilog) {
  std::string_view testbench = testbenchPath;
  const std::string unwritten = std::string(FolderOf(testbench)) + (verilog ? "fir.v" : "fir.vhd");
  std::string_view hardware = hardwarePath.empty() ? std::string_view(unwritten) : hardwarePath;
  if (FolderOf(hardware) == FolderOf(testbench)) {
    hardware.remove_prefix(FolderOf(hardware).size());
    testbench.remove_prefix(FolderOf(testbench).size());
  }
  const std::size_t dot = testbench.rfind('.');
  const std::string program =
      std::string(testbench.substr(0, dot == std::string_view::npos ? testbench.size() : dot)) +
      ".vvp";
  return {ShellWord(hardware), ShellWord(testbench), ShellWord(program)};
}

struct Bench {
  const FilterSpec& spec;
  bool speed;
  int width;
  int latency;
  std::array<std::int32_t, kMaxTaps> rom{};
  Stimulus stimulus;
  int shift;
  HdlArchitecture architecture;
  RunFiles files;

  std::span<const std::int32_t> Coefficients() const {
    return std::span<const std::int32_t>(rom).first(static_cast<std::size_t>(spec.taps));
  }
  // The output read at step r, which shows input sample r - latency.
  HdlOutput Expected(int r) const {
    return HdlModelOutput(Coefficients(), architecture, shift, width, stimulus.Samples(),
                          r - latency);
  }
};

const char* ArchitectureName(bool speed) { return speed ? "speed" : "size"; }

// The latency as the testbench counts it (from presenting X_IN to reading Y_OUT) against the
// resource estimate's output latency, which counts clocks from the sample's first register that
// every architecture shares: size from the delay line taking it (one sample period of N + 1
// clocks later Y_OUT shows it), speed from X_IN_reg.
void WriteLatency(std::ostream& out, const Bench& b, const char* prefix) {
  const int taps = b.spec.taps;
  if (b.speed) {
    Print(out,
          "%sand compares every output with the exact integer filter, %d samples (%d "
          "clocks) later:\n"
          "%sthe estimate's output latency of %d clocks counts from X_IN_reg to Y_OUT; "
          "this count\n"
          "%sadds the clock that takes X_IN into X_IN_reg.\n",
          prefix, b.latency, b.latency, prefix, b.latency - 1, prefix);
  } else {
    Print(out,
          "%sand compares every output with the exact integer filter, %d samples (%d x %d "
          "clocks) later:\n"
          "%sthe estimate's output latency of %d clocks counts from the delay line taking "
          "a sample\n"
          "%sto Y_OUT; this count adds the sample period in which X_IN waits for the delay "
          "line.\n",
          prefix, b.latency, b.latency, taps + 1, prefix, taps + 1, prefix);
  }
}

// `run`: the commands that analyse, build and run the testbench with the filter's file.
void WriteHeader(std::ostream& out, const Bench& b, const char* prefix, const char* rule,
                 const std::string& run) {
  out << rule;
  WriteIdentification(out, prefix, "");
  Print(out,
        "%sSelf-checking testbench of fir, %s architecture, FIR %d Taps, %s "
        "coefficients, %d-bit signal.\n",
        prefix, ArchitectureName(b.speed), static_cast<int>(b.spec.taps),
        HardwareWordFormat(b.spec.quantization).name, b.width);
  Print(out,
        "%sIt presents %d samples (impulses, steps, pseudo-random samples, probes of "
        "every\n%scoefficient one step off, zeros)\n",
        prefix, b.stimulus.count, prefix);
  WriteLatency(out, b, prefix);
  Print(out, "%sRun it with the filter's file, %s:\n%s  %s\n", prefix, b.files.hardware.c_str(),
        prefix, run.c_str());
  out << rule;
  out << "\n";
}

// A VHDL integer literal; the most negative 32-bit value has no literal of its own.
void WriteVhdlInteger(std::ostream& out, std::int64_t value) {
  if (value == INT32_MIN) {
    out << "(-2147483647-1)";
  } else {
    Print(out, "%lld", static_cast<long long>(value));
  }
}

template <typename Value>
void WriteVhdlVector(std::ostream& out, const char* name, int count, Value value) {
  Print(out, "    constant %s : int_array := (\n", name);
  for (int r = 0; r < count; ++r) {
    out << (r % kValuesPerLine == 0 ? "        " : " ");
    WriteVhdlInteger(out, value(r));
    out << (r + 1 == count ? "\n" : (r % kValuesPerLine == kValuesPerLine - 1 ? ",\n" : ","));
  }
  out << "    );\n";
}

void WriteVhdl(std::ostream& out, const Bench& b) {
  const int count = b.stimulus.count;
  // --ieee-asserts=disable-at-0 keeps the library's warnings about the undefined values before
  // the reset from burying the PASS line.
  WriteHeader(out, b, "-- ", "----------------------------------------------------------------\n",
              "ghdl -a --std=93c -fsynopsys -fexplicit " + b.files.hardware + " " +
                  b.files.testbench +
                  " && ghdl --elab-run --std=93c -fsynopsys -fexplicit fir_tb "
                  "--ieee-asserts=disable-at-0");
  out << "library IEEE;\n"
         "    use IEEE.std_logic_1164.all;\n"
         "    use IEEE.std_logic_arith.all;\n"
         "library STD;\n"
         "    use STD.textio.all;\n\n"
         "entity fir_tb is\n"
         "end fir_tb;\n\n"
         "architecture bench of fir_tb is\n";
  Print(out, "    constant W       : integer := %d;\n", b.width);
  Print(out, "    constant SAMPLES : integer := %d;\n", count);
  out << "    type int_array is array (0 to SAMPLES-1) of integer;\n";
  out << "    -- X_IN of each step\n";
  WriteVhdlVector(out, "X_VEC", count,
                  [&b](int r) { return std::int64_t{b.stimulus.x[static_cast<std::size_t>(r)]}; });
  out << "    -- Y_OUT expected at each step\n";
  WriteVhdlVector(out, "Y_VEC", count, [&b](int r) { return b.Expected(r).y; });
  out << "    -- SATURATION_ERR expected at each step (1 = set)\n";
  WriteVhdlVector(out, "S_VEC", count,
                  [&b](int r) { return std::int64_t{b.Expected(r).saturated ? 1 : 0}; });
  out << "\n"
         "    signal clk     : std_logic := '0';\n"
         "    signal reset   : std_logic := '1';\n"
         "    signal running : boolean := true;\n"
         "    signal x_in    : std_logic_vector(W-1 downto 0) := (others => '0');\n"
         "    signal y_out   : std_logic_vector(W-1 downto 0);\n"
         "    signal sat     : std_logic;\n";
  if (!b.speed) {
    out << "    signal new_sample : std_logic;\n";
  }
  Print(out,
        "begin\n"
        "    dut : entity work.fir(%s)\n"
        "        port map (\n"
        "            GLOBAL_CLK     => clk,\n"
        "            GLOBAL_RESET   => reset,\n"
        "            X_IN           => x_in,\n",
        ArchitectureName(b.speed));
  if (!b.speed) {
    out << "            NEW_SAMPLE     => new_sample,\n";
  }
  out << "            SATURATION_ERR => sat,\n"
         "            Y_OUT          => y_out\n"
         "        );\n\n"
         "    clock : process\n"
         "    begin\n"
         "        while running loop\n"
         "            clk <= '0';\n"
         "            wait for 5 ns;\n"
         "            clk <= '1';\n"
         "            wait for 5 ns;\n"
         "        end loop;\n"
         "        wait;\n"
         "    end process;\n\n"
         "    -- Each step reads the output on a falling clock edge, then presents the next "
         "input.\n"
         "    check : process\n"
         "        variable lout : line;\n"
         "    begin\n"
         "        wait for 12 ns;\n"
         "        reset <= '0';\n"
         "        for r in 0 to SAMPLES-1 loop\n";
  if (b.speed) {
    out << "            wait until falling_edge(clk);\n";
  } else {
    out << "            wait until falling_edge(clk) and new_sample = '1';\n";
  }
  out << "            assert conv_integer(signed(y_out)) = Y_VEC(r) and (sat = '1') = (S_VEC(r) = "
         "1)\n"
         "                report \"sample \" & integer'image(r) & \": expected \" & "
         "integer'image(Y_VEC(r))\n"
         "                    & \" saturation \" & integer'image(S_VEC(r)) & \", got \"\n"
         "                    & integer'image(conv_integer(signed(y_out))) & \" saturation \" & "
         "std_logic'image(sat)\n"
         "                severity failure;\n"
         "            x_in <= conv_std_logic_vector(X_VEC(r), W);\n"
         "        end loop;\n"
         "        write(lout, string'(\"PASS \"));\n"
         "        write(lout, SAMPLES);\n"
         "        write(lout, string'(\" samples checked\"));\n"
         "        writeline(output, lout);\n"
         "        running <= false;\n"
         "        wait;\n"
         "    end process;\n"
         "end bench;\n";
}

// A W-bit Verilog constant of `value`'s two's complement.
void WriteVerilogWord(std::ostream& out, int width, std::int64_t value) {
  const std::uint64_t mask = (std::uint64_t{1} << width) - 1;
  Print(out, "%d'h%llx", width,
        static_cast<unsigned long long>(static_cast<std::uint64_t>(value) & mask));
}

void WriteVerilog(std::ostream& out, const Bench& b) {
  const int count = b.stimulus.count;
  WriteHeader(out, b, "// ", "//--------------------------------------------------------------\n",
              "iverilog -g2005 -o " + b.files.program + " " + b.files.hardware + " " +
                  b.files.testbench + " && vvp " + b.files.program);
  out << "`timescale 1ns / 1ps\n\nmodule fir_tb;\n\n";
  Print(out, "localparam W = %d;\nlocalparam SAMPLES = %d;\n\n", b.width, count);
  out << "reg clk = 1'b0;\n"
         "reg reset = 1'b1;\n"
         "reg [W-1:0] x_in = {W{1'b0}};\n"
         "wire [W-1:0] y_out;\n"
         "wire sat;\n";
  if (!b.speed) {
    out << "wire new_sample;\n";
  }
  out << "// X_IN, the expected Y_OUT and the expected SATURATION_ERR of each step\n"
         "reg [W-1:0] x_vec [0:SAMPLES-1];\n"
         "reg [W-1:0] y_vec [0:SAMPLES-1];\n"
         "reg s_vec [0:SAMPLES-1];\n"
         "integer r;\n\n"
         "fir #(.W(W)) dut (\n"
         "    .GLOBAL_CLK(clk),\n"
         "    .GLOBAL_RESET(reset),\n"
         "    .X_IN(x_in),\n";
  if (!b.speed) {
    out << "    .NEW_SAMPLE(new_sample),\n";
  }
  out << "    .SATURATION_ERR(sat),\n"
         "    .Y_OUT(y_out)\n"
         ");\n\n"
         "always #5 clk = ~clk;\n\n"
         "initial begin\n";
  for (int r = 0; r < count; ++r) {
    const HdlOutput want = b.Expected(r);
    Print(out, "    x_vec[%d] = ", r);
    WriteVerilogWord(out, b.width, b.stimulus.x[static_cast<std::size_t>(r)]);
    Print(out, "; y_vec[%d] = ", r);
    WriteVerilogWord(out, b.width, want.y);
    Print(out, "; s_vec[%d] = 1'b%d;\n", r, want.saturated ? 1 : 0);
  }
  out << "end\n\n"
         "// Each step reads the output on a falling clock edge, then presents the next input.\n"
         "initial begin\n"
         "    #12 reset = 1'b0;\n"
         "    for (r = 0; r < SAMPLES; r = r + 1) begin\n"
         "        @(negedge clk);\n";
  if (!b.speed) {
    out << "        while (new_sample !== 1'b1) @(negedge clk);\n";
  }
  out << "        if (y_out !== y_vec[r] || sat !== s_vec[r])\n"
         "            $fatal(1, \"sample %0d: expected %0d saturation %0d, got %0d saturation "
         "%0d\",\n"
         "                   r, $signed(y_vec[r]), s_vec[r], $signed(y_out), sat);\n"
         "        x_in = x_vec[r];\n"
         "    end\n"
         "    $display(\"PASS %0d samples checked\", SAMPLES);\n"
         "    $finish;\n"
         "end\n\n"
         "endmodule\n";
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::optional<HdlLanguage> TestbenchLanguage(std::string_view path) {
  if (EndsWith(path, ".vhd") || EndsWith(path, ".vhdl")) {
    return HdlLanguage::Vhdl;
  }
  if (EndsWith(path, ".v")) {
    return HdlLanguage::Verilog;
  }
  return std::nullopt;
}

OutputCode WriteTestbench(std::ostream& out, const Calculation& calculation,
                          const TestbenchSetup& setup) {
  const FilterSpec& spec = calculation.spec;
  const std::span<const double> firTaps = calculation.design.firTaps;
  const int shift = calculation.design.shift;
  const HdlArchitecture architecture = setup.architecture;
  const int width = setup.width;
  if (!FirTapsValid(spec, firTaps, shift) || !HdlDesignWritable(spec, architecture) ||
      width < kMinHdlWidth || width > kMaxHdlWidth) {
    return OutputCode::DesignMismatch;
  }
  const bool verilog = setup.language == HdlLanguage::Verilog;
  const bool speed = architecture == HdlArchitecture::Speed;
  Bench b{spec,
          speed,
          width,
          HdlSampleLatency(architecture, spec.taps),
          {},
          {},
          shift,
          architecture,
          NamesForRun(setup.hardwarePath, setup.benchPath, verilog)};
  for (int k = 0; k < spec.taps; ++k) {
    b.rom[static_cast<std::size_t>(k)] =
        HdlCoefficient(firTaps[static_cast<std::size_t>(k)], spec.quantization);
  }
  MakeStimulus(b.stimulus, b.Coefficients(), architecture, shift, b.latency, width);
  if (verilog) {
    WriteVerilog(out, b);
  } else {
    WriteVhdl(out, b);
  }
  return OutputCode::Ok;
}

}  // namespace qv
