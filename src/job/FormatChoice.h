#pragma once

#include <QString>

// The format the user chose, as a lookup sees it: read afresh at every use,
// since a step-down lowers it.
class FormatChoice
{
public:
    virtual ~FormatChoice() = default;
    // 0 to FormatCount - 1, or -1 when nothing is selected.
    virtual int selectedFormat() const = 0;
    // After the format at index was missed: when the row offers a lower one,
    // the question is asked, and a Yes moves the selection there (it stays).
    virtual void offerStepDown(int index, const QString &question) = 0;
};
