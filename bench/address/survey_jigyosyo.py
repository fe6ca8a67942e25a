#!/usr/bin/env python3
"""How the address search does on real business addresses.

Takes the addresses of Japan Post's JIGYOSYO (prefecture + city + town + the rest, as Japan Post writes
them), works out the code each should get from KEN_ALL on its own (by the town's name, without the
search's rules), runs them through the program's search, and counts right answers, choosers, wrong
codes and nothing found.

    python3 bench/address/survey_jigyosyo.py build-rel/bin/lookup_addresses [sample size] [--show N]

The expected code is that of the longest of KEN_ALL's town names in that city that the address's town
and the rest begin with, where KEN_ALL has one code for that name; towns that KEN_ALL splits by numbers
or notes are left out (their answer depends on the rules under test), and so are post-office boxes and
buildings with codes of their own.
"""
import collections
import csv
import io
import random
import re
import subprocess
import sys
import zipfile
from pathlib import Path

DATA = Path(__file__).resolve().parents[2] / "data" / "japanpost"


def rows(zip_name, member, encoding):
    with zipfile.ZipFile(DATA / zip_name) as z:
        text = z.read(member).decode(encoding)
    return list(csv.reader(io.StringIO(text)))


DIGITS = str.maketrans("０１２３４５６７８９〇一二三四五六七八九ヶケ", "0123456789" * 2 + "がが")


def bare(town):
    """A town's name as compared here: 大字, 小字 and a leading 字 are writing, notes are not names, and
    a digit is a digit and ヶ is が however they are written."""
    town = re.sub(r"（.*", "", town)
    town = town.replace("大字", "").replace("小字", "")
    return re.sub(r"^字", "", town).translate(DIGITS)


def expected_codes():
    towns = collections.defaultdict(lambda: collections.defaultdict(set))  # city -> bare town -> codes
    buildings = collections.defaultdict(set)  # city -> bare town + building name
    number_first = {}  # city -> the code for addresses that go on with a number
    for r in rows("utf_ken_all.zip", "utf_ken_all.csv", "utf-8"):
        city, town, code = (r[6], r[7]), r[8], r[2]
        if town == "以下に掲載がない場合":
            continue
        if town.endswith("の次に番地がくる場合"):
            number_first[city] = code
        elif re.search(r"（[０-９]+階）$|（地階・階層不明）$", town):
            buildings[city].add(bare(town))
        else:
            towns[city][bare(town)].add(code)
    return towns, buildings, number_first


def expected(towns, buildings, number_first, city, town, rest):
    """The code KEN_ALL gives, None where it cannot be told without the search's own rules."""
    if not town and re.match(r"[0-9０-９]", rest):
        return number_first.get(city)
    if re.search(r"通.*(上る|下る|上ル|下ル|西入|東入)", town + rest):
        return None  # a Kyoto street before the town
    rest = re.sub(r"^(大字|小字|字)", "", rest).translate(DIGITS)
    text = bare(town) + rest
    if any(b.startswith(bare(town)) and b[len(bare(town)):] in rest for b in buildings[city]):
        return None
    names = [name for name in towns[city] if name and text.startswith(name)]
    if not names:
        return None
    codes = towns[city][max(names, key=len)]
    return next(iter(codes)) if len(codes) == 1 else None


def main():
    lookup = sys.argv[1]
    size = int(sys.argv[2]) if len(sys.argv) > 2 and sys.argv[2].isdigit() else 2000
    show = int(sys.argv[sys.argv.index("--show") + 1]) if "--show" in sys.argv else 0
    towns, buildings, number_first = expected_codes()
    cases = []  # (address, expected code)
    everything = []
    for r in rows("jigyosyo.zip", "JIGYOSYO.CSV", "cp932"):
        prefecture, city, town, rest, kind = r[3], r[4], r[5], r[6], r[10]
        if kind != "0" or "私書箱" in rest:
            continue
        everything.append(prefecture + city + town + rest)
        code = expected(towns, buildings, number_first, (prefecture, city), town, rest)
        if code:
            cases.append((everything[-1], code))
    answers = subprocess.run([lookup], input="\n".join(everything) + "\n", capture_output=True, text=True,
                             check=True).stdout.splitlines()
    kinds = collections.Counter("nothing" if not a.split("\t")[0] else "chooser" if " " in a.split("\t")[0]
                                else "city's code, said" if a.endswith("city") else "one code" for a in answers)
    print(f"all {len(everything)} addresses: " + ", ".join(f"{k} {v}" for k, v in sorted(kinds.items())))
    random.Random(18).shuffle(cases)
    cases = cases[:size]
    answers = subprocess.run([lookup], input="\n".join(a for a, _ in cases) + "\n", capture_output=True,
                             text=True, check=True).stdout.splitlines()
    counts = collections.Counter()
    failures = []
    for (address, code), answer in zip(cases, answers):
        codes, _, note = answer.partition("\t")
        got = codes.split()
        if got == [code]:
            counts["right"] += 1
        elif code in got:
            counts["chooser holding it"] += 1
            failures.append(("chooser", address, code, answer))
        elif not got:
            counts["nothing"] += 1
            failures.append(("nothing", address, code, answer))
        elif len(got) > 1:
            counts["chooser without it"] += 1
            failures.append(("chooser", address, code, answer))
        else:
            counts["wrong, said" if note else "wrong, silent"] += 1
            failures.append(("wrong", address, code, answer))
    print(f"{len(cases)} addresses")
    for key in ("right", "chooser holding it", "chooser without it", "wrong, said", "wrong, silent", "nothing"):
        print(f"  {key:20} {counts[key]:6} {100.0 * counts[key] / max(1, len(cases)):6.2f}%")
    for kind, address, code, answer in failures[:show]:
        print(f"{kind:8} {address} -> {answer!r}, expected {code}")


if __name__ == "__main__":
    main()
