// Validates a glTF file with the Khronos glTF validator and prints its
// report as JSON: node validate-gltf.js FILE. Exit code 0 when the report
// has no errors, 1 when it has, 2 when the file could not be validated.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

const file = process.argv[2];
validator
    .validateBytes(new Uint8Array(fs.readFileSync(file)), {
        uri: path.basename(file),
        maxIssues: 0,
        externalResourceFunction: (uri) =>
            new Promise((resolve, reject) => {
                fs.readFile(path.join(path.dirname(file), decodeURIComponent(uri)), (error, data) => {
                    if (error) reject(error.toString());
                    else resolve(new Uint8Array(data));
                });
            }),
    })
    .then((report) => {
        console.log(JSON.stringify(report, null, 1));
        process.exit(report.issues.numErrors > 0 ? 1 : 0);
    })
    .catch((error) => {
        console.error(error);
        process.exit(2);
    });
