#pragma once

#include <QTemporaryDir>

#include "common/run_state.h"
#include "engine/ping_test.h"
#include "engine/test_parameters.h"
#include "support/fake_clock.h"
#include "support/fake_echo.h"
#include "support/recording_prompts.h"

namespace sondrel::testing {

// A ping test over fakes: virtual time, scripted echo and names, recorded messages, the
// parameter lists filled, a data folder of its own.
struct EngineRig {
    EngineRig() { params.FillParameterLists(); }

    QTemporaryDir folder;
    FakeClock clock;
    FakeEcho echo{clock};
    FakeResolver resolver;
    RecordingPrompts prompts;
    CancellingDialogs dialogs;
    RunState state;
    TestParameters params{prompts, dialogs};
    PingTest test{{echo, resolver, clock, prompts}, state, params, folder.path() + "/"};
};

}  // namespace sondrel::testing
