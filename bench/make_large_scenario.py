#!/usr/bin/env python3
"""Writes a synthetic scenario of a 1 000 000 m route with dense records of
every kind: a line description and a train document that compile cleanly.

usage: make_large_scenario.py DIR   (writes DIR/large_linea.txt and DIR/large_treno.txt)
"""
import os
import sys

L = 1_000_000


def line_description():
    out = ["[generale]",
           f"lunghezza percorso,    {L}",
           "progressiva chilometrica uno,    0,    1000000,    1",
           "progressiva chilometrica due,    500000,    600000,    1",
           "progressiva chilometrica tre,    0,    0,    0",
           "sfondo uno,    1", "sfondo due,    0", "sfondo tre,    1",
           "ripetizione segnali 4 codici,    900000,    990000",
           "[curve]"]
    # A curve of 300 m every 500 m, all classes and both sides.
    for i, start in enumerate(range(1000, L - 1000, 500)):
        out.append(f"curva{'sd'[i % 2]}{1 + i % 5},  {start},  300")
    out.append("[pendenze]")
    out.append("pendenza,   0,    0")
    for i, start in enumerate(range(200, L, 200)):
        out.append(f"pendenza,  {start},   {(i % 17) - 10}")
    out.append("[montagne]")
    for i in range(80):
        start = 5000 + i * 12000
        out.append(f"montagna,   {start},  {start + 550},  {12 if i % 3 == 0 else 2}")
    out.append("[cartelli]")
    for i in range(20):
        out.append(f"indicatori_vmax,  {7025 + i * 49000},  100,  110,  120,  2,  60,  70,  80,  1")
    out.append("[indicazioni]")
    for i in range(40):
        out.append(f"cartello_indicatore,  {7525 + i * 24000},   (PASSAGGIO)(A LIVELLO)(KM {i}+000)")
    out.append("[fine]")
    return out


def train_document():
    out = ["[generale]", "numero vetture,    6", "percentuale massa frenata,    110",
           "sabbia,    1", "orologio,    8               15            0 ",
           "[aderenze]", "aderenza,   0,    3",
           "[vel_limite]"]
    for i, p in enumerate(range(0, L, 2000)):
        out.append(f"velocita,{p:>8},{60 + (i % 10) * 10:>6}")
    out.append("[stazioni]")
    for i in range(30):
        p = 20250 + i * 33000
        out.append(f"stazione,{p:>8},{12:>3},{400:>5},{0:>3},{0:>2},{0:>2},{1:>3},0,0,{1:>3},0,0,"
                   f"{0:>5},{8 + i // 4:>4},{(i * 7) % 60:>2},{0:>2} STAZIONE {i}")
    out.append("[rallentamenti]")
    for i in range(50):
        x = 10500 + i * 20000
        out.append(f"rallentamento,  {x},  {30 + (i % 12) * 10},  {1000 + (i % 4) * 500},  1,  1,  0")
    out.append("[segnali]")
    for p in range(1850, L, 1000):
        out.append(f"segnale,{p:>8},{2:>4},{3:>2},{1:>2},{0:>3},{0:>2},{1:>5},{2:>3},0,0, 0")
    out.append("[fine]")
    return out


def main():
    d = sys.argv[1] if len(sys.argv) > 1 else "."
    for name, lines in (("large_linea.txt", line_description()),
                        ("large_treno.txt", train_document())):
        with open(os.path.join(d, name), "w", newline="") as f:
            f.write("".join(line + "\r\n" for line in lines))


if __name__ == "__main__":
    main()
