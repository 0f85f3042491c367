#!/usr/bin/env node
// Serves the browser build's site folder on 127.0.0.1, gzipped where the browser accepts it,
// as a static host would. Usage: node scripts/web-serve.mjs SITE_DIR [PORT]
// (PORT, else QUORVEX_WEB_PORT, else 8080; 0 takes any free port). The tests import serveSite.
import {createServer} from 'node:http';
import {readFile, stat} from 'node:fs/promises';
import {extname, join, normalize, resolve, sep} from 'node:path';
import {pathToFileURL} from 'node:url';
import {gzipSync} from 'node:zlib';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.json': 'application/json',
  '.txt': 'text/plain; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
};

// Resolves with {server, url}. Extra folders (prefix -> folder) are served beside the site;
// the tests put their scripts there. Every answer's bytes are counted in stats.bytes.
export async function serveSite(siteDir, {port = 0, extra = {}} = {}) {
  const roots = {'/': resolve(siteDir)};
  for (const [prefix, dir] of Object.entries(extra)) roots[prefix] = resolve(dir);
  const gzipped = new Map();  // path -> gzip of the file as it was when first asked for
  const stats = {bytes: 0, requests: 0};
  const server = createServer(async (req, res) => {
    try {
      const path = decodeURIComponent(new URL(req.url, 'http://localhost').pathname);
      let prefix = '/';
      for (const p of Object.keys(roots)) {
        if (p !== '/' && path.startsWith(p)) prefix = p;
      }
      const root = roots[prefix];
      const rel = path.slice(prefix.length).replace(/^\/+/, '') || 'index.html';
      const file = normalize(join(root, rel));
      if (file !== root && !file.startsWith(root + sep)) throw new Error('outside');
      if (!(await stat(file)).isFile()) throw new Error('not a file');
      let body = await readFile(file);
      const headers = {
        'Content-Type': kTypes[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-cache',
      };
      if (/\bgzip\b/.test(req.headers['accept-encoding'] || '')) {
        if (!gzipped.has(file)) gzipped.set(file, gzipSync(body, {level: 9}));
        body = gzipped.get(file);
        headers['Content-Encoding'] = 'gzip';
      }
      headers['Content-Length'] = body.length;
      res.writeHead(200, headers);
      res.end(req.method === 'HEAD' ? undefined : body);
      stats.bytes += body.length;
      stats.requests += 1;
    } catch (e) {
      res.writeHead(404, {'Content-Type': 'text/plain'});
      res.end('not found\n');
    }
  });
  await new Promise((ok, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', ok);
  });
  return {server, stats, url: `http://127.0.0.1:${server.address().port}/`};
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const site = process.argv[2];
  if (!site) {
    console.error('usage: node scripts/web-serve.mjs SITE_DIR [PORT]');
    process.exit(2);
  }
  const port = Number(process.argv[3] ?? process.env.QUORVEX_WEB_PORT ?? 8080);
  serveSite(site, {port}).then(
      ({url}) => console.log(`Quorvex is served at ${url} (Ctrl+C stops the server)`),
      (e) => {
        console.error(`web-serve: ${e.message}`);
        process.exit(1);
      });
}
