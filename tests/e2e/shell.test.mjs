// Vantrel as a person meets it: the shell started on a free loopback port with a fresh data
// folder, the page open in headless Chromium, a car added through the screen and the
// keyboard, the shell restarted, the car still there and the due service on the badge.
//
// Environment: VANTREL_BIN (the vantrel executable), CHROMIUM (default /usr/bin/chromium),
// VANTREL_SCREENSHOTS (a folder for the screenshots; default a temporary one).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, mkdirSync, rmSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

const binary = process.env.VANTREL_BIN;
const chromiumPath = process.env.CHROMIUM || '/usr/bin/chromium';
const shots = process.env.VANTREL_SCREENSHOTS || mkdtempSync(join(tmpdir(), 'vantrel-shots-'));
mkdirSync(shots, { recursive: true });

function startShell(dataDir) {
  return new Promise((resolve, reject) => {
    const child = spawn(binary, ['--port', '0', '--data', dataDir], { stdio: ['ignore', 'pipe', 'pipe'] });
    let output = '';
    const timer = setTimeout(() => reject(new Error(`vantrel did not start:\n${output}`)), 60000);
    const read = (chunk) => {
      output += chunk;
      const match = output.match(/Open (http:\/\/127\.0\.0\.1:\d+\/) in a browser/);
      if (match) {
        clearTimeout(timer);
        resolve({ child, address: match[1], output: () => output });
      }
    };
    child.stdout.on('data', read);
    child.stderr.on('data', read);
    child.on('exit', (code) => {
      clearTimeout(timer);
      reject(new Error(`vantrel exited with ${code}:\n${output}`));
    });
  });
}

function stopShell(shell) {
  return new Promise((resolve) => {
    shell.child.removeAllListeners('exit');
    shell.child.on('exit', (code, signal) => resolve({ code, signal }));
    shell.child.kill('SIGTERM');
  });
}

async function shellState(shell) {
  const response = await fetch(`${shell.address}state`);
  return response.json();
}

// Taps a point of the screen (in points), through the page.
async function tapPoint(page, x, y) {
  const box = await page.locator('#screen').boundingBox();
  await page.mouse.click(box.x + (x * box.width) / 320, box.y + (y * box.height) / 480);
}

// Taps the middle of the first text on screen that reads `text`, through the page.
async function tapText(page, shell, text) {
  const state = await shellState(shell);
  const item = state.texts.find((entry) => entry.text === text);
  assert.ok(item, `"${text}" is not on the screen: ${state.texts.map((entry) => entry.text).join(' | ')}`);
  const box = await page.locator('#screen').boundingBox();
  const width = state.landscape ? 480 : 320;
  const height = state.landscape ? 320 : 480;
  await page.mouse.click(box.x + ((item.x + item.w / 2) * box.width) / width,
    box.y + ((item.y + item.h / 2) * box.height) / height);
}

async function waitForText(page, text) {
  await page.waitForFunction((wanted) => [...document.querySelectorAll('#reader li')]
    .some((entry) => entry.textContent === wanted), text, { timeout: 15000 });
}

// The screenshot once the page shows the shell's latest frame.
async function screenshot(page, shell, name) {
  await page.waitForTimeout(300);
  const path = join(shots, name);
  await page.screenshot({ path });
  console.log(`screenshot: ${path}`);
}

test('a car added in the browser survives a restart and a due service shows on the badge', async () => {
  assert.ok(binary && existsSync(binary), 'VANTREL_BIN names the vantrel executable');
  const dataDir = mkdtempSync(join(tmpdir(), 'vantrel-e2e-'));
  const browser = await chromium.launch({ executablePath: chromiumPath, args: ['--no-sandbox'] });
  let shell = await startShell(dataDir);
  try {
    const context = await browser.newContext({ viewport: { width: 900, height: 820 } });
    let page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));

    // The start screen.
    await page.goto(shell.address);
    await waitForText(page, 'Add A Car');
    assert.equal(await page.title(), 'Vantrel');
    await screenshot(page, shell, '1-start.png');

    // Add a car: its name typed on the computer's keyboard, then Save.
    await tapText(page, shell, 'Add A Car');
    await waitForText(page, "Vehicle's Name");
    await tapText(page, shell, "Vehicle's Name");
    await page.waitForFunction(() => document.activeElement && document.activeElement.id === 'keys');
    assert.equal(await page.locator('#keys').getAttribute('enterkeyhint'), 'done');
    await page.keyboard.type('Roadster');
    await waitForText(page, 'Roadster');

    // Its picture comes through the browser's file chooser, as PNG.
    const chooser = page.waitForEvent('filechooser');
    await tapPoint(page, 50, 140); // the picture of the name row
    await (await chooser).setFiles(new URL('../../resources/web/icons/icon-512.png', import.meta.url).pathname);
    await page.waitForFunction(() => document.getElementById('sheet').hidden);
    await screenshot(page, shell, '2-editor.png');
    await tapText(page, shell, 'Save');
    await waitForText(page, 'Model not specified');
    const listed = await shellState(shell);
    assert.ok(listed.texts.some((entry) => entry.text === 'Roadster'), 'the car is in the list');
    await screenshot(page, shell, '3-list.png');
    assert.ok(existsSync(join(dataDir, 'Documents', '1.png')), 'the picture was saved with the car');

    // The whole frame is there for scripts.
    const frame = await fetch(`${shell.address}frame.png`);
    assert.equal(frame.status, 200);
    assert.equal(frame.headers.get('content-type'), 'image/png');
    const bytes = Buffer.from(await frame.arrayBuffer());
    assert.equal(bytes.readUInt32BE(16), 640);
    assert.equal(bytes.readUInt32BE(20), 960);
    assert.deepEqual(errors, []);
    await page.close();

    // Stop: the application resigns and terminates, and the shell exits cleanly.
    const stopped = await stopShell(shell);
    assert.deepEqual(stopped, { code: 0, signal: null }, shell.output());

    // A service of the car, performed long ago, is overdue.
    const database = join(dataDir, 'Documents', 'vantrel.db');
    execFileSync('sqlite3', [database, `
      INSERT INTO Service (Name, FrequencyInMiles, FrequencyInMonths) VALUES ('Oil Change', 5000, 6);
      INSERT INTO VehicleService (VehicleID, ServiceID, DatePerformed, Odometer, Cost, Notes)
        SELECT (SELECT VehicleID FROM Vehicle WHERE Name = 'Roadster'), last_insert_rowid(), '2015-03-01', 0, 0, '';
    `]);

    shell = await startShell(dataDir);
    page = await context.newPage();
    page.on('pageerror', (error) => errors.push(error.message));
    await page.goto(shell.address);
    await waitForText(page, 'Roadster');
    await page.waitForFunction(() => document.title === '(1) Vantrel', null, { timeout: 15000 });
    await screenshot(page, shell, '4-restarted.png');
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
    if (shell.child.exitCode === null)
      await stopShell(shell);
    rmSync(dataDir, { recursive: true, force: true });
  }
});
