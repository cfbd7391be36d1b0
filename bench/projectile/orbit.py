#!/usr/bin/env python3
"""The orbit worksheet's arithmetic as a plain script, in floats, step for
step as the equations apply it: a second peer with square roots and
comparisons (see compare-with-python.sh)."""
import math
import sys

passes = int(sys.argv[1]) if len(sys.argv) > 1 else 20000
GM, DT = 1.0, 0.001
R, R3, AX, AY, VX, VY, X, Y = 0.0, 0.0, 0.0, 0.0, 0.0, 1.1, 1.0, 0.0
RMIN, RMAX, UPPER, SPEED = 1.0, 1.0, 1.0, 0.0
for _ in range(passes):
    R = math.sqrt(X ** 2 + Y ** 2)
    R3 = R ** 2 * R
    AX = (0 - GM) * X / R3
    AY = (0 - GM) * Y / R3
    VX = AX * DT + VX
    VY = AY * DT + VY
    X = VX * DT + X
    Y = VY * DT + Y
    RMIN = float(R < RMIN) * R + float(R >= RMIN) * RMIN
    RMAX = float(R > RMAX) * R + float(R <= RMAX) * RMAX
    UPPER = float(Y >= 0)
    SPEED = math.sqrt(VX ** 2 + VY ** 2)
for name in ("R", "R3", "AX", "AY", "VX", "VY", "X", "Y", "RMIN", "RMAX", "UPPER", "SPEED"):
    print(name, "=", "%.15g" % globals()[name])
