/**************************************************************
Quorvanel version 0.8
<web site>
<e-mail>

Filter type: High Pass
Filter model: Bessel
Filter order: 3
Sampling Frequency: 1000 Hz
Cut Frequency: 100.000000 Hz
Coefficents Quantization: 8-bit

Z domain Zeros
z = 1.000000 + j 0.000000
z = 1.000000 + j 0.000000
z = 1.000000 + j 0.000000

Z domain Poles
z = 0.389365 + j -0.000000
z = 0.625630 + j -0.300234
z = 0.625630 + j 0.300234
***************************************************************/
#if !defined(_MSC_VER)
#include <stdint.h>
typedef int8_t __int8;
typedef int16_t __int16;
typedef int32_t __int32;
#endif

#define NCoef 3
#define DCgain 1

__int8 iir(__int8 NewSample) {
    __int8 ACoef[NCoef+1] = {
           30,
          -91,
           91,
          -30
    };

    __int8 BCoef[NCoef+1] = {
           64,
         -105,
           62,
          -12
    };

    static __int16 y[NCoef+1]; //output samples
    //Warning!!!!!! This variable should be signed (input sample width + Coefs width + 3 )-bit width to avoid saturation.

    static __int8 x[NCoef+1]; //input samples
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
