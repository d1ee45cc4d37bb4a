#include "cli/CliProgram.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vidlark-cli"));
    return RunCli(QCoreApplication::arguments().mid(1));
}
