#pragma once
// The MSFT format's reader, behind ReadTypeLibrary.

#include <string_view>

#include "vb6/typelib/TypeLibrary.h"

namespace quibex::vb6::typelib {

// The MSFT type library in `bytes` (which begin with "MSFT").
ReadResult ReadMsft(std::string_view bytes);

}  // namespace quibex::vb6::typelib
