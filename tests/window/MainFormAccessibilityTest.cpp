// What a screen reader finds in the window: the accessibility tree read from
// the window down, as Qt's platform bridge reads it.
#include "window/AdvProgressBar.h"
#include "window/MainForm.h"
#include "window/StatusBar.h"

#include <QAccessible>
#include <QApplication>
#include <QHash>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

// Every interface below `iface` that belongs to a named object.
void collect(QAccessibleInterface *iface, QHash<QString, QAccessibleInterface *> &found, int depth)
{
    ASSERT_LT(depth, 20);
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        ASSERT_NE(child, nullptr);
        if (child->object() && !child->object()->objectName().isEmpty())
            found.insert(child->object()->objectName(), child);
        collect(child, found, depth + 1);
    }
}

QHash<QString, QAccessibleInterface *> treeOf(TMainForm &form)
{
    QHash<QString, QAccessibleInterface *> found;
    collect(QAccessible::queryAccessibleInterface(&form), found, 0);
    return found;
}

TEST(MainFormAccessibility, EveryControlHasItsNameAndRole)
{
    TMainForm form;
    form.show();
    const auto tree = treeOf(form);
    struct Case
    {
        const char *name;
        QAccessible::Role role;
        const char *accessibleName;
        const char *value = nullptr;
    };
    const Case cases[] = {
        {"MoviePathEdit", QAccessible::EditableText, "Video URL:"},
        {"AdvEdit1", QAccessible::EditableText, "Try this Example for HD or Full HD:"},
        {"DirectoryEdit", QAccessible::EditableText, "Save to:"},
        {"FormatComboBox", QAccessible::ComboBox, "Download:", "FLV video - HQ 360p"},
        {"ConvertAVICheckBox", QAccessible::CheckBox,
         "Convert FLV to AVI (XVID) - compatible with most video players"},
        {"ConvertMP4CheckBox", QAccessible::CheckBox,
         "Convert FLV to MP4 - compatible with iPod and QuickTime player"},
        {"StartButton", QAccessible::Button, "Download"},
        {"SelectDirectoryButton", QAccessible::Button, "Browse"},
        {"OpenDirectoryButton", QAccessible::Button, "Open"},
        {"HelpButton2", QAccessible::Button, "Help"},
        {"AdvToolButton2", QAccessible::Button, "Update"},
        {"Button1", QAccessible::Button, "Donate If You Like It!"},
        {"ImageLogo", QAccessible::Link, "Vidlark"},
        {"v", QAccessible::StaticText, "Progress"},
        {"ProgressBar", QAccessible::ProgressBar, "Progress", "0%"},
        {"StatusLabel", QAccessible::StaticText, "Waiting"},
        {"StatusBar", QAccessible::StatusBar, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QAccessibleInterface *iface = tree.value(QString::fromLatin1(c.name));
        ASSERT_NE(iface, nullptr) << "not in the tree";
        EXPECT_EQ(iface->role(), c.role);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(c.accessibleName));
        if (c.value) {
            EXPECT_EQ(iface->text(QAccessible::Value), QString::fromLatin1(c.value));
        }
        EXPECT_EQ(iface->parent()->child(iface->parent()->indexOfChild(iface)), iface);
    }

    // The open list reads its items as plain text too.
    QAccessibleInterface *list = tree.value(QStringLiteral("FormatComboBox"))->child(0);
    ASSERT_NE(list, nullptr);
    QStringList items;
    for (int i = 0; i < list->childCount(); ++i)
        items << list->child(i)->text(QAccessible::Name);
    EXPECT_TRUE(items.contains(QStringLiteral("MP4 video - Full HD (1080p) - if available")))
        << items.join(QLatin1Char('|')).toStdString();

    QAccessibleInterface *statusBar = tree.value(QStringLiteral("StatusBar"));
    ASSERT_EQ(statusBar->childCount(), 3);
    QStringList panels;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(statusBar->child(i)->role(), QAccessible::StaticText);
        EXPECT_EQ(statusBar->child(i)->parent(), statusBar);
        EXPECT_EQ(statusBar->indexOfChild(statusBar->child(i)), i);
        panels << statusBar->child(i)->text(QAccessible::Name);
    }
    EXPECT_EQ(panels, QStringList({QStringLiteral("Version: 2.9.6"), QStringLiteral("00:00:00"),
                                   QStringLiteral("Status: Waiting")}));
}

// The bar's value is its position, read as the percentage it shows.
TEST(MainFormAccessibility, BarReadsItsPositionAndPercentage)
{
    TMainForm form;
    QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(form.ProgressBar());
    ASSERT_NE(bar->valueInterface(), nullptr);
    form.ProgressBar()->SetMax(200);
    form.ProgressBar()->SetPosition(84);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 84);
    EXPECT_EQ(bar->valueInterface()->maximumValue().toInt(), 200);
    EXPECT_EQ(bar->valueInterface()->minimumValue().toInt(), 0);
    EXPECT_EQ(bar->text(QAccessible::Value), QStringLiteral("42%"));
}

} // namespace
