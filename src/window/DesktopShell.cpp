#include "window/DesktopShell.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

std::optional<QString> SystemDesktopShell::chooseFolder(QWidget *owner, const QString &title,
                                                        const QString &startFolder)
{
    const QString chosen = QFileDialog::getExistingDirectory(owner, title, startFolder);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

void SystemDesktopShell::exploreFolder(const QString &folder)
{
    // A missing folder is for the file manager to report, not for us.
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void SystemDesktopShell::openWebPage(const QString &address)
{
    QDesktopServices::openUrl(QUrl(address));
}

void SystemDesktopShell::openLocalPage(const QString &path)
{
    // The desktop's handler of HTML files: its web browser.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
