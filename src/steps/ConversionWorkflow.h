#pragma once

#include "job/JobSteps.h"
#include "steps/ConverterRunner.h"

class ConverterSource;

// The last stretch of a job for an FLV download with a convert box ticked:
// writes the converter into its folder (AppDir when portable), stages the
// download in the temporary folder under its plain dated name, converts it
// there and moves the result into the save folder under the title-based name.
// The download is deleted only once its converted file stands beside it.
class ConversionWorkflow final : public ConversionStep
{
public:
    ConversionWorkflow(JobReport &report, JobPulse &pulse, ConverterSource &source,
                       const Clock &clock);

    ConversionOutcome RunConversion(const ConversionOrder &order) override;

    ConverterRunner &runner() { return m_runner; }

private:
    JobReport &m_report;
    JobPulse &m_pulse;
    ConverterSource &m_source;
    ConverterRunner m_runner;
};
