#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Tessaro developers
"""Reads the game's main window through the accessibility bus, as a screen
reader does, and reports every place where what is announced is not what
the player sees. Started by run_atspi_test.sh; exits 1 on the first run of
failures (all of them listed), 0 when every check holds."""
import argparse
import sys
import time

import pyatspi

MAIN_TITLE_START = "Tessaro V "
# Captions and headings of the board, as the board shows them.
BOARD_CAPTIONS = ["Plan Brief", "People", "Hired", "Quit", "Orders", "In ::", "Out ::",
                  "Production", "Done ::", "Total Earn", "Total Cost", "Rs. ::",
                  "T H E  G A M E  B O A R D", "PLAN-QUARTER NO.    ::",
                  "Before Plan", "After Plan", "Save As"]
# Names given to controls that show no text of their own.
PLACEHOLDER_NAMES = {"Colour band", "Decoration"}
BOARD_CHART_NAME = "Chart of the ten indicators before and after the plan, in per cent"


def spoken(text):
    return " ".join((text or "").split())


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:  # a child gone while reading
            continue
        yield from walk(child, depth + 1)


def shown_text(node):
    try:
        text = node.queryText()
    except NotImplementedError:
        return ""
    return spoken(text.getText(0, text.characterCount))


def find_application(pid, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            try:
                if app is not None and app.get_process_id() == pid:
                    frames = [c for c in app if c is not None
                              and c.getRole() == pyatspi.ROLE_FRAME
                              and c.name.startswith(MAIN_TITLE_START)]
                    if frames:
                        return app, frames[0]
            except Exception:
                continue
        time.sleep(0.25)
    return None, None


def check_board(frame, failures):
    nodes = list(walk(frame))
    names = [spoken(n.name) for n in nodes]
    for caption in BOARD_CAPTIONS:
        if spoken(caption) not in names:
            failures.append(f"no element announces the caption '{caption}'")
    # A caption named for its colour would have gone missing above; a
    # placeholder on a button or a chart hides what it does.
    for node in nodes:
        if spoken(node.name) in PLACEHOLDER_NAMES and node.getRole() != pyatspi.ROLE_LABEL:
            failures.append(f"a {node.getRoleName()} is announced as '{node.name}'")
    charts = [n for n in nodes if spoken(n.name) == BOARD_CHART_NAME]
    if not charts:
        failures.append(f"no element is named '{BOARD_CHART_NAME}'")
    for chart in charts:
        if not spoken(chart.description):
            failures.append("the board's chart has no description")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--wait", type=float, default=30.0)
    parser.add_argument("--dump", action="store_true")
    args = parser.parse_args()

    app, frame = find_application(args.pid, args.wait)
    if app is None:
        print(f"read_windows: no application of process {args.pid} with a window "
              f"titled '{MAIN_TITLE_START}...' on the accessibility bus", file=sys.stderr)
        return 1
    if args.dump:
        for node in walk(frame):
            print(node.getRoleName(), "|", node.name, "|", node.description, "|",
                  shown_text(node))
    failures = []
    if app.name.lower() != "tessaro":
        failures.append(f"the application is announced as '{app.name}', not as the game")
    check_board(frame, failures)
    for failure in failures:
        print("FAIL:", failure, file=sys.stderr)
    if not failures:
        print(f"read through the bus: '{frame.name}', {len(BOARD_CAPTIONS)} captions, "
              "the board's chart named and described")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
