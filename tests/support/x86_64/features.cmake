# SPDX-License-Identifier: MIT
# What the faults the test programs raise on x86-64 do: the program reports
# each of them (tests/e2e/e2e_test.cpp lists the features).
set(SURVEY_TEST_FEATURES illegal-instruction integer-division-fault stack-overflow-fault)
