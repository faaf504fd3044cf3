// The frame of the VHDL file: header, component entities, the entity `fir`, and the sections
// both architectures share; the architecture-specific sections come from vhdl_size.cpp and
// vhdl_speed.cpp.
#include "codegen/vhdl_generator.h"

#include <cstdio>

#include "codegen/design_summary.h"
#include "codegen/output_codes.h"
#include "codegen/speed_levels.h"
#include "codegen/vhdl_sections.h"
#include "fileio/output_file.h"

namespace qv {
namespace {

constexpr const char* kDashes64 =
    "----------------------------------------------------------------\n";
constexpr const char* kDashes120 =
    "------------------------------------------------------------------------------------------"
    "------------------------------\n";

constexpr const char* kPortsWithB =
    "    Port (\n"
    "        GLOBAL_CLK     : in std_logic;\n"
    "        GLOBAL_RESET   : in std_logic;\n"
    "        A              : in std_logic_vector;\n"
    "        B              : in std_logic_vector;\n"
    "        Q              : out std_logic_vector\n"
    "    );\n";
constexpr const char* kPortsWithoutB =
    "    Port (\n"
    "        GLOBAL_CLK     : in std_logic;\n"
    "        GLOBAL_RESET   : in std_logic;\n"
    "        A              : in std_logic_vector;\n"
    "        Q              : out std_logic_vector\n"
    "    );\n";

constexpr const char* kLibrariesWithUnsigned =
    "library IEEE;\n"
    "    use IEEE.std_logic_1164.all;\n"
    "    use IEEE.std_logic_arith.all;\n"
    "    use IEEE.std_logic_unsigned.all;\n\n";
constexpr const char* kLibrariesWithoutUnsigned =
    "library IEEE;\n"
    "    use IEEE.std_logic_1164.all;\n"
    "    use IEEE.std_logic_arith.all;\n\n";

// A component banner: 120 dashes, the two title lines, 120 dashes and a blank line.
void WriteBanner(std::FILE* file, const char* titles) {
  std::fputs(kDashes120, file);
  std::fputs(titles, file);
  std::fputs(kDashes120, file);
  std::fputs("\n", file);
}

bool IsSpeed(HdlArchitecture architecture) { return architecture == HdlArchitecture::Speed; }

bool InputsValid(const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, std::span<const double> firTaps, int shift) {
  return SummaryInputsValid(spec, scale, denominator) && FirTapsValid(spec, firTaps, shift);
}

void WriteHeader(std::FILE* file, const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, std::string_view comment) {
  WriteHardwareHeader(file, "-- ", kDashes64, kDashes120, spec, scale, denominator, comment);
  std::fputs("\n", file);
}

void WriteMultiplierEntity(std::FILE* file) {
  WriteBanner(file, "--  Component multiplier\n--  signed multiplier\n");
  std::fputs(kLibrariesWithoutUnsigned, file);
  std::fputs("entity multiplier is\n", file);
  std::fputs(kPortsWithB, file);
  std::fputs(
      "end multiplier;\n\n"
      "architecture rtl of multiplier is\n\n"
      "signal A_tmp : signed( A'length-1 downto 0 );\n"
      "signal B_tmp : signed( B'length-1 downto 0 );\n"
      "signal prod_tmp : signed( Q'length-1 downto 0 );\n\n"
      "begin\n\n"
      "assert Q'length = (A'length + B'length)\n"
      "    report \"multiplier: Q length must equal A + B length\" severity error;\n\n"
      "-- A to signed value conversion\n"
      "A_pro : process(A)\n"
      "begin\n"
      "    for i in A'length-1 downto 0 loop\n"
      "        A_tmp(i) <= A(i);\n"
      "    end loop;\n"
      "end process A_pro;\n\n"
      "-- B to signed value conversion\n"
      "B_pro : process( B )\n"
      "begin\n\n"
      "    for i in B'length-1 downto 0 loop\n"
      "        B_tmp(i) <= B(i);\n"
      "    end loop;\n"
      "end process B_pro;\n\n"
      "-- multiplication\n"
      "prod_tmp <= A_tmp * B_tmp;\n\n"
      "-- Registered output\n"
      "prod_pro : process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
      "    if (GLOBAL_RESET = '1') then\n"
      "       for i in Q'length-1 downto 0 loop\n"
      "           Q(i) <= '0';\n"
      "       end loop;\n"
      "    elsif rising_edge(GLOBAL_CLK) then\n"
      "       for i in Q'length-1 downto 0 loop\n"
      "           Q(i) <= prod_tmp(i);\n"
      "       end loop;\n"
      "    end if;\n"
      "end process prod_pro;\n\n"
      "end rtl;\n\n",
      file);
}

void WriteAdderEntities(std::FILE* file) {
  WriteBanner(file, "--  Component adder\n--  signed addition\n");
  std::fputs(kLibrariesWithUnsigned, file);
  std::fputs("entity adder is\n", file);
  std::fputs(kPortsWithB, file);
  std::fputs(
      "end adder;\n\n"
      "architecture rtl of adder is\n\n"
      "begin\n\n"
      "assert A'length = B'length\n"
      "\treport \"adder: A and B must be the same length\" severity error;\n"
      "assert A'length = Q'length-1\n"
      "\treport \"adder: Q length must be the 1 bit wider than A or B\" severity error;\n\n"
      "-- Registered output\n"
      "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
      " \tif (GLOBAL_RESET = '1') then\n"
      "\t\tQ <= conv_std_logic_vector(0, Q'length);\n"
      " \telsif rising_edge(GLOBAL_CLK) then\n"
      "\t\tQ <= (A(A'length-1) & A) + (B(A'length-1) & B);\n"
      "\tend if;\n"
      "end process;\n\n"
      "end rtl;\n\n",
      file);

  WriteBanner(file, "--  Component dummyAdder\n--  a simple register\n");
  std::fputs(kLibrariesWithoutUnsigned, file);
  std::fputs("entity dummyAdder is\n", file);
  std::fputs(kPortsWithoutB, file);
  std::fputs(
      "end dummyAdder;\n\n"
      "architecture rtl of dummyAdder is\n\n"
      "begin\n\n"
      "assert A'length = Q'length-1\n"
      "\treport \"adder: Q length must be the 1 bit wider than A or B\" severity error;\n\n"
      "-- Registered output\n"
      "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
      " \tif (GLOBAL_RESET = '1') then\n"
      "\t\tQ <= conv_std_logic_vector(0, Q'length);\n"
      " \telsif rising_edge(GLOBAL_CLK) then\n"
      "\t\tQ <= (A(A'length-1) & A);\n"
      "\tend if;\n"
      "end process;\n\n"
      "end rtl;\n\n",
      file);
}

void WriteFirEntity(std::FILE* file, const FilterSpec& spec, bool speed) {
  WriteBanner(file, "--  Component fir\n--  Filter Top Level\n");
  std::fputs(kLibrariesWithUnsigned, file);
  std::fputs("entity fir is\n    generic (\n", file);
  std::fprintf(file, "       Coef_Width_g    : integer := %s;\n",
               spec.quantization == Quantization::Signed8 ? "8" : "16");
  std::fprintf(file, "       NTAP_g          : integer := %d\n", static_cast<int>(spec.taps));
  std::fputs(
      "    );\n"
      "    port (\n"
      "       GLOBAL_CLK      : in std_logic;\n"
      "       GLOBAL_RESET    : in std_logic;\n"
      "       X_IN            : in std_logic_vector;\n",
      file);
  if (!speed) {
    std::fputs("       NEW_SAMPLE      : out std_logic;\n", file);
  }
  std::fputs(
      "       SATURATION_ERR  : out std_logic;\n"
      "       Y_OUT           : out std_logic_vector\n"
      "\t);\n"
      "end fir;\n\n",
      file);
}

void WriteArchitectureHead(std::FILE* file, bool speed) {
  if (speed) {
    std::fputs("architecture speed of fir is\n\n", file);
    std::fputs("component adder is\n", file);
    std::fputs(kPortsWithB, file);
    std::fputs("end component;\n\n", file);
    std::fputs("component dummyAdder is\n", file);
    std::fputs(kPortsWithoutB, file);
    std::fputs("end component;\n\n", file);
  } else {
    std::fputs("architecture size of fir is\n\n", file);
  }
  std::fputs("component multiplier is\n", file);
  std::fputs(kPortsWithB, file);
  std::fputs("end component;\n\n", file);
}

// The saturation test compares Y_I above the output window, up to Y_I's full width, with these
// constants; both architectures declare them as wide as Y_I so that every slice lies inside.
void WriteSaturationConstants(std::FILE* file) {
  std::fputs(
      "constant zeros : std_logic_vector(Y_I'length-1 downto 0) := (others => '0');\n"
      "constant ones  : std_logic_vector(Y_I'length-1 downto 0) := (others => '1');\n\n",
      file);
}

void WriteIoRegisters(std::FILE* file, bool speed) {
  std::fputs(
      "\n-- IOs registers\n"
      "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
      "     if (GLOBAL_RESET = '1') then\n"
      "        X_IN_reg        <= (others => '0');\n",
      file);
  if (!speed) {
    std::fputs("        NEW_SAMPLE      <= '0';\n", file);
  }
  std::fputs(
      "        SATURATION_ERR  <= '0';\n"
      "        Y_OUT           <= conv_std_logic_vector(0, Y_OUT'length);\n"
      "     elsif rising_edge(GLOBAL_CLK) then\n"
      "        X_IN_reg        <= X_IN;\n",
      file);
  if (!speed) {
    std::fputs(
        "        if TAP_Counter = ShiftCount_c then\n"
        "            --update Y output\n"
        "            NEW_SAMPLE\t\t <= '1';\n",
        file);
  }
  std::fputs(
      "        if Y_I( Y_I'length-1 downto CoefScalingBitDrop_c + Y_OUT'length - 1) = "
      "zeros(Y_I'length-1 - (CoefScalingBitDrop_c + Y_OUT'length - 1) downto 0)\n"
      "        or Y_I( Y_I'length-1 downto CoefScalingBitDrop_c + Y_OUT'length - 1) =  "
      "ones(Y_I'length-1 - (CoefScalingBitDrop_c + Y_OUT'length - 1) downto 0) then\n"
      "             SATURATION_ERR     <= '0';\n"
      "             Y_OUT              <= Y_I(CoefScalingBitDrop_c + Y_OUT'length-1 downto "
      "CoefScalingBitDrop_c);\n"
      "        else\n"
      "            SATURATION_ERR     <= '1';\n"
      "            if Y_I(Y_I'length-1) = '0' then\n"
      "                --positive saturation\n"
      "                Y_OUT    <= '0' & ones(Y_OUT'length-2 downto 0);\n"
      "            else\n"
      "                --negative saturation\n"
      "                Y_OUT    <= '1' & zeros(Y_OUT'length-2 downto 0);\n"
      "            end if;\n"
      "         end if;\n",
      file);
  if (!speed) {
    std::fputs(
        "        else\n"
        "            NEW_SAMPLE\t\t <= '0';\n"
        "        end if;\n",
        file);
  }
  std::fputs("    end if;\nend process;\n\n", file);
}

void WriteShiftRegisters(std::FILE* file, bool speed) {
  std::fputs(
      "-- right shift registers\n"
      "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
      "     if (GLOBAL_RESET = '1') then\n"
      "        for i in 0 to NTAP_g-1 loop\n"
      "            DELAY(i) <= (others => '0');\n"
      "        end loop;\n"
      "     elsif rising_edge(GLOBAL_CLK) then\n"
      "        for i in 1 to NTAP_g-1 loop\n"
      "            DELAY(i) <= DELAY(i-1);\n"
      "        end loop;\n",
      file);
  if (speed) {
    std::fputs("        DELAY(0) <= X_IN_reg;\n", file);
  } else {
    std::fputs(
        "       if TAP_Counter = ShiftCount_c then\n"
        "           DELAY(0)    <= X_IN_reg;\n"
        "       else\n"
        "           DELAY(0)    <= DELAY(NTAP_g-1);\n"
        "       end if;\n\n",
        file);
  }
  std::fputs("    end if;\nend process;\n\n", file);
}

void WriteFile(std::FILE* file, const FilterSpec& spec, const DisplayScale& scale,
               std::span<const double> denominator, std::span<const double> firTaps, int shift,
               bool speed, std::string_view comment) {
  const SpeedLevels levels = ComputeSpeedLevels(spec.taps);
  const auto taps = firTaps.first(static_cast<std::size_t>(spec.taps));

  WriteHeader(file, spec, scale, denominator, comment);
  WriteMultiplierEntity(file);
  if (speed) {
    WriteAdderEntities(file);
  }
  WriteFirEntity(file, spec, speed);
  WriteArchitectureHead(file, speed);
  std::fprintf(file, "constant CoefScalingBitDrop_c : integer := %d;\n\n", shift);
  if (speed) {
    WriteSpeedConstants(file, levels);
  }
  std::fputs(
      "type DELAYARRAY is array (0 to NTAP_g - 1) of std_logic_vector(X_IN'length-1 downto 0);\n"
      "signal DELAY    : DELAYARRAY;\n\n",
      file);
  if (speed) {
    WriteSpeedDeclarations(file, levels);
  } else {
    WriteSizeDeclarations(file);
  }
  std::fputs("signal X_IN_reg : std_logic_vector(X_IN'length-1 downto 0);\n\n", file);
  WriteSaturationConstants(file);
  std::fputs(
      "begin\n\n"
      "assert Y_OUT'length = X_IN'length\n"
      "\treport \"fir: Y_OUT and X_IN must be the same length\" severity error;\n\n",
      file);
  if (speed) {
    WriteSpeedRomRows(file, spec.quantization, taps, levels.sizes[0]);
  } else {
    WriteSizeRomRows(file, spec.quantization, taps);
  }
  WriteIoRegisters(file, speed);
  if (!speed) {
    WriteSizeTapCounter(file);
  }
  WriteShiftRegisters(file, speed);
  if (speed) {
    WriteSpeedDatapath(file, levels);
  } else {
    WriteSizeDatapath(file);
  }
}

}  // namespace

OutputCode GenerateVhdlCode(const FilterSpec& spec, const DisplayScale& scale,
                            std::span<const double> denominator, std::span<const double> firTaps,
                            int shift, HdlArchitecture architecture, std::string_view comment,
                            const std::string& path) {
  const bool speed = IsSpeed(architecture);
  if (!speed && architecture != HdlArchitecture::Size) {
    return OutputCode::BadArchitecture;
  }
  if (const OutputCode code = CheckHdlDesign(spec, true); code != OutputCode::Ok) {
    return code;
  }
  if (const OutputCode code = CheckHdlArchitecture(spec, architecture); code != OutputCode::Ok) {
    return code;
  }
  if (!InputsValid(spec, scale, denominator, firTaps, shift)) {
    return OutputCode::DesignMismatch;
  }
  OutputFile output(path);
  if (!output.IsOpen()) {
    return OutputCode::NotCreated;
  }
  WriteFile(output.File(), spec, scale, denominator, firTaps, shift, speed, comment);
  return output.Commit() ? OutputCode::Ok : OutputCode::NotClosed;
}

}  // namespace qv
