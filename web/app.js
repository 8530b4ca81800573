// The page of `quorvex serve`: three forms that post runs to /api/runs, a
// progress bar while a run goes on, and its results worded as the text report
// words them, with the numbers taken from the run's json. Everything comes
// from this server: no framework, nothing from the network, no inline code.
'use strict';

// ---------------------------------------------------------------------------
// Numbers as the text report writes them. Each function follows the writer of
// the same name, so a number on the page reads as it does in the terminal.

// `decimals` digits after the point, rounded to nearest with ties to even as
// the writers round; a negative value that rounds to zero reads as zero.
function fixedText(x, decimals) {
    let text = x.toFixed(decimals);
    // toFixed breaks an exact tie upward; the writers break it toward even. A
    // double's exact decimal expansion shows the tie within 100 decimals.
    const magnitude = Math.abs(x);
    if (magnitude < 1e21) {
        const exact = magnitude.toFixed(100);
        const point = exact.indexOf('.');
        const rest = exact.slice(point + 1 + decimals);
        if (/^50*$/.test(rest)) {
            const kept = decimals === 0 ? exact.slice(0, point) : exact.slice(0, point + 1 + decimals);
            if (Number(kept[kept.length - 1]) % 2 === 0)
                text = (x < 0 ? '-' : '') + kept;
        }
    }
    if (text[0] === '-' && /^-[0.]*$/.test(text))
        text = text.slice(1);
    return text;
}

// fixedText without trailing zeros or a bare point.
function trimmedText(x, maxDecimals) {
    let text = fixedText(x, maxDecimals);
    if (text.includes('.'))
        text = text.replace(/0+$/, '').replace(/\.$/, '');
    return text;
}

// `significant` digits in scientific form with a bare exponent: 2.5e-7, 1.0e9.
function scientificText(x, significant) { return x.toExponential(significant - 1).replace('e+', 'e'); }

// A time in seconds to two significant digits below 10 s, whole seconds from there.
function secondsText(seconds) {
    const decimals = Math.min(9, Math.max(0, 1 - Math.floor(Math.log10(seconds))));
    return fixedText(seconds, decimals) + ' s';
}

// The decimals that show an uncertainty to one significant digit, or two
// when it starts with 1 or 2.
function decimalsForSpread(spread) {
    if (!(spread > 0) || !Number.isFinite(spread))
        return 0;
    const leading = scientificText(spread, 1);
    const exponent = Number(leading.slice(leading.indexOf('e') + 1));
    const digits = leading[0] <= '2' ? 2 : 1;
    return Math.max(0, digits - 1 - exponent);
}

function percentDecimals(proportion) {
    return decimalsForSpread(((proportion.ci95.high - proportion.ci95.low) / 2) * 100);
}

function percentText(share, decimals) {
    if (share === 0)
        return '0%';
    if (share === 1)
        return '100%';
    return fixedText(share * 100, decimals) + '%';
}

// An exact chance beside an estimate: the estimate's form while it has a
// digit there, else two significant digits, so a tiny chance never reads as 0.
function exactPercentText(chance, decimals) {
    if (chance === 0 || chance === 1)
        return percentText(chance, decimals);
    const text = fixedText(chance * 100, decimals);
    return /[1-9]/.test(text) ? text + '%' : scientificText(chance * 100, 2) + '%';
}

// An exact chance to ten significant digits, as target writes it.
function precisePercent(chance) {
    if (chance === 0 || chance === 1)
        return percentText(chance, 0);
    const percent = chance * 100;
    if (percent < 1e-4) {
        const text = scientificText(percent, 10);
        const e = text.indexOf('e');
        const mantissa = text.slice(0, e).replace(/0+$/, '').replace(/\.$/, '');
        return mantissa + text.slice(e) + '%';
    }
    const leading = Math.floor(Math.log10(percent));
    return trimmedText(percent, Math.min(20, Math.max(0, 9 - leading))) + '%';
}

function countedText(n, one, many) { return `${n} ${n === 1 ? one : many}`; }

const GLYPH = {
    times: '×',
    plusMinus: '±',
    ellipsis: '…',
    atLeast: '≥',
    separator: ' · ',
    none: '—'
};

function intervalText(low, high) { return `${low} ${GLYPH.ellipsis} ${high}`; }

// ---------------------------------------------------------------------------
// Building the page's elements: text only ever goes in as text.

function element(tag, attributes = {}, ...children) {
    const node = document.createElement(tag);
    for (const [name, value] of Object.entries(attributes)) {
        if (name === 'class')
            node.className = value;
        else
            node.setAttribute(name, value);
    }
    for (const child of children) {
        if (child === null || child === undefined)
            continue;
        node.append(typeof child === 'string' ? document.createTextNode(child) : child);
    }
    return node;
}

// A row of a definition list: the label, then its value.
function definition(list, label, ...value) {
    list.append(element('dt', {}, label), element('dd', {}, ...value));
}

// An SVG document from our own server, parsed as SVG and imported as nodes;
// its own <style> would be refused by the page's policy (even while parsing),
// so it goes before the parse and the page's style sheet carries the
// figure's classes instead.
function importedSvg(text) {
    const unstyled = text.replace(/<style[\s\S]*?<\/style>/g, '');
    const parsed = new DOMParser().parseFromString(unstyled, 'image/svg+xml');
    const root = parsed.documentElement;
    if (parsed.getElementsByTagName('parsererror').length > 0 || root.localName !== 'svg')
        return null;
    for (const unwanted of Array.from(root.querySelectorAll('style, script, foreignObject')))
        unwanted.remove();
    for (const node of [root, ...root.querySelectorAll('*')]) {
        for (const attribute of Array.from(node.attributes)) {
            const name = attribute.name.toLowerCase();
            if (name.startsWith('on') || name === 'style' || name === 'href' || name === 'xlink:href') {
                node.removeAttribute(attribute.name);
            }
        }
    }
    const svg = document.importNode(root, true);
    svg.setAttribute('role', 'img');
    const title = svg.querySelector('title');
    if (title)
        svg.setAttribute('aria-label', title.textContent);
    svg.removeAttribute('width');
    svg.removeAttribute('height');
    return svg;
}

// ---------------------------------------------------------------------------
// Talking to the server.

async function requestJson(url, options = {}) {
    const response = await fetch(url, {cache: 'no-store', ...options});
    let body = null;
    try {
        body = await response.json();
    } catch {
        body = null;
    }
    return {response, body};
}

async function requestText(url) {
    const response = await fetch(url, {cache: 'no-store'});
    if (!response.ok)
        throw new Error(`${url}: ${response.status}`);
    return response.text();
}

// ---------------------------------------------------------------------------
// Tabs: one button each, the arrow keys move between them.

const COMMANDS = ['simulate', 'sweep', 'target'];

function showTab(command, moveFocus = false) {
    for (const name of COMMANDS) {
        const tab = document.getElementById(`tab-${name}`);
        const panel = document.getElementById(`panel-${name}`);
        const selected = name === command;
        tab.setAttribute('aria-selected', String(selected));
        tab.tabIndex = selected ? 0 : -1;
        panel.hidden = !selected;
        if (selected && moveFocus)
            tab.focus();
    }
}

function wireTabs() {
    for (const name of COMMANDS) {
        const tab = document.getElementById(`tab-${name}`);
        tab.addEventListener('click', () => showTab(name));
        tab.addEventListener('keydown', (event) => {
            const index = COMMANDS.indexOf(name);
            let next = null;
            if (event.key === 'ArrowRight')
                next = COMMANDS[(index + 1) % COMMANDS.length];
            else if (event.key === 'ArrowLeft')
                next = COMMANDS[(index + COMMANDS.length - 1) % COMMANDS.length];
            else if (event.key === 'Home')
                next = COMMANDS[0];
            else if (event.key === 'End')
                next = COMMANDS[COMMANDS.length - 1];
            if (next === null)
                return;
            event.preventDefault();
            showTab(next, true);
        });
    }
}

// ---------------------------------------------------------------------------
// The forms: what each sends, and the server's refusals shown under a field.

function selectedGoal() { return document.querySelector('#form-target input[name="goal"]:checked').value; }

function showGoalFields() {
    const goal = selectedGoal();
    for (const field of document.querySelectorAll('#form-target [data-goal]')) {
        field.hidden = field.dataset.goal !== goal;
    }
}

// The options a form sends: every visible field that holds text, as typed.
function formOptions(form) {
    const options = {};
    for (const input of form.querySelectorAll('input:not([type="radio"])')) {
        if (input.closest('[hidden]'))
            continue;
        const text = input.value.trim();
        if (text !== '')
            options[input.name] = text;
    }
    return options;
}

function clearErrors(form) {
    for (const error of form.querySelectorAll('.error')) {
        error.textContent = '';
        error.hidden = true;
    }
    for (const input of form.querySelectorAll('[aria-invalid]'))
        input.removeAttribute('aria-invalid');
}

// The server's one-line message under the field it names, or under the form.
function showError(command, message, option) {
    const input = option ? document.getElementById(`${command}-${option}`) : null;
    const slot = input && !input.closest('[hidden]') ? document.getElementById(`${command}-${option}-error`)
                                                     : document.getElementById(`${command}-form-error`);
    slot.textContent = message;
    slot.hidden = false;
    if (input && !input.closest('[hidden]')) {
        input.setAttribute('aria-invalid', 'true');
        input.focus();
    }
}

function setRunning(running) {
    for (const button of document.querySelectorAll('button.run'))
        button.disabled = running;
}

// ---------------------------------------------------------------------------
// A run: post it, follow its progress, show its results.

const current = {
    id: null,
    command: null,
    timer: null,
    generation: 0
};

async function startRun(command, options) {
    const form = document.getElementById(`form-${command}`);
    clearErrors(form);
    let reply;
    try {
        reply = await requestJson('/api/runs', {
            method: 'POST',
            headers: {'Content-Type': 'application/json'},
            body: JSON.stringify({command, options}),
        });
    } catch {
        showError(command, 'The server cannot be reached.');
        return;
    }
    const {response, body} = reply;
    if (response.status !== 202 || !body || typeof body.id !== 'string') {
        let message = body && body.error ? body.error : `The server answered ${response.status}.`;
        const retry = response.headers.get('Retry-After');
        if (response.status === 503 && retry)
            message += ` Try again in ${retry} s.`;
        showError(command, message, body && body.option);
        return;
    }
    current.id = body.id;
    current.command = command;
    current.generation += 1;
    setRunning(true);
    document.getElementById('results').hidden = true;
    document.getElementById('progress').dataset.runId = body.id;
    showProgress({status: 'queued'});
    follow(body.id, current.generation);
}

function showProgress(status) {
    const section = document.getElementById('progress');
    const bar = document.getElementById('progress-bar');
    const text = document.getElementById('progress-text');
    const cancel = document.getElementById('cancel');
    section.hidden = false;
    section.dataset.status = status.status;
    const running = status.status === 'queued' || status.status === 'running';
    cancel.hidden = !running;
    const progress = status.progress;
    if (status.status === 'queued') {
        bar.removeAttribute('value');
        text.textContent = 'Waiting for its turn…';
    } else if (status.status === 'running' && progress && progress.total > 0) {
        const share = Math.min(1, progress.done / progress.total);
        bar.value = share;
        const parts = [`${Math.floor(share * 100)}% done`];
        const steps = progress.done * progress.steps_per_song;
        if (progress.elapsed_seconds > 0 && steps > 0) {
            parts.push(`${scientificText(steps / progress.elapsed_seconds, 2)} steps/s`);
            const left = (progress.elapsed_seconds * (progress.total - progress.done)) / progress.done;
            if (left > 0)
                parts.push(`${secondsText(left)} left`);
        }
        text.textContent = parts.join(GLYPH.separator);
    } else if (status.status === 'running') {
        bar.removeAttribute('value');
        text.textContent = 'Running…';
    } else if (status.status === 'done') {
        bar.value = 1;
        const seconds =
            progress && progress.elapsed_seconds > 0 ? ` in ${secondsText(progress.elapsed_seconds)}` : '';
        text.textContent = `Done${seconds}.`;
    } else if (status.status === 'cancelled') {
        text.textContent = 'Cancelled.';
    } else if (status.status === 'failed') {
        text.textContent = `Failed: ${status.error || 'the run stopped.'}`;
    }
}

function finish() {
    current.id = null;
    if (current.timer !== null)
        clearTimeout(current.timer);
    current.timer = null;
    setRunning(false);
}

// Polls the run's status until it ends; a newer run makes an older poll stop.
async function follow(id, generation) {
    let reply;
    try {
        reply = await requestJson(`/api/runs/${encodeURIComponent(id)}`);
    } catch {
        reply = null;
    }
    if (generation !== current.generation)
        return;
    if (!reply || !reply.response.ok || !reply.body) {
        const message = reply && reply.body && reply.body.error ? reply.body.error
                                                                : 'The run is no longer on the server.';
        showProgress({status: 'failed', error: message});
        finish();
        return;
    }
    const status = reply.body;
    showProgress(status);
    if (status.status === 'queued' || status.status === 'running') {
        current.timer = setTimeout(() => follow(id, generation), 250);
        return;
    }
    finish();
    if (status.status === 'done')
        await showResults(status, generation);
}

async function cancelRun() {
    const id = current.id;
    if (id === null)
        return;
    const generation = current.generation;
    let reply = null;
    try {
        reply = await requestJson(`/api/runs/${encodeURIComponent(id)}`, {method: 'DELETE'});
    } catch {
        reply = null;
    }
    if (generation !== current.generation)
        return;
    if (reply && reply.response.ok && reply.body && reply.body.status === 'cancelled') {
        current.generation += 1; // the poll in flight, if any, stops
        showProgress({status: 'cancelled'});
        finish();
    }
}

// ---------------------------------------------------------------------------
// Results, worded as the text report words them.

function runHeading(json) {
    const p = json.parameters;
    return `${countedText(p.songs, 'song', 'songs')} ${GLYPH.times} ${countedText(p.steps, 'step', 'steps')}`;
}

// A proportion's share, its count and interval, and the exact values beside.
function proportionRow(table, label, p, exact, generator) {
    const d = percentDecimals(p);
    const row = element('tr');
    row.append(
        element('th', {scope: 'row'}, label),
        element('td', {class: 'share'}, percentText(p.share, d)),
        element('td', {}, `${p.count} of ${p.total}`),
        element('td', {class: 'interval'},
                intervalText(percentText(p.ci95.low, d), percentText(p.ci95.high, d))),
    );
    if (exact === undefined) {
        row.append(element('td', {}, ''));
    } else {
        const equallyLikely = exactPercentText(exact, d);
        const fromGenerator = exactPercentText(generator, d);
        row.append(
            element('td', {class: 'exact'},
                    equallyLikely === fromGenerator ? equallyLikely
                                                    : `${equallyLikely}, generator ${fromGenerator}`),
        );
    }
    table.tBodies[0].append(row);
}

function unreachableRow(table, label, score, best) {
    table.tBodies[0].append(
        element('tr', {}, element('th', {scope: 'row'}, label),
                element('td', {colspan: '4'}, `no song can score ${score}: best is ${best}`)),
    );
}

function proportionTable(caption) {
    const table = element('table', {class: 'proportions'});
    table.append(
        element('caption', {}, caption),
        element(
            'thead',
            {},
            element(
                'tr',
                {},
                element('th', {scope: 'col'}, ''),
                element('th', {scope: 'col'}, 'share'),
                element('th', {scope: 'col'}, 'songs'),
                element('th', {scope: 'col'}, '95% CI'),
                element('th', {scope: 'col'}, 'exact'),
                ),
            ),
        element('tbody'),
    );
    return table;
}

function meanLines(statistics) {
    const halfWidth = (statistics.mean_ci95.high - statistics.mean_ci95.low) / 2;
    if (!Number.isFinite(halfWidth)) {
        return {big: fixedText(statistics.mean, 0), detail: '(one song: no interval)'};
    }
    const d = decimalsForSpread(halfWidth);
    const sd = statistics.standard_deviation;
    return {
        big: `${fixedText(statistics.mean, d)} ${GLYPH.plusMinus} ${fixedText(halfWidth, d)}`,
        detail: `(95% CI ${
                    intervalText(fixedText(statistics.mean_ci95.low, d),
                                 fixedText(statistics.mean_ci95.high, d))}; ` +
                    `SD ${fixedText(sd, decimalsForSpread(sd / 100))})`,
    };
}

function figure(kind, svg) {
    const holder = element('figure', {class: `figure figure-${kind}`});
    if (svg)
        holder.append(svg);
    else
        holder.append(element('p', {class: 'error'}, 'The figure could not be read.'));
    return holder;
}

async function fetchedSvg(id) {
    try {
        return importedSvg(await requestText(`/api/runs/${encodeURIComponent(id)}/svg`));
    } catch {
        return null;
    }
}

function simulateResults(json, svg) {
    const s = json.statistics;
    const exact = json.exact;
    const body = element('div', {class: 'result result-simulate'});
    body.append(
        element('p', {class: 'run-line'},
                `${runHeading(json)} at perfect ratio ${json.parameters.perfect_ratio_text}${
                    GLYPH.separator}seed ${json.parameters.seed}`),
    );
    const mean = meanLines(s);
    body.append(
        element('div', {class: 'headline'}, element('span', {class: 'headline-label'}, 'Score'),
                element('span', {class: 'big', id: 'simulate-mean'}, mean.big),
                element('span', {class: 'detail', id: 'simulate-interval'}, mean.detail)),
    );
    const quantiles = element('dl', {class: 'quantiles'});
    for (const [label, key] of [['min', 'min'],
                                ['p1', 'p1'],
                                ['p5', 'p5'],
                                ['p25', 'p25'],
                                ['median', 'median'],
                                ['p75', 'p75'],
                                ['p95', 'p95'],
                                ['p99', 'p99'],
                                ['max', 'max'],
    ]) {
        quantiles.append(element('div', {}, element('dt', {}, label), element('dd', {}, String(s[key]))));
    }
    body.append(quantiles);

    const marvelousHalfWidth = (exact.marvelous_mean.band95.high - exact.marvelous_mean.band95.low) / 2;
    const md = decimalsForSpread(marvelousHalfWidth);
    const exactMarvelous = fixedText(exact.marvelous_mean.value, md);
    const generatorMarvelous = fixedText(exact.marvelous_mean.generator_value, md);
    const marvelousExact = exactMarvelous === generatorMarvelous
                               ? `(exact ${exactMarvelous})`
                               : `(exact ${exactMarvelous}, generator ${generatorMarvelous})`;
    const facts = element('dl', {class: 'facts'});
    definition(facts, 'Marvelous',
               `${fixedText(s.marvelous_mean, md)} per song   ${marvelousExact}${GLYPH.separator}min ${
                   s.marvelous_min}${GLYPH.separator}max ${s.marvelous_max}`);
    body.append(facts);

    const table = proportionTable(
        'Chances per song, with Wilson 95% intervals and the exact values for independent draws');
    table.id = 'simulate-proportions';
    proportionRow(table, 'AAA', s.aaa, exact.aaa_chance.value, exact.aaa_chance.generator_value);
    if (json.best_score >= 1000) {
        proportionRow(table, 'Score 1000', s.perfect_score, exact.perfect_score_chance.value,
                      exact.perfect_score_chance.generator_value);
    } else {
        unreachableRow(table, 'Score 1000', 1000, json.best_score);
    }
    for (const threshold of s.at_least) {
        const label = `Score ${GLYPH.atLeast} ${threshold.score}`;
        if (threshold.reachable)
            proportionRow(table, label, threshold);
        else
            unreachableRow(table, label, threshold.score, json.best_score);
    }
    body.append(element(
        'div', {class: 'table-scroll', tabindex: '0', role: 'region', 'aria-label': 'Chances per song'},
        table));

    const census = exact.census;
    const notes = element('dl', {class: 'facts notes'});
    definition(
        notes,
        'Draws',
        `${census.aaa_draws} of 10000000 keep a song AAA, ${
            census
                .marvelous_draws} are marvelous; exact values assume independent, equally likely draws; generator values assume independent, equally likely generator outputs (215 or 214 of its 2^31 give each draw)`,
    );
    const chance = 'rare by chance (1 run in 20), frequent if something is wrong.';
    if (!exact.aaa_chance.agrees) {
        definition(notes, 'Note',
                   `the generator's exact AAA chance ${
                       exactPercentText(exact.aaa_chance.generator_value,
                                        percentDecimals(s.aaa))} lies outside the run's 95% CI: ${chance}`);
    }
    if (!exact.perfect_score_chance.agrees) {
        definition(notes, 'Note',
                   `the generator's exact chance of score 1000, ${
                       exactPercentText(
                           exact.perfect_score_chance.generator_value,
                           percentDecimals(s.perfect_score))}, lies outside the run's 95% CI: ${chance}`);
    }
    if (!exact.marvelous_mean.agrees) {
        definition(
            notes, 'Note',
            `the marvelous mean lies outside ${
                intervalText(
                    fixedText(exact.marvelous_mean.band95.low, md),
                    fixedText(
                        exact.marvelous_mean.band95.high,
                        md))}, where 95% of runs fall for independent draws from this generator: ${chance}`);
    }
    body.append(notes);
    body.append(element('h3', {}, 'Songs by score'), figure('histogram', svg));
    return body;
}

// The ratios' column: a range's ratios to the decimals of the longest, as
// the table aligns them; a list's as given.
function ratioTexts(perfect, ratios) {
    if (!perfect.includes(':'))
        return ratios.map((r) => r.perfect_ratio_text);
    const decimals = Math.max(0, ...ratios.map((r) => (r.perfect_ratio_text.split('.')[1] || '').length));
    return ratios.map((r) => fixedText(r.perfect_ratio, decimals));
}

function sweepResults(json, svg) {
    const p = json.parameters;
    const body = element('div', {class: 'result result-sweep'});
    body.append(
        element(
            'p', {class: 'run-line'},
            `${runHeading(json)} at ${countedText(json.ratios.length, 'perfect ratio', 'perfect ratios')} (${
                p.perfect})${GLYPH.separator}seed ${p.seed}`),
    );
    body.append(figure('plot', svg));

    const headings = [
        'ratio', `mean ${GLYPH.plusMinus} 95% CI`, 'SD', 'p5', 'median', 'p95', 'P(AAA)', '95% CI', 'exact',
        'generator', 'P(1000)'
    ];
    for (const score of p.at_least)
        headings.push(`P(${GLYPH.atLeast}${score})`);
    const table = element('table', {class: 'rows', id: 'sweep-rows'});
    table.append(
        element('caption', {}, 'One row per ratio, each what simulate reports for its ratio and seed'),
        element('thead', {}, element('tr', {}, ...headings.map((h) => element('th', {scope: 'col'}, h)))),
    );
    const tbody = element('tbody');
    let missed = 0;
    const ratios = ratioTexts(p.perfect, json.ratios);
    json.ratios.forEach((ratio, index) => {
        const s = ratio.statistics;
        const halfWidth = (s.mean_ci95.high - s.mean_ci95.low) / 2;
        const cells = [];
        if (Number.isFinite(halfWidth)) {
            const d = decimalsForSpread(halfWidth);
            cells.push(`${fixedText(s.mean, d)} ${GLYPH.plusMinus} ${fixedText(halfWidth, d)}`);
            cells.push(fixedText(s.standard_deviation, decimalsForSpread(s.standard_deviation / 100)));
        } else {
            cells.push(fixedText(s.mean, 0), GLYPH.none);
        }
        cells.push(String(s.p5), String(s.median), String(s.p95));
        const d = percentDecimals(s.aaa);
        const agrees = ratio.exact.aaa_chance.agrees;
        if (!agrees)
            missed += 1;
        cells.push(percentText(s.aaa.share, d));
        cells.push(intervalText(percentText(s.aaa.ci95.low, d), percentText(s.aaa.ci95.high, d)) +
                   (agrees ? '' : '*'));
        cells.push(exactPercentText(ratio.exact.aaa_chance.value, d));
        cells.push(exactPercentText(ratio.exact.aaa_chance.generator_value, d));
        cells.push(json.best_score >= 1000
                       ? percentText(s.perfect_score.share, percentDecimals(s.perfect_score))
                       : GLYPH.none);
        for (const threshold of s.at_least)
            cells.push(threshold.reachable ? percentText(threshold.share, percentDecimals(threshold))
                                           : GLYPH.none);
        tbody.append(element('tr', {}, element('th', {scope: 'row'}, ratios[index]),
                             ...cells.map((c) => element('td', {}, c))));
    });
    table.append(tbody);
    body.append(
        element('div', {class: 'table-scroll', tabindex: '0', role: 'region', 'aria-label': 'Rows per ratio'},
                table));

    const notes = element('div', {class: 'notes'});
    notes.append(element(
        'p', {},
        'exact: P(AAA) for independent, equally likely draws; generator: for independent, equally likely generator outputs (215 or 214 of its 2^31 give each draw), which long runs follow.'));
    if (missed > 0) {
        notes.append(element('p', {},
                             `*: the interval misses the generator's exact value, in ${missed} of ${
                                 countedText(json.ratios.length, 'ratio',
                                             'ratios')}; by chance alone about 1 ratio in 20 does.`));
    }
    if (json.best_score < 1000 || p.at_least.some((score) => score > json.best_score)) {
        notes.append(element(
            'p', {},
            `${GLYPH.none}: no song of ${
                countedText(p.steps, 'step', 'steps')} reaches that score; the best is ${json.best_score}.`));
    }
    body.append(notes);
    return body;
}

function goalText(p) {
    const ge = ` ${GLYPH.atLeast} `;
    if (p.goal === 'score_chance')
        return `P(score${ge}${p.score})${ge}${p.chance_text}`;
    if (p.goal === 'mean_score')
        return `mean score${ge}${p.mean_text}`;
    return `P(AAA)${ge}${p.chance_text}`;
}

// A run of the search: its estimate toward the goal and whether it meets it.
function estimateText(goal, run) {
    let text;
    if (goal === 'score_chance') {
        const p = run.at_least;
        const d = percentDecimals(p);
        text = `${percentText(p.share, d)}  (${p.count} of ${p.total}; 95% CI ${
            intervalText(percentText(p.ci95.low, d), percentText(p.ci95.high, d))})`;
    } else {
        const halfWidth = (run.mean_ci95.high - run.mean_ci95.low) / 2;
        if (Number.isFinite(halfWidth)) {
            const d = decimalsForSpread(halfWidth);
            text = `mean ${fixedText(run.mean, d)} ${GLYPH.plusMinus} ${fixedText(halfWidth, d)}  (95% CI ${
                intervalText(fixedText(run.mean_ci95.low, d), fixedText(run.mean_ci95.high, d))})`;
        } else {
            text = `mean ${fixedText(run.mean, 0)}  (one song: no interval)`;
        }
    }
    return `${text}  ${run.meets ? 'meets it' : 'falls short'}`;
}

function targetResults(json) {
    const p = json.parameters;
    const answer = json.answer;
    const body = element('div', {class: 'result result-target'});
    const how = answer.method === 'exact'
                    ? 'exact for independent, equally likely draws'
                    : `simulated: met at ${answer.perfect_ratio_text}, ${
                          json.below_answer ? `not at ${json.below_answer.perfect_ratio_text}`
                                            : 'the least ratio of the grid'}`;
    body.append(
        element(
            'div',
            {class: 'answer'},
            element('span', {class: 'answer-label'}, 'perfect ratio'),
            element('span', {class: 'answer-value', id: 'target-answer'}, answer.perfect_ratio_text),
            element('span', {class: 'detail', id: 'target-method'}, how),
            ),
    );
    const facts = element('dl', {class: 'facts'});
    definition(facts, 'Goal', `${goalText(p)} over ${countedText(p.steps, 'step', 'steps')}`);
    if (!answer.perfect_ratio_text_reads_back) {
        definition(
            facts, 'Note',
            'simulate --perfect reads no decimal text as exactly this ratio (it rounds twice, as the dialogue does), so it cannot replay these songs.');
    }
    const runText = `${p.songs} songs ${GLYPH.times} ${countedText(p.steps, 'step', 'steps')}`;
    if (answer.method === 'exact') {
        const exact = json.exact;
        definition(
            facts, 'Exact',
            `P(AAA) ${precisePercent(exact.aaa_chance)} at the answer; ${
                precisePercent(exact.aaa_chance_below)} at ${exact.ratio_below_text}, the double below`);
        definition(facts, 'Draws',
                   `${exact.aaa_draws} of 10000000 keep a song AAA (${exact.aaa_draws_needed} needed, ${
                       exact.aaa_draws_below} at the double below)`);
        const aaa = json.at_answer.aaa;
        const d = percentDecimals(aaa);
        definition(
            facts, 'Simulated',
            `${percentText(aaa.share, d)}  (${aaa.count} of ${aaa.total}; 95% CI ${
                intervalText(percentText(aaa.ci95.low, d), percentText(aaa.ci95.high, d))})  generator ${
                exactPercentText(exact.generator_aaa_chance, d)}`);
        definition(facts, 'Run', `${runText} at the answer${GLYPH.separator}seed ${p.seed}`);
        if (exact.aaa_draws_needed === 10000000) {
            definition(
                facts, 'Note',
                'a chance of 1 needs every draw to keep a song AAA: only ratio 1 does, where the lowest draw\'s deviation is exactly 1.0.');
        }
        if (!json.at_answer.agrees) {
            definition(
                facts, 'Note',
                'the generator\'s exact AAA chance lies outside the run\'s 95% CI: rare by chance (1 run in 20), frequent if something is wrong.');
        }
    } else {
        definition(facts, `At ${json.at_answer.perfect_ratio_text}`, estimateText(p.goal, json.at_answer));
        if (json.below_answer)
            definition(facts, `At ${json.below_answer.perfect_ratio_text}`,
                       estimateText(p.goal, json.below_answer));
        definition(facts, 'Search',
                   `${countedText(json.search.runs, 'run', 'runs')} of ${runText}${GLYPH.separator}seed ${
                       p.seed} at every ratio${GLYPH.separator}resolution ${p.resolution_text}`);
    }
    body.append(facts);
    if (json.search && json.search.goal_within_interval) {
        const goal = p.goal === 'mean_score' ? p.mean_text : p.chance_text;
        body.append(
            element(
                'p', {class: 'warning', role: 'note', id: 'target-warning'},
                element('strong', {}, 'Warning '),
                `the 95% CI at the answer contains the goal's ${
                    goal}: the true value may lie on either side of it, and more songs (--songs) would tell the answer more surely.`),
        );
    }
    return body;
}

const FORMAT_LABELS = {
    json: 'JSON',
    csv: 'CSV',
    text: 'Text report',
    svg: 'SVG figure',
    results: 'QuorvexResults.txt'
};

function showDownloads(id, formats) {
    const list = document.getElementById('downloads');
    list.replaceChildren();
    for (const format of formats) {
        const href = `/api/runs/${encodeURIComponent(id)}/${encodeURIComponent(format)}?download=1`;
        list.append(element(
            'li', {},
            element('a', {href, 'data-format': format, download: ''}, FORMAT_LABELS[format] || format)));
    }
}

// The permalink holds the command and the options the run read, its seed
// among them, so opening it plays the same songs.
function permalinkHash(command, options) {
    const query = new URLSearchParams({command});
    for (const [name, value] of Object.entries(options))
        query.append(name, value);
    return `#${query.toString()}`;
}

async function showResults(status, generation) {
    const id = status.id;
    let json;
    try {
        json = JSON.parse(await requestText(`/api/runs/${encodeURIComponent(id)}/json`));
    } catch {
        showProgress({status: 'failed', error: 'its results could not be read.'});
        return;
    }
    const svg = status.formats.includes('svg') ? await fetchedSvg(id) : null;
    if (generation !== current.generation)
        return;
    let body;
    if (status.command === 'simulate')
        body = simulateResults(json, svg);
    else if (status.command === 'sweep')
        body = sweepResults(json, svg);
    else
        body = targetResults(json);
    document.getElementById('results-body').replaceChildren(body);
    showDownloads(id, status.formats);
    const hash = permalinkHash(status.command, status.options);
    lastHash = hash;
    history.replaceState(null, '', hash);
    document.getElementById('permalink').href = hash;
    const results = document.getElementById('results');
    results.hidden = false;
    results.dataset.runId = id;
    results.focus();
}

// ---------------------------------------------------------------------------
// Opening a permalink: fill the command's form from the hash and run it.

let lastHash = '';

function fillForm(command, query) {
    const form = document.getElementById(`form-${command}`);
    for (const input of form.querySelectorAll('input:not([type="radio"])')) {
        input.value = query.has(input.name) ? query.get(input.name) : '';
    }
    if (command === 'target') {
        const goal = query.has('mean') ? 'mean' : query.has('score') || query.has('chance') ? 'score' : 'aaa';
        document.getElementById(`target-goal-${goal}`).checked = true;
        showGoalFields();
    }
}

function openPermalink() {
    const hash = location.hash;
    if (hash === lastHash || hash.length < 2)
        return;
    lastHash = hash;
    const query = new URLSearchParams(hash.slice(1));
    const command = query.get('command');
    if (!COMMANDS.includes(command))
        return;
    query.delete('command');
    showTab(command);
    fillForm(command, query);
    const options = {};
    for (const [name, value] of query)
        options[name] = value;
    // A link opened while a run goes on replaces that run.
    if (current.id !== null)
        fetch(`/api/runs/${encodeURIComponent(current.id)}`, {method: 'DELETE'}).catch(() => {});
    startRun(command, options);
}

async function showVersion() {
    try {
        const {response, body} = await requestJson('/api/version');
        if (!response.ok || !body)
            return;
        document.getElementById('version').textContent = `${body.program} ${body.version}${GLYPH.separator}${
            countedText(body.threads, 'thread', 'threads')}`;
    } catch {
        // The footer stays empty: nothing else depends on it.
    }
}

function start() {
    wireTabs();
    for (const radio of document.querySelectorAll('#form-target input[name="goal"]')) {
        radio.addEventListener('change', showGoalFields);
    }
    showGoalFields();
    for (const command of COMMANDS) {
        const form = document.getElementById(`form-${command}`);
        form.addEventListener('submit', (event) => {
            event.preventDefault();
            if (current.id !== null)
                return;
            startRun(command, formOptions(form));
        });
    }
    document.getElementById('cancel').addEventListener('click', cancelRun);
    window.addEventListener('hashchange', openPermalink);
    showVersion();
    openPermalink();
}

start();
