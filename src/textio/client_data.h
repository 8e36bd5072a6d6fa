// SPDX-License-Identifier: MIT
// The owner's data of a stream record (ClientData), for the records this
// layer builds besides the standard streams: a plain value copied in and
// out whole.
#pragma once

#include <cstring>
#include <type_traits>

#include "textio/text_stream.h"

namespace textio {

template <class TData> TData LoadClientData(const TTextStream& stream) {
    static_assert(sizeof(TData) <= sizeof stream.ClientData && std::is_trivially_copyable_v<TData>);
    TData data;
    std::memcpy(&data, stream.ClientData, sizeof data);
    return data;
}

template <class TData> void StoreClientData(TTextStream& stream, const TData& data) {
    static_assert(sizeof(TData) <= sizeof stream.ClientData && std::is_trivially_copyable_v<TData>);
    std::memcpy(stream.ClientData, &data, sizeof data);
}

} // namespace textio
