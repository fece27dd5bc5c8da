#pragma once

#include <string>

namespace sorvanto {

// Guards against a second running copy: a lock on a file of the given name in the user's
// runtime folder, held for the object's life.
class SingleInstance {
public:
    explicit SingleInstance(const std::string& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process holds the lock (no other instance runs).
    bool IsFirst() const { return fd_ >= 0; }
    const std::string& LockPath() const { return path_; }

private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace sorvanto
