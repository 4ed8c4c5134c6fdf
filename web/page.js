// Wires the page to the program: the user's events go to the module's handlers, and what the
// module reports (captions, box states, message boxes, the curvature panel, changed pixels)
// comes back to the page. Nothing here computes or draws the simulation.
'use strict';

(function () {
    const CaptionHeight = 22;
    // The program's range of screen heights.
    const MinScreenHeight = 200;
    const MaxScreenHeight = 4320;

    const CommandCount = 5;
    const BoxCount = 3;
    const BarCount = 5;
    const LabelCount = 5;
    // The boxes and bars in the module's numbering.
    const BoxNames = ['KAMPYLOTHTA', 'eidiki', 'MERIKESDYN'];
    const BarNames = ['MAGNHTIO', 'STAKENTR', 'ARXIVX', 'VIMAXRO', 'klimaka'];
    // The label that shows each bar's value.
    const BarLabels = [2, 1, 3, 4, 5];
    // The focus order of the window's controls.
    const TabOrder = ['MAGNHTIO', 'STAKENTR', 'Command1', 'Command2', 'ARXIVX', 'Command3',
        'Command4', 'VIMAXRO', 'klimaka', 'KAMPYLOTHTA', 'eidiki', 'MERIKESDYN', 'Command5'];

    const byId = (id) => document.getElementById(id);
    const windowElement = byId('window');
    const client = byId('client');
    const picture = byId('picture');
    const graph = byId('graph');
    const graphPicture = byId('graph-picture');
    const tools = byId('tools');
    const dialog = byId('message');

    let module = null;
    // While a handler runs, its message boxes included, the module takes no other call.
    let busy = false;
    const commands = [];
    const boxes = [];
    const bars = [];
    const labels = [];
    const designs = [];
    const hook = {messages: [], lastRunMs: null, screenHeight: 0};
    let runStartedAt = null;

    function canvasOf(which) {
        return which === 0 ? picture : graphPicture;
    }

    // The module's callbacks.
    function paint(which, rgba, width, height, cssWidth, cssHeight, x, y, changedWidth,
        changedHeight) {
        const canvas = canvasOf(which);
        if (canvas.width !== width || canvas.height !== height) {
            canvas.width = width;
            canvas.height = height;
        }
        canvas.style.width = cssWidth + 'px';
        canvas.style.height = cssHeight + 'px';
        const image = new ImageData(new Uint8ClampedArray(rgba.buffer, rgba.byteOffset,
            width * height * 4), width, height);
        canvas.getContext('2d').putImageData(image, 0, 0, x, y, changedWidth, changedHeight);
    }

    function showMessage(text) {
        hook.messages.push(text);
        byId('message-text').textContent = text;
        return new Promise((resolve) => {
            dialog.addEventListener('close', () => resolve(), {once: true});
            dialog.showModal();
        });
    }

    function labelChanged(number, text) {
        labels[number - 1].textContent = text;
    }

    function boxChanged(box, checked) {
        boxes[box].checked = checked;
    }

    // Every press places the panel anew at the top left corner, in front.
    function showGraph(side) {
        graph.style.left = '0px';
        graph.style.top = '0px';
        graph.style.width = side + 'px';
        graph.style.height = side + 'px';
        graph.querySelector('.client').style.height = Math.max(0, side - CaptionHeight) + 'px';
        graph.hidden = false;
        byId('save-graph').disabled = false;
        raise(graph);
    }

    let topZ = 1;
    function raise(element) {
        element.style.zIndex = String(++topZ);
    }

    // Runs one call into the module unless another is still running; then mirrors the
    // state it leaves. Calls that may open message boxes are awaited.
    async function call(name, args) {
        if (busy || !module)
            return undefined;
        busy = true;
        try {
            return await module.ccall(name, 'number', args.map(() => 'number'), args,
                {async: true});
        } finally {
            busy = false;
            mirror();
        }
    }

    function mirror() {
        for (let i = 0; i < BarCount; ++i)
            bars[i].value = String(module._kentrikh_barValue(i));
        for (let i = 0; i < BoxCount; ++i)
            boxes[i].checked = module._kentrikh_boxChecked(i) !== 0;
        watchRun();
    }

    // The wall time of a run: from the moment the timer starts (START's handler has returned,
    // its message box closed) to the display frame in which it stops.
    function watchRun() {
        const running = module._kentrikh_timerRunning() !== 0;
        if (running && runStartedAt === null) {
            runStartedAt = performance.now();
        } else if (!running && runStartedAt !== null) {
            hook.lastRunMs = performance.now() - runStartedAt;
            runStartedAt = null;
        }
    }

    function frame() {
        requestAnimationFrame(frame);
        if (busy || hook.manualTicks)
            return;
        module._kentrikh_frame(performance.now());
        watchRun();
    }

    function place(element, rect) {
        element.style.left = rect[0] + 'px';
        element.style.top = rect[1] + 'px';
        element.style.width = rect[2] + 'px';
        element.style.height = rect[3] + 'px';
    }

    function text(pointer) {
        return module.UTF8ToString(pointer);
    }

    function ints(pointer, count) {
        return Array.from(module.HEAP32.subarray(pointer >> 2, (pointer >> 2) + count));
    }

    // A key on a bar changes it as on the desktop: one step, one page, or to an end.
    function barKey(bar, event) {
        if (busy)
            return;
        const [min, max, small, large] = designs[bar];
        const value = Number(bars[bar].value);
        const next = {
            ArrowLeft: value - small, ArrowUp: value - small,
            ArrowRight: value + small, ArrowDown: value + small,
            PageUp: value - large, PageDown: value + large,
            Home: min, End: max,
        }[event.key];
        if (next === undefined)
            return;
        event.preventDefault();
        const clamped = Math.min(max, Math.max(min, next));
        if (clamped !== value) {
            bars[bar].value = String(clamped);
            call('kentrikh_setBar', [bar, clamped]);
        }
    }

    function buildControls() {
        byId('window-caption').textContent = text(module._kentrikh_windowCaption());
        const named = {};
        for (let i = 0; i < CommandCount; ++i) {
            const button = document.createElement('button');
            button.type = 'button';
            button.id = 'Command' + (i + 1);
            button.textContent = text(module._kentrikh_commandCaption(i));
            button.addEventListener('click', () => call('kentrikh_click', [i]));
            commands.push(button);
            named[button.id] = button;
        }
        for (let i = 0; i < BoxCount; ++i) {
            const label = document.createElement('label');
            const box = document.createElement('input');
            box.type = 'checkbox';
            box.id = BoxNames[i];
            box.addEventListener('change', () => call('kentrikh_setBox', [i, box.checked ? 1 : 0]));
            label.append(box, text(module._kentrikh_boxCaption(i)));
            boxes.push(box);
            named[box.id] = box;
            client.append(label);
        }
        for (let i = 0; i < BarCount; ++i) {
            const bar = document.createElement('input');
            bar.type = 'range';
            bar.id = BarNames[i];
            bar.setAttribute('aria-labelledby', 'Label' + BarLabels[i]);
            designs.push(ints(module._kentrikh_barDesign(i), 5));
            const [min, max, , , value] = designs[i];
            bar.min = String(min);
            bar.max = String(max);
            bar.step = '1';
            bar.value = String(value);
            // A drag changes the value when it ends; a click on the track at once.
            bar.addEventListener('change', () => call('kentrikh_setBar', [i, Number(bar.value)]));
            bar.addEventListener('keydown', (event) => barKey(i, event));
            bars.push(bar);
            named[bar.id] = bar;
        }
        for (let i = 0; i < LabelCount; ++i) {
            const label = document.createElement('div');
            label.className = 'label';
            label.id = 'Label' + (i + 1);
            labels.push(label);
        }
        client.append(...commands, ...bars, ...labels);
        TabOrder.forEach((name, index) => { named[name].tabIndex = index + 1; });
    }

    function layOut() {
        const numbers = ints(module._kentrikh_layout(), 2 + 4 * (CommandCount + BoxCount
            + BarCount + LabelCount));
        const [width, height] = numbers;
        const rect = (index) => numbers.slice(2 + 4 * index, 6 + 4 * index);
        client.style.width = width + 'px';
        client.style.height = height + 'px';
        windowElement.style.width = width + 'px';
        commands.forEach((element, i) => place(element, rect(i)));
        boxes.forEach((element, i) => place(element.parentElement, rect(CommandCount + i)));
        bars.forEach((element, i) => place(element, rect(CommandCount + BoxCount + i)));
        labels.forEach((element, i) => place(element,
            rect(CommandCount + BoxCount + BarCount + i)));
        for (let i = 1; i <= LabelCount; ++i)
            labels[i - 1].textContent = text(module._kentrikh_label(i));
        tools.style.left = (width + 8) + 'px';
    }

    function download(blob, name) {
        const link = document.createElement('a');
        link.href = URL.createObjectURL(blob);
        link.download = name;
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    }

    function savePicture(canvas, name) {
        canvas.toBlob((blob) => download(blob, name), 'image/png');
    }

    function saveRun() {
        if (busy)
            return;
        download(new Blob([text(module._kentrikh_csv())], {type: 'text/csv'}), 'kentrikh.csv');
    }

    function saveGraph() {
        if (!graph.hidden)
            savePicture(graphPicture, 'kentrikh-graph.png');
    }

    function wireWindows() {
        picture.addEventListener('pointerdown', (event) => {
            const box = picture.getBoundingClientRect();
            call('kentrikh_pressAt', [event.clientX - box.left, event.clientY - box.top]);
        });
        for (const element of [windowElement, graph])
            element.addEventListener('pointerdown', () => raise(element), true);
        byId('graph-close').addEventListener('click', () => {
            if (busy)
                return;
            graph.hidden = true;
            byId('save-graph').disabled = true;
            module._kentrikh_closeGraph();
        });
        dragByCaption(graph);
        byId('save-picture').addEventListener('click', () => savePicture(picture, 'kentrikh.png'));
        byId('save-run').addEventListener('click', saveRun);
        byId('save-graph').addEventListener('click', saveGraph);
        document.addEventListener('keydown', (event) => {
            if (!(event.ctrlKey || event.metaKey) || event.key.toLowerCase() !== 's')
                return;
            event.preventDefault();
            if (event.shiftKey)
                saveRun();
            else if (graph.contains(document.activeElement) && !graph.hidden)
                saveGraph();
            else
                savePicture(picture, 'kentrikh.png');
        });
    }

    // The curvature panel covers part of the picture: its caption moves it.
    function dragByCaption(element) {
        const caption = element.querySelector('.caption');
        caption.addEventListener('pointerdown', (event) => {
            if (event.target.closest('button'))
                return;
            const startX = event.clientX - element.offsetLeft;
            const startY = event.clientY - element.offsetTop;
            caption.setPointerCapture(event.pointerId);
            const move = (e) => {
                element.style.left = (e.clientX - startX) + 'px';
                element.style.top = Math.max(0, e.clientY - startY) + 'px';
            };
            caption.addEventListener('pointermove', move);
            caption.addEventListener('pointerup', () => {
                caption.removeEventListener('pointermove', move);
            }, {once: true});
        });
    }

    // For tests: timer periods and runs without waiting for them, as the desktop's
    // --tick and --run (manualTicks keeps the display frames from ticking meanwhile), and
    // the picture's user coordinates.
    Object.assign(hook, {
        manualTicks: false,
        tick: (periods) => call('kentrikh_tick', [periods]),
        run: () => call('kentrikh_tick', [1001]),
        timerRunning: () => module._kentrikh_timerRunning() !== 0,
        userOf(x, y) {
            const pointer = module._kentrikh_userOf(x, y) >> 3;
            return [module.HEAPF64[pointer], module.HEAPF64[pointer + 1]];
        },
        csv: () => text(module._kentrikh_csv()),
        busy: () => busy,
    });
    window.kentrikh = hook;

    hook.ready = createKentrikh({showMessage, labelChanged, boxChanged, showGraph, paint})
        .then((instance) => {
            module = instance;
            buildControls();
            const screenHeight = Math.min(MaxScreenHeight,
                Math.max(MinScreenHeight, window.innerHeight - CaptionHeight));
            hook.screenHeight = screenHeight;
            module._kentrikh_start(screenHeight, window.devicePixelRatio || 1);
            layOut();
            wireWindows();
            byId('loading').remove();
            windowElement.hidden = false;
            tools.hidden = false;
            bars[0].focus();
            requestAnimationFrame(frame);
        })
        .catch((error) => {
            byId('loading').textContent = 'The program could not start: ' + error;
            throw error;
        });
})();
