#!/usr/bin/env python3
"""Derives bench/data/foods.tsv, the food catalogue of the large benchmark database, from the
public-domain USDA National Nutrient Database, Release 21 (FOOD_DES.txt, ABBREV.txt and
WEIGHT.txt). The generator reads only foods.tsv; this script is kept to show how it was made
and to make it again:

    python3 bench/data/make_foods.py /path/to/usda-sr21 > bench/data/foods.tsv

Each food gets the first household measure that is one of Mealwright's standard units, and
meat, fish and cheese also an "oz" entry; a few also a "g" entry. Energy per unit =
kcal per 100 g x grams of the measure / 100. Fruit and vegetable servings are cup-equivalents,
taken as grams / 150 (raw leaves count half). Brand-name products are left out, except a few
meal-replacement shakes and bars, which get plain names and the supplement flag; the group
"Meals, Entrees and Side Dishes" gets the entree flag.

Output: one food a line, tab-separated:
group, food, units, kcal per unit, vegetable servings, fruit servings, entree, supplement.
"""
import re
import sys
from pathlib import Path

# How many foods to take from each food group, spread evenly over the group.
QUOTAS = {
    "0100": 50, "0400": 15, "0500": 35, "0600": 40, "0700": 25, "0800": 40, "0900": 75,
    "1000": 20, "1100": 105, "1200": 25, "1300": 30, "1400": 40, "1500": 30, "1600": 30,
    "1700": 8, "1800": 70, "1900": 40, "2000": 30, "2100": 35, "2200": 30, "2500": 35,
}

# Meal replacements: a plain name for a branded product.
SUPPLEMENTS = {
    "16152": "Meal-replacement shake, with fiber",
    "43528": "Meal-replacement shake, high-calorie",
    "25004": "Meal-replacement bar, chewy chocolate peanut",
    "25005": "Meal-replacement bar, multigrain crunch",
    "25006": "Meal-replacement bar, double chocolate nut",
    "25008": "Meal-replacement bar, honey nut oat",
    "25015": "Meal-replacement bar, protein, caramel nut",
    "25016": "Meal-replacement bar, energy",
    "25017": "Meal-replacement bar, chocolate",
}

# Foods nobody eats as they are.
LEFT_OUT = re.compile(
    r"\b(dry mix|unprepared|dehydrated|powder|concentrate|raw, (?!.*(fruit|leaves))|"
    r"frozen, unheated|uncooked|not reconstituted|baking|shortening|flour|lard|tallow|"
    r"separable fat|fat only|industrial|infant|baby|mechanically)\b",
    re.IGNORECASE,
)
MEAT_GROUPS = {"0500", "1000", "1300", "1500", "1700"}
COOKED = re.compile(r"\b(cooked|roasted|broiled|braised|baked|grilled|fried|stewed|smoked|canned|pan-fried|simmered)\b",
                    re.IGNORECASE)
BRAND = re.compile(r"[A-Z]{3,}")

UNIT_WORDS = [
    (re.compile(r"^fl oz\b"), "fl oz"),
    (re.compile(r"^oz\b"), "oz"),
    (re.compile(r"^cup\b"), "cup"),
    (re.compile(r"^(tbsp|tablespoon)\b"), "tbsp"),
    (re.compile(r"^tsp\b"), "tsp"),
    (re.compile(r"^slices?\b"), "slice"),
    (re.compile(r"^pieces?\b"), "piece"),
    (re.compile(r"^serving\b"), "serving"),
    (re.compile(r"^bar\b"), "bar"),
    (re.compile(r"^packet\b"), "packet"),
    (re.compile(r"^(medium|large|small|fruit|each|item|sandwich|burrito|pie|patty|container|cookie|"
                r"muffin|bagel|roll|egg|potato|pastry|fillet|breast|chop|drumstick|thigh|wing|steak)\b"), "each"),
]


def fields(line):
    return [f.strip("~") for f in line.rstrip("\r\n").split("^")]


def read(folder, name):
    with open(Path(folder) / name, encoding="latin-1") as f:
        return [fields(line) for line in f if line.strip()]


def unit_of(description):
    text = description.strip().lower()
    for pattern, unit in UNIT_WORDS:
        if pattern.search(text):
            return unit
    return None


def plain_name(text, limit=60):
    text = re.sub(r"\s+", " ", text).strip()
    if len(text) <= limit:
        return text
    cut = text.rfind(",", 0, limit)
    if cut <= 20:
        cut = text.rfind(" ", 0, limit)
    return text[:cut].rstrip(" ,")


def number(x):
    text = f"{x:.2f}".rstrip("0").rstrip(".")
    return text if text else "0"


def main(folder):
    groups, names = {}, {}
    for f in read(folder, "FOOD_DES.txt"):
        groups[f[0]] = f[1]
        names[f[0]] = f[2]
    kcal = {f[0]: float(f[3]) for f in read(folder, "ABBREV.txt") if f[3]}
    measures = {}
    for w in read(folder, "WEIGHT.txt"):
        ndb, amount, desc, grams = w[0], float(w[2] or 0), w[3], float(w[4] or 0)
        if amount > 0 and grams > 0:
            measures.setdefault(ndb, []).append((desc, grams / amount))

    def entries(ndb, name, group):
        unit = grams = None
        for desc, g in measures.get(ndb, []):
            unit = unit_of(desc)
            if unit:
                grams = g
                break
        if not unit:
            return []
        out = [(unit, grams)]
        if group in MEAT_GROUPS | {"0100"} and unit != "oz" and ("cheese" in name.lower() or group != "0100"):
            out.append(("oz", 28.35))
        if int(ndb) % 7 == 0 and unit != "g":
            out.append(("g", 1.0))
        return out

    rows, seen = [], set()

    def add(group, name, unit, grams, ndb, entree, supplement):
        key = (name.lower(), unit)
        if key in seen:
            return
        seen.add(key)
        per_unit = kcal[ndb] * grams / 100
        servings = min(grams / 150, 3.0)
        if "raw" in name.lower() and re.search(r"lettuce|spinach|greens|cabbage|kale", name, re.I):
            servings /= 2
        veg = servings if group == "1100" else 0
        fruit = servings if group == "0900" else 0
        rows.append((group, name, unit, number(per_unit), number(veg), number(fruit),
                     "1" if entree else "0", "1" if supplement else "0"))

    for group, quota in QUOTAS.items():
        candidates = []
        for ndb, g in groups.items():
            name = names[ndb]
            if g != group or ndb not in kcal or ndb in SUPPLEMENTS:
                continue
            if BRAND.search(name) or LEFT_OUT.search(name):
                continue
            if group in MEAT_GROUPS and not COOKED.search(name):
                continue
            if entries(ndb, name, group):
                candidates.append(ndb)
        candidates.sort()
        step = max(len(candidates) / quota, 1.0)
        picked = [candidates[int(i * step)] for i in range(min(quota, len(candidates)))]
        for ndb in picked:
            name = plain_name(names[ndb])
            for unit, grams in entries(ndb, name, group):
                add(group, name, unit, grams, ndb, group == "2200", False)

    for ndb, name in SUPPLEMENTS.items():
        for unit, grams in entries(ndb, name, groups[ndb]):
            add("2500" if groups[ndb] == "2500" else "1400", name, unit, grams, ndb, False, True)

    out = sys.stdout
    out.write("# Derived from the USDA National Nutrient Database, Release 21 (public domain) by make_foods.py.\n")
    out.write("# group\tfood\tunits\tkcal per unit\tvegetable servings\tfruit servings\tentree\tsupplement\n")
    for row in rows:
        out.write("\t".join(row) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make_foods.py FOLDER-WITH-THE-SR21-FILES > foods.tsv")
    main(sys.argv[1])
