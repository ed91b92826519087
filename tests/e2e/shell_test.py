"""Vantrel as a person meets it: the shell started on a free loopback port with a fresh data
folder, the page open in headless Chromium.

- On a desktop window: a car added through the screen and the keyboard, the shell restarted,
  the car still there and the due service on the badge.
- On a 390 x 844 touch phone at pixel ratio 3: the screen fills the display, the theme chosen
  survives the terminal closing (SIGHUP), a field edited with the phone's own keyboard (and
  only that one, composition included), screens sliding in and out.

Environment: VANTREL_BIN (the vantrel executable), CHROMIUM (default /usr/bin/chromium),
CHROMEDRIVER (default /usr/bin/chromedriver), VANTREL_SCREENSHOTS (a folder for the
screenshots; default a temporary one).
"""
import json
import os
import plistlib
import re
import shutil
import signal
import sqlite3
import struct
import subprocess
import tempfile
import threading
import time
import unittest
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

BINARY = os.environ.get("VANTREL_BIN", "")
CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("CHROMEDRIVER", "/usr/bin/chromedriver")
SHOTS = os.environ.get("VANTREL_SCREENSHOTS") or tempfile.mkdtemp(prefix="vantrel-shots-")
ICON = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "web", "icons", "icon-512.png")
SCREEN_WIDTH, SCREEN_HEIGHT = 320, 480


class Shell:
    """The vantrel executable, started on a free port, with the address it prints."""

    def __init__(self, data_dir):
        self.process = subprocess.Popen([BINARY, "--port", "0", "--data", data_dir],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.lines = []
        found = threading.Event()

        def read():
            for line in self.process.stdout:
                self.lines.append(line)
                if re.search(r"Open (http://127\.0\.0\.1:\d+/) in a browser", line):
                    found.set()
            found.set()

        self.reader = threading.Thread(target=read, daemon=True)
        self.reader.start()
        if not found.wait(60) or self.process.poll() is not None:
            self.process.kill()
            raise AssertionError("vantrel did not start:\n" + self.output())
        match = re.search(r"Open (http://127\.0\.0\.1:\d+/) in a browser", self.output())
        self.address = match.group(1)

    def output(self):
        return "".join(self.lines)

    def state(self):
        with urllib.request.urlopen(self.address + "state", timeout=10) as response:
            return json.load(response)

    def stop(self, stop_signal=signal.SIGTERM):
        """The signal, and the exit code (0 for a clean exit)."""
        if self.process.poll() is None:
            self.process.send_signal(stop_signal)
        try:
            code = self.process.wait(30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            code = self.process.wait()
        self.reader.join(5)
        self.process.stdout.close()
        return code


class ShellEndToEnd(unittest.TestCase):
    # A phone: its page fills the display and types with the phone's own keyboard.
    PHONE = {"deviceMetrics": {"width": 390, "height": 844, "pixelRatio": 3.0, "touch": True}}

    def setUp(self):
        self.assertTrue(BINARY and os.path.exists(BINARY), "VANTREL_BIN names the vantrel executable")
        os.makedirs(SHOTS, exist_ok=True)
        self.data_dir = tempfile.mkdtemp(prefix="vantrel-e2e-")
        self.addCleanup(shutil.rmtree, self.data_dir, True)
        phone = self._testMethodName.startswith("test_phone")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                         "--disable-dev-shm-usage", "--window-size=1280,800"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        if phone:
            options.add_experimental_option("mobileEmulation", self.PHONE)
        self.driver = webdriver.Chrome(service=Service(executable_path=CHROMEDRIVER), options=options)
        self.addCleanup(self.driver.quit)
        # The file chooser is answered by the test, never by a dialog that headless Chromium
        # would cancel at once.
        self.driver.execute_cdp_cmd("Page.setInterceptFileChooserDialog", {"enabled": True})

    # Waiting and looking

    def wait_until(self, script, *arguments, timeout=15):
        WebDriverWait(self.driver, timeout).until(lambda driver: driver.execute_script(script, *arguments))

    def wait_for_text(self, text):
        self.wait_until("return [...document.querySelectorAll('#reader li')]"
                        ".some((entry) => entry.textContent === arguments[0]);", text)

    def screenshot(self, shell, name):
        time.sleep(0.3)  # the page draws the shell's latest frame
        path = os.path.join(SHOTS, name)
        self.driver.save_screenshot(path)
        print(f"screenshot: {path}")

    def page_errors(self):
        return [entry["message"] for entry in self.driver.get_log("browser")
                if entry.get("source") == "javascript" and entry.get("level") == "SEVERE"]

    # Touching the screen through the page

    def click_at(self, x, y):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(round(x)), int(round(y))).click()
        actions.perform()

    def touch_at(self, x, y):
        """A finger's tap, as a phone's browser gets it."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent",
                                    {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
        time.sleep(0.08)
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def tap_point(self, x, y, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, finger=False):
        box = self.driver.find_element(By.ID, "screen").rect
        tap = self.touch_at if finger else self.click_at
        tap(box["x"] + x * box["width"] / width, box["y"] + y * box["height"] / height)

    def tap_text(self, shell, text, finger=False):
        state = shell.state()
        item = next((entry for entry in state["texts"] if entry["text"] == text), None)
        self.assertIsNotNone(item, f'"{text}" is not on the screen: '
                             + " | ".join(entry["text"] for entry in state["texts"]))
        screen = state.get("screen", {"w": SCREEN_WIDTH, "h": SCREEN_HEIGHT})
        self.tap_point(item["x"] + item["w"] / 2, item["y"] + item["h"] / 2, screen["w"], screen["h"], finger)

    def watch_slides(self):
        """Records the slides the page shows (it names them in data-sliding while they last)."""
        self.driver.execute_script("""
            window.slides = [];
            new MutationObserver(() => {
              const sliding = document.getElementById('screen').dataset.sliding;
              if (sliding) window.slides.push(sliding);
            }).observe(document.getElementById('screen'), { attributes: true, attributeFilter: ['data-sliding'] });""")

    def wait_for_slide(self, kind):
        """The page showed the movement as a slide, and the slide is over."""
        self.wait_until("return window.slides.some((s) => s.includes(arguments[0]));", kind, timeout=10)
        self.wait_until("return !document.getElementById('screen').dataset.sliding;", timeout=5)
        self.driver.execute_script("window.slides = [];")

    def test_a_car_added_in_the_browser_survives_a_restart_and_a_due_service_shows_on_the_badge(self):
        driver = self.driver
        shell = Shell(self.data_dir)
        self.addCleanup(lambda: shell.stop())

        # The start screen.
        driver.get(shell.address)
        self.wait_for_text("Add A Car")
        self.assertEqual(driver.title, "Vantrel")
        self.screenshot(shell, "1-start.png")

        # Add a car: its name typed on the computer's keyboard, then Save.
        self.tap_text(shell, "Add A Car")
        self.wait_for_text("Vehicle's Name")
        self.tap_text(shell, "Vehicle's Name")
        self.wait_until("return document.activeElement && document.activeElement.id === 'keys';")
        self.assertEqual(driver.find_element(By.ID, "keys").get_attribute("enterkeyhint"), "done")
        ActionChains(driver).send_keys("Roadster").perform()
        self.wait_for_text("Roadster")

        # Its picture comes through the browser's file chooser, as PNG.
        self.tap_point(50, 140)  # the picture of the name row
        self.wait_until("return !document.getElementById('sheet').hidden;")
        driver.find_element(By.ID, "picture").send_keys(os.path.abspath(ICON))
        self.wait_until("return document.getElementById('sheet').hidden;")
        self.screenshot(shell, "2-editor.png")
        self.tap_text(shell, "Save")
        self.wait_for_text("Model not specified")
        self.assertTrue(any(entry["text"] == "Roadster" for entry in shell.state()["texts"]),
                        "the car is in the list")
        self.screenshot(shell, "3-list.png")
        self.assertTrue(os.path.exists(os.path.join(self.data_dir, "Documents", "1.png")),
                        "the picture was saved with the car")

        # The whole frame is there for scripts, at twice the points.
        with urllib.request.urlopen(shell.address + "frame.png", timeout=10) as frame:
            self.assertEqual(frame.status, 200)
            self.assertEqual(frame.headers.get("Content-Type"), "image/png")
            header = frame.read(24)
        self.assertEqual(struct.unpack(">II", header[16:24]), (640, 960))
        self.assertEqual(self.page_errors(), [])
        driver.get("about:blank")

        # A desktop window wider than tall keeps the screen at its smallest height.
        self.assertEqual(shell.state()["screen"], {"w": 320, "h": 480})

        # Stop: the application resigns and terminates, and the shell exits cleanly.
        self.assertEqual(shell.stop(), 0, shell.output())

        # A service of the car, performed long ago, is overdue.
        database = sqlite3.connect(os.path.join(self.data_dir, "Documents", "vantrel.db"))
        with database:
            cursor = database.execute("INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) "
                                      "VALUES ('Oil Change', 5000, 6)")
            database.execute("INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes) "
                             "SELECT VehicleID, ?, '2015-03-01', 0, 0, '' FROM Vehicle WHERE Name = 'Roadster'",
                             (cursor.lastrowid,))
        database.close()

        shell = Shell(self.data_dir)
        driver.get(shell.address)
        self.wait_for_text("Roadster")
        self.wait_until("return document.title === '(1) Vantrel';")
        self.screenshot(shell, "4-restarted.png")
        self.assertEqual(self.page_errors(), [])

    def test_phone_fills_its_display_types_with_its_own_keyboard_and_slides_its_screens(self):
        driver = self.driver
        shell = Shell(self.data_dir)
        self.addCleanup(lambda: shell.stop())
        driver.get(shell.address)
        self.wait_for_text("Add A Car")
        self.watch_slides()
        self.screenshot(shell, "phone-1-start.png")

        # 320 points wide, as tall as 390 x 844 allows, drawn at the phone's 1170 pixels across.
        self.assertEqual(shell.state()["screen"], {"w": 320, "h": 692})
        self.wait_until("return document.getElementById('screen').height === 2531;")
        glass = driver.find_element(By.ID, "glass").rect
        self.assertAlmostEqual(glass["width"], 390, delta=1)
        self.assertGreater(glass["height"], 840)
        self.assertTrue(driver.find_element(By.ID, "rotate").get_attribute("hidden") is not None,
                        "no turn button where the screen does not turn")

        # A theme chosen just before the terminal closes is kept.
        self.tap_text(shell, "Change Theme", finger=True)
        self.wait_for_slide("push")
        self.wait_for_text("Theme Color")
        shown = driver.find_element(By.ID, "screen").get_attribute("data-frame")
        self.tap_point(284.5, 161, 320, 692, finger=True)  # fifth swatch of the second row: theme 9
        self.wait_until("return document.getElementById('screen').dataset.frame !== arguments[0];", shown)
        self.screenshot(shell, "phone-2-theme.png")
        self.tap_point(30, 42, 320, 692, finger=True)  # back to the start screen
        self.wait_for_slide("pop")

        # Editing a field: exactly one keyboard, the phone's own, with the field's kind.
        self.tap_text(shell, "Add A Car", finger=True)
        self.wait_for_slide("push")
        self.wait_for_text("Vehicle's Name")
        self.tap_text(shell, "Vehicle's Name", finger=True)
        self.wait_until("return document.activeElement && document.activeElement.id === 'keys';")
        keyboard = shell.state()["keyboard"]
        self.assertFalse(keyboard["drawn"], "the drawn keyboard stays away on a phone")
        keys = driver.find_element(By.ID, "keys")
        self.assertEqual(keys.get_attribute("inputmode"), "text")
        self.assertEqual(keys.get_attribute("enterkeyhint"), "done")
        # Where a drawn keyboard's keys would be, the screen's background runs evenly across.
        row = driver.execute_script("""
            const canvas = document.getElementById('screen');
            const scale = canvas.width / 320;
            const data = canvas.getContext('2d').getImageData(0, Math.round(520 * scale), canvas.width, 1).data;
            const colours = new Set();
            for (let x = 0; x < canvas.width; x += 8)
              colours.add(data[4 * x] + ',' + data[4 * x + 1] + ',' + data[4 * x + 2]);
            return [...colours];""")
        self.assertEqual(len(row), 1, f"keys where the background should be: {row[:8]}")

        # Typing, a composition of the phone's keyboard included (Hangul: three steps, one letter).
        driver.execute_cdp_cmd("Input.insertText", {"text": "Roadster "})
        for step in ("ㅎ", "하", "한"):
            driver.execute_cdp_cmd("Input.imeSetComposition",
                                   {"text": step, "selectionStart": len(step), "selectionEnd": len(step)})
        self.assertIn("composing", keys.get_attribute("class"))
        driver.execute_cdp_cmd("Input.insertText", {"text": "한"})
        self.wait_for_text("Roadster 한")
        self.screenshot(shell, "phone-3-editor.png")

        # Saving slides the list back in; a car with its name from the phone's keyboard.
        self.tap_text(shell, "Save", finger=True)
        self.wait_for_slide("pop")
        self.wait_for_text("Model not specified")
        self.screenshot(shell, "phone-4-list.png")
        self.assertEqual(self.page_errors(), [])

        # The terminal closes: a clean stop, and the theme is on disk.
        driver.get("about:blank")
        self.assertEqual(shell.stop(signal.SIGHUP), 0, shell.output())
        with open(os.path.join(self.data_dir, "Library", "Preferences", "com.quillon.vantrel.plist"), "rb") as file:
            self.assertEqual(plistlib.load(file)["themeIndex"], 9)


if __name__ == "__main__":
    unittest.main(verbosity=2)
