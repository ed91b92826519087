"""Vantrel in headless Chromium, measured as a person meets it (run by `make bench` after the
Google Benchmark programs; needs the build's vantrel and vantrel_bench):

- tap to new screen: a finger's tap (80 ms) on "+" of a garage of 20 cars pushes the car
  editor; timed from the finger's lift to the editor's frame on the page, at pixel ratio 3
  on a 390 x 844 phone and at pixel ratio 1 on a 320 x 568 one. "shown" is with reduced
  motion (the frame appears whole); "slide starts" is the ordinary case, where the page
  begins its 0.3 s slide with that frame. Beside it, in the same run: decoding the same
  frame alone in the page, and encoding it alone (vantrel_bench BM_EncodeFrame);
- the bytes of frames sent for one push at pixel ratio 3;
- the first push after start (fresh vantrel and page, nothing of the editor seen before),
  tap to shown and bytes, at pixel ratio 3; and pushes of screens not seen before in a
  running vantrel (each car's page in turn);
- start to first frame: from starting `vantrel` to its first frame on a page already open,
  with no data and with 50 overdue services and reminders on (ten starts on one data folder:
  the first finds it fresh, the others find the display remembered); and the first start of
  a fresh data folder in browsers that have never shown Vantrel, one each: a settled browser,
  and a browser launched that moment, still busy with its own start.

Each browser is otherwise let finish its own start before it is used (see settle()).

Prints one line per figure (for the taps also where the time went: the lift sent, the new
frame's notice heard, its patches fetched) and, with --json FILE, writes them there.
"""
import argparse
import json
import os
import re
import shutil
import sqlite3
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
BUILD = os.environ.get("VANTREL_BUILD", os.path.join(HERE, "..", "build", "bin"))
CHROMIUM = os.environ.get("CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("CHROMEDRIVER", "/usr/bin/chromedriver")

# Recorded in the page from its first moment: when a finger lifts, when each frame shows.
PROBE = """
window.__bench = { up: 0, upFrame: 0, noticeAt: 0, shown: [], first: 0 };
addEventListener('pointerup', () => { window.__bench.up = performance.now(); window.__bench.upFrame = 0; }, true);
addEventListener('pointerdown', () => { window.__bench.upFrame = 0; }, true);
new MutationObserver((records) => {
  const now = performance.now();
  if (!window.__bench.first) window.__bench.first = performance.timeOrigin + now;
  for (const record of records)
    window.__bench.shown.push([now, Number(record.target.dataset.frame)]);
}).observe(document, { subtree: true, attributes: true, attributeFilter: ['data-frame'] });
// The frame of a push is the one whose notice says the screen moved.
const OriginalEventSource = window.EventSource;
window.EventSource = function (url) {
  const events = new OriginalEventSource(url);
  events.addEventListener('frame', (event) => {
    const notice = JSON.parse(event.data);
    if ((notice.moves || []).some((m) => m.kind === 'push' || m.kind === 'pop')) {
      window.__bench.upFrame = notice.seq;
      window.__bench.noticeAt = performance.now();
    }
  });
  return events;
};
"""


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(len(ordered) * fraction))]


class Shell:
    def __init__(self, data_dir):
        self.started = time.time()
        self.process = subprocess.Popen([os.path.join(BUILD, "vantrel"), "--port", "0", "--data", data_dir],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.address = None
        for line in self.process.stdout:
            match = re.search(r"Open (http://127\.0\.0\.1:\d+/) in a browser", line)
            if match:
                self.address = match.group(1)
                break
        threading.Thread(target=lambda: [None for _ in self.process.stdout], daemon=True).start()
        if not self.address:
            raise SystemExit("vantrel did not start")

    def state(self):
        with urllib.request.urlopen(self.address + "state", timeout=10) as response:
            return json.load(response)

    def stop(self):
        # Wait for the shell to answer before stopping it: a stop right at start-up is not
        # what is measured here.
        self.state()
        self.process.terminate()
        try:
            self.process.wait(30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def prepared_data(cars=0, overdue=0):
    """A data folder with the shipped database and `cars` cars, `overdue` services due since 2015."""
    folder = tempfile.mkdtemp(prefix="vantrel-bench-")
    shell = Shell(folder)
    shell.stop()
    database = sqlite3.connect(os.path.join(folder, "Documents", "vantrel.db"))
    with database:
        for i in range(max(cars, 1 if overdue else 0)):
            database.execute("INSERT INTO Vehicle (Name, Make, Model, Year, Odometer, RowOrder) "
                             "VALUES (?, 'Roadster', 'Model 1', ?, ?, ?)",
                             (f"Car {i + 1}", 2004 + i % 15, 12000 + 7919 * i, i))
        for i in range(overdue):
            service = database.execute("INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) "
                                       "VALUES (?, 5000, 6)", (f"Service {i + 1}",)).lastrowid
            database.execute("INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes) "
                             "SELECT VehicleID, ?, '2015-03-01', 0, 0, '' FROM Vehicle WHERE Name = 'Car 1'",
                             (service,))
    database.close()
    return folder


def browser_cpu_ms(driver):
    """CPU time (ms) used so far by the browser's processes: chromedriver's descendants."""
    children, ticks = {}, {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            children.setdefault(int(fields[1]), []).append(int(entry))
            ticks[int(entry)] = int(fields[11]) + int(fields[12])
    total, todo = 0, list(children.get(driver.service.process.pid, []))
    while todo:
        pid = todo.pop()
        total += ticks[pid]
        todo += children.get(pid, [])
    return total * 1000 / os.sysconf("SC_CLK_TCK")


def settle(driver, window=0.25, busy_ms=50, limit=6):
    """Waits for a just-launched browser to finish its own start (Chromium prepares its address
    bar's pages for about a second, using more than one of the two cores): two quiet windows in
    a row. A person's browser is running before they open Vantrel in it."""
    deadline = time.time() + limit
    quiet, used = 0, browser_cpu_ms(driver)
    while quiet < 2 and time.time() < deadline:
        time.sleep(window)
        now = browser_cpu_ms(driver)
        quiet = quiet + 1 if now - used < busy_ms else 0
        used = now


def browser(width, height, ratio, touch, reduced_motion=False, settled=True):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                     "--disable-dev-shm-usage", f"--window-size={max(width, 500)},{max(height, 900)}"):
        options.add_argument(argument)
    options.add_experimental_option("mobileEmulation", {"deviceMetrics": {
        "width": width, "height": height, "pixelRatio": ratio, "touch": touch}})
    driver = webdriver.Chrome(service=Service(executable_path=CHROMEDRIVER), options=options)
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
    if reduced_motion:
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia",
                               {"features": [{"name": "prefers-reduced-motion", "value": "reduce"}]})
    if settled:
        settle(driver)
    return driver


def wait_for(driver, script, timeout=20):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.02)
    raise SystemExit("timed out waiting for: " + script)


def touch(driver, shell, x, y, hold=0.08):
    box = driver.execute_script("return document.getElementById('screen').getBoundingClientRect().toJSON();")
    screen = shell.state()["screen"]
    px = box["x"] + x * box["width"] / screen["w"]
    py = box["y"] + y * box["height"] / screen["h"]
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": px, "y": py}]})
    time.sleep(hold)
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


def shows(shell, text):
    return any(entry["text"] == text for entry in shell.state()["texts"])


def tap_steps(driver, bench, shown):
    """Where one tap's time went, from the finger's lift (ms): the lift sent, the notice of the
    new frame heard, its patches fetched, the frame shown."""
    up = bench["up"]
    entries = driver.execute_script(
        "return performance.getEntriesByType('resource').map((e) => [e.name, e.startTime, e.responseEnd]);")
    sent = min((start for name, start, _ in entries if "/input" in name and start >= up - 1), default=up)
    fetched = max((end for name, start, end in entries
                   if re.search(r"patch|frame\.png|backdrop", name) and start >= bench["noticeAt"] - 1 and end <= shown),
                  default=bench["noticeAt"])
    return (sent - up, bench["noticeAt"] - up, fetched - up, shown - up)


SHOWN_AFTER_LIFT = "const b = window.__bench; return b.upFrame && b.shown.some(([t, seq]) => seq >= b.upFrame);"


def push_and_back(driver, shell, x, y, expected, what):
    """A tap at (x, y) that pushes a screen showing `expected`, then back: the lift to the new
    frame shown (ms), where that time went, and the bytes of frames fetched for it."""
    driver.execute_script("window.__bench.shown = []; performance.clearResourceTimings();")
    touch(driver, shell, x, y)
    wait_for(driver, SHOWN_AFTER_LIFT)
    time.sleep(0.45)
    if not shows(shell, expected):
        raise SystemExit(f"the tap did not open {what}")
    bench = driver.execute_script("return window.__bench;")
    shown = next(t for t, seq in bench["shown"] if seq >= bench["upFrame"])
    pushed = driver.execute_script(
        "return performance.getEntriesByType('resource').filter((e) => /patch|frame\\.png|backdrop/.test(e.name))"
        ".reduce((sum, e) => sum + e.encodedBodySize, 0);")
    steps = tap_steps(driver, bench, shown)
    touch(driver, shell, 30, 42)  # back
    wait_for(driver, SHOWN_AFTER_LIFT)
    time.sleep(0.5)
    return shown - bench["up"], steps, pushed


def tap_latency(shell, width, height, ratio, reduced_motion, taps, decode_alone=True):
    """Lift to frame shown, per tap; the bytes of the push; decoding the frame alone."""
    driver = browser(width, height, ratio, True, reduced_motion)
    try:
        driver.get(shell.address)
        wait_for(driver, "return document.getElementById('screen').dataset.frame;")
        time.sleep(1)
        latencies, pushed_bytes, steps = [], [], []
        for _ in range(taps):
            latency, step, pushed = push_and_back(
                driver, shell, 137, shell.state()["screen"]["h"] - 23, "Add Car", "the car editor")  # "+"
            latencies.append(latency)
            steps.append(step)
            pushed_bytes.append(pushed)
        if not decode_alone:
            return latencies, pushed_bytes, None, steps
        # The editor's whole frame, decoded and drawn alone in the same page.
        touch(driver, shell, 137, shell.state()["screen"]["h"] - 23)
        time.sleep(0.8)
        decode = driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            const canvas = document.createElement('canvas');
            (async () => {
              const scale = document.getElementById('screen').width / 320;
              const blob = await (await fetch('/frame.png?scale=' + scale, { cache: 'no-store' })).blob();
              const times = [];
              for (let i = 0; i < 15; ++i) {
                const start = performance.now();
                const image = await createImageBitmap(blob);
                canvas.width = image.width; canvas.height = image.height;
                canvas.getContext('2d').drawImage(image, 0, 0);
                image.close();
                times.push(performance.now() - start);
              }
              done({ times, bytes: blob.size, width: canvas.width, height: canvas.height });
            })();""")
        touch(driver, shell, 30, 42)
        time.sleep(0.5)
        return latencies, pushed_bytes, decode, steps
    finally:
        driver.quit()


def first_push(data_dir, runs):
    """The first push after start, in a fresh vantrel and page: nothing of the editor's frame
    has been encoded or decoded before (later pushes of a screen already seen are drawn from
    the page's memory)."""
    latencies, pushed, steps = [], [], []
    for _ in range(runs):
        shell = Shell(data_dir)
        try:
            first, sent, _, step = tap_latency(shell, 390, 844, 3, True, 1, decode_alone=False)
            latencies += first
            pushed += sent
            steps += step
        finally:
            shell.stop()
    return latencies, pushed, steps


def new_screens(data_dir, runs):
    """Pushes of screens not seen before in a running vantrel: a tap on each of the seven cars
    in view opens that car's page (and back); a fresh vantrel and page for each round."""
    latencies, pushed = [], []
    for _ in range(runs):
        shell = Shell(data_dir)
        driver = browser(390, 844, 3, True, True)
        try:
            driver.get(shell.address)
            wait_for(driver, "return document.getElementById('screen').dataset.frame;")
            time.sleep(1)
            for row in range(7):
                latency, _, bytes_fetched = push_and_back(
                    driver, shell, 160, 104 + 80 * row, "View charts for this car.", "the car's page")
                latencies.append(latency)
                pushed.append(bytes_fetched)
        finally:
            driver.quit()
            shell.stop()
    return latencies, pushed


def start_to_first_frame_in(driver, data_dir, runs):
    times = []
    for _ in range(runs):
        driver.get("about:blank")
        shell = Shell(data_dir)
        try:
            driver.get(shell.address)
            first = wait_for(driver, "return window.__bench && window.__bench.first;")
            times.append(first - shell.started * 1000)
        finally:
            shell.stop()
    return times


def start_to_first_frame(data_dir, runs):
    """Starts of vantrel on one data folder (the first start finds it fresh, the later ones
    find the display remembered), each opened in the same browser."""
    driver = browser(390, 844, 3, True)
    try:
        return start_to_first_frame_in(driver, data_dir, runs)
    finally:
        driver.quit()


def first_starts(data_dir, runs, settled):
    """The first start of a fresh data folder, each in a browser of its own that has never shown
    Vantrel: settled, or opened the moment the browser has launched, while it is still busy
    with its own start."""
    times = []
    for run in range(runs):
        fresh = f"{data_dir}-{run}"
        shutil.copytree(data_dir, fresh)
        driver = browser(390, 844, 3, True, settled=settled)
        try:
            times += start_to_first_frame_in(driver, fresh, 1)
        finally:
            driver.quit()
            shutil.rmtree(fresh, True)
    return times


def encode_alone():
    """vantrel_bench's encoding of the editor's frame at both pixel ratios (ms)."""
    program = os.path.join(BUILD, "vantrel_bench")
    output = subprocess.run([program, "--benchmark_filter=BM_EncodeFrame", "--benchmark_format=json"],
                            capture_output=True, text=True, check=True).stdout
    result = {}
    for entry in json.loads(output)["benchmarks"]:
        result[entry["name"]] = entry["real_time"] if entry["time_unit"] == "ms" else entry["real_time"] / 1e6
    return result


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--taps", type=int, default=40)
    parser.add_argument("--starts", type=int, default=10)
    parser.add_argument("--json")
    arguments = parser.parse_args()
    figures = {}

    garage = prepared_data(cars=20)
    shell = Shell(garage)
    try:
        for ratio, width, height in ((3, 390, 844), (1, 390, 844)):
            for reduced, label in ((True, "shown"), (False, "slide starts")):
                latencies, pushed, decode, steps = tap_latency(shell, width, height, ratio, reduced, arguments.taps)
                key = f"tap to new screen {label}, ratio {ratio}"
                figures[key] = {"median_ms": statistics.median(latencies), "p95_ms": percentile(latencies, 0.95)}
                print(f"{key}: median {figures[key]['median_ms']:.1f} ms, p95 {figures[key]['p95_ms']:.1f} ms")
                medians = [statistics.median(step[i] for step in steps) for i in range(4)]
                figures[key]["steps_ms"] = dict(zip(("input sent", "frame notice", "patches fetched", "shown"), medians))
                print("  from the lift (medians): input sent {:.1f} ms, frame notice {:.1f}, patches fetched {:.1f}, "
                      "shown {:.1f}".format(*medians))
                if reduced:
                    figures[f"decode alone, ratio {ratio}"] = {
                        "median_ms": statistics.median(decode["times"]), "bytes": decode["bytes"],
                        "frame": f"{decode['width']}x{decode['height']}"}
                    print(f"decode the editor's frame alone ({decode['width']}x{decode['height']}, "
                          f"{decode['bytes']} bytes), ratio {ratio}: median {statistics.median(decode['times']):.1f} ms")
                    if ratio == 3:
                        figures["bytes for one push, ratio 3"] = statistics.median(pushed)
                        print(f"bytes for one push, ratio 3: {statistics.median(pushed):.0f}")
    finally:
        shell.stop()
    try:
        latencies, pushed, steps = first_push(garage, arguments.starts)
        medians = [statistics.median(step[i] for step in steps) for i in range(4)]
        figures["first push after start, ratio 3"] = {
            "median_ms": statistics.median(latencies), "p95_ms": percentile(latencies, 0.95),
            "max_ms": max(latencies), "bytes": statistics.median(pushed),
            "steps_ms": dict(zip(("input sent", "frame notice", "patches fetched", "shown"), medians))}
        print(f"first push after start, ratio 3: median {statistics.median(latencies):.1f} ms, "
              f"p95 {percentile(latencies, 0.95):.1f} ms, max {max(latencies):.1f} ms, "
              f"{statistics.median(pushed):.0f} bytes")
        print("  from the lift (medians): input sent {:.1f} ms, frame notice {:.1f}, patches fetched {:.1f}, "
              "shown {:.1f}".format(*medians))
        latencies, pushed = new_screens(garage, 3)
        figures["push of a screen not seen before, ratio 3"] = {
            "median_ms": statistics.median(latencies), "p95_ms": percentile(latencies, 0.95),
            "max_ms": max(latencies), "bytes": statistics.median(pushed)}
        print(f"push of a screen not seen before (each car's page), ratio 3: median {statistics.median(latencies):.1f} ms, "
              f"p95 {percentile(latencies, 0.95):.1f} ms, max {max(latencies):.1f} ms, {statistics.median(pushed):.0f} bytes")
    finally:
        shutil.rmtree(garage, True)

    for name, milliseconds in encode_alone().items():
        figures[name] = {"ms": milliseconds}
        print(f"{name} (encoding the frame alone): {milliseconds:.1f} ms")

    for label, data in (("no data", prepared_data()), ("50 overdue services, reminders on", prepared_data(overdue=50))):
        try:
            times = start_to_first_frame(data, arguments.starts)
            figures[f"start to first frame, {label}"] = {"median_ms": statistics.median(times), "max_ms": max(times)}
            print(f"start to first frame, {label}: median {statistics.median(times):.0f} ms, max {max(times):.0f} ms")
        finally:
            shutil.rmtree(data, True)
    data = prepared_data()
    try:
        for label, settled, runs in (("first visit", True, 8), ("browser just launched", False, 3)):
            times = first_starts(data, runs, settled)
            key = f"start to first frame, no data, fresh folder, {label}"
            figures[key] = {"median_ms": statistics.median(times), "max_ms": max(times)}
            print(f"{key}: median {statistics.median(times):.0f} ms, max {max(times):.0f} ms")
    finally:
        shutil.rmtree(data, True)

    if arguments.json:
        with open(arguments.json, "w") as out:
            json.dump(figures, out, indent=2)


if __name__ == "__main__":
    sys.exit(main())
