#pragma once

#include <QMetaType>
#include <cstdint>

// Final outcome of an update run, a four-character code that the updater
// prints as a signed decimal number. Any value not listed means success with
// nothing more to do.
using UpdateOutcome = int32_t;

namespace Outcome {
constexpr UpdateOutcome kRestart = 0x626F6F74;               // 'boot'
constexpr UpdateOutcome kShutdown = 0x73687574;              // 'shut'
constexpr UpdateOutcome kShutdownAndUnplug = 0x73687550;     // 'shuP'
constexpr UpdateOutcome kUnplugThunderbolt = 0x756E5442;     // 'unTB'
constexpr UpdateOutcome kUnplugThunderboltAndPower = 0x756E5450; // 'unTP'
constexpr UpdateOutcome kFail = 0x6661696C;                  // 'fail'

// A successful outcome whose message tells the user what to do next.
constexpr bool asksForAction(UpdateOutcome outcome)
{
    return outcome == kRestart || outcome == kShutdown || outcome == kShutdownAndUnplug ||
           outcome == kUnplugThunderbolt || outcome == kUnplugThunderboltAndPower;
}
} // namespace Outcome
