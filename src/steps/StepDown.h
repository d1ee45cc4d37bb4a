#pragma once

#include <QString>

#include <functional>

class FormatChoice;

// The step-down chain both lookup routes share. tryFormat gets the selected
// index and then each row the user's Yes moves the selection to; the result
// is that of the last format tried. With nothing selected no format is tried
// and nothing is found.
bool TrySelectedFormat(const FormatChoice &formats,
                       const std::function<bool(int index)> &tryFormat);
