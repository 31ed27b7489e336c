#!/usr/bin/env python3
"""Writes series.csv: three modelled weather years of hourly demand and wind.

The demand of each year is the RTS-79 load shape of ../rts79/load.csv, a
year's level and a slowly wandering weather term; 1992 has a 365th day (the
shape's first day again).  The wind is 400 MW of turbines whose output
follows a wandering wind speed with a daily swing.  Every number comes from
a seeded generator, so the file is the same on every run.
"""
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
YEARS = [(1990, 0.98, 364), (1991, 1.00, 364), (1992, 1.02, 365)]
WIND_MW = 400.0


def shape():
    values = []
    with open(os.path.join(HERE, "..", "rts79", "load.csv")) as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#") and line[0].isdigit():
                values.append(float(line))
    return values


def main():
    random.seed(1979)
    base = shape()
    rows = ["timestamp,weather_year,demand,wind_mw"]
    for year, level, days in YEARS:
        weather = 0.0
        speed = 7.0
        for hour in range(days * 24):
            weather = 0.995 * weather + random.gauss(0.0, 0.004)
            speed = max(0.0, 7.0 + 0.97 * (speed - 7.0) + random.gauss(0.0, 0.8))
            swing = 1.0 + 0.15 * math.sin(2 * math.pi * (hour % 24 - 9) / 24)
            demand = base[hour % len(base)] * level * (1.0 + weather)
            # A power curve: nothing below 3 m/s, rated from 12 m/s on.
            share = min(1.0, max(0.0, (speed * swing - 3.0) / 9.0)) ** 2
            rows.append("%d-%04d,%d,%.1f,%.1f" % (year, hour, year, demand,
                                                  WIND_MW * share))
    with open(os.path.join(HERE, "series.csv"), "w") as f:
        f.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
