#!/usr/bin/python3
"""The page of `quorvex serve` in a real headless Chromium, driven through WebDriver.

Each test starts its own server on 127.0.0.1 port 0 and its own browser with a
fresh profile. The numbers the page shows are checked against the run's json
and against the command line's text report for the same options and seed, the
downloads against the API's bytes and the command line's files.

    page_browser_test.py PROGRAM [unittest arguments, e.g. PageTest.test_cancel]
"""

import json
import os
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

from selenium import webdriver
from selenium.common.exceptions import StaleElementReferenceException
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

PROGRAM = None  # the quorvex executable, from the command line

# Deadlines: generous for a loaded 2-core machine, short enough to fail a hang.
SERVER_START_SECONDS = 60
RUN_SECONDS = 120
PAGE_SECONDS = 30

SEED = "1700000000"


def start_server():
    """Starts `quorvex serve` on port 0 and returns the process and its base URL."""
    server = subprocess.Popen(
        [PROGRAM, "serve", "--listen", "127.0.0.1:0", "--quiet"],
        stdout=subprocess.PIPE,
        stderr=subprocess.PIPE,
    )
    deadline = time.monotonic() + SERVER_START_SECONDS
    line = b""
    while not line.endswith(b"\n"):
        left = deadline - time.monotonic()
        ready, _, _ = select.select([server.stdout], [], [], max(0.0, left))
        if not ready:
            server.kill()
            raise AssertionError("quorvex serve wrote no first line within %d s" % SERVER_START_SECONDS)
        chunk = os.read(server.stdout.fileno(), 1)
        if not chunk:
            server.wait()
            raise AssertionError("quorvex serve ended before its first line: %s" % server.stderr.read().decode())
        line += chunk
    match = re.search(rb"127\.0\.0\.1:(\d+)", line) or re.search(rb"(\d+)\D*$", line)
    if not match:
        server.kill()
        raise AssertionError("no port in the server's first line: %r" % line)
    return server, "http://127.0.0.1:%d" % int(match.group(1))


def start_browser(width, height):
    options = Options()
    profile = tempfile.mkdtemp(prefix="quorvex-browser-")
    for flag in (
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--disable-quic",
        "--no-first-run",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--user-data-dir=" + profile,
        "--window-size=%d,%d" % (width, height),
    ):
        options.add_argument(flag)
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    service = Service(executable_path=shutil.which("chromedriver") or "/usr/bin/chromedriver")
    driver = webdriver.Chrome(service=service, options=options)
    return driver, profile


def fetch(url):
    """The response's status, headers and bytes."""
    try:
        with urllib.request.urlopen(url, timeout=PAGE_SECONDS) as response:
            return response.status, response.headers, response.read()
    except urllib.error.HTTPError as error:
        return error.code, error.headers, error.read()


def command_line(command, options, *extra):
    """The command line's standard output for the same options, and its error line."""
    arguments = [PROGRAM, command, "--quiet"]
    for name, value in options.items():
        arguments += ["--" + name, value]
    finished = subprocess.run(arguments + list(extra), capture_output=True, timeout=RUN_SECONDS)
    return finished.returncode, finished.stdout, finished.stderr.decode()


def text_report_line(report, label):
    """The text after `label` on the report's line that starts with it."""
    for line in report.splitlines():
        if line.startswith(label + " "):
            return line[len(label):].strip()
    raise AssertionError("no line %r in the text report:\n%s" % (label, report))


class PageTest(unittest.TestCase):
    width, height = 1280, 800

    def setUp(self):
        self.server, self.base = start_server()
        self.driver, self.profile = start_browser(self.width, self.height)
        self.driver.set_page_load_timeout(PAGE_SECONDS)
        # Console lines a test expects, as patterns: Chromium logs every
        # refused request as an error, though the page handles it.
        self.expected_console = []

    def tearDown(self):
        try:
            errors = [
                entry["message"]
                for entry in self.driver.get_log("browser")
                if entry["level"] == "SEVERE"
                and not any(re.search(pattern, entry["message"]) for pattern in self.expected_console)
            ]
        finally:
            self.driver.quit()
            shutil.rmtree(self.profile, ignore_errors=True)
            self.server.terminate()
            try:
                self.server.wait(timeout=SERVER_START_SECONDS)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
            self.server.stdout.close()
            self.server.stderr.close()
        self.maxDiff = None
        self.assertEqual(errors, [], "the browser's console logged errors")

    # -- helpers ------------------------------------------------------------

    def wait(self, seconds=PAGE_SECONDS):
        return WebDriverWait(self.driver, seconds, poll_frequency=0.1, ignored_exceptions=[StaleElementReferenceException])

    def by_id(self, name):
        return self.driver.find_element(By.ID, name)

    def open_page(self, suffix="/"):
        self.driver.get(self.base + suffix)
        self.wait().until(lambda d: d.execute_script("return document.readyState") == "complete")

    def choose_tab(self, command):
        self.by_id("tab-" + command).click()
        self.wait().until(lambda d: d.find_element(By.ID, "panel-" + command).is_displayed())

    def fill(self, command, values):
        for name, value in values.items():
            field = self.by_id("%s-%s" % (command, name))
            field.clear()
            field.send_keys(value)

    def run_by_enter(self, command, values, last_field):
        """Fills the form and presses Enter in one of its fields, as a keyboard user would."""
        self.choose_tab(command)
        self.fill(command, values)
        self.by_id("%s-%s" % (command, last_field)).send_keys(Keys.ENTER)

    def wait_for_results(self, previous_run=None):
        def shown(driver):
            results = driver.find_element(By.ID, "results")
            run = results.get_attribute("data-run-id")
            return results.is_displayed() and run and run != previous_run and run
        return self.wait(RUN_SECONDS).until(shown)

    def api_json(self, run, suffix=""):
        status, _, body = fetch("%s/api/runs/%s%s" % (self.base, run, suffix))
        self.assertEqual(status, 200)
        return json.loads(body)

    def svg_count(self, figure, selector):
        return self.driver.execute_script(
            "return document.querySelectorAll(arguments[0]).length", ".figure-%s svg %s" % (figure, selector)
        )

    def document_fits_window(self):
        return self.driver.execute_script(
            "return [document.documentElement.scrollWidth, window.innerWidth]"
        )

    # -- tests --------------------------------------------------------------

    def test_simulate_shows_the_runs_numbers_and_its_histogram(self):
        options = {"songs": "20000", "steps": "400", "perfect": "0.99", "seed": SEED, "at-least": "990"}
        self.open_page()
        self.run_by_enter("simulate", options, "perfect")
        run = self.wait_for_results()
        record = self.api_json(run, "/json")
        statistics = record["statistics"]
        self.assertEqual(record["parameters"]["seed"], int(SEED))

        # The mean and its interval: as the text report words them, and the json's values to the digits shown.
        _, report, _ = command_line("simulate", options)
        score_line = text_report_line(report.decode(), "Score")
        shown_mean = self.by_id("simulate-mean").text
        shown_interval = self.by_id("simulate-interval").text
        self.assertTrue(score_line.startswith(shown_mean), (score_line, shown_mean))
        self.assertIn(shown_interval, score_line)
        mean_text, half_width_text = shown_mean.split(" ± ")
        resolution = 10 ** -len(mean_text.partition(".")[2])
        self.assertLessEqual(abs(float(mean_text) - statistics["mean"]), resolution / 2)
        half_width = (statistics["mean_ci95"]["high"] - statistics["mean_ci95"]["low"]) / 2
        self.assertLessEqual(abs(float(half_width_text) - half_width), resolution / 2)
        low, high = re.search(r"95% CI ([0-9.]+) … ([0-9.]+)", shown_interval).groups()
        self.assertLessEqual(abs(float(low) - statistics["mean_ci95"]["low"]), resolution / 2)
        self.assertLessEqual(abs(float(high) - statistics["mean_ci95"]["high"]), resolution / 2)

        # P(AAA): its share and interval as in the report, and the count of the json.
        aaa_row = self.driver.find_element(By.XPATH, "//table[@id='simulate-proportions']//tr[th='AAA']")
        cells = [cell.text for cell in aaa_row.find_elements(By.TAG_NAME, "td")]
        aaa_line = text_report_line(report.decode(), "AAA")
        self.assertTrue(aaa_line.startswith(cells[0] + " "), (aaa_line, cells))
        self.assertIn("95% CI " + cells[2] + ")", aaa_line)
        self.assertEqual(cells[1], "%d of %d" % (statistics["aaa"]["count"], statistics["aaa"]["total"]))
        self.assertAlmostEqual(float(cells[0].rstrip("%")) / 100, statistics["aaa"]["share"], delta=0.0005)
        at_least_row = self.driver.find_element(By.XPATH, "//table[@id='simulate-proportions']//tr[th='Score ≥ 990']")
        self.assertTrue(text_report_line(report.decode(), "Score ≥ 990").startswith(at_least_row.find_element(By.TAG_NAME, "td").text))

        # The histogram inline: one bar per bin of songs, and its title.
        self.assertGreater(self.svg_count("histogram", "rect.bar"), 5)
        self.assertEqual(self.svg_count("histogram", "title"), 1)

    def test_sweep_shows_its_plot_and_one_row_per_ratio(self):
        options = {"songs": "5000", "steps": "400", "perfect": "0.95:1:0.01", "seed": SEED, "at-least": ""}
        self.open_page()
        self.run_by_enter("sweep", options, "perfect")
        run = self.wait_for_results()
        record = self.api_json(run, "/json")
        rows = self.driver.find_elements(By.CSS_SELECTOR, "#sweep-rows tbody tr")
        self.assertEqual(len(rows), len(record["ratios"]))
        self.assertEqual(len(rows), 6)
        # Each row's mean as the text report's row for its ratio.
        _, report, _ = command_line("sweep", {k: v for k, v in options.items() if v})
        report_rows = [line for line in report.decode().splitlines() if re.match(r"^[01]\.\d\d ", line)]
        self.assertEqual(len(report_rows), len(rows))
        for row, line in zip(rows, report_rows):
            ratio = row.find_element(By.TAG_NAME, "th").text
            mean = row.find_element(By.TAG_NAME, "td").text
            self.assertTrue(line.startswith(ratio + " "), (line, ratio))
            self.assertIn(mean.replace(" ± ", " ± "), re.sub(r" +± ", " ± ", line))
        # The plot inline: the mean's line, and a point of the mean and of P(AAA) at each ratio.
        self.assertGreaterEqual(self.svg_count("plot", "path.mean"), 1)
        self.assertGreaterEqual(self.svg_count("plot", ".mean-dot"), len(rows))
        self.assertGreaterEqual(self.svg_count("plot", ".aaa-dot"), len(rows))
        self.assertGreater(self.svg_count("plot", "line"), 5)

    def test_target_shows_the_exact_answer_in_large_type(self):
        self.open_page()
        self.choose_tab("target")
        self.by_id("target-goal-aaa").click()
        self.run_by_enter("target", {"steps": "400", "aaa-chance": "0.5", "seed": SEED}, "aaa-chance")
        run = self.wait_for_results()
        record = self.api_json(run, "/json")
        answer = self.by_id("target-answer")
        self.assertEqual(answer.text, record["answer"]["perfect_ratio_text"])
        self.assertEqual(answer.text, "0.9982686")  # the least ratio whose draws give P(AAA) >= 0.5 over 400 steps
        self.assertGreater(float(answer.value_of_css_property("font-size").rstrip("px")), 30)
        self.assertIn("exact", self.by_id("target-method").text)
        _, report, _ = command_line("target", {"steps": "400", "aaa-chance": "0.5", "seed": SEED})
        results = self.by_id("results-body").text
        self.assertIn(text_report_line(report.decode(), "Goal"), results)
        self.assertIn(text_report_line(report.decode(), "Exact"), results)

    def test_target_by_simulation_shows_both_ends_and_the_warning(self):
        options = {"steps": "400", "mean": "990", "songs": "2000", "seed": SEED}
        self.open_page()
        self.choose_tab("target")
        self.by_id("target-goal-mean").send_keys(Keys.SPACE)
        self.run_by_enter("target", options, "mean")
        run = self.wait_for_results()
        record = self.api_json(run, "/json")
        self.assertEqual(self.by_id("target-answer").text, record["answer"]["perfect_ratio_text"])
        results = self.by_id("results-body").text
        _, report, _ = command_line("target", options)
        for ratio in (record["at_answer"]["perfect_ratio_text"], record["below_answer"]["perfect_ratio_text"]):
            self.assertIn(text_report_line(report.decode(), "At " + ratio), results)
        self.assertEqual(record["search"]["goal_within_interval"], True)
        self.assertTrue(self.by_id("target-warning").is_displayed())

    def test_each_download_gives_the_apis_bytes_and_the_command_lines(self):
        options = {"songs": "3000", "steps": "300", "perfect": "0.98", "seed": SEED}
        self.open_page()
        self.run_by_enter("simulate", options, "songs")
        run = self.wait_for_results()
        links = self.driver.find_elements(By.CSS_SELECTOR, "#downloads a")
        formats = [link.get_attribute("data-format") for link in links]
        self.assertEqual(formats, self.api_json(run)["formats"])
        self.assertEqual(sorted(formats), ["csv", "json", "results", "svg", "text"])
        folder = tempfile.mkdtemp(prefix="quorvex-downloads-")
        try:
            command_line("simulate", options, "--format", "json", "--output", os.path.join(folder, "json"),
                         "--plot", os.path.join(folder, "svg"), "--results", os.path.join(folder, "results"))
            command_line("simulate", options, "--format", "csv", "--output", os.path.join(folder, "csv"))
            for link in links:
                name = link.get_attribute("data-format")
                status, headers, body = fetch(link.get_attribute("href"))
                self.assertEqual(status, 200, name)
                self.assertTrue(headers["Content-Disposition"].startswith("attachment"), name)
                _, _, plain = fetch("%s/api/runs/%s/%s" % (self.base, run, name))
                self.assertEqual(body, plain, name)
                if name != "text":  # the text report says how long it took
                    with open(os.path.join(folder, name), "rb") as written:
                        self.assertEqual(body, written.read(), name)
        finally:
            shutil.rmtree(folder)

    def test_a_bad_ratio_shows_the_command_lines_message_and_runs_nothing(self):
        self.expected_console = [r"/api/runs - Failed to load resource: .* 400 \(Bad Request\)$"]
        self.open_page()
        self.run_by_enter("simulate", {"songs": "10", "steps": "10", "perfect": "1.5"}, "perfect")
        error = self.by_id("simulate-perfect-error")
        self.wait().until(lambda d: error.is_displayed())
        _, _, message = command_line("simulate", {"songs": "10", "steps": "10", "perfect": "1.5"})
        self.assertIn(error.text, message)
        self.assertIn('--perfect "1.5" is not a ratio in (0, 1]', error.text)
        self.assertEqual(self.by_id("simulate-perfect").get_attribute("aria-invalid"), "true")
        self.assertFalse(self.by_id("progress").is_displayed())
        self.assertFalse(self.by_id("results").is_displayed())
        # The only request about runs was the refused post: nothing was followed, nothing ran.
        requests = self.driver.execute_script(
            "return performance.getEntriesByType('resource')"
            ".filter(e => e.name.includes('/api/runs')).map(e => [e.name, e.responseStatus])"
        )
        self.assertEqual([(name.split(self.base)[1], status) for name, status in requests], [("/api/runs", 400)])
        # The same refusal straight from the API: its message names the field.
        request = urllib.request.Request(
            self.base + "/api/runs",
            data=json.dumps({"command": "simulate", "options": {"songs": "10", "steps": "10", "perfect": "1.5"}}).encode(),
            headers={"Content-Type": "application/json"},
        )
        status, _, body = fetch(request)
        self.assertEqual((status, json.loads(body)["option"]), (400, "perfect"))

    def test_a_permalink_in_a_fresh_window_shows_the_same_numbers(self):
        self.open_page()
        self.run_by_enter("simulate", {"songs": "4000", "steps": "400", "perfect": "0.97", "seed": ""}, "perfect")
        first = self.wait_for_results()
        seed = str(self.api_json(first, "/json")["parameters"]["seed"])
        link = self.driver.current_url
        self.assertIn("seed=" + seed, link)
        self.assertEqual(self.by_id("permalink").get_attribute("href"), link)
        shown = [self.by_id(name).text for name in ("simulate-mean", "simulate-interval", "simulate-proportions")]
        self.driver.switch_to.new_window("window")
        self.driver.get(link)
        second = self.wait_for_results()
        self.assertNotEqual(first, second)
        self.assertEqual([self.by_id(name).text for name in ("simulate-mean", "simulate-interval", "simulate-proportions")], shown)
        self.assertEqual(self.api_json(second, "/json")["parameters"]["seed"], int(seed))
        self.assertEqual(self.api_json(second, "/json"), self.api_json(first, "/json"))

    def test_cancel_stops_a_long_run_and_the_next_run_works(self):
        self.open_page()
        # 1.6e11 steps: within the server's default limit of 2e11, and minutes of work.
        self.run_by_enter("simulate", {"songs": "400000000", "steps": "400", "perfect": "0.95", "seed": SEED}, "perfect")
        progress = self.by_id("progress")
        self.wait(RUN_SECONDS).until(lambda d: progress.get_attribute("data-status") == "running")
        run = progress.get_attribute("data-run-id")
        self.by_id("cancel").send_keys(Keys.ENTER)
        self.wait().until(lambda d: progress.get_attribute("data-status") == "cancelled")
        self.assertEqual(self.by_id("progress-text").text, "Cancelled.")
        self.wait().until(lambda d: self.api_json(run)["status"] == "cancelled")
        self.fill("simulate", {"songs": "1000"})
        self.by_id("simulate-songs").send_keys(Keys.ENTER)
        after = self.wait_for_results()
        self.assertNotEqual(after, run)
        self.assertEqual(self.api_json(after)["status"], "done")

    def test_the_run_button_is_reached_by_keyboard_with_a_visible_focus(self):
        self.open_page()
        body = self.driver.find_element(By.TAG_NAME, "body")
        body.send_keys(Keys.TAB)
        reached = []
        for _ in range(20):
            active = self.driver.switch_to.active_element
            reached.append(active.get_attribute("id") or active.text)
            if active.get_attribute("class") == "run":
                break
            active.send_keys(Keys.TAB)
        self.assertEqual(reached[:2], ["tab-simulate", "simulate-songs"])
        self.assertEqual(reached[-1], "Run")
        active = self.driver.switch_to.active_element
        self.assertNotEqual(active.value_of_css_property("outline-style"), "none")


class NarrowPageTest(PageTest):
    """The same page on a phone's 390 x 844: nothing wider than the window."""

    width, height = 390, 844

    def setUp(self):
        super().setUp()
        # A desktop window cannot be made this narrow: the phone's viewport is emulated.
        self.driver.execute_cdp_cmd(
            "Emulation.setDeviceMetricsOverride",
            {"width": self.width, "height": self.height, "deviceScaleFactor": 1, "mobile": True},
        )

    def test_each_tab_with_results_fits_the_window(self):
        self.open_page()
        runs = [
            ("simulate", {"songs": "3000", "steps": "400", "perfect": "0.99", "seed": SEED, "at-least": "950,990"}, "perfect"),
            ("sweep", {"songs": "2000", "steps": "400", "perfect": "0.95:1:0.01", "seed": SEED, "at-least": "990"}, "perfect"),
            ("target", {"steps": "400", "aaa-chance": "0.5", "seed": SEED}, "aaa-chance"),
        ]
        previous = None
        for command, options, last in runs:
            self.run_by_enter(command, options, last)
            previous = self.wait_for_results(previous)
            scroll_width, window_width = self.document_fits_window()
            self.assertEqual(window_width, 390)
            self.assertLessEqual(scroll_width, window_width, command)


def load_tests(loader, tests, pattern):
    # The narrow class runs only its own test; the wide ones run once, wide.
    suite = unittest.TestSuite()
    suite.addTests(loader.loadTestsFromTestCase(PageTest))
    suite.addTest(NarrowPageTest("test_each_tab_with_results_fits_the_window"))
    return suite


# The exit status ctest reads as "skipped" (SKIP_RETURN_CODE).
SKIPPED = 77

if __name__ == "__main__":
    PROGRAM = sys.argv[1]
    # A build whose program has no serve command yet has no page to test.
    probe = subprocess.run([PROGRAM, "--help"], capture_output=True, timeout=SERVER_START_SECONDS)
    if not re.search(rb"^ +serve +", probe.stdout, re.MULTILINE):
        print("skipped: %s has no serve command" % PROGRAM)
        sys.exit(SKIPPED)
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
