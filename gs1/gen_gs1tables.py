#!/usr/bin/env python3
"""Writes the C++ tables of the gs1 component from their published sources.

  gen_gs1tables.py DICTIONARY NAMES ISO3166_JSON ISO4217_JSON OUTPUT

DICTIONARY is GS1's Barcode Syntax Dictionary (data/gs1-syntax-dictionary.txt;
its header explains the grammar read here), NAMES the Russian names of the
daily AIs (data/ai-names-ru.txt), the JSON files Debian's iso-codes data
(/usr/share/iso-codes/json). Every AI of a range is written out, sorted, so
that a lookup is a binary search over fixed strings.
"""

import json
import re
import sys

LINTERS = [
    "csum", "csumalpha", "gcppos1", "gcppos2", "hasnondigit", "hh", "hhmi", "hyphen",
    "iban", "importeridx", "iso3166", "iso3166999", "iso3166alpha2", "iso4217", "iso5218",
    "latitude", "longitude", "mediatype", "mi", "nonzero", "nozeroprefix", "packagetype",
    "pcenc", "pieceoftotal", "posinseqslash", "ss", "winding", "yesno", "yymmd0", "yymmdd",
    "yyyymmdd", "zero", "couponcode", "couponposoffer",
]
SETS = {"N": "Numeric", "X": "Set82", "Y": "Set39", "Z": "Set64"}
FLAGS = set("*!?\"$%&'()+,-./:;<=>@[\\]^_`{|}~")
COMPONENT = re.compile(r"^(\[)?([NXYZ])(\d*)(?:\.\.(\d+))?(\])?((?:,[a-z0-9]+)*)(\])?$")
MAX_COMPONENTS = 5
MAX_LINTERS = 3


class GrammarError(Exception):
    pass


def parse_component(token):
    m = COMPONENT.match(token)
    if not m:
        raise GrammarError(f"not a component: {token}")
    opened, kind, low, high, closed1, linters, closed2 = m.groups()
    if bool(opened) != bool(closed1 or closed2):
        raise GrammarError(f"unbalanced brackets: {token}")
    if high is not None:
        lo, hi = (int(low) if low else 1), int(high)
    else:
        if not low:
            raise GrammarError(f"no length: {token}")
        lo = hi = int(low)
    names = [n for n in linters.split(",") if n]
    for n in names:
        if n not in LINTERS:
            raise GrammarError(f"unknown linter {n} in {token}")
    if len(names) > MAX_LINTERS:
        raise GrammarError(f"too many linters: {token}")
    return {"set": SETS[kind], "min": lo, "max": hi, "optional": bool(opened), "linters": names}


def gs1_format(components):
    """The data's format as the GS1 General Specifications write it ("N13+X..17"):
    mandatory fixed components of one set as one, optional ones as one part of
    variable length."""
    parts = []  # [kind, set, min, max]
    for c in components:
        kind = "opt" if c["optional"] else "fixed" if c["min"] == c["max"] else "var"
        last = parts[-1] if parts else None
        if last and kind != "var" and last[0] == kind and last[1] == c["set"]:
            last[2] += c["min"]
            last[3] += c["max"]
        else:
            parts.append([kind, c["set"], c["min"], c["max"]])
    letter = {v: k for k, v in SETS.items()}
    out = []
    for kind, cset, lo, hi in parts:
        if kind == "fixed":
            out.append(f"{letter[cset]}{hi}")
        elif kind == "opt" or lo == 1:
            out.append(f"{letter[cset]}..{hi}")
        else:
            out.append(f"{letter[cset]}{lo}..{hi}")
    return "+".join(out)


def expand(ais):
    if "-" not in ais:
        return [ais]
    first, last = ais.split("-")
    if len(first) != len(last) or first[:-1] != last[:-1] or first > last:
        # A range differs in its last digit only (3100-3105, 91-99).
        raise GrammarError(f"range over more than the last digit: {ais}")
    return [str(n).zfill(len(first)) for n in range(int(first), int(last) + 1)]


def parse_line(line):
    """One entry: a list of AIs and what they share, or None for a comment."""
    body, _, title = line.partition("#")
    tokens = body.split()
    if not tokens:
        return None
    ais = expand(tokens.pop(0))
    flags = ""
    if tokens and all(c in FLAGS for c in tokens[0]):
        flags = tokens.pop(0)
    components = []
    while tokens and COMPONENT.match(tokens[0]):
        components.append(parse_component(tokens.pop(0)))
    if not components:
        raise GrammarError(f"no components: {line.strip()}")
    if len(components) > MAX_COMPONENTS:
        raise GrammarError(f"too many components: {line.strip()}")
    seen_optional = False
    for i, c in enumerate(components):
        if seen_optional and not c["optional"]:
            raise GrammarError(f"mandatory after optional: {line.strip()}")
        seen_optional |= c["optional"]
        if c["min"] != c["max"] and i != len(components) - 1:
            raise GrammarError(f"variable length before the last: {line.strip()}")
    attrs = {"req": [], "ex": [], "dlpkey": None}
    for t in tokens:
        key, eq, value = t.partition("=")
        if key == "req":
            attrs["req"].append(value)
        elif key == "ex":
            attrs["ex"].append(value)
        elif key == "dlpkey":
            attrs["dlpkey"] = value if eq else ""
        else:
            raise GrammarError(f"unknown attribute {t}")
    family = ais[0] if len(ais) == 1 else ais[0][:-1] + "n"
    return {
        "ais": ais,
        "family": family,
        "format": gs1_format(components),
        "fixed": "*" in flags,
        "dlattr": "?" in flags,
        "components": components,
        "req": " ".join(attrs["req"]),
        "ex": ",".join(attrs["ex"]),
        "dlpkey": attrs["dlpkey"],
        "title": title.strip(),
    }


def parse_dictionary(text):
    entries = {}
    for number, line in enumerate(text.splitlines(), 1):
        try:
            entry = parse_line(line)
        except GrammarError as e:
            raise GrammarError(f"line {number}: {e}") from None
        if entry is None:
            continue
        for ai in entry["ais"]:
            if ai in entries:
                raise GrammarError(f"line {number}: AI {ai} twice")
            entries[ai] = entry
    ais = sorted(entries)
    for a, b in zip(ais, ais[1:]):
        if b.startswith(a):
            raise GrammarError(f"AI {a} is a prefix of {b}")
    return entries


def parse_names(text):
    names = []
    for line in text.splitlines():
        if line.startswith("#") or not line.strip():
            continue
        pattern, name = line.split("\t", 1)
        names.append((re.compile("^" + pattern.replace("n", "[0-9]") + "$"), name.strip()))
    return names


def c_string(s):
    if s is None:
        return "nullptr"
    out = '"'
    for ch in s:
        if ch in '"\\':
            out += "\\" + ch
        else:
            out += ch
    return out + '"'


def write_tables(entries, names, countries, currencies):
    out = ["// Generated by gs1/gen_gs1tables.py: do not edit.", '#include "gs1/gs1tables.h"', "",
           "namespace Gs1::Tables {", ""]
    out.append("const AiEntry ais[] = {")
    for ai in sorted(entries):
        e = entries[ai]
        name = next((n for p, n in names if p.match(ai)), None)
        comps = []
        for c in e["components"]:
            linters = ", ".join("Linter::" + l for l in c["linters"])
            comps.append("{ Charset::%s, %d, %d, %s, { %s } }"
                         % (c["set"], c["min"], c["max"], "true" if c["optional"] else "false", linters))
        out.append('    { "%s", "%s", "%s", %s, %s, %d, { %s }, %s, %s, %s, %s, %s },' % (
            ai, e["family"], e["format"], "true" if e["fixed"] else "false", "true" if e["dlattr"] else "false",
            len(e["components"]), ", ".join(comps), c_string(e["req"]), c_string(e["ex"]),
            c_string(e["dlpkey"]), c_string(e["title"]), c_string(name)))
    out.append("};")
    out.append("const int aiCount = int(std::size(ais));")
    out.append("")
    out.append("// ISO 3166-1 numeric and alpha-2 codes, ISO 4217 numeric currency codes, sorted.")
    for var, codes, width in (("countryNumeric", sorted(c["numeric"] for c in countries), 4),
                              ("countryAlpha2", sorted(c["alpha_2"] for c in countries), 3),
                              ("currencyNumeric", sorted(c["numeric"] for c in currencies), 4)):
        out.append("const char %s[][%d] = {" % (var, width))
        for i in range(0, len(codes), 12):
            out.append("    " + " ".join('"%s",' % code for code in codes[i:i + 12]))
        out.append("};")
        out.append("const int %sCount = int(std::size(%s));" % (var, var))
    out.append("")
    out.append("} // namespace Gs1::Tables")
    return "\n".join(out) + "\n"


def main(argv):
    dictionary, names, iso3166, iso4217, output = argv[1:6]
    with open(dictionary, encoding="utf-8") as f:
        entries = parse_dictionary(f.read())
    with open(names, encoding="utf-8") as f:
        name_list = parse_names(f.read())
    with open(iso3166, encoding="utf-8") as f:
        countries = json.load(f)["3166-1"]
    with open(iso4217, encoding="utf-8") as f:
        currencies = [c for c in json.load(f)["4217"] if "numeric" in c]
    for pattern, name in name_list:
        if not any(pattern.match(ai) for ai in entries):
            raise GrammarError(f"a name for no AI of the dictionary: {pattern.pattern} {name}")
    text = write_tables(entries, name_list, countries, currencies)
    with open(output, "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    try:
        main(sys.argv)
    except GrammarError as e:
        sys.exit(f"gen_gs1tables.py: {e}")
