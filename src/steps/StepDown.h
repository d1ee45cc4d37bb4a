#pragma once

#include <QString>

#include <functional>

class JobBoxes;
class JobInputs;

// The step-down chain both lookup routes share. tryFormat gets the selected
// index and then each lower index the user's Yes lowers the selection to,
// highest first; the result is that of the last format tried. With nothing
// selected no format is tried and nothing is found.
bool TrySelectedFormat(const JobInputs &inputs, const std::function<bool(int index)> &tryFormat);

// After a format at index was missed: above index 0 its question is asked,
// and a Yes lowers the selection by one (the lowered selection stays).
void OfferStepDown(JobInputs &inputs, JobBoxes &boxes, int index, const QString &question);
