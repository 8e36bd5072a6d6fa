# SPDX-License-Identifier: MIT
# wasm32: a code address is an offset into the module, which the toolchain
# reads from the host's stack traces with its offset converter.
target_link_options(foundation INTERFACE -sUSE_OFFSET_CONVERTER)
