'use strict';
// Runs a browser test file with node's test runner once lumivane-cli, Debian's Chromium and playwright-core
// (`npm ci` here) are here. On a developer's machine a missing piece skips the tests (exit 77); in CI it fails them.
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const path = require('node:path');

const missing = [[process.env.LUMIVANE_CLI, 'lumivane-cli (LUMIVANE_CLI)'], [process.env.CHROMIUM || '/usr/bin/chromium', 'Chromium'],
  [path.join(__dirname, 'node_modules', 'playwright-core'), `playwright-core (npm ci in ${__dirname})`]].filter(([file]) => !fs.existsSync(file || ''));
if (missing.length > 0) {
  console.error(`browser tests cannot run, missing: ${missing.map(([, what]) => what).join('; ')}`);
  process.exit(process.env.CI ? 1 : 77);
}
const run = spawnSync(process.execPath, ['--test', '--test-reporter=spec', path.resolve(__dirname, process.argv[2])], { stdio: 'inherit' });
process.exit(run.status ?? 1);
