// Run inside the picture by a browser: for every mark, zone and profile
// step that carries a title, the title the browser shows with the pointer
// at that element's middle (the nearest title from the element hit up). It
// should be the element's own. Appends <desc id="esito"> with the count of
// elements tried and one line per element whose middle shows another title.
(function () {
  const titolo = (e) => {
    for (const c of e.children) if (c.tagName === 'title') return c.textContent;
    return null;
  };
  const mostrato = (x, y) => {
    for (let e = document.elementFromPoint(x, y); e; e = e.parentElement) {
      const t = titolo(e);
      if (t !== null) return t;
    }
    return null;
  };
  let provati = 0;
  const mancati = [];
  for (const e of document.querySelectorAll('rect, circle, use')) {
    const t = titolo(e);
    if (t === null) continue;
    const r = e.getBoundingClientRect();
    if (r.width < 3 || r.height < 3) continue;  // too thin to aim at
    provati++;
    const visto = mostrato(r.left + r.width / 2, r.top + r.height / 2);
    if (visto !== t) {
      mancati.push(e.tagName + ' ' + JSON.stringify(t.split('\n')[0]) + ' mostra ' +
                   JSON.stringify(visto === null ? null : visto.split('\n')[0]));
    }
  }
  const esito = document.createElementNS('http://www.w3.org/2000/svg', 'desc');
  esito.setAttribute('id', 'esito');
  esito.textContent = 'provati=' + provati + '\n' + mancati.join('\n');
  document.documentElement.appendChild(esito);
})();
