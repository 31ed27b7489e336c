#!/usr/bin/env python3
"""Writes load.csv, the 8736 hourly loads of the IEEE Reliability Test
System (1979), from its published weekly, daily and hourly percentages.

Each load is the exact decimal product 2850 x weekly/100 x daily/100 x
hourly/100, written in full, so that the program reads the nearest double
to the published model's value.  Run it from anywhere; it writes beside
itself.
"""
from decimal import Decimal
from pathlib import Path

ANNUAL_PEAK = Decimal(2850)

WEEKLY = """
86.2 90.0 87.8 83.4 88.0 84.1 83.2 80.6 74.0 73.7 71.5 72.7 70.4
75.0 72.1 80.0 75.4 83.7 87.0 88.0 85.6 81.1 90.0 88.7 89.6 86.1
75.5 81.6 80.1 88.0 72.2 77.6 80.0 72.9 72.6 70.5 78.0 69.5 72.4
72.4 74.3 74.4 80.0 88.1 88.5 90.9 94.0 89.0 94.2 97.0 100.0 95.2
""".split()

# Monday first.
DAILY = "93 100 98 96 94 77 75".split()

# Hour 1 (midnight to 1 am) to hour 24; columns: winter weekday, winter
# weekend, summer weekday, summer weekend, spring/fall weekday, spring/fall
# weekend.
HOURLY = """
67 78 64 74 63 75
63 72 60 70 62 73
60 68 58 66 60 69
59 66 56 65 58 66
59 64 56 64 59 65
60 65 58 62 65 65
74 66 64 62 72 68
86 70 76 66 85 74
95 80 87 81 95 83
96 88 95 86 99 89
96 90 99 91 100 92
95 91 100 93 99 94
95 90 99 93 93 91
95 88 100 92 92 90
93 87 100 91 90 90
94 87 97 91 88 86
99 91 96 92 90 85
100 100 96 94 92 88
100 99 93 95 96 92
96 97 92 95 98 100
91 94 92 100 96 97
83 92 93 93 90 95
73 87 87 88 80 90
63 81 72 80 70 85
"""
HOURLY_ROWS = [row.split() for row in HOURLY.strip().splitlines()]


def season(week):
    """Column offset of the week's season: winter 0, summer 2, else 4."""
    if week <= 8 or week >= 44:
        return 0
    if 18 <= week <= 30:
        return 2
    return 4


def loads():
    hundred = Decimal(100)
    for week in range(1, 53):
        weekly = Decimal(WEEKLY[week - 1]) / hundred
        for day in range(7):
            daily = Decimal(DAILY[day]) / hundred
            column = season(week) + (1 if day >= 5 else 0)
            for hour in range(24):
                hourly = Decimal(HOURLY_ROWS[hour][column]) / hundred
                yield ANNUAL_PEAK * weekly * daily * hourly


def main():
    values = list(loads())
    assert len(values) == 8736
    assert round(sum(values)) == 15297075, sum(values)
    assert max(values) == ANNUAL_PEAK
    lines = ["# IEEE RTS-79 hourly load, MW: 52 weeks x 7 days (Monday first)"
             " x 24 hours.", "# Written by make_load.py; do not edit.",
             "load_mw"]
    lines += [format(value.normalize(), "f") for value in values]
    Path(__file__).with_name("load.csv").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
