// Reads the PNG files the desktop program and the browser write: 8-bit RGB or RGBA,
// not interlaced. Returns {width, height, rgba} with four bytes a pixel.
import {inflateSync} from 'node:zlib';

function paeth(a, b, c) {
    const p = a + b - c;
    const pa = Math.abs(p - a);
    const pb = Math.abs(p - b);
    const pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

export function decodePng(bytes) {
    let offset = 8;
    let header = null;
    const data = [];
    while (offset < bytes.length) {
        const length = bytes.readUInt32BE(offset);
        const type = bytes.toString('latin1', offset + 4, offset + 8);
        const body = bytes.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            header = {width: body.readUInt32BE(0), height: body.readUInt32BE(4),
                depth: body[8], colour: body[9], interlace: body[12]};
        } else if (type === 'IDAT') {
            data.push(body);
        }
        offset += length + 12;
    }
    const {width, height, depth, colour, interlace} = header;
    if (depth !== 8 || (colour !== 2 && colour !== 6) || interlace !== 0)
        throw new Error(`unsupported PNG: depth ${depth}, colour type ${colour}`);
    const channels = colour === 6 ? 4 : 3;
    const raw = inflateSync(Buffer.concat(data));
    const rowBytes = width * channels;
    const rows = Buffer.alloc(rowBytes * height);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (rowBytes + 1)];
        const line = raw.subarray(y * (rowBytes + 1) + 1, (y + 1) * (rowBytes + 1));
        for (let i = 0; i < rowBytes; ++i) {
            const left = i >= channels ? rows[y * rowBytes + i - channels] : 0;
            const up = y > 0 ? rows[(y - 1) * rowBytes + i] : 0;
            const upLeft = y > 0 && i >= channels ? rows[(y - 1) * rowBytes + i - channels] : 0;
            const predictor = [0, left, up, (left + up) >> 1, paeth(left, up, upLeft)][filter];
            rows[y * rowBytes + i] = (line[i] + predictor) & 0xff;
        }
    }
    const rgba = Buffer.alloc(width * height * 4);
    for (let p = 0; p < width * height; ++p) {
        rgba[p * 4] = rows[p * channels];
        rgba[p * 4 + 1] = rows[p * channels + 1];
        rgba[p * 4 + 2] = rows[p * channels + 2];
        rgba[p * 4 + 3] = channels === 4 ? rows[p * channels + 3] : 255;
    }
    return {width, height, rgba};
}
