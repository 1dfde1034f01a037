#pragma once

namespace sondrel {

class Clock;
class ProcessRunner;
class Resolver;
class UserPrompts;

// What a run of child programs works with: the programs it starts, time and timers, the
// messages to the operator, and name look-ups.
struct RunServices {
    ProcessRunner& processes;
    Clock& clock;
    UserPrompts& prompts;
    Resolver& resolver;
};

}  // namespace sondrel
