// The phone's frames on the page: fetched as PNG, whole or as the patch that changed, and
// drawn on the screen canvas as they come. When the shell says a change was a movement (a
// push, a pop, a modal screen, the keyboard), a canvas laid over the part that moves shows a
// slide from the frame before (kept for the slide's length) to the screen canvas's new
// frame; nothing more comes over the wire.
'use strict';

window.VantrelFrames = (screen, overlay) => {
  let frames = null;
  const context = screen.getContext('2d', { alpha: false });
  const overlayContext = overlay.getContext('2d', { alpha: false });
  const before = document.createElement('canvas');
  const beforeContext = before.getContext('2d', { alpha: false });
  const kDuration = 300; // ms, as a phone slides its screens
  const kLiftHold = 150; // ms
  const reducedMotion = matchMedia('(prefers-reduced-motion: reduce)');

  let slide = null; // { moves, scale, start }

  // PNG bytes to something a canvas draws. The ImageDecoder API decodes in the page from the
  // bytes at hand; an ImageBitmap from a Blob waits for the bytes to go through the browser's
  // blob store first, several milliseconds for a large part. The decoder's frames cost as
  // much again to draw, though, so from about a third of a million pixels on the frame is made
  // an ImageBitmap first (a copy, which takes less than drawing the frame): a screen's six
  // strips come out in half the time of ImageBitmaps from Blobs.
  const kDecoderPixels = 300000;

  async function decode(bytes, pixels) {
    if ('ImageDecoder' in window) {
      try {
        const decoder = new ImageDecoder({ data: bytes, type: 'image/png' });
        const { image } = await decoder.decode();
        decoder.close();
        if (pixels < kDecoderPixels)
          return image;
        try {
          return await createImageBitmap(image);
        } finally {
          image.close();
        }
      } catch (error) {
        // The ImageBitmap below.
      }
    }
    return createImageBitmap(new Blob([bytes], { type: 'image/png' }));
  }

  const widthOf = (image) => image.displayWidth ?? image.width;
  const heightOf = (image) => image.displayHeight ?? image.height;

  async function loadImage(url, pixels) {
    try {
      const response = await fetch(url, { cache: 'no-store' });
      if (!response.ok)
        return null;
      return { image: await decode(await response.arrayBuffer(), pixels), response };
    } catch (error) {
      return null;
    }
  }

  // Large parts the page decoded lately, by the key the shell gives what their pixels hash
  // to: a screen shown again (back and forth between two screens) is drawn from here, with
  // nothing fetched or decoded. Oldest first; about four phone screens at most.
  const kKeptPixels = 12e6;
  const kept = new Map();
  let keptPixels = 0;

  function keptImage(key) {
    const image = key && kept.get(key);
    if (!image)
      return null;
    kept.delete(key);
    kept.set(key, image);
    return image;
  }

  function keep(key, image) {
    if (kept.has(key) || !(image instanceof ImageBitmap)) {
      image.close?.();
      return;
    }
    kept.set(key, image);
    keptPixels += image.width * image.height;
    for (const [oldKey, old] of kept) {
      if (keptPixels <= kKeptPixels || old === image)
        break;
      kept.delete(oldKey);
      keptPixels -= old.width * old.height;
      old.close();
    }
  }

  // The backdrop (most screens' background, the same on each), by its key: once the page
  // holds it, the shell sends of a part on it only the rectangle that differs (notice.sent: x,
  // y, width, height; width 0: nothing), and the page draws the backdrop beneath. Fetched once
  // the page is idle after the shell names it; a part that needs it sooner fetches it then.
  // Only the latest is kept.
  const kBackdropAfter = 250; // ms
  let backdrop = null; // { key, loading: Promise of an image or null }
  let backdropPlanned = null; // the key of a prefetch waiting for the page to be idle

  function backdropImage(key, scale) {
    if (backdrop && backdrop.key === key)
      return backdrop.loading;
    // The one before is left to the collector: a part still to be drawn may be over it.
    const loading = loadImage(`/backdrop?scale=${scale}&key=${key}`, Infinity).then((l) => {
      if (!l && backdrop?.key === key)
        backdrop = null; // asked for again by the next part that needs it
      return l && l.image;
    });
    backdrop = { key, loading };
    return loading;
  }

  // The parts of a frame the page lacks, in one request: each comes as its length (four
  // bytes) and its PNG. Null for each when any is missing.
  async function loadParts(notices) {
    try {
      const seqs = notices.map((n) => n.seq).join(',');
      const response = await fetch(`/patches?scale=${notices[0].scale}&seqs=${seqs}`, { cache: 'no-store' });
      if (!response.ok)
        return notices.map(() => null);
      const buffer = await response.arrayBuffer();
      const view = new DataView(buffer);
      const parts = [];
      for (let at = 0; at + 4 <= buffer.byteLength && parts.length < notices.length;) {
        const size = view.getUint32(at);
        parts.push(buffer.slice(at + 4, at + 4 + size));
        at += 4 + size;
      }
      if (parts.length !== notices.length)
        return notices.map(() => null);
      return await Promise.all(parts.map(async (bytes, i) => {
        const n = notices[i];
        return { image: await decode(bytes, n.key ? Infinity : n.pw * n.ph) };
      }));
    } catch (error) {
      return notices.map(() => null);
    }
  }

  function resize(width, height) {
    finishSlide();
    screen.width = width;
    screen.height = height;
  }

  // ---- Slides

  const ease = (t) => (t < 0.5 ? 4 * t * t * t : 1 - Math.pow(-2 * t + 2, 3) / 2);

  function pixels(move, scale) {
    const x = Math.round(move.x * scale);
    const y = Math.round(move.y * scale);
    return { x, y, w: Math.round((move.x + move.w) * scale) - x, h: Math.round((move.y + move.h) * scale) - y };
  }

  // Draws `source`'s region r (screen pixels) shifted by (dx, dy), clipped to r, onto the
  // overlay, whose top left lies at the slide's origin.
  function shifted(source, r, dx, dy) {
    const x = r.x - slide.area.x, y = r.y - slide.area.y;
    overlayContext.save();
    overlayContext.beginPath();
    overlayContext.rect(x, y, r.w, r.h);
    overlayContext.clip();
    overlayContext.drawImage(source, r.x, r.y, r.w, r.h, x + dx, y + dy, r.w, r.h);
    overlayContext.restore();
  }

  function drawSlide(now) {
    const t = Math.min(1, (now - slide.start) / kDuration);
    const p = ease(t);
    for (const r of slide.regions) {
      switch (r.kind) {
      case 'push':
        shifted(before, r, -p * r.w, 0);
        shifted(screen, r, (1 - p) * r.w, 0);
        break;
      case 'pop':
        shifted(before, r, p * r.w, 0);
        shifted(screen, r, -(1 - p) * r.w, 0);
        break;
      case 'present':
      case 'keyboardUp':
        shifted(before, r, 0, 0);
        shifted(screen, r, 0, (1 - p) * r.h);
        break;
      case 'dismiss':
      case 'keyboardDown':
        shifted(screen, r, 0, 0);
        shifted(before, r, 0, p * r.h);
        break;
      default:
        break;
      }
    }
    return t >= 1;
  }

  function step(now) {
    if (!slide)
      return;
    if (drawSlide(now))
      finishSlide();
    else
      requestAnimationFrame(step);
  }

  function finishSlide() {
    if (!slide)
      return;
    slide = null;
    overlay.hidden = true;
    delete screen.dataset.sliding;
    frames.onSettled();
  }

  // A screen's movement carries whatever the keyboard did with it. The overlay covers what
  // moves; the rest of the screen shows the new frame beneath it.
  function startSlide(moves, scale) {
    const screenMoves = moves.filter((m) => !m.kind.startsWith('keyboard'));
    const regions = (screenMoves.length ? screenMoves : moves).map((m) => ({ kind: m.kind, ...pixels(m, scale) }));
    const left = Math.min(...regions.map((r) => r.x)), top = Math.min(...regions.map((r) => r.y));
    const right = Math.max(...regions.map((r) => r.x + r.w)), bottom = Math.max(...regions.map((r) => r.y + r.h));
    const area = { x: left, y: top, w: right - left, h: bottom - top };
    slide = { regions, area, start: performance.now() };
    if (overlay.width !== area.w || overlay.height !== area.h) {
      overlay.width = area.w;
      overlay.height = area.h;
    }
    const style = overlay.style;
    style.left = `${(100 * area.x) / screen.width}%`;
    style.top = `${(100 * area.y) / screen.height}%`;
    style.width = `${(100 * area.w) / screen.width}%`;
    style.height = `${(100 * area.h) / screen.height}%`;
    drawSlide(slide.start);
    overlay.hidden = false;
    screen.dataset.sliding = regions.map((r) => r.kind).join(' '); // for scripts
    requestAnimationFrame(step);
  }

  // ---- Fetching

  frames = {
    scale: 2,
    have: 0,
    latest: 0,
    needWhole: true,
    notices: new Map(),
    busy: false,
    // Tells scripts which frame the screen shows (and that a slide began).
    onShown: () => {},
    // Called when the screen shows the latest frame at rest (no slide, nothing to fetch).
    onSettled: () => {},

    settled() {
      return !slide && !this.busy && this.have >= this.latest && !this.needWhole;
    },

    reset(scale) {
      this.scale = scale;
      this.have = 0;
      this.latest = 0;
      this.needWhole = true;
      this.notices.clear();
      // A shell that started again uses the backdrop only once this page has fetched it anew.
      backdrop = null;
      backdropPlanned = null;
    },

    notice(notice) {
      if (notice.w !== undefined && Math.abs(notice.scale - this.scale) > 1e-9)
        return;
      this.notices.set(notice.seq, notice);
      if (this.liftFollows !== null && notice.seq > this.liftFollows && !(notice.part < notice.parts - 1))
        this.releaseLift();
      if (notice.full && notice.seq > this.have)
        this.needWhole = true;
      this.latest = Math.max(this.latest, notice.seq);
      this.update();
    },

    // The shell's backdrop at the page's scale: fetched once the page is idle.
    backdropAnnounced({ scale, key }) {
      if (!key || Math.abs(scale - this.scale) > 1e-9 || backdrop?.key === key || backdropPlanned === key)
        return;
      backdropPlanned = key;
      const prefetch = () => {
        if (backdropPlanned !== key || Math.abs(scale - this.scale) > 1e-9)
          return;
        if (!this.settled())
          return void setTimeout(prefetch, kBackdropAfter);
        backdropPlanned = null;
        backdropImage(key, scale);
      };
      setTimeout(prefetch, kBackdropAfter);
    },

    // After a lift, frames are drawn once the lift's own frame is noticed (the answer to the
    // lift names the frame before it), kLiftHold at most: a frame drawn before it, such as the
    // press's highlight, which the browser held back while the finger was down, is then drawn
    // together with it rather than a moment before, and the browser, which copies the whole
    // canvas each time it changes, copies it once.
    liftHeld: 0, // until when, on performance.now()
    liftFollows: null, // the lift's frame comes after this one
    wake: null,

    holdForLift() {
      this.liftHeld = performance.now() + kLiftHold;
      this.liftFollows = null;
    },

    releaseLift() {
      this.liftHeld = 0;
      this.liftFollows = null;
      this.wake?.();
    },

    // The answer to a touch names the latest frame when the shell took it; the notices of the
    // frame it makes normally come soon after, and a page that has not caught up a moment
    // later fetches what it missed.
    sequenceAnswered(seq, lift) {
      if (lift && this.liftHeld) {
        this.liftFollows = seq;
        if (this.latest > seq)
          this.releaseLift();
      }
      setTimeout(() => {
        if (seq > this.have && seq > this.latest) {
          this.latest = seq;
          this.update();
        }
      }, 300);
    },

    // A touch during a slide lands on the new screen: show it whole at once.
    settle() {
      this.releaseLift();
      finishSlide();
    },

    // The first part of the latest whole frame whose parts are all here (0 when none): a page
    // that needs a whole frame takes its parts rather than asking for one more encoding.
    wholeStart() {
      for (let seq = this.latest; seq > this.have; --seq) {
        const last = this.notices.get(seq);
        if (!last || !last.whole || last.part !== last.parts - 1)
          continue;
        const first = seq - last.parts + 1;
        let complete = true;
        for (let part = first; part < seq; ++part)
          complete = complete && Boolean(this.notices.get(part));
        if (complete)
          return first;
      }
      return 0;
    },

    async update() {
      if (this.busy)
        return;
      this.busy = true;
      try {
        while (this.needWhole || this.have < this.latest) {
          const held = this.liftHeld - performance.now();
          if (held > 0 && !this.needWhole) {
            await new Promise((resolve) => {
              this.wake = resolve;
              setTimeout(resolve, held);
            });
            this.wake = null;
            this.liftHeld = 0;
            continue;
          }
          const start = this.needWhole ? this.wholeStart() : this.have + 1;
          const newest = this.notices.get(this.latest);
          if (!start && newest && newest.whole && newest.part < newest.parts - 1)
            break; // the other parts of a whole frame are on their way
          const pending = [];
          for (let seq = start || this.latest + 1; seq <= this.latest; ++seq)
            pending.push(this.notices.get(seq));
          if (start && pending.every(Boolean)) {
            // A frame in parts shows once every part is here; the notices of the rest call
            // again.
            while (pending.length && pending[pending.length - 1].part < pending[pending.length - 1].parts - 1)
              pending.pop();
            if (!pending.length)
              break;
          }
          const patches = this.needWhole || this.have > 0;
          if (start && patches && pending.length && pending.length <= 64 && pending.every(Boolean)) {
            const loaded = pending.map((n) => {
              if (n.onBackdrop && !n.sent[2])
                return { image: null, kept: true }; // the backdrop alone
              const image = keptImage(n.key);
              return image ? { image, kept: true } : null;
            });
            const missing = pending.filter((n, i) => !loaded[i]);
            const onBackdrop = pending.find((n) => n.onBackdrop);
            const under = onBackdrop ? backdropImage(onBackdrop.backdrop, onBackdrop.scale) : null;
            // One to keep comes as an ImageBitmap, whatever its size.
            const fetched = missing.length > 1 ? await loadParts(missing) : await Promise.all(missing.map(
              (n) => loadImage(`/patch?scale=${n.scale}&seq=${n.seq}`, n.key ? Infinity : n.pw * n.ph)));
            const beneath = under && (await under);
            for (let i = 0, j = 0; i < loaded.length; ++i)
              loaded[i] = loaded[i] || fetched[j++];
            const complete = !onBackdrop
              || (beneath && pending.every((n) => !n.onBackdrop || n.backdrop === onBackdrop.backdrop));
            if (loaded.every(Boolean) && complete) {
              this.apply(pending, loaded, beneath);
              continue;
            }
            loaded.forEach((l) => l && !l.kept && l.image?.close?.());
          }
          const whole = await loadImage(`/frame.png?scale=${this.scale}`, Infinity);
          if (!whole)
            break;
          const seq = Number(whole.response.headers.get('X-Frame-Sequence')) || 0;
          const image = whole.image;
          if (screen.width !== widthOf(image) || screen.height !== heightOf(image))
            resize(widthOf(image), heightOf(image));
          finishSlide();
          context.drawImage(image, 0, 0);
          image.close?.();
          this.have = seq;
          this.latest = Math.max(this.latest, seq);
          this.needWhole = false;
          this.onShown(seq);
        }
        for (const seq of this.notices.keys()) {
          if (seq <= this.have)
            this.notices.delete(seq);
        }
      } finally {
        this.busy = false;
      }
      if (this.settled())
        this.onSettled();
    },

    // Draws the parts loaded for the notices pending; each is { image, kept } (kept: it came
    // from the page's memory and stays there). `beneath`: the backdrop, for parts on it.
    apply(pending, loaded, beneath) {
      const moves = [];
      // Kept or closed once all are drawn: keeping one must not close another still to draw.
      const drawn = [];
      const finish = () => drawn.forEach(([l, n]) => {
        if (l.kept)
          return;
        if (n.key)
          keep(n.key, l.image);
        else
          l.image.close?.();
      });
      for (let i = 0; i < pending.length; ++i) {
        const n = pending[i];
        if (n.whole && n.part === 0 && (screen.width !== n.w || screen.height !== n.h))
          resize(n.w, n.h);
        if (screen.width !== n.w || screen.height !== n.h) {
          this.needWhole = true;
          loaded.slice(i).forEach((l) => !l.kept && l.image?.close?.());
          finish();
          return;
        }
        if (n.moves && n.moves.length && !moves.length && !reducedMotion.matches) {
          // The slide starts from the frame the screen shows now.
          finishSlide();
          if (before.width !== screen.width || before.height !== screen.height) {
            before.width = screen.width;
            before.height = screen.height;
          }
          beforeContext.drawImage(screen, 0, 0);
          moves.push(...n.moves);
        }
        if (n.onBackdrop) {
          context.drawImage(beneath, n.x, n.y, n.pw, n.ph, n.x, n.y, n.pw, n.ph);
          if (loaded[i].image)
            context.drawImage(loaded[i].image, n.sent[0], n.sent[1]);
        } else {
          context.drawImage(loaded[i].image, n.x, n.y);
        }
        drawn.push([loaded[i], n]);
        this.have = n.seq;
        if (n.whole)
          this.needWhole = false;
      }
      finish();
      if (moves.length)
        startSlide(moves, pending[pending.length - 1].scale);
      this.onShown(this.have);
    },
  };

  return frames;
};
