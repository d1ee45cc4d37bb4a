#pragma once

#include "job/JobSteps.h"
#include "job/JobWindow.h"
#include "steps/ConverterRunner.h"

class ConverterSource;

// The last stretch of a job for an FLV download with a convert box ticked:
// writes the converter into its folder (AppDir when portable), stages the download in TempDir under
// its plain dated name, converts it there and moves the result into the save folder under the
// title-based name. The download is deleted only once its converted file stands beside it.
class ConversionWorkflow final : public ConversionStep
{
public:
    ConversionWorkflow(ProgramState &state, const JobWindow &window, ConverterSource &source,
                       const Clock &clock);

    ConversionOutcome RunConversion(const ConversionOrder &order) override;

    ConverterRunner &runner() { return m_runner; }

private:
    ProgramState &m_state;
    JobWindow m_window;
    ConverterSource &m_source;
    ConverterRunner m_runner;
};
