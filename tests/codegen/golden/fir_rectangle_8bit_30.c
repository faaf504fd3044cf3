/**************************************************************
Quorvanel version 0.8
<web site>
<e-mail>

Filter type: Low Pass
Filter model: Rectangular Window
Sampling Frequency: 1000 Hz
Cut Frequency: 100.000000 Hz
Coefficents Quantization: 8-bit
***************************************************************/
#if !defined(_MSC_VER)
#include <stdint.h>
typedef int8_t __int8;
typedef int16_t __int16;
typedef int32_t __int32;
#endif

#define Ntap 30

#define DCgain 512

__int8 fir(__int8 NewSample) {
    __int8 FIRCoef[Ntap] = { 
            6,
           11,
           11,
            7,
            0,
          -10,
          -18,
          -20,
          -14,
            0,
           22,
           48,
           72,
           89,
           95,
           89,
           72,
           48,
           22,
            0,
          -14,
          -20,
          -18,
          -10,
            0,
            7,
           11,
           11,
            6,
            0
    };

    static __int8 x[Ntap]; //input samples
    __int32 y=0;            //output sample
    int n;

    //shift the old samples
    for(n=Ntap-1; n>0; n--)
       x[n] = x[n-1];

    //Calculate the new output
    x[0] = NewSample;
    for(n=0; n<Ntap; n++)
        y += FIRCoef[n] * x[n];
    
    return y / DCgain;
}
