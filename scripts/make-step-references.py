#!/usr/bin/env python3
"""Makes the step-response reference curves in tests/ladder/data/ with ngspice's transient
analysis, an independent check on the FFT-made step of the ladder library.

Each circuit file is turned into a netlist between its source and load resistances and
driven by a 1 V step (a low-pass), or by cos and sin carriers at the centre switched on at
t = 0 in two copies of the circuit (a band-pass): y_cos + j y_sin is the response to
exp(j w t) switched on, so its magnitude is the envelope, exactly, without filtering.
Values are in units of S21: 2 sqrt(Rs / RL) V(load).

The engine's losses are R = w L / Q, growing with frequency. A resistor cannot do that, so
each inductor is L (1 - 1/Q) in series with 2 L / Q shunted by 2 w0 L / Q: no loss at DC and,
at w0, the engine's loss and reactance with the same slope. Crystals take Rm = w0 Lm / Qx,
their bandwidth being a ten-thousandth of w0.

The carrier is at centre_3 as the built sorvel-sweep --measure reads it (build/release).
Run once; the curves are stored and the tests read them without ngspice:
    scripts/make-step-references.py
"""
import math
import pathlib
import subprocess
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
DATA = ROOT / "tests" / "ladder" / "data"

# name, circuit file, kind, centre or loss-match frequency (Hz), end time, time step limit
CASES = [
    ("lowpass-7-pole", ROOT / "packaging" / "examples" / "lowpass-7-pole.cir", "lowpass", 10e6, 800e-9, 0.02e-9),
    ("lc-bandpass", DATA / "step-lc-bandpass.cir", "bandpass", None, 3e-6, 0.2e-9),
    ("crystal-4", DATA / "step-crystal-4.cir", "bandpass", None, 4e-3, 10e-9),
]
POINTS = 800  # stored per curve


def read_cir(path):
    lines = [l.strip() for l in path.read_text().splitlines()]
    it = iter(lines)
    c = {"count": int(next(it)), "q": float(next(it)), "rs": float(next(it)), "rl": float(next(it))}
    c["crystal"] = int(next(it)) == 1
    if c["crystal"]:
        c["xf"], c["lm"], c["cp"], c["qx"] = (float(next(it)) for _ in range(4))
    c["start"], c["stop"] = float(next(it)), float(next(it))
    for _ in range(4):
        next(it)
    parts = []
    for _ in range(c["count"]):
        kind = next(it).lower()
        if kind == "rlb":
            parts.append(("rlb", "", 0.0))
            continue
        parts.append((kind, next(it).lower(), float(next(it))))
    c["parts"] = parts
    return c


class Netlist:
    def __init__(self, c, w0):
        self.c, self.w0, self.lines, self.n = c, w0, [], 0

    def node(self):
        self.n += 1
        return f"n{self.n}"

    def add(self, kind, a, b, value):
        self.n += 1
        self.lines.append(f"{kind}{self.n} {a} {b} {value:.12g}")

    def inductor(self, a, b, henry):
        q = self.c["q"]
        mid = self.node()
        self.add("L", a, mid, henry * (1 - 1 / q))
        self.add("L", mid, b, 2 * henry / q)
        self.add("R", mid, b, 2 * self.w0 * henry / q)

    def crystal(self, a, b, offset):
        c = self.c
        ws = 2 * math.pi * (c["xf"] * 1e6 + offset)
        cm = 1 / (ws * ws * c["lm"])
        m1, m2 = self.node(), self.node()
        self.add("L", a, m1, c["lm"])
        self.add("C", m1, m2, cm)
        self.add("R", m2, b, self.w0 * c["lm"] / c["qx"])
        self.add("C", a, b, c["cp"] * 1e-12)

    def part(self, kind, a, b, value):
        if kind == "cap":
            self.add("C", a, b, value * 1e-12)
        elif kind == "ind":
            self.inductor(a, b, value * 1e-9)
        elif kind == "res":
            self.add("R", a, b, value)
        elif kind == "xtl":
            self.crystal(a, b, value)
        elif kind in ("wir", "rlb"):
            pass
        else:
            raise SystemExit(f"no netlist form for part kind {kind}")

    def ladder(self, source, out):
        """Rs from `source`, the parts from the source end to the load, RL to `out`."""
        c = self.c
        at = self.node()
        self.add("R", source, at, c["rs"])
        for kind, conn, value in reversed(c["parts"]):
            if kind in ("wir", "rlb"):
                continue
            if conn == "ser":
                nxt = self.node()
                self.part(kind, at, nxt, value)
                at = nxt
            else:
                self.part(kind, at, "0", value)
        self.lines.append(f"Rload_{out} {at} 0 {c['rl']:.12g}")
        self.lines.append(f"Vsense_{out} {at} {out} 0")
        return at


def centre_hz(path, c):
    """centre_3 from the readouts of the file's sweep (the carrier the step is taken at)."""
    out = subprocess.run([str(ROOT / "build" / "release" / "analyser" / "sweep" / "sorvel-sweep"), str(path),
                          "--measure"], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        q, v, _ = line.split(",")
        if q == "centre_3":
            f = float(v)
            return c["xf"] * 1e6 + f if c["crystal"] else f * 1e6
    raise SystemExit(f"{path}: no centre_3")


def run(name, path, kind, freq, tstop, tmax):
    c = read_cir(path)
    fc = freq if kind == "lowpass" else centre_hz(path, c)
    net = Netlist(c, 2 * math.pi * fc)
    lines = [f"* {name}"]
    if kind == "lowpass":
        lines.append("V1 s1 0 PWL(0 0 1e-13 1)")
        net.ladder("s1", "o1")
        probes = "v(o1)"
    else:
        lines.append(f"V1 s1 0 SIN(0 1 {fc:.15g} 0 0 90)")
        lines.append(f"V2 s2 0 SIN(0 1 {fc:.15g} 0 0 0)")
        net.ladder("s1", "o1")
        net.ladder("s2", "o2")
        probes = "v(o1) v(o2)"
    tstep = tstop / POINTS
    with tempfile.TemporaryDirectory() as tmp:
        out = pathlib.Path(tmp) / "out.txt"
        lines += net.lines
        lines += [".options reltol=1e-6 abstol=1e-15 vntol=1e-12 method=trap",
                  ".control", "set wr_singlescale", "set wr_vecnames",
                  f"tran {tstep:.6g} {tstop:.6g} 0 {tmax:.6g} uic", "linearize",
                  f"wrdata {out} {probes}", "quit", ".endc", ".end"]
        deck = pathlib.Path(tmp) / "deck.cir"
        deck.write_text("\n".join(lines) + "\n")
        subprocess.run(["ngspice", "-b", str(deck)], check=True, capture_output=True)
        rows = [l.split() for l in out.read_text().splitlines()[1:] if l.strip()]
    scale = 2 * math.sqrt(c["rs"] / c["rl"])
    with open(DATA / f"step-{name}.csv", "w") as f:
        f.write(f"# {name}: ngspice .tran, made by scripts/make-step-references.py\n")
        f.write("time_s,step\n")
        for r in rows:
            t = float(r[0])
            v = float(r[1]) if kind == "lowpass" else math.hypot(float(r[1]), float(r[2]))
            f.write(f"{t:.10g},{scale * v:.10g}\n")
    print(f"{name}: {len(rows)} points to {tstop:g} s")


if __name__ == "__main__":
    for case in CASES:
        run(*case)
