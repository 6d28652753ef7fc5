// The page's service worker, for two things a plain static host cannot give:
// - the page with no network: every file it fetches is kept in a cache and
//   served from there when the network fails (the network comes first, so a
//   new version of the page is seen at once when online);
// - cross-origin isolation: each answer it gives carries the two headers that
//   let the page use the shared memory the engine's input needs, whether or
//   not the server sent them.
const CACHE = 'vargul-page';

const ISOLATION = {
  'Cross-Origin-Opener-Policy': 'same-origin',
  'Cross-Origin-Embedder-Policy': 'require-corp',
};

// Kept at once, before any page asks: the engine's files are fetched by its
// worker, the pieces and arrows by the board, none of which the page lists later.
const FIRST_FILES = [
  './',
  'index.html',
  'style.css',
  'manifest.json',
  'icons/icon.svg',
  'icons/icon-192.png',
  'icons/icon-512.png',
  'engine/engine.js',
  'engine/engine_worker.js',
  'engine/input_queue.mjs',
  'engine/vargul_wasm.mjs',
  'engine/vargul_wasm.wasm',
  'vendor/cm-chessboard/assets/pieces/standard.svg',
  'vendor/cm-chessboard/assets/extensions/arrows/arrows.svg',
];

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(CACHE)
      .then((cache) => cache.addAll(FIRST_FILES))
      .then(() => self.skipWaiting()),
  );
});

// The page that registered this worker is served by it from now on, without
// waiting for its next visit: the page reloads itself once to be isolated.
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(networkThenCache(event));
});

async function networkThenCache(event) {
  const { request } = event;
  const cache = await caches.open(CACHE);
  try {
    const response = await fetch(request);
    if (response.ok && !request.headers.has('range')) event.waitUntil(cache.put(request, response.clone()));
    return isolated(response);
  } catch (error) {
    const kept = await cache.match(request, { ignoreSearch: true });
    if (!kept) throw error;
    return isolated(kept);
  }
}

function isolated(response) {
  // An opaque or redirected answer cannot be rebuilt; it passes as it is.
  if (response.status === 0 || response.type === 'opaqueredirect') return response;
  const headers = new Headers(response.headers);
  for (const [name, value] of Object.entries(ISOLATION)) headers.set(name, value);
  return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
}
