#!/usr/bin/env python3
"""kab as a user meets it: adds a material to the example absorber database
with its coefficients typed in, saves the database under a new name and
opens it again; the record is there, in the file and in the panel."""

import os

from harness import Scenario, expect

MAIN = r"^Korvane Absorber Database "
NAME, CATEGORY, DESCRIPTION = "E2E Panel", "Test materials", "Typed by the end-to-end suite"
COEFFICIENTS = ["0.10", "0.25", "0.40", "0.55", "0.70", "0.85", "0.95"]
SELECTED = (0x30, 0x8C, 0xC6)  # the list's selected entry

with Scenario("kab", limit=120) as s:
    s.copy_examples("EXAMPLE.KAB")
    saved = os.path.join(s.work, "NEWMAT.KAB")
    s.start("EXAMPLE.KAB")
    main = s.wait_window(MAIN + "EXAMPLE\\.KAB$")
    first = s.image("example", main)

    s.step("Edit/Add Record, the fields typed in, Enter")
    s.menu("e", "a")
    s.wait_image("the panel's new mode", "new", main, lambda i: i.differs_from(first) > 200)
    s.type(NAME)
    for text in [CATEGORY, DESCRIPTION] + COEFFICIENTS:
        s.key("Tab")
        s.type(text)
    s.key("Return")
    stored = s.wait_image("the stored record", "stored", main, lambda i: i.points(SELECTED))

    s.step("File/Save as")
    s.choose_file("f", "a", "Save As", saved)
    s.wait_window(MAIN + ".*/NEWMAT\\.KAB$")

    s.step("File/Open of the saved database, its last record picked in the list")
    s.choose_file("f", "o", "Open", saved)
    s.expect_active(MAIN + ".*/NEWMAT\\.KAB$")
    reopened = s.image("reopened", main)
    selection = reopened.points(SELECTED)
    expect(selection, "the reopened list shows no selected record")
    s.click(main, *selection[len(selection) // 2])
    s.key("End")
    # What the panel shows of the last record is what it showed when the
    # record was stored, but for the focus frame (then in the 8000 Hz field).
    s.wait_image("the panel to show the stored record", "last", main, lambda i: i.differs_from(stored) < 1000)

    s.step("File/Exit")
    s.menu("f", "x")
    s.wait_exit()

    s.step("read the saved database back")
    example, lines = s.read_back("absorbers", "EXAMPLE.KAB"), s.read_back("absorbers", "NEWMAT.KAB")
    record = f"material {NAME}| " + " ".join(COEFFICIENTS)
    expect(lines == example + [record], f"NEWMAT.KAB ends in {lines[-2:]}, not in the example and {record}")
