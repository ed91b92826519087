// The page of the Vantrel shell: shows the phone's screen, sends touches and keys to it,
// and does what the phone would for the application (open addresses, pick pictures, show
// web content, the badge and reminders). The shell tells it what changed through
// server-sent events; frames are fetched as PNG, whole or as the patch that changed.
'use strict';

(() => {
  const screen = document.getElementById('screen');
  const glass = document.getElementById('glass');
  const phone = document.getElementById('phone');
  const webLayer = document.getElementById('web');
  const keys = document.getElementById('keys');
  const picture = document.getElementById('picture');
  const sheet = document.getElementById('sheet');
  const banners = document.getElementById('banners');
  const connecting = document.getElementById('connecting');
  const reader = document.getElementById('reader');
  const context = screen.getContext('2d', { alpha: false });

  const touchDevice = matchMedia('(pointer: coarse)').matches;
  document.body.classList.toggle('touch', touchDevice);

  let page = 0;
  let state = { badge: 0, title: document.title, keyboard: null, landscape: false, web: [], reminders: 0 };
  let desktopLandscape = false;

  // ---- Layout: the screen scaled to fit, drawn at the device's pixel ratio.

  let requestedScale = 2; // pixels per point the shell draws for this page
  let pointWidth = 320;
  let pointHeight = 480;
  let cssPerPoint = 1;

  function wantsLandscape() {
    return touchDevice ? matchMedia('(orientation: landscape)').matches : desktopLandscape;
  }

  function layout() {
    const landscape = state.landscape;
    pointWidth = landscape ? 480 : 320;
    pointHeight = landscape ? 320 : 480;
    phone.classList.toggle('landscape', landscape);
    const viewport = window.visualViewport;
    let width = viewport ? viewport.width : window.innerWidth;
    let height = viewport ? viewport.height : window.innerHeight;
    if (!touchDevice) {
      // Room for the phone's frame and the controls below it.
      width -= landscape ? 128 + 24 : 28 + 24;
      height -= landscape ? 28 + 70 : 128 + 70;
    }
    const dpr = window.devicePixelRatio || 1;
    const fit = Math.max(0.25, Math.min(width / pointWidth, height / pointHeight));
    // Frames come in quarter steps of scale; show them pixel for pixel.
    const scale = Math.min(4, Math.max(1, Math.floor(fit * dpr * 4) / 4));
    cssPerPoint = Math.min(fit, scale / dpr);
    glass.style.width = `${pointWidth * cssPerPoint}px`;
    glass.style.height = `${pointHeight * cssPerPoint}px`;
    screen.style.width = `${pointWidth * cssPerPoint}px`;
    screen.style.height = `${pointHeight * cssPerPoint}px`;
    if (scale !== requestedScale) {
      requestedScale = scale;
      frames.reset();
    }
    placeWebContent();
    postPageState();
  }

  // ---- Frames.

  const frames = {
    have: 0,
    latest: 0,
    needWhole: true,
    notices: new Map(),
    busy: false,

    reset() {
      this.have = 0;
      this.latest = 0;
      this.needWhole = true;
      this.notices.clear();
    },

    notice(notice) {
      if (notice.scale !== requestedScale)
        return;
      this.notices.set(notice.seq, notice);
      if (notice.full && notice.seq > this.have)
        this.needWhole = true;
      this.latest = Math.max(this.latest, notice.seq);
      this.update();
    },

    sequenceAnswered(seq) {
      // The input's answer names the canonical frame; ours follows through its notice.
      if (requestedScale === 2 && seq > this.latest) {
        this.latest = seq;
        this.update();
      }
    },

    async update() {
      if (this.busy)
        return;
      this.busy = true;
      try {
        while (this.needWhole || this.have < this.latest) {
          const target = this.latest;
          const pending = [];
          for (let seq = this.have + 1; seq <= target; ++seq)
            pending.push(this.notices.get(seq));
          if (!this.needWhole && this.have > 0 && pending.length <= 4 && pending.every(Boolean)) {
            const images = await Promise.all(
              pending.map((n) => loadImage(`/patch?scale=${n.scale}&seq=${n.seq}`)));
            if (images.every(Boolean)) {
              for (let i = 0; i < pending.length; ++i) {
                const n = pending[i];
                if (screen.width !== n.w || screen.height !== n.h) {
                  this.needWhole = true;
                  break;
                }
                context.drawImage(images[i], n.x, n.y);
                images[i].close?.();
                this.have = n.seq;
              }
              continue;
            }
          }
          const whole = await loadWholeFrame();
          if (!whole)
            break;
          if (screen.width !== whole.image.width || screen.height !== whole.image.height) {
            screen.width = whole.image.width;
            screen.height = whole.image.height;
          }
          context.drawImage(whole.image, 0, 0);
          whole.image.close?.();
          this.have = whole.seq;
          this.latest = Math.max(this.latest, whole.seq);
          this.needWhole = false;
        }
        for (const seq of this.notices.keys()) {
          if (seq <= this.have)
            this.notices.delete(seq);
        }
      } finally {
        this.busy = false;
      }
    },
  };

  async function loadImage(url) {
    try {
      const response = await fetch(url, { cache: 'no-store' });
      if (!response.ok)
        return null;
      return await createImageBitmap(await response.blob());
    } catch (error) {
      return null;
    }
  }

  async function loadWholeFrame() {
    try {
      const response = await fetch(`/frame.png?scale=${requestedScale}`, { cache: 'no-store' });
      if (!response.ok)
        return null;
      const seq = Number(response.headers.get('X-Frame-Sequence')) || 0;
      return { seq, image: await createImageBitmap(await response.blob()) };
    } catch (error) {
      return null;
    }
  }

  // ---- Messages to the shell.

  function post(path, body) {
    return fetch(path, {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify(body),
    });
  }

  let lastPageState = '';

  function pageState() {
    return {
      page,
      visible: document.visibilityState === 'visible',
      focused: document.hasFocus(),
      landscape: wantsLandscape(),
      scale: requestedScale,
      camera: touchDevice,
    };
  }

  function postPageState() {
    if (!page)
      return;
    const body = pageState();
    const text = JSON.stringify(body);
    if (text === lastPageState)
      return;
    lastPageState = text;
    post('/page', body).catch(() => {});
  }

  // Input goes out one batch at a time, in order; what arrives meanwhile waits for the next.
  const input = {
    queue: [],
    sending: false,

    add(event) {
      const last = this.queue[this.queue.length - 1];
      if (event.type === 'move' && last && last.type === 'move')
        this.queue[this.queue.length - 1] = event;
      else
        this.queue.push(event);
      this.pump();
    },

    async pump() {
      if (this.sending || !this.queue.length || !page)
        return;
      this.sending = true;
      const events = this.queue.splice(0, 256);
      try {
        const response = await post('/input', { page, events });
        if (response.ok) {
          const answer = await response.json();
          frames.sequenceAnswered(answer.frame);
          // A focus given ahead for a tap that did not start editing is withdrawn.
          setTimeout(() => {
            if (!state.keyboard && document.activeElement === keys)
              keys.blur();
          }, 150);
        }
      } catch (error) {
        // The connection is back soon; the events are lost like taps on a frozen screen.
      } finally {
        this.sending = false;
      }
      this.pump();
    },
  };

  // ---- Touches.

  let activePointer = null;

  function pointFor(event) {
    const rect = screen.getBoundingClientRect();
    const x = ((event.clientX - rect.left) / rect.width) * pointWidth;
    const y = ((event.clientY - rect.top) / rect.height) * pointHeight;
    return {
      x: Math.min(pointWidth, Math.max(0, Math.round(x * 4) / 4)),
      y: Math.min(pointHeight, Math.max(0, Math.round(y * 4) / 4)),
    };
  }

  screen.addEventListener('pointerdown', (event) => {
    if (activePointer !== null || (event.pointerType === 'mouse' && event.button !== 0))
      return;
    activePointer = event.pointerId;
    screen.setPointerCapture(event.pointerId);
    input.add({ type: 'down', ...pointFor(event) });
    event.preventDefault();
  });

  screen.addEventListener('pointermove', (event) => {
    if (event.pointerId !== activePointer)
      return;
    input.add({ type: 'move', ...pointFor(event) });
    event.preventDefault();
  });

  function endPointer(event, type) {
    if (event.pointerId !== activePointer)
      return;
    activePointer = null;
    const point = pointFor(event);
    input.add({ type, ...point });
    event.preventDefault();
    if (type === 'up')
      afterTap(point);
  }

  screen.addEventListener('pointerup', (event) => endPointer(event, 'up'));
  screen.addEventListener('pointercancel', (event) => endPointer(event, 'cancel'));
  screen.addEventListener('contextmenu', (event) => event.preventDefault());

  // A mouse wheel scrolls as a finger would: a short drag where the pointer is.
  let wheelTimer = 0;
  let wheelTotal = 0;
  let wheelPoint = null;
  screen.addEventListener('wheel', (event) => {
    event.preventDefault();
    if (activePointer !== null)
      return;
    wheelPoint = wheelPoint || pointFor(event);
    wheelTotal += event.deltaMode === 1 ? event.deltaY * 16 : event.deltaY;
    clearTimeout(wheelTimer);
    wheelTimer = setTimeout(() => {
      const distance = Math.max(-pointHeight * 0.6, Math.min(pointHeight * 0.6, -wheelTotal));
      const start = wheelPoint;
      wheelTotal = 0;
      wheelPoint = null;
      if (Math.abs(distance) < 12)
        return;
      const from = start.y;
      const to = Math.min(pointHeight, Math.max(0, from + distance));
      input.add({ type: 'down', x: start.x, y: from });
      const steps = 6;
      for (let i = 1; i <= steps; ++i)
        input.add({ type: 'move', x: start.x, y: from + ((to - from) * i) / steps });
      input.add({ type: 'up', x: start.x, y: to });
    }, 40);
  }, { passive: false });

  let askedForNotifications = false;

  function afterTap(point) {
    // A phone raises its keyboard only for a focus given right in the tap's handler, so a tap
    // on an entry focuses at once; the shell's answer confirms or withdraws it.
    const entry = (state.entries || []).find((e) => point.x >= e.x && point.x <= e.x + e.w
      && point.y >= e.y && point.y <= e.y + e.h);
    if (entry && !state.keyboard)
      keys.setAttribute('inputmode', entry.mode);
    if (state.keyboard || entry)
      focusKeys();
    if (!askedForNotifications && state.reminders > 0 && 'Notification' in window
        && Notification.permission === 'default') {
      askedForNotifications = true;
      Notification.requestPermission().catch(() => {});
    }
  }

  // ---- Keys: a hidden input holds the focus while an entry has the keyboard, so that a
  // phone raises its own keyboard of the right kind; what is typed is forwarded.

  function focusKeys() {
    if (document.activeElement !== keys)
      keys.focus({ preventScroll: true });
  }

  function sendText(text) {
    // Line breaks are the return key; other control characters are not text.
    const lines = text.replace(/\r\n?/g, '\n').split('\n');
    lines.forEach((line, index) => {
      if (index > 0)
        input.add({ type: 'return' });
      const clean = line.replace(/[\u0000-\u001f\u007f-\u009f]/g, '');
      for (let i = 0; i < clean.length; i += 64) {
        input.add({ type: 'text', text: clean.slice(i, i + 64) });
      }
    });
  }

  let composing = false;

  keys.addEventListener('beforeinput', (event) => {
    switch (event.inputType) {
    case 'insertText':
    case 'insertReplacementText':
    case 'insertFromPaste':
    case 'insertFromDrop': {
      const text = event.data ?? event.dataTransfer?.getData('text/plain') ?? '';
      if (text)
        sendText(text);
      event.preventDefault();
      break;
    }
    case 'insertLineBreak':
    case 'insertParagraph':
      input.add({ type: 'return' });
      event.preventDefault();
      break;
    case 'deleteContentBackward':
    case 'deleteContentForward':
    case 'deleteWordBackward':
    case 'deleteSoftLineBackward':
      input.add({ type: 'delete' });
      event.preventDefault();
      break;
    default:
      break;
    }
  });

  keys.addEventListener('compositionstart', () => { composing = true; });
  keys.addEventListener('compositionend', (event) => {
    composing = false;
    if (event.data)
      sendText(event.data);
    keys.value = '';
  });
  keys.addEventListener('input', () => {
    if (!composing)
      keys.value = '';
  });
  keys.addEventListener('keydown', (event) => {
    if (event.isComposing)
      return;
    if (event.key === 'Enter') {
      input.add({ type: 'return' });
      event.preventDefault();
    } else if (event.key === 'Backspace') {
      input.add({ type: 'delete' });
      event.preventDefault();
    }
  });
  keys.addEventListener('paste', (event) => {
    const text = event.clipboardData?.getData('text/plain');
    if (text)
      sendText(text);
    event.preventDefault();
  });

  // Keys pressed while something else of the page has the focus still reach the entry.
  document.addEventListener('keydown', (event) => {
    if (!state.keyboard || event.target === keys || event.ctrlKey || event.metaKey || event.altKey)
      return;
    if (event.key.length === 1) {
      sendText(event.key);
      event.preventDefault();
    } else if (event.key === 'Enter' || event.key === 'Backspace') {
      input.add({ type: event.key === 'Enter' ? 'return' : 'delete' });
      event.preventDefault();
    }
    focusKeys();
  });

  function applyKeyboard(keyboard) {
    if (!keyboard) {
      if (document.activeElement === keys)
        keys.blur();
      return;
    }
    keys.setAttribute('inputmode', keyboard.mode);
    keys.setAttribute('enterkeyhint', keyboard.enter);
    keys.setAttribute('autocapitalize', keyboard.autocapitalize);
    keys.setAttribute('autocorrect', keyboard.autocorrect ? 'on' : 'off');
    focusKeys();
  }

  // ---- Web content: an iframe over the web view's frame.

  const webFrames = new Map(); // id -> { iframe, load, src }

  function placeWebContent() {
    for (const [, entry] of webFrames) {
      const { x, y, w, h } = entry.frame;
      const style = entry.iframe.style;
      style.left = `${x * cssPerPoint}px`;
      style.top = `${y * cssPerPoint}px`;
      style.width = `${w}px`;
      style.height = `${h}px`;
      style.transform = `scale(${cssPerPoint})`;
    }
  }

  function reportWeb(id, body) {
    post('/web', { page, webView: id, ...body }).catch(() => {});
  }

  function applyWebContent(list) {
    const seen = new Set();
    for (const item of list) {
      seen.add(item.id);
      let entry = webFrames.get(item.id);
      if (!entry) {
        const iframe = document.createElement('iframe');
        iframe.referrerPolicy = 'no-referrer';
        iframe.title = 'Web content';
        entry = { iframe, load: -1, src: '', frame: item };
        iframe.addEventListener('load', () => webLoaded(item.id));
        webFrames.set(item.id, entry);
        webLayer.appendChild(iframe);
      }
      entry.frame = item;
      if (entry.load !== item.load) {
        entry.load = item.load;
        entry.src = item.src;
        const local = item.src.startsWith('/');
        if (local)
          entry.iframe.removeAttribute('sandbox');
        else
          entry.iframe.setAttribute('sandbox', 'allow-scripts allow-forms allow-popups');
        entry.iframe.src = item.src;
      }
    }
    for (const [id, entry] of webFrames) {
      if (!seen.has(id)) {
        entry.iframe.remove();
        webFrames.delete(id);
      }
    }
    placeWebContent();
  }

  function webLoaded(id) {
    const entry = webFrames.get(id);
    if (!entry || entry.iframe.src === '' || entry.iframe.src === 'about:blank')
      return;
    let title = '';
    let where = null;
    try {
      const doc = entry.iframe.contentDocument;
      title = doc ? doc.title : '';
      const location = entry.iframe.contentWindow.location;
      where = location.pathname + location.search;
    } catch (error) {
      // Content of another site keeps its title and address to itself.
    }
    if (where && entry.src.startsWith('/') && where !== entry.src) {
      entry.src = where;
      reportWeb(id, { event: 'navigate', url: where });
    }
    reportWeb(id, { event: 'load', title: title.slice(0, 500) });
  }

  // ---- Addresses, pictures, badge and reminders.

  function banner(title, body, link) {
    const element = document.createElement('div');
    element.className = 'banner';
    const icon = document.createElement('img');
    icon.src = '/icons/icon-192.png';
    icon.alt = '';
    const text = document.createElement('div');
    text.className = 'text';
    const strong = document.createElement('strong');
    strong.textContent = title;
    text.appendChild(strong);
    if (link) {
      const anchor = document.createElement('a');
      anchor.href = link;
      anchor.target = '_blank';
      anchor.rel = 'noopener noreferrer';
      anchor.textContent = body;
      anchor.addEventListener('click', () => element.remove());
      text.appendChild(anchor);
    } else {
      text.appendChild(document.createTextNode(body));
    }
    const close = document.createElement('button');
    close.type = 'button';
    close.textContent = '×';
    close.title = 'Dismiss';
    close.addEventListener('click', () => element.remove());
    element.append(icon, text, close);
    banners.appendChild(element);
    while (banners.children.length > 4)
      banners.firstChild.remove();
    return element;
  }

  function openAddress(url) {
    if (url.startsWith('mailto:')) {
      window.location.href = url;
      return;
    }
    if (!/^https?:\/\//.test(url))
      return;
    const opened = window.open(url, '_blank');
    if (opened)
      opened.opener = null;
    else
      banner('Vantrel wants to open a page', url, url); // the browser blocked the window
  }

  let pictureRequest = 0;

  function answerPicture(blob) {
    const id = pictureRequest;
    if (!id)
      return;
    pictureRequest = 0;
    sheet.hidden = true;
    fetch(`/picture?id=${id}`, { method: 'POST', body: blob || new Blob([]) }).catch(() => {});
  }

  function pickPicture(request) {
    if (pictureRequest)
      answerPicture(null);
    answerFile(null);
    pictureRequest = request.id;
    document.getElementById('sheet-choose').htmlFor = 'picture';
    picture.value = '';
    if (request.camera)
      picture.setAttribute('capture', 'environment');
    else
      picture.removeAttribute('capture');
    document.getElementById('sheet-title').textContent = request.camera ? 'Take a photo' : 'Choose a picture';
    document.getElementById('sheet-choose').textContent = request.camera ? 'Take Photo…' : 'Choose Picture…';
    sheet.hidden = false;
    try {
      picture.click(); // allowed right after the tap that asked; the sheet stays otherwise
    } catch (error) {
      // The sheet's button opens it.
    }
  }

  // Pictures reach the application as PNG, upright, at most 1024 pixels on a side.
  async function pictureAsPNG(file) {
    const bitmap = await createImageBitmap(file);
    const shrink = Math.min(1, 1024 / Math.max(bitmap.width, bitmap.height));
    const canvas = document.createElement('canvas');
    canvas.width = Math.max(1, Math.round(bitmap.width * shrink));
    canvas.height = Math.max(1, Math.round(bitmap.height * shrink));
    canvas.getContext('2d').drawImage(bitmap, 0, 0, canvas.width, canvas.height);
    bitmap.close?.();
    return new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
  }

  picture.addEventListener('change', async () => {
    const file = picture.files && picture.files[0];
    if (!file) {
      answerPicture(null);
      return;
    }
    try {
      answerPicture(await pictureAsPNG(file));
    } catch (error) {
      banner('Vantrel', 'That picture could not be read.');
      answerPicture(null);
    }
  });
  picture.addEventListener('cancel', () => answerPicture(null));
  document.getElementById('sheet-cancel').addEventListener('click', () => {
    answerPicture(null);
    answerFile(null);
  });

  // ---- Files: a download the application hands over, and a file chosen for it (the
  // picture's sheet, with the other input).

  function download(offer) {
    const link = document.createElement('a');
    link.href = offer.url;
    link.download = offer.name;
    document.body.appendChild(link);
    link.click();
    link.remove();
  }

  const chosenFile = document.getElementById('chosen-file');
  let fileRequest = 0;

  function answerFile(file) {
    const id = fileRequest;
    if (!id)
      return;
    fileRequest = 0;
    sheet.hidden = true;
    const name = file ? `&name=${encodeURIComponent(file.name)}` : '';
    fetch(`/file?id=${id}${name}`, { method: 'POST', body: file || new Blob([]) }).catch(() => {});
  }

  function pickFile(request) {
    answerPicture(null);
    answerFile(null);
    fileRequest = request.id;
    chosenFile.value = '';
    chosenFile.accept = request.accept || '';
    document.getElementById('sheet-title').textContent = 'Choose a file';
    const choose = document.getElementById('sheet-choose');
    choose.htmlFor = 'chosen-file';
    choose.textContent = 'Choose File…';
    sheet.hidden = false;
    try {
      chosenFile.click(); // allowed right after the tap that asked; the sheet stays otherwise
    } catch (error) {
      // The sheet's button opens it.
    }
  }

  chosenFile.addEventListener('change', () => answerFile((chosenFile.files && chosenFile.files[0]) || null));
  chosenFile.addEventListener('cancel', () => answerFile(null));

  function applyBadge(badge) {
    if (!('setAppBadge' in navigator))
      return;
    const request = badge > 0 ? navigator.setAppBadge(badge) : navigator.clearAppBadge();
    request.catch(() => {});
  }

  async function showReminder(reminder) {
    const title = reminder.title || 'Vantrel';
    if ('Notification' in window && Notification.permission === 'granted') {
      const options = { body: reminder.body, tag: `vantrel-${reminder.body}`, icon: '/icons/icon-192.png',
        silent: !reminder.sound };
      try {
        const registration = navigator.serviceWorker && await navigator.serviceWorker.getRegistration();
        if (registration) {
          await registration.showNotification(title, options);
          return;
        }
        new Notification(title, options);
        return;
      } catch (error) {
        // Fall back to the banner.
      }
    }
    banner(title, reminder.body);
    if (reminder.sound && navigator.vibrate)
      navigator.vibrate(200);
  }

  function applyState(next) {
    const landscapeChanged = next.landscape !== state.landscape;
    state = next;
    document.title = next.title;
    applyBadge(next.badge);
    applyKeyboard(next.keyboard);
    if (landscapeChanged)
      layout();
    applyWebContent(next.web || []);
    applyTexts(next.texts || []);
  }

  let lastTexts = '';

  function applyTexts(texts) {
    const joined = texts.map((item) => item.text).join('\n');
    if (joined === lastTexts)
      return;
    lastTexts = joined;
    reader.replaceChildren(...texts.map((item) => {
      const entry = document.createElement('li');
      entry.textContent = item.text;
      return entry;
    }));
  }

  // ---- The event stream.

  function connect() {
    const events = new EventSource('/events');
    let shownTimer = setTimeout(() => { connecting.hidden = false; }, 800);
    events.addEventListener('hello', (event) => {
      const hello = JSON.parse(event.data);
      page = hello.page;
      lastPageState = '';
      frames.reset();
      clearTimeout(shownTimer);
      connecting.hidden = true;
      postPageState();
    });
    events.addEventListener('state', (event) => applyState(JSON.parse(event.data)));
    events.addEventListener('frame', (event) => frames.notice(JSON.parse(event.data)));
    events.addEventListener('openURL', (event) => openAddress(JSON.parse(event.data).url));
    events.addEventListener('pick', (event) => pickPicture(JSON.parse(event.data)));
    events.addEventListener('pickFile', (event) => pickFile(JSON.parse(event.data)));
    events.addEventListener('download', (event) => download(JSON.parse(event.data)));
    events.addEventListener('notify', (event) => showReminder(JSON.parse(event.data)));
    events.addEventListener('error', () => {
      page = 0;
      clearTimeout(shownTimer);
      shownTimer = setTimeout(() => { connecting.hidden = false; }, 800);
    });
  }

  // ---- Page life: visible, focused, turned; closing tells the shell at once.

  document.addEventListener('visibilitychange', postPageState);
  window.addEventListener('focus', postPageState);
  window.addEventListener('blur', () => setTimeout(postPageState, 0));
  window.addEventListener('resize', layout);
  window.visualViewport?.addEventListener('resize', layout);
  window.addEventListener('pagehide', () => {
    if (page)
      navigator.sendBeacon('/page', JSON.stringify({ ...pageState(), visible: false, focused: false }));
  });
  document.getElementById('rotate').addEventListener('click', () => {
    desktopLandscape = !desktopLandscape;
    postPageState();
  });

  if ('serviceWorker' in navigator && window.isSecureContext)
    navigator.serviceWorker.register('/sw.js').catch(() => {});

  layout();
  connect();
})();
