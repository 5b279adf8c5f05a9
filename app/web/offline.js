// The game's own page (not the benchmark's) can be added to a home screen
// and played offline: its manifest, and the worker that keeps this build.
(function () {
  if (typeof document === 'undefined') return;
  var manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'quellin.webmanifest';
  document.head.appendChild(manifest);
  // Without a worker (a page from a file, an old browser) the game still
  // plays; it only needs the network next time.
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('service-worker.js').catch(function () {});
})();
