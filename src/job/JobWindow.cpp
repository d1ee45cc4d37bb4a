#include "job/JobWindow.h"

#include "service/FormatTable.h"

#include <chrono>
#include <thread>

namespace {
constexpr int LockPauseMs = 100;
}

void InputLock::blockThread(int milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void PrepareToStart(const JobWindow &window)
{
    window.progress.BeginDownloadProgress();
    window.lock.setInputsEnabled(false);
    window.lock.setStartButtonCaption(QStringLiteral("Stop"));
    window.lock.blockThread(LockPauseMs);
}

void PrepareToStop(const JobWindow &window)
{
    window.lock.blockThread(LockPauseMs);
    window.lock.setInputsEnabled(true);
    FormatComboBoxChange(window.inputs, window.lock);
    window.lock.setStartButtonCaption(QStringLiteral("Download"));
}

void FormatComboBoxChange(JobInputs &inputs, InputLock &lock)
{
    lock.setConvertBoxesEnabled(isConvertibleFormat(inputs.formatIndex()));
}
