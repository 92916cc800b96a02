// The per-thread error info of failing entry points. It lives in the platform library that the
// module and its host share, so that what the module sets the host can take.
#include <string>
#include <utility>

#include "platform/component.h"

namespace platform {

namespace {
thread_local std::string error_info;
}  // namespace

void SetErrorInfo(std::string description) { error_info = std::move(description); }

std::string TakeErrorInfo() { return std::exchange(error_info, {}); }

}  // namespace platform
