#include "window/UpdaterWindow.h"

#include "controller/FirmwareImage.h"
#include "firmware/Firmware.h"
#include "core/Endings.h"
#include "core/Words.h"
#include "ui_QZ7_Updater.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <mutex>
#include <utility>

namespace {

// A plain QWidget is exposed to assistive technologies as a filler; the program's window is
// exposed as what it is, a window (a frame to AT-SPI), named by its title.
QAccessibleInterface* WindowAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("UpdaterWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// The icon the desktop's theme holds for the program, or else the same drawings built in.
QIcon ApplicationIcon()
{
    QIcon builtIn;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        builtIn.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/qz7-updater.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("qz7-updater"), builtIn);
}

// Whether `word` is written without spaces between its words, as Japanese is: a whole sentence
// stands between two spaces, and the label wraps it between its characters. (A path is one word
// that is cut instead: kept on one line, its start and end shown.)
bool WrapsBetweenCharacters(const QString& word)
{
    for (const QChar c : word)
        switch (c.script()) {
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Thai:
        case QChar::Script_Lao:
        case QChar::Script_Khmer:
        case QChar::Script_Myanmar: return true;
        default: break;
        }
    return false;
}

// Every word wider than `width` cut in its middle, but for those the label wraps; line breaks and the
// other words as they stand. The middle, not an end: a by-id path begins with the adapter's maker
// and ends with its serial number, and the operator needs both.
QString ElideLongWords(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QStringList words = line.split(QLatin1Char(' '));
        for (QString& word : words)
            if (metrics.horizontalAdvance(word) > width && !WrapsBetweenCharacters(word))
                word = metrics.elidedText(word, Qt::ElideMiddle, width);
        line = words.join(QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

// The mark of an end screen: the desktop theme's, or else the one built in (QIcon picks its @2x
// drawing on a high-density screen).
QIcon OutcomeIcon(bool done)
{
    const QIcon builtIn(done ? QStringLiteral(":/marks/done.png") : QStringLiteral(":/marks/failed.png"));
    const QStringList names = done ? QStringList{QStringLiteral("emblem-ok"), QStringLiteral("dialog-ok")}
                                   : QStringList{QStringLiteral("dialog-error")};
    for (const QString& name : names)
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    return builtIn;
}

// A button that is not offered is neither seen nor pressable, also through an accessibility
// interface, which can press a hidden button that is still enabled.
void Offer(QPushButton* button, bool offered)
{
    button->setVisible(offered);
    button->setEnabled(offered);
}

}  // namespace

UpdaterWindow::UpdaterWindow() : ui_(std::make_unique<Ui::QZ7UpdaterWindow>())
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(WindowAccessible); });
    InitUpdaterResources();
    ui_->setupUi(this);
    ui_->UpdateButtonView->setAccessibleDescription(tr("Erases the QZ7 and sends it firmware V%1").arg(QString::fromLatin1(Firmware::Version)));
    statusDescription_ = ui_->StatusView->accessibleDescription();
    statusPointSize_ = ui_->StatusView->font().pointSize();
    ui_->StatusView->installEventFilter(this);
    setWindowTitle(Title());
    setWindowIcon(ApplicationIcon());
    for (QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &UpdaterWindow::OperatorClose);
    levelTimer_.setSingleShot(true);
    levelTimer_.setTimerType(Qt::PreciseTimer);
    connect(&levelTimer_, &QTimer::timeout, this, &UpdaterWindow::FlushLevel);
}

UpdaterWindow::~UpdaterWindow() = default;

QLabel* UpdaterWindow::ImageView() const { return ui_->ImageView; }
QLabel* UpdaterWindow::DirectionsView() const { return ui_->DirectionsView; }
QLabel* UpdaterWindow::StatusView() const { return ui_->StatusView; }
QPushButton* UpdaterWindow::UpdateButtonView() const { return ui_->UpdateButtonView; }
QPushButton* UpdaterWindow::CancelButtonView() const { return ui_->CancelButtonView; }
QPushButton* UpdaterWindow::NextUnitButtonView() const { return ui_->NextUnitButtonView; }
QPushButton* UpdaterWindow::RestartButtonView() const { return ui_->RestartButtonView; }
QPushButton* UpdaterWindow::CloseButtonView() const { return ui_->CloseButtonView; }
QPushButton* UpdaterWindow::SaveReportButtonView() const { return ui_->SaveReportButtonView; }
QLineEdit* UpdaterWindow::CommandView() const { return ui_->CommandView; }
QPushButton* UpdaterWindow::CopyButtonView() const { return ui_->CopyButtonView; }
QLabel* UpdaterWindow::StatusAfterView() const { return ui_->StatusAfterView; }
QProgressBar* UpdaterWindow::LevelIndicatorVew() const { return ui_->LevelIndicatorVew; }
QLabel* UpdaterWindow::OutcomeView() const { return ui_->OutcomeView; }
QLabel* UpdaterWindow::LeftEmptyView() const { return ui_->LeftEmptyView; }

void UpdaterWindow::SetLeftEmpty(const QStringList& sentences)
{
    const QString text = sentences.join(QLatin1Char('\n'));
    ui_->LeftEmptyView->setText(text);
    ui_->LeftEmptyView->setAccessibleName(text);
    ui_->LeftEmptyView->setVisible(!sentences.isEmpty());
    GrowToFit();
}

void UpdaterWindow::ShowEnd(Outcome outcome)
{
    onEndScreen_ = true;
    const bool done = outcome == Outcome::Done;
    QLabel* mark = ui_->OutcomeView;
    mark->setPixmap(OutcomeIcon(done).pixmap(QSize(48, 48), mark->devicePixelRatioF()));
    mark->setAccessibleName(done ? tr("Done") : tr("Failed"));
    mark->setHidden(false);
    // The title keeps the outcome, for a window left minimised or on another desktop.
    //: The window title after an update: its outcome ("Done", "Failed"), then the program's name.
    setWindowTitle(tr("%1 – %2").arg(mark->accessibleName(), Title()));
    ui_->LevelIndicatorVew->setHidden(true);
    Offer(ui_->UpdateButtonView, false);
    Offer(ui_->CancelButtonView, false);
    // Every failure offers a way on, focused and the default, so that Return takes it and a
    // screen reader reads the new screen from there; where going on would fail the same way
    // (a damaged image) Close is the one way. Which ways an end offers is the table of endings'.
    // "Update another QZ7" comes with the end's own update, and takes the focus there.
    const WaysOn ways = RowOf(outcome).ways;
    const bool restart = ways == WaysOn::RestartAndClose;
    Offer(ui_->RestartButtonView, restart);
    Offer(ui_->CloseButtonView, true);
    Offer(ui_->SaveReportButtonView, true);
    QPushButton* focused = restart ? ui_->RestartButtonView : ways == WaysOn::CloseOnly ? ui_->CloseButtonView : nullptr;
    ui_->UpdateButtonView->setDefault(false);
    ui_->CancelButtonView->setDefault(false);
    ui_->RestartButtonView->setDefault(restart);
    ui_->CloseButtonView->setDefault(focused == ui_->CloseButtonView);
    if (focused) {
        setAttribute(Qt::WA_KeyboardFocusChange);
        focused->setFocus();
    }
    GrowToFit();
}

void UpdaterWindow::OfferNextUnit(bool offered)
{
    Offer(ui_->NextUnitButtonView, offered);
    // Withdrawn, with the whole end screen, when the operator goes on by either button.
    if (!offered)
        LeaveEnd();
}

void UpdaterWindow::LeaveEnd()
{
    onEndScreen_ = false;
    ui_->OutcomeView->setHidden(true);
    ui_->OutcomeView->clear();
    ui_->OutcomeView->setAccessibleName(QString());
    setWindowTitle(Title());
    Offer(ui_->RestartButtonView, false);
    Offer(ui_->CloseButtonView, false);
    Offer(ui_->SaveReportButtonView, false);
    ui_->UpdateButtonView->setVisible(true);
    ui_->CancelButtonView->setVisible(true);
    ui_->CloseButtonView->setDefault(false);
    ui_->RestartButtonView->setDefault(false);
    ui_->CancelButtonView->setDefault(false);
    ui_->UpdateButtonView->setDefault(true);
}

void UpdaterWindow::SetStatusProminent(bool prominent)
{
    for (QLabel* label : {ui_->StatusView, ui_->StatusAfterView}) {
        QFont font = label->font();
        font.setPointSize(prominent ? ui_->DirectionsView->font().pointSize() : statusPointSize_);
        font.setBold(prominent);
        label->setFont(font);
    }
}

void UpdaterWindow::SetStatus(const QString& text, const QString& before, const QString& command, const QString& after)
{
    status_ = text;
    before_ = command.isEmpty() ? text : before;
    command_ = command;
    after_ = command.isEmpty() ? QString() : after;
    LayOutStatus();
}

void UpdaterWindow::LayOutStatus()
{
    const QString& before = before_;
    const QString& after = after_;
    ui_->CommandView->setText(command_);
    ui_->CommandView->setCursorPosition(0);
    ui_->CommandView->setVisible(!command_.isEmpty());
    Offer(ui_->CopyButtonView, !command_.isEmpty());
    ui_->StatusAfterView->setText(after);
    ui_->StatusAfterView->setAccessibleName(after);
    ui_->StatusAfterView->setVisible(!after.isEmpty());

    QLabel* view = ui_->StatusView;
    const int width = std::max(view->contentsRect().width(), view->minimumWidth());
    const QString shown = ElideLongWords(before, view->fontMetrics(), width);
    const bool cut = shown != before;
    view->setText(shown);
    view->setToolTip(cut ? status_ : QString());
    view->setAccessibleDescription(cut ? status_ : statusDescription_);
    // Named by the whole text: the change of name is the event a screen reader speaks.
    view->setAccessibleName(status_);
    GrowToFit();
}

void UpdaterWindow::GrowToFit()
{
    if (isMaximized() || isFullScreen() || !layout())
        return;
    layout()->activate();
    const int needed = layout()->hasHeightForWidth() ? layout()->totalMinimumHeightForWidth(width())
                                                     : layout()->totalMinimumSize().height();
    if (needed > height())
        resize(width(), needed);
}

bool UpdaterWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->StatusView && event->type() == QEvent::Resize) {
        auto* resized = static_cast<QResizeEvent*>(event);
        if (resized->size().width() != resized->oldSize().width())
            LayOutStatus();
    }
    return QWidget::eventFilter(watched, event);
}

void UpdaterWindow::SetTitleLevel(std::optional<int> level)
{
    // The title tells a minimised window's owner how far it is: four changes a second are
    // plenty, and each costs a round trip to the window system, which a fast line would
    // otherwise make a hundred times in a fraction of a second. The end is always shown.
    if (level && *level != 100 && titleSet_.isValid() && titleSet_.elapsed() < 250)
        return;
    if (onEndScreen_)
        return;  // the end's title names the outcome until the operator goes on
    titleSet_.start();
    const QString title = Title();
    //: The window title during the transfer: the share sent so far (%1 %), then the program's name.
    setWindowTitle(level ? tr("%1 % – %2").arg(*level).arg(title) : title);
}

void UpdaterWindow::SetLevel(int level)
{
    const bool end = level == ui_->LevelIndicatorVew->minimum() || level == ui_->LevelIndicatorVew->maximum();
    if (end || !levelSet_.isValid() || levelSet_.elapsed() >= kLevelFrame) {
        waitingLevel_.reset();
        levelTimer_.stop();
        ShowLevel(level);
        return;
    }
    waitingLevel_ = level;
    if (!levelTimer_.isActive())
        levelTimer_.start(static_cast<int>(std::max<qint64>(0, kLevelFrame - levelSet_.elapsed())));
}

void UpdaterWindow::FlushLevel()
{
    levelTimer_.stop();
    if (std::optional<int> level = std::exchange(waitingLevel_, std::nullopt))
        ShowLevel(*level);
}

void UpdaterWindow::ShowLevel(int level)
{
    levelSet_.start();
    ui_->LevelIndicatorVew->setValue(level);
    if (!ui_->LevelIndicatorVew->isHidden())
        SetTitleLevel(level);
}

void UpdaterWindow::DismissCloseQuestion()
{
    if (question_)
        question_->close();
}

void UpdaterWindow::showEvent(QShowEvent* event)
{
    // The level indicator's filled part is one plain rectangle. The default style draws it as
    // thick antialiased stripes, which Qt rasterises on a pool of its own threads at every
    // repaint; a plain fill stays on the GUI thread.
    // A look the operator gave the whole program (-stylesheet) styles the level indicator too:
    // a style sheet of its own would take precedence and mix that look with the palette's (light
    // text on a white bar). Decided at the first show, when the program's style sheet is known.
    if (!levelStyled_) {
        levelStyled_ = true;
        if (qApp->styleSheet().isEmpty())
            ui_->LevelIndicatorVew->setStyleSheet(QStringLiteral(
                "QProgressBar { border: 1px solid palette(mid); border-radius: 3px; background: palette(base); text-align: center; }"
                "QProgressBar::chunk { background-color: palette(highlight); }"));
    }
    QWidget::showEvent(event);
}

void UpdaterWindow::OperatorClose()
{
    if (Programming())
        AskToStop();
    else
        close();
}

void UpdaterWindow::closeEvent(QCloseEvent* event)
{
    // Only the window system's close request (the operator's close control) is spontaneous; the
    // program's own closes (Cancel, SIGTERM and SIGINT) go through at once.
    if (event->spontaneous() && !stopChosen_ && Programming()) {
        event->ignore();
        AskToStop();
        return;
    }
    QWidget::closeEvent(event);
    emit Closed();
}

void UpdaterWindow::AskToStop()
{
    if (question_) {
        question_->raise();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, Title(), tr(kStopQuestion),
                                QMessageBox::NoButton, this);
    QPushButton* keep = box->addButton(tr("Keep updating"), QMessageBox::RejectRole);
    QPushButton* stop = box->addButton(tr("Stop"), QMessageBox::DestructiveRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::buttonClicked, this, [this, stop](QAbstractButton* chosen) {
        if (chosen != stop)
            return;
        stopChosen_ = true;
        close();
    });
    question_ = box;
    box->open();  // modal to this window; the update goes on while the question is shown
}

void UpdaterWindow::keyPressEvent(QKeyEvent* event)
{
    // Keys reach the window when the focused widget leaves them: a focused Update or Cancel
    // takes Return itself, a disabled button never sees a key.
    QPushButton* target = nullptr;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        target = ui_->RestartButtonView->isEnabled() ? ui_->RestartButtonView
                 : ui_->CancelButtonView->isDefault() ? ui_->CancelButtonView
                                                       : ui_->UpdateButtonView;
        break;
    case Qt::Key_Escape:
        target = ui_->CloseButtonView->isEnabled() ? ui_->CloseButtonView : ui_->CancelButtonView;
        break;
    default:
        break;
    }
    if (target && target->isEnabled() && target->isVisible() && event->modifiers() == Qt::NoModifier) {
        target->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
