#pragma once

#include <QString>

// The window operations the video lookup uses: the format list and the
// step-down question. The job window extends this with everything else.
class LookupWindow
{
public:
    virtual ~LookupWindow() = default;

    // Selected index of the format list: 0 to 5, or -1 when nothing is selected.
    virtual int formatIndex() const = 0;
    // Changes the selection without running the list's change handler.
    virtual void setFormatIndex(int index) = 0;
    // Modal Yes/No box of the error kind; any answer but Yes counts as No.
    virtual bool askStepDown(const QString &question) = 0;
};
