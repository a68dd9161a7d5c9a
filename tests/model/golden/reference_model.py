#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A second, independent implementation of the firm's quarter model and its
accounting, written from the game's rules, used to produce the expected rows
of the golden scenario. It keeps the game database as plain lists and stores
every value the way the game does: rounded, written as text with at most 15
significant digits, and read back as a number.

Run it to regenerate the expected files:  python3 reference_model.py
"""
import csv
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def text(x):
    """A number as the game writes it: up to 15 significant digits, point as
    separator, E-notation (1E-05) outside the plain range."""
    if x == 0:
        return "0"
    s = "%.15g" % x
    if "e" in s:
        mantissa, exponent = s.split("e")
        sign = "-" if exponent[0] == "-" else "+"
        digits = exponent[1:].lstrip("0")
        s = mantissa + "E" + sign + digits.rjust(2, "0")
    return s


def stored(x):
    return float(text(x))


def round_even(x, d=0):
    return round(x * 10 ** d) / 10 ** d if d else float(round(x))


def up_at_half(x):
    import math
    return math.floor(x + 0.5)


def lookup(x, xs, ys):
    if x <= xs[0]:
        return ys[0]
    if x >= xs[-1]:
        return ys[-1]
    i = 0
    while not x < xs[i]:
        i += 1
    return ys[i - 1] + (x - xs[i - 1]) * (ys[i] - ys[i - 1]) / (xs[i] - xs[i - 1])


QUALITY = ([5, 7.5, 10, 12.5, 15, 17.5, 20], [1.1, 1.1, 1.0, 0.85, 0.7, 0.6, 0.55])
COMPLAINTS = ([0.5, 0.75, 1.0, 1.25], [4, 2, 1, 0.5])
HIRING = ([0.5, 1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0],
          [0.01, 0.0258, 0.06, 0.1, 0.135, 0.17, 0.185, 0.2])
ORDERS = ([0, 0.5, 1.0, 1.5], [0, 500, 1000, 1500])

STATE = ["PT", "PTT", "PFT", "POQ", "POC", "PINV", "POBL", "PP1", "PP2", "PT1", "PT2",
         "PQ1", "PQ2", "PHR", "PTCT", "PQR", "PPR", "POR", "POFR"]


def third_order(inp, s1, s2, out, delay):
    k = 0.375 / delay
    s1 = s1 + (inp - s1) * k
    s2 = s2 + (s1 - s2) * k
    out = out + (s2 - out) * k
    return s1, s2, out


def quarter(row):
    """Simulates the quarter from a PLIO row; returns the trace rows and the
    next PLIO row, both as stored."""
    n = row["PNPLPD"]
    v = {k: row[k] for k in STATE}
    ord_, hrd = (row["PORD"] or 0, row["PHRD"] or 0) if n > 0 else (0, 0)
    t = 0.0
    trace, nxt = [], None
    for step in range(1, 26):
        eff = v["PT"] - 0.5 * v["PTT"]
        aq = lookup(v["PPR"] / eff, *QUALITY)
        ic = lookup(v["POQ"] / 1, *COMPLAINTS)
        hf = lookup(v["POC"], *HIRING)
        io = lookup(v["POQ"] / 1, *ORDERS)
        v["POR"] = io * (1 + 0.2)
        if n == 0:
            dh, dp = 3.3, 1000
            v["PHR"] = (v["PT"] + v["PTT"]) * hf
        else:
            dp, dh = ord_ / 3, hrd / 3
            v["PHR"] = v["PFT"] / 2
        v["PP1"], v["PP2"], v["PPR"] = third_order(dp, v["PP1"], v["PP2"], v["PPR"], 3)
        v["PT1"], v["PT2"], v["PTCT"] = third_order(v["PHR"], v["PT1"], v["PT2"], v["PTCT"], 3)
        v["PQ1"], v["PQ2"], v["PQR"] = third_order(v["PTCT"], v["PQ1"], v["PQ2"], v["PQR"], 36)
        v["POFR"] = v["PINV"] if v["PINV"] <= v["POBL"] else v["POBL"]
        trace.append({
            "ENPLPD": n, "ETIME": stored(t), "EAQ": stored(round_even(aq, 2)),
            "EOQ": stored(round_even(v["POQ"], 2)), "EOC": stored(round_even(v["POC"], 2)),
            "ET": stored(round_even(v["PT"])), "ETT": stored(round_even(v["PTT"])),
            "EINV": stored(v["PINV"]), "EOBL": stored(v["POBL"]),
            "EHR": stored(round_even(v["PHR"], 2)), "EQR": stored(round_even(v["PQR"], 1)),
            "EPR": stored(v["PPR"]), "EOR": stored(v["POR"]), "EOFR": stored(v["POFR"]),
        })
        v["PTT"] += (v["PHR"] - v["PTCT"]) * 0.125
        v["PT"] += (v["PTCT"] - v["PQR"]) * 0.125
        v["POQ"] = v["POQ"] + (aq - v["POQ"]) * 0.125 / 6
        v["POC"] = v["POC"] + (ic - v["POC"]) * 0.125 / 2
        v["PINV"] += (v["PPR"] - v["POFR"]) * 0.125
        v["POBL"] += (v["POR"] - v["POFR"]) * 0.125
        v["PFT"] += (dh - v["PHR"]) * 0.125
        for k in ["PTT", "PT", "PFT", "PINV", "POBL"]:
            v[k] = max(v[k], 0.0)
        if step == 24:
            digits = {"PT": None, "PTT": None, "PFT": 2, "PT1": 2, "PT2": 2, "PQ1": 2,
                      "PQ2": 2, "PHR": 2, "PTCT": 2, "PQR": 2}
            nxt = {"PNPLPD": n + 1, "PORD": None, "PHRD": None, "PRORD": None, "PRHRD": None}
            for k in STATE:
                d = digits.get(k, 7)
                nxt[k] = stored(v[k] if d is None else round_even(v[k], d))
        t += 0.125
    return trace, nxt


def accounts(n, trace, previous_total):
    s = {k: 0.0 for k in ["ET", "ETT", "EOQ", "EOC", "EINV", "EOBL", "EHR", "EQR", "EPR",
                          "EOR", "EOFR"]}
    for r in trace[:24]:
        for k in s:
            s[k] += r[k]
    hc = up_at_half(s["EHR"] / 8 * 100)
    qc = up_at_half(s["EQR"] / 8 * 100)
    sc = up_at_half(s["ET"] / 24 * 60)
    ttc = up_at_half(s["ETT"] / 24 * 30)
    insc = hc + qc + sc + ttc
    pc = 4000 + up_at_half(s["EPR"] / 8 * 2500 / 1000)
    invc = up_at_half(s["EINV"] / 24 * 400 / 1000)
    ouc = up_at_half(s["EOBL"] / 24 * 400 / 1000)
    tc = ouc + invc + pc + insc
    te = up_at_half(s["EOFR"] / 8 * 7000 / 1000)
    vg = te - tc
    tvg = vg + previous_total
    return {
        "ZNPLPD": n + 1, "ZOQ": stored(round_even(s["EOQ"] / 24, 2)),
        "ZOC": stored(round_even(s["EOC"] / 24, 2)), "ZT": stored(s["ET"] / 24),
        "ZTT": stored(s["ETT"] / 24), "ZINV": round_even(s["EINV"] / 24),
        "ZOBL": round_even(s["EOBL"] / 24), "ZHR": round_even(s["EHR"] / 8),
        "ZQR": round_even(s["EQR"] / 8), "ZPR": round_even(s["EPR"] / 8),
        "ZOR": round_even(s["EOR"] / 8), "ZOFR": round_even(s["EOFR"] / 8),
        "ZTE": te, "ZTC": tc, "ZPC": pc, "ZOUC": ouc, "ZINVC": invc, "ZINSC": insc,
        "ZHC": hc, "ZQC": qc, "ZSC": sc, "ZTTC": ttc, "ZVG": vg, "ZTVG": tvg,
        "ZCVG": round_even(tvg / (n + 1)),
    }


def play(decisions):
    plio = [{"PNPLPD": 0, "PT": 100.0, "PTT": 10.0, "PFT": 0.0, "POQ": 1.0, "POC": 1.0,
             "PINV": 1000.0, "POBL": 1000.0, "PP1": 1000.0, "PP2": 1000.0, "PT1": 2.84,
             "PT2": 2.84, "PQ1": 2.84, "PQ2": 2.84, "PHR": 2.84, "PTCT": 2.84, "PQR": 2.84,
             "PPR": 1000.0, "POR": 1200.0, "POFR": 1000.0,
             "PORD": None, "PHRD": None, "PRORD": None, "PRHRD": None}]
    pldi, pled = [], []

    def run():
        nonlocal pled
        trace, nxt = quarter(plio[-1])
        pled = trace
        plio.append(nxt)
        n = plio[-2]["PNPLPD"]
        pldi.append(accounts(n, trace, pldi[-1]["ZTVG"] if n else 0))

    run()  # a new game is re-initialised: the first quarter on the default targets
    for production, hiring in decisions:
        last = plio[-1]
        last["PORD"] = last["PRORD"] = production
        last["PHRD"] = last["PRHRD"] = hiring
        run()
    return plio, pldi, pled


def write(name, rows):
    with open(os.path.join(HERE, name), "w", newline="") as f:
        w = csv.writer(f, lineterminator="\n")
        head = list(rows[0].keys())
        w.writerow(head)
        for r in rows:
            w.writerow(["" if r[k] is None else text(r[k]) for k in head])


def main():
    with open(os.path.join(HERE, "decisions.csv")) as f:
        decisions = [(int(r["production"]), int(r["hiring"])) for r in csv.DictReader(f)]
    plio, pldi, pled = play(decisions)
    write("plio.csv", plio)
    write("pldi.csv", pldi)
    write("pled.csv", pled)


if __name__ == "__main__":
    main()
