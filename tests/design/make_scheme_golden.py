#!/usr/bin/python3
"""Writes scheme_golden.inc: random tolerance schemes of every band type with the minimum orders
that scipy's buttord, cheb1ord, cheb2ord and ellipord give them, Kaiser lengths and betas from
kaiserord, and equiripple taps from remez. Run with Debian's python3 (numpy, scipy):
/usr/bin/python3 make_scheme_golden.py [schemes per band]
"""
import math
import os
import sys
import warnings

import numpy as np
from scipy import signal

LOW, HIGH, BANDPASS, BANDSTOP = 0, 1, 2, 3
RATES = [1000, 8000, 44100, 48000, 96000]


def random_scheme(rng, band):
    """(fs, Rp, As, (pass edges, stop edges)) of a random scheme of `band`; the second edge of
    each pair is 0 for low and high pass."""
    fs = float(rng.choice(RATES))
    nyq = fs / 2
    rp = round(float(rng.uniform(0.1, 3.0)), 3)
    att = round(float(rng.uniform(max(20.0, rp + 10), 100.0)), 2)
    if band in (LOW, HIGH):
        a, b = sorted(rng.uniform(0.02, 0.98, 2) * nyq)
        if b - a < 0.01 * nyq:
            b = a + 0.01 * nyq
        a, b = round(a, 2), round(b, 2)
        return fs, rp, att, ((a, 0.0), (b, 0.0)) if band == LOW else ((b, 0.0), (a, 0.0))
    e = sorted(rng.uniform(0.02, 0.98, 4) * nyq)
    for i in range(1, 4):
        e[i] = max(e[i], e[i - 1] + 0.005 * nyq)
    e = [round(x, 2) for x in e]
    if band == BANDPASS:
        return fs, rp, att, ((e[1], e[2]), (e[0], e[3]))
    return fs, rp, att, ((e[0], e[3]), (e[1], e[2]))


def orders(band, fs, rp, att, passb, stopb):
    wp = passb[0] if band in (LOW, HIGH) else list(passb)
    ws = stopb[0] if band in (LOW, HIGH) else list(stopb)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return [f(wp, ws, rp, att, fs=fs)[0] for f in
                (signal.buttord, signal.cheb1ord, signal.cheb2ord, signal.ellipord)]


def fir_bands(band, fs, passb, stopb):
    nyq = fs / 2
    if band == LOW:
        return [0, passb[0], stopb[0], nyq], [1, 0]
    if band == HIGH:
        return [0, stopb[0], passb[0], nyq], [0, 1]
    if band == BANDPASS:
        return [0, stopb[0], passb[0], passb[1], stopb[1], nyq], [0, 1, 0]
    return [0, passb[0], stopb[0], stopb[1], passb[1], nyq], [1, 0, 1]


def deltas(rp, att):
    g = 10 ** (rp / 20)
    return (g - 1) / (g + 1), 10 ** (-att / 20)


def main():
    schemes = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    rng = np.random.default_rng(25)
    lines = ["// Made by make_scheme_golden.py from scipy %s; do not edit.\n" % __import__("scipy").__version__]
    lines.append("// {band, fs, Rp, As, pass1, pass2, stop1, stop2, buttord, cheb1ord, cheb2ord, ellipord,"
                 " kaiser taps, kaiser beta}\n")
    lines.append("constexpr SchemeCase kSchemeCases[] = {\n")
    for band in (LOW, HIGH, BANDPASS, BANDSTOP):
        for _ in range(schemes):
            fs, rp, att, (passb, stopb) = random_scheme(rng, band)
            o = orders(band, fs, rp, att, passb, stopb)
            dp, ds = deltas(rp, att)
            a = max(att, -20 * math.log10(dp))
            edges, _ = fir_bands(band, fs, passb, stopb)
            width = min(abs(edges[i + 1] - edges[i]) for i in range(1, len(edges) - 2, 2)) / (fs / 2)
            taps, beta = signal.kaiserord(a, width)
            lines.append("    {%d, %r, %r, %r, %r, %r, %r, %r, %d, %d, %d, %d, %d, %r},\n" %
                         (band, fs, rp, att, passb[0], passb[1], stopb[0], stopb[1], *o, taps, beta))
    lines.append("};\n\n")

    lines.append("// {band, fs, Rp, As, pass1, pass2, stop1, stop2, taps, first tap index} and the remez taps\n")
    lines.append("constexpr EquirippleCase kEquirippleCases[] = {\n")
    taps_out = []
    count = 0
    while count < 40:
        band = count % 4
        fs, rp, att, (passb, stopb) = random_scheme(rng, band)
        edges, desired = fir_bands(band, fs, passb, stopb)
        widths = [edges[i + 1] - edges[i] for i in range(1, len(edges) - 2, 2)]
        if min(widths) < 0.04 * fs:
            continue
        n = int(rng.integers(15, 120))
        if band in (HIGH, BANDSTOP) and n % 2 == 0:
            n += 1
        dp, ds = deltas(rp, att)
        weight = [1.0 if d else dp / ds for d in desired]
        try:
            h = signal.remez(n, edges, desired, weight=weight, fs=fs, grid_density=16)
        except Exception:
            continue
        lines.append("    {%d, %r, %r, %r, %r, %r, %r, %r, %d, %d},\n" %
                     (band, fs, rp, att, passb[0], passb[1], stopb[0], stopb[1], n, len(taps_out)))
        taps_out.extend(h)
        count += 1
    lines.append("};\n\nconstexpr double kEquirippleTaps[] = {\n")
    for i in range(0, len(taps_out), 4):
        lines.append("    " + ", ".join(repr(float(x)) for x in taps_out[i:i + 4]) + ",\n")
    lines.append("};\n")
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scheme_golden.inc")
    with open(out, "w") as f:
        f.writelines(lines)


if __name__ == "__main__":
    main()
