// The site served on 127.0.0.1 from a free port, as a static host serves
// it; it counts what the page loads and how much that weighs in gzip.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import zlib from 'node:zlib';

const types = {
  '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript',
  '.wasm': 'application/wasm', '.txt': 'text/plain', '.png': 'image/png',
};

export function serveSite(site) {
  const root = path.resolve(site);
  const loaded = new Map(); // file name: its size in gzip
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname).replace(/\/$/, '/index.html');
    const file = path.join(root, path.normalize(name));
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found');
      return;
    }
    const body = fs.readFileSync(file);
    loaded.set(name, zlib.gzipSync(body, { level: 9 }).length);
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' });
    response.end(body);
  });
  server.loaded = loaded;
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}
