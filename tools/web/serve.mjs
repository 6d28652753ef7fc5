#!/usr/bin/env node
// A static server for the page, on this machine only. It sends the two
// headers that make the page cross-origin isolated, without which the
// browser withholds the shared memory that carries the engine's input.
//
//   node tools/web/serve.mjs [--port N] [--root DIR]      (port 0: any free one)
import { createServer } from 'node:http';
import { open, realpath } from 'node:fs/promises';
import { extname, join, normalize, relative, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.wasm': 'application/wasm',
  '.json': 'application/json',
  '.png': 'image/png',
  '.md': 'text/plain; charset=utf-8',
};

const ISOLATION = {
  'Cross-Origin-Opener-Policy': 'same-origin',
  'Cross-Origin-Embedder-Policy': 'require-corp',
};

// isolate: false leaves the two headers out, as a server that does not know them would.
export function serve({ root, port = 8020, host = '127.0.0.1', isolate = true }) {
  const base = resolve(root);
  const server = createServer(async (request, response) => {
    const headers = { ...(isolate ? ISOLATION : {}), 'Cache-Control': 'no-cache', 'X-Content-Type-Options': 'nosniff' };
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405, { ...headers, Allow: 'GET, HEAD' }).end();
      return;
    }
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400, headers).end();
      return;
    }
    if (path.endsWith('/')) path += 'index.html';
    const file = normalize(join(base, path));
    // Nothing outside the served folder, and no package folder.
    const inside = (name) => {
      const at = relative(base, name);
      return at !== '..' && !at.startsWith('..' + sep) && !at.split(sep).includes('node_modules');
    };
    if (!inside(file)) {
      response.writeHead(404, headers).end('Not found\n');
      return;
    }
    let handle;
    try {
      // A link inside the folder may point out of it: judge where it leads.
      if (!inside(await realpath(file))) throw new Error('outside the folder');
      handle = await open(file, 'r');
      const info = await handle.stat();
      if (!info.isFile()) throw new Error('not a file');
      response.writeHead(200, {
        ...headers,
        'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream',
        'Content-Length': info.size,
      });
      if (request.method === 'HEAD') response.end();
      else response.end(await handle.readFile());
    } catch {
      if (!response.headersSent) response.writeHead(404, headers).end('Not found\n');
    } finally {
      await handle?.close();
    }
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, host, () => done(server));
  });
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const args = process.argv.slice(2);
  const option = (name, fallback) => {
    const at = args.indexOf(name);
    return at >= 0 && at + 1 < args.length ? args[at + 1] : fallback;
  };
  const root = option('--root', fileURLToPath(new URL('../../web/', import.meta.url)));
  const port = Number(option('--port', process.env.PORT ?? 8020));
  serve({ root, port })
    .then((server) => {
      const { address, port: actual } = server.address();
      console.log(`Serving ${resolve(root)} at http://${address}:${actual}/ (Ctrl-C to stop)`);
    })
    .catch((error) => {
      console.error(`Cannot serve on 127.0.0.1:${port}: ${error.message}`);
      process.exit(1);
    });
}
