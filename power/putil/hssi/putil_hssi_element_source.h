// An element's checks are the transceiver model's own: whichever file of the
// element holds them, they report the model's source name, so that an
// internal error points at the model rather than at a data holder. Include
// after every other header.
#pragma once

#include "core/putil_export.h"

#undef PUTIL_SOURCE_NAME
#define PUTIL_SOURCE_NAME "putil_hssi_info.cpp"
