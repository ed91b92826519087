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
import datetime
import atexit
import glob
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
import zipfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

BINARY = os.environ.get("VANTREL_BIN", "")
CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("CHROMEDRIVER", "/usr/bin/chromedriver")
SHOTS = os.environ.get("VANTREL_SCREENSHOTS") or tempfile.mkdtemp(prefix="vantrel-shots-")
ICON = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "web", "icons", "icon-512.png")
SCREEN_WIDTH, SCREEN_HEIGHT = 320, 480


# The built-in backup service keeps its backups beside the default data folder: here, not in
# the home of whoever runs the tests.
os.environ["XDG_DATA_HOME"] = tempfile.mkdtemp(prefix="vantrel-e2e-xdg-")
atexit.register(shutil.rmtree, os.environ["XDG_DATA_HOME"], True)


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

    # Typing and colours

    def wait_for_text_starting(self, prefix):
        self.wait_until("return [...document.querySelectorAll('#reader li')]"
                        ".some((entry) => entry.textContent.startsWith(arguments[0]));", prefix)

    def wait_for_keyboard(self):
        self.wait_until("return document.activeElement && document.activeElement.id === 'keys';")

    def type_keys(self, text):
        ActionChains(self.driver).send_keys(text).perform()

    def add_car_from_start_screen(self, shell, name):
        """From the empty car list: Add A Car, its name typed, Save, back on the list."""
        self.wait_for_text("Add A Car")
        self.tap_text(shell, "Add A Car")
        self.wait_for_text("Vehicle's Name")
        self.tap_text(shell, "Vehicle's Name")
        self.wait_for_keyboard()
        self.type_keys(name)
        self.wait_for_text(name)
        self.tap_text(shell, "Save")
        self.wait_for_text("Model not specified")

    def colour_in(self, kind, x, y, w, h):
        """Whether the screen shows a pixel of `kind` ("red" or "yellow") in the rectangle (points)."""
        return self.driver.execute_script("""
            const [kind, x, y, w, h] = arguments;
            const canvas = document.getElementById('screen');
            const scale = canvas.width / 320;
            const data = canvas.getContext('2d').getImageData(
                Math.round(x * scale), Math.round(y * scale), Math.round(w * scale), Math.round(h * scale)).data;
            for (let i = 0; i < data.length; i += 4) {
                const [r, g, b] = [data[i], data[i + 1], data[i + 2]];
                if (kind === 'red' ? r > 180 && g < 80 && b < 80 : r > 200 && g > 160 && b < 90)
                    return true;
            }
            return false;""", kind, x, y, w, h)

    def wait_for_colour(self, kind, x, y, w, h):
        WebDriverWait(self.driver, 15).until(lambda driver: self.colour_in(kind, x, y, w, h))

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

    def pixels_unlike_the_shells_frame(self):
        """How many pixels of the page's screen differ from the shell's latest frame, once they
        agree or after a few tries (-1: not even the same size)."""
        for _ in range(10):
            differing = self.driver.execute_async_script("""
                const done = arguments[arguments.length - 1];
                const canvas = document.getElementById('screen');
                (async () => {
                  const response = await fetch('/frame.png?scale=' + canvas.width / 320, { cache: 'no-store' });
                  const image = await createImageBitmap(await response.blob());
                  const frame = new OffscreenCanvas(image.width, image.height);
                  frame.getContext('2d').drawImage(image, 0, 0);
                  const a = frame.getContext('2d').getImageData(0, 0, image.width, image.height).data;
                  const b = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
                  if (a.length !== b.length)
                    return done(-1);
                  let count = 0;
                  for (let i = 0; i < a.length; i += 4)
                    count += a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2];
                  done(count);
                })();""")
            if differing == 0:
                return 0
            time.sleep(0.3)
        return differing

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

    def test_a_backup_file_downloaded_in_the_browser_restores_the_logbook_into_a_fresh_data_folder(self):
        driver = self.driver
        downloads = tempfile.mkdtemp(prefix="vantrel-e2e-downloads-")
        self.addCleanup(shutil.rmtree, downloads, True)
        driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
        shell = Shell(self.data_dir)
        self.addCleanup(lambda: shell.stop())

        driver.get(shell.address)
        self.add_car_from_start_screen(shell, "Weekender")

        # Data Backup (the arrows at the top left), then the file in the browser's downloads.
        self.tap_point(22, 42)
        self.wait_for_text("Download Backup File")
        self.screenshot(shell, "backup-1-data-backup.png")
        self.tap_text(shell, "Download Backup File")
        deadline = time.time() + 20
        files = []
        while time.time() < deadline:
            files = [name for name in glob.glob(os.path.join(downloads, "vantrel-backup-*.zip"))]
            if files:
                break
            time.sleep(0.1)
        self.assertEqual(len(files), 1, os.listdir(downloads))
        self.assertRegex(os.path.basename(files[0]), r"^vantrel-backup-\d{4}-\d{2}-\d{2}\.zip$")
        with zipfile.ZipFile(files[0]) as archive:
            self.assertIn("vantrel.db", archive.namelist())
        self.assertEqual(self.page_errors(), [])
        driver.get("about:blank")
        self.assertEqual(shell.stop(), 0, shell.output())

        # Another, empty data folder: the file brings the car back.
        other_dir = tempfile.mkdtemp(prefix="vantrel-e2e-other-")
        self.addCleanup(shutil.rmtree, other_dir, True)
        shell = Shell(other_dir)
        driver.get(shell.address)
        self.wait_for_text("Add A Car")
        self.tap_point(22, 42)
        self.wait_for_text("Restore From File")
        self.tap_text(shell, "Restore From File")
        self.wait_until("return !document.getElementById('sheet').hidden;")
        driver.find_element(By.ID, "chosen-file").send_keys(files[0])
        self.wait_until("return document.getElementById('sheet').hidden;")
        self.wait_for_text("Confirm Restore")
        self.screenshot(shell, "backup-2-confirm.png")
        self.tap_text(shell, "Restore")
        self.wait_for_text("Restore completed successfully.")
        self.tap_text(shell, "OK")
        self.wait_for_text("Weekender")
        self.screenshot(shell, "backup-3-restored.png")
        self.assertEqual(self.page_errors(), [])

    def tap_entry_of_row(self, shell, title):
        """Taps the entry on the right of the form row titled `title`."""
        item = next((entry for entry in shell.state()["texts"] if entry["text"] == title), None)
        self.assertIsNotNone(item, f'no row "{title}" on the screen')
        self.tap_point(240, item["y"] + item["h"] / 2)

    def test_a_fill_up_recorded_in_the_browser_shows_on_the_fuel_list(self):
        driver = self.driver
        shell = Shell(self.data_dir)
        self.addCleanup(lambda: shell.stop())
        driver.get(shell.address)
        self.add_car_from_start_screen(shell, "Hatchback")

        # The car's menu, its fuel page and the invitation to record the first fill-up.
        self.tap_text(shell, "Hatchback")
        self.wait_for_text("Fuel")
        self.tap_text(shell, "Fuel")
        self.wait_for_text("Record A Fill-up")
        self.tap_text(shell, "Record A Fill-up")
        self.wait_for_text("Total Cost")

        # The odometer has the number pad at once; the quantity and the price follow.
        self.wait_until("return document.activeElement && document.activeElement.id === 'keys';")
        self.assertEqual(driver.find_element(By.ID, "keys").get_attribute("inputmode"), "numeric")
        ActionChains(driver).send_keys("1250").perform()
        self.tap_entry_of_row(shell, "Gallons")
        ActionChains(driver).send_keys("12.5").perform()
        self.wait_for_text("12.5")
        self.tap_entry_of_row(shell, "Cost Per Gallon")
        ActionChains(driver).send_keys("3.4").perform()
        self.wait_for_text("3.4")
        self.screenshot(shell, "fill-up-form.png")
        self.tap_text(shell, "Save")
        self.wait_until("return [...document.querySelectorAll('#reader li')]"
                        ".some((entry) => entry.textContent.startsWith('12.500gal @ '));")
        self.screenshot(shell, "fuel-list.png")
        self.assertEqual(self.page_errors(), [])

        database = sqlite3.connect(os.path.join(self.data_dir, "Documents", "vantrel.db"))
        try:
            rows = database.execute("SELECT Odometer, Quantity, CostPerUnit, Type FROM Fillup").fetchall()
            odometer = database.execute("SELECT Odometer FROM Vehicle WHERE Name = 'Hatchback'").fetchone()
        finally:
            database.close()
        self.assertEqual(rows, [(1250, 12.5, 3.4, 0)])
        self.assertEqual(odometer, (1250,))

    def test_two_services_added_and_recorded_one_goes_due_soon_with_the_thresholds(self):
        driver = self.driver
        shell = Shell(self.data_dir)
        self.addCleanup(lambda: shell.stop())
        driver.get(shell.address)

        # A new car, then its services page from the car's own screen.
        self.add_car_from_start_screen(shell, "Roadster")
        self.tap_text(shell, "Roadster")
        self.wait_for_text("View, record or add services.")
        self.tap_text(shell, "Services")
        self.wait_for_text("Service not recorded yet")

        # Two services of its own, with the interval proposed, each recorded today: the first
        # at 1000 miles, the second at 5000, which the car's odometer follows.
        for name, reading in (("Battery Check", "1000"), ("Cabin Filter", "5000")):
            self.tap_point(296, 42)  # the + of the navigation bar
            self.wait_for_text("New Service")
            self.wait_for_keyboard()
            self.type_keys(name)
            self.wait_for_text(name)
            self.tap_text(shell, "Save")
            self.wait_for_text("Air Filter")
            self.tap_text(shell, name)
            self.wait_for_text("Every 12000 miles or 12 months")
            self.tap_point(296, 42)  # + records a performance
            self.wait_for_text("Odometer")
            self.wait_for_keyboard()
            self.type_keys(reading)
            self.tap_text(shell, "Save")
            self.wait_for_text("Last Recorded")
            self.wait_until("return document.title === 'Vantrel';")
            if name == "Battery Check":
                self.screenshot(shell, "services-1-detail.png")
            self.tap_text(shell, "Services")
            self.wait_for_text("Air Filter")
        self.wait_for_text_starting("Due in 8000 miles or ")
        self.wait_for_text_starting("Due in 12000 miles or ")
        self.assertFalse(self.colour_in("yellow", 0, 119, 10, 55), "Battery Check is on schedule")
        self.screenshot(shell, "services-2-list.png")

        # Due soon from 10000 miles before: Battery Check turns yellow.
        self.tap_text(shell, "Car")
        self.wait_for_text("View, record or add services.")
        self.tap_text(shell, "Cars")
        self.wait_for_text("Settings")
        self.tap_text(shell, "Settings")
        self.wait_for_text("Distance Before Due")
        self.tap_text(shell, "500")
        self.wait_for_keyboard()
        self.type_keys(Keys.BACKSPACE * 3 + "10000")
        self.wait_for_text("10000")
        self.tap_text(shell, "Cars")
        self.wait_for_text("Model not specified")

        # The badge: on the tab's title (the icon's count), on the car's row and on its menu.
        self.wait_until("return document.title === '(1) Vantrel';")
        self.assertEqual(shell.state()["badge"], 1)
        self.wait_for_colour("red", 220, 64, 100, 80)
        self.screenshot(shell, "services-3-car-list.png")
        self.tap_text(shell, "Roadster")
        self.wait_for_text("View, record or add services.")
        self.wait_for_colour("red", 220, 224, 100, 60)
        self.screenshot(shell, "services-4-menu.png")
        self.tap_text(shell, "Services")
        self.wait_for_text_starting("Due in 8000 miles or ")
        self.wait_for_colour("yellow", 0, 119, 10, 55)
        self.assertFalse(self.colour_in("yellow", 0, 229, 10, 55), "Cabin Filter stays on schedule")
        self.screenshot(shell, "services-5-due-soon.png")
    def test_a_report_turns_with_the_turn_button_and_keeps_its_period(self):
        driver = self.driver
        shell = Shell(self.data_dir)
        self.assertEqual(shell.stop(), 0, shell.output())
        # A car with half a year of fill-ups, every 14 days up to today.
        database = sqlite3.connect(os.path.join(self.data_dir, "Documents", "vantrel.db"))
        with database:
            car = database.execute("INSERT INTO Vehicle (Name, LicensePlate, Make, Model, Year, Odometer, Notes, "
                                   "RowOrder) VALUES ('Tourer', '', '', '', 0, 4000, '', 0)").lastrowid
            today = datetime.date.today()
            for k in range(13):
                day = today - datetime.timedelta(days=14 * (12 - k))
                database.execute("INSERT INTO Fillup (VehicleID, Date, Odometer, Quantity, CostPerUnit, Units, "
                                 "Notes, Type) VALUES (?, ?, ?, 10, ?, 1, '', 0)",
                                 (car, day.isoformat(), 400 + 300 * k, 2.8 + 0.05 * k))
        database.close()

        shell = Shell(self.data_dir)
        self.addCleanup(lambda: shell.stop())
        driver.get(shell.address)
        self.wait_for_text("Tourer")
        self.tap_text(shell, "Tourer")
        self.wait_for_text("View charts for this car.")
        self.tap_text(shell, "Reports")
        self.wait_for_text("Fuel Prices")
        self.tap_text(shell, "Fuel Prices")
        self.wait_for_text("6m")
        self.tap_text(shell, "6m")
        self.screenshot(shell, "report-portrait.png")

        # Turned: the bars make way and the buttons take their long titles; the period stays.
        driver.find_element(By.ID, "rotate").click()
        WebDriverWait(driver, 15).until(lambda _: shell.state()["landscape"])
        self.wait_for_text("6 Months")
        texts = [entry["text"] for entry in shell.state()["texts"]]
        self.assertNotIn("Reports", texts, "the navigation bar and its back button are hidden")
        self.screenshot(shell, "report-landscape.png")

        # Upright again: the bars are back, with the way back to the reports page.
        driver.find_element(By.ID, "rotate").click()
        WebDriverWait(driver, 15).until(lambda _: not shell.state()["landscape"])
        self.wait_for_text("6m")
        self.tap_text(shell, "Reports")
        self.wait_for_text("Fuel Prices")
        self.assertFalse(shell.state()["landscape"])
        self.assertEqual(self.page_errors(), [])


    # Files of other logbooks, written for this test from their layouts (values invented).
    FUELLY = (
        "car_name, model, mpg,  odometer, miles, gallons, price, city_percentage, fuelup_date, date_added, tags, "
        "notes, missed_fuelup, partial_fuelup, latitude, longitude, brand\n"
        '"Blue wagon","Estate 2.0",21.33,31400.0,190.0,11.000,3.399,40,2022-07-12,2022-07-12 08:12:44,"","",0,0,,,"Hilltop"\n'
        '"Blue wagon","Estate 2.0",0,31210.0,130.0,4.000,3.429,40,2022-07-05,2022-07-05 18:30:01,"","top-up",0,1,,,""\n'
        '"Blue wagon","Estate 2.0",0,31080.0,0,12.250,3.389,40,2022-06-28,2022-06-28 17:02:10,"","",0,0,,,""\n')
    FUELIO = (
        '"## Vehicle"\n'
        '"Name","Description","DistUnit","FuelUnit","ConsumptionUnit","ImportCSVDateFormat","VIN","Insurance","Plate",'
        '"Make","Model","Year"\n'
        '"Red hatch","","1","1","1","yyyy-MM-dd","","","AB-12-CD","Makerco","Hatch","2017"\n'
        '"## Log"\n'
        '"Data","Odo (mi)","Fuel (us gallons)","Full","Price (optional)","mpg (optional)","latitude (optional)",'
        '"longitude (optional)","City (optional)","Notes (optional)","Missed","TankNumber","FuelType","VolumePrice",'
        '"StationID (optional)","ExcludeDistance","UniqueId","TankCalc","Weather"\n'
        '"2024-05-10 07:30","52300.0","8.0","1","27.12","0.0","0.0","0.0",,"","0","1","110","3.39","0","0.0","3","0.0",\n'
        '"2024-05-02 07:41","52060.0","3.0","0","10.20","0.0","0.0","0.0",,"","0","1","110","3.40","0","0.0","2","0.0",\n'
        '"2024-04-21 16:12","51800.0","11.0","1","37.18","0.0","0.0","0.0",,"first","0","1","110","3.38","0","0.0","1","0.0",\n')

    @staticmethod
    def logbook(data_dir):
        """Everything the logbook keeps, as rows to compare."""
        database = sqlite3.connect(os.path.join(data_dir, "Documents", "vantrel.db"))
        try:
            return [database.execute(query).fetchall() for query in (
                "SELECT Name, LicensePlate, Make, Model, Year, Odometer, Notes FROM Vehicle ORDER BY RowOrder",
                "SELECT v.Name, f.Date, f.Odometer, f.Quantity, f.CostPerUnit, f.Units, f.Type, f.Notes "
                "FROM Fillup f JOIN Vehicle v USING (VehicleID) ORDER BY v.RowOrder, f.Date, f.Odometer",
                "SELECT v.Name, r.Name, r.DatePerformed, r.Odometer, r.Cost, r.Notes "
                "FROM Repair r JOIN Vehicle v USING (VehicleID) ORDER BY v.RowOrder, r.DatePerformed",
                "SELECT v.Name, s.Name, s.FrequencyInMiles, s.FrequencyInMonths, vs.DatePerformed, vs.Odometer, "
                "vs.Cost, vs.Notes FROM VehicleService vs JOIN Vehicle v USING (VehicleID) JOIN Service s "
                "USING (ServiceID) ORDER BY v.RowOrder, s.Name, vs.DatePerformed")]
        finally:
            database.close()

    def import_file(self, shell, path, car):
        """Data Backup, Import From Another App, the file in the chooser, the preview, Import."""
        self.tap_point(22, 42)
        self.wait_for_text("Import From Another App")
        self.tap_text(shell, "Import From Another App")
        self.wait_until("return !document.getElementById('sheet').hidden;")
        self.driver.find_element(By.ID, "chosen-file").send_keys(path)
        self.wait_until("return document.getElementById('sheet').hidden;")
        self.wait_for_text(car)
        self.wait_for_text("Format")
        self.screenshot(shell, "import-preview-" + os.path.basename(path) + ".png")
        self.tap_point(286, 42)  # Import, on the right of the bar
        self.wait_for_text("Import Complete")
        self.tap_text(shell, "OK")
        self.wait_for_text(car)

    def test_two_apps_files_imported_in_the_browser_then_exported_bring_the_same_logbook_to_an_empty_folder(self):
        driver = self.driver
        files = tempfile.mkdtemp(prefix="vantrel-e2e-import-")
        self.addCleanup(shutil.rmtree, files, True)
        driver.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": files})
        fuelly = os.path.join(files, "fuelups.csv")
        fuelio = os.path.join(files, "car1-20240521.csv")
        for path, text in ((fuelly, self.FUELLY), (fuelio, self.FUELIO)):
            with open(path, "w", encoding="utf-8") as file:
                file.write(text)
        shell = Shell(self.data_dir)
        self.addCleanup(lambda: shell.stop())
        driver.get(shell.address)
        self.wait_for_text("Add A Car")

        # A Fuelly file for one car, a Fuelio file for another.
        self.import_file(shell, fuelly, "Blue wagon")
        self.import_file(shell, fuelio, "Red hatch")
        self.screenshot(shell, "import-cars.png")

        # Each car's fuel list shows the economy of its full-to-full tank, as computed by hand.
        for car, economy in (("Blue wagon", "21.33 MPG"),  # 31,080 to 31,400 miles on 4 + 11 gallons
                             ("Red hatch", "45.45 MPG")):  # 51,800 to 52,300 miles on 3 + 8 gallons
            self.tap_text(shell, car)
            self.wait_for_text("Record fill-ups and view fuel performance.")
            self.tap_text(shell, "Fuel")
            self.wait_for_text_starting(economy)
            self.screenshot(shell, "import-fuel-list-" + car.replace(" ", "-") + ".png")
            self.tap_point(40, 42)  # back to the car's menu
            self.wait_for_text("Record fill-ups and view fuel performance.")
            self.tap_text(shell, "Cars")
            self.wait_for_text("Red hatch")

        # Exported as CSV files, into the browser's downloads.
        self.tap_point(22, 42)
        self.wait_for_text("Download CSV Files")
        self.tap_text(shell, "Download CSV Files")
        deadline = time.time() + 20
        exported = []
        while time.time() < deadline and not exported:
            exported = glob.glob(os.path.join(files, "vantrel-csv-*.zip"))
            time.sleep(0.1)
        self.assertEqual(len(exported), 1, os.listdir(files))
        with zipfile.ZipFile(exported[0]) as archive:
            self.assertEqual(sorted(archive.namelist()),
                             ["fillups.csv", "repairs.csv", "services.csv", "vehicles.csv"])
        self.assertEqual(self.page_errors(), [])
        driver.get("about:blank")
        self.assertEqual(shell.stop(), 0, shell.output())
        kept = self.logbook(self.data_dir)
        self.assertEqual(len(kept[1]), 6, "six fill-ups")

        # An empty data folder: the export brings the same logbook back.
        other_dir = tempfile.mkdtemp(prefix="vantrel-e2e-other-")
        self.addCleanup(shutil.rmtree, other_dir, True)
        shell = Shell(other_dir)
        driver.get(shell.address)
        self.wait_for_text("Add A Car")
        self.import_file(shell, exported[0], "Blue wagon")
        self.wait_for_text("Red hatch")
        self.screenshot(shell, "import-restored.png")
        self.assertEqual(self.page_errors(), [])
        driver.get("about:blank")
        self.assertEqual(shell.stop(), 0, shell.output())
        self.assertEqual(self.logbook(other_dir), kept)
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
        # Back with the browser's Back, as with a phone's back key: the screen goes back and
        # the page stays.
        self.wait_until("return history.state && history.state.vantrelBack;")
        driver.back()
        self.wait_for_slide("pop")
        self.wait_for_text("Add A Car")

        # Back and forth again: the start screen, shown before, comes from the page's memory
        # (nothing large fetched), and the page shows exactly the shell's frame.
        self.tap_text(shell, "Change Theme", finger=True)
        self.wait_for_slide("push")
        # The theme's background, which the page fetches once it is idle.
        self.wait_until("return performance.getEntriesByType('resource').some((e) => /backdrop/.test(e.name));")
        self.wait_until("return history.state && history.state.vantrelBack;")
        # What is fetched from here on (a fetch for the screen before may still be finishing).
        since = driver.execute_script("return performance.now();")
        driver.back()
        self.wait_for_slide("pop")
        fetched = driver.execute_script("return performance.getEntriesByType('resource')"
                                        ".filter((e) => /patch/.test(e.name) && e.startTime >= arguments[0])"
                                        ".map((e) => e.encodedBodySize);", since)
        self.assertTrue(all(size < 20000 for size in fetched), fetched)
        self.assertEqual(self.pixels_unlike_the_shells_frame(), 0)

        # Editing a field: exactly one keyboard, the phone's own, with the field's kind.
        self.tap_text(shell, "Add A Car", finger=True)
        self.wait_for_slide("push")
        self.wait_for_text("Vehicle's Name")
        # Much of the editor is that background: left out of its strips, and drawn beneath them.
        self.assertEqual(self.pixels_unlike_the_shells_frame(), 0)
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
