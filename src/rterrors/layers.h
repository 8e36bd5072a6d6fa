// SPDX-License-Identifier: MIT
// The run-time layers, initialised in order at start and finalised in
// reverse order at the end: the core layer (the floating-point control word
// with its start-up override, the unit, the standard streams), then the
// error layer (the hooks that turn errors into exceptions).
#pragma once

#include <span>

namespace rterrors {

struct TLayer {
    void (*Initialize)();
    void (*Finalize)();
};

extern const TLayer CoreLayer;
extern const TLayer ErrorLayer;

// CoreLayer, then ErrorLayer.
std::span<const TLayer> StandardLayers();

// Initialises each layer once, in order. An exception, or a fault while
// FaultObjectHook is set, that escapes a layer's initialisation finalises
// the layers initialised so far (the failing one included) in reverse
// order and is raised again. The list must live until the process ends.
void InitializeLayers(std::span<const TLayer> layers = StandardLayers());

// Finalises the initialised layers in reverse order, each at most once.
void FinalizeLayers();

} // namespace rterrors
