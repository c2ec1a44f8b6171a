#include "form/controls.h"

namespace kalvor::form {

const ControlSpec *FindControl(std::string_view name) {
    for (const ControlSpec &control : kControls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

} // namespace kalvor::form
