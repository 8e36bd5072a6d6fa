# SPDX-License-Identifier: MIT
# Writes the service worker: sw.js.in with the build's name, a hash of every
# file of the page, and the list of those files. Run by the build with
#   -DTEMPLATE=sw.js.in -DOUTPUT=sw.js -DPAGE_DIR=folder -DFILES=a;b;...
set(digests "")
set(names "'./'")
foreach(file IN LISTS FILES)
  file(SHA256 ${PAGE_DIR}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND names ", '${file}'")
endforeach()
string(SHA256 build "${digests}")
string(SUBSTRING ${build} 0 16 PAGE_BUILD)
set(PAGE_FILES ${names})
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
