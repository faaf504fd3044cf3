#!/usr/bin/python3
"""Measures what the graphs and messages of Quorvanel say against each design's own transfer
function, over random specifications of every model, band and quantisation:

- the poles shown rebuild the denominator within 1e-6 of its largest coefficient (numpy);
- no stable design is refused: a refusal as unstable is checked against the roots numpy finds
  for scipy's design of the same specification (quantised as Quorvanel quantises it);
- float IIR magnitude within 0.1 dB of scipy's freqz of the design's own coefficients wherever
  that lies above -80 dB, after the graph's reference gain;
- symmetric FIR group delay within 1 % of (N - 1)/2 samples wherever |H| > 0.1 of its peak.

Where freqz (double precision) and the curve disagree, the response is evaluated again at 40
digits (mpmath). Run with Debian's python3 (numpy, scipy, mpmath) after building quorvanel-cli:
    /usr/bin/python3 tests/engine/check_random_designs.py build/release/cli/quorvanel-cli [COUNT] [SEED]
It prints the figures and the specifications that fail, and exits with 1 when any does.
"""
import json
import math
import random
import subprocess
import sys

import mpmath
import numpy as np
from scipy import signal

BANDS = ["lowpass", "highpass", "bandpass", "bandstop"]
IIR_MODELS = ["butterworth", "chebyshev", "bessel"]
FIR_MODELS = IIR_MODELS + ["rectangle", "raised-cosine"]
QUANTS = ["float", "8", "16"]
SAMPLING = [1000, 2000, 8000, 44100, 48000]


def random_spec(rng):
    cls = rng.choice(["iir", "fir"])
    band = rng.choice(BANDS)
    model = rng.choice(IIR_MODELS if cls == "iir" else FIR_MODELS)
    fs = rng.choice(SAMPLING)
    band_design = band in ("bandpass", "bandstop")
    order = rng.randint(1, 9 if band_design else 19)
    fc1 = rng.randint(1, fs // 2 - 2)
    fc2 = rng.randint(fc1 + 1, fs // 2 - 1) if band_design else fc1
    spec = dict(cls=cls, band=band, model=model, fs=fs, fc1=fc1, fc2=fc2, order=order,
                ripple=round(rng.uniform(0.1, 3.0), 2), taps=rng.randint(3, 511),
                rolloff=round(rng.uniform(0.05, 1.0), 2), quant=rng.choice(QUANTS))
    return spec


def arguments(spec):
    return ["--class", spec["cls"], "--band", spec["band"], "--model", spec["model"],
            "--fs", str(spec["fs"]), "--fc1", str(spec["fc1"]), "--fc2", str(spec["fc2"]),
            "--order", str(spec["order"]), "--ripple", str(spec["ripple"]),
            "--taps", str(spec["taps"]), "--rolloff", str(spec["rolloff"]),
            "--quant", spec["quant"], "--json"]


def scipy_design(spec):
    wn = [spec["fc1"], spec["fc2"]] if spec["band"] in ("bandpass", "bandstop") else spec["fc1"]
    kw = dict(btype=spec["band"], fs=spec["fs"])
    if spec["model"] == "butterworth":
        return signal.butter(spec["order"], wn, **kw)
    if spec["model"] == "chebyshev":
        return signal.cheby1(spec["order"], spec["ripple"], wn, **kw)
    return signal.bessel(spec["order"], wn, norm="phase", **kw)


def quantised_denominator(spec, a):
    """The denominator as Quorvanel's quantisation would hold it: trunc(a 2^e) with
    e = trunc(log2(F / M)), one bit less when the largest value would reach F. The numerator,
    being divided by the gain, is assumed smaller than the denominator's largest value."""
    full = 128 if spec["quant"] == "8" else 32768
    largest = max(abs(v) for v in a)
    e = int(math.log10(full / largest) / math.log10(2))
    if largest * 2 ** e >= full:
        e -= 1
    return np.trunc(np.asarray(a) * 2.0 ** e)


def reference_index(band, magnitude):
    if band == 0:
        return magnitude[0]
    if band == 1:
        return magnitude[127]
    return max(magnitude)


def exact_db(design, m, band):
    mpmath.mp.dps = 40
    b = [mpmath.mpf(v) for v in design["numerator"][: m + 1]]
    a = [mpmath.mpf(v) for v in design["denominator"][: m + 1]]
    magnitude = []
    for k in range(256):
        z = mpmath.exp(-2j * mpmath.pi * k / 512)
        magnitude.append(float(abs(mpmath.polyval(b[::-1], z) / mpmath.polyval(a[::-1], z))))
    reference = reference_index(band, magnitude)
    if not reference > 0:
        reference = max(magnitude)
    return 20 * np.log10(np.maximum(np.asarray(magnitude), 1e-300) / reference)


def check(spec, run, figures, failures):
    if run.returncode != 0:
        text = run.stderr.strip().splitlines()[0] if run.stderr.strip() else "?"
        figures["refused"] += 1
        if "did not find the roots" in text:
            figures["roots not found"] += 1
            failures.append(("roots not found", spec))
        if "not stable" in text and spec["model"] in IIR_MODELS:
            b, a = scipy_design(spec)
            a = np.asarray(a) / a[0]
            if spec["quant"] != "float":
                a = quantised_denominator(spec, a)
            if np.max(np.abs(np.roots(a))) < 1.0 - 1e-9:
                figures["stable refused"] += 1
                failures.append(("stable design refused", spec))
        return
    d = json.loads(run.stdout)
    figures["calculated"] += 1
    design, responses, s = d["design"], d["responses"], d["spec"]
    iir_model = spec["model"] in IIR_MODELS
    if iir_model:
        m = s["effectiveOrder"]
        a = np.asarray(design["denominator"][: m + 1])
        poles = [complex(p[0], p[1]) for p in responses["poles"][:m]]
        rebuilt = np.real_if_close(np.poly(poles), tol=1e9) if m else np.array([1.0])
        deviation = np.max(np.abs(np.asarray(rebuilt) - a / a[0]))
        figures["pole sets"] += 1
        if deviation > 1e-6 * np.max(np.abs(a / a[0])):
            figures["poles not rebuilding"] += 1
            failures.append((f"poles off by {deviation:.3g}", spec))
    w = 2 * np.pi * np.arange(256) / 512
    if spec["cls"] == "iir" and spec["quant"] == "float":
        m = s["effectiveOrder"]
        _, h = signal.freqz(design["numerator"][: m + 1], design["denominator"][: m + 1], worN=w)
        magnitude = np.abs(h)
        reference = reference_index(s["bandType"], magnitude)
        if not reference > 0:
            reference = max(magnitude)
        true_db = 20 * np.log10(np.maximum(magnitude, 1e-300) / reference)
        shown = np.asarray(responses["magnitudeDb"])
        above = true_db > -80
        error = np.max(np.abs(shown[above] - true_db[above])) if above.any() else 0.0
        if error > 0.1:
            # freqz evaluates in double precision, which near a cluster of poles loses the
            # digits that decide; the coefficients' response at 40 digits settles it.
            true_db = exact_db(design, m, s["bandType"])
            # freqz's deep stop band may be rounding noise above -80 dB: the mask follows too.
            above = true_db > -80
            error = np.max(np.abs(shown[above] - true_db[above])) if above.any() else 0.0
        figures["float IIR curves"] += 1
        if error > 0.1:
            figures["float IIR off by 0.1 dB"] += 1
            failures.append((f"magnitude off by {error:.3g} dB", spec))
    if spec["cls"] == "fir":
        taps = np.asarray(design["firTaps"][: s["taps"]])
        if np.array_equal(taps, taps[::-1]) and np.any(taps):
            _, h = signal.freqz(taps, [1.0], worN=w)
            magnitude = np.abs(h)
            delay = np.asarray(responses["groupDelay"]) * s["fsample"]
            expected = (len(taps) - 1) / 2
            points = [k for k in range(1, 255) if magnitude[k] > 0.1 * max(magnitude)]
            figures["symmetric FIR curves"] += 1
            worst = max((abs(delay[k] - expected) for k in points), default=0.0)
            if expected > 0 and worst > 0.01 * expected or expected == 0 and worst > 1e-9:
                figures["FIR delay off by 1 %"] += 1
                failures.append((f"delay off by {worst:.3g} samples of {expected}", spec))


def main():
    cli = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 27)
    figures = dict.fromkeys(["calculated", "refused", "roots not found", "stable refused",
                             "pole sets", "poles not rebuilding", "float IIR curves",
                             "float IIR off by 0.1 dB", "symmetric FIR curves",
                             "FIR delay off by 1 %"], 0)
    failures = []
    for _ in range(count):
        spec = random_spec(rng)
        run = subprocess.run([cli] + arguments(spec), capture_output=True, text=True)
        check(spec, run, figures, failures)
    for name, value in figures.items():
        print(f"{name}: {value}")
    for what, spec in failures:
        print(what, " ".join(arguments(spec)[:-1]))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
