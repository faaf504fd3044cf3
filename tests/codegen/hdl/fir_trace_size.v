// Trace bench of the generated module fir in its size architecture. It reads one input sample
// per line of stimulus.txt and presents each for one sample period (a new sample follows every
// NEW_SAMPLE pulse).
// On every falling clock edge after reset it writes Y_OUT (as a signed integer), SATURATION_ERR
// and NEW_SAMPLE (1 in every line for speed) as one line of trace.txt, before it presents the
// next sample. After the last sample it feeds FLUSH more zeros.
`timescale 1ns / 1ps

module fir_trace_size #(parameter W = 16, parameter FLUSH = 3);

reg clk = 1'b0;
reg reset = 1'b1;
reg [W-1:0] x_in = {W{1'b0}};
wire [W-1:0] y_out;
wire sat;
wire new_sample;
integer stimulus, trace, sample, trailing;

fir #(.W(W)) dut (
    .GLOBAL_CLK(clk),
    .GLOBAL_RESET(reset),
    .X_IN(x_in),
    .NEW_SAMPLE(new_sample),
    .SATURATION_ERR(sat),
    .Y_OUT(y_out)
);

always #5 clk = ~clk;

initial begin
    stimulus = $fopen("stimulus.txt", "r");
    trace = $fopen("trace.txt", "w");
    trailing = 0;
    #12 reset = 1'b0;
    forever begin
        @(negedge clk);
        $fwrite(trace, "%0d %0d %0d\n", $signed(y_out), sat, new_sample);
        if (new_sample) begin
            if ($fscanf(stimulus, "%d", sample) != 1) begin
                if (trailing == FLUSH) begin
                    $fclose(trace);
                    $finish;
                end
                trailing = trailing + 1;
                sample = 0;
            end
            x_in = sample[W-1:0];
        end
    end
end

endmodule
