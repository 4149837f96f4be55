// Reads an ADIF file with two independent readers and prints what each found as JSON:
//   { "tcadif": {"qsos": [...]} or {"error": "..."},
//     "adifParser": {"header": {...}, "records": [...]} or {"error": "..."} }
// The file is read as Latin-1, so every byte is one character and lengths count bytes.
'use strict';

const fs = require('fs');
const { ADIF } = require('tcadif');
const { AdifParser } = require('adif-parser-ts');

const text = fs.readFileSync(process.argv[2], 'latin1');
const out = {};
try {
    out.tcadif = ADIF.parse(text).toObject();
} catch (e) {
    out.tcadif = { error: `${e.message} ${JSON.stringify(e.field ?? '')} ${JSON.stringify(e.value ?? '')}` };
}
try {
    out.adifParser = AdifParser.parseAdi(text);
} catch (e) {
    out.adifParser = { error: String(e.message) };
}
process.stdout.write(JSON.stringify(out));
