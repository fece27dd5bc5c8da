#pragma once

#include <cstdint>
#include <string>

namespace sorvanto {

// Guards against a second running copy, held for the object's life: on Windows the named
// mutex of that name, elsewhere a lock on a file of that name in the user's runtime folder.
class SingleInstance {
public:
    explicit SingleInstance(const std::string& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process holds the lock (no other instance runs).
    bool IsFirst() const { return first_; }

private:
    bool first_ = false;
    std::intptr_t handle_ = -1;  // the lock file's descriptor or the mutex handle
};

}  // namespace sorvanto
