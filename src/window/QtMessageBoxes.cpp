#include "window/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconOf(MessageBoxes::Kind kind)
{
    switch (kind) {
    case MessageBoxes::Kind::Error:
        return QMessageBox::Critical;
    case MessageBoxes::Kind::Information:
        return QMessageBox::Information;
    case MessageBoxes::Kind::CommandFailure:
    case MessageBoxes::Kind::About:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtMessageBoxes::show(QWidget *parent, Kind kind, const QString &text)
{
    showDetails(parent, kind, text, {});
}

void QtMessageBoxes::showDetails(QWidget *parent, Kind kind, const QString &text,
                                 const QString &details)
{
    QMessageBox box(iconOf(kind), caption(kind), displayText(text), QMessageBox::Ok, parent);
    // Texts may hold titles and paths from the network: never rich text.
    box.setTextFormat(Qt::PlainText);
    if (kind == Kind::About)
        box.setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
    if (!details.isEmpty())
        box.setDetailedText(displayText(details));
    box.exec();
}

bool QtMessageBoxes::askYesNo(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, caption(Kind::Error), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool QtMessageBoxes::askQuestion(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), displayText(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
