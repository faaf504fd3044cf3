// The size architecture: one multiplier and one accumulator serve all taps; a counter walks
// the ROM while the delay line rotates, so one output takes NTAP_g + 1 clocks.
#include <ostream>

#include "codegen/vhdl_sections.h"

namespace qv {

void WriteSizeDeclarations(std::ostream& out) {
  out << "type ROMARRAY is array (0 to NTAP_g) of std_logic_vector(Coef_Width_g-1 downto 0);\n"
         "signal ROMDATA : ROMARRAY;\n"
         "signal ROMARRAY_Mux : std_logic_vector(Coef_Width_g-1 downto 0);\n\n"
         "signal PROD_i : std_logic_vector(X_IN'length+Coef_Width_g-1 downto 0);\n"
         "signal PROD, Y_I : std_logic_vector(X_IN'length+Coef_Width_g+NTAP_g-1 - 1 downto 0);\n"
         "signal TAP_Counter : integer range 0 to NTAP_g;\n"
         "constant ShiftCount_c : integer := 1;\n\n";
}

void WriteSizeTapCounter(std::ostream& out) {
  out << "-- TAP_Counter process\n"
         "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
         "   if (GLOBAL_RESET = '1') then\n"
         "       ROMARRAY_Mux <= (others => '0');\n"
         "       TAP_Counter\t<= 0;\n"
         "   elsif rising_edge(GLOBAL_CLK) then\n"
         "       ROMARRAY_Mux <= ROMDATA(TAP_Counter);\n"
         "       if TAP_Counter\t= NTAP_g then\n"
         "           TAP_Counter <= 0;\n"
         "       else\n"
         "           TAP_Counter <= \tTAP_Counter + 1;\n"
         "       end if;\n"
         "    end if;\n"
         "end process;\n\n";
}

void WriteSizeDatapath(std::ostream& out) {
  out << "-- multiplier instantiation\n"
         "mult_inst : multiplier\n"
         "port map(\n"
         "\tGLOBAL_CLK\t=> GLOBAL_CLK,\n"
         "\tGLOBAL_RESET=> GLOBAL_RESET,\n"
         "\tA \t\t\t=> ROMARRAY_Mux,\n"
         "\tB \t\t\t=> DELAY(NTAP_g-2),\n"
         "\tQ\t\t\t=> PROD_i\n"
         ");\n\n"
         "--sign extension\n"
         "sign_ext_p : process(PROD_i) begin\n"
         "\tfor i in 0 to PROD_i'length-1 loop\n"
         "\t\tPROD(i) <= PROD_i(i);\n"
         "\tend loop;\n"
         "\tfor i in PROD_i'length to PROD'length-1 loop\n"
         "\t\tPROD(i) <= PROD_i(PROD_i'length-1);\n"
         "\tend loop;\n"
         "end process sign_ext_p;\n\n"
         "-- summation\n"
         "process(GLOBAL_CLK, GLOBAL_RESET) begin\n"
         "   if (GLOBAL_RESET = '1') then\n"
         "       Y_I             <= (others => '0');\n"
         "   elsif rising_edge(GLOBAL_CLK) then\n"
         "       if TAP_Counter\t= ShiftCount_c then\n"
         "           Y_I             <= (others => '0');\n"
         "       else\n"
         "           Y_I             <=   (Y_I(Y_I'length-1) & Y_I(Y_I'length-2 downto 0) )\n"
         "                            + (PROD(PROD'length-1) & PROD(PROD'length-2 downto 0) );\n"
         "       end if;\n"
         "   end if;\n"
         "end process;\n\n"
         "end size;\n";
}

}  // namespace qv
