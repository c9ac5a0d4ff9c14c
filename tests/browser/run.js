'use strict';
// Runs the browser tests given on the command line with node's test runner, once the things
// they need are here: lumivane-cli (LUMIVANE_CLI), Debian's Chromium (CHROMIUM) and the npm
// package playwright-core (`npm ci` in this folder). On a developer's machine a missing piece
// skips the tests (exit 77); in CI it fails them.

const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const missing = [
  !fs.existsSync(process.env.LUMIVANE_CLI || '') && `lumivane-cli (LUMIVANE_CLI=${process.env.LUMIVANE_CLI || ''})`,
  !fs.existsSync(chromium) && `Chromium at ${chromium} (apt-get install chromium)`,
  !fs.existsSync(path.join(__dirname, 'node_modules', 'playwright-core')) && `playwright-core (npm ci in ${__dirname})`,
].filter(Boolean);
if (missing.length > 0) {
  console.error(`browser tests cannot run, missing: ${missing.join('; ')}`);
  process.exit(process.env.CI ? 1 : 77);
}

const files = process.argv.slice(2).map((file) => path.resolve(__dirname, file));
const run = spawnSync(process.execPath, ['--test', '--test-reporter=spec', ...files], {
  stdio: 'inherit',
  cwd: __dirname,
  env: { ...process.env, CHROMIUM: chromium },
});
process.exit(run.status ?? 1);
