#!/usr/bin/env python3
"""Writes packaging/examples/measured-crystal-4-pole.s2p: a four-crystal 10 MHz ladder filter
(Butterworth couplings, 2.4 kHz wide, matched to 50 ohms by ideal transformers) as a network
analyser would save it, with a little trace noise and a noise floor. Deterministic: rerunning
it writes the same bytes."""
import cmath
import math
import pathlib

FS = 10.0e6          # crystal series resonance, Hz
LM = 0.015           # motional inductance, H
CM = 1 / ((2 * math.pi * FS) ** 2 * LM)
C0 = 4.0e-12         # holder capacitance, F
QU = 100_000         # unloaded Q
BW = 2400.0          # bandwidth, Hz
Q_END = 0.7654       # normalised end Q and couplings of a 4-pole Butterworth
K = [0.8409, 0.5412, 0.8409]
Z0 = 50.0


def matmul(a, b):
    return ((a[0][0] * b[0][0] + a[0][1] * b[1][0], a[0][0] * b[0][1] + a[0][1] * b[1][1]),
            (a[1][0] * b[0][0] + a[1][1] * b[1][0], a[1][0] * b[0][1] + a[1][1] * b[1][1]))


def series(z):
    return ((1, z), (0, 1))


def shunt(y):
    return ((1, 0), (y, 1))


def transformer(n):
    return ((n, 0), (0, 1 / n))


def design():
    r_end = 2 * math.pi * LM * BW / Q_END
    coupling = [CM * FS / (k * BW) for k in K]
    # Each mesh holds its crystal's Cm in series with the coupling capacitors beside it;
    # series tuning capacitors bring every mesh to the frequency of the highest one.
    meshes = []
    for j in range(4):
        c = [CM] + [coupling[i] for i in (j - 1, j) if 0 <= i < 3]
        meshes.append(1 / sum(1 / x for x in c))
    target = min(meshes)
    tuning = [None if m == target else 1 / (1 / target - 1 / m) for m in meshes]
    return r_end, coupling, tuning


def abcd(f, r_end, coupling, tuning):
    w = 2 * math.pi * f
    rm = w * LM / QU
    z_motional = rm + 1j * (w * LM - 1 / (w * CM))
    z_crystal = 1 / (1 / z_motional + 1j * w * C0)
    m = transformer(math.sqrt(Z0 / r_end))
    for j in range(4):
        z = z_crystal + (0 if tuning[j] is None else 1 / (1j * w * tuning[j]))
        m = matmul(m, series(z))
        if j < 3:
            m = matmul(m, shunt(1j * w * coupling[j]))
    return matmul(m, transformer(math.sqrt(r_end / Z0)))


def s_parameters(m):
    (a, b), (c, d) = m
    den = a + b / Z0 + c * Z0 + d
    return ((a + b / Z0 - c * Z0 - d) / den, 2 * (a * d - b * c) / den,
            2 / den, (-a + b / Z0 - c * Z0 + d) / den)


class Noise:
    """A fixed linear congruential generator with Box-Muller normals, the same on every Python."""

    def __init__(self, seed):
        self.state = seed

    def uniform(self):
        self.state = (6364136223846793005 * self.state + 1442695040888963407) % 2 ** 64
        return ((self.state >> 11) + 0.5) / 2 ** 53

    def normal(self):
        return math.sqrt(-2 * math.log(self.uniform())) * math.cos(2 * math.pi * self.uniform())


def measured(s, noise):
    # Trace noise in dB and degrees, over a floor near -95 dB such as a real analyser shows.
    floor = 10 ** (-95 / 20) * complex(noise.normal(), noise.normal()) / math.sqrt(2)
    s = s + floor
    db = 20 * math.log10(abs(s)) + 0.02 * noise.normal()
    deg = math.degrees(cmath.phase(s)) + 0.2 * noise.normal()
    deg = (deg + 180) % 360 - 180
    return db, deg


def main():
    r_end, coupling, tuning = design()
    noise = Noise(13)
    lines = ["! Four-crystal 10 MHz ladder filter, Butterworth couplings, 2.4 kHz wide,",
             f"! ends of {r_end:.1f} ohms matched to 50 ohms; a measured-style example with",
             "! trace noise, made by scripts/make-touchstone-example.py",
             "# MHz S DB R 50"]
    points = 401
    start, stop = FS - 6000, FS + 9000
    for i in range(points):
        f = start + (stop - start) * i / (points - 1)
        s11, s12, s21, s22 = s_parameters(abcd(f, r_end, coupling, tuning))
        row = [f"{f / 1e6:.9f}"]
        for s in (s11, s21, s12, s22):
            db, deg = measured(s, noise)
            row += [f"{db:.4f}", f"{deg:.3f}"]
        lines.append(" ".join(row))
    out = pathlib.Path(__file__).resolve().parent.parent / "packaging/examples/measured-crystal-4-pole.s2p"
    out.write_text("\n".join(lines) + "\n")
    print(out)


if __name__ == "__main__":
    main()
