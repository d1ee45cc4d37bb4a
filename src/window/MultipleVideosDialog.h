#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// "Download multiple videos": links one a line (typed, pasted or dropped),
// the format and the save folder; Start hands them to the main window, whose
// queue then saves them one after another.
class MultipleVideosDialog final : public QDialog
{
    Q_OBJECT

public:
    // note: a line above the links (a site whose links work through the
    // extractor); empty: none.
    MultipleVideosDialog(QWidget *parent, const QString &note, int format, const QString &folder);

    void setLinks(const QStringList &links);
    QStringList links() const;
    int format() const;
    QString folder() const;

private:
    QPlainTextEdit *m_links = nullptr;
    QComboBox *m_format = nullptr;
    QLineEdit *m_folder = nullptr;
};
