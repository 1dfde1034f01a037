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
    TargetRequest request;

    // The four boxes of a run, as typed.
    void set(const QString& interval, const QString& size, const QString& times,
             const QString& repeat) {
        params.setText(ParameterBox::Interval, interval);
        params.setText(ParameterBox::Size, size);
        params.setText(ParameterBox::Times, times);
        params.setText(ParameterBox::RepIP, repeat);
    }
    // A start over selected entries of the list.
    StartResult start(const QStringList& entries) {
        request = TargetRequest{};
        request.hasCurrentItem = true;
        request.selectedEntries = entries;
        return test.CommandStart_Click(request);
    }
};

}  // namespace sondrel::testing
