// SPDX-License-Identifier: MIT
// For the platform's fault handlers: whether a checkpoint is there to take
// a fault. RunWithFaultCheckpoint and RaiseFault are in faults.h.
#pragma once

namespace foundation {

bool HaveFaultCheckpoint();

} // namespace foundation
