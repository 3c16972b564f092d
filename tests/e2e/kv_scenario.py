#!/usr/bin/env python3
"""kv as a user meets it: opens the hall with its stored calculation, shows
the result window and the RT60 window (after Eyring, where the project
has Sabine) and exits; the viewer writes nothing, neither into its folder
nor its history beside it, and asks nothing on Exit."""

import os

from harness import Scenario, expect, level_map_pixels

MAIN = r"^Korvane Viewer 2\.90 > "
# The RT60 window's two curves: with and without the air's absorption.
WITH_AIR, WITHOUT_AIR = (0x00, 0xE6, 0x00), (0xFF, 0x00, 0xFF)

with Scenario("kv", limit=120) as s:
    s.copy_examples("HALL_CALC.KPR")
    before = s.folder_state()
    s.start()
    s.wait_window(MAIN + "PROJECT1\\.KPR$")

    s.step("open the hall with its stored calculation with File/Open")
    s.choose_file("f", "o", "Open", os.path.join(s.work, "HALL_CALC.KPR"))
    main = s.wait_window(MAIN + ".*/HALL_CALC\\.KPR$")

    s.step("Calculate/Level + Time shows the stored map")
    s.menu("c", "l")
    s.wait_image("the level map", "result", main, lambda i: level_map_pixels(i) > 50000)
    s.key("Escape")
    s.wait_image("the result window to close", "closed", main, lambda i: level_map_pixels(i) < 20000)

    s.step("Calculate/RT60 Eyring shows the reverberation times after Eyring")
    s.menu("c", "e")
    s.wait_image("the RT60 curves", "rt60", main,
                 lambda i: len(i.points(WITH_AIR)) > 500 and len(i.points(WITHOUT_AIR)) > 500)
    s.key("Escape")
    s.wait_image("the RT60 window to close", "closed", main, lambda i: len(i.points(WITHOUT_AIR)) < 100)

    s.step("File/Exit: the viewer ends without a question")
    s.menu("f", "x")
    s.wait_exit()
    after = s.folder_state()
    expect(after == before, f"kv wrote into its folder or beside it: {sorted(set(after.items()) ^ set(before.items()))}")
