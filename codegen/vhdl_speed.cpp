// The speed architecture: the symmetric taps are folded (the two samples sharing a coefficient
// are added first), all products are formed at once and summed by a registered adder tree, so
// one output leaves every clock.
#include <ostream>

#include "codegen/formatted_output.h"
#include "codegen/vhdl_sections.h"

namespace qv {
namespace {

constexpr const char* kClockAndReset =
    "        GLOBAL_CLK    => GLOBAL_CLK,\n"
    "        GLOBAL_RESET  => GLOBAL_RESET,\n";
constexpr const char* kClockAndResetOuter =
    "    GLOBAL_CLK    => GLOBAL_CLK,\n"
    "    GLOBAL_RESET  => GLOBAL_RESET,\n";

int Size(const SpeedLevels& levels, int k) { return levels.sizes[static_cast<std::size_t>(k)]; }

// Level l adds the operands of level l-1 in pairs; an odd count leaves one operand, which a
// dummyAdder register delays by the same clock.
void WriteLevel(std::ostream& out, const SpeedLevels& levels, int l) {
  const bool odd = Size(levels, l - 1) % 2 != 0;
  Print(out, "-- adder blocs level %d\n", l);
  Print(out, "AdderLevel%d_gen : for i in 0 to nCoef%d_c-%d generate\n", l, l, odd ? 2 : 1);
  Print(out, "    Ysum%d_inst : adder\n", l);
  out << "    port map(\n";
  out << kClockAndReset;
  Print(out, "        A             => Ysum%d(2*i),\n", l - 1);
  Print(out, "        B             => Ysum%d(2*i+1),\n", l - 1);
  if (odd) {
    Print(out, "        Q         => Ysum%d(i)\n", l);
  } else {
    Print(out, "        Q\t\t       => Ysum%d(i)\n", l);
  }
  out << "    );\n";
  Print(out, "end generate AdderLevel%d_gen;\n\n", l);
  if (!odd) {
    return;
  }
  Print(out, "Ysum%d_inst : dummyAdder\n", l);
  out << "port map(\n";
  out << kClockAndResetOuter;
  Print(out, "    A             => Ysum%d(2*(nCoef%d_c-1)),\n", l - 1, l);
  Print(out, "    Q             => Ysum%d(nCoef%d_c-1)\n\n", l, l);
  out << ");\n\n";
}

}  // namespace

void WriteSpeedConstants(std::ostream& out, const SpeedLevels& levels) {
  for (int k = 0; k < levels.count; ++k) {
    Print(out, "constant nCoef%d_c \t: integer := %d;\n", k, Size(levels, k));
  }
  out << "\n";
}

void WriteSpeedDeclarations(std::ostream& out, const SpeedLevels& levels) {
  out << "type XSUMARRAY is array (0 to nCoef0_c-1) of std_logic_vector(X_IN'length downto 0);\n"
         "signal Xsum     : XSUMARRAY;\n\n"
         "type ROMARRAY is array (0 to nCoef0_c-1) of std_logic_vector(Coef_Width_g-1 downto 0);\n"
         "signal ROMDATA  : ROMARRAY;\n\n";
  for (int k = 0; k < levels.count; ++k) {
    Print(out,
          "type YSUM%dARRAY is array (0 to nCoef%d_c-1) of std_logic_vector(X_IN'length + "
          "Coef_Width_g + %d downto 0);\n",
          k, k, k);
    Print(out, "signal Ysum%d    : YSUM%dARRAY;\n\n", k, k);
  }
  Print(out, "signal Y_I      : std_logic_vector(X_IN'length + Coef_Width_g + %d downto 0);\n\n",
        levels.Last() + 1);
}

void WriteSpeedDatapath(std::ostream& out, const SpeedLevels& levels) {
  out << "-- X values adder instantiation\n"
         "Xadder_gen : for i in 0 to nCoef0_c-2 generate\n"
         "    adder_inst : adder\n"
         "    port map(\n";
  out << kClockAndReset;
  out << "        A             => DELAY(i),\n"
         "        B             => DELAY(NTAP_g-1 - i),\n"
         "        Q             => Xsum(i)\n"
         "    );\n"
         "end generate Xadder_gen;\n\n"
         "SingleXin_inst : dummyAdder\n"
         "port map(\n";
  out << kClockAndResetOuter;
  out << "    A             => DELAY(nCoef0_c-1),\n"
         "    Q             => Xsum(nCoef0_c-1)\n"
         ");\n\n"
         "-- multiplier instantiation\n"
         "CoefMult_gen : for i in 0 to nCoef0_c-1 generate\n"
         "    mult_inst : multiplier\n"
         "    port map(\n";
  out << kClockAndReset;
  out << "        A             => ROMDATA(i),\n"
         "        B             => Xsum(i),\n"
         "        Q             => Ysum0(i)\n"
         "    );\n"
         "end generate CoefMult_gen;\n\n";
  int l = 1;
  while (Size(levels, l - 1) > 2) {
    WriteLevel(out, levels, l);
    ++l;
  }
  Print(out, "-- adder blocs %d level\n", l);
  Print(out, "Ysum%d_inst : adder\n", l);
  out << "port map(\n";
  out << kClockAndResetOuter;
  Print(out, "    A             => Ysum%d(0),\n", l - 1);
  Print(out, "    B             => Ysum%d(1),\n", l - 1);
  out << "    Q             => Y_I\n";
  out << ");\t\n\n";
  out << "end speed;\n";
}

}  // namespace qv
