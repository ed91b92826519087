// The page of the Vantrel shell: shows the phone's screen, sends touches and keys to it,
// and does what the phone would for the application (open addresses, pick pictures, show
// web content, the badge and reminders). The shell tells it what changed through
// server-sent events; frames are fetched as PNG, whole or as the patch that changed.
'use strict';

(() => {
  const screen = document.getElementById('screen');
  const stage = document.getElementById('stage');
  const glass = document.getElementById('glass');
  const phone = document.getElementById('phone');
  const webLayer = document.getElementById('web');
  const keys = document.getElementById('keys');
  const picture = document.getElementById('picture');
  const sheet = document.getElementById('sheet');
  const notices = document.getElementById('notices');
  const banners = document.getElementById('banners');
  const connecting = document.getElementById('connecting');
  const reader = document.getElementById('reader');
  const rotate = document.getElementById('rotate');
  const safeArea = document.getElementById('safe-area');

  // A touch device fills its display with the screen and types with its own keyboard (every
  // language it offers, composition included); a desktop shows the phone in a frame and its
  // drawn keyboard, typed on by the computer's keyboard. The style sheet makes the same test.
  const coarsePointer = matchMedia('(pointer: coarse)');
  const touchDevice = coarsePointer.matches;
  // The style sheet follows a change of pointer at once (a mouse plugged into a tablet); the
  // page follows it by loading again, as the other kind of device.
  coarsePointer.addEventListener('change', () => location.reload());

  let page = 0;
  let state = { badge: 0, title: document.title, keyboard: null, landscape: false, web: [], reminders: 0 };
  let desktopLandscape = false;

  const frames = window.VantrelFrames(screen, document.getElementById('slide'));
  let shownOnce = false;
  frames.onShown = (seq) => {
    screen.dataset.frame = String(seq);
    applyHeldState();
    if (!shownOnce) {
      shownOnce = true;
      registerWorker();
    }
  };
  // Web content laid over the screen shows with the frame it belongs to, not over the frame
  // before or a slide.
  let webWaiting = false;
  frames.onSettled = () => {
    applyHeldState();
    if (webWaiting) {
      webWaiting = false;
      webLayer.style.visibility = '';
    }
  };

  // ---- Layout: the screen scaled to fit, drawn at the device's pixel ratio.

  let pointWidth = 320;
  let pointHeight = 480;
  let cssPerPoint = 1;
  let keyboardHeight = 0; // points of the screen the device's keyboard covers
  let pan = 0; // CSS pixels the stage is moved up to keep the edited entry above that keyboard

  function wantsLandscape() {
    return touchDevice ? matchMedia('(orientation: landscape)').matches : desktopLandscape;
  }

  function insets() {
    const style = getComputedStyle(safeArea);
    return {
      top: parseFloat(style.paddingTop) || 0, right: parseFloat(style.paddingRight) || 0,
      bottom: parseFloat(style.paddingBottom) || 0, left: parseFloat(style.paddingLeft) || 0,
    };
  }

  // The room for the screen in CSS pixels, as it stands now. The layout viewport is measured,
  // not the visual one: a keyboard that comes up does not make the phone smaller.
  function room(landscape) {
    const width = document.documentElement.clientWidth;
    const height = document.documentElement.clientHeight;
    if (touchDevice) {
      const inset = insets();
      return { w: width - inset.left - inset.right, h: height - inset.top - inset.bottom };
    }
    // Room for the phone's frame and the controls below it.
    return landscape ? { w: width - 128 - 24, h: height - 28 - 70 } : { w: width - 28 - 24, h: height - 128 - 70 };
  }

  // A notice beside the phone needs room there; in a narrow window it goes below the phone,
  // which then leaves it that room.
  function noticeRoom(fit, landscape) {
    if (touchDevice || !notices.children.length)
      return 0;
    const phoneWidth = pointWidth * fit + (landscape ? 128 : 28);
    return (document.documentElement.clientWidth - phoneWidth) / 2 >= 272 ? 0 : 76;
  }

  // The display as the upright phone sees it: the shell makes the screen as tall as it allows.
  function display() {
    const r = room(false);
    const upright = touchDevice ? { w: Math.min(r.w, r.h), h: Math.max(r.w, r.h) } : r;
    return { w: Math.max(1, Math.round(upright.w)), h: Math.max(1, Math.round(upright.h)) };
  }

  function layout() {
    const landscape = state.landscape;
    const size = state.screen || { w: 320, h: 480 };
    pointWidth = landscape ? Math.max(size.w, size.h) : Math.min(size.w, size.h);
    pointHeight = landscape ? Math.min(size.w, size.h) : Math.max(size.w, size.h);
    phone.classList.toggle('landscape', landscape);
    const r = room(landscape);
    const dpr = window.devicePixelRatio || 1;
    let fit = Math.max(0.25, Math.min(r.w / pointWidth, r.h / pointHeight));
    const below = noticeRoom(fit, landscape);
    if (below)
      fit = Math.max(0.25, Math.min(r.w / pointWidth, (r.h - below) / pointHeight));
    stage.style.paddingBottom = below ? `${below}px` : '';
    // Frames come at whole pixels across the upright screen; show them pixel for pixel.
    const pixelsAcross = Math.min(1280, Math.max(320, Math.floor(320 * fit * dpr + 1e-6)));
    const scale = pixelsAcross / 320;
    // Pixel for pixel, or smaller still when even the smallest frames do not fit.
    cssPerPoint = Math.min(fit, scale / dpr);
    for (const element of [glass, screen]) {
      element.style.width = `${pointWidth * cssPerPoint}px`;
      element.style.height = `${pointHeight * cssPerPoint}px`;
    }
    if (scale !== frames.scale)
      frames.reset(scale);
    placeWebContent();
    placeNotices();
    followKeyboard();
    postPageState();
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
      scale: frames.scale,
      camera: touchDevice,
      display: display(),
      ownKeyboard: touchDevice,
      keyboardHeight,
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

  // Input goes out at once, each batch numbered so that the shell handles them in order
  // whatever order they arrive in: a browser may hold a batch's answer back while the finger
  // is still down, and the lift must not wait for it. A few batches at most are on their way;
  // what comes meanwhile waits for the next, moves merged.
  const kBatchesInFlight = 4;
  const input = {
    queue: [],
    inFlight: 0,
    sent: 0, // batches numbered on this connection

    add(event) {
      const last = this.queue[this.queue.length - 1];
      if (event.type === 'move' && last && last.type === 'move')
        this.queue[this.queue.length - 1] = event;
      else
        this.queue.push(event);
      this.pump();
    },

    restart() {
      this.sent = 0;
    },

    async pump() {
      if (this.inFlight >= kBatchesInFlight || !this.queue.length || !page)
        return;
      ++this.inFlight;
      const events = this.queue.splice(0, 256);
      try {
        // The page hears of the frames the events make; the answer need not wait for them.
        const response = await post('/input', { page, n: ++this.sent, events, frame: false });
        if (response.ok) {
          const answer = await response.json();
          frames.sequenceAnswered(answer.frame, events.some((event) => event.type === 'up'));
          // A focus given ahead for a tap that did not start editing is withdrawn, once the
          // shell has said what the tap did (its state follows the events' frame).
          const asked = statesSeen;
          const withdraw = (tries) => {
            if (statesSeen === asked && tries > 0) {
              setTimeout(() => withdraw(tries - 1), 100);
              return;
            }
            if (!state.keyboard && document.activeElement === keys)
              keys.blur();
          };
          setTimeout(() => withdraw(20), 150);
        }
      } catch (error) {
        // The connection is back soon; the events are lost like taps on a frozen screen.
      } finally {
        --this.inFlight;
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
    frames.settle();
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
    if (type === 'up')
      frames.holdForLift();
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
  // phone raises its own keyboard of the right kind; what is typed is forwarded. The input
  // holds the entry's text, so that the device's keyboard sees what it types into (capitals,
  // corrections, deleting); on a phone it lies over the entry, where a composition shows.

  let composing = false;
  let entryText = '';

  function focusKeys() {
    if (document.activeElement !== keys)
      keys.focus({ preventScroll: true });
  }

  function mirrorEntry() {
    if (composing || keys.value === entryText)
      return;
    keys.value = entryText;
    try {
      keys.setSelectionRange(entryText.length, entryText.length);
    } catch (error) {
      // Inputs of some modes have no selection.
    }
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

  // How many characters an edit of the device's keyboard takes away (a word, a correction).
  function replacedLength(event) {
    const range = event.getTargetRanges?.()[0];
    if (!range || range.startContainer !== range.endContainer)
      return null;
    return Math.max(0, range.endOffset - range.startOffset);
  }

  function deleteCharacters(count) {
    for (let i = 0; i < count; ++i)
      input.add({ type: 'delete' });
  }

  keys.addEventListener('beforeinput', (event) => {
    if (event.isComposing || composing)
      return; // the composition is the device keyboard's own until it ends
    switch (event.inputType) {
    case 'insertReplacementText': {
      const replaced = replacedLength(event);
      const text = event.data ?? event.dataTransfer?.getData('text/plain') ?? '';
      if (replaced !== null) {
        deleteCharacters(replaced);
        sendText(text);
      }
      event.preventDefault();
      break;
    }
    case 'insertText':
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
      deleteCharacters(1);
      event.preventDefault();
      break;
    case 'deleteWordBackward':
    case 'deleteSoftLineBackward':
    case 'deleteHardLineBackward':
      deleteCharacters(replacedLength(event) || 1);
      event.preventDefault();
      break;
    default:
      break;
    }
  });

  keys.addEventListener('compositionstart', () => {
    composing = true;
    keys.classList.add('composing');
  });
  keys.addEventListener('compositionend', (event) => {
    composing = false;
    keys.classList.remove('composing');
    if (event.data)
      sendText(event.data);
    entryText += event.data || '';
    keys.value = '';
    mirrorEntry();
  });
  keys.addEventListener('input', () => mirrorEntry());
  keys.addEventListener('keydown', (event) => {
    if (event.isComposing || composing)
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
      entryText = '';
      followKeyboard();
      return;
    }
    keys.setAttribute('inputmode', keyboard.mode);
    keys.setAttribute('enterkeyhint', keyboard.enter);
    keys.setAttribute('autocapitalize', keyboard.autocapitalize);
    keys.setAttribute('autocorrect', keyboard.autocorrect ? 'on' : 'off');
    entryText = keyboard.secure ? '' : (keyboard.text || '');
    mirrorEntry();
    focusKeys();
    followKeyboard();
  }

  // On a phone: how much of the screen the device's keyboard covers (told to the shell, whose
  // screens make room), and the stage moved up when the entry is still below it, as a phone's
  // browser does with a field.
  function followKeyboard() {
    const editing = touchDevice && state.keyboard && state.keyboard.field;
    const viewport = window.visualViewport;
    let covered = 0;
    if (editing && viewport) {
      const hidden = document.documentElement.clientHeight - viewport.height * viewport.scale;
      covered = hidden > 60 ? Math.round(hidden / cssPerPoint) : 0;
    }
    let nextPan = 0;
    if (editing && viewport) {
      const glassTop = glass.getBoundingClientRect().top + pan;
      const field = state.keyboard.field;
      const top = glassTop + field.y * cssPerPoint - 8;
      const bottom = glassTop + (field.y + field.h) * cssPerPoint + 8;
      const visibleTop = viewport.offsetTop;
      const visibleBottom = viewport.offsetTop + viewport.height;
      nextPan = Math.max(0, Math.min(bottom - visibleBottom, top - visibleTop));
    }
    if (nextPan !== pan) {
      pan = nextPan;
      stage.style.transform = pan ? `translateY(${-pan}px)` : '';
    }
    if (editing) {
      const rect = glass.getBoundingClientRect();
      const field = state.keyboard.field;
      keys.style.left = `${rect.left + field.x * cssPerPoint}px`;
      keys.style.top = `${rect.top + field.y * cssPerPoint}px`;
      keys.style.width = `${Math.max(1, field.w * cssPerPoint)}px`;
      keys.style.height = `${Math.max(1, field.h * cssPerPoint)}px`;
    } else {
      keys.style.left = keys.style.top = keys.style.width = keys.style.height = '';
    }
    if (covered !== keyboardHeight) {
      keyboardHeight = covered;
      postPageState();
    }
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
    const where = (item) => `${item.id}:${item.x},${item.y},${item.w},${item.h}`;
    const before = [...webFrames.values()].map((entry) => where(entry.frame)).join(' ');
    if (list.map(where).join(' ') !== before && !frames.settled()) {
      webWaiting = true;
      webLayer.style.visibility = 'hidden';
    }
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

  // Notices never cover the phone's screen: on a desktop they sit beside the phone (or below
  // it in a narrow window); a phone shows the screen only, so there a notice is for what the
  // person asked for (a blocked link) and lies over the top of the display.
  function banner(title, body, { link = null, tag = null } = {}) {
    const holder = touchDevice ? banners : notices;
    if (tag) {
      for (const old of holder.querySelectorAll('.banner'))
        if (old.dataset.tag === tag)
          old.remove();
    }
    const element = document.createElement('div');
    element.className = 'banner';
    if (tag)
      element.dataset.tag = tag;
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
      const line = document.createElement('span');
      line.textContent = body;
      text.appendChild(line);
    }
    text.title = body;
    const close = document.createElement('button');
    close.type = 'button';
    close.textContent = '×';
    close.title = 'Dismiss';
    close.addEventListener('click', () => {
      element.remove();
      if (!touchDevice)
        layout();
    });
    element.append(icon, text, close);
    holder.prepend(element);
    while (holder.children.length > 3)
      holder.lastChild.remove();
    if (!touchDevice)
      layout();
    else if (!link)
      setTimeout(() => element.remove(), 6000); // over the display, so it goes as a phone's banner does
    return element;
  }

  function placeNotices() {
    if (touchDevice)
      return;
    const frame = phone.getBoundingClientRect();
    const width = document.documentElement.clientWidth;
    const style = notices.style;
    const beside = width - frame.right - 32;
    if (beside >= 240) {
      style.left = `${frame.right + 24}px`;
      style.top = `${Math.max(12, frame.top)}px`;
      style.width = `${Math.min(340, beside)}px`;
      style.bottom = '';
    } else {
      // Below the phone and its controls, as wide as the window allows.
      const controls = document.getElementById('controls').getBoundingClientRect();
      style.width = `${Math.min(380, width - 20)}px`;
      style.left = `${(width - Math.min(380, width - 20)) / 2}px`;
      style.top = `${controls.bottom + 6}px`;
      style.bottom = '4px';
    }
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
      banner('Vantrel wants to open a page', url, { link: url }); // the browser blocked the window
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

  // A reminder reaches the page only while the application is away from the front: it goes
  // to the device's notifications when the person allowed them, replacing the thread's
  // earlier one quietly; otherwise a desktop shows it beside the phone, and a phone has only
  // its badge.
  async function showReminder(reminder) {
    const title = reminder.title || 'Vantrel';
    const tag = `vantrel-${reminder.tag || reminder.body}`;
    if ('Notification' in window && Notification.permission === 'granted') {
      const options = { body: reminder.body, tag, renotify: false, icon: '/icons/icon-192.png',
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
        // Shown in the page instead.
      }
    }
    if (!touchDevice)
      banner(title, reminder.body, { tag });
  }

  let statesSeen = 0;

  // A state that comes while its frame is being fetched is applied when the frame shows: what
  // it changes in the page (the texts read out, the edited field's place) costs the page a
  // layout, which would otherwise hold up drawing the frame. One that reshapes the screen is
  // applied at once, before its frame.
  let heldState = null;

  function receiveState(next) {
    if (!frames.settled() && !reshapes(next))
      heldState = next;
    else
      applyState(next);
  }

  function applyHeldState() {
    if (heldState)
      applyState(heldState);
  }

  const reshapes = (next) =>
    next.landscape !== state.landscape || JSON.stringify(next.screen) !== JSON.stringify(state.screen);

  function applyState(next) {
    ++statesSeen;
    heldState = null;
    const reshaped = reshapes(next);
    state = next;
    document.title = next.title;
    applyBadge(next.badge);
    // The turn button is for screens that turn, and for turning back.
    rotate.hidden = !(next.rotates || desktopLandscape);
    if (reshaped)
      layout();
    applyKeyboard(next.keyboard);
    applyWebContent(next.web || []);
    applyTexts(next.texts || []);
    followBack(Boolean(next.back));
  }

  // The browser's back (a phone's back key or edge swipe, a desktop's Back) goes back a
  // screen while the screen shows a back button, as a phone application's does; on the first
  // screen it leaves the page as usual. An entry of the page's own lies on its first one for
  // that. It is added only once the person has touched the page: the browser skips entries a
  // page added before, and Back would then leave the page.
  let backEntry = Boolean(history.state && history.state.vantrelBack);
  let droppingEntry = false;

  function followBack(canGoBack) {
    if (droppingEntry)
      return;
    if (canGoBack && !backEntry && (!navigator.userActivation || navigator.userActivation.hasBeenActive)) {
      history.pushState({ vantrelBack: true }, '');
      backEntry = true;
    } else if (!canGoBack && backEntry) {
      droppingEntry = true;
      history.back();
      // Web content may have added entries above the page's own: going back then moves the
      // content and no popstate comes, so look again.
      setTimeout(() => {
        if (!droppingEntry)
          return;
        droppingEntry = false;
        backEntry = Boolean(history.state && history.state.vantrelBack);
        followBack(Boolean(state.back));
      }, 1000);
    }
  }

  window.addEventListener('popstate', () => {
    const dropped = droppingEntry;
    droppingEntry = false;
    backEntry = Boolean(history.state && history.state.vantrelBack);
    if (!dropped && !backEntry && state.back)
      input.add({ type: 'back' });
    else
      followBack(Boolean(state.back));
  });
  for (const kind of ['pointerup', 'keydown']) {
    addEventListener(kind, () => {
      if (!backEntry && state.back)
        setTimeout(() => followBack(Boolean(state.back)), 0);
    }, { capture: true });
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
    // How this page shows the screen goes with the connection, so that its first frame is
    // drawn at once.
    const { page: _, ...initial } = pageState();
    const events = new EventSource(`/events?state=${encodeURIComponent(JSON.stringify(initial))}`);
    let shownTimer = setTimeout(() => { connecting.hidden = false; }, 800);
    events.addEventListener('hello', (event) => {
      const hello = JSON.parse(event.data);
      page = hello.page;
      input.restart();
      // The shell knows the state the page connected with; only a change since is news.
      lastPageState = JSON.stringify({ page, ...initial });
      frames.reset(frames.scale);
      clearTimeout(shownTimer);
      connecting.hidden = true;
      postPageState();
    });
    events.addEventListener('state', (event) => receiveState(JSON.parse(event.data)));
    events.addEventListener('frame', (event) => frames.notice(JSON.parse(event.data)));
    events.addEventListener('backdrop', (event) => frames.backdropAnnounced(JSON.parse(event.data)));
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
  window.visualViewport?.addEventListener('resize', followKeyboard);
  window.visualViewport?.addEventListener('scroll', followKeyboard);
  window.addEventListener('pagehide', () => {
    if (page)
      navigator.sendBeacon('/page', JSON.stringify({ ...pageState(), visible: false, focused: false }));
  });
  rotate.addEventListener('click', () => {
    desktopLandscape = !desktopLandscape;
    rotate.hidden = !(state.rotates || desktopLandscape);
    postPageState();
  });

  // Once the first frame shows: installing the worker competes with it for the processor.
  function registerWorker() {
    if ('serviceWorker' in navigator && window.isSecureContext)
      navigator.serviceWorker.register('/sw.js').catch(() => {});
  }

  layout();
  connect();
})();
