#include "window/MainForm.h"

#include "job/JobController.h"
#include "markup/FontFallback.h"
#include "markup/HTMLCheckBox.h"
#include "markup/HTMLComboBox.h"
#include "markup/HTMLabel.h"
#include "markup/MarkupLayout.h"
#include "markup/TColor.h"
#include "service/FormatTable.h"
#include "window/AdvProgressBar.h"
#include "window/AdvToolButton.h"
#include "window/DesignedPalette.h"
#include "window/DesktopNotifications.h"
#include "window/DesktopShell.h"
#include "window/Image.h"
#include "window/PaintPacer.h"
#include "window/Panel.h"
#include "window/ProgressIndicators.h"
#include "window/QtMessageBoxes.h"
#include "window/StatusBar.h"
#include "window/TaskbarProgress.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

namespace {

// Heights of the docked panels; Panel1 takes what is left (228 at the designed size).
constexpr int Panel4Height = 73;
constexpr int Panel5Height = 26;
constexpr int Panel3Height = 39;
constexpr int Panel2Height = 41;
constexpr int StatusBarHeight = 19;
constexpr int Inset = TPanel::BevelInset;
constexpr QRect StatusLabelRect{75, 12, 548, 13};

const QString ExampleLink = QStringLiteral("http://www.youtube.com/watch?v=vidlark0001");

constexpr QRgb White = qRgb(255, 255, 255);
constexpr QRgb SkyBlue = qRgb(0xA6, 0xCA, 0xF0);

const TAdvToolButton::Colors StartColors{
    White,   tcolor(12756875), White,           tcolor(16641755),
    SkyBlue, tcolor(9648131),  tcolor(9648131), tcolor(9648131)};
const TAdvToolButton::Colors FolderColors{
    White,   qRgb(0xC0, 0xC0, 0xC0), tcolor(16119285), std::nullopt,
    SkyBlue, qRgb(0, 0, 0),          qRgb(0, 0, 0),    qRgb(0, 0, 0)};
const TAdvToolButton::Colors LinkColors{
    White,   tcolor(11780036),       tcolor(15461355),       std::nullopt,
    SkyBlue, qRgb(0x80, 0x80, 0x80), qRgb(0x80, 0x80, 0x80), tcolor(10841658)};

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/vidlark/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

QFont boldFont(const QWidget &widget)
{
    QFont font = widget.font();
    font.setBold(true);
    return font;
}

template <typename Widget> Widget *named(Widget *widget, const char *name, QRect geometry = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    if (!geometry.isNull())
        widget->setGeometry(geometry);
    return widget;
}

// A caption label sizes itself to its text, as the designed sizes did for the
// designed font; where the installed font is wider it grows to the right.
QLabel *plainLabel(QWidget *parent, const char *name, QRect geometry, const QString &caption,
                   bool bold = false)
{
    auto *label = named(new QLabel(caption, parent), name, geometry);
    label->setTextFormat(Qt::PlainText);
    if (bold)
        label->setFont(boldFont(*label));
    label->resize(qMax(geometry.width(), label->sizeHint().width()), geometry.height());
    return label;
}

THTMLabel *gradientLabel(QWidget *parent, const char *name, quint32 from, quint32 to)
{
    auto *label = named(new THTMLabel(parent), name);
    label->setColor(tcolor(from));
    label->setColorTo(tcolor(to));
    return label;
}

TAdvToolButton *flatButton(QWidget *parent, const char *name, QRect geometry,
                           const QString &caption, const TAdvToolButton::Colors &colors)
{
    auto *button = named(new TAdvToolButton(parent), name, geometry);
    button->setCaption(caption);
    button->setColors(colors);
    return button;
}

} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QWidget(parent)
    , m_boxes(std::make_unique<QtMessageBoxes>())
    , m_shell(std::make_unique<SystemDesktopShell>())
    , m_notifications(std::make_unique<NoDesktopNotifications>())
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Vidlark"));
    setWindowIcon(programIcon());
    setFont(FontFallback::font(QStringLiteral("MS Sans Serif"), 8));
    // The designed colours for every control; message boxes and dialogs,
    // windows of their own, follow the desktop.
    setPalette(DesignedPalette(*style()));
    // The frame is the window system's: the smallest client area is the designed one.
    setMinimumSize(ClientWidth, ClientHeight);
    resize(ClientWidth, ClientHeight);

    createPanels();
    createInputControls();
    createStatusControls();
    m_taskbar = std::make_unique<NoTaskbarProgress>();
    m_progress = std::make_unique<ProgressIndicators>(*m_progressBar, *m_taskbar);
    m_pacer = new PaintPacer(*this);

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(1000);

    createKeys();
    layoutPanels();

    connect(m_startButton, &QAbstractButton::clicked, this, &TMainForm::StartButtonClick);
    connect(&m_timer1, &QTimer::timeout, this, [this] {
        if (m_job)
            m_job->Timer1Timer();
    });
}

void TMainForm::createKeys()
{
    // The fields in reading order, each button after what it acts on,
    // Download after every choice of the job.
    const QList<QWidget *> order{m_moviePathEdit,
                                 m_advEdit1,
                                 m_directoryEdit,
                                 m_selectDirectoryButton,
                                 findChild<QWidget *>(QStringLiteral("OpenDirectoryButton")),
                                 m_formatComboBox,
                                 m_convertAVICheckBox,
                                 m_convertMP4CheckBox,
                                 m_startButton,
                                 findChild<QWidget *>(QStringLiteral("HelpButton2")),
                                 findChild<QWidget *>(QStringLiteral("AdvToolButton2")),
                                 m_button1};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    m_moviePathEdit->setFocus();

    // Return in a field presses Download; the fields are locked while a job runs.
    for (QLineEdit *field : {m_moviePathEdit, m_directoryEdit})
        connect(field, &QLineEdit::returnPressed, m_startButton, &QAbstractButton::click);
    // A stock push button takes Return only as a dialog's default button.
    m_button1->installEventFilter(this);
    m_convertAVICheckBox->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    m_convertMP4CheckBox->setShortcut(QKeySequence(Qt::ALT | Qt::Key_M));

    auto *stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(stop, &QShortcut::activated, this, [this] {
        if (m_job)
            m_job->cancel(Cancel::Stop);
    });
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &QWidget::close);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_button1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !key->isAutoRepeat()) {
            m_button1->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::StartButtonClick()
{
    if (m_job)
        runJob([this] { m_job->StartButtonClick(); });
}

void TMainForm::runJob(const std::function<void()> &job)
{
    try {
        job();
    } catch (const std::exception &error) {
        m_boxes->show(this, MessageBoxes::Kind::Error, QString::fromUtf8(error.what()));
    }
}

JobWindow TMainForm::jobWindow()
{
    return {*this, *this, *this, *m_progress, *this, *this, *this};
}

TMainForm::~TMainForm() = default;

void TMainForm::createPanels()
{
    m_logoPanel = named(new TPanel(true, this), "Panel4");
    m_logoPanel->setBackground(Qt::white);
    m_buttonPanel = named(new TPanel(true, this), "Panel5");
    m_inputPanel = named(new TPanel(true, this), "Panel1");
    m_statusLinePanel = named(new TPanel(true, this), "Panel3");
    m_progressPanel = named(new TPanel(false, this), "Panel2");
    m_statusBar = named(new TStatusBar(this), "StatusBar");

    m_imageLogo = named(new TImage(m_logoPanel), "ImageLogo");
    m_imageLogo->setPicture(QPixmap(QStringLiteral(":/vidlark/logo.jpg")));
    m_imageLogo->setCursor(Qt::PointingHandCursor);

    m_buttonBackground = gradientLabel(m_buttonPanel, "HTMLabel1", 15988213, 15330541);
    m_inputBackground = gradientLabel(m_inputPanel, "HTMLabel6", 15330541, 13621466);
    m_statusBackground = gradientLabel(m_statusLinePanel, "HTMLabel3", 14212832, 13489624);
    m_progressCaption = gradientLabel(m_progressPanel, "v", 14859414, 9648131);
    m_progressCaption->setBevels(BevelKind::Lowered, BevelKind::Raised);
    m_progressCaption->setVAlignment(THTMLabel::tvaCenter);
    m_progressCaption->setCaption(
        QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;<FONT color=\"#FFFFFF\"  size=\"9\" "
                       "face=\"Tahoma\">Progress</FONT>"));

    m_button1 = named(new QPushButton(QStringLiteral("Donate If You Like It!"), m_buttonPanel),
                      "Button1", QRect(2, 2, 275, 22));
    m_button1->setFont(boldFont(*m_button1));

    connect(m_imageLogo, &TImage::clicked, this, &TMainForm::ImageLogoClick);
    connect(m_button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
}

void TMainForm::createInputControls()
{
    QWidget *panel = m_inputPanel;
    QLabel *formatLabel =
        plainLabel(panel, "Label6", {23, 23, 51, 13}, QStringLiteral("Download:"));
    m_formatComboBox = named(new THTMLComboBox(panel), "FormatComboBox", {91, 19, 270, 22});
    for (const VideoFormat &format : FormatTable())
        m_formatComboBox->addItem(format.ListCaption);
    m_formatComboBox->setCurrentIndex(InitialFormatIndex);
    // The open list is a window of its own, but part of this one's look.
    m_formatComboBox->setAttribute(Qt::WA_WindowPropagation);
    // Only a choice by the user runs the handler; a step-down from code does not.
    connect(m_formatComboBox, &QComboBox::activated, this, [this] { FormatComboBoxChange(); });

    auto *help =
        flatButton(panel, "HelpButton2", {468, 19, 70, 31}, QStringLiteral("Help"), LinkColors);
    help->setFont(boldFont(*help));
    auto *update = flatButton(panel, "AdvToolButton2", {547, 19, 70, 31}, QStringLiteral("Update"),
                              LinkColors);
    update->setFont(boldFont(*update));
    connect(help, &QAbstractButton::clicked, this, &TMainForm::HelpButton2Click);
    connect(update, &QAbstractButton::clicked, this, &TMainForm::AdvToolButton2Click);

    m_convertAVICheckBox =
        named(new THTMLCheckBox(panel), "ConvertAVICheckBox", QRect(91, 54, 374, 20));
    m_convertAVICheckBox->setText(QStringLiteral(
        "Convert FLV to <font color=\"#0000ff\"><B>AVI</B></font> (XVID) - compatible with most "
        "video players"));
    m_convertMP4CheckBox =
        named(new THTMLCheckBox(panel), "ConvertMP4CheckBox", QRect(91, 78, 374, 20));
    m_convertMP4CheckBox->setText(QStringLiteral(
        "Convert FLV to <font color=\"#0000ff\"><B>MP4</B></font> - compatible with iPod and "
        "QuickTime player"));
    connect(m_convertAVICheckBox, &QAbstractButton::clicked, this,
            &TMainForm::ConvertAVICheckBoxClick);
    connect(m_convertMP4CheckBox, &QAbstractButton::clicked, this,
            &TMainForm::ConvertMP4CheckBoxClick);

    QLabel *linkLabel =
        plainLabel(panel, "Label1", {19, 113, 55, 13}, QStringLiteral("Video URL:"));
    m_moviePathEdit = named(new QLineEdit(panel), "MoviePathEdit", QRect(88, 110, 537, 21));
    connect(m_moviePathEdit, &QLineEdit::textEdited, this, &TMainForm::MoviePathEditEdited);
    QLabel *exampleLabel = plainLabel(panel, "Label5", {89, 137, 164, 13},
                                      QStringLiteral("Try this Example for HD or Full HD:"));
    m_advEdit1 = named(new QLineEdit(ExampleLink, panel), "AdvEdit1", QRect(263, 137, 313, 21));
    m_advEdit1->setReadOnly(true);
    m_advEdit1->setFrame(false);
    QPalette transparent = m_advEdit1->palette();
    transparent.setColor(QPalette::Base, Qt::transparent);
    m_advEdit1->setPalette(transparent);
    m_advEdit1->setCursorPosition(0);
    // A borderless edit shows its text on the line of the label beside it.
    m_advEdit1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QLabel *folderLabel =
        plainLabel(panel, "Label2", {34, 168, 40, 13}, QStringLiteral("Save to:"));
    m_directoryEdit = named(new QLineEdit(panel), "DirectoryEdit", QRect(88, 166, 393, 21));
    m_selectDirectoryButton = flatButton(panel, "SelectDirectoryButton", {483, 164, 70, 25},
                                         QStringLiteral("Browse"), FolderColors);
    auto *open = flatButton(panel, "OpenDirectoryButton", {555, 164, 70, 25},
                            QStringLiteral("Open"), FolderColors);
    connect(m_selectDirectoryButton, &QAbstractButton::clicked, this,
            &TMainForm::SelectDirectoryButtonClick);

    // A screen reader names each field and the list by the label beside it.
    formatLabel->setBuddy(m_formatComboBox);
    linkLabel->setBuddy(m_moviePathEdit);
    exampleLabel->setBuddy(m_advEdit1);
    folderLabel->setBuddy(m_directoryEdit);
    connect(open, &QAbstractButton::clicked, this, &TMainForm::OpenDirectoryButtonClick);
}

void TMainForm::createStatusControls()
{
    plainLabel(m_statusLinePanel, "Label4", {24, 12, 41, 13}, QStringLiteral("Status:"), true);
    // Fixed size: the status line never resizes itself to its text.
    m_statusLabel = named(new QLabel(QStringLiteral("Waiting"), m_statusLinePanel), "StatusLabel",
                          StatusLabelRect);
    m_statusLabel->setTextFormat(Qt::PlainText);

    m_progressBar =
        named(new TAdvProgressBar(m_progressPanel), "ProgressBar", QRect(80, 10, 449, 21));
    m_startButton = flatButton(m_progressPanel, "StartButton", {541, 8, 84, 25},
                               QStringLiteral("Download"), StartColors);
    // The bar is named by the caption beside it, the logo by the program.
    m_progressBar->setAccessibleName(MarkupLayout::plainTextOf(m_progressCaption->caption()));
    m_imageLogo->setAccessibleName(windowTitle());

    m_statusBar->addPanel(100, Qt::AlignLeft, QStringLiteral(" Version: " VIDLARK_VERSION));
    m_statusBar->addPanel(80, Qt::AlignHCenter, QStringLiteral("00:00:00"));
    m_statusBar->addPanel(500, Qt::AlignLeft, QStringLiteral(" Status: Waiting"));
}

// Docking: two panels at the top, three at the bottom, Panel1 takes the rest.
// Inside, the backgrounds fill their panels and StatusLabel widens with its
// panel; every other control keeps its designed place.
void TMainForm::layoutPanels()
{
    const int w = width();
    const int h = height();
    int top = 0;
    m_logoPanel->setGeometry(0, top, w, Panel4Height);
    top += Panel4Height;
    m_buttonPanel->setGeometry(0, top, w, Panel5Height);
    top += Panel5Height;
    int bottom = h - StatusBarHeight;
    m_statusBar->setGeometry(0, bottom, w, StatusBarHeight);
    bottom -= Panel2Height;
    m_progressPanel->setGeometry(0, bottom, w, Panel2Height);
    bottom -= Panel3Height;
    m_statusLinePanel->setGeometry(0, bottom, w, Panel3Height);
    m_inputPanel->setGeometry(0, top, w, qMax(0, bottom - top));

    for (QWidget *fill :
         {static_cast<QWidget *>(m_imageLogo), static_cast<QWidget *>(m_buttonBackground),
          static_cast<QWidget *>(m_inputBackground), static_cast<QWidget *>(m_statusBackground)})
        fill->setGeometry(fill->parentWidget()->rect().adjusted(Inset, Inset, -Inset, -Inset));
    m_progressCaption->setGeometry(m_progressPanel->rect());
    // A label of fixed size asks its panel for no new layout when its text
    // changes, which a transfer does for every piece it receives.
    const QRect status = StatusLabelRect.adjusted(0, 0, w - ClientWidth, 0);
    m_statusLabel->setFixedSize(status.size());
    m_statusLabel->move(status.topLeft());
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutPanels();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (m_closeQuery)
        m_closeQuery();
    // The close is never refused; a running job notices the state and winds down.
    event->accept();
}

void TMainForm::closeUnattended()
{
    m_closingUnattended = true;
    close();
}

void TMainForm::centreOnScreen()
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TMainForm::setMessageBoxes(std::unique_ptr<MessageBoxes> boxes)
{
    m_boxes = std::move(boxes);
}

void TMainForm::setDesktopShell(std::unique_ptr<DesktopShell> shell)
{
    m_shell = std::move(shell);
}

void TMainForm::setTaskbar(std::unique_ptr<TaskbarProgress> taskbar)
{
    m_taskbar = taskbar ? std::move(taskbar) : std::make_unique<NoTaskbarProgress>();
    m_progress->setTaskbar(*m_taskbar);
}

void TMainForm::setNotifications(std::unique_ptr<DesktopNotifications> notifications)
{
    m_notifications =
        notifications ? std::move(notifications) : std::make_unique<NoDesktopNotifications>();
}

bool TMainForm::SupportTaskBar() const
{
    return m_progress->SupportTaskBar();
}
