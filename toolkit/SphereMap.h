#pragma once

namespace TovarToolkit {

// Switches sphere-map texture-coordinate generation on and off.
class TovarSphereMap {
public:
    void Generate();
    void Activate();
    void DeActivate();
};

} // namespace TovarToolkit
