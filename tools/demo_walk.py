#!/usr/bin/env python3
"""The demo without a display: walks the installer's quick route on the
private Xvfb as a person would and keeps a screenshot of every page."""

import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
os.environ.setdefault("E2E_BUILD", os.path.join(ROOT, "build", "windows"))
import driver as d  # noqa: E402

d.SHOTS = os.path.join(ROOT, "build", "demo")


def main():
    d.stop_programs()
    app = d.Program(d.exe("installer.exe"))
    if not d.wait_for_window():
        text = d.answer_box("提示", "ok", 3000)
        print("demo: the installer did not show its window%s" % (": " + text if text else ""))
        return 1
    d.move_to(-40, -40)
    shot = d.Shot("1-quick-install-page")
    print("demo: the installer passed its version check and shows its first page: %s" % shot.path)

    d.click(383, 57)  # the exit button
    print("demo: exit question: %s" % d.answer_box("提示", "ok"))
    print("demo: the installer ended with exit code %d" % app.wait())
    return 0


if __name__ == "__main__":
    sys.exit(main())
