#pragma once
// Why a file could not be read or written, in words for the user: German
// where we know the cause, else the system's own message.

#include <string>

namespace zt40 {

std::string readFailureReason(int error);   // `error`: an errno value
std::string writeFailureReason(int error);  // `error`: an errno value

}  // namespace zt40
