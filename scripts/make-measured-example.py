#!/usr/bin/env python3
"""Writes packaging/examples/measured-crystal-5-pole.s2p: the bundled five-crystal design
(crystal-5-pole.cir, Mirabo's default design) as a builder measures it with a low-cost
network analyser. The filter as built has each crystal a few hertz off the design frequency
and its second coupling capacitor 5 % high; sorvel-sweep --touchstone computes it, and
seeded trace noise and noise floors are laid over the result. Rerunning it writes the same
bytes. BUILD_DIR names the build tree holding sorvel-sweep (default build/release)."""
import cmath
import math
import os
import pathlib
import subprocess
import tempfile

REPO = pathlib.Path(__file__).resolve().parent.parent
DESIGN = REPO / "packaging/examples/crystal-5-pole.cir"
OUT = REPO / "packaging/examples/measured-crystal-5-pole.s2p"
SEED = 21
CRYSTAL_SIGMA_HZ = 15.0    # spread of the crystals' series resonance around F
COUPLING_INDEX = 1         # the second coupling capacitor (from the load end) ...
COUPLING_ERROR = 1.05      # ... is 5 % high
POINTS_KEPT = 5            # every fifth of the 1000 points: a 200-point sweep
# A low-cost analyser at 10 MHz: trace noise, a transmission floor near -75 dB and the
# directivity of a small bridge, near -45 dB, under the reflections.
TRACE_DB, TRACE_DEG = 0.03, 0.3
FLOOR_S21_DB, FLOOR_S11_DB = -75.0, -45.0


class Noise:
    """A fixed linear congruential generator with Box-Muller normals, the same on every Python."""

    def __init__(self, seed):
        self.state = seed

    def uniform(self):
        self.state = (6364136223846793005 * self.state + 1442695040888963407) % 2 ** 64
        return ((self.state >> 11) + 0.5) / 2 ** 53

    def normal(self):
        return math.sqrt(-2 * math.log(self.uniform())) * math.cos(2 * math.pi * self.uniform())


def built_circuit(lines, noise):
    """The design's lines with each crystal off by a little and one coupling capacitor off."""
    out = list(lines)
    header = 15  # part count ... dB per division
    offsets, shunts = [], []
    for i in range(header, len(out) - 1, 3):
        kind, conn = out[i], out[i + 1]
        if kind == "xtl":
            offset = round(CRYSTAL_SIGMA_HZ * noise.normal(), 1)
            out[i + 2] = repr(float(out[i + 2]) + offset)
            offsets.append(offset)
        elif kind == "cap" and conn == "par":
            shunts.append(i + 2)
    # The shunt capacitors between two crystals couple them; the first and last are the ends.
    coupling = shunts[1:-1][COUPLING_INDEX]
    out[coupling] = repr(float(out[coupling]) * COUPLING_ERROR)
    return out, offsets


def sweep(circuit_lines, build):
    with tempfile.TemporaryDirectory() as work:
        built = pathlib.Path(work) / "built.cir"
        built.write_bytes(("\r\n".join(circuit_lines) + "\r\n").encode())
        result = subprocess.run([str(build / "analyser/sweep/sorvel-sweep"), str(built), "--touchstone"],
                                check=True, capture_output=True, text=True)
    return result.stdout.splitlines()


def measured(s, floor_db, noise):
    floor = 10 ** (floor_db / 20) * complex(noise.normal(), noise.normal()) / math.sqrt(2)
    s = s + floor
    db = 20 * math.log10(abs(s)) + TRACE_DB * noise.normal()
    deg = math.degrees(cmath.phase(s)) + TRACE_DEG * noise.normal()
    return db, (deg + 180) % 360 - 180


def to_complex(fmt, a, b):
    if fmt == "DB":
        return cmath.rect(10 ** (a / 20), math.radians(b))
    if fmt == "MA":
        return cmath.rect(a, math.radians(b))
    return complex(a, b)


def main():
    build = pathlib.Path(os.environ.get("BUILD_DIR", REPO / "build/release"))
    design = DESIGN.read_bytes().decode().split("\r\n")[:-1]
    noise = Noise(SEED)
    circuit, offsets = built_circuit(design, noise)
    lines = sweep(circuit, build)
    option = next(l for l in lines if l.startswith("#")).split()
    unit, fmt, reference = option[1], option[3].upper(), option[5]
    data = [l for l in lines if l.strip() and l[0] not in "!#["]
    out = ["! The bundled five-crystal design (crystal-5-pole.cir) as built and measured: the",
           "! crystals off F by " + ", ".join(f"{o:+.1f}" for o in offsets) + " Hz, the second coupling",
           "! capacitor 5 % high, the trace noise and floors of a low-cost analyser.",
           "! Made by scripts/make-measured-example.py; rerun it to make it again.",
           f"# {unit} S DB R {reference}"]
    for n, line in enumerate(data):
        if n % POINTS_KEPT:
            continue
        v = line.split()
        row = [v[0]]
        # Two-port data: S11 S21 S12 S22, each a pair.
        for p in range(4):
            s = to_complex(fmt, float(v[1 + 2 * p]), float(v[2 + 2 * p]))
            db, deg = measured(s, FLOOR_S11_DB if p in (0, 3) else FLOOR_S21_DB, noise)
            row += [f"{round(db, 3) + 0.0:.3f}", f"{round(deg, 2) + 0.0:.2f}"]
        out.append(" ".join(row))
    OUT.write_text("\n".join(out) + "\n")
    print(OUT)


if __name__ == "__main__":
    main()
