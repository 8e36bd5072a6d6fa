// SPDX-License-Identifier: MIT
// The program's standard handles, provided by its JavaScript host.
//
// A page sets Module.surveyHost to an object with read(handle, count),
// which gives a Promise of the bytes typed (an empty array at the end of
// the input), write(handle, bytes), fileType(handle) and close(handle); it
// has no files to create, rename or remove.
// Without one, as under Node.js, the handles are the process's own
// descriptors 0, 1 and 2. A failure is answered with a negative errno,
// numbered as the program's C library numbers it.
mergeInto(LibraryManager.library, {
  $SurveyNode__deps: ['$ERRNO_CODES'],
  $SurveyNode: {
    fs: null,
    substitutes: null,

    files: function() {
      if (!SurveyNode.fs) SurveyNode.fs = require('fs');
      return SurveyNode.fs;
    },

    // Node.js puts /dev/null, opened for reading and writing, in the place
    // of a standard descriptor that was closed when it started. Such a
    // descriptor is the closed handle the program was given; a parent
    // that means /dev/null opens it for reading or for writing.
    isSubstitute: function(fd) {
      if (!SurveyNode.substitutes) {
        SurveyNode.substitutes = [0, 1, 2].map(function(k) {
          try {
            var fs = SurveyNode.files();
            var info = fs.readFileSync('/proc/self/fdinfo/' + k, 'latin1');
            var flags = parseInt(/flags:\s*([0-7]+)/.exec(info)[1], 8);
            return (flags & 3) === 2 && fs.fstatSync(k).rdev === fs.statSync('/dev/null').rdev;
          } catch (e) {
            return false;
          }
        });
      }
      return fd >= 0 && fd <= 2 && SurveyNode.substitutes[fd];
    },

    errno: function(e) {
      return -(ERRNO_CODES[e && e.code] || ERRNO_CODES.EIO);
    },

    badHandle: function() {
      return -ERRNO_CODES.EBADF;
    },

    // A descriptor inherited in non-blocking mode answers EAGAIN when it is
    // not ready; a write waits here until it is.
    pause: function(ms) {
      Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, ms);
    },
  },

  survey_host_read__deps: ['$SurveyNode'],
  survey_host_read: function(handle, buffer, count) {
    var host = Module['surveyHost'];
    if (host) {
      return Asyncify.handleAsync(async function() {
        var bytes = await host.read(handle, count);
        if (typeof bytes === 'number') return bytes;
        HEAPU8.set(bytes.subarray(0, count), buffer);
        return Math.min(bytes.length, count);
      });
    }
    if (SurveyNode.isSubstitute(handle)) return SurveyNode.badHandle();
    var fs = SurveyNode.files();
    var attempt = function() {
      try {
        return fs.readSync(handle, HEAPU8, buffer, count, null);
      } catch (e) {
        return e.code === 'EAGAIN' ? null : SurveyNode.errno(e);
      }
    };
    var got = attempt();
    if (got !== null) return got;
    // Not ready: the program waits without holding up Node's event loop.
    return Asyncify.handleSleep(function(wakeUp) {
      var retry = function() {
        var result = attempt();
        if (result === null) setTimeout(retry, 5);
        else wakeUp(result);
      };
      setTimeout(retry, 5);
    });
  },

  survey_host_write__deps: ['$SurveyNode'],
  survey_host_write: function(handle, buffer, count) {
    var host = Module['surveyHost'];
    if (host) {
      host.write(handle, HEAPU8.slice(buffer, buffer + count));
      return count;
    }
    if (SurveyNode.isSubstitute(handle)) return SurveyNode.badHandle();
    var fs = SurveyNode.files();
    var done = 0;
    while (done < count) {
      try {
        done += fs.writeSync(handle, HEAPU8, buffer + done, count - done, null);
      } catch (e) {
        if (e.code !== 'EAGAIN') return SurveyNode.errno(e);
        SurveyNode.pause(5);
      }
    }
    return done;
  },

  survey_host_file_type__deps: ['$SurveyNode'],
  survey_host_file_type: function(handle) {
    var host = Module['surveyHost'];
    if (host) return host.fileType(handle);
    if (SurveyNode.isSubstitute(handle)) return 0;
    try {
      var info = SurveyNode.files().fstatSync(handle);
      if (info.isFile()) return 1;
      if (info.isCharacterDevice()) return 2;
      return 3;
    } catch (e) {
      return 0;
    }
  },

  // What path names: 0 nothing (or nothing that can be told), 1 a file,
  // 2 a folder, 3 anything else (a terminal, a pipe, the null device).
  survey_host_path_kind__deps: ['$SurveyNode'],
  survey_host_path_kind: function(path) {
    if (Module['surveyHost']) return 0;
    try {
      var info = SurveyNode.files().statSync(UTF8ToString(path));
      return info.isFile() ? 1 : info.isDirectory() ? 2 : 3;
    } catch (e) {
      return 0;
    }
  },

  // With exclusive, a new file at path, with the permissions of the file
  // at like where there is one; without, path opened for writing as it is.
  // A descriptor, or a negative errno. A page has no files to create.
  survey_host_create__deps: ['$SurveyNode'],
  survey_host_create: function(path, exclusive, like) {
    if (Module['surveyHost']) return -ERRNO_CODES.EACCES;
    var fs = SurveyNode.files();
    try {
      var fd = fs.openSync(UTF8ToString(path), exclusive ? 'wx' : 'w', 0o666);
      if (exclusive && like) {
        try {
          fs.fchmodSync(fd, fs.statSync(UTF8ToString(like)).mode & 0o7777);
        } catch (e) {
          // no file to take them from: the new file keeps its own
        }
      }
      return fd;
    } catch (e) {
      return SurveyNode.errno(e);
    }
  },

  // 0, or a negative errno.
  survey_host_rename__deps: ['$SurveyNode'],
  survey_host_rename: function(from, to) {
    if (Module['surveyHost']) return -ERRNO_CODES.EACCES;
    try {
      SurveyNode.files().renameSync(UTF8ToString(from), UTF8ToString(to));
      return 0;
    } catch (e) {
      return SurveyNode.errno(e);
    }
  },

  survey_host_remove__deps: ['$SurveyNode'],
  survey_host_remove: function(path) {
    if (Module['surveyHost']) return -ERRNO_CODES.EACCES;
    try {
      SurveyNode.files().unlinkSync(UTF8ToString(path));
      return 0;
    } catch (e) {
      return SurveyNode.errno(e);
    }
  },

  // A number of this process, for the names of new files.
  survey_host_process: function() {
    return typeof process === 'object' && process.pid ? process.pid : 0;
  },

  survey_host_close__deps: ['$SurveyNode'],
  survey_host_close: function(handle) {
    var host = Module['surveyHost'];
    if (host) {
      host.close(handle);
      return 0;
    }
    if (SurveyNode.isSubstitute(handle)) return SurveyNode.badHandle();
    try {
      SurveyNode.files().closeSync(handle);
      return 0;
    } catch (e) {
      return SurveyNode.errno(e);
    }
  },
});
