-- Trace bench of the generated entity fir in its speed architecture. It reads one input sample
-- per line of stimulus.txt and presents each for one sample period (this architecture takes one
-- sample every clock).
-- On every falling clock edge after reset it writes Y_OUT (as a signed integer), SATURATION_ERR
-- and NEW_SAMPLE (1 in every line for speed) as one line of trace.txt, before it presents the
-- next sample. After the last sample it feeds FLUSH more zeros.
library IEEE;
    use IEEE.std_logic_1164.all;
    use IEEE.std_logic_arith.all;
library STD;
    use STD.textio.all;

entity fir_trace_speed is
    generic (
        W     : integer := 16;
        FLUSH : integer := 3
    );
end fir_trace_speed;

architecture bench of fir_trace_speed is
    signal clk        : std_logic := '0';
    signal reset      : std_logic := '1';
    signal running    : boolean := true;
    signal x_in       : std_logic_vector(W-1 downto 0) := (others => '0');
    signal y_out      : std_logic_vector(W-1 downto 0);
    signal sat        : std_logic;
begin
    dut : entity work.fir(speed)
        port map (
            GLOBAL_CLK     => clk,
            GLOBAL_RESET   => reset,
            X_IN           => x_in,
            SATURATION_ERR => sat,
            Y_OUT          => y_out
        );

    clock : process
    begin
        while running loop
            clk <= '0';
            wait for 5 ns;
            clk <= '1';
            wait for 5 ns;
        end loop;
        wait;
    end process;

    drive : process
        file stimulus     : text open read_mode is "stimulus.txt";
        file trace        : text open write_mode is "trace.txt";
        variable lin      : line;
        variable lout     : line;
        variable sample   : integer;
        variable trailing : integer := 0;
    begin
        wait for 12 ns;
        reset <= '0';
        loop
            wait until falling_edge(clk);
            write(lout, conv_integer(signed(y_out)));
            if sat = '1' then
                write(lout, string'(" 1"));
            else
                write(lout, string'(" 0"));
            end if;
            write(lout, string'(" 1"));
            writeline(trace, lout);
            if endfile(stimulus) then
                exit when trailing = FLUSH;
                trailing := trailing + 1;
                sample := 0;
            else
                readline(stimulus, lin);
                read(lin, sample);
            end if;
            x_in <= conv_std_logic_vector(sample, W);
        end loop;
        running <= false;
        wait;
    end process;
end bench;
