// The README's picture of the page: a whole run with the force arrows and the circle of
// curvature, and its curvature graph moved beside the window, in headless Chromium.
//   node tests/web/screenshot.mjs build-web/web/kentrikh.html docs/web.png
import {resolve} from 'node:path';
import {pathToFileURL} from 'node:url';
import {chromium} from 'playwright-core';

const [page_, output] = process.argv.slice(2);
const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'],
});
const page = await browser.newPage({viewport: {width: 1120, height: 720}});
await page.goto(pathToFileURL(resolve(page_)).href);
await page.evaluate(() => window.kentrikh.ready);
await page.evaluate(() => { window.kentrikh.manualTicks = true; });
await page.click('#MERIKESDYN');
await page.click('#KAMPYLOTHTA');
await page.click('#Command1');
await page.click('#message-ok');
await page.waitForFunction(() => !window.kentrikh.busy());
await page.evaluate(() => window.kentrikh.run());
await page.click('#Command5');
for (let i = 0; i < 3; ++i)
    await page.click('dialog[open] #message-ok');
await page.waitForFunction(() => !window.kentrikh.busy());
await page.mouse.move(60, 11);
await page.mouse.down();
await page.mouse.move(760, 200, {steps: 4});
await page.mouse.up();
await page.screenshot({path: output});
await browser.close();
