// The page's side of its service worker (../service_worker.js): registers it,
// reloads once when the page is not cross-origin isolated so that the worker,
// which adds the two headers, serves it; and keeps what the page loaded for
// visits with no network.
const CACHE = 'vargul-page';
// Set for the one reload, so a browser where the worker cannot isolate the
// page does not reload it for ever; the page then says what is missing.
const RELOADING = 'vargul-isolation-reload';

// Resolves when the engine may be started; never, when a reload is on its way.
// An isolated page does not wait for the registration: its engine starts at once.
export async function prepareServiceWorker() {
  if (!('serviceWorker' in navigator)) return;
  // null: a browser that refuses it, and the page runs as served.
  const registering = navigator.serviceWorker.register(new URL('../service_worker.js', import.meta.url)).catch(() => null);
  if (globalThis.crossOriginIsolated) {
    sessionStorage.removeItem(RELOADING);
    const unserved = !navigator.serviceWorker.controller;
    registering.then((registration) => registration && unserved && keepLoadedFiles());
    return;
  }
  if (!(await registering) || sessionStorage.getItem(RELOADING)) return;
  sessionStorage.setItem(RELOADING, '1');
  await controlled();
  location.reload();
  await new Promise(() => {});
}

function controlled() {
  if (navigator.serviceWorker.controller) return Promise.resolve();
  return new Promise((resolve) => navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true }));
}

// The first visit was not served by the worker, so its cache lacks the page's
// modules and styles: they are added from the browser's list of what it loaded.
function keepLoadedFiles() {
  const keep = async () => {
    const urls = performance
      .getEntriesByType('resource')
      .map((entry) => entry.name)
      .filter((url) => new URL(url).origin === location.origin);
    try {
      const cache = await caches.open(CACHE);
      await cache.addAll([...new Set([location.href.split('#')[0], ...urls])]);
    } catch {
      // Kept next time: the worker keeps what it serves.
    }
  };
  if (document.readyState === 'complete') keep();
  else addEventListener('load', keep, { once: true });
}
