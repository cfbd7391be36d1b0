#!/usr/bin/env python3
"""The projectile worksheet's arithmetic as a plain script, in floats: the
peer that quantaro-cli is timed against (see compare-with-python.sh)."""
import math
import sys

passes = int(sys.argv[1]) if len(sys.argv) > 1 else 20000
G, K, DT = 9.81, 0.001, 0.001
VX, VY, X, Y, T, YMAX, INAIR, FLIGHT = 50.0, 50.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0
for _ in range(passes):
    V = math.sqrt(VX ** 2 + VY ** 2)
    AX = (0 - K) * V * VX
    AY = (0 - K) * V * VY - G
    VX = AX * DT + VX
    VY = AY * DT + VY
    X = VX * DT + X
    Y = VY * DT + Y
    T = T + DT
    YMAX = float(Y > YMAX) * Y + float(Y <= YMAX) * YMAX
    INAIR = float(Y >= 0)
    FLIGHT = INAIR * DT + FLIGHT
for name in ("V", "AX", "AY", "VX", "VY", "X", "Y", "T", "YMAX", "INAIR", "FLIGHT"):
    print(name, "=", "%.15g" % globals()[name])
