#include "job/JobWindow.h"

#include "service/FormatTable.h"

namespace {
constexpr int LockPauseMs = 100;
}

void JobWindow::PrepareToStart()
{
    BeginDownloadProgress();
    setInputsEnabled(false);
    setStartButtonCaption(QStringLiteral("Stop"));
    blockThread(LockPauseMs);
}

void JobWindow::PrepareToStop()
{
    blockThread(LockPauseMs);
    setInputsEnabled(true);
    FormatComboBoxChange();
    setStartButtonCaption(QStringLiteral("Download"));
}

void JobWindow::FormatComboBoxChange()
{
    setConvertBoxesEnabled(isConvertibleFormat(formatIndex()));
}
