#pragma once

#include "window/MessageBoxes.h"

// The real boxes: QMessageBox, plain text only, modal to the window.
class QtMessageBoxes final : public MessageBoxes
{
public:
    void show(QWidget *parent, Kind kind, const QString &text) override;
    void showDetails(QWidget *parent, Kind kind, const QString &text,
                     const QString &details) override;
    bool askYesNo(QWidget *parent, const QString &text) override;
    bool askQuestion(QWidget *parent, const QString &text) override;
};
