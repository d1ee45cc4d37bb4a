#include "steps/StepDown.h"

#include "job/FormatChoice.h"
#include "service/FormatTable.h"

bool TrySelectedFormat(const FormatChoice &formats, const std::function<bool(int index)> &tryFormat)
{
    // Each Yes lowers the selection to the very next index this loop visits.
    bool result = false;
    for (int i = FormatCount - 1; i >= 0; --i) {
        if (i != formats.selectedFormat())
            continue;
        result = tryFormat(i);
    }
    return result;
}
