#include "app/settings_binding.h"

#include "common/leading_number.h"
#include "common/run_state.h"
#include "engine/test_parameters.h"

namespace sondrel {

namespace {

struct BoxSetting {
    Setting setting;
    ParameterBox box;
};
constexpr BoxSetting BoxSettings[] = {
    {Setting::Interval, ParameterBox::Interval}, {Setting::Buffer, ParameterBox::Size},
    {Setting::TimeOut, ParameterBox::TimeOut},   {Setting::Number, ParameterBox::Times},
    {Setting::RepeatIP, ParameterBox::RepIP},
};

QString checkText(bool checked) {
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

void ApplyParameterSettings(const Settings& settings, TestParameters& params) {
    for (const BoxSetting& pair : BoxSettings) {
        const QString text = settings.value(pair.setting);
        if (!text.isEmpty())
            params.setText(pair.box, text);
    }
}

std::optional<bool> StoredCheck(const Settings& settings, Setting setting) {
    const QString text = settings.value(setting);
    if (text.isEmpty())
        return std::nullopt;
    return WholeNumber(LeadingNumber(text)) != 0;
}

bool StartsOnTracePage(const Settings& settings) {
    return ActivityFromText(settings.value(Setting::CmdType)) == Activity::Trace;
}

void CaptureCurrentSettings(Settings& settings, const TestParameters& params,
                            const SessionFacts& facts) {
    for (const BoxSetting& pair : BoxSettings)
        settings.setValue(pair.setting, params.text(pair.box));
    if (facts.checkIPtoName)
        settings.setValue(Setting::IPtoName, checkText(*facts.checkIPtoName));
    if (facts.hopNumber)
        settings.setValue(Setting::HopNumber, *facts.hopNumber);
    if (facts.hostList)
        settings.setValue(Setting::HostList, *facts.hostList);
    if (facts.traceTimeOut)
        settings.setValue(Setting::TimeOut2, *facts.traceTimeOut);
    settings.setValue(Setting::CmdType, ActivityText(facts.runningActivity));
    if (facts.traceFileName)
        settings.setValue(Setting::TraceFileName, *facts.traceFileName);
    settings.setValue(Setting::IPQty, QString::number(facts.targetCount));
    if (facts.checkDB)
        settings.setValue(Setting::IfDB, checkText(*facts.checkDB));
}

}  // namespace sondrel
