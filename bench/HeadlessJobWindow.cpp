#include "HeadlessJobWindow.h"

#include <QCoreApplication>

void HeadlessJobWindow::processMessages()
{
    // convert_bench runs without an application object: nothing to handle then.
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}
