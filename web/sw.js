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
    // cache of an older deploy; an unchanged file costs a 304, not its bytes. A file the HTTP
    // cache holds only in part (music a media element began to play) may come back as a
    // part: that one is fetched whole.
    await Promise.all(FILES.map(async (f) => {
      let r = await fetch(new Request(f, { cache: 'no-cache' }));
      if (r.status !== 200) r = await fetch(new Request(f, { cache: 'reload' }));
      if (r.status !== 200) throw new Error(`${f}: HTTP ${r.status}`);
      await cache.put(f, r);
    }));
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
    if (hit) return request.headers.has('range') ? part(hit, request.headers.get('range')) : hit;
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

// A media element asks for the music in byte ranges: the kept file answers them itself.
async function part(whole, range) {
  const body = await whole.arrayBuffer();
  const size = body.byteLength;
  const m = /^bytes=(\d*)-(\d*)$/.exec(range.trim());
  let a = 0, b = size - 1;
  if (m && m[1]) { a = +m[1]; if (m[2]) b = Math.min(+m[2], size - 1); }
  else if (m && m[2]) a = Math.max(0, size - +m[2]);
  if (!m || a > b) return new Response(null, { status: 416, headers: { 'Content-Range': `bytes */${size}` } });
  return new Response(body.slice(a, b + 1), {
    status: 206,
    headers: {
      'Content-Type': whole.headers.get('Content-Type') || 'application/octet-stream',
      'Content-Range': `bytes ${a}-${b}/${size}`,
      'Content-Length': String(b - a + 1),
      'Accept-Ranges': 'bytes',
    },
  });
}
