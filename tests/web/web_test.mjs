// The web page in headless Chromium, opened from disk as one file, driven by clicks and keys,
// against the desktop program run headless with the same actions at the same screen height:
// the same pictures pixel for pixel, the same message texts, the same run as CSV.
//
//   node --test tests/web/web_test.mjs
// KENTRIKH_WEB_PAGE (build-web/web/kentrikh.html) and KENTRIKH_PROGRAM
// (build/src/app/kentrikh) say what to compare; CHROMIUM the browser (/usr/bin/chromium).
import {after, before, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {fileURLToPath, pathToFileURL} from 'node:url';
import {chromium} from 'playwright-core';
import {decodePng} from './png.mjs';

const root = fileURLToPath(new URL('../..', import.meta.url));
const pageFile = resolve(process.env.KENTRIKH_WEB_PAGE ?? join(root, 'build-web/web/kentrikh.html'));
const program = resolve(process.env.KENTRIKH_PROGRAM ?? join(root, 'build/src/app/kentrikh'));

// The screen the window is laid out for; the page takes the viewport less its caption bar.
const ScreenHeight = 600;
const CaptionHeight = 22;
// The browser's sin, cos and exp may differ from the C library's in the last bit; the
// radius and centre of curvature go through more of them than the position does.
const CurvatureColumns = new Set(['rho', 'centre_x', 'centre_y']);
const CurvatureUlpTolerance = 16;

let browser;
let work;

before(async () => {
    work = mkdtempSync(join(tmpdir(), 'kentrikh-web-'));
    browser = await chromium.launch({
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        // Root has no sandbox; the machine has no network for the browser's own traffic.
        args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
            '--disable-component-update', '--disable-sync', '--no-first-run'],
    });
});

after(async () => {
    await browser?.close();
    rmSync(work, {recursive: true, force: true});
});

// The desktop program after the actions: its pictures, its messages and its CSV.
function desktop(name, actions, {graph = false} = {}) {
    const file = (suffix) => join(work, `${name}-${suffix}`);
    const exports = ['--save-png', file('main.png'), '--save-csv', file('run.csv')];
    if (graph)
        exports.push('--save-graph', file('graph.png'));
    const output = execFileSync(program, ['--headless', '--screen-height', String(ScreenHeight),
        ...actions, ...exports], {encoding: 'utf8'});
    return {
        main: decodePng(readFileSync(file('main.png'))),
        graph: graph ? decodePng(readFileSync(file('graph.png'))) : null,
        csv: readFileSync(file('run.csv'), 'utf8'),
        messages: output.split('\n').filter((l) => l.startsWith('message: '))
            .map((l) => l.slice('message: '.length)),
    };
}

async function openPage({manualTicks = true} = {}) {
    const page = await browser.newPage({
        viewport: {width: 1000, height: ScreenHeight + CaptionHeight}, acceptDownloads: true});
    const errors = [];
    page.on('pageerror', (error) => errors.push(error.message));
    const started = performance.now();
    await page.goto(pathToFileURL(pageFile).href);
    await page.evaluate(() => window.kentrikh.ready);
    page.loadMs = performance.now() - started;
    page.errors = errors;
    await page.evaluate((manual) => { window.kentrikh.manualTicks = manual; }, manualTicks);
    assert.equal(await page.evaluate(() => window.kentrikh.screenHeight), ScreenHeight);
    return page;
}

// Presses OK on every message box until the handler has finished.
async function settle(page) {
    for (;;) {
        const state = await page.waitForFunction(() => {
            if (document.querySelector('dialog[open]') !== null)
                return 'message';
            return window.kentrikh.busy() ? null : 'done';
        });
        if ((await state.jsonValue()) === 'done')
            return;
        await page.click('#message-ok');
    }
}

async function click(page, selector) {
    await page.click(selector);
    await settle(page);
}

async function keys(page, selector, key, times = 1) {
    await page.focus(selector);
    for (let i = 0; i < times; ++i)
        await page.keyboard.press(key);
    await settle(page);
}

async function run(page) {
    await page.evaluate(() => window.kentrikh.run());
}

async function canvasPixels(page, id) {
    const {width, height, data} = await page.evaluate((canvasId) => {
        const canvas = document.getElementById(canvasId);
        const bytes = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let binary = '';
        for (let i = 0; i < bytes.length; i += 0x8000)
            binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return {width: canvas.width, height: canvas.height, data: btoa(binary)};
    }, id);
    return {width, height, rgba: Buffer.from(data, 'base64')};
}

function assertSamePicture(actual, expected, what) {
    assert.deepEqual([actual.width, actual.height], [expected.width, expected.height],
        `${what}: size`);
    const differing = [];
    for (let p = 0; p < actual.width * actual.height; ++p) {
        if (actual.rgba.readUInt32BE(p * 4) !== expected.rgba.readUInt32BE(p * 4))
            differing.push(p);
    }
    const where = differing.slice(0, 5).map((p) => `(${p % actual.width}, ${
        Math.floor(p / actual.width)}) ${actual.rgba.readUInt32BE(p * 4).toString(16)} instead of ${
        expected.rgba.readUInt32BE(p * 4).toString(16)}`);
    assert.equal(differing.length, 0, `${what}: ${differing.length} pixels differ: ${where}`);
}

// How far apart two values are in units in the last place of a scale: the centre of
// curvature is the position plus the radius along the normal, so near zero it is as exact
// as the radius, not as its own magnitude would make it.
function ulpsAt(a, b, scale) {
    const magnitude = Math.max(Math.abs(a), Math.abs(b), Math.abs(scale));
    const exponent = magnitude === 0 ? -1074 : Math.max(Math.floor(Math.log2(magnitude)) - 52, -1074);
    return Math.abs(a - b) / 2 ** exponent;
}

// The page's CSV against the desktop's: the position, velocity and force columns exactly,
// the curvature columns within a few units in the last place. Every difference is reported.
function compareCsv(actual, expected, what) {
    const actualLines = actual.trimEnd().split('\n');
    const expectedLines = expected.trimEnd().split('\n');
    assert.equal(actualLines[0], expectedLines[0], `${what}: header`);
    assert.equal(actualLines.length, expectedLines.length, `${what}: lines`);
    const columns = expectedLines[0].split(',');
    const faults = [];
    let differing = 0;
    const byColumn = {};
    let worst = 0;
    for (let line = 1; line < expectedLines.length; ++line) {
        const a = actualLines[line].split(',');
        const e = expectedLines[line].split(',');
        for (let c = 0; c < columns.length; ++c) {
            if (a[c] === e[c])
                continue;
            ++differing;
            byColumn[columns[c]] = (byColumn[columns[c]] ?? 0) + 1;
            const scale = CurvatureColumns.has(columns[c]) ? Number(e[columns.indexOf('rho')]) : 0;
            const distance = a[c] === '' || e[c] === '' ? Infinity
                : ulpsAt(Number(a[c]), Number(e[c]), scale);
            worst = Math.max(worst, distance);
            const note = `sample ${e[0]} ${columns[c]}: ${a[c]} instead of ${e[c]} (${distance} ulp)`;
            if (!CurvatureColumns.has(columns[c]) || distance > CurvatureUlpTolerance)
                faults.push(note);
            else
                console.log(`# ${what}: ${note}`);
        }
    }
    console.log(`# ${what}: ${differing} CSV values differ ${JSON.stringify(byColumn)}, at most ${
        worst} units in the last place`);
    assert.deepEqual(faults, [], `${what}: CSV values differ`);
}

async function savedCsv(page) {
    const [download] = await Promise.all([
        page.waitForEvent('download'),
        page.keyboard.press('Control+Shift+S'),
    ]);
    return readFileSync(await download.path(), 'utf8');
}

async function compareWithDesktop(page, name, actions, {graph = false} = {}) {
    const expected = desktop(name, actions, {graph});
    assertSamePicture(await canvasPixels(page, 'picture'), expected.main, `${name}: picture`);
    if (graph) {
        assertSamePicture(await canvasPixels(page, 'graph-picture'), expected.graph,
            `${name}: curvature graph`);
    }
    assert.deepEqual(await page.evaluate(() => window.kentrikh.messages), expected.messages,
        `${name}: messages`);
    compareCsv(await savedCsv(page), expected.csv, name);
    assert.deepEqual(page.errors, [], `${name}: errors on the page`);
}

test('the default run', async () => {
    const page = await openPage();
    console.log(`# page loaded from disk and started in ${page.loadMs.toFixed(0)} ms`);
    await click(page, '#Command1');
    await run(page);
    await compareWithDesktop(page, 'default', ['--press', 'start', '--run']);
    await page.close();
});

test('Foucault with forces and the circle of curvature, then the graph; saved as files',
    async () => {
        const page = await openPage();
        for (const box of ['#eidiki', '#MERIKESDYN', '#KAMPYLOTHTA'])
            await click(page, box);
        await click(page, '#Command1');
        await run(page);
        await click(page, '#Command5');
        assert.equal(await page.isVisible('#graph'), true);
        const actions = ['--toggle', 'foucault', '--toggle', 'forces', '--toggle', 'curvature',
            '--press', 'start', '--run', '--press', 'graph'];
        await compareWithDesktop(page, 'foucault', actions, {graph: true});

        // The saved PNG files are the pictures.
        const expected = desktop('foucault-again', actions, {graph: true});
        const saved = async (trigger) => {
            const [download] = await Promise.all([page.waitForEvent('download'), trigger()]);
            return decodePng(readFileSync(await download.path()));
        };
        assertSamePicture(await saved(() => page.keyboard.press('Control+S')), expected.main,
            'saved picture');
        assertSamePicture(await saved(() => page.click('#save-graph')), expected.graph,
            'saved graph');
        await page.close();
    });

test('a probe after a run', async () => {
    const page = await openPage();
    await click(page, '#MERIKESDYN');
    await click(page, '#Command1');
    await run(page);
    const box = await page.locator('#picture').boundingBox();
    const [px, py] = [380, 170];
    await page.mouse.click(box.x + px, box.y + py);
    await settle(page);
    const [x, y] = await page.evaluate(([a, b]) => window.kentrikh.userOf(a, b), [px, py]);
    await compareWithDesktop(page, 'probe',
        ['--toggle', 'forces', '--press', 'start', '--run', '--probe', `${x},${y}`]);
    await page.close();
});

test('the time step changed by keys in the middle of a run', async () => {
    const page = await openPage();
    await click(page, '#Command1');
    await page.evaluate(() => window.kentrikh.tick(300));
    // Seven pages of 100 from 500.
    await keys(page, '#VIMAXRO', 'PageDown', 7);
    assert.match(await page.textContent('#Label4'), /12[.,]00$/);
    await run(page);
    await compareWithDesktop(page, 'mid-run',
        ['--press', 'start', '--tick', '300', '--set', 'timestep=1200', '--run']);
    await page.close();
});

test('a strongly repelling spring escaping at the largest time step', async () => {
    const page = await openPage();
    await keys(page, '#STAKENTR', 'End');
    await keys(page, '#VIMAXRO', 'End');
    for (const box of ['#MERIKESDYN', '#KAMPYLOTHTA'])
        await click(page, box);
    await click(page, '#Command1');
    await run(page);
    await click(page, '#Command5');
    await compareWithDesktop(page, 'escape',
        ['--set', 'spring=100', '--set', 'timestep=2000', '--toggle', 'forces', '--toggle',
            'curvature', '--press', 'start', '--run', '--press', 'graph'], {graph: true});
    await page.close();
});

test('the critical setting: equal roots', async () => {
    const page = await openPage();
    await keys(page, '#STAKENTR', 'PageDown', 6);
    await keys(page, '#MAGNHTIO', 'ArrowRight', 15);
    for (const box of ['#eidiki', '#MERIKESDYN', '#KAMPYLOTHTA'])
        await click(page, box);
    await click(page, '#Command1');
    await run(page);
    await click(page, '#Command5');
    await compareWithDesktop(page, 'critical',
        ['--set', 'spring=10', '--set', 'field=20', '--toggle', 'foucault', '--toggle', 'forces',
            '--toggle', 'curvature', '--press', 'start', '--run', '--press', 'graph'],
        {graph: true});
    await page.close();
});

test('the focus order of the controls; a bar dragged changes only when released', async () => {
    const page = await openPage();
    const order = [];
    for (let i = 0; i < 13; ++i) {
        order.push(await page.evaluate(() => document.activeElement.id));
        await page.keyboard.press('Tab');
    }
    assert.deepEqual(order, ['MAGNHTIO', 'STAKENTR', 'Command1', 'Command2', 'ARXIVX', 'Command3',
        'Command4', 'VIMAXRO', 'klimaka', 'KAMPYLOTHTA', 'eidiki', 'MERIKESDYN', 'Command5']);

    const label = () => page.textContent('#Label1');
    const before = await label();
    const box = await page.locator('#STAKENTR').boundingBox();
    await page.mouse.move(box.x + box.width / 4, box.y + box.height / 2);
    await page.mouse.down();
    await page.mouse.move(box.x + box.width * 0.9, box.y + box.height / 2, {steps: 5});
    assert.equal(await label(), before);
    await page.mouse.up();
    await settle(page);
    assert.notEqual(await label(), before);
    await page.close();
});

test('a run in real time lasts 1000 intervals and ends as the stepped one', async () => {
    const page = await openPage({manualTicks: false});
    await click(page, '#Command1');
    await page.waitForFunction(() => window.kentrikh.lastRunMs !== null, null, {timeout: 20000});
    const ms = await page.evaluate(() => window.kentrikh.lastRunMs);
    console.log(`# a whole run in real time took ${ms.toFixed(0)} ms (1000 ticks of 1 ms)`);
    assertSamePicture(await canvasPixels(page, 'picture'),
        desktop('real-time', ['--press', 'start', '--run']).main, 'picture after a real run');
    await page.close();
});
