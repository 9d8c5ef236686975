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
APPDATA_TAVOLI = "C:\\users\\%s\\AppData\\Roaming\\TaVoli" % os.environ.get("USER", "root")
PRODUCT = "LOL Quenra助手"


def main():
    d.stop_programs()
    app = d.Program(d.exe("installer.exe"))
    if not d.wait_for_window():
        text = d.answer_box("提示", "ok", 3000)
        print("demo: the installer did not show its window%s" % (": " + text if text else ""))
        return 1
    d.move_to(-40, -40)
    print("demo: page 1, quick install: %s" % d.Shot("1-quick-install").path)

    d.click(220, 379)  # 快速安装
    progress = d.wait_for_page(d.is_install_page, timeout=20, interval=0.2)
    if progress:
        os.replace(progress.path, os.path.join(d.SHOTS, "2-installing.png"))
        print("demo: page 2, installing: %s" % os.path.join(d.SHOTS, "2-installing.png"))
    finished = d.wait_for_page(d.is_finish_page, timeout=180)
    if not finished:
        text = d.answer_box("提示", "ok", 2000)
        print("demo: the installation did not finish%s" % (": " + text if text else ""))
        return 1
    os.replace(finished.path, os.path.join(d.SHOTS, "3-finished.png"))
    print("demo: page 3, finished: %s" % os.path.join(d.SHOTS, "3-finished.png"))

    folder = d.install_folder_unix(APPDATA_TAVOLI)
    print("demo: installed into %s (on the host: %s)" % (APPDATA_TAVOLI, folder))
    for root, dirs, files in sorted(os.walk(folder)):
        for name in sorted(files):
            print("demo:   %s" % os.path.relpath(os.path.join(root, name), folder))
    log = os.path.join(folder, "started.log")
    if os.path.exists(log):
        os.remove(log)
    d.click(190, 375)  # 运 行
    code = app.wait(timeout=30)
    started = d.wait_for_file(log, timeout=20)
    print("demo: the installer ended with exit code %d" % code)
    if started:
        print("demo: the product started: %s" % started.strip())
    else:
        print("demo: the product did not record a start")
        return 1
    time.sleep(1)
    d.Shot("4-product-running")
    print("demo: screen with the product running: %s" % os.path.join(d.SHOTS, "4-product-running.png"))
    d.stop_programs()
    return 0


if __name__ == "__main__":
    sys.exit(main())
