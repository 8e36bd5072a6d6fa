// SPDX-License-Identifier: MIT
// A trap ends the module's run: an access outside its linear memory, an
// unreachable instruction, an integer division by zero, or the host's own
// stack running out. Nothing in the module can go on from there, so under
// Node.js the host says what happened on standard error and ends the
// process with 255, as a fault that no checkpoint takes. In a page, the
// page reports it.
if (typeof process === 'object' && process.versions && process.versions.node) {
  (function() {
    var stop = function(error) {
      var what = error && error.message ? error.message : String(error);
      require('fs').writeSync(2, 'Runtime error: ' + what + '\r\n');
      process.exit(255);
    };
    // The run's end: the program's own exit, or a trap caught around main.
    Module['quit'] = function(status, toThrow) {
      if (toThrow && toThrow.name === 'ExitStatus') process.exit(status);
      stop(toThrow);
    };
    // A trap after the program waited for input, outside that catch.
    process.on('uncaughtException', stop);
    process.on('unhandledRejection', stop);
  })();
}
