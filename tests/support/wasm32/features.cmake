# SPDX-License-Identifier: MIT
# What the faults the test programs raise in WebAssembly do: each is a trap
# that ends the run, which the program never sees (tests/e2e/e2e_test.cpp
# lists the features).
set(SURVEY_TEST_FEATURES wasm-trap)
