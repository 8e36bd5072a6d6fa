// SPDX-License-Identifier: MIT
#include "rterrors/layers.h"

#include "foundation/faults.h"
#include "foundation/platform_io.h"
#include "rterrors/fpu_control.h"
#include "rterrors/run_errors.h"
#include "textio/text_stream.h"

namespace rterrors {

namespace {

void InitializeCore() {
    foundation::IgnoreWriteSignals();
    ApplyFpuMaskOverride(); // settles the word every ResetFpu loads from here on
    ResetFpu();
    textio::InputStream.Mode = textio::ModeClosed;
    textio::OutputStream.Mode = textio::ModeClosed;
    textio::ErrorStream.Mode = textio::ModeClosed;
}

// Closing writes out what is still waiting in OutputStream. Failures only
// leave a code that nothing reads any more.
void FinalizeCore() {
    textio::CloseStream(textio::InputStream);
    textio::CloseStream(textio::OutputStream);
    textio::CloseStream(textio::ErrorStream);
}

constexpr TLayer Standard[] = {
    {InitializeCore, FinalizeCore},
    {InstallErrorLayer, RemoveErrorLayer},
};

std::span<const TLayer> ActiveLayers;
std::size_t InitializedCount = 0;

// Exceptions made from a fault point at their record, so it is kept here.
foundation::TFaultRecord InitializationFault;

void RunInitialize(void* layer) {
    static_cast<const TLayer*>(layer)->Initialize();
}

[[noreturn]] void RaiseInitializationFault() {
    if (FaultObjectHook == nullptr) {
        foundation::RaiseFault(InitializationFault); // on to the top-level handler
    }
    ResetFpu();
    TObject* object = FaultObjectHook(InitializationFault);
    FinalizeLayers();
    RaiseAt(object, InitializationFault.Address);
}

} // namespace

const TLayer CoreLayer = Standard[0];
const TLayer ErrorLayer = Standard[1];

std::span<const TLayer> StandardLayers() {
    return Standard;
}

void InitializeLayers(std::span<const TLayer> layers) {
    ActiveLayers = layers;
    InitializedCount = 0;
    for (const TLayer& layer : layers) {
        ++InitializedCount;
        bool completed = false;
        try {
            completed = foundation::RunWithFaultCheckpoint(
                RunInitialize, const_cast<TLayer*>(&layer), InitializationFault);
        } catch (const TRaisedException&) {
            FinalizeLayers();
            throw;
        }
        if (!completed) {
            RaiseInitializationFault();
        }
    }
}

void FinalizeLayers() {
    while (InitializedCount > 0) {
        const TLayer& layer = ActiveLayers[--InitializedCount];
        if (layer.Finalize != nullptr) {
            layer.Finalize();
        }
    }
}

} // namespace rterrors
