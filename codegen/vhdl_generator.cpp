// The frame of the VHDL file: header, component entities, the entity `fir`, and the sections
// both architectures share; the architecture-specific sections come from vhdl_size.cpp and
// vhdl_speed.cpp.
#include "codegen/vhdl_generator.h"

#include <ostream>

#include "codegen/design_summary.h"
#include "codegen/formatted_output.h"
#include "codegen/output_codes.h"
#include "codegen/speed_levels.h"
#include "codegen/vhdl_sections.h"
#include "records/word_format.h"

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
void WriteBanner(std::ostream& out, const char* titles) {
  out << kDashes120;
  out << titles;
  out << kDashes120;
  out << "\n";
}

bool IsSpeed(HdlArchitecture architecture) { return architecture == HdlArchitecture::Speed; }

bool InputsValid(const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, std::span<const double> firTaps, int shift) {
  return SummaryInputsValid(spec, scale, denominator) && FirTapsValid(spec, firTaps, shift);
}

void WriteHeader(std::ostream& out, const FilterSpec& spec, const DisplayScale& scale,
                 std::span<const double> denominator, std::string_view comment) {
  WriteHardwareHeader(out, "-- ", kDashes64, kDashes120, spec, scale, denominator, comment);
  out << "\n";
}

void WriteMultiplierEntity(std::ostream& out) {
  WriteBanner(out, "--  Component multiplier\n--  signed multiplier\n");
  out << kLibrariesWithoutUnsigned;
  out << "entity multiplier is\n";
  out << kPortsWithB;
  out << "end multiplier;\n\n"
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
         "end rtl;\n\n";
}

void WriteAdderEntities(std::ostream& out) {
  WriteBanner(out, "--  Component adder\n--  signed addition\n");
  out << kLibrariesWithUnsigned;
  out << "entity adder is\n";
  out << kPortsWithB;
  out << "end adder;\n\n"
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
         "end rtl;\n\n";

  WriteBanner(out, "--  Component dummyAdder\n--  a simple register\n");
  out << kLibrariesWithoutUnsigned;
  out << "entity dummyAdder is\n";
  out << kPortsWithoutB;
  out << "end dummyAdder;\n\n"
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
         "end rtl;\n\n";
}

void WriteFirEntity(std::ostream& out, const FilterSpec& spec, bool speed) {
  WriteBanner(out, "--  Component fir\n--  Filter Top Level\n");
  out << kLibrariesWithUnsigned;
  out << "entity fir is\n    generic (\n";
  Print(out, "       Coef_Width_g    : integer := %d;\n",
        HardwareWordFormat(spec.quantization).bits);
  Print(out, "       NTAP_g          : integer := %d\n", static_cast<int>(spec.taps));
  out << "    );\n"
         "    port (\n"
         "       GLOBAL_CLK      : in std_logic;\n"
         "       GLOBAL_RESET    : in std_logic;\n"
         "       X_IN            : in std_logic_vector;\n";
  if (!speed) {
    out << "       NEW_SAMPLE      : out std_logic;\n";
  }
  out << "       SATURATION_ERR  : out std_logic;\n"
         "       Y_OUT           : out std_logic_vector\n"
         "\t);\n"
         "end fir;\n\n";
}

void WriteArchitectureHead(std::ostream& out, bool speed) {
  if (speed) {
    out << "architecture speed of fir is\n\n";
    out << "component adder is\n";
    out << kPortsWithB;
    out << "end component;\n\n";
    out << "component dummyAdder is\n";
    out << kPortsWithoutB;
    out << "end component;\n\n";
  } else {
    out << "architecture size of fir is\n\n";
  }
  out << "component multiplier is\n";
  out << kPortsWithB;
  out << "end component;\n\n";
}

// The saturation test compares Y_I above the output window, up to Y_I's full width, with these
// constants; both architectures declare them as wide as Y_I so that every slice lies inside.
void WriteSaturationConstants(std::ostream& out) {
  out << "constant zeros : std_logic_vector(Y_I'length-1 downto 0) := (others => '0');\n"
         "constant ones  : std_logic_vector(Y_I'length-1 downto 0) := (others => '1');\n\n";
}

void WriteIoRegisters(std::ostream& out, bool speed) {
  out << "\n-- IOs registers\n"
         "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
         "     if (GLOBAL_RESET = '1') then\n"
         "        X_IN_reg        <= (others => '0');\n";
  if (!speed) {
    out << "        NEW_SAMPLE      <= '0';\n";
  }
  out << "        SATURATION_ERR  <= '0';\n"
         "        Y_OUT           <= conv_std_logic_vector(0, Y_OUT'length);\n"
         "     elsif rising_edge(GLOBAL_CLK) then\n"
         "        X_IN_reg        <= X_IN;\n";
  if (!speed) {
    out << "        if TAP_Counter = ShiftCount_c then\n"
           "            --update Y output\n"
           "            NEW_SAMPLE\t\t <= '1';\n";
  }
  out << "        if Y_I( Y_I'length-1 downto CoefScalingBitDrop_c + Y_OUT'length - 1) = "
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
         "         end if;\n";
  if (!speed) {
    out << "        else\n"
           "            NEW_SAMPLE\t\t <= '0';\n"
           "        end if;\n";
  }
  out << "    end if;\nend process;\n\n";
}

void WriteShiftRegisters(std::ostream& out, bool speed) {
  out << "-- right shift registers\n"
         "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
         "     if (GLOBAL_RESET = '1') then\n"
         "        for i in 0 to NTAP_g-1 loop\n"
         "            DELAY(i) <= (others => '0');\n"
         "        end loop;\n"
         "     elsif rising_edge(GLOBAL_CLK) then\n"
         "        for i in 1 to NTAP_g-1 loop\n"
         "            DELAY(i) <= DELAY(i-1);\n"
         "        end loop;\n";
  if (speed) {
    out << "        DELAY(0) <= X_IN_reg;\n";
  } else {
    out << "       if TAP_Counter = ShiftCount_c then\n"
           "           DELAY(0)    <= X_IN_reg;\n"
           "       else\n"
           "           DELAY(0)    <= DELAY(NTAP_g-1);\n"
           "       end if;\n\n";
  }
  out << "    end if;\nend process;\n\n";
}

void WriteFile(std::ostream& out, const FilterSpec& spec, const DisplayScale& scale,
               std::span<const double> denominator, std::span<const double> firTaps, int shift,
               bool speed, std::string_view comment) {
  const SpeedLevels levels = ComputeSpeedLevels(spec.taps);
  const auto taps = firTaps.first(static_cast<std::size_t>(spec.taps));

  WriteHeader(out, spec, scale, denominator, comment);
  WriteMultiplierEntity(out);
  if (speed) {
    WriteAdderEntities(out);
  }
  WriteFirEntity(out, spec, speed);
  WriteArchitectureHead(out, speed);
  Print(out, "constant CoefScalingBitDrop_c : integer := %d;\n\n", shift);
  if (speed) {
    WriteSpeedConstants(out, levels);
  }
  out << "type DELAYARRAY is array (0 to NTAP_g - 1) of std_logic_vector(X_IN'length-1 downto 0);\n"
         "signal DELAY    : DELAYARRAY;\n\n";
  if (speed) {
    WriteSpeedDeclarations(out, levels);
  } else {
    WriteSizeDeclarations(out);
  }
  out << "signal X_IN_reg : std_logic_vector(X_IN'length-1 downto 0);\n\n";
  WriteSaturationConstants(out);
  out << "begin\n\n"
         "assert Y_OUT'length = X_IN'length\n"
         "\treport \"fir: Y_OUT and X_IN must be the same length\" severity error;\n\n";
  if (speed) {
    WriteSpeedRomRows(out, spec.quantization, taps, levels.sizes[0]);
  } else {
    WriteSizeRomRows(out, spec.quantization, taps);
  }
  WriteIoRegisters(out, speed);
  if (!speed) {
    WriteSizeTapCounter(out);
  }
  WriteShiftRegisters(out, speed);
  if (speed) {
    WriteSpeedDatapath(out, levels);
  } else {
    WriteSizeDatapath(out);
  }
}

}  // namespace

OutputCode WriteVhdlCode(std::ostream& out, const Calculation& calculation,
                         HdlArchitecture architecture, std::string_view comment) {
  const FilterSpec& spec = calculation.spec;
  const std::span<const double> denominator = calculation.design.denominator;
  const std::span<const double> firTaps = calculation.design.firTaps;
  const int shift = calculation.design.shift;
  if (!InputsValid(spec, calculation.scale, denominator, firTaps, shift) ||
      !HdlDesignWritable(spec, architecture)) {
    return OutputCode::DesignMismatch;
  }
  WriteFile(out, spec, calculation.scale, denominator, firTaps, shift, IsSpeed(architecture),
            comment);
  return OutputCode::Ok;
}

}  // namespace qv
