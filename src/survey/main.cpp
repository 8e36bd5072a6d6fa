// SPDX-License-Identifier: MIT
// The program's entry: start-up in a fixed order, the dialogue, the normal
// end. The command line is ignored.
#include "rterrors/layers.h"
#include "rterrors/program_exit.h"
#include "rterrors/top_level.h"
#include "survey/dialogue.h"

int main() {
    rterrors::ConsoleProgram = true;
    // From here on every failure, the initialisations included, ends in the
    // error report.
    rterrors::RunUnderTopLevelHandler([] {
        rterrors::InitializeLayers(); // core layer, then error layer
        survey::RunDialogue();
        rterrors::EndProgram(0);
    });
}
