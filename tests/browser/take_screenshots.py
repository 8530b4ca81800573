#!/usr/bin/python3
"""Screenshots of the page with each tab's results, wide and narrow, for people to look at.

    take_screenshots.py PROGRAM FOLDER [light|dark]

Starts `quorvex serve` on port 0 and a headless Chromium, runs each tab with
fixed seeds and writes FOLDER/serve-COMMAND-wide.png (1280 x 800 viewport)
and FOLDER/serve-COMMAND-narrow.png (390 x 844), each the whole page.
"""

import base64
import os
import shutil
import sys

from selenium.webdriver.support.ui import WebDriverWait

import page_browser_test as page

RUNS = {
    "simulate": "command=simulate&songs=100000&steps=400&perfect=0.99&seed=1700000000&at-least=990",
    "sweep": "command=sweep&songs=20000&steps=400&perfect=0.95%3A1%3A0.005&seed=1700000000",
    "target": "command=target&steps=400&mean=990&songs=2000&seed=1700000000",
}
SIZES = {"wide": (1280, 800), "narrow": (390, 844)}


def main():
    page.PROGRAM = sys.argv[1]
    folder = sys.argv[2]
    scheme = sys.argv[3] if len(sys.argv) > 3 else "light"
    server, base = page.start_server()
    try:
        for size, (width, height) in SIZES.items():
            driver, profile = page.start_browser(width, height)
            try:
                driver.execute_cdp_cmd(
                    "Emulation.setDeviceMetricsOverride",
                    {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": size == "narrow"},
                )
                driver.execute_cdp_cmd(
                    "Emulation.setEmulatedMedia", {"features": [{"name": "prefers-color-scheme", "value": scheme}]}
                )
                previous = None
                for command, query in RUNS.items():
                    driver.get("%s/#%s" % (base, query))
                    WebDriverWait(driver, page.RUN_SECONDS, poll_frequency=0.2).until(
                        lambda d: d.find_element("id", "results").is_displayed()
                        and d.find_element("id", "results").get_attribute("data-run-id") != previous
                    )
                    previous = driver.find_element("id", "results").get_attribute("data-run-id")
                    shot = driver.execute_cdp_cmd(
                        "Page.captureScreenshot", {"format": "png", "captureBeyondViewport": True}
                    )
                    suffix = "" if scheme == "light" else "-" + scheme
                    name = os.path.join(folder, "serve-%s-%s%s.png" % (command, size, suffix))
                    with open(name, "wb") as png:
                        png.write(base64.b64decode(shot["data"]))
                    print(name)
            finally:
                driver.quit()
                shutil.rmtree(profile, ignore_errors=True)
    finally:
        server.terminate()
        server.wait()


if __name__ == "__main__":
    main()
