#include "window/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(MessageBoxes, LineBreakPairsBecomeOneBreak)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Done.\n\rSaved.", "Done.\nSaved."},
        {"a\r\nb", "a\nb"},
        {"a\n\r\n\rb", "a\n\nb"},
        {"a\rb\nc", "a\nb\nc"},
        {"plain", "plain"},
    };
    for (const auto &[in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(MessageBoxes::displayText(QString::fromLatin1(in)), QString::fromLatin1(out));
    }
}

// Runs `answer` on the box once it is open, KeePassXC style.
void whenBoxOpens(std::function<void(QMessageBox &)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(*box);
    });
}

TEST(MessageBoxes, RealBoxesShowPlainTextUnderTheirCaptions)
{
    QtMessageBoxes boxes;
    struct Case
    {
        MessageBoxes::Kind kind;
        const char *caption;
        QMessageBox::Icon icon;
    };
    for (const Case c :
         {Case{MessageBoxes::Kind::Error, "Error", QMessageBox::Critical},
          Case{MessageBoxes::Kind::Information, "Information", QMessageBox::Information},
          Case{MessageBoxes::Kind::CommandFailure, "Could not execute command line",
               QMessageBox::NoIcon}}) {
        SCOPED_TRACE(c.caption);
        QString seenCaption, seenText;
        Qt::TextFormat seenFormat = Qt::AutoText;
        QMessageBox::Icon seenIcon = QMessageBox::Question;
        whenBoxOpens([&](QMessageBox &box) {
            seenCaption = box.windowTitle();
            seenText = box.text();
            seenFormat = box.textFormat();
            seenIcon = box.icon();
            box.accept();
        });
        boxes.show(nullptr, c.kind, QStringLiteral("<b>1</b>\n\r2"));
        EXPECT_EQ(seenCaption, QString::fromLatin1(c.caption));
        EXPECT_EQ(seenText, QStringLiteral("<b>1</b>\n2"));
        EXPECT_EQ(seenFormat, Qt::PlainText);
        EXPECT_EQ(seenIcon, c.icon);
    }
}

TEST(MessageBoxes, QuestionIsYesOnlyWhenYesIsPressed)
{
    QtMessageBoxes boxes;
    whenBoxOpens([](QMessageBox &box) {
        EXPECT_EQ(box.windowTitle(), QStringLiteral("Error"));
        EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(boxes.askYesNo(nullptr, QStringLiteral("Try a lower format?")));

    whenBoxOpens([](QMessageBox &box) { box.button(QMessageBox::No)->click(); });
    EXPECT_FALSE(boxes.askYesNo(nullptr, QStringLiteral("?")));

    whenBoxOpens([](QMessageBox &box) { box.reject(); }); // closed from its frame or Esc
    EXPECT_FALSE(boxes.askYesNo(nullptr, QStringLiteral("?")));
}

} // namespace
