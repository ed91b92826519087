// Makes Vantrel installable and shows its reminders; every request still goes to the shell,
// which is the phone itself (nothing is cached).
'use strict';

self.addEventListener('install', () => self.skipWaiting());
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));
self.addEventListener('fetch', () => {});

self.addEventListener('notificationclick', (event) => {
  event.notification.close();
  event.waitUntil((async () => {
    const windows = await self.clients.matchAll({ type: 'window', includeUncontrolled: true });
    for (const client of windows) {
      if ('focus' in client)
        return client.focus();
    }
    return self.clients.openWindow('/');
  })());
});
