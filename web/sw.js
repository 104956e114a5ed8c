// The offline cache: after one visit the whole site is kept, and the game plays without a
// connection. web/assemble.sh writes the site's file list and a version made from the files'
// contents below, so every deploy that changes a file is a new worker with a new cache; when it
// takes over it deletes the caches of older deploys.
'use strict';

const VERSION = '@VERSION@';
const FILES = [@FILES@];
const CACHE = 'tangrel-' + VERSION;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // "no-cache": every file is checked with the server, never taken unseen from the HTTP
    // cache of an older deploy; an unchanged file costs a 304, not its bytes.
    await cache.addAll(FILES.map((f) => new Request(f, { cache: 'no-cache' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const key of await caches.keys())
      if (key.startsWith('tangrel-') && key !== CACHE) await caches.delete(key);
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const url = new URL(request.url);
  if (url.origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    // The page itself by any of its addresses ("./", "index.html", with a query).
    const key = request.mode === 'navigate' ? 'index.html' : request;
    const hit = await cache.match(key, { ignoreSearch: request.mode === 'navigate' });
    if (hit) return hit;
    try {
      return await fetch(request);
    } catch (e) {
      if (request.mode === 'navigate') {
        const page = await cache.match('index.html');
        if (page) return page;
      }
      throw e;
    }
  })());
});
