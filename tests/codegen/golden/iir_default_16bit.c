/**************************************************************
Quorvanel version 0.8
<web site>
<e-mail>

Filter type: Low Pass
Filter model: Butterworth
Filter order: 2
Sampling Frequency: 1000 Hz
Cut Frequency: 100.000000 Hz
Coefficents Quantization: 16-bit

Z domain Zeros
z = -1.000000 + j 0.000000
z = -1.000000 + j 0.000000

Z domain Poles
z = 0.571472 + j -0.293599
z = 0.571472 + j 0.293599
***************************************************************/
#if !defined(_MSC_VER)
#include <stdint.h>
typedef int16_t __int16;
typedef int32_t __int32;
typedef int64_t __int64;
#endif

#define NCoef 2
#define DCgain 8

__int16 iir(__int16 NewSample) {
    __int16 ACoef[NCoef+1] = {
         8841,
        17682,
         8841
    };

    __int16 BCoef[NCoef+1] = {
        16384,
        -18726,
         6763
    };

    static __int32 y[NCoef+1]; //output samples
    //Warning!!!!!! This variable should be signed (input sample width + Coefs width + 2 )-bit width to avoid saturation.

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
