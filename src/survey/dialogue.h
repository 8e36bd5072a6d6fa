// The survey dialogue: asks for the points, has the area computed, prints
// it and waits for Enter. Runs once, between start-up and the normal end.
#pragma once

namespace survey {

void RunDialogue();

} // namespace survey
