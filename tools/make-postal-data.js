#!/usr/bin/env node
// Converts the postal-code data of the npm package japan-postal-code (Japan Post's data of all Japan,
// towns and business codes, as one JSONP file per leading three digits) into data/postal.dat, the
// compact directory the program ships and reads at run time.
//
//   mkdir -p /tmp/jpc && cd /tmp/jpc && npm install japan-postal-code@0.3.0
//   node tools/make-postal-data.js /tmp/jpc/node_modules/japan-postal-code data/postal.dat
//
// Output (UTF-8, LF): the header line, comment lines starting with "#", then
//   C <tab> prefecture number (1-47) <tab> city                 city table, numbered from 0 in order
//   T <tab> code <tab> city number <tab> town                   a town
//   B <tab> code <tab> city number <tab> town <tab> street <tab> business name   a business code
//   E <tab> number of T and B lines                             last line; a shorter file is damaged
// Records are sorted by code; trailing empty fields are left out.
'use strict';
const fs = require('fs');
const path = require('path');

const [pkgDir, outFile] = process.argv.slice(2);
if (!pkgDir || !outFile) {
    console.error('usage: make-postal-data.js <japan-postal-code package folder> <output file>');
    process.exit(2);
}
const pkg = JSON.parse(fs.readFileSync(path.join(pkgDir, 'package.json'), 'utf8'));
const zipDir = path.join(pkgDir, 'zipdata');

const records = [];
for (const name of fs.readdirSync(zipDir).sort()) {
    if (!/^zip-\d{3}\.js$/.test(name)) continue;
    const text = fs.readFileSync(path.join(zipDir, name), 'utf8');
    const json = JSON.parse(text.slice(text.indexOf('(') + 1, text.lastIndexOf(')')));
    for (const [code, v] of Object.entries(json)) {
        if (!/^\d{7}$/.test(code)) throw new Error(`bad code ${code} in ${name}`);
        const [pref, city, town, street] = v;
        if (!(pref >= 1 && pref <= 47) || typeof city !== 'string' || typeof town !== 'string')
            throw new Error(`bad record ${code} in ${name}`);
        for (const s of [city, town, street || ''])
            if (/[\t\n\r]/.test(s)) throw new Error(`control character in ${code}`);
        records.push({code, pref, city, town, street: street, business: street !== undefined});
    }
}

// The package's generator empties every town ending in "一円" (Japan Post's marker for "the whole
// municipality"), but in Taga, Inukami (滋賀県犬上郡多賀町) "一円" is the real name of a district.
for (const r of records)
    if (r.code === '5220317' && r.city === '犬上郡多賀町' && r.town === '') r.town = '一円';

records.sort((a, b) => (a.code < b.code ? -1 : a.code > b.code ? 1 : 0));

const cityIndex = new Map();
const lines = [`VELMORA-POSTAL 1`,
               `# Japan Post postal codes (towns and business codes) from npm ${pkg.name} ${pkg.version}`,
               `# Made by tools/make-postal-data.js; see data/README.md for source and terms`];
const body = [];
for (const r of records) {
    const key = `${r.pref}\t${r.city}`;
    if (!cityIndex.has(key)) {
        cityIndex.set(key, cityIndex.size);
        lines.push(`C\t${key}`);
    }
    const fields = r.business ? ['B', r.code, cityIndex.get(key), r.town, r.street, '']
                              : ['T', r.code, cityIndex.get(key), r.town];
    while (fields.length > 4 && fields[fields.length - 1] === '') fields.pop();
    body.push(fields.join('\t'));
}
const out = lines.concat(body, [`E\t${records.length}`]).join('\n') + '\n';
fs.writeFileSync(outFile, out);
console.log(`${records.length} records, ${cityIndex.size} cities, ${out.length} characters -> ${outFile}`);
