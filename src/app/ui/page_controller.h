#pragma once

namespace sondrel {

// One page of the window (ping, trace, scan, console): what the start and stop commands of
// the window do while the page's function is selected or its activity runs.
class PageController {
  public:
    virtual ~PageController() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
};

}  // namespace sondrel
