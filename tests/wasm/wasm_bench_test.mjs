// tools/wasm_bench.sh against stand-in benches, one folder each: what each
// prints and how it exits decides whether the tool may pass.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { chmodSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const tool = fileURLToPath(new URL('../../tools/wasm_bench.sh', import.meta.url));
const good = (signature) => `position 1 nodes 10 bestmove e2e4\nsignature ${signature} nodes 100 time_ms 10 nps 10000\n`;

// Each bench: [what it prints, its exit status].
const rows = [
  { name: 'equal signatures', native: [good(87701), 0], wasm: [good(87701), 0], passes: true },
  { name: 'different signatures', native: [good(87701), 0], wasm: [good(87702), 0], passes: false, says: /signatures differ/ },
  { name: 'both print nothing', native: ['', 0], wasm: ['', 0], passes: false, says: /native bench failed/ },
  { name: 'the wasm bench prints nothing', native: [good(87701), 0], wasm: ['', 0], passes: false, says: /wasm bench failed/ },
  { name: 'both end before the summary', native: ['position 1 nodes 10\n', 0], wasm: ['position 1 nodes 10\n', 0], passes: false, says: /native bench failed/ },
  { name: 'the native bench exits with an error', native: [good(87701), 1], wasm: [good(87701), 0], passes: false, says: /exit status 1/ },
];

test('the bench comparison passes only on two summaries with one signature', () => {
  const root = mkdtempSync(join(tmpdir(), 'vargul-wasm-bench-'));
  try {
    for (const row of rows) {
      const dir = mkdtempSync(join(root, 'case-'));
      writeFileSync(join(dir, 'bench'), `#!/bin/sh\nprintf '%s' '${row.native[0]}'\nexit ${row.native[1]}\n`);
      chmodSync(join(dir, 'bench'), 0o755);
      writeFileSync(join(dir, 'bench.mjs'), `process.stdout.write(${JSON.stringify(row.wasm[0])}); process.exitCode = ${row.wasm[1]};\n`);
      const run = spawnSync('bash', [tool, dir, dir], { encoding: 'utf8' });
      assert.equal(run.status === 0, row.passes, `${row.name}: exit status ${run.status}, ${run.stderr}`);
      if (row.says) assert.match(run.stderr, row.says, row.name);
    }
  } finally {
    rmSync(root, { recursive: true, force: true });
  }
});
