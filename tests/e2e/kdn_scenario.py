#!/usr/bin/env python3
"""kdn as a user meets it: opens the example hall, moves the loudspeaker
"Left" with the mouse and the keyboard, runs Level + Time and saves the
project under a new name; the saved project holds the moved loudspeaker and
the level and time map of the moved hall."""

import os

from harness import SYMBOL, Scenario, expect, level_map_pixels

MAIN = r"^Korvane Design Engine 2\.90 > "
# The example hall's loudspeakers, in m: "Left" goes 3 m along x and 2 m
# along y.
LEFT, RIGHT, OFFSET = (6.5, -6.0, 5.0), (6.5, 6.0, 5.0), (3.0, 2.0, 0.0)


def symbols(image):
    """The loudspeaker symbols of the plan view, lowest on the screen (the
    smallest y, "Left") first: each as its pixels' centre and one of them."""
    points = image.points(SYMBOL)
    expect(points, "the plan view shows no loudspeaker")
    middle = (min(y for _, y in points) + max(y for _, y in points)) / 2
    found = []
    for part in ([p for p in points if p[1] > middle], [p for p in points if p[1] <= middle]):
        expect(part, "the plan view does not show both loudspeakers")
        centre = (sum(x for x, _ in part) / len(part), sum(y for _, y in part) / len(part))
        found.append((centre, part[0]))
    return found


def near(values, wanted, tolerance):
    return all(abs(v - w) <= tolerance for v, w in zip(values, wanted))


with Scenario("kdn", limit=150) as s:
    s.copy_examples("HALL.KPR")
    hall, saved = os.path.join(s.work, "HALL.KPR"), os.path.join(s.work, "MOVED.KPR")
    s.start()
    s.wait_window(MAIN + "PROJECT1\\.KPR$")

    s.step("open the hall with File/Open")
    s.choose_file("f", "o", "Open", hall)
    main = s.wait_window(MAIN + ".*/HALL\\.KPR$")

    s.step("move Left: pick it with the mouse, end the selection with Enter, click the base point, type the offset")
    before = s.image("hall", main)
    (left, pick), (right, _) = symbols(before)
    metre = (left[1] - right[1]) / (RIGHT[1] - LEFT[1])  # pixels per metre in the plan view
    s.menu("l", "m")
    s.click(main, *pick)
    s.key("Return")
    s.click(main, round(left[0]), round(left[1]))
    s.key("r")
    s.wait_window("^Point relative :$")
    s.type(str(OFFSET[0]))
    s.key("Tab")
    s.type(str(OFFSET[1]))
    s.key("Return")
    s.wait_gone("^Point relative :$")
    s.expect_active(MAIN)
    moved = s.image("moved", main)
    (moved_left, _), (moved_right, _) = symbols(moved)
    wanted = (left[0] + OFFSET[0] * metre, left[1] - OFFSET[1] * metre)
    expect(near(moved_left, wanted, 3), f"Left is shown at {moved_left}, not at {wanted}")
    expect(near(moved_right, right, 1), f"Right moved on the screen too, to {moved_right}")

    s.step("Calculate/Level + Time with the options as they are")
    s.menu("c", "l")
    s.wait_window("^Calculation options$")
    s.key("Return")
    s.wait_gone("^Calculation options$")
    s.expect_active(MAIN)
    s.wait_image("the level map", "result", main, lambda i: level_map_pixels(i) > 50000, 60)
    s.key("Escape")
    s.wait_image("the result window to close", "closed", main, lambda i: level_map_pixels(i) < 20000)

    s.step("File/Save as")
    s.choose_file("f", "a", "Save As", saved)
    s.wait_window(MAIN + ".*/MOVED\\.KPR$")

    s.step("File/Exit: a saved project ends without a question")
    s.menu("f", "x")
    s.wait_exit()

    s.step("read the saved project back")
    lines = s.read_back("project", "MOVED.KPR")
    speakers = {line.split()[1]: tuple(float(v) for v in line.split()[2:]) for line in lines
                if line.startswith("loudspeaker ")}
    moved_to = tuple(p + d for p, d in zip(LEFT, OFFSET))
    saved_left = speakers.get("Left")
    expect(saved_left and near(saved_left, moved_to, 1e-3), f"Left is saved at {saved_left}, not at {moved_to}")
    expect(speakers.get("Right") == RIGHT, f"Right is saved at {speakers.get('Right')}, not at {RIGHT}")
    expect(any(line.startswith("result ") and line.endswith(" points") and line != "result 0 points"
               for line in lines), f"the saved project holds no result: {lines}")
    expect("result is the model's calculation" in lines, f"the saved result is not the moved hall's: {lines}")
    # The original is as it was.
    expect("result none" in s.read_back("project", "HALL.KPR"), "HALL.KPR was changed")
