// Keeps one build of the game for offline play. The cache is named after
// the build's content, and a build is kept whole or not at all: every file
// must have the hash its build gave it, or this worker is not installed (a
// server caught between two builds; the next visit tries again). A new
// build's worker takes over once no page of the old build is open and drops
// the old cache as a whole, so a page never runs files of two builds.
'use strict';

const FILES = @QUELLIN_OFFLINE_FILES@;
const CACHE = 'quellin-@QUELLIN_OFFLINE_BUILD@';

function hex(buffer) {
  return Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, '0')).join('');
}

async function keep() {
  const cache = await caches.open(CACHE);
  try {
    for (const [name, sha256] of FILES) {
      const response = await fetch(name, { cache: 'no-store' });
      if (!response.ok) throw new Error(`${name}: HTTP ${response.status}`);
      const digest = hex(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer()));
      if (digest !== sha256) throw new Error(`${name} is another build's`);
      await cache.put(name, response);
    }
  } catch (e) {
    await caches.delete(CACHE);
    throw e;
  }
}

self.addEventListener('install', (event) => event.waitUntil(keep()));

self.addEventListener('activate', (event) => event.waitUntil((async () => {
  for (const name of await caches.keys())
    if (name.startsWith('quellin-') && name !== CACHE) await caches.delete(name);
})()));

// The kept build first; whatever it does not hold, from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});
