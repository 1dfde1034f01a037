#pragma once

#include <QString>
#include <optional>

#include "app/settings.h"
#include "common/run_state.h"

namespace sondrel {

class TestParameters;

// What the window knows of the session when it saves the settings. A fact left out keeps its
// stored value as read.
struct SessionFacts {
    Activity runningActivity = Activity::None;
    std::optional<QString> traceFileName;
    qint64 targetCount = 0;
    std::optional<bool> checkDB;
    std::optional<bool> checkIPtoName;
    std::optional<QString> hopNumber, hostList, traceTimeOut;
};

// Applies the stored box texts (interval, size, time-out, number, repeat) through the boxes'
// own change handling; empty values are not applied.
void ApplyParameterSettings(const Settings& settings, TestParameters& params);

// A stored check box state ("0"/"1", any whole number); nothing when empty.
std::optional<bool> StoredCheck(const Settings& settings, Setting setting);

// Whether the start page is the route trace ("跟踪") rather than the ping test.
bool StartsOnTracePage(const Settings& settings);

// SaveCurrentSettings without the write: copies the boxes and the session facts into the
// in-memory values (the file dialogs' folder is left as they set it).
void CaptureCurrentSettings(Settings& settings, const TestParameters& params,
                            const SessionFacts& facts);

}  // namespace sondrel
