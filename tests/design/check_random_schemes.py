#!/usr/bin/python3
"""Checks design from requirements against scipy over random tolerance schemes of every band
type, through quorvanel-cli --batch with "minimumOrder" on:

- the orders of Butterworth, Chebyshev, Chebyshev II and elliptic equal scipy's buttord,
  cheb1ord, cheb2ord and ellipord (band stop: equal or one lower, as the widened pass band of
  a band stop can reach one order lower than scipy's search of it). Butterworth and Chebyshev
  cut frequencies are whole hertz: a higher order is right where scipy's own design of each
  order below it misses the scheme with its cuts rounded to whole hertz either way. An order beyond the
  limits (19, 9 for band designs) is refused and says so;
- the Kaiser tap count is kaiserord's (made odd where the band type needs a middle tap), or
  more where that length misses, the count below then missing too;
- every design that Quorvanel says meets its scheme does by scipy's freqz of its own
  coefficients (the quantised ones when quantised) on a dense grid of every pass and stop band,
  crowded around the poles' frequencies, its extrema polished by scipy's bounded minimiser,
  within the verdict's 1e-4 dB; and the verdict's worst loss and attenuation are never better
  than what that search finds (the places it finds evaluated again at 30 digits with mpmath),
  beyond 1e-5 dB; a disagreement is settled by the same search on values at 30 digits;
- one order (or tap step) less than the minimum, designed by hand, misses its scheme by freqz
  (not for Kaiser, whose length is kaiserord's formula).

Run with Debian's python3 (numpy, scipy, mpmath) after building quorvanel-cli:
    /usr/bin/python3 tests/design/check_random_schemes.py build/release/cli/quorvanel-cli [SCHEMES] [SEED] [MODELS]
SCHEMES random schemes per band type (default 1000); MODELS the model codes to check, separated
by commas (default all: 0,1,5,6,7,8), so that a long run can be split over processes. Prints the figures per model and band and
the schemes that fail; exits with 1 when any does.
"""
import json
import math
import subprocess
import sys
import warnings

import mpmath
import numpy as np
from scipy import optimize, signal

from make_scheme_golden import BANDPASS, BANDSTOP, HIGH, LOW, random_scheme

BAND_NAMES = ["low pass", "high pass", "band pass", "band stop"]
# model code: (name, class, scipy order function or None)
MODELS = {
    0: ("Butterworth", 0, signal.buttord),
    1: ("Chebyshev", 0, signal.cheb1ord),
    5: ("Chebyshev II", 0, signal.cheb2ord),
    6: ("elliptic", 0, signal.ellipord),
    7: ("Kaiser", 1, None),
    8: ("equiripple", 1, None),
}
TOLERANCE_DB = 1e-4
POLE_POINTS = 200  # extra points around each pole's frequency
POLE_SPAN = 20     # on either side, in resonance widths (1 - |p|) fs / 2 pi
ROUNDING_DB = 1e-5  # the places are found on freqz values, whose rounding moves them a little
GRID = 4000  # points per band, edges included
MAX_ORDER, MAX_BAND_ORDER, MAX_TAPS = 19, 9, 511


def bands_of(band, fs, passb, stopb):
    """(pass bands, stop bands) as lists of (low, high) in Hz."""
    nyq = fs / 2
    if band == LOW:
        return [(0, passb[0])], [(stopb[0], nyq)]
    if band == HIGH:
        return [(passb[0], nyq)], [(0, stopb[0])]
    if band == BANDPASS:
        return [(passb[0], passb[1])], [(0, stopb[0]), (stopb[1], nyq)]
    return [(0, passb[0]), (passb[1], nyq)], [(stopb[0], stopb[1])]


def scipy_order(model, band, fs, rp, att, passb, stopb):
    wp = passb[0] if band in (LOW, HIGH) else list(passb)
    ws = stopb[0] if band in (LOW, HIGH) else list(stopb)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return int(MODELS[model][2](wp, ws, rp, att, fs=fs)[0])


WHOLE_HERTZ = {0: signal.butter, 1: signal.cheby1}
BTYPES = ["lowpass", "highpass", "bandpass", "bandstop"]


def meets(b, a, band, fs, rp, att, passb, stopb):
    loss, attenuation = extremes(b, a, band, fs, passb, stopb)
    return loss <= rp + TOLERANCE_DB and attenuation >= att - TOLERANCE_DB


def whole_hertz_meets(model, band, fs, rp, att, passb, stopb, order):
    """Whether scipy's own design of `order`, its cut frequencies rounded to whole hertz either
    way, meets the scheme: the cut frequencies of these models are whole hertz."""
    wp = passb[0] if band in (LOW, HIGH) else list(passb)
    ws = stopb[0] if band in (LOW, HIGH) else list(stopb)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        wn = np.atleast_1d(MODELS[model][2](wp, ws, rp, att, fs=fs)[1])
    for rounded in np.array(np.meshgrid(*[(math.floor(w), math.ceil(w)) for w in wn])).T.reshape(
            -1, len(wn)):
        if rounded.min() < 1 or rounded.max() >= fs / 2:
            continue
        cuts = rounded[0] if len(rounded) == 1 else list(rounded)
        args = (order, cuts) if model == 0 else (order, rp, cuts)
        b, a = WHOLE_HERTZ[model](*args, btype=BTYPES[band], fs=fs)
        if meets(b, a, band, fs, rp, att, passb, stopb):
            return True
    return False


def kaiser_taps(band, fs, rp, att, passb, stopb):
    g = 10 ** (rp / 20)
    a = max(att, -20 * math.log10((g - 1) / (g + 1)))
    if band in (LOW, HIGH):
        width = abs(passb[0] - stopb[0])
    elif band == BANDPASS:
        width = min(passb[0] - stopb[0], stopb[1] - passb[1])
    else:
        width = min(stopb[0] - passb[0], passb[1] - stopb[1])
    taps, _ = signal.kaiserord(a, width / (fs / 2))
    return taps


def line(model, band, fs, rp, att, passb, stopb, minimum, order=None):
    spec = {"filterClass": MODELS[model][1], "bandType": band, "model": model, "fsample": fs,
            "ripple": rp,
            "scheme": {"active": True, "minimumOrder": minimum, "pass1": passb[0],
                       "pass2": passb[1], "stop1": stopb[0], "stop2": stopb[1],
                       "attenuation": att}}
    if order is not None:
        spec["order" if MODELS[model][1] == 0 else "taps"] = order
    return json.dumps(spec)


def run_batch(cli, lines):
    out = subprocess.run([cli, "--batch", "--fields", "spec,design,verdict"],
                         input="\n".join(lines) + "\n", capture_output=True, text=True,
                         check=True).stdout
    return [json.loads(x) for x in out.splitlines()]


def true_extremes(answer, band, fs, passb, stopb, exact_polish=False):
    """Worst pass-band loss and least stop-band attenuation (dB) of the answer's coefficients
    on the dense grid, relative to the largest pass-band gain."""
    design = answer["design"]
    scale = 2.0 ** -design["shift"]
    if answer["spec"]["filterClass"] == 1:
        b, a = np.array(design["firTaps"]) * scale, np.array([1.0])
    else:
        b, a = np.array(design["numerator"]) * scale, np.array(design["denominator"])
    return extremes(b, a, band, fs, passb, stopb, exact_polish)


def extremes(b, a, band, fs, passb, stopb, exact_polish=False):
    """With exact_polish the extrema are found and polished on |H| at 30 digits rather than on
    freqz, whose rounding near crowded poles misses a peak by 1e-4 dB or more: slow, so taken
    only to settle a disagreement."""
    passes, stops = bands_of(band, fs, passb, stopb)

    def at(f):
        return np.abs(signal.freqz(b, a, worN=np.atleast_1d(f), fs=fs)[1])

    def exact(f):
        """|H| at f to 30 digits: freqz of a transfer function whose poles crowd together is
        off by some millionths, the size of the differences this check looks for."""
        z = mpmath.exp(-2j * mpmath.pi * mpmath.mpf(f) / fs)
        num = mpmath.polyval([mpmath.mpf(float(c)) for c in b[::-1]], z)
        den = mpmath.polyval([mpmath.mpf(float(c)) for c in a[::-1]], z)
        return float(abs(num / den))

    # Near a pole close to the unit circle the ripples are narrower than the even grid's step;
    # points crowd around each pole's frequency, over some resonance widths.
    near_poles = []
    for p in np.roots(a) if len(a) > 1 else []:
        centre = abs(np.angle(p)) * fs / (2 * math.pi)
        width = max(1 - abs(p), 1e-12) * fs / (2 * math.pi)
        near_poles.append(np.linspace(centre - POLE_SPAN * width, centre + POLE_SPAN * width,
                                      POLE_POINTS))

    def extreme(lo, hi, sign):
        """max of sign * |H| over [lo, hi]: the grid, then every grid extremum within 1 dB of
        the best polished between its neighbours, as a peak between two samples is higher;
        the best place found evaluated again exactly."""
        f = np.unique(np.concatenate([np.linspace(lo, hi, GRID)] +
                                     [g[(g > lo) & (g < hi)] for g in near_poles]))
        # freqz can be off by hundredths of a dB near crowded poles, enough to pick the wrong
        # ripples to polish: settling a disagreement samples exactly.
        m = sign * (np.array([exact(x) for x in f]) if exact_polish else at(f))
        best, where = m.max(), f[m.argmax()]
        inner = (m[1:-1] >= m[:-2]) & (m[1:-1] >= m[2:])
        candidates = np.concatenate(([0], np.nonzero(inner)[0] + 1, [len(f) - 1]))
        for i in candidates[m[candidates] >= best - abs(best) * 0.12]:
            left, right = f[max(i - 1, 0)], f[min(i + 1, len(f) - 1)]
            if right > left:
                polished = exact if exact_polish else (lambda x: at(x)[0])
                r = optimize.minimize_scalar(lambda x: -sign * polished(x), bounds=(left, right),
                                             method="bounded", options={"xatol": 1e-9 * fs})
                if -r.fun > best:
                    best, where = -r.fun, r.x
        return exact(where)

    peak = max(extreme(lo, hi, 1) for lo, hi in passes)
    low = min(extreme(lo, hi, -1) for lo, hi in passes)
    high = max(extreme(lo, hi, 1) for lo, hi in stops)
    loss = 20 * math.log10(peak / max(low, 1e-300))
    attenuation = 20 * math.log10(peak / max(high, 1e-300))
    return loss, attenuation


def main():
    mpmath.mp.dps = 30
    cli = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 2025
    chosen = [int(m) for m in sys.argv[4].split(",")] if len(sys.argv) > 4 else list(MODELS)
    rng = np.random.default_rng(seed)
    schemes = []
    for band in range(4):
        for _ in range(count):
            fs, rp, att, edges = random_scheme(rng, band)
            schemes.append((band, int(fs), rp, att, edges))
    failures = []
    figures = []
    for model in chosen:
        name, _, order_of = MODELS[model]
        answers = run_batch(cli, [line(model, band, fs, rp, att, pb, sb, True)
                                  for band, fs, rp, att, (pb, sb) in schemes])
        stats = {band: {"designed": 0, "meets": 0, "refused": 0, "lower": 0, "higher": 0,
                        "checked_less": 0}
                 for band in range(4)}
        less_lines, less_of = [], []
        for (band, fs, rp, att, (pb, sb)), answer in zip(schemes, answers):
            s = stats[band]
            where = "%s %s fs %d Rp %g As %g pass %s stop %s" % (name, BAND_NAMES[band], fs, rp,
                                                               att, pb, sb)
            limit = MAX_TAPS if order_of is None else (
                MAX_BAND_ORDER if band in (BANDPASS, BANDSTOP) else MAX_ORDER)
            want = None
            if order_of is not None:
                want = scipy_order(model, band, fs, rp, att, pb, sb)
            elif model == 7:
                want = kaiser_taps(band, fs, rp, att, pb, sb)
            if "error" in answer:
                s["refused"] += 1
                code = answer["code"]
                # Beyond the limits, or a very selective design that no order meets: said
                # plainly. A refusal where scipy's order is well inside the limit is a fault.
                if want is not None and want < limit and code not in (-73, -72):
                    failures.append("%s: refused (%d %s) though scipy needs %d" %
                                    (where, code, answer["error"].strip(), want))
                continue
            s["designed"] += 1
            got = answer["spec"]["order"] if order_of is not None else answer["spec"]["taps"]
            kaiser_searched = False
            if order_of is not None:
                if band == BANDSTOP and got == want - 1:
                    s["lower"] += 1
                elif got > want and model in WHOLE_HERTZ and not any(
                        whole_hertz_meets(model, band, fs, rp, att, pb, sb, o)
                        for o in range(want, got)):
                    s["higher"] += 1
                elif got != want:
                    failures.append("%s: order %d, scipy %d" % (where, got, want))
            elif model == 7:
                admissible = want + 1 if band in (HIGH, BANDSTOP) and want % 2 == 0 else want
                # Kaiser's formula is an estimate: where its length misses, the search goes on.
                kaiser_searched = got > admissible
                s["higher"] += 1 if kaiser_searched else 0
                if got < admissible:
                    failures.append("%s: %d taps, below kaiserord's %d" % (where, got, want))
            verdict = answer.get("verdict")
            if verdict is None:
                failures.append("%s: no verdict" % where)
                continue
            loss, attenuation = true_extremes(answer, band, fs, pb, sb)
            disagrees = lambda: (verdict["passLossDb"] < loss - ROUNDING_DB or
                                 verdict["stopAttenuationDb"] > attenuation + ROUNDING_DB)
            if disagrees():
                loss, attenuation = true_extremes(answer, band, fs, pb, sb, exact_polish=True)
            if disagrees():
                failures.append("%s: verdict loss %.9g att %.9g, grid finds %.9g and %.9g" %
                                (where, verdict["passLossDb"], verdict["stopAttenuationDb"], loss,
                                 attenuation))
            if verdict["meets"]:
                s["meets"] += 1
                if loss > rp + TOLERANCE_DB or attenuation < att - TOLERANCE_DB:
                    failures.append("%s: says meets, grid finds loss %.6g att %.6g" %
                                    (where, loss, attenuation))
                step = 1 if order_of is not None else (2 if band in (HIGH, BANDSTOP) else 1)
                # Kaiser's length is kaiserord's unless a search went beyond it.
                if (model != 7 or kaiser_searched) and got - step >= 1:
                    less_lines.append(line(model, band, fs, rp, att, pb, sb, False, got - step))
                    less_of.append((band, fs, rp, att, pb, sb, where, got - step))
            else:
                failures.append("%s: minimum order %d does not meet its scheme" % (where, got))
        for answer, (band, fs, rp, att, pb, sb, where, less) in zip(run_batch(cli, less_lines),
                                                                     less_of):
            if "error" in answer:
                continue
            stats[band]["checked_less"] += 1
            loss, attenuation = true_extremes(answer, band, fs, pb, sb)
            if loss <= rp + TOLERANCE_DB and attenuation >= att - TOLERANCE_DB:
                failures.append("%s: %d, one less than the minimum, also meets" % (where, less))
        for band in range(4):
            s = stats[band]
            figures.append("%-12s %-9s designed %4d, meet %4d, refused %4d, one lower %3d, "
                           "one higher %3d, one less checked %4d" %
                           (name, BAND_NAMES[band], s["designed"], s["meets"], s["refused"],
                            s["lower"], s["higher"], s["checked_less"]))
    print("\n".join(figures))
    print("%d failures" % len(failures))
    for f in failures[:200]:
        print("  " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
