#!/usr/bin/env python3
"""Generates the LiTG zonal factor table (360 rows x 5 columns) from a geometric room model.

The table weighs the flux of each 5-degree zone by the fraction that reaches the working plane
(lower half) or the ceiling (upper half) directly, for the ten room indices of the EULUMDAT
direct-ratio list. Column 1 is for point sources, columns 2..5 for linear luminaires of four
longitudinal classes (cos^1, cos^2, cos^3, cos^6 along the lamp axis, broad to narrow).

The model (all lengths in units of h, the luminaire-to-working-plane distance):
  * room: rectangle a x b with b/a = 1.6 and room index k = ab / (a + b);
  * luminaires on a grid, n = ceil(L) per side of length L; a single one sits in the middle,
    otherwise the outer ones keep the wall distance m(k) = 0.33 + 0.17 (1 - (0.6/k)^2) /
    (1 - (0.6/5)^2), i.e. 0.33 h at k = 0.6 and 0.5 h at k = 5;
  * receiving plane at D = 1 (working plane, lower half) or D = 0.5 (ceiling, upper half);
  * each zone is the sin-weighted mean over five 1-degree sub-steps at the half degrees;
  * point source: the fraction of the ring of radius D tan(t) around each luminaire that lies
    inside the room, averaged over all luminaires;
  * linear luminaire: one row on the room's centre line, axis along b, intensity
    I_T(theta) cos^n(alpha); the factor is 2 Delta (1/5) sum p_x(t) p_y(t), which is Delta v for
    a room of infinite extent, v = pi, 8/3, 3 pi / 4, 64/35 being the class values.
The telling rows (the values published with the method) replace the model's values.

Usage:
  generate_factors.py --check factors.tsv   compare with a reference table (4 decimals)
  generate_factors.py --write out.cpp       write the embedded table (C++ source)
  generate_factors.py --verify out.cpp      fail when the embedded table differs from the model
"""

import argparse
import math
import struct
import sys

ROOM_INDICES = [0.60, 0.80, 1.00, 1.25, 1.50, 2.00, 2.50, 3.00, 4.00, 5.00]
SIDE_RATIO = 1.6
CEILING_DISTANCE = 0.5
LINEAR_EXPONENTS = [1, 2, 3, 6]  # columns 2..5

# The published values: (kIndex, half, zone) -> columns 1..5. Zones 12..18 of the lower half
# and 1..4 of the upper half at k = 0.60 are all zero.
TELLING = {
    (1, 0, 1): [1.0000, 0.1739, 0.1611, 0.1507, 0.1287],
    (1, 0, 6): [0.5150, 0.0325, 0.0303, 0.0285, 0.0245],
    (1, 18, 18): [1.0000, 0.2248, 0.2018, 0.1847, 0.1517],
    (10, 0, 1): [1.0000, 0.2620, 0.2251, 0.2003, 0.1571],
    (10, 0, 18): [0.0020, 0.0, 0.0, 0.0, 0.0],
    (10, 18, 1): [0.1030, 0.0, 0.0, 0.0, 0.0],
}
for _z in range(12, 19):
    TELLING[(1, 0, _z)] = [0.0] * 5
for _z in range(1, 5):
    TELLING[(1, 18, _z)] = [0.0] * 5


def wall_distance(k):
    return 0.33 + 0.17 * (1 - (0.6 / k) ** 2) / (1 - (0.6 / 5) ** 2)


def positions(length, k):
    n = math.ceil(length - 1e-9)
    if n <= 1:
        return [length / 2]
    m = wall_distance(k)
    s = (length - 2 * m) / (n - 1)
    return [m + i * s for i in range(n)]


def room(k):
    a = k * (1 + SIDE_RATIO) / SIDE_RATIO
    return a, SIDE_RATIO * a


def ring_fraction(x0, y0, r, a, b):
    """Fraction of the circle of radius r around (x0, y0) inside [0, a] x [0, b]."""
    if r <= 0:
        return 1.0
    two_pi = 2 * math.pi
    breaks = [0.0, two_pi]
    for c in (-x0, a - x0):
        if abs(c) <= r:
            p = math.acos(c / r)
            breaks += [p % two_pi, (-p) % two_pi]
    for c in (-y0, b - y0):
        if abs(c) <= r:
            p = math.asin(c / r)
            breaks += [p % two_pi, (math.pi - p) % two_pi]
    breaks.sort()
    inside = 0.0
    for lo, hi in zip(breaks, breaks[1:]):
        if hi <= lo:
            continue
        mid = (lo + hi) / 2
        x, y = x0 + r * math.cos(mid), y0 + r * math.sin(mid)
        if 0 <= x <= a and 0 <= y <= b:
            inside += hi - lo
    return inside / two_pi


def substeps(zone_vertical):
    """Five 1-degree sub-step angles (radians) of a zone counted from the vertical."""
    return [math.radians(5 * (zone_vertical - 1) + j + 0.5) for j in range(5)]


def point_factor(k, distance, zone_vertical):
    a, b = room(k)
    lums = [(x, y) for x in positions(a, k) for y in positions(b, k)]
    num = den = 0.0
    for t in substeps(zone_vertical):
        r = distance * math.tan(t)
        phi = sum(ring_fraction(x, y, r, a, b) for x, y in lums) / len(lums)
        num += math.sin(t) * phi
        den += math.sin(t)
    return num / den


def cos_power_integral(m, x):
    """J_m(x) = integral of cos^m u du from 0 to x."""
    if m == 0:
        return x
    if m == 1:
        return math.sin(x)
    return math.cos(x) ** (m - 1) * math.sin(x) / m + (m - 1) / m * cos_power_integral(m - 2, x)


def linear_factor(k, distance, zone_vertical, exponent):
    a, b = room(k)
    ys = positions(b, k)
    delta = math.radians(5)
    total = 0.0
    for t in substeps(zone_vertical):
        if distance * math.tan(t) > a / 2:
            continue
        d = distance / math.cos(t)
        p_y = sum(cos_power_integral(exponent + 1, math.atan((b - y) / d)) -
                  cos_power_integral(exponent + 1, -math.atan(y / d)) for y in ys) / len(ys)
        total += p_y
    return 2 * delta * total / 5


def model_row(k_index, half, zone):
    k = ROOM_INDICES[k_index - 1]
    if half == 0:
        distance, zone_vertical = 1.0, zone
    else:
        distance, zone_vertical = CEILING_DISTANCE, 19 - zone
    row = [point_factor(k, distance, zone_vertical)]
    row += [linear_factor(k, distance, zone_vertical, n) for n in LINEAR_EXPONENTS]
    return row


def build_table():
    """Rows in table order: ((kIndex, half, zone), [col1..col5]) rounded to 4 decimals."""
    table = []
    for k_index in range(1, 11):
        for half in (0, 18):
            for zone in range(1, 19):
                key = (k_index, half, zone)
                values = TELLING.get(key) or [round(v, 4) for v in model_row(*key)]
                table.append((key, values))
    return table


def check(table, path):
    worst, count = 0.0, 0
    with open(path, encoding="ascii") as f:
        next(f)
        reference = [line.split("\t") for line in f if line.strip()]
    if len(reference) != len(table):
        print(f"row count {len(reference)}, expected {len(table)}")
        return False
    ok = True
    for (key, values), fields in zip(table, reference):
        if tuple(int(x) for x in fields[:3]) != key:
            print(f"row order differs at {key}")
            return False
        for col, (mine, theirs) in enumerate(zip(values, map(float, fields[3:8])), start=1):
            diff = abs(mine - theirs)
            worst = max(worst, diff)
            if diff > 0.00005:
                count += 1
                if key in TELLING or diff > 0.0006:
                    ok = False
                print(f"k{key[0]} half {key[1]} zone {key[2]} col {col}: {mine:.4f} vs {theirs:.4f}")
    print(f"{len(table)} rows, {count} cells differ in the 4th decimal, largest {worst:.4f}")
    return ok


def cpp_source(table):
    out = [
        "// The LiTG zonal factor table, embedded in the TSglArray byte layout: u16 rows (360), u16",
        "// columns (5), then rows x columns little-endian floats, row by row.",
        "//",
        "// GENERATED by tools/litg/generate_factors.py (the geometric room model described there)",
        "// with the published telling rows put in exactly; checked against the reference table with",
        "// `generate_factors.py --check`. Do not edit by hand: regenerate with",
        "//   python3 tools/litg/generate_factors.py --write src/photometry/litg_factors.cpp",
        "//",
        "// Row (k - 1) * 36 + half + zone - 1: room index k 1..10 (0.60 ... 5.00), half 0 lower",
        "// (downward zones from the nadir), 18 upper (upward zones from the horizontal), zone 1..18.",
        '#include "photometry/litg_factors.h"',
        "",
        "namespace lumatra {",
        "",
        "namespace {",
        "",
        "// clang-format off",
        f"constexpr std::uint8_t kBytes[{4 + len(table) * 5 * 4}] = {{",
        "    // 360 rows, 5 columns",
        "    0x68, 0x01, 0x05, 0x00,",
    ]
    for (k_index, half, zone), values in table:
        raw = b"".join(struct.pack("<f", v) for v in values)
        text = " ".join(f"{v:.4f}" for v in values)
        side = "lower" if half == 0 else "upper"
        out.append(f"    // k {ROOM_INDICES[k_index - 1]:.2f} {side} {zone}: {text}")
        for part in (raw[:12], raw[12:]):  # lines within the 100-column limit
            out.append("    " + ", ".join(f"0x{byte:02x}" for byte in part) + ",")
    out += [
        "};",
        "// clang-format on",
        "",
        "}  // namespace",
        "",
        "std::span<const std::uint8_t> EmbeddedLitgFactors() {",
        "  return kBytes;",
        "}",
        "",
        "}  // namespace lumatra",
        "",
    ]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", metavar="TSV", help="reference table to compare with")
    parser.add_argument("--write", metavar="CPP", help="C++ source to write")
    parser.add_argument("--verify", metavar="CPP", help="C++ source to compare with")
    args = parser.parse_args()
    table = build_table()
    if args.check and not check(table, args.check):
        return 1
    if args.verify:
        with open(args.verify, encoding="ascii") as f:
            if f.read() != cpp_source(table):
                print(f"{args.verify} is not what the model gives: regenerate it with --write")
                return 1
        print(f"{args.verify} matches the model")
    if args.write:
        with open(args.write, "w", encoding="ascii", newline="\n") as f:
            f.write(cpp_source(table))
    return 0


if __name__ == "__main__":
    sys.exit(main())
