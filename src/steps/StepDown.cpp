#include "steps/StepDown.h"

#include "job/FormatChoice.h"
#include "service/FormatTable.h"

bool TrySelectedFormat(const FormatChoice &formats, const std::function<bool(int index)> &tryFormat)
{
    // Each Yes moves the selection to the row offered; a No leaves it, which ends the chain.
    int index = formats.selectedFormat();
    bool result = false;
    for (int tried = 0; tried < FormatCount && formatAt(index); ++tried) {
        result = tryFormat(index);
        const int next = formats.selectedFormat();
        if (result || next == index)
            break;
        index = next;
    }
    return result;
}
