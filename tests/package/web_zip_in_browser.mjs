// The web zip as a host would use it: its own copy of the server started in
// the unpacked folder as HOSTING.md says, and the page loaded once in
// headless Chromium, where the engine must start and answer a move.
//
//   node tests/package/web_zip_in_browser.mjs <unpacked folder>
import { spawn } from 'node:child_process';
import { join } from 'node:path';
import { check, playFirstMove, startRun, UI_WAIT } from '../web/browser_harness.mjs';

const folder = process.argv[2];

// `node tools/web/serve.mjs --port 0` in the folder; resolves with its address.
function zipServer() {
  return new Promise((resolve, reject) => {
    const server = spawn('node', [join('tools', 'web', 'serve.mjs'), '--port', '0'], { cwd: folder, stdio: ['ignore', 'pipe', 'inherit'] });
    server.on('error', reject);
    server.stdout.on('data', (chunk) => {
      const address = String(chunk).match(/at (http:\/\/\S+\/)/)?.[1];
      if (address) resolve({ address, server });
    });
    setTimeout(() => reject(new Error('the zip\'s serve.mjs did not start')), UI_WAIT);
  });
}

const run = await startRun({ seconds: 60 });
const { address, server } = await zipServer();
const page = await run.newPage();

try {
  await check('the unpacked web zip, served by its own server, plays a move against its engine', async () => {
    await page.goto(address);
    await playFirstMove(page);
  });
} finally {
  server.kill();
  await run.finish();
}
