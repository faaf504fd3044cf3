----------------------------------------------------------------
-- Quorvanel version 0.8
-- <web site>
-- <e-mail>
--
-- FIR 31 Taps
-- Coefficents Quantization: 16-bit
-- Filter type: Low Pass
-- Filter model: Raised Cosine
-- Roll Off Factor: 0.500000
-- Sampling Frequency: 1000 Hz
-- Cut Frequency: 100.000000 Hz
--
-- Signal Resolution: 16-bit
-- Coefficients Quantization: 16-bit
-- 16 multiplier(s)
-- 1817 FFs for the filter*
-- 256 FFs for the coefficients*
-- 8 clks output latency
-- 1000 Hz for Fclk
-- 1000 Hz for Fsampling
-- * May change with synthezis optimization
------------------------------------------------------------------------------------------------------------------------

------------------------------------------------------------------------------------------------------------------------
--  Component multiplier
--  signed multiplier
------------------------------------------------------------------------------------------------------------------------

library IEEE;
    use IEEE.std_logic_1164.all;
    use IEEE.std_logic_arith.all;

entity multiplier is
    Port (
        GLOBAL_CLK     : in std_logic;
        GLOBAL_RESET   : in std_logic;
        A              : in std_logic_vector;
        B              : in std_logic_vector;
        Q              : out std_logic_vector
    );
end multiplier;

architecture rtl of multiplier is

signal A_tmp : signed( A'length-1 downto 0 );
signal B_tmp : signed( B'length-1 downto 0 );
signal prod_tmp : signed( Q'length-1 downto 0 );

begin

assert Q'length = (A'length + B'length)
    report "multiplier: Q length must equal A + B length" severity error;

-- A to signed value conversion
A_pro : process(A)
begin
    for i in A'length-1 downto 0 loop
        A_tmp(i) <= A(i);
    end loop;
end process A_pro;

-- B to signed value conversion
B_pro : process( B )
begin

    for i in B'length-1 downto 0 loop
        B_tmp(i) <= B(i);
    end loop;
end process B_pro;

-- multiplication
prod_tmp <= A_tmp * B_tmp;

-- Registered output
prod_pro : process(GLOBAL_CLK, GLOBAL_RESET) begin
    if (GLOBAL_RESET = '1') then
       for i in Q'length-1 downto 0 loop
           Q(i) <= '0';
       end loop;
    elsif rising_edge(GLOBAL_CLK) then
       for i in Q'length-1 downto 0 loop
           Q(i) <= prod_tmp(i);
       end loop;
    end if;
end process prod_pro;

end rtl;

------------------------------------------------------------------------------------------------------------------------
--  Component adder
--  signed addition
------------------------------------------------------------------------------------------------------------------------

library IEEE;
    use IEEE.std_logic_1164.all;
    use IEEE.std_logic_arith.all;
    use IEEE.std_logic_unsigned.all;

entity adder is
    Port (
        GLOBAL_CLK     : in std_logic;
        GLOBAL_RESET   : in std_logic;
        A              : in std_logic_vector;
        B              : in std_logic_vector;
        Q              : out std_logic_vector
    );
end adder;

architecture rtl of adder is

begin

assert A'length = B'length
	report "adder: A and B must be the same length" severity error;
assert A'length = Q'length-1
	report "adder: Q length must be the 1 bit wider than A or B" severity error;

-- Registered output
process(GLOBAL_CLK, GLOBAL_RESET) begin
 	if (GLOBAL_RESET = '1') then
		Q <= conv_std_logic_vector(0, Q'length);
 	elsif rising_edge(GLOBAL_CLK) then
		Q <= (A(A'length-1) & A) + (B(A'length-1) & B);
	end if;
end process;

end rtl;

------------------------------------------------------------------------------------------------------------------------
--  Component dummyAdder
--  a simple register
------------------------------------------------------------------------------------------------------------------------

library IEEE;
    use IEEE.std_logic_1164.all;
    use IEEE.std_logic_arith.all;

entity dummyAdder is
    Port (
        GLOBAL_CLK     : in std_logic;
        GLOBAL_RESET   : in std_logic;
        A              : in std_logic_vector;
        Q              : out std_logic_vector
    );
end dummyAdder;

architecture rtl of dummyAdder is

begin

assert A'length = Q'length-1
	report "adder: Q length must be the 1 bit wider than A or B" severity error;

-- Registered output
process(GLOBAL_CLK, GLOBAL_RESET) begin
 	if (GLOBAL_RESET = '1') then
		Q <= conv_std_logic_vector(0, Q'length);
 	elsif rising_edge(GLOBAL_CLK) then
		Q <= (A(A'length-1) & A);
	end if;
end process;

end rtl;

------------------------------------------------------------------------------------------------------------------------
--  Component fir
--  Filter Top Level
------------------------------------------------------------------------------------------------------------------------

library IEEE;
    use IEEE.std_logic_1164.all;
    use IEEE.std_logic_arith.all;
    use IEEE.std_logic_unsigned.all;

entity fir is
    generic (
       Coef_Width_g    : integer := 16;
       NTAP_g          : integer := 31
    );
    port (
       GLOBAL_CLK      : in std_logic;
       GLOBAL_RESET    : in std_logic;
       X_IN            : in std_logic_vector;
       SATURATION_ERR  : out std_logic;
       Y_OUT           : out std_logic_vector
	);
end fir;

architecture speed of fir is

component adder is
    Port (
        GLOBAL_CLK     : in std_logic;
        GLOBAL_RESET   : in std_logic;
        A              : in std_logic_vector;
        B              : in std_logic_vector;
        Q              : out std_logic_vector
    );
end component;

component dummyAdder is
    Port (
        GLOBAL_CLK     : in std_logic;
        GLOBAL_RESET   : in std_logic;
        A              : in std_logic_vector;
        Q              : out std_logic_vector
    );
end component;

component multiplier is
    Port (
        GLOBAL_CLK     : in std_logic;
        GLOBAL_RESET   : in std_logic;
        A              : in std_logic_vector;
        B              : in std_logic_vector;
        Q              : out std_logic_vector
    );
end component;

constant CoefScalingBitDrop_c : integer := 17;

constant nCoef0_c 	: integer := 16;
constant nCoef1_c 	: integer := 8;
constant nCoef2_c 	: integer := 4;
constant nCoef3_c 	: integer := 2;

type DELAYARRAY is array (0 to NTAP_g - 1) of std_logic_vector(X_IN'length-1 downto 0);
signal DELAY    : DELAYARRAY;

type XSUMARRAY is array (0 to nCoef0_c-1) of std_logic_vector(X_IN'length downto 0);
signal Xsum     : XSUMARRAY;

type ROMARRAY is array (0 to nCoef0_c-1) of std_logic_vector(Coef_Width_g-1 downto 0);
signal ROMDATA  : ROMARRAY;

type YSUM0ARRAY is array (0 to nCoef0_c-1) of std_logic_vector(X_IN'length + Coef_Width_g + 0 downto 0);
signal Ysum0    : YSUM0ARRAY;

type YSUM1ARRAY is array (0 to nCoef1_c-1) of std_logic_vector(X_IN'length + Coef_Width_g + 1 downto 0);
signal Ysum1    : YSUM1ARRAY;

type YSUM2ARRAY is array (0 to nCoef2_c-1) of std_logic_vector(X_IN'length + Coef_Width_g + 2 downto 0);
signal Ysum2    : YSUM2ARRAY;

type YSUM3ARRAY is array (0 to nCoef3_c-1) of std_logic_vector(X_IN'length + Coef_Width_g + 3 downto 0);
signal Ysum3    : YSUM3ARRAY;

signal Y_I      : std_logic_vector(X_IN'length + Coef_Width_g + 4 downto 0);

signal X_IN_reg : std_logic_vector(X_IN'length-1 downto 0);

constant zeros : std_logic_vector(Y_I'length-1 downto 0) := (others => '0');
constant ones  : std_logic_vector(Y_I'length-1 downto 0) := (others => '1');

begin

assert Y_OUT'length = X_IN'length
	report "fir: Y_OUT and X_IN must be the same length" severity error;

ROMDATA(0) <= x"0000";
ROMDATA(1) <= x"0045";
ROMDATA(2) <= x"012e";
ROMDATA(3) <= x"023d";
ROMDATA(4) <= x"025a";
ROMDATA(5) <= x"0055";
ROMDATA(6) <= x"fbd4";
ROMDATA(7) <= x"f61d";
ROMDATA(8) <= x"f23f";
ROMDATA(9) <= x"f435";
ROMDATA(10) <= x"ff37";
ROMDATA(11) <= x"13e5";
ROMDATA(12) <= x"2f43";
ROMDATA(13) <= x"4b1a";
ROMDATA(14) <= x"5fed";
ROMDATA(15) <= x"67a5";

-- IOs registers
process(GLOBAL_CLK, GLOBAL_RESET) begin
     if (GLOBAL_RESET = '1') then
        X_IN_reg        <= (others => '0');
        SATURATION_ERR  <= '0';
        Y_OUT           <= conv_std_logic_vector(0, Y_OUT'length);
     elsif rising_edge(GLOBAL_CLK) then
        X_IN_reg        <= X_IN;
        if Y_I( Y_I'length-1 downto CoefScalingBitDrop_c + Y_OUT'length - 1) = zeros(Y_I'length-1 - (CoefScalingBitDrop_c + Y_OUT'length - 1) downto 0)
        or Y_I( Y_I'length-1 downto CoefScalingBitDrop_c + Y_OUT'length - 1) =  ones(Y_I'length-1 - (CoefScalingBitDrop_c + Y_OUT'length - 1) downto 0) then
             SATURATION_ERR     <= '0';
             Y_OUT              <= Y_I(CoefScalingBitDrop_c + Y_OUT'length-1 downto CoefScalingBitDrop_c);
        else
            SATURATION_ERR     <= '1';
            if Y_I(Y_I'length-1) = '0' then
                --positive saturation
                Y_OUT    <= '0' & ones(Y_OUT'length-2 downto 0);
            else
                --negative saturation
                Y_OUT    <= '1' & zeros(Y_OUT'length-2 downto 0);
            end if;
         end if;
    end if;
end process;

-- right shift registers
process(GLOBAL_CLK, GLOBAL_RESET) begin
     if (GLOBAL_RESET = '1') then
        for i in 0 to NTAP_g-1 loop
            DELAY(i) <= (others => '0');
        end loop;
     elsif rising_edge(GLOBAL_CLK) then
        for i in 1 to NTAP_g-1 loop
            DELAY(i) <= DELAY(i-1);
        end loop;
        DELAY(0) <= X_IN_reg;
    end if;
end process;

-- X values adder instantiation
Xadder_gen : for i in 0 to nCoef0_c-2 generate
    adder_inst : adder
    port map(
        GLOBAL_CLK    => GLOBAL_CLK,
        GLOBAL_RESET  => GLOBAL_RESET,
        A             => DELAY(i),
        B             => DELAY(NTAP_g-1 - i),
        Q             => Xsum(i)
    );
end generate Xadder_gen;

SingleXin_inst : dummyAdder
port map(
    GLOBAL_CLK    => GLOBAL_CLK,
    GLOBAL_RESET  => GLOBAL_RESET,
    A             => DELAY(nCoef0_c-1),
    Q             => Xsum(nCoef0_c-1)
);

-- multiplier instantiation
CoefMult_gen : for i in 0 to nCoef0_c-1 generate
    mult_inst : multiplier
    port map(
        GLOBAL_CLK    => GLOBAL_CLK,
        GLOBAL_RESET  => GLOBAL_RESET,
        A             => ROMDATA(i),
        B             => Xsum(i),
        Q             => Ysum0(i)
    );
end generate CoefMult_gen;

-- adder blocs level 1
AdderLevel1_gen : for i in 0 to nCoef1_c-1 generate
    Ysum1_inst : adder
    port map(
        GLOBAL_CLK    => GLOBAL_CLK,
        GLOBAL_RESET  => GLOBAL_RESET,
        A             => Ysum0(2*i),
        B             => Ysum0(2*i+1),
        Q		       => Ysum1(i)
    );
end generate AdderLevel1_gen;

-- adder blocs level 2
AdderLevel2_gen : for i in 0 to nCoef2_c-1 generate
    Ysum2_inst : adder
    port map(
        GLOBAL_CLK    => GLOBAL_CLK,
        GLOBAL_RESET  => GLOBAL_RESET,
        A             => Ysum1(2*i),
        B             => Ysum1(2*i+1),
        Q		       => Ysum2(i)
    );
end generate AdderLevel2_gen;

-- adder blocs level 3
AdderLevel3_gen : for i in 0 to nCoef3_c-1 generate
    Ysum3_inst : adder
    port map(
        GLOBAL_CLK    => GLOBAL_CLK,
        GLOBAL_RESET  => GLOBAL_RESET,
        A             => Ysum2(2*i),
        B             => Ysum2(2*i+1),
        Q		       => Ysum3(i)
    );
end generate AdderLevel3_gen;

-- adder blocs 4 level
Ysum4_inst : adder
port map(
    GLOBAL_CLK    => GLOBAL_CLK,
    GLOBAL_RESET  => GLOBAL_RESET,
    A             => Ysum3(0),
    B             => Ysum3(1),
    Q             => Y_I
);	

end speed;
