#!/usr/bin/env python3
"""How the address search does on addresses written the way people write them.

Every town of Japan Post's KEN_ALL, and the business addresses of JIGYOSYO, rewritten in the forms
people use: the 郡 left out, the prefecture's 都/府/県 left out, the prefecture left out, numbers in the
other script (北三十二条 as 北32条 or 北３２条), half-width katakana, each old or variant form of a kanji,
a variation selector or a compatibility ideograph, a town's 町 left out or written 丁 for 町. The code
each should get is known by construction: the town's own. Each form is run through the program's
search and counted: right, a chooser holding the code, the city's code (said), nothing, and wrong.

    python3 bench/address/survey_forms.py build-rel/bin/lookup_addresses [--show N] [--form NAME]

A town is taken when KEN_ALL gives its name one code in its city and its name is no beginning of
another town's there; towns split by numbers or notes, buildings and the cities' own codes are left
out, since their answer depends on the rules the other tables test.
"""
import collections
import re
import subprocess
import sys
import unicodedata
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import survey_jigyosyo as jigyosyo  # noqa: E402

ROOT = Path(__file__).resolve().parents[2]
KANJI_DIGITS = "〇一二三四五六七八九"


def variant_classes():
    """The kanji folded together, by the form compared, as the program's own table lists them."""
    text = (ROOT / "src" / "address" / "KanjiVariants.cpp").read_text(encoding="utf-8")
    classes = collections.defaultdict(set)
    for a, b in re.findall(r"\{u'\\u([0-9A-F]{4})', u'\\u([0-9A-F]{4})'\}", text):
        classes[chr(int(b, 16))].update({chr(int(a, 16)), chr(int(b, 16))})
    return {c: sorted(members - {c}) for members in classes.values() for c in members}


def kanji_number(text):
    """A number as kanji: 32 → 三十二, 100 → 百."""
    n = int(text)
    if n == 0 or n >= 1000:
        return "".join(KANJI_DIGITS[int(d)] for d in text)
    out = ""
    for value, unit in ((100, "百"), (10, "十")):
        if n >= value:
            out += ("" if n // value == 1 else KANJI_DIGITS[n // value]) + unit
            n %= value
    return out + (KANJI_DIGITS[n] if n else "")


def arabic(text, wide):
    """Kanji numbers as digits: 北三十二条 → 北32条 (or ３２ where wide)."""
    def value(m):
        s, n, pending = m.group(), 0, 0
        for ch in s:
            if ch in "十百":
                n += (pending or 1) * (10 if ch == "十" else 100)
                pending = 0
            else:
                pending = pending * 10 + KANJI_DIGITS.index(ch)
        digits = str(n + pending)
        return digits.translate(str.maketrans("0123456789", "０１２３４５６７８９")) if wide else digits
    return re.sub(f"[{KANJI_DIGITS}十百]+", value, text)


HALF = {unicodedata.normalize("NFKC", chr(c)): chr(c) for c in range(0xFF66, 0xFF9E)}


def half_width(text):
    """Katakana as older systems export it: ｹ, ﾉ, ｶﾞ."""
    out = []
    for ch in text:
        base = unicodedata.normalize("NFD", ch)
        if base[0] in HALF:
            out.append(HALF[base[0]] + {"\u3099": "ﾞ", "\u309a": "ﾟ"}.get(base[1:], base[1:]))
        else:
            out.append(ch)
    return "".join(out)


COMPATIBILITY = {}
for c in range(0xF900, 0xFB00):
    n = unicodedata.normalize("NFKC", chr(c))
    if n != chr(c) and len(n) == 1:
        COMPATIBILITY.setdefault(n, chr(c))


def without_district(city):
    m = re.match(r"^(.+?郡)(.+[町村])$", city)
    return m.group(2) if m else None


def short_prefecture(prefecture):
    return prefecture[:-1] if prefecture[-1] in "都府県" else None


def forms(prefecture, city, town, rest, variants):
    """The rewritten addresses of one town: (form, address)."""
    bare_city = without_district(city)
    if bare_city:
        yield "郡 left out", prefecture + bare_city + town + rest
        yield "郡 and prefecture left out", bare_city + town + rest
    if short_prefecture(prefecture):
        yield "都/府/県 left out", short_prefecture(prefecture) + city + town + rest
    yield "prefecture left out", city + town + rest
    if re.search(f"[{KANJI_DIGITS}十百]", town):
        yield "kanji numbers as digits", prefecture + city + arabic(town, False) + rest
        yield "kanji numbers as full-width digits", prefecture + city + arabic(town, True) + rest
    if re.search("[０-９]", town):
        digits = re.sub("[０-９]+", lambda m: kanji_number(unicodedata.normalize("NFKC", m.group())), town)
        yield "digits as kanji numbers", prefecture + city + digits + rest
    if re.search("[ァ-ヺ]", city + town):
        yield "half-width katakana", prefecture + half_width(city + town) + rest
    name = city + town
    for i, ch in enumerate(name):
        for other in variants.get(ch, ()):
            yield "old or variant kanji", prefecture + name[:i] + other + name[i + 1:] + rest
        if ch in COMPATIBILITY:
            yield "compatibility ideograph", prefecture + name[:i] + COMPATIBILITY[ch] + name[i + 1:] + rest
    kanji = [i for i, ch in enumerate(name) if unicodedata.name(ch, "").startswith("CJK")]
    if kanji:
        yield "variation selector", prefecture + name[:kanji[0] + 1] + "\U000E0100" + name[kanji[0] + 1:] + rest


def town_cases(variants):
    """(form, address, code) for each town of KEN_ALL, the town's name as KEN_ALL writes it."""
    fold = str.maketrans({k: min(v + [k]) for k, v in variants.items()} | {"ノ": "の"})

    def same(text):
        return text.translate(fold)

    towns, _, _ = jigyosyo.expected_codes()
    written = {}
    for r in jigyosyo.rows("utf_ken_all.zip", "utf_ken_all.csv", "utf-8"):
        written.setdefault((r[6], r[7], jigyosyo.bare(r[8])), re.sub(r"（.*", "", r[8]))
    for (prefecture, city), names in towns.items():
        for name, codes in names.items():
            if not name or len(codes) != 1 or any(o != name and o.startswith(name) for o in names):
                continue
            code = next(iter(codes))
            town = written.get((prefecture, city, name), name)
            if "大字" in town or "字" in town[:1]:
                continue
            rest = "1-2" if not re.search(r"[0-9０-９〇一二三四五六七八九十]$", town) else "の1"
            yield "as Japan Post writes it", prefecture + city + town + rest, code
            for form, address in forms(prefecture, city, town, rest, variants):
                yield form, address, code
            # Only where the town so written is not another town's name, nor begins with one.
            def clashes(written_name):
                text = same(jigyosyo.bare(written_name))
                return any(o != name and (same(o).startswith(text) or (text + rest).startswith(same(o)))
                           for o in names)
            for cut, end in (("town's 町 left out", "町"), ("town's 村 left out", "村")):
                if town.endswith(end) and len(town) > 2 and not clashes(town[:-1]):
                    yield cut, prefecture + city + town[:-1] + rest, code
            if town.endswith("丁") and len(town) > 2 and not clashes(town[:-1] + "町"):
                yield "丁 written 町", prefecture + city + town[:-1] + "町" + rest, code


def business_cases(variants):
    """(form, address, code) for JIGYOSYO's business addresses whose code the town alone tells."""
    towns, buildings, number_first = jigyosyo.expected_codes()
    for r in jigyosyo.rows("jigyosyo.zip", "JIGYOSYO.CSV", "cp932"):
        prefecture, city, town, rest, kind = r[3], r[4], r[5], r[6], r[10]
        if kind != "0" or "私書箱" in rest or not town:
            continue
        code = jigyosyo.expected(towns, buildings, number_first, (prefecture, city), town, rest)
        if code:
            for form, address in forms(prefecture, city, town, rest, variants):
                yield "business: " + form, address, code


def main():
    lookup = sys.argv[1]
    show = int(sys.argv[sys.argv.index("--show") + 1]) if "--show" in sys.argv else 0
    only = sys.argv[sys.argv.index("--form") + 1] if "--form" in sys.argv else None
    variants = variant_classes()
    cases = [c for c in list(town_cases(variants)) + list(business_cases(variants)) if not only or c[0] == only]
    answers = subprocess.run([lookup], input="\n".join(a for _, a, _ in cases) + "\n", capture_output=True,
                             text=True, check=True).stdout.splitlines()
    counts = collections.defaultdict(collections.Counter)
    failures = collections.defaultdict(list)
    for (form, address, code), answer in zip(cases, answers):
        codes, _, note = answer.partition("\t")
        got = codes.split()
        verdict = ("right" if got == [code] else "chooser" if code in got else "nothing" if not got
                   else "chooser without it" if len(got) > 1 else "city's code" if note else "wrong")
        counts[form][verdict] += 1
        if verdict != "right":
            failures[form].append((verdict, address, code, answer))
    columns = ("right", "chooser", "chooser without it", "city's code", "nothing", "wrong")
    print(f"| form | tried | {' | '.join(columns)} |")
    print("|---|---:|" + "---:|" * len(columns))
    for form, c in counts.items():
        tried = sum(c.values())
        print(f"| {form} | {tried} | " + " | ".join(
            f"{c[k]} ({100.0 * c[k] / tried:.2f}%)" if c[k] and k == "right" else str(c[k]) for k in columns) + " |")
    for form, rows in failures.items():
        for verdict, address, code, answer in rows[:show]:
            print(f"{form}: {verdict:11} {address} -> {answer!r}, expected {code}")


if __name__ == "__main__":
    main()
