#include "launcher/app/win32/message_filter.h"

namespace quillet::launcher {

void MessageFilter::setModule(HMODULE module) {
    if (module == module_) return;
    module_ = module;
    function_ = nullptr;
    lookedUp_ = false;
}

bool MessageFilter::filter(MSG& message) {
    if (!module_) return false;
    if (!lookedUp_) {
        lookedUp_ = true;
        function_ = reinterpret_cast<Function>(reinterpret_cast<void*>(lookup_(module_, kFilterFunctionName)));
    }
    return function_ && function_(&message) != 0;
}

}  // namespace quillet::launcher
