#pragma once

#include <QString>

// The user's inputs, read afresh at every use.
class JobInputs
{
public:
    virtual ~JobInputs() = default;
    virtual QString linkText() const = 0;
    virtual QString folderText() const = 0;
    // Selected index of the format list: 0 to 5, or -1 when nothing is selected.
    virtual int formatIndex() const = 0;
    // Changes the selection without running the list's change handler.
    virtual void setFormatIndex(int index) = 0;
    // A box's tick counts whether or not the box is enabled.
    virtual bool aviBoxChecked() const = 0;
    virtual bool mp4BoxChecked() const = 0;
};
