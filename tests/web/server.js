// A small static file server for the site on 127.0.0.1: what any web host does, nothing more.
// Content types (application/wasm for streaming compilation), gzip when the browser takes it,
// ETag revalidation and byte ranges. No caching by the browser without asking ("no-cache").
//   node server.js SITE_DIR [PORT]     (PORT 0 or none: a free port; the address is printed)
'use strict';

const http = require('http');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const crypto = require('crypto');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.ogg': 'audio/ogg',
  '.txt': 'text/plain; charset=utf-8',
};
const COMPRESSIBLE = new Set(['.html', '.js', '.css', '.json', '.webmanifest', '.wasm', '.data', '.txt']);

// Files read once per change (size and time), with their gzip form made on first demand.
function fileCache() {
  const files = new Map();
  return (file) => {
    const st = fs.statSync(file);
    const stamp = st.size + ':' + st.mtimeMs;
    let e = files.get(file);
    if (!e || e.stamp !== stamp) {
      const body = fs.readFileSync(file);
      e = { stamp, body, gz: null, etag: '"' + crypto.createHash('sha1').update(body).digest('hex').slice(0, 20) + '"' };
      files.set(file, e);
    }
    return e;
  };
}

function start(root, port = 0) {
  root = path.resolve(root);
  const read = fileCache();
  const requests = [];  // what was asked, for the tests: {url, status, bytes}
  const server = http.createServer((req, res) => {
    let status = 200, bytes = 0;
    const done = (code, headers, body) => {
      status = code;
      bytes = body ? body.length : 0;
      res.writeHead(code, headers);
      res.end(req.method === 'HEAD' ? undefined : body);
      requests.push({ url: req.url, status, bytes, time: Date.now() });
    };
    if (req.method !== 'GET' && req.method !== 'HEAD') return done(405, { Allow: 'GET, HEAD' }, Buffer.from('method not allowed\n'));
    let rel;
    try {
      rel = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    } catch (e) {
      return done(400, {}, Buffer.from('bad request\n'));
    }
    if (rel.endsWith('/')) rel += 'index.html';
    const file = path.join(root, path.normalize(rel));
    if (!file.startsWith(root + path.sep)) return done(403, {}, Buffer.from('forbidden\n'));
    let e;
    try {
      if (!fs.statSync(file).isFile()) throw new Error('not a file');
      e = read(file);
    } catch (err) {
      return done(404, { 'Content-Type': 'text/plain' }, Buffer.from('not found\n'));
    }
    const ext = path.extname(file).toLowerCase();
    const headers = {
      'Content-Type': TYPES[ext] || 'application/octet-stream',
      'Cache-Control': 'no-cache',
      ETag: e.etag,
      'Accept-Ranges': 'bytes',
      Vary: 'Accept-Encoding',
    };
    if (req.headers['if-none-match'] === e.etag) return done(304, headers, null);
    const range = /^bytes=(\d*)-(\d*)$/.exec(req.headers.range || '');
    if (range && (range[1] || range[2])) {
      const size = e.body.length;
      let a = range[1] ? +range[1] : size - +range[2];
      let b = range[1] && range[2] ? Math.min(+range[2], size - 1) : size - 1;
      a = Math.max(0, a);
      if (a > b || a >= size) return done(416, { 'Content-Range': `bytes */${size}` }, null);
      headers['Content-Range'] = `bytes ${a}-${b}/${size}`;
      return done(206, headers, e.body.subarray(a, b + 1));
    }
    if (COMPRESSIBLE.has(ext) && /\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
      if (!e.gz) e.gz = zlib.gzipSync(e.body, { level: 6 });
      headers['Content-Encoding'] = 'gzip';
      return done(200, headers, e.gz);
    }
    return done(200, headers, e.body);
  });
  const sockets = new Set();
  server.on('connection', (s) => { sockets.add(s); s.on('close', () => sockets.delete(s)); });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      const p = server.address().port;
      resolve({
        port: p,
        url: `http://127.0.0.1:${p}/`,
        requests,
        close: () => new Promise((r) => {
          for (const s of sockets) s.destroy();
          server.close(() => r());
        }),
      });
    });
  });
}

module.exports = { start };

if (require.main === module) {
  const [site, port] = process.argv.slice(2);
  if (!site || !fs.existsSync(path.join(site, 'index.html'))) {
    console.error('usage: node server.js SITE_DIR [PORT]   (SITE_DIR holds index.html; make web writes build-web/site)');
    process.exit(2);
  }
  start(site, port ? +port : 0).then((s) => {
    console.log(`Tangrel 2.0 is served at ${s.url} (Ctrl+C stops)`);
  }, (e) => {
    console.error(`cannot serve on 127.0.0.1:${port || 0}: ${e.message}`);
    process.exit(1);
  });
}
