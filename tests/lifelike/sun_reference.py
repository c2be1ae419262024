#!/usr/bin/python3
# python3-ephem's sunrise and sunset, one line per place and local date:
# zone latitude longitude year month day rise set (seconds since 1970, or "-").
# With arguments ZONE LATITUDE LONGITUDE YYYY-MM-DD..., those days only.
import datetime
import sys
import zoneinfo

import ephem

PLACES = [  # zone, latitude, longitude: from the equator to 60 degrees, every offset's sign
    ("Europe/Berlin", 52.52, 13.41), ("America/New_York", 40.7142, -74.0064),
    ("Europe/Oslo", 59.91, 10.75), ("America/Anchorage", 60.0, -149.9),
    ("Etc/UTC", -60.0, 0.0), ("America/Punta_Arenas", -53.16, -70.91),
    ("Australia/Sydney", -33.87, 151.21), ("Pacific/Auckland", -41.29, 174.78),
    ("America/Sao_Paulo", -23.55, -46.63), ("Africa/Nairobi", -1.29, 36.82),
    ("Asia/Kolkata", 28.61, 77.21), ("Asia/Tokyo", 35.68, 139.69),
    ("Pacific/Honolulu", 21.31, -157.86), ("Pacific/Kiritimati", 1.87, -157.4),
]
POLAR = [("Arctic/Longyearbyen", 78.22, 15.65), ("Antarctica/McMurdo", -77.85, 166.67)]


def event(observer, rising, start, end):
    observer.date = ephem.Date(start.replace(tzinfo=None))
    try:
        when = (observer.next_rising if rising else observer.next_setting)(ephem.Sun(), use_center=False)
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return "-"
    when = ephem.Date(when).datetime().replace(tzinfo=datetime.timezone.utc)
    return f"{when.timestamp():.0f}" if when < end else "-"


def day(zone, latitude, longitude, date):
    observer = ephem.Observer()
    observer.lat, observer.lon = str(latitude), str(longitude)
    observer.horizon, observer.pressure = "-0:34", 0
    tz, utc = zoneinfo.ZoneInfo(zone), datetime.timezone.utc
    start, end = (datetime.datetime.combine(d, datetime.time(), tz).astimezone(utc)
                  for d in (date, date + datetime.timedelta(days=1)))
    print(zone, latitude, longitude, date.year, date.month, date.day,
          event(observer, True, start, end), event(observer, False, start, end))


if len(sys.argv) > 4:
    for text in sys.argv[4:]:
        day(sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), datetime.date.fromisoformat(text))
    sys.exit(0)
for zone, latitude, longitude in PLACES:
    for n in range(0, 731, 17):
        day(zone, latitude, longitude, datetime.date(2026, 1, 3) + datetime.timedelta(days=n))
for zone, latitude, longitude in POLAR:
    for date in (datetime.date(2026, 12, 21), datetime.date(2027, 6, 21)):
        day(zone, latitude, longitude, date)
