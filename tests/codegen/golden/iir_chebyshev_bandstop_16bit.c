/**************************************************************
Quorvanel version 0.8
<web site>
<e-mail>

Filter type: Band Stop
Filter model: Chebyshev
Filter order: 2
Sampling Frequency: 1000 Hz
Fc1 and Fc2 Frequencies: 100.000000 Hz and 300.000000 Hz
Pass band Ripple: 1.000000 dB
Coefficents Quantization: 16-bit

Z domain Zeros
z = 0.381966 + j 0.924176
z = 0.381966 + j 0.924176
z = 0.381966 + j -0.924176
z = 0.381966 + j -0.924176

Z domain Poles
z = -0.171412 + j -0.700209
z = -0.171412 + j 0.700209
z = 0.643763 + j -0.495612
z = 0.643763 + j 0.495612
***************************************************************/
#if !defined(_MSC_VER)
#include <stdint.h>
typedef int16_t __int16;
typedef int32_t __int32;
typedef int64_t __int64;
#endif

#define NCoef 4
#define DCgain 1

__int16 iir(__int16 NewSample) {
    __int16 ACoef[NCoef+1] = {
         7439,
        -11367,
        19221,
        -11367,
         7439
    };

    __int16 BCoef[NCoef+1] = {
        16384,
        -15478,
        12097,
        -7255,
         5620
    };

    static __int32 y[NCoef+1]; //output samples
    //Warning!!!!!! This variable should be signed (input sample width + Coefs width + 4 )-bit width to avoid saturation.

    static __int16 x[NCoef+1]; //input samples
    int n;

    //shift the old samples
    for(n=NCoef; n>0; n--) {
       x[n] = x[n-1];
       y[n] = y[n-1];
    }

    //Calculate the new output
    x[0] = NewSample;
    y[0] = ACoef[0] * x[0];
    for(n=1; n<=NCoef; n++)
        y[0] += ACoef[n] * x[n] - BCoef[n] * y[n];

    y[0] /= BCoef[0];
    
    return y[0] / DCgain;
}
