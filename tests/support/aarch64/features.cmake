# SPDX-License-Identifier: MIT
# What the faults the test programs raise on 64-bit ARM do: the program
# reports each of them, but an integer division by zero gives 0 and does not
# fault (tests/e2e/e2e_test.cpp lists the features).
set(SURVEY_TEST_FEATURES illegal-instruction stack-overflow-fault)
