#pragma once

#include "window/DesktopShell.h"

#include <QStringList>

#include <optional>

// The desktop for widget tests: answers the folder browser from a script and
// notes every request as one line ("browse ...", "explore FOLDER", "open
// ADDRESS", "open page PATH"); no real browser or file manager ever opens.
// Header-only, for the tests that link the window library.
class RecordingDesktopShell final : public DesktopShell
{
public:
    QStringList calls;
    std::optional<QString> folderAnswer;

    std::optional<QString> chooseFolder(QWidget *, const QString &title,
                                        const QString &startFolder) override
    {
        calls << QStringLiteral("browse '%1' at %2").arg(title, startFolder);
        return folderAnswer;
    }
    void exploreFolder(const QString &folder) override
    {
        calls << QStringLiteral("explore ") + folder;
    }
    void openWebPage(const QString &address) override
    {
        calls << QStringLiteral("open ") + address;
    }
    void openLocalPage(const QString &path) override
    {
        calls << QStringLiteral("open page ") + path;
    }
};
