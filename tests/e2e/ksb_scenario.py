#!/usr/bin/env python3
"""ksb as a user meets it: answers the session password, adds a GDF speaker
to the example speaker database and saves it under a new name; the saved
database holds the example's records and the imported one."""

import os

from harness import Scenario, expect

MAIN = r"^KSB V2\.90 > "
GDF = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "speakerbase", "imports", "data", "gdf",
                   "speaker.gdf")

with Scenario("ksb", limit=120) as s:
    s.copy_examples("EXAMPLE.KSB")
    s.copy_file(GDF)
    s.start("EXAMPLE.KSB")

    s.step("answer the session password")
    s.wait_window("^Session password\\(20 chars\\. max\\.\\):$")
    s.type("e2e")
    s.key("Return")
    s.wait_gone("^Session password")
    main = s.wait_window(MAIN + "EXAMPLE\\.KSB$")
    shown = s.image("example", main)

    s.step("Edit/Add GDF Speaker")
    s.choose_file("e", "g", "Open", os.path.join(s.work, "speaker.gdf"))
    s.expect_active(MAIN)
    # The record selector over the window's top names the imported record.
    s.wait_image("the imported record to be shown", "imported", main, lambda i: i.differs_from(shown, 0, 60) > 100)

    s.step("File/Save as")
    s.choose_file("f", "s", "Save As", os.path.join(s.work, "NEW.KSB"))
    s.wait_window(MAIN + ".*/NEW\\.KSB$")

    s.step("File/Quit: a saved database ends without a question")
    s.menu("f", "q")
    s.wait_exit()

    s.step("read the saved database back")
    example, saved = s.read_back("speakers", "EXAMPLE.KSB"), s.read_back("speakers", "NEW.KSB")
    expect(saved == example + ["record Maker|GDF1"], f"NEW.KSB holds {saved}, the example {example}")
