#include "HeadlessJobWindow.h"

#include <QCoreApplication>

void HeadlessJobWindow::processMessages()
{
    QCoreApplication::processEvents();
}
