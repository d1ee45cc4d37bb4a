#include "window/MultipleVideosDialog.h"

#include "markup/MarkupLayout.h"
#include "service/FormatTable.h"
#include "service/ListedLines.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

MultipleVideosDialog::MultipleVideosDialog(QWidget *parent, const QString &note, int format,
                                           const QString &folder)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MultipleVideosDialog"));
    setWindowTitle(QStringLiteral("Download multiple videos"));
    auto *layout = new QVBoxLayout(this);
    if (!note.isEmpty()) {
        auto *noteLabel = new QLabel(note, this);
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }
    auto *linksLabel = new QLabel(QStringLiteral("&Links (one a line):"), this);
    m_links = new QPlainTextEdit(this);
    m_links->setObjectName(QStringLiteral("Links"));
    m_links->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_links->setTabChangesFocus(true);
    linksLabel->setBuddy(m_links);
    layout->addWidget(linksLabel);
    layout->addWidget(m_links, 1);

    auto *form = new QFormLayout;
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("Format"));
    for (const VideoFormat &row : FormatTable())
        m_format->addItem(MarkupLayout::plainTextOf(row.ListCaption));
    m_format->setCurrentIndex(format);
    form->addRow(QStringLiteral("&Format:"), m_format);
    m_folder = new QLineEdit(folder, this);
    m_folder->setObjectName(QStringLiteral("Folder"));
    form->addRow(QStringLiteral("&Save to:"), m_folder);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton *start = buttons->addButton(QStringLiteral("&Start"), QDialogButtonBox::AcceptRole);
    start->setObjectName(QStringLiteral("Start"));
    start->setDefault(true);
    start->setEnabled(false);
    connect(m_links, &QPlainTextEdit::textChanged, this,
            [this, start] { start->setEnabled(!links().isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 360);
}

void MultipleVideosDialog::setLinks(const QStringList &links)
{
    m_links->setPlainText(links.join(QLatin1Char('\n')));
}

QStringList MultipleVideosDialog::links() const
{
    // Links hold no blanks: several pasted on one line are several links.
    QStringList links;
    for (const QString &line : ListedLines(m_links->toPlainText().toUtf8()))
        links += line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    return links;
}

int MultipleVideosDialog::format() const
{
    return m_format->currentIndex();
}

QString MultipleVideosDialog::folder() const
{
    return m_folder->text().trimmed();
}
