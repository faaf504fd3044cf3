/**************************************************************
Quorvanel version 0.8
<web site>
<e-mail>

Filter type: Low Pass
Filter model: Rectangular Window
Sampling Frequency: 2 KHz
Cut Frequency: 0.500000 KHz
Coefficents Quantization: float
***************************************************************/
#define Ntap 5

float fir(float NewSample) {
    float FIRCoef[Ntap] = { 
        0.07949826373871698992,
        0.25344560030664259331,
        0.33411227190928083353,
        0.25344560030664259331,
        0.07949826373871698992
    };

    static float x[Ntap]; //input samples
    float y=0;            //output sample
    int n;

    //shift the old samples
    for(n=Ntap-1; n>0; n--)
       x[n] = x[n-1];

    //Calculate the new output
    x[0] = NewSample;
    for(n=0; n<Ntap; n++)
        y += FIRCoef[n] * x[n];
    
    return y;
}
