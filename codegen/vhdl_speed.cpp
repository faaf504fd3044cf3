// The speed architecture: the symmetric taps are folded (the two samples sharing a coefficient
// are added first), all products are formed at once and summed by a registered adder tree, so
// one output leaves every clock.
#include <cstdio>

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
void WriteLevel(std::FILE* file, const SpeedLevels& levels, int l) {
  const bool odd = Size(levels, l - 1) % 2 != 0;
  std::fprintf(file, "-- adder blocs level %d\n", l);
  std::fprintf(file, "AdderLevel%d_gen : for i in 0 to nCoef%d_c-%d generate\n", l, l, odd ? 2 : 1);
  std::fprintf(file, "    Ysum%d_inst : adder\n", l);
  std::fputs("    port map(\n", file);
  std::fputs(kClockAndReset, file);
  std::fprintf(file, "        A             => Ysum%d(2*i),\n", l - 1);
  std::fprintf(file, "        B             => Ysum%d(2*i+1),\n", l - 1);
  if (odd) {
    std::fprintf(file, "        Q         => Ysum%d(i)\n", l);
  } else {
    std::fprintf(file, "        Q\t\t       => Ysum%d(i)\n", l);
  }
  std::fputs("    );\n", file);
  std::fprintf(file, "end generate AdderLevel%d_gen;\n\n", l);
  if (!odd) {
    return;
  }
  std::fprintf(file, "Ysum%d_inst : dummyAdder\n", l);
  std::fputs("port map(\n", file);
  std::fputs(kClockAndResetOuter, file);
  std::fprintf(file, "    A             => Ysum%d(2*(nCoef%d_c-1)),\n", l - 1, l);
  std::fprintf(file, "    Q             => Ysum%d(nCoef%d_c-1)\n\n", l, l);
  std::fputs(");\n\n", file);
}

}  // namespace

void WriteSpeedConstants(std::FILE* file, const SpeedLevels& levels) {
  for (int k = 0; k < levels.count; ++k) {
    std::fprintf(file, "constant nCoef%d_c \t: integer := %d;\n", k, Size(levels, k));
  }
  std::fputs("\n", file);
}

void WriteSpeedDeclarations(std::FILE* file, const SpeedLevels& levels) {
  std::fputs(
      "type XSUMARRAY is array (0 to nCoef0_c-1) of std_logic_vector(X_IN'length downto 0);\n"
      "signal Xsum     : XSUMARRAY;\n\n"
      "type ROMARRAY is array (0 to nCoef0_c-1) of std_logic_vector(Coef_Width_g-1 downto 0);\n"
      "signal ROMDATA  : ROMARRAY;\n\n",
      file);
  for (int k = 0; k < levels.count; ++k) {
    std::fprintf(file,
                 "type YSUM%dARRAY is array (0 to nCoef%d_c-1) of std_logic_vector(X_IN'length + "
                 "Coef_Width_g + %d downto 0);\n",
                 k, k, k);
    std::fprintf(file, "signal Ysum%d    : YSUM%dARRAY;\n\n", k, k);
  }
  std::fprintf(file,
               "signal Y_I      : std_logic_vector(X_IN'length + Coef_Width_g + %d downto 0);\n\n",
               levels.Last() + 1);
}

void WriteSpeedDatapath(std::FILE* file, const SpeedLevels& levels) {
  std::fputs(
      "-- X values adder instantiation\n"
      "Xadder_gen : for i in 0 to nCoef0_c-2 generate\n"
      "    adder_inst : adder\n"
      "    port map(\n",
      file);
  std::fputs(kClockAndReset, file);
  std::fputs(
      "        A             => DELAY(i),\n"
      "        B             => DELAY(NTAP_g-1 - i),\n"
      "        Q             => Xsum(i)\n"
      "    );\n"
      "end generate Xadder_gen;\n\n"
      "SingleXin_inst : dummyAdder\n"
      "port map(\n",
      file);
  std::fputs(kClockAndResetOuter, file);
  std::fputs(
      "    A             => DELAY(nCoef0_c-1),\n"
      "    Q             => Xsum(nCoef0_c-1)\n"
      ");\n\n"
      "-- multiplier instantiation\n"
      "CoefMult_gen : for i in 0 to nCoef0_c-1 generate\n"
      "    mult_inst : multiplier\n"
      "    port map(\n",
      file);
  std::fputs(kClockAndReset, file);
  std::fputs(
      "        A             => ROMDATA(i),\n"
      "        B             => Xsum(i),\n"
      "        Q             => Ysum0(i)\n"
      "    );\n"
      "end generate CoefMult_gen;\n\n",
      file);
  int l = 1;
  while (Size(levels, l - 1) > 2) {
    WriteLevel(file, levels, l);
    ++l;
  }
  std::fprintf(file, "-- adder blocs %d level\n", l);
  std::fprintf(file, "Ysum%d_inst : adder\n", l);
  std::fputs("port map(\n", file);
  std::fputs(kClockAndResetOuter, file);
  std::fprintf(file, "    A             => Ysum%d(0),\n", l - 1);
  std::fprintf(file, "    B             => Ysum%d(1),\n", l - 1);
  std::fputs("    Q             => Y_I\n", file);
  std::fputs(");\t\n\n", file);
  std::fputs("end speed;\n", file);
}

}  // namespace qv
