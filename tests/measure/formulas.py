#!/usr/bin/env python3
"""Independent check of the program's distance, bearing and area formulas.

Written from the formulas' mathematical description, not from the C++ code,
so a slip in either shows when the C++ test compares with the table.

- Distance between two points given in seconds of arc: the flat
  approximation in which one minute of arc of latitude is one nautical mile
  (1852 m), so one second is 1852/60 m; a second of longitude is shortened by
  the cosine of the mean latitude of the two points. The distance is the
  hypotenuse of the two legs, in metres.
- Bearing: degrees clockwise from north of the same two legs (the east leg
  shortened by the cosine of the mean latitude): north 0, east 90, south 180,
  west 270; a point on longitude 0 or the equator is taken like any other.
- Area of a polygon: half the absolute value of the cross-product sum over
  its vertices in order (the shoelace formula), the polygon closed implicitly.

The angle conversions use pi = 3.14159265358979, as the program does.
Writes formula_table.csv beside this script.
"""
import csv
import math
import os

PI = 3.14159265358979
METRES_PER_SECOND = 1852.0 / 60.0


def dms(deg, minutes, seconds):
    return deg * 3600.0 + minutes * 60.0 + seconds


def distance(lon1, lat1, lon2, lat2):
    mean_latitude = (lat1 + lat2) / 2.0 / 3600.0 * PI / 180.0
    east = (lon2 - lon1) * METRES_PER_SECOND * math.cos(mean_latitude)
    north = (lat2 - lat1) * METRES_PER_SECOND
    return math.hypot(east, north)


def bearing(lon1, lat1, lon2, lat2):
    mean_latitude = (lat1 + lat2) / 2.0 / 3600.0 * PI / 180.0
    east, north = (lon2 - lon1) * math.cos(mean_latitude), lat2 - lat1
    if east == 0.0:
        return 0.0 if north > 0.0 else 180.0
    if north == 0.0:
        return 270.0 if east < 0.0 else 90.0
    slope = math.atan(north / east) * 180.0 / PI
    return 90.0 - slope if east > 0.0 else 270.0 - slope


def area(points):
    total = 0.0
    for i in range(len(points)):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % len(points)]
        total += x1 * y2 - x2 * y1
    return abs(total) / 2.0


# Pairs of places across Japan, longitude and latitude in degrees, minutes, seconds.
PLACES = {
    "Sapporo": ((141, 21, 16.0), (43, 3, 52.0)),
    "Sendai": ((140, 52, 19.0), (38, 16, 6.0)),
    "Niigata": ((139, 1, 25.0), (37, 54, 58.0)),
    "Tokyo": ((139, 41, 30.0), (35, 41, 22.0)),
    "Nagoya": ((136, 54, 22.0), (35, 10, 52.0)),
    "Kanazawa": ((136, 37, 31.0), (36, 33, 40.0)),
    "Osaka": ((135, 31, 12.0), (34, 41, 11.0)),
    "Hiroshima": ((132, 27, 34.0), (34, 23, 46.0)),
    "Kochi": ((133, 31, 52.0), (33, 33, 33.0)),
    "Fukuoka": ((130, 24, 6.0), (33, 36, 23.0)),
    "Kagoshima": ((130, 33, 27.0), (31, 33, 37.0)),
    "Naha": ((127, 40, 52.0), (26, 12, 44.0)),
}
PAIRS = [
    ("Tokyo", "Osaka"), ("Sapporo", "Sendai"), ("Sendai", "Tokyo"), ("Niigata", "Kanazawa"),
    ("Nagoya", "Osaka"), ("Osaka", "Hiroshima"), ("Hiroshima", "Fukuoka"), ("Kochi", "Osaka"),
    ("Fukuoka", "Kagoshima"), ("Kagoshima", "Naha"), ("Naha", "Sapporo"), ("Tokyo", "Nagoya"),
]

# Polygons in picture units (a square, a triangle, an L shape, a clockwise quad).
POLYGONS = [
    [(0, 0), (10, 0), (10, 10), (0, 10)],
    [(0, 0), (4, 0), (0, 3)],
    [(0, 0), (6, 0), (6, 2), (2, 2), (2, 5), (0, 5)],
    [(0, 0), (0, 7.5), (12.25, 7.5), (12.25, 0)],
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "formula_table.csv"), "w", newline="") as out:
        writer = csv.writer(out, lineterminator="\n")
        writer.writerow(["kind", "lon1", "lat1", "lon2", "lat2", "distance_m", "bearing_deg"])
        for a, b in PAIRS:
            lon1, lat1 = (dms(*PLACES[a][0]), dms(*PLACES[a][1]))
            lon2, lat2 = (dms(*PLACES[b][0]), dms(*PLACES[b][1]))
            writer.writerow(["lonlat", repr(lon1), repr(lat1), repr(lon2), repr(lat2),
                             repr(distance(lon1, lat1, lon2, lat2)), repr(bearing(lon1, lat1, lon2, lat2))])
        for polygon in POLYGONS:
            flat = ";".join(f"{x!r} {y!r}" for x, y in polygon)
            writer.writerow(["polygon", flat, "", "", "", repr(area(polygon)), ""])


if __name__ == "__main__":
    main()
