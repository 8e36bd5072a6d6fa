#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Writes the transcript cases under cases/. The expected output is spelled
# out here from the dialogue's own texts, line by line, never taken from the
# program. Run it only to add or change a case, then read the diff.
set -euo pipefail
cd "$(dirname "$0")"
rm -rf cases
mkdir cases

CRLF=$'\r\n'
COUNT_PROMPT="Enter the number of the points in the collapse of a contour:"
EXIT_PROMPT="*Press Enter to exit*"
ZERO_RESULTS="The area of a contour:    0.00m^2 =   0.0000a =  0.00000ha"
SQUARE_RESULTS="The area of a contour:  200.00m^2 =   2.0000a =  0.02000ha"
REVERSED_RESULTS="The area of a contour: -200.00m^2 =  -2.0000a = -0.02000ha"
TRIANGLE_RESULTS="The area of a contour: 2803.30m^2 =  28.0330a =  0.28033ha"
FAR_DIRECTION_RESULTS="The area of a contour:   50.00m^2 =   0.5000a =  0.00500ha"
INFINITE_RESULTS="The area of a contour:    +Inf""m^2 = ""    +Inf""a = ""    +Inf""ha"

line() { printf '%s\r\n' "$1"; }

# The count prompt and the two empty lines after the count.
head_lines() { line "$COUNT_PROMPT"; line ""; line ""; }
length_prompt() { line "Enter the measured length of the point $1 in the collapse of a contour: "; }
direction_prompt() { line "Enter the measured direction of the point $1 in the collapse of a contour: "; }
# The five lines of one point.
point_lines() { length_prompt "$1"; line ""; direction_prompt "$1"; line ""; line ""; }
points_lines() { local k; for ((k = 1; k <= $1; k++)); do point_lines "$k"; done; }
# The empty line, the results line, four empty lines and the exit prompt.
tail_lines() { line ""; line "$1"; line ""; line ""; line ""; line ""; line "$EXIT_PROMPT"; }
dialogue() { head_lines; points_lines "$1"; tail_lines "$2"; }

report() { printf 'Exception %s in module survey at ########.\r\n%s\r\n\r\n' "$1" "$2"; }

# new_case NAME EXITCODE INPUT: the output comes from standard input.
new_case() {
    mkdir "cases/$1"
    printf '%s' "$2" >"cases/$1/exitcode"
    printf '%s' "$3" >"cases/$1/input"
    cat >"cases/$1/output"
}
errors() { cat >"cases/$1/errors"; }
handles() { printf '%s\n' "${@:2}" >"cases/$1/handles"; }

# Dialogue
dialogue 0 "$ZERO_RESULTS" | new_case count_zero 0 "0${CRLF}${CRLF}"
dialogue 0 "$ZERO_RESULTS" | new_case count_256_is_zero 0 "256${CRLF}${CRLF}"
dialogue 1 "$ZERO_RESULTS" | new_case count_257_is_one 0 "257${CRLF}12.5${CRLF}40${CRLF}${CRLF}"
dialogue 255 "$ZERO_RESULTS" | new_case count_minus_one_is_255 0 "-1${CRLF}"
dialogue 3 "$TRIANGLE_RESULTS" | new_case count_followed_by_words 0 \
    "3 more words${CRLF}100${CRLF}0${CRLF}100${CRLF}50${CRLF}50${CRLF}100${CRLF}${CRLF}"
dialogue 0 "$ZERO_RESULTS" | new_case empty_lines_before_count 0 \
    "${CRLF}${CRLF} "$'\t'" ${CRLF}0${CRLF}${CRLF}"
dialogue 3 "$TRIANGLE_RESULTS" | new_case hexadecimal_count 0 \
    "\$3${CRLF}100${CRLF}0${CRLF}100${CRLF}50${CRLF}50${CRLF}100${CRLF}${CRLF}"
dialogue 4 "$SQUARE_RESULTS" | new_case square 0 \
    "4${CRLF}10${CRLF}0${CRLF}10${CRLF}100${CRLF}10${CRLF}200${CRLF}10${CRLF}300${CRLF}${CRLF}"
dialogue 4 "$REVERSED_RESULTS" | new_case square_reversed 0 \
    "4${CRLF}10${CRLF}300${CRLF}10${CRLF}200${CRLF}10${CRLF}100${CRLF}10${CRLF}0${CRLF}${CRLF}"
dialogue 4 "$SQUARE_RESULTS" | new_case length_line_with_second_number 0 \
    "4${CRLF}10 999${CRLF}0${CRLF}10${CRLF}100${CRLF}10${CRLF}200${CRLF}10${CRLF}300${CRLF}${CRLF}"
dialogue 3 "$TRIANGLE_RESULTS" | new_case triangle 0 \
    "3${CRLF}100${CRLF}0${CRLF}100${CRLF}50${CRLF}50${CRLF}100${CRLF}${CRLF}"
# The triangle with its first point 0.4 mm further out: an area on the edge
# between two printed values, which only the 64-bit significand puts on
# the side it prints (at 53 bits it prints 2803.31 and 28.0331).
dialogue 3 "$TRIANGLE_RESULTS" | new_case triangle_at_64_bit_precision 0 \
    "3${CRLF}100.0003999000776${CRLF}0${CRLF}100${CRLF}50${CRLF}50${CRLF}100${CRLF}${CRLF}"
dialogue 2 "$ZERO_RESULTS" | new_case input_ends_after_one_length 0 "2${CRLF}5${CRLF}"
dialogue 0 "$ZERO_RESULTS" | new_case no_final_enter 0 "0${CRLF}"
dialogue 1 "$ZERO_RESULTS" | new_case ctrl_z_ends_input 0 "1${CRLF}7"$'\x1a'"${CRLF}3${CRLF}${CRLF}"

head_lines | head -n 1 | new_case count_not_integer 1 "3.5${CRLF}4${CRLF}"
report EInOutError "Invalid numeric input." | errors count_not_integer
{ head_lines; length_prompt 1; } | new_case length_not_number 1 "1${CRLF}x${CRLF}5${CRLF}"
report EInOutError "Invalid numeric input." | errors length_not_number

# Area and floating point
{ head_lines; points_lines 2; } | new_case adjacent_lengths_overflow 1 \
    "2${CRLF}1e155${CRLF}0${CRLF}1e155${CRLF}100${CRLF}${CRLF}"
report EOverflow "Floating point overflow." | errors adjacent_lengths_overflow
dialogue 3 "$FAR_DIRECTION_RESULTS" | new_case direction_beyond_sine_range 0 \
    "3${CRLF}10${CRLF}0${CRLF}10${CRLF}100${CRLF}10${CRLF}6e20${CRLF}${CRLF}"
{ head_lines; points_lines 2; } | new_case infinite_direction 1 \
    "2${CRLF}10${CRLF}0${CRLF}10${CRLF}1e5120${CRLF}${CRLF}"
report EInvalidOp "Invalid floating point operation." | errors infinite_direction
{ head_lines; length_prompt 1; } | new_case length_beyond_double_range 1 "1${CRLF}1e400${CRLF}0${CRLF}"
report EOverflow "Floating point overflow." | errors length_beyond_double_range
dialogue 1 "$ZERO_RESULTS" | new_case length_below_double_range 0 "1${CRLF}1e-400${CRLF}0${CRLF}${CRLF}"
{ head_lines; length_prompt 1; } | new_case length_beyond_extended_range 1 "1${CRLF}1e4999${CRLF}0${CRLF}"
report EOverflow "Floating point overflow." | errors length_beyond_extended_range
dialogue 4 "$INFINITE_RESULTS" | new_case infinite_length 0 \
    "4${CRLF}1e5120${CRLF}0${CRLF}10${CRLF}100${CRLF}10${CRLF}200${CRLF}10${CRLF}300${CRLF}${CRLF}"

# Standard handles that fail
true | new_case stdout_closed 1 "0${CRLF}${CRLF}"
handles stdout_closed stdout=closed
report EInOutError "I/O error 105." | errors stdout_closed
true | new_case stdout_dev_full 1 "0${CRLF}${CRLF}"
handles stdout_dev_full stdout=full
report EInOutError "I/O error 112." | errors stdout_dev_full
true | new_case stdout_reader_gone 1 "0${CRLF}${CRLF}"
handles stdout_reader_gone stdout=broken-pipe
report EInOutError "I/O error 232." | errors stdout_reader_gone
head_lines | head -n 1 | new_case stdin_closed 1 ""
handles stdin_closed stdin=closed
report EInOutError "I/O error 6." | errors stdin_closed
head_lines | head -n 1 | new_case stdin_directory 1 ""
handles stdin_directory stdin=directory
report EInOutError "I/O error 1." | errors stdin_directory
dialogue 2 "$ZERO_RESULTS" | new_case stdin_pipe_writer_leaves_mid_line 0 "2${CRLF}10${CRLF}0${CRLF}1"
handles stdin_pipe_writer_leaves_mid_line stdin=pipe
dialogue 3 "$TRIANGLE_RESULTS" | new_case stdout_pipe 0 \
    "3${CRLF}100${CRLF}0${CRLF}100${CRLF}50${CRLF}50${CRLF}100${CRLF}${CRLF}"
handles stdout_pipe stdin=pipe stdout=pipe
