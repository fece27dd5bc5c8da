#pragma once

namespace sorvanto {

// The outcome of a registration from a file.
enum class RegisterResult {
    kRegistered,
    kNotAccepted,  // not a file of this category: nothing copied, nothing shown
    kFailed,       // the copy or its read-back failed; the failure has been reported
};

}  // namespace sorvanto
