#!/usr/bin/python3
"""Writes responses_golden.inc: the curves, ranges and units that ComputeResponses must give for a
few float designs, computed here independently (scipy filters, numpy's FFT and the display rules
written out anew). Run with Debian's python3 (numpy, scipy): /usr/bin/python3 make_responses_golden.py
"""
import math
import os

import numpy as np
from scipy import signal

POINTS = 256
SAMPLES = 512
FLOOR_DB = -300.0

# filterClass, bandType, model codes as in the FilterSpec.
IIR, FIR = 0, 1
LOW, HIGH, BANDPASS, BANDSTOP = 0, 1, 2, 3
BUTTERWORTH, CHEBYSHEV, RECTANGLE = 0, 1, 3


def iir_case(name, band, model, order, fs, column_step, ba):
    b, a = ba
    return dict(name=name, cls=IIR, band=band, model=model, order=order,
                effective=len(a) - 1, fs=fs, taps=31, column_step=column_step,
                b=list(b), a=list(a), h=[])


def fir_case(name, band, fs, taps):
    return dict(name=name, cls=FIR, band=band, model=RECTANGLE, order=2, effective=2, fs=fs,
                taps=len(taps), column_step=len(taps) / 256.0, b=[], a=[], h=list(taps))


CASES = [
    iir_case("DefaultButterworthLowPass", LOW, BUTTERWORTH, 2, 1000, 0.125,
             signal.butter(2, 100 / 500)),
    iir_case("ChebyshevBandPass", BANDPASS, CHEBYSHEV, 3, 1000, 0.25,
             signal.cheby1(3, 1.0, [100 / 500, 350 / 500], "bandpass")),
    iir_case("ButterworthHighPass", HIGH, BUTTERWORTH, 4, 48000, 0.25,
             signal.butter(4, 1000 / 24000, "highpass")),
    iir_case("ButterworthBandStop", BANDSTOP, BUTTERWORTH, 2, 1000, 2.0,
             signal.butter(2, [200 / 500, 300 / 500], "bandstop")),
    fir_case("PhaseRisingThroughPi", LOW, 1000, [-0.92, 0.06, -0.08]),
    fir_case("LinearPhase31", LOW, 1000, signal.firwin(31, 0.2)),
    fir_case("LinearPhase81", LOW, 1000, signal.firwin(81, 0.2)),
    fir_case("LinearPhase25HighPass", HIGH, 44100, signal.firwin(25, 0.5, pass_zero=False)),
]


def responses(case):
    delta = np.zeros(SAMPLES)
    delta[0] = 1.0
    ones = np.ones(SAMPLES)
    if case["cls"] == FIR:
        h = np.array(case["h"])
        impulse = np.convolve(delta, h)[:SAMPLES]
        step = np.convolve(ones, h)[:SAMPLES]
    else:
        impulse = signal.lfilter(case["b"], case["a"], delta)
        step = signal.lfilter(case["b"], case["a"], ones)
    impulse_peak = float(np.max(np.abs(impulse)))
    step_peak = float(np.max(np.abs(step)))
    f = np.float32(case["column_step"])
    m = [int(np.float32(k) * f) for k in range(POINTS)]

    spectrum = np.fft.fft(impulse) / SAMPLES
    magnitude = np.abs(spectrum[:POINTS])
    if case["band"] == LOW:
        reference = magnitude[0]
    elif case["band"] == HIGH:
        reference = magnitude[127]
    else:
        reference = max(1.7e-300, float(np.max(magnitude)))
    db = [max(FLOOR_DB, 20 * math.log10(v / reference)) if v > 0 else FLOOR_DB for v in magnitude]

    phase = [0.0] + [math.atan2(z.imag, z.real) for z in spectrum[1:POINTS]]
    if abs(phase[1] - phase[0]) > math.pi / 8:
        phase[0] = phase[1]

    w = (case["fs"] // 2) * math.pi / 128
    delay = [0.0] * POINTS
    for k in range(1, POINTS - 1):
        d = phase[k] - phase[k + 1]
        if abs(d) > 1.5 * math.pi:
            delay[k] = (d + 2 * math.pi if phase[k + 1] > 0 else d - 2 * math.pi) / w
        elif abs(d) > math.pi / 8:
            delay[k] = delay[k - 1]
        else:
            delay[k] = d / w
    delay[0] = delay[1]
    delay[POINTS - 1] = delay[POINTS - 2]
    computed = delay[1:POINTS - 1]
    low, high = min(computed), max(computed)
    largest = max(abs(low), abs(high))
    if largest >= 1:
        unit, factor = "s", 1.0
    elif largest >= 0.001:
        unit, factor = "ms", 1000.0
    elif largest >= 0.000001:
        unit, factor = "us", 1000000.0
    else:
        unit, factor = "ns", 1000000000.0
    band = float((np.float32(1.0) / np.float32(factor)) * np.float32(0.002))
    if band > high - low:
        high += band
        low -= band

    return dict(impulse_peak=impulse_peak, step_peak=step_peak,
                magnitude_min=min(0.0, min(db)), magnitude_max=max(db),
                delay_min=low, delay_max=high, unit=unit, factor=factor,
                magnitude=db, phase=phase, delay=delay,
                impulse=[impulse[i] / impulse_peak for i in m],
                step=[step[i] / step_peak for i in m])


def values(xs):
    return "{" + ", ".join(repr(float(x)) for x in xs) + "}"


def main():
    lines = ["// Made by make_responses_golden.py; do not edit."]
    for case in CASES:
        r = responses(case)
        lines.append("GoldenCase{")
        lines.append(f'  "{case["name"]}", {case["cls"]}, {case["band"]}, {case["model"]}, '
                     f'{case["order"]}, {case["effective"]}, {case["fs"]}, {case["taps"]}, '
                     f'{case["column_step"]!r}f,')
        lines.append(f'  {values(case["b"])}, {values(case["a"])}, {values(case["h"])},')
        lines.append(f'  {r["impulse_peak"]!r}, {r["step_peak"]!r}, {r["magnitude_min"]!r}, '
                     f'{r["magnitude_max"]!r}, {r["delay_min"]!r}, {r["delay_max"]!r}, '
                     f'"{r["unit"]}", {r["factor"]!r}f,')
        for key in ("magnitude", "phase", "delay", "impulse", "step"):
            lines.append(f"  {values(r[key])},")
        lines.append("},")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "responses_golden.inc")
    with open(path, "w") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
