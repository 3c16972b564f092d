#!/usr/bin/env python3
"""kv as a user meets it: opens the hall with its stored calculation, shows
the result window and the RT60 window (after Eyring, where the project
has Sabine) and exits; the viewer writes nothing, neither into its folder
nor its history beside it, and asks nothing on Exit."""

import os

from harness import Scenario, expect

MAIN = r"^Korvane Viewer 2\.90 > "
# The RT60 window's two curves: with and without the air's absorption.
WITH_AIR, WITHOUT_AIR = (0x00, 0xE6, 0x00), (0xFF, 0x00, 0xFF)


def map_pixels(image):
    """The pixels of the level map's colour scale: strong colours other than
    the loudspeakers' green and the audience areas' blue outline."""
    return image.count(lambda r, g, b: max(r, g, b) - min(r, g, b) > 150 and (r, g, b) != (0x6A, 0xD5, 0x00) and
                       (r, g, b) != (0, 0, 255))


with Scenario("kv", limit=120) as s:
    s.copy_examples("HALL_CALC.KPR")
    before = s.folder_state()
    s.start()
    s.wait_window(MAIN + "PROJECT1\\.KPR$")

    s.step("open the hall with its stored calculation with File/Open")
    s.menu("f", "o")
    s.wait_window("^Open$")
    s.type(os.path.join(s.work, "HALL_CALC.KPR"))
    s.key("Return")
    s.wait_gone("^Open$")
    main = s.wait_window(MAIN + ".*/HALL_CALC\\.KPR$")

    s.step("Calculate/Level + Time shows the stored map")
    s.menu("c", "l")
    s.wait_for("the level map", lambda: map_pixels(s.image("result", main)) > 50000)
    s.key("Escape")
    s.wait_for("the result window to close", lambda: map_pixels(s.image("closed", main)) < 20000)

    s.step("Calculate/RT60 Eyring shows the reverberation times after Eyring")
    s.menu("c", "e")
    rt60 = s.wait_for("the RT60 curves", lambda: (lambda i: i if min(len(i.points(WITH_AIR)), len(
        i.points(WITHOUT_AIR))) > 500 else None)(s.image("rt60", main)))
    s.key("Escape")
    s.wait_for("the RT60 window to close", lambda: len(s.image("closed", main).points(WITHOUT_AIR)) < 100)
    expect(rt60, "no RT60 window")

    s.step("File/Exit: the viewer ends without a question")
    s.menu("f", "x")
    s.wait_exit()
    after = s.folder_state()
    expect(after == before, f"kv wrote into its folder or beside it: {sorted(set(after.items()) ^ set(before.items()))}")
