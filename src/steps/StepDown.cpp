#include "steps/StepDown.h"

#include "job/JobBoxes.h"
#include "job/JobInputs.h"
#include "service/FormatTable.h"

bool TrySelectedFormat(const JobInputs &inputs, const std::function<bool(int index)> &tryFormat)
{
    // Each Yes lowers the selection to the very next index this loop visits.
    bool result = false;
    for (int i = FormatCount - 1; i >= 0; --i) {
        if (i != inputs.formatIndex())
            continue;
        result = tryFormat(i);
    }
    return result;
}

void OfferStepDown(JobInputs &inputs, JobBoxes &boxes, int index, const QString &question)
{
    if (index > 0 && boxes.askStepDown(question))
        inputs.setFormatIndex(index - 1);
}
