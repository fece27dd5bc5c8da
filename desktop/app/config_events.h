#pragma once

namespace sorvanto {

// What the configuration sheet tells the main frame.
class ConfigEvents {
public:
    virtual ~ConfigEvents() = default;
    // The document's model changed: the frame takes it over and rebuilds its tabs.
    virtual void OnModelChanged() = 0;
    // A new infrared mode for the next start.
    virtual void OnIrModeChanged(int mode) = 0;
    virtual bool IsOwnObexAvailable() = 0;
};

}  // namespace sorvanto
